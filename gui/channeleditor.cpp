#include "gui/channeleditor.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/appcontext.h"
#include "gui/prompter.h"
#include "app/appstate.h"
#include "base/textids.h"
#include "document/band.h"
#include "document/settingkeys.h"
#include "document/frequency.h"
#include "document/optionlists.h"
#include "document/settingsdocument.h"
#include "document/tonelist.h"
#include "gui/channelgrid.h"
#include "gui/channelmodel.h"
#include "gui/childwindow.h"

namespace {
constexpr int FirstRow = 1;
constexpr int LastRow = DocumentData::ChannelCount;
const QSize PictureFrame(268, 89);
const QString ErrorCaption = QStringLiteral("RQ-300");
}

ChannelEditor::ChannelEditor(AppContext& ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx), m_doc(ctx.doc)
{
    Q_ASSERT(ctx.doc && ctx.state);
    setObjectName(QStringLiteral("channel"));
    setWindowTitle(QStringLiteral("信道编辑"));

    m_model = new ChannelTableModel(ctx.doc, this);
    m_grid = new ChannelGrid(this);
    m_grid->setModel(m_model);
    m_grid->setSelectedCell(1, 1);
    m_grid->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);
    m_grid->setCanSelect([this](int c, int r) { return StringGrid1SelectCell(c, r); });
    connect(m_grid, &ChannelGrid::cellClicked, this, &ChannelEditor::cellChosen);
    connect(m_grid, &ChannelGrid::painted, this, &ChannelEditor::StringGrid1DrawCell);
    connect(m_grid, &ChannelGrid::selectionExtended, this, &ChannelEditor::hideEditors);

    buildEditors();
    buildPanel();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_grid, 1);
    layout->addWidget(findChild<QWidget*>(QStringLiteral("Panel1")));
    resize(799, 554);

    connect(ctx.doc, &SettingsDocument::wordsChanged, this, [this] {
        refillToneList();
        updateFrequencyValidator();
    });
    // Open, a read and New put finished values into every cell.
    connect(ctx.doc, &SettingsDocument::reset, this, [this] {
        m_frequencyPending = false;
        m_before.col = -1;
        showPicture();
    });
    const auto bandOrModel = [this](const QString& key) {
        if (key == Key::Band || key == Key::Model)
            showPicture();
    };
    connect(ctx.doc, &SettingsDocument::changed, this, bandOrModel);
    connect(ctx.doc, &SettingsDocument::optionsChanged, this, bandOrModel);

    applyTexts(ctx.state->texts);
    updateFrequencyValidator();
}

void ChannelEditor::buildEditors()
{
    QWidget* vp = m_grid->viewport();
    m_edit1 = new QLineEdit(vp);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setMaxLength(9);
    m_edit3 = new QLineEdit(vp);
    m_edit3->setObjectName(QStringLiteral("Edit3"));
    m_edit3->setMaxLength(5);
    m_combo1 = new QComboBox(vp);
    m_combo1->setObjectName(QStringLiteral("ComboBox1"));
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_combo1->setCompleter(nullptr);   // completion would change what is typed
    m_combo1->lineEdit()->setMaxLength(5);
    m_combo1->setMaxVisibleItems(16);
    for (QWidget* w : {static_cast<QWidget*>(m_edit1), static_cast<QWidget*>(m_edit3),
                       static_cast<QWidget*>(m_combo1)}) {
        w->hide();
        w->installEventFilter(this);
        // The editors sit exactly on their cell and read like it.
        w->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; }"));
    }
    m_edit1->setAlignment(Qt::AlignCenter);
    m_edit3->setAlignment(Qt::AlignCenter);
    m_combo1->lineEdit()->installEventFilter(this);
    connect(m_combo1, &QComboBox::editTextChanged, this, &ChannelEditor::dropDownChanged);
}

