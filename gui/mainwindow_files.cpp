// Open, Save and Save As of *.kq19 settings files, the question before
// unsaved work is set aside, the recent-files list and CSV import/export.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

#include "document/settingsdocument.h"
#include "files/filesave.h"
#include "files/channelcsv.h"
#include "files/chirpcsv.h"
#include "files/profile.h"
#include "files/settingsfile.h"
#include "gui/channeleditor.h"
#include "gui/mainwindow.h"
#include "gui/prompter.h"
#include "gui/recentfiles.h"
#include "app/appstate.h"
#include "base/result.h"
#include "base/textids.h"

namespace {
const QString CsvFilter = QStringLiteral("CSV (*.csv)|*.csv");
const QString ErrorCaption = QStringLiteral("RQ-300");

int existingChannels(const DocumentData& d)
{
    int n = 0;
    for (int row = 1; row <= DocumentData::ChannelCount; ++row)
        n += d.channelExists(row) ? 1 : 0;
    return n;
}

bool sameFile(const QString& a, const QString& b)
{
    return !a.isEmpty() && !b.isEmpty() && QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}
}

void MainWindow::loadRecentFiles()
{
    m_recent = RecentFiles::load(Profile::load(iniPath()));
    rebuildRecentMenu();
}

bool MainWindow::maySetDocumentAside(bool exiting)
{
    if (!m_channel->finishPendingEdit() && !exiting)
        return false;
    m_doc->checkpoint();
    if (!m_doc->isModified())
        return true;
    const QString question = Result::fail(TextId::SaveChangesQuestion, {documentName()}).text(m_state->texts);
    const Prompter::SaveChoice choice = Prompter::active().saveChanges(this, ErrorCaption, question);
    // Ended while asked: the recovery file holds the work; nothing more.
    if (m_terminating)
        return false;
    switch (choice) {
    case Prompter::SaveChoice::Save: return saveDocument(false);
    case Prompter::SaveChoice::Discard: return true;
    case Prompter::SaveChoice::Cancel: break;
    }
    return false;
}

void MainWindow::openDocument()
{
    if (m_state->radioBusy() || !maySetDocumentAside())
        return;
    const QString path = Prompter::active().openFile(this, commandText("FileOpenItem"),
                                                     m_state->texts.text(TextId::SettingsFileFilter));
    if (!path.isEmpty())
        openSettingsFile(path);
}

void MainWindow::openFromCommandLine(const QString& path)
{
    // The offer to restore unsaved work may still be on screen; the file
    // waits for its answer rather than being replaced by what it restores.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(100, this, [this, path] { openFromCommandLine(path); });
        return;
    }
    if (m_state->radioBusy() || !maySetDocumentAside())
        return;
    openSettingsFile(path);
}

bool MainWindow::openSettingsFile(const QString& path)
{
    // The whole file is read and checked before anything changes.
    const SettingsFile::ReadResult r = SettingsFile::read(path, m_doc->data(), m_doc->words());
    const QString name = QFileInfo(path).fileName();
    if (r.status == SettingsFile::ReadResult::Status::Error) {
        Prompter::active().message(this, ErrorCaption, r.problem(name).text(m_state->texts), Prompter::Icon::Error);
        return false;
    }
    if (!r.ok()) {
        Prompter::active().message(this, ErrorCaption,
                                   Result::fail(TextId::NotASettingsFile, {name}).text(m_state->texts),
                                   Prompter::Icon::Error);
        return false;
    }
    m_doc->replace(r.data);
    modelChanged();
    setWindowTitle(r.caption);
    m_channel->hideEditors();
    m_doc->markSaved(QFileInfo(path).absoluteFilePath());
    addRecent(path);
    settle();
    firstStepDone();
    if (!r.notice)
        Prompter::active().message(this, ErrorCaption, r.notice.text(m_state->texts), Prompter::Icon::Warning);
    if (!r.imageWarning)
        Prompter::active().message(this, ErrorCaption, r.imageWarning.text(m_state->texts), Prompter::Icon::Exclamation);
    return true;
}

