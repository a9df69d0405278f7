#include "gui/mainwindow.h"
#include "gui/mainactions.h"

#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>

#include "gui/aboutbox.h"
#include "gui/portwindow.h"
#include "gui/prompter.h"
#include "app/appstate.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "gui/channeleditor.h"
#include "gui/optionseditor.h"
#include "gui/radioinfowindow.h"
#include "radio/identity.h"
#include "radio/portmap.h"
#include "gui/readwritedialog.h"
#include "gui/safetymenu.h"
#include "radio/seriallink.h"
#include "gui/alignmentwindow.h"
#include "base/result.h"
#include "base/textids.h"

namespace {

// Closing an editor child window only hides it; its command brings it back
// with its contents. The filter sits on the MDI frame and on the editor.
class HideOnClose : public QObject {
public:
    HideOnClose(QMdiSubWindow* sub) : QObject(sub), m_sub(sub) {}
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Close) {
            e->ignore();
            m_sub->hide();
            return true;
        }
        // An editor that hides itself (its own OK button) takes its frame along.
        if (e->type() == QEvent::Hide && o != m_sub && static_cast<QWidget*>(o)->isHidden())
            m_sub->hide();
        return false;
    }

private:
    QMdiSubWindow* m_sub;
};

}

MainWindow::MainWindow(AppSession& session, QWidget* parent)
    : QMainWindow(parent),
      m_session(session),
      m_ctx(session),
      m_doc(session.doc),
      m_state(session.state),
      m_link(session.link)
{
    setObjectName(QStringLiteral("MainForm"));

    resize(997, 671);
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(m_mdi);

    buildMenu();
    buildToolBar();

    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar"));
    m_status = new QLabel(QStringLiteral("    BRASEL调频手持对讲机RQ-300系列编程软件"), bar);
    m_status->setObjectName(QStringLiteral("StatusText"));
    // A long line (a backup's path) is cut rather than widening the window;
    // its tool tip holds all of it.
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(m_status, 1);
    setStatusBar(bar);

    buildChildWindows();
    bindSelectors();
    startEditing();

    connect(m_actions.value(QStringLiteral("CloseWindowItem")), &QAction::triggered, this, [this] {
        if (QMdiSubWindow* sub = m_mdi->activeSubWindow())
            sub->close();
    });
    // The two editors are placed side by side once the area has its size,
    // and again when it changes while they are still where they were put.
    m_mdi->viewport()->installEventFilter(this);
    showStatus(firstStepText());

    connect(m_state, &AppState::radioBusyChanged, this, [this](bool busy) {
        for (const MainAction& d : MainActions::all())
            if (d.refusedWhileBusy)
                m_actions.value(QLatin1String(d.name))->setEnabled(!busy);
        if (!busy && m_closeDeferred)
            close();
    });
}