void ChannelEditor::buildPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(8);

    m_image = new QLabel(panel);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setFixedSize(PictureFrame);
    m_image->setAlignment(Qt::AlignCenter);
    loadPicture();
    row->addWidget(m_image);
    row->addStretch(1);

    const char* captions[6] = {nullptr, nullptr, "全部删除", "信道上移", "信道下移", "信道删除"};
    for (int i = 2; i <= 5; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(captions[i]), panel);
        b->setObjectName(QStringLiteral("Button%1").arg(i));
        b->setMinimumWidth(88);
        m_buttons[i] = b;
        row->addWidget(b, 0, Qt::AlignVCenter);
    }
    connect(m_buttons[2], &QPushButton::clicked, this, &ChannelEditor::deleteAllChannels);
    connect(m_buttons[3], &QPushButton::clicked, this, &ChannelEditor::moveChannelUp);
    connect(m_buttons[4], &QPushButton::clicked, this, &ChannelEditor::moveChannelDown);
    connect(m_buttons[5], &QPushButton::clicked, this, &ChannelEditor::deleteChannels);
}

void ChannelEditor::loadPicture()
{
    // Qt's JPEG plugin (libjpeg underneath) decodes it.
    m_picture = QImage(QStringLiteral(":/editors/radio.jpg"));
    showPicture();
}

// The picture carries the model and the selected band, drawn here so that a
// band change shows in it at once ("MZ-209  ·  400-470 MHz").
void ChannelEditor::showPicture()
{
    if (m_picture.isNull() || !m_doc)
        return;   // the picture is decoration only
    QString band = m_doc->selectedBand();
    if (band.endsWith(QStringLiteral("MHz")))
        band.insert(band.size() - 3, u' ');
    const QString model = m_doc->choiceText(Key::Model);
    const QString line = band.isEmpty() ? model : model + QStringLiteral("  \u00b7  ") + band;
    QImage image = m_picture.convertToFormat(QImage::Format_RGB32);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::TextAntialiasing);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(20);
        p.setFont(font);
        p.setPen(QColor(0x5d, 0x6f, 0x80));
        // Where scripts/make-radio-picture.sh leaves room for it, under
        // "UHF FM two-way radio".
        p.drawText(QPoint(172, 160), line);
    }
    const qreal dpr = devicePixelRatioF();
    const QSize frame = PictureFrame * dpr;
    if (image.width() > frame.width() || image.height() > frame.height())
        image = image.scaled(frame, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmap pm = QPixmap::fromImage(image);
    pm.setDevicePixelRatio(dpr);
    m_image->setPixmap(pm);
    m_image->setToolTip(line);
}

void ChannelEditor::applyTexts(const PackStrings& t)
{
    // An id the pack lacks keeps the text the window has.
    const auto text = [&t](int id, const QString& current) {
        const QString s = t.text(id);
        return s.isEmpty() ? current : s;
    };
    setWindowTitle(text(19, windowTitle()));
    QStringList headers = m_model->headers();
    for (int c = 0; c < DocumentData::Cols; ++c) {
        const QString caption = ChannelText::columnCaption(c, t);
        if (!caption.isEmpty())
            headers[c] = caption;
    }
    m_model->setHeaders(headers);
    m_grid->fitColumnsToHeaders();

    const int buttonIds[6] = {0, 0, 96, 65, 66, 67};
    for (int i = 2; i <= 5; ++i)
        m_buttons[i]->setText(text(buttonIds[i], m_buttons[i]->text()));

    refillToneList();
}

void ChannelEditor::refillToneList()
{
    const QStringList items = m_ctx.doc->toneList();
    m_comboUpdating = true;
    const QString shown = m_combo1->currentText();
    m_combo1->clear();
    m_combo1->addItems(items);
    m_combo1->setEditText(shown);
    m_comboUpdating = false;
}

void ChannelEditor::updateFrequencyValidator()
{
    const QString sep = QRegularExpression::escape(QString(separator()));
    // Pasted text obeys the same rule as typed text: digits and one separator.
    auto* v = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^[0-9]*(%1[0-9]*)?$").arg(sep)), m_edit1);
    const QValidator* old = m_edit1->validator();
    m_edit1->setValidator(v);
    delete old;
}