void MainWindow::save()
{
    saveDocument(false);
}

void MainWindow::saveAs()
{
    saveDocument(true);
}

bool MainWindow::saveDocument(bool saveAs)
{
    if (!m_channel->finishPendingEdit())
        return false;
    // Save starts at the current file; Save As in its folder, for a new name.
    const QString current = m_doc->filePath();
    QString start = current;
    if (start.isEmpty() && !m_recent.isEmpty())
        start = QFileInfo(m_recent.first()).absolutePath();
    else if (saveAs && !start.isEmpty())
        start = QFileInfo(current).absolutePath();
    const char* item = saveAs ? "FileSaveAsItem" : "FileCloseItem";
    const QString path = Prompter::active().saveFile(this, commandText(item),
                                                     m_state->texts.text(TextId::SettingsFileFilter),
                                                     SettingsFile::Suffix, start);
    if (path.isEmpty())
        return false;
    if (!sameFile(path, current) && QFileInfo::exists(path)) {
        const QString q = Result::fail(TextId::ReplaceFileQuestion, {QFileInfo(path).fileName()}).text(m_state->texts);
        if (!Prompter::active().question(this, ErrorCaption, q, Prompter::Icon::Warning))
            return false;
    }
    const Result saved = SettingsFile::save(path, m_doc->data(), m_state->texts, m_doc->decimalSeparator());
    if (!saved) {
        Prompter::active().message(this, ErrorCaption, saved.text(m_state->texts), Prompter::Icon::Error);
        return false;
    }
    m_doc->markSaved(QFileInfo(path).absoluteFilePath());
    addRecent(path);
    settle();
    return true;
}

// Recent files -----------------------------------------------------------

void MainWindow::addRecent(const QString& path)
{
    m_recent = RecentFiles::add(m_recent, path);
    storeRecent();
}

void MainWindow::storeRecent()
{
    // The menu is rebuilt once the action that asked has returned.
    QTimer::singleShot(0, this, &MainWindow::rebuildRecentMenu);
    // Kept at once: a program that is killed still knows its files.
    Profile ini = Profile::load(iniPath());
    RecentFiles::store(ini, m_recent);
    ini.save(iniPath());
}

void MainWindow::rebuildRecentMenu()
{
    m_recentMenu->clear();
    for (int i = 0; i < m_recent.size(); ++i) {
        const QString path = m_recent[i];
        QAction* a = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        a->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        a->setToolTip(path);
        a->setStatusTip(path);
        connect(a, &QAction::triggered, this, [this, path] {
            if (m_state->radioBusy() || !maySetDocumentAside() || openSettingsFile(path))
                return;
            // A file that is gone leaves the list once it has been reported.
            if (!QFileInfo::exists(path)) {
                m_recent.removeAll(path);
                storeRecent();
            }
        });
    }
    m_recentMenu->setEnabled(!m_recent.isEmpty());
}

QString MainWindow::askExportPath(const char* item, const QStringList& types, const QString& suffix, int* type)
{
    // Beside the settings file and named after it.
    const QString current = m_doc->filePath();
    const QString start = current.isEmpty() ? QString()
                                            : QFileInfo(current).absoluteDir().filePath(QFileInfo(current).completeBaseName() + u'.' + suffix);
    const QString path = type ? Prompter::active().saveFileOfType(this, commandText(item), types, suffix, start, type)
                              : Prompter::active().saveFile(this, commandText(item), types.value(0), suffix, start);
    if (path.isEmpty() || !QFileInfo::exists(path))
        return path;
    const QString q = Result::fail(TextId::ReplaceFileQuestion, {QFileInfo(path).fileName()}).text(m_state->texts);
    return Prompter::active().question(this, ErrorCaption, q, Prompter::Icon::Warning) ? path : QString();
}

// CSV --------------------------------------------------------------------

