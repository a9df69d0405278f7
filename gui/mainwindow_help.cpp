// Help > Help: the user guide, put together from the active language pack
// with the menu names, keys and folders of this program as it runs.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>

#include "app/appstate.h"
#include "app/startupconfig.h"
#include "base/result.h"
#include "base/textids.h"
#include "files/backups.h"
#include "gui/channeleditor.h"
#include "gui/optionseditor.h"
#include "gui/mainwindow.h"
#include "gui/portwindow.h"
#include "gui/readwritedialog.h"
#include "gui/userguide.h"

void MainWindow::showHelp()
{
    const PackStrings& t = m_state->texts;
    const auto say = [&t](int id, const QStringList& values = {}) { return Result::fail(id, values).text(t); };
    const auto key = [this](const char* name) {
        const QAction* a = m_actions.value(QLatin1String(name));
        return a ? a->shortcut().toString(QKeySequence::NativeText) : QString();
    };
    const auto box = [](const QWidget* w, const char* name) {
        const auto* b = w->findChild<QCheckBox*>(QLatin1String(name));
        return b ? b->text().remove(u'&') : QString();
    };
    // A menu item as the guide names it: no mnemonic, no "...".
    const auto item = [this](const char* name) {
        QString s = commandText(name);
        if (s.endsWith(QStringLiteral("...")))
            s.chop(3);
        return s;
    };
    const QString tools = item("Window1");
    const QString programming = item("Edit1");
    const QString file = item("File1");
    const QString pack = m_session.where().packFile(StartupConfig::packName(m_state->language));
    const QString packs = pack.isEmpty() ? m_session.where().packDirs.value(0) : QFileInfo(pack).absolutePath();

    const QList<UserGuide::Section> sections = {
        {say(TextId::HelpConnectTitle),
         {say(TextId::HelpConnect, {tools, item("WindowCascadeItem")}),
          say(TextId::HelpConnectSinglePort, {box(m_portWindow, "CheckBox1")})}},
        {say(TextId::HelpReadTitle), {say(TextId::HelpRead, {programming, item("CutItem"), key("CutItem")})}},
        {say(TextId::HelpEditTitle),
         {say(TextId::HelpEdit, {m_channel->windowTitle()}),
          say(TextId::HelpEditMore, {item("EditMenu"), m_options->windowTitle()})}},
        {say(TextId::HelpSaveTitle),
         {say(TextId::HelpSave, {file, item("FileCloseItem"), item("FileOpenItem"),
                                 item("ImportCsvItem"), item("ExportCsvItem")})}},
        {say(TextId::HelpWriteTitle),
         {say(TextId::HelpWrite, {programming, item("CopyItem"), key("CopyItem"), box(m_rw, "CheckBackup"),
                                  box(m_rw, "CheckVerify")})}},
        {say(TextId::HelpBackupsTitle),
         {say(TextId::HelpBackups, {QDir::toNativeSeparators(Backups::folder()), tools, item("BackupsItem"),
                                    programming, item("CompareItem")})}},
        {say(TextId::HelpConfigTitle),
         {say(TextId::HelpConfig, {QDir::toNativeSeparators(iniPath()), QDir::toNativeSeparators(packs), tools,
                                   item("CommunicationLog1")})}},
    };
    if (!m_guide)
        m_guide = new UserGuide(this);
    m_guide->showGuide(say(TextId::HelpCaption), say(TextId::HelpIntro), sections);
}