// Window ----------------------------------------------------------------

bool ChannelEditor::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::ParentChange:
        watchFrame();
        break;
    case QEvent::WindowDeactivate:
        // As a window of its own it is deactivated like a child window.
        if (!qobject_cast<QMdiSubWindow*>(parentWidget()))
            FormDeactivate();
        break;
    default:
        break;
    }
    return QWidget::event(e);
}

void ChannelEditor::watchFrame()
{
    disconnect(m_frameConnection);
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame)
        return;
    m_frameConnection = connect(frame, &QMdiSubWindow::windowStateChanged, this,
                                [this](Qt::WindowStates before, Qt::WindowStates now) {
                                    if ((before & Qt::WindowActive) && !(now & Qt::WindowActive))
                                        FormDeactivate();
                                });
}

void ChannelEditor::FormDeactivate()
{
    if (!m_doc)
        return;
    hideEditors();
}

void ChannelEditor::closeEvent(QCloseEvent* e)
{
    hideEditors();
    hideInsteadOfClosing(this, e);
}

// Public operations --------------------------------------------------------

void ChannelEditor::sendallcell()
{
    commit();
}

void ChannelEditor::sendcell(int c, int r)
{
    commitFrequency(c, r);
}

void ChannelEditor::hideEditors()
{
    const bool wasPending = editPending();
    hideToneEditor();
    m_edit1->hide();
    m_combo1->hide();
    if (wasPending)
        emit editSettled();
}

void ChannelEditor::hideToneEditor()
{
    if (m_tonePending)
        Edit3Exit();
    m_edit3->hide();
}

bool ChannelEditor::editPending() const
{
    // A value typed into an editor that was then put away (another window
    // became active) is a change of its own, not part of what comes next.
    return (m_frequencyPending && !m_edit1->isHidden()) || (m_tonePending && !m_edit3->isHidden())
           || !m_combo1->isHidden();
}

bool ChannelEditor::frequencyEditorVisible() const
{
    return !m_edit1->isHidden();
}

bool ChannelEditor::finishPendingEdit()
{
    if (m_tonePending)
        Edit3Exit();
    bool ok = true;
    if (frequencyEditorVisible() || m_frequencyPending)
        ok = commit();
    if (ok) {
        hideEditors();
    } else {
        // The refused frequency stays in its editor for correction.
        hideToneEditor();
        m_combo1->hide();
    }
    return ok;
}

void ChannelEditor::keepBefore(int c, int r)
{
    if (m_before.col == c && m_before.row == r)
        return;
    m_before.col = c;
    m_before.row = r;
    m_before.text = cell(r, c);
}

void ChannelEditor::cancelEdit()
{
    const auto before = m_before;
    const bool wasPending = editPending() || m_frequencyPending || before.col >= 0;
    m_before.col = -1;
    m_frequencyPending = false;
    m_tonePending = false;
    // Leaving the tone editor writes what it shows into its cell; the cell
    // is put back after that.
    m_grid->setFocus();
    m_edit1->hide();
    m_edit3->hide();
    m_combo1->hide();
    if (before.col >= 0)
        setCell(before.row, before.col, before.text);
    if (wasPending)
        emit editSettled();
}

// Commit ---------------------------------------------------------------

bool ChannelEditor::commit()
{
    const int c = editCol();
    const int r = editRow();
    if (r < FirstRow || r > LastRow || c < 0 || c >= DocumentData::Cols)
        return true;
    bool ok = true;
    if (channelExists(r) && cell(r, 2).isEmpty()) {
        // A new channel: its receive frequency is what the commit finishes,
        // whichever of its cells was under edit.
        if (!commitFrequency(1, r))
            return false;
        const ValueWords& w = words();
        setCell(r, 3, cell(r, 1));
        const QString defaults[] = {w.off, {}, w.off, w.high, w.wide, w.on, w.off, w.on, w.off, w.off};
        for (int col = 2; col <= 11; ++col)
            if (col != 3)
                setCell(r, col, defaults[col - 2]);
    } else if (m_frequencyPending && !cell(r, c).isEmpty() && (c == 1 || c == 3)) {
        // Only a typed value: a frequency the band no longer holds (after a
        // band change) is shown as it is, not moved or refused on a click.
        ok = commitFrequency(c, r);
    } else if (!channelExists(r)) {
        for (int col = 2; col <= 11; ++col)
            setCell(r, col, QString());
    }
    if (ok) {
        m_frequencyPending = false;
        m_before.col = -1;
        emit editSettled();
    }
    return ok;
}