void MainWindow::importCsv()
{
    if (m_state->radioBusy() || !m_channel->finishPendingEdit())
        return;
    const QString path = Prompter::active().openFile(this, commandText("ImportCsvItem"), CsvFilter);
    if (path.isEmpty())
        return;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        Prompter::active().message(this, ErrorCaption, FileSave::openFailed(path, f).text(m_state->texts),
                                   Prompter::Icon::Error);
        return;
    }
    // A channel table is a few kilobytes; more is not a table of this radio.
    const QByteArray bytes = f.read(1 << 20);
    if (ChirpCsv::recognises(bytes)) {
        importChirp(bytes, path);
        return;
    }
    const ChannelCsv::ImportResult r = ChannelCsv::importTable(bytes, m_doc->data(), m_doc->words(),
                                                               m_doc->decimalSeparator());
    if (!r.ok) {
        const QStringList shown = ChannelCsv::errorTexts(r, m_state->texts).mid(0, 10);
        Prompter::active().message(this, ErrorCaption,
                                   Result::fail(TextId::ImportFailed, {QFileInfo(path).fileName(), shown.join(u'\n')})
                                       .text(m_state->texts),
                                   Prompter::Icon::Error);
        return;
    }
    takeImported(r.data, path);
}

// A CHIRP file: every row the radio can hold is taken, and the user sees
// which rows were refused and why.
void MainWindow::importChirp(const QByteArray& bytes, const QString& path)
{
    const ChirpCsv::ImportResult r = ChirpCsv::importTable(bytes, m_doc->data());
    const Result summary = ChirpCsv::importSummary(r, QFileInfo(path).fileName());
    if (!r.ok()) {
        Prompter::active().message(this, ErrorCaption, summary.text(m_state->texts), Prompter::Icon::Error);
        return;
    }
    takeImported(r.data, path);
    Prompter::active().message(this, ErrorCaption, summary.text(m_state->texts),
                               r.refused.isEmpty() ? Prompter::Icon::Information : Prompter::Icon::Warning);
}

void MainWindow::takeImported(const DocumentData& data, const QString& path)
{
    m_channel->hideEditors();
    m_doc->replace(data);
    settle();
    firstStepDone();
    showStatus(Result::fail(TextId::CsvImported, {QString::number(existingChannels(data)),
                                                  QDir::toNativeSeparators(path)})
                   .text(m_state->texts));
}

void MainWindow::exportCsv()
{
    if (!m_channel->finishPendingEdit())
        return;
    int type = m_csvExportType;
    const QString path = askExportPath(
        "ExportCsvItem", {m_state->texts.text(TextId::CsvFormatOwn), m_state->texts.text(TextId::CsvFormatChirp)},
        QStringLiteral("csv"), &type);
    if (path.isEmpty())
        return;
    m_csvExportType = type;
    const bool chirp = type == 1;
    const ChirpCsv::ExportResult chirpTable = chirp ? ChirpCsv::exportTable(m_doc->data()) : ChirpCsv::ExportResult{};
    const QByteArray bytes = chirp ? chirpTable.bytes
                                   : ChannelCsv::exportTable(m_doc->data(), m_doc->words(), m_doc->decimalSeparator());
    const Result saved = FileSave::save(path, bytes);
    if (!saved) {
        Prompter::active().message(this, ErrorCaption, saved.text(m_state->texts), Prompter::Icon::Error);
        return;
    }
    const int exported = chirp ? chirpTable.exported : existingChannels(m_doc->data());
    showStatus(Result::fail(TextId::CsvExported, {QString::number(exported), QDir::toNativeSeparators(path)})
                   .text(m_state->texts));
    if (chirp)
        Prompter::active().message(this, ErrorCaption,
                                   ChirpCsv::exportSummary(chirpTable, QFileInfo(path).fileName()).text(m_state->texts),
                                   chirpTable.skipped.isEmpty() ? Prompter::Icon::Information : Prompter::Icon::Warning);
}
