// Open and Save of *.kq19 settings files.
#include "gui/mainform.h"
#include "gui/prompter.h"
#include "files/settingsfile.h"
#include "setup/appstate.h"
#include "document/settingsdocument.h"
#include "gui/channeleditor.h"

namespace {
const QString FileFilter = QStringLiteral("TAVRIN  文件 (*.kq19)|*.kq19");
const QString ErrorCaption = QStringLiteral("RQ-300");
}

void TMainForm::FileOpenItemClick()
{
    if (m_state->radioBusy())
        return;
    if (!m_channel->finishPendingEdit())
        return;
    const QString path = Prompter::active().openFile(this, m_actions.value(QStringLiteral("FileOpenItem"))->text(), FileFilter);
    if (path.isEmpty())
        return;
    // The whole file is read and checked before anything changes.
    const SettingsFile::ReadResult r = SettingsFile::read(path, m_doc->data(), m_doc->words());
    if (r.status == SettingsFile::ReadResult::Status::Error) {
        Prompter::active().message(this, ErrorCaption, r.error.text(m_state->texts), Prompter::Icon::Error);
        return;
    }
    if (!r.ok())
        return;
    m_doc->replace(r.data);
    ComboBox11Change();
    setWindowTitle(r.caption);
    m_channel->hideEditors();
}

void TMainForm::FileCloseItemClick()
{
    if (!m_channel->finishPendingEdit())
        return;
    const QString path = Prompter::active().saveFile(this, m_actions.value(QStringLiteral("FileCloseItem"))->text(),
                                                     FileFilter, SettingsFile::Suffix);
    if (path.isEmpty())
        return;
    const Result saved = SettingsFile::save(path, m_doc->data(), m_state->texts);
    if (!saved)
        Prompter::active().message(this, ErrorCaption, saved.text(m_state->texts), Prompter::Icon::Error);
}