void MainWindow::buildMenu()
{
    QMenuBar* mb = menuBar();
    mb->setObjectName(QStringLiteral("MainMenu1"));
    auto add = [this](QMenu* m, const char* name, void (MainWindow::*slot)()) { return addItem(m, name, slot); };
    auto menu = [&](QMenu* parentMenu, const char* name) {
        const MainAction* d = MainActions::find(QLatin1String(name));
        const QString text = QString::fromUtf8(d->builtIn);
        QMenu* m = parentMenu ? parentMenu->addMenu(text) : mb->addMenu(text);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        m_actions.insert(QLatin1String(name), m->menuAction());
        return m;
    };

    QMenu* file = menu(nullptr, "File1");
    add(file, "FileNewItem", &MainWindow::newDocument);
    add(file, "FileOpenItem", &MainWindow::openDocument);
    add(file, "FileCloseItem", &MainWindow::save);
    add(file, "FileSaveAsItem", &MainWindow::saveAs);
    m_recentMenu = menu(file, "RecentMenu");
    loadRecentFiles();
    file->addSeparator();
    add(file, "ImportCsvItem", &MainWindow::importCsv);
    add(file, "ExportCsvItem", &MainWindow::exportCsv);
    file->addSeparator();
    add(file, "PrintItem", &MainWindow::printSheet);
    add(file, "ExportPdfItem", &MainWindow::exportPdf);
    file->addSeparator();
    connect(add(file, "FileExitItem", nullptr), &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menu(nullptr, "EditMenu");
    add(edit, "UndoItem", &MainWindow::undo);
    add(edit, "RedoItem", &MainWindow::redo);
    edit->addSeparator();
    add(edit, "ClipCutItem", &MainWindow::cutChannels);
    add(edit, "ClipCopyItem", &MainWindow::copyChannels);
    add(edit, "ClipPasteItem", &MainWindow::pasteChannels);
    edit->addSeparator();
    add(edit, "InsertChannelItem", &MainWindow::insertChannel);
    add(edit, "DuplicateChannelItem", &MainWindow::duplicateChannel);
    add(edit, "DeleteChannelsItem", nullptr);
    add(edit, "SelectAllItem", nullptr);
    m_setMenu = menu(edit, "SetSelectedMenu");

    QMenu* programming = menu(nullptr, "Edit1");
    add(programming, "CutItem", &MainWindow::readRadio);
    add(programming, "CopyItem", &MainWindow::writeRadio);
    programming->addSeparator();
    add(programming, "ChannelInformation1", &MainWindow::showChannelEditor);
    add(programming, "OptionalFeatures1", &MainWindow::showOptionsEditor);
    programming->addSeparator();
    add(programming, "N4", &MainWindow::showRadioInfo);
    add(programming, "CompareItem", nullptr);
    add(programming, "FleetItem", nullptr);

    QMenu* tools = menu(nullptr, "Window1");
    add(tools, "WindowCascadeItem", &MainWindow::showPortWindow);
    add(tools, "CommunicationLog1", &MainWindow::toggleCommunicationLog)->setCheckable(true);
    QMenu* lang = menu(tools, "N2");
    auto* languages = new QActionGroup(lang);
    languages->setExclusive(true);
    for (auto [name, slot] : {std::pair{"N5", &MainWindow::useSimplifiedChinese},
                              std::pair{"N6", &MainWindow::useEnglish},
                              std::pair{"N7", &MainWindow::useTraditionalChinese}}) {
        QAction* item = add(lang, name, slot);
        item->setCheckable(true);
        languages->addAction(item);
    }
    add(tools, "BackupsItem", nullptr);
    connectSafetyCommands(*this, m_actions);

    QMenu* help = menu(nullptr, "Help1");
    add(help, "HelpAboutItem", &MainWindow::showHelp);
    add(help, "About1", &MainWindow::showAbout);

    add(nullptr, "CloseWindowItem", nullptr);
    add(nullptr, "AlignmentItem", &MainWindow::showAlignmentWindow);
}

QAction* MainWindow::addItem(QMenu* menu, const char* name, void (MainWindow::*slot)())
{
    const MainAction* d = MainActions::find(QLatin1String(name));
    Q_ASSERT(d);
    auto* a = new QAction(QString::fromUtf8(d->builtIn), this);
    a->setObjectName(QLatin1String(name));
    a->setShortcuts(d->keys);
    if (slot)
        connect(a, &QAction::triggered, this, slot);
    if (menu)
        menu->addAction(a);
    else
        addAction(a);   // a short-cut of the window
    m_actions.insert(QLatin1String(name), a);
    return a;
}

void MainWindow::buildToolBar()
{
    auto* tb = new QToolBar(this);
    tb->setObjectName(QStringLiteral("ToolBar2"));
    tb->setMovable(false);
    tb->setFloatable(false);
    tb->setIconSize(QSize(24, 24));
    tb->setFixedHeight(36);
    tb->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, tb);

    QList<const MainAction*> onBar;
    for (const MainAction& d : MainActions::all())
        if (d.button)
            onBar << &d;
    std::sort(onBar.begin(), onBar.end(),
              [](const MainAction* a, const MainAction* b) { return a->toolbarPlace < b->toolbarPlace; });
    int group = 0;
    for (const MainAction* d : onBar) {
        if (group && d->toolbarPlace / 10 != group)
            tb->addSeparator();
        group = d->toolbarPlace / 10;
        QAction* a = m_actions.value(QLatin1String(d->name));
        auto* b = new QToolButton(tb);
        b->setObjectName(QLatin1String(d->button));
        b->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(d->icon))));
        b->setIconSize(QSize(24, 24));
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setAutoRaise(true);
        // The button does what its command does, and only when it may.
        connect(b, &QToolButton::clicked, a, &QAction::trigger);
        connect(a, &QAction::changed, b, [a, b] { b->setEnabled(a->isEnabled()); });
        m_buttons.insert(QLatin1String(d->button), b);
        tb->addWidget(b)->setVisible(!d->buttonHidden);
    }
    tb->addSeparator();

    auto* spacer = new QWidget(tb);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    tb->addWidget(spacer);

    auto* selectors = new QWidget(tb);
    auto* row = new QHBoxLayout(selectors);
    row->setContentsMargins(0, 0, 12, 0);
    m_bandLabel = new QLabel(QStringLiteral("频段："), selectors);
    m_bandLabel->setObjectName(QStringLiteral("Label85"));
    m_band = new QComboBox(selectors);
    m_band->setObjectName(QStringLiteral("ComboBand"));
    m_band->setMinimumContentsLength(10);
    m_band->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_modelLabel = new QLabel(QStringLiteral("型号："), selectors);
    m_modelLabel->setObjectName(QStringLiteral("Label2"));
    m_model = new QComboBox(selectors);
    m_model->setObjectName(QStringLiteral("ComboBox11"));
    m_modelLabel->hide();
    m_model->hide();
    row->addWidget(m_bandLabel);
    row->addWidget(m_band);
    row->addWidget(m_modelLabel);
    row->addWidget(m_model);
    tb->addWidget(selectors);
}