bool ChannelEditor::commitFrequency(int c, int r)
{
    const QString text = cell(r, c);
    const QString band = m_ctx.doc->selectedBand();
    const std::optional<QString> v = Frequency::commit(text, band, separator());
    if (!v && Frequency::isOutsideBand(text, band, separator())) {
        // A value beyond the band is a slip (446.1 without its point), never
        // a request for the band's edge: refused as a paste would be, and
        // left in its editor.
        refuse(TextId::TypedOutsideBand, {QString::number(r), columnName(c), text, band});
        reopenFrequencyEditor(c, r);
        return false;
    }
    if (!v) {
        // The band edges are read first; without a band nothing can be read.
        const QString bad = Band::isWellFormed(band) ? text : band.left(3);
        Prompter::active().message(this, ErrorCaption,
                                   QStringLiteral("'%1' is not a valid floating point value").arg(bad),
                                   Prompter::Icon::Error);
        return false;
    }
    setCell(r, c, *v);
    return true;
}

void ChannelEditor::reopenFrequencyEditor(int c, int r)
{
    if (c != editCol() || r != editRow())
        return;
    m_frequencyPending = true;
    m_edit1->setText(cell(r, c));
    placeEditor(m_edit1, c, r);
    m_edit1->setFocus();
    m_edit1->end(false);
}

// Buttons ----------------------------------------------------------------

void ChannelEditor::deleteAllChannels()
{
    if (!Prompter::active().question(this, m_ctx.state->text(TextId::DeleteAllCaption),
                                     m_ctx.state->text(TextId::DeleteAllQuestion), Prompter::Icon::Warning))
        return;
    hideEditors();
    m_ctx.doc->checkpoint();
    for (int r = FirstRow; r <= LastRow; ++r)
        m_ctx.doc->clearChannel(r);
    m_frequencyPending = false;
    m_before.col = -1;
}

void ChannelEditor::deleteChannels()
{
    deleteSelectedChannels();
}

void ChannelEditor::moveChannelDown() { moveChannel(+1); }
void ChannelEditor::moveChannelUp() { moveChannel(-1); }

void ChannelEditor::moveChannel(int delta)
{
    if (m_tonePending)
        Edit3Exit();
    if (!commit())
        return;
    m_ctx.doc->checkpoint();
    const int c = editCol();
    const int r = editRow();
    const int to = r + delta;
    if (c >= 1 && !cell(r, c).isEmpty() && r >= FirstRow && r <= LastRow && to >= FirstRow
        && to <= LastRow) {
        m_ctx.doc->swapChannels(r, to);
        // The cell under edit and the selection follow the channel, so the
        // next press moves the same channel one row further.
        setEditCell(c, to);
        m_grid->setSelectedCell(c, to);
    }
    if (c == 1 || c == 3)
        m_edit1->setText(cell(editRow(), c));
    checkEditorPositions();
}

// Helpers --------------------------------------------------------------

void ChannelEditor::setEditCell(int c, int r)
{
    m_editCol = c;
    m_editRow = r;
}
QString ChannelEditor::cell(int r, int c) const { return m_ctx.doc->cell(r, c); }
void ChannelEditor::setCell(int r, int c, const QString& text) { m_ctx.doc->setCell(r, c, text); }
bool ChannelEditor::channelExists(int r) const { return !cell(r, 1).isEmpty(); }
const ValueWords& ChannelEditor::words() const { return m_ctx.doc->words(); }
QChar ChannelEditor::separator() const { return m_ctx.doc->decimalSeparator(); }
