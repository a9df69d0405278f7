// The Edit menu: undo and redo over snapshots of the document, the grid's
// spreadsheet commands, and what keeps the title and the menus in step with
// the document (its file, the unsaved-changes mark, mnemonics, tool tips).
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>

#include "document/settingsdocument.h"
#include "gui/channeleditor.h"
#include "gui/channelgrid.h"
#include "gui/mainwindow.h"
#include "gui/mnemonic.h"
#include "gui/alignmentwindow.h"
#include "app/appstate.h"
#include "base/result.h"
#include "base/textids.h"

namespace {

QString plainText(const QAction* a)
{
    QString t = Mnemonic::without(a->text());
    if (t.endsWith(QStringLiteral("...")))
        t.chop(3);
    if (!a->shortcut().isEmpty())
        t += QStringLiteral(" (") + a->shortcut().toString(QKeySequence::NativeText) + u')';
    return t;
}

}

QAction* MainWindow::addItem(QMenu* menu, const char* name, void (MainWindow::*slot)(),
                            const QList<QKeySequence>& keys)
{
    auto* a = new QAction(this);
    a->setObjectName(QLatin1String(name));
    a->setShortcuts(keys);
    if (slot)
        connect(a, &QAction::triggered, this, slot);
    menu->addAction(a);
    m_actions.insert(QLatin1String(name), a);
    return a;
}