QMdiSubWindow* MainWindow::addChild(QWidget* w)
{
    QMdiSubWindow* sub = m_mdi->addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->setObjectName(w->objectName() + QStringLiteral("Frame"));
    auto* filter = new HideOnClose(sub);
    sub->installEventFilter(filter);
    w->installEventFilter(filter);
    // Each frame's own Close would claim Ctrl+W (Write) and Ctrl+F4 in the
    // whole window, so that neither key did anything; the main window's
    // one Ctrl+F4 closes the active frame instead.
    if (QMenu* menu = sub->systemMenu())
        for (QAction* a : menu->actions())
            a->setShortcuts({});
    sub->adjustSize();
    return sub;
}

QMdiSubWindow* MainWindow::subWindowOf(QWidget* child) const
{
    for (QMdiSubWindow* s : m_mdi->subWindowList())
        if (s->widget() == child)
            return s;
    return nullptr;
}

void MainWindow::buildChildWindows()
{
    m_about = new AboutBox(this);
    m_rw = new ReadWriteDialog(m_ctx, this);
    m_options = new OptionsEditor(m_ctx);
    addChild(m_options)->show();
    m_channel = new ChannelEditor(m_ctx);
    addChild(m_channel)->show();
    m_portWindow = new PortWindow(m_ctx, this);
    m_radioInfo = new RadioInfoWindow(m_ctx);
    addChild(m_radioInfo)->show();
    m_alignment = new AlignmentWindow(m_ctx);
    addChild(m_alignment)->show();
    // A read fills the radio information window and shows the radio's band
    // in the caption: "MZ-209     [400-470MHz]".
    auto showBand = [this](const QString& band) {
        setWindowTitle(m_doc->choiceText(Key::Model) + QStringLiteral("     [") + band + u']');
    };
    connect(m_rw, &ReadWriteDialog::identityChanged, m_radioInfo, &RadioInfoWindow::refresh);
    connect(m_rw, &ReadWriteDialog::modelSelected, this, &MainWindow::modelChanged);
    connect(m_rw, &ReadWriteDialog::bandSelected, this, showBand);
    connect(m_rw, &ReadWriteDialog::doneSaid, this, [this](const QString& line) {
        firstStepDone();
        showStatus(line);
    });
    m_rw->setInitialiser([this](const QString& device, std::function<void(bool)> done) {
        m_alignment->initialiseForTransfer(device, std::move(done));
    });
    connect(m_alignment, &AlignmentWindow::identityChanged, m_radioInfo, &RadioInfoWindow::refresh);
    connect(m_alignment, &AlignmentWindow::bandSelected, this, showBand);
    // After a read or write the document is what the radio holds.
    // (A read's document has no file; the read/write window says so when it
    // takes it.)
    connect(m_rw, &ReadWriteDialog::transferSucceeded, this, [this](int direction) {
        if (direction == 2)
            m_doc->markClean();
        else
            rememberRead();
        settle();
    });

    subWindowOf(m_options)->move(0, 0);
    subWindowOf(m_channel)->move(40, 30);
}

