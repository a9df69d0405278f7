// The channel editor's grid and in-place editor events.
#include "gui/channeleditor.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include "app/appcontext.h"
#include "document/settingsdocument.h"
#include "gui/channelgrid.h"
#include "gui/inplaceinput.h"

namespace {

bool isEnter(const QKeyEvent* k)
{
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}

// Short-cuts (Ctrl+C, Ctrl+V, ...) are never filtered.
bool isShortcut(const QKeyEvent* k)
{
    return k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

// The typed character, or a null QChar for keys that type nothing.
QChar typedChar(const QKeyEvent* k)
{
    if (k->key() == Qt::Key_Backspace)
        return u'\b';
    const QString t = k->text();
    return t.size() == 1 && t[0].isPrint() ? t[0] : QChar();
}

// Focus leaving for a popup (a context menu, the drop-down's own list) or
// for another application is not leaving the editor.
bool leavesEditor(const QEvent* e)
{
    if (e->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason r = static_cast<const QFocusEvent*>(e)->reason();
    return r != Qt::PopupFocusReason && r != Qt::ActiveWindowFocusReason;
}

bool isNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_Left: case Qt::Key_Right:
    case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_Home: case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

}

bool ChannelEditor::eventFilter(QObject* o, QEvent* e)
{
    if (!m_doc)
        return QWidget::eventFilter(o, e);
    const QEvent::Type type = e->type();
    if (o == m_grid && type == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        return StringGrid1KeyDown(k) || StringGrid1KeyPress(k);
    }
    if (o == m_grid->viewport() && type == QEvent::Wheel) {
        const int dy = static_cast<QWheelEvent*>(e)->angleDelta().y();
        if (dy != 0)
            StringGrid1MouseWheel(dy);
        return true;
    }
    if (o == m_edit1) {
        if (type == QEvent::KeyPress)
            return Edit1KeyPress(static_cast<QKeyEvent*>(e));
        if (type == QEvent::KeyRelease)
            Edit1KeyUp();
    } else if (o == m_edit3) {
        if (type == QEvent::KeyPress)
            return Edit3KeyPress(static_cast<QKeyEvent*>(e));
        if (type == QEvent::KeyRelease)
            Edit3KeyUp();
        if (leavesEditor(e))
            Edit3Exit();
        if (type == QEvent::MouseButtonDblClick) {
            toneEditorDoubleClicked();
            return true;
        }
    } else if (m_combo1 && (o == m_combo1 || o == m_combo1->lineEdit())) {
        if (type == QEvent::KeyPress)
            return ComboBox1KeyPress(static_cast<QKeyEvent*>(e));
        if (leavesEditor(e))
            ComboBox1Exit();
    }
    return QWidget::eventFilter(o, e);
}

// Grid -----------------------------------------------------------------

void ChannelEditor::cellChosen()
{
    hideEditors();
    setEditCell(m_grid->col(), m_grid->row());
    const int c = editCol();
    const int r = editRow();
    const bool exists = channelExists(r);
    const QString text = cell(r, c);
    switch (c) {
    case 1:
        m_edit1->setText(text);
        placeEditor(m_edit1, c, r);
        return;
    case 3:
        if (exists) {
            m_edit1->setText(text);
            placeEditor(m_edit1, c, r);
        }
        return;
    case 2:
    case 4:
        if (exists) {
            m_edit3->setMaxLength(5);
            m_edit3->setText(text);
            placeEditor(m_edit3, c, r);
        }
        return;
    default:
        break;
    }
    if (c < 5 || !exists)
        return;
    // Moving onto a word cell with a key or the wheel does not change it.
    if (m_navigating) {
        m_navigating = false;
        return;
    }
    toggleCell(c, r);
}

bool ChannelEditor::toggleCell(int c, int r)
{
    if (c < 5 || c > 11 || !channelExists(r))
        return false;
    const ValueWords& w = words();
    const QString text = cell(r, c);
    QString toggled;
    if (c == 5)
        toggled = text == w.high ? w.low : w.high;
    else if (c == 6)
        toggled = text == w.wide ? w.narrow : w.wide;
    else
        toggled = text == w.off ? w.on : w.off;
    setCell(r, c, toggled);
    return true;
}

bool ChannelEditor::StringGrid1SelectCell(int, int)
{
    return commit();
}

bool ChannelEditor::StringGrid1KeyDown(QKeyEvent* k)
{
    if (isNavigationKey(k->key())) {
        // The flag lasts for this one move only, so a key that cannot move
        // (the first row, the last column) does not swallow a later click.
        m_navigating = true;
        m_grid->navigateByKey(k);
        m_navigating = false;
        return true;
    }
    if (k->key() == Qt::Key_Delete) {
        deleteSelectedChannels();
        return true;
    }
    if (k->key() == Qt::Key_Backspace) {
        const int c = editCol();
        if ((c == 1 || c == 3) && cell(editRow(), c).size() == 9) {
            keepBefore(c, editRow());
            setCell(editRow(), c, QString());
            m_edit1->clear();
            m_frequencyPending = true;
        }
        return true;
    }
    return false;
}

bool ChannelEditor::StringGrid1KeyPress(QKeyEvent* k)
{
    if (isShortcut(k))
        return false;
    const int c = editCol();
    const int r = editRow();
    if (k->key() == Qt::Key_F2) {
        editCellInPlace();
        return true;
    }
    if (k->key() == Qt::Key_Escape) {
        if (!editPending() && !m_frequencyPending && m_before.col < 0)
            return false;
        cancelEdit();
        return true;
    }
    if (c >= 5 && (k->key() == Qt::Key_Space || isEnter(k)))
        return toggleCell(c, r) || true;
    if ((c == 2 || c == 4) && channelExists(r)) {
        if (isEnter(k)) {
            editCellInPlace();
            return true;
        }
        return startTypingTone(k);
    }
    if (!(c == 1 || (c == 3 && channelExists(r))))
        return false;
    if (isEnter(k)) {
        if (!channelExists(r)) {
            m_ctx.doc->clearChannel(r);
            return true;
        }
        if (frequencyEditorVisible()) {
            m_edit1->setFocus();
        } else {
            m_edit1->setText(cell(r, c));
            placeEditor(m_edit1, c, r);
        }
        return true;
    }
    const QChar ch = typedChar(k);
    if (ch.unicode() < '0' || ch.unicode() > '9')
        return false;
    // Typing on a frequency cell starts a new value.
    if (!frequencyEditorVisible())
        placeEditor(m_edit1, c, r);
    m_edit1->setText(QString(ch));
    m_edit1->setFocus();
    m_edit1->setCursorPosition(1);
    Edit1KeyUp();
    return true;
}

void ChannelEditor::editCellInPlace()
{
    const int c = editCol();
    const int r = editRow();
    if (c == 1 || (c == 3 && channelExists(r))) {
        m_edit1->setText(cell(r, c));
        placeEditor(m_edit1, c, r);
        m_edit1->setFocus();
        m_edit1->end(false);
    } else if ((c == 2 || c == 4) && channelExists(r)) {
        m_edit3->setMaxLength(5);
        m_edit3->setText(cell(r, c));
        placeEditor(m_edit3, c, r);
        m_edit3->setFocus();
        m_edit3->end(false);
    }
}

bool ChannelEditor::startTypingTone(QKeyEvent* k)
{
    // Typing on a tone cell starts a new tone, by the tone editor's rules.
    const QChar ch = typedChar(k);
    if (ch.isNull() || ch == u'\b')
        return false;
    const InPlaceInput::KeyAction a = InPlaceInput::toneKey(QString(), ch, words().off, separator());
    if (a.kind == InPlaceInput::KeyAction::Drop)
        return true;
    const int c = editCol();
    const int r = editRow();
    if (m_edit3->isHidden())
        placeEditor(m_edit3, c, r);
    m_edit3->setMaxLength(a.maxLength >= 0 ? a.maxLength : 5);
    m_edit3->setText(a.kind == InPlaceInput::KeyAction::Insert ? a.insert : QString(ch));
    m_edit3->setFocus();
    m_edit3->end(false);
    Edit3KeyUp();
    return true;
}

void ChannelEditor::StringGrid1MouseWheel(int delta)
{
    // The wheel moves the selection, like the arrow keys, without toggling.
    m_navigating = true;
    m_grid->stepRow(delta < 0 ? 1 : -1);
    m_navigating = false;
}

void ChannelEditor::StringGrid1DrawCell()
{
    // Checked once the paint is over: hiding an editor changes focus and
    // may commit a tone, which must not happen inside a paint.
    if (m_positionCheckQueued)
        return;
    m_positionCheckQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_positionCheckQueued = false;
        checkEditorPositions();
    });
}