void MainWindow::buildEditMenu()
{
    QMenu* edit = menuBar()->addMenu(QString());
    edit->setObjectName(QStringLiteral("EditMenu"));
    edit->menuAction()->setObjectName(QStringLiteral("EditMenu"));
    m_actions.insert(QStringLiteral("EditMenu"), edit->menuAction());
    addItem(edit, "UndoItem", &MainWindow::undo, {QKeySequence::Undo});
    addItem(edit, "RedoItem", &MainWindow::redo,
            {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    edit->addSeparator();
    addItem(edit, "ClipCutItem", &MainWindow::cutChannels, {QKeySequence::Cut});
    addItem(edit, "ClipCopyItem", &MainWindow::copyChannels, {QKeySequence::Copy});
    addItem(edit, "ClipPasteItem", &MainWindow::pasteChannels, {QKeySequence::Paste});
    edit->addSeparator();
    addItem(edit, "InsertChannelItem", &MainWindow::insertChannel, {QKeySequence(QStringLiteral("Ctrl+I"))});
    addItem(edit, "DuplicateChannelItem", &MainWindow::duplicateChannel, {QKeySequence(QStringLiteral("Ctrl+D"))});
    addItem(edit, "DeleteChannelsItem", nullptr);
    addItem(edit, "SelectAllItem", nullptr, {QKeySequence::SelectAll});
    m_setMenu = edit->addMenu(QString());
    m_setMenu->setObjectName(QStringLiteral("SetSelectedMenu"));
    m_setMenu->menuAction()->setObjectName(QStringLiteral("SetSelectedMenu"));
    m_actions.insert(QStringLiteral("SetSelectedMenu"), m_setMenu->menuAction());
}

void MainWindow::startEditing()
{
    connect(m_actions.value(QStringLiteral("DeleteChannelsItem")), &QAction::triggered, m_channel,
            &ChannelEditor::deleteSelectedChannels);
    connect(m_actions.value(QStringLiteral("SelectAllItem")), &QAction::triggered, m_channel, [this] {
        if (auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
            line->selectAll();
        else
            m_channel->grid()->selectRows(1, m_doc->channelCount());
    });
    // The grid's own menu offers the commands that work on its selection.
    ChannelGrid* grid = m_channel->grid();
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    const char* const items[] = {"ClipCutItem", "ClipCopyItem", "ClipPasteItem", nullptr, "InsertChannelItem",
                                 "DuplicateChannelItem", "DeleteChannelsItem", "SetSelectedMenu"};
    for (const char* name : items) {
        if (!name) {
            auto* sep = new QAction(grid);
            sep->setSeparator(true);
            grid->addAction(sep);
        } else {
            grid->addAction(m_actions.value(QLatin1String(name)));
        }
    }
    // The radio commands show their short-cuts in the menu.
    m_actions.value(QStringLiteral("CutItem"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
    m_actions.value(QStringLiteral("CopyItem"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+W")));

    // Every change is recorded once the event that made it is over, unless
    // a typed value is still on its way into its cell.
    SettingsDocument* doc = m_doc;
    connect(doc, &SettingsDocument::changed, this, &MainWindow::scheduleSettle);
    connect(doc, &SettingsDocument::cellChanged, this, &MainWindow::scheduleSettle);
    connect(doc, &SettingsDocument::optionsChanged, this, &MainWindow::scheduleSettle);
    connect(doc, &SettingsDocument::reset, this, &MainWindow::scheduleSettle);
    connect(doc, &SettingsDocument::filePathChanged, this, &MainWindow::scheduleSettle);
    connect(m_channel, &ChannelEditor::editSettled, this, &MainWindow::scheduleSettle);
    connect(m_state, &AppState::radioBusyChanged, this, &MainWindow::scheduleSettle);
    applyEditingTexts();
    m_captionTail = windowTitle();
    updateTitle();
}

void MainWindow::scheduleSettle()
{
    if (m_settleQueued)
        return;
    m_settleQueued = true;
    QTimer::singleShot(0, this, &MainWindow::settle);
}

void MainWindow::settle()
{
    m_settleQueued = false;
    if (!m_state->radioBusy() && !m_channel->editPending())
        m_doc->checkpoint();
    updateTitle();
    m_actions.value(QStringLiteral("UndoItem"))->setEnabled(m_doc->canUndo());
    m_actions.value(QStringLiteral("RedoItem"))->setEnabled(m_doc->canRedo());
}

QString MainWindow::commandText(const char* name) const
{
    const QAction* a = m_actions.value(QLatin1String(name));
    return a ? Mnemonic::without(a->text()) : QString();
}

QString MainWindow::documentName() const
{
    const QString path = m_doc->filePath();
    return path.isEmpty() ? m_state->text(TextId::Untitled) : QFileInfo(path).fileName();
}

void MainWindow::updateTitle()
{
    QString title = documentName();
    if (m_doc->isModified())
        title += u'*';
    if (!m_captionTail.isEmpty())
        title += QStringLiteral(" - ") + m_captionTail;
    m_settingTitle = true;
    setWindowTitle(title);
    m_settingTitle = false;
}

void MainWindow::changeEvent(QEvent* e)
{
    // The commands set the caption to the model and band as they always
    // have; the title puts the document's name and mark in front of it.
    if (e->type() == QEvent::WindowTitleChange && !m_settingTitle) {
        m_captionTail = windowTitle();
        updateTitle();
    }
    QMainWindow::changeEvent(e);
}

void MainWindow::undo()
{
    m_channel->finishPendingEdit();
    if (m_doc->undo())
        m_channel->hideEditors();
    settle();
}

void MainWindow::redo()
{
    m_channel->finishPendingEdit();
    if (m_doc->redo())
        m_channel->hideEditors();
    settle();
}

void MainWindow::cutChannels()
{
    if (auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
        line->cut();
    else
        m_channel->cutCells();
}

void MainWindow::copyChannels()
{
    if (auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
        line->copy();
    else
        m_channel->copyCells();
}

void MainWindow::pasteChannels()
{
    if (auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
        line->paste();
    else
        m_channel->pasteCells();
}

void MainWindow::insertChannel() { m_channel->insertChannel(); }
void MainWindow::duplicateChannel() { m_channel->duplicateChannel(); }

// One submenu per column, each value with a letter of its own.
void MainWindow::rebuildSetMenu()
{
    m_setMenu->clear();
    qDeleteAll(m_setMenu->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly));
    const ValueWords& w = m_doc->words();
    const char columnLetters[] = "PBSLTCI";   // Power, Bandwidth, Scan, busy Lock, Tail, Comp, ptt Id
    for (int col = 5; col <= 11; ++col) {
        const QStringList choices = col == 5 ? QStringList{w.high, w.low}
                                  : col == 6 ? QStringList{w.wide, w.narrow}
                                             : QStringList{w.on, w.off};
        const char* letters = col == 5 ? "HL" : col == 6 ? "WN" : "OF";
        QMenu* sub = m_setMenu->addMenu(Mnemonic::with(m_channel->columnName(col), QLatin1Char(columnLetters[col - 5])));
        sub->setObjectName(QStringLiteral("SetColumn%1").arg(col));
        for (int i = 0; i < choices.size(); ++i) {
            const QString word = choices[i];
            QAction* a = sub->addAction(Mnemonic::with(word, QLatin1Char(letters[i])));
            a->setObjectName(QStringLiteral("SetColumn%1_%2").arg(col).arg(i));
            connect(a, &QAction::triggered, m_channel, [this, col, word] { m_channel->setSelectedChannels(col, word); });
        }
    }
}

void MainWindow::applyEditingTexts()
{
    const std::pair<const char*, int> texts[] = {
        {"EditMenu", TextId::MenuEdit}, {"UndoItem", TextId::MenuUndo}, {"RedoItem", TextId::MenuRedo},
        {"ClipCutItem", TextId::MenuCut}, {"ClipCopyItem", TextId::MenuCopy},
        {"ClipPasteItem", TextId::MenuPaste}, {"InsertChannelItem", TextId::MenuInsertChannel},
        {"DuplicateChannelItem", TextId::MenuDuplicateChannel}, {"DeleteChannelsItem", TextId::MenuDelete},
        {"SelectAllItem", TextId::MenuSelectAll}, {"SetSelectedMenu", TextId::MenuSetSelected},
        {"FileSaveAsItem", TextId::MenuSaveAs}, {"RecentMenu", TextId::MenuRecent},
        {"ImportCsvItem", TextId::MenuImportCsv}, {"ExportCsvItem", TextId::MenuExportCsv}};
    for (const auto& [name, id] : texts)
        if (QAction* a = m_actions.value(QLatin1String(name)))
            a->setText(m_state->text(id));

    const std::pair<const char*, char> letters[] = {
        {"File1", 'F'}, {"EditMenu", 'E'}, {"Edit1", 'P'}, {"Window1", 'T'}, {"Help1", 'H'},
        {"FileNewItem", 'N'}, {"FileOpenItem", 'O'}, {"FileCloseItem", 'S'}, {"FileSaveAsItem", 'A'},
        {"RecentMenu", 'R'}, {"ImportCsvItem", 'I'}, {"ExportCsvItem", 'E'}, {"FileExitItem", 'X'},
        {"CutItem", 'R'}, {"CopyItem", 'W'}, {"ChannelInformation1", 'C'}, {"OptionalFeatures1", 'O'},
        {"N4", 'I'}, {"UndoItem", 'U'}, {"RedoItem", 'R'}, {"ClipCutItem", 'T'}, {"ClipCopyItem", 'C'},
        {"ClipPasteItem", 'P'}, {"InsertChannelItem", 'I'}, {"DuplicateChannelItem", 'D'},
        {"DeleteChannelsItem", 'L'}, {"SelectAllItem", 'A'}, {"SetSelectedMenu", 'S'},
        {"WindowCascadeItem", 'C'}, {"CommunicationLog1", 'G'}, {"N2", 'L'}, {"BackupsItem", 'B'},
        {"CompareItem", 'M'}, {"FleetItem", 'P'}, {"HelpAboutItem", 'H'}, {"About1", 'A'}};
    for (const auto& [name, letter] : letters)
        if (QAction* a = m_actions.value(QLatin1String(name)))
            a->setText(Mnemonic::with(a->text(), QLatin1Char(letter)));

    // Every toolbar button names its command.
    const std::pair<const char*, const char*> buttons[] = {
        {"ToolButton9", "FileNewItem"}, {"ToolButton1", "FileOpenItem"}, {"ToolButton2", "FileCloseItem"},
        {"ToolButton4", "CutItem"}, {"ToolButton6", "WindowCascadeItem"}, {"ToolButton5", "CopyItem"},
        {"ToolButton8", "ChannelInformation1"}, {"ToolButton10", "OptionalFeatures1"}, {"ToolButton11", "N4"}};
    for (const auto& [button, action] : buttons)
        if (QToolButton* b = m_buttons.value(QLatin1String(button)))
            b->setToolTip(plainText(m_actions.value(QLatin1String(action))));
    if (QToolButton* b = m_buttons.value(QStringLiteral("ToolButton12")))
        b->setToolTip(m_alignment->windowTitle());
    rebuildSetMenu();
    updateTitle();
}