// The options beside the channel table where the area is wide enough for
// both (1280 pixels and more), the table as tall as the area; otherwise
// the table in front of the options, a little down and right.
void MainWindow::arrangeEditors()
{
    QMdiSubWindow* table = subWindowOf(m_channel);
    QMdiSubWindow* options = subWindowOf(m_options);
    if (!table || !options)
        return;
    for (QWidget* w : {static_cast<QWidget*>(m_channel), static_cast<QWidget*>(m_options)})
        if (w->layout())
            w->layout()->activate();
    const QRect area = m_mdi->viewport()->rect();
    const QSize t = table->sizeHint();
    const QSize o = options->sizeHint();
    if (t.width() + o.width() <= area.width()) {
        table->setGeometry(0, 0, t.width(), std::max(t.height(), area.height()));
        options->setGeometry(t.width(), 0, o.width(), o.height());
    } else {
        options->setGeometry(QRect(QPoint(0, 0), o));
        table->setGeometry(QRect(QPoint(40, 30), t));
        keepInside(table);
    }
    m_arrangedTable = table->geometry();
    m_arrangedOptions = options->geometry();
}

bool MainWindow::editorsAsArranged() const
{
    const QMdiSubWindow* table = subWindowOf(m_channel);
    const QMdiSubWindow* options = subWindowOf(m_options);
    return table && options && !m_arrangedTable.isNull() && table->geometry() == m_arrangedTable
           && options->geometry() == m_arrangedOptions;
}

bool MainWindow::eventFilter(QObject* o, QEvent* e)
{
    if (o == m_mdi->viewport() && e->type() == QEvent::Resize && editorsAsArranged())
        QTimer::singleShot(0, this, [this] {
            if (editorsAsArranged())
                arrangeEditors();
        });
    return QMainWindow::eventFilter(o, e);
}

void MainWindow::bringUp(QWidget* child)
{
    QMdiSubWindow* sub = subWindowOf(child);
    if (!sub)
        return;
    child->show();
    sub->showNormal();
    keepInside(sub);
    m_mdi->setActiveSubWindow(sub);
    sub->raise();
}

// The window area does not scroll: a window placed, or grown with longer
// texts, over its right or lower edge would hide part of itself until
// dragged back. It moves in as far as it fits; one too large keeps its
// left and top edges in view.
void MainWindow::keepInside(QMdiSubWindow* sub)
{
    const QRect area = m_mdi->viewport()->rect();
    QRect r = sub->geometry();
    if (r.right() > area.right())
        r.moveRight(area.right());
    if (r.bottom() > area.bottom())
        r.moveBottom(area.bottom());
    r.moveTopLeft(QPoint(std::max(r.left(), 0), std::max(r.top(), 0)));
    if (r.topLeft() != sub->pos())
        sub->move(r.topLeft());
}

void MainWindow::bindSelectors()
{
    connect(m_doc, &SettingsDocument::optionsChanged, this, [this](const QString& key) {
        if (key == Key::Band)
            refreshBandSelector();
        else if (key == Key::Model)
            refreshModelSelector();
    });
    connect(m_doc, &SettingsDocument::changed, this, [this](const QString& key) {
        if (key == Key::Band)
            refreshBandSelector();
        else if (key == Key::Model)
            refreshModelSelector();
    });
    connect(m_doc, &SettingsDocument::reset, this, [this] {
        refreshBandSelector();
        refreshModelSelector();
    });
    connect(m_band, &QComboBox::activated, this, &MainWindow::bandPicked);
    refreshBandSelector();
    refreshModelSelector();
}

static void showList(QComboBox* box, const QStringList& items, int selected)
{
    const QSignalBlocker block(box);
    bool same = box->count() == items.size();
    for (int i = 0; same && i < items.size(); ++i)
        same = box->itemText(i) == items[i];
    if (!same) {
        box->clear();
        box->addItems(items);
    }
    box->setCurrentIndex(selected);
}