void ChannelEditor::checkEditorPositions()
{
    // An editor that no longer sits on the cell under edit (the cell under
    // edit moved to another row, a column was resized) is closed.
    const QRect rect = m_grid->cellRect(editCol(), editRow());
    const bool wasPending = editPending();
    if (!m_edit3->isHidden() && m_edit3->geometry() != rect)
        hideToneEditor();
    if (!m_edit1->isHidden() && m_edit1->geometry() != rect)
        m_edit1->hide();
    if (!m_combo1->isHidden() && m_combo1->geometry() != rect)
        m_combo1->hide();
    if (wasPending && !editPending())
        emit editSettled();
}

void ChannelEditor::placeEditor(QWidget* editor, int c, int r)
{
    const QRect rect = m_grid->cellRect(c, r);
    if (!rect.isValid())
        return;
    editor->setGeometry(rect);
    editor->show();
    editor->raise();
}

// Frequency editor ---------------------------------------------------------

// Tab and Shift+Tab finish the value and select the next or previous cell,
// the keys that move between rows finish it and move; as in a spreadsheet.
bool ChannelEditor::leaveEditorByKey(QKeyEvent* k)
{
    const int key = k->key();
    const bool tab = key == Qt::Key_Tab || key == Qt::Key_Backtab;
    if (!tab && key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_PageUp && key != Qt::Key_PageDown)
        return false;
    // Leaving the editor finishes a tone; a typed frequency is finished
    // first and stays in its editor if it is refused.
    m_grid->setFocus();
    if (m_frequencyPending && frequencyEditorVisible()) {
        m_edit1->hide();
        if (!commit())
            return true;
    }
    const int col = m_grid->col();
    const int row = m_grid->row();
    const bool back = key == Qt::Key_Backtab || (k->modifiers() & Qt::ShiftModifier);
    QKeyEvent move(QEvent::KeyPress, !tab ? key : back ? Qt::Key_Left : Qt::Key_Right, Qt::NoModifier);
    StringGrid1KeyDown(&move);
    // At the edge of the table nothing moved; the editor closes all the same.
    if (m_grid->col() == col && m_grid->row() == row)
        hideEditors();
    return true;
}