void MainWindow::refreshBandSelector()
{
    showList(m_band, m_doc->bandList(), m_doc->choice(Key::Band));
}

void MainWindow::refreshModelSelector()
{
    showList(m_model, m_doc->options(Key::Model), m_doc->choice(Key::Model));
}

// A band picked by hand: the title names it at once, and channels it does
// not hold are listed, since they cannot be written until corrected.
void MainWindow::bandPicked(int index)
{
    m_doc->setChoice(Key::Band, index);
    const QString band = m_doc->selectedBand();
    setWindowTitle(m_doc->choiceText(Key::Model) + QStringLiteral("     [") + band + u']');
    const QList<Result> outside = m_doc->channelsOutsideBand();
    if (outside.isEmpty())
        return;
    const Result warning = Result::fail(TextId::BandLeavesChannels, {band},
                                        {Result::lines(std::vector<Result>(outside.begin(), outside.end()))});
    Prompter::active().message(this, m_state->text(TextId::WarningCaption), warning.text(m_state->texts),
                               Prompter::Icon::Warning);
}

QString MainWindow::readCaption() const { return m_readWord; }
QString MainWindow::writeCaption() const { return m_writeWord; }

void MainWindow::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!m_started) {
        m_started = true;
        startUp();
        arrangeEditors();
        // What start-up set up is where undo stops, and counts as saved.
        m_doc->startHistory();
        QTimer::singleShot(0, this, &MainWindow::offerRecovery);
    }
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    // Never cut a radio operation off: the exit waits for it to end. (A
    // termination has stopped or finished the transfer already.)
    if (m_state->radioBusy() && !m_terminating) {
        m_closeDeferred = true;
        e->ignore();
        return;
    }
    m_closeDeferred = false;
    // A termination asks nothing; it has kept unsaved work for the next
    // start. One that came while the question was open closes too.
    const bool mayClose = m_terminating || maySetDocumentAside(true) || m_terminating;
    if (!mayClose) {
        e->ignore();
        return;
    }
    writeConfigurationOnce();
    e->accept();
}

void MainWindow::writeConfigurationOnce()
{
    if (m_configWritten)
        return;
    m_configWritten = true;
    endCommunicationLog(true);
    writeConfiguration();
}

// Commands ---------------------------------------------------------------

void MainWindow::newDocument()
{
    if (m_state->radioBusy() || !maySetDocumentAside())
        return;
    m_channel->hideEditors();
    m_doc->resetToNew();
    modelChanged();
    m_doc->markSaved(QString());
    m_lastRead = {};
    settle();
}

void MainWindow::readRadio()
{
    if (m_state->radioBusy())
        return;
    if (!maySetDocumentAside())
        return;
    m_rw->startCommand(1, commandText("CutItem"), readCaption());
    m_doc->checkpoint();
}

void MainWindow::writeRadio()
{
    if (m_state->radioBusy())
        return;
    if (!m_channel->finishPendingEdit())
        return;
    m_rw->startCommand(2, commandText("CopyItem"), writeCaption());
}

void MainWindow::showChannelEditor() { bringUp(m_channel); }
void MainWindow::showOptionsEditor() { bringUp(m_options); }
void MainWindow::showRadioInfo() { bringUp(m_radioInfo); }
void MainWindow::showAlignmentWindow() { bringUp(m_alignment); }

void MainWindow::showPortWindow()
{
    m_portWindow->exec();
}

void MainWindow::showAbout()
{
    m_about->exec();
}

// The status bar ------------------------------------------------------------

QString MainWindow::statusText() const
{
    return m_status->text();
}

QString MainWindow::firstStepText() const
{
    return Result::fail(TextId::StatusFirstStep,
                        {commandText("Window1"), commandText("WindowCascadeItem"), commandText("Edit1"),
                         commandText("CutItem"), commandText("File1"), commandText("FileOpenItem")})
        .text(m_state->texts);
}

void MainWindow::showStatus(const QString& text)
{
    m_status->setText(text);
    m_status->setToolTip(text);
}

void MainWindow::firstStepDone()
{
    if (!m_firstStep)
        return;
    m_firstStep = false;
    showStatus(QStringLiteral("     ") + m_state->text(WordId::ProgramTitle));
}