bool ChannelEditor::Edit1KeyPress(QKeyEvent* k)
{
    if (isShortcut(k))
        return false;
    if (isEnter(k)) {
        m_edit1->hide();
        m_grid->setFocus();
        commit();
        return true;
    }
    if (k->key() == Qt::Key_Escape) {
        cancelEdit();
        return true;
    }
    if (leaveEditorByKey(k))
        return true;
    const QChar ch = typedChar(k);
    if (ch.isNull())
        return false;   // caret keys, Delete
    return !InPlaceInput::frequencyKeyPasses(m_edit1->text(), ch, separator());
}

void ChannelEditor::Edit1KeyUp()
{
    const int c = editCol();
    const int r = editRow();
    // The release of the Enter that committed lands on a hidden editor.
    if ((c != 1 && c != 3) || m_edit1->isHidden())
        return;
    if (cell(r, c) != m_edit1->text()) {
        // The cell shows what is typed; the commit finishes it.
        keepBefore(c, r);
        setCell(r, c, m_edit1->text());
        m_frequencyPending = true;
    }
}

// Tone editor ----------------------------------------------------------

bool ChannelEditor::Edit3KeyPress(QKeyEvent* k)
{
    if (isShortcut(k))
        return false;
    if (isEnter(k)) {
        // Leaving the editor normalises the cell.
        hideToneEditor();
        m_grid->setFocus();
        return true;
    }
    if (k->key() == Qt::Key_Escape) {
        cancelEdit();
        return true;
    }
    if (leaveEditorByKey(k))
        return true;
    const QChar ch = typedChar(k);
    if (ch.isNull())
        return false;
    const InPlaceInput::KeyAction a =
        InPlaceInput::toneKey(m_edit3->text(), ch, words().off, separator());
    if (a.clearFirst)
        m_edit3->clear();
    if (a.maxLength >= 0)
        m_edit3->setMaxLength(a.maxLength);
    switch (a.kind) {
    case InPlaceInput::KeyAction::Pass:
        return false;
    case InPlaceInput::KeyAction::Insert:
        m_edit3->insert(a.insert);
        return true;
    case InPlaceInput::KeyAction::Drop:
        break;
    }
    return true;
}

void ChannelEditor::Edit3KeyUp()
{
    const int c = editCol();
    const int r = editRow();
    if ((c != 2 && c != 4) || !channelExists(r) || m_edit3->isHidden())
        return;
    if (cell(r, c) != m_edit3->text()) {
        keepBefore(c, r);
        setCell(r, c, m_edit3->text());
        m_tonePending = true;
    }
}

void ChannelEditor::Edit3Exit()
{
    m_tonePending = false;
    const int c = editCol();
    const int r = editRow();
    // Never put a tone into a channel that does not exist.
    if ((c != 2 && c != 4) || !channelExists(r))
        return;
    const QString v = InPlaceInput::normaliseTone(m_edit3->text(), words().off, separator());
    setCell(r, c, v);
    m_edit3->setText(v);
    m_before.col = -1;
    emit editSettled();
}

void ChannelEditor::toneEditorDoubleClicked()
{
    hideToneEditor();
    setEditCell(m_grid->col(), m_grid->row());
    const int c = editCol();
    const int r = editRow();
    if ((c != 2 && c != 4) || !channelExists(r))
        return;
    const QString text = cell(r, c);
    m_comboUpdating = true;
    const int i = m_combo1->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i >= 0)
        m_combo1->setCurrentIndex(i);
    else
        m_combo1->setEditText(text);
    m_comboUpdating = false;
    placeEditor(m_combo1, c, r);
    m_combo1->setFocus();
}

// Tone drop-down -------------------------------------------------------

void ChannelEditor::dropDownChanged()
{
    if (m_comboUpdating || m_combo1->count() == 0)
        return;
    QString t = m_combo1->currentText();
    if (t.isEmpty()) {
        m_comboUpdating = true;
        m_combo1->setCurrentIndex(0);
        m_comboUpdating = false;
        t = m_combo1->itemText(0);
    }
    const bool listed = m_combo1->findText(t, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0;
    const int c = editCol();
    const int r = editRow();
    if ((c == 2 || c == 4) && channelExists(r)) {
        keepBefore(c, r);
        setCell(r, c, listed ? t : m_combo1->itemText(0));
    }
}

bool ChannelEditor::ComboBox1KeyPress(QKeyEvent* k)
{
    if (isShortcut(k))
        return false;
    if (isEnter(k)) {
        m_combo1->hide();
        m_grid->setFocus();
        return true;
    }
    if (k->key() == Qt::Key_Escape) {
        cancelEdit();
        return true;
    }
    const QChar ch = typedChar(k);
    if (ch.isNull())
        return false;
    QLineEdit* line = m_combo1->lineEdit();
    if (ch == u'\b' && line->text() == words().off) {
        // Only the word goes; the cell keeps it until a tone is typed.
        m_comboUpdating = true;
        line->clear();
        m_comboUpdating = false;
        return true;
    }
    const QChar entered = InPlaceInput::toneListKey(ch, separator());
    if (entered.isNull())
        return true;
    if (entered != ch) {
        line->insert(QString(entered));
        return true;
    }
    return false;
}

void ChannelEditor::ComboBox1Exit()
{
    m_combo1->hide();
    m_before.col = -1;
    emit editSettled();
}
