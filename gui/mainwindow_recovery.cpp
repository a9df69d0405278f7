// The recovery file: on termination (SIGTERM) unsaved work is written to
// $XDG_DATA_HOME/rq300/recovery.kq19 without a question, and the next start
// offers to bring it back. recovery.ini beside it keeps the file the work
// belonged to, recovery.rqimg the radio's records the document came with.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "base/userfolders.h"
#include "document/settingsdocument.h"
#include "files/profile.h"
#include "files/radioimagefile.h"
#include "files/settingsfile.h"
#include "gui/channeleditor.h"
#include "gui/mainwindow.h"
#include "gui/prompter.h"
#include "gui/readwritedialog.h"
#include "app/appstate.h"
#include "base/result.h"
#include "base/textids.h"

namespace {
const QString Section = QStringLiteral("recovery");

QString settingsPath() { return QDir(MainWindow::recoveryDir()).filePath(QStringLiteral("recovery.kq19")); }
QString extrasPath() { return QDir(MainWindow::recoveryDir()).filePath(QStringLiteral("recovery.ini")); }
}

QString MainWindow::recoveryDir()
{
    return UserFolders::data();
}

void MainWindow::closeForTermination()
{
    if (m_terminating)
        return;
    m_terminating = true;
    // A transfer stops before its first record, or finishes the write it has
    // begun; nothing is reported any more.
    m_rw->stopAndWait();
    // Kept here rather than left to closeEvent: while a question of Exit is
    // open the window is closing already, and close() does nothing.
    writeRecovery();
    writeConfigurationOnce();
    close();
    // Whatever dialog or message box is open ends with the program: every
    // event loop running, nested ones included, returns.
    QCoreApplication::exit(0);
}

void MainWindow::writeRecovery()
{
    // Hiding the editors finishes a typed tone; a typed frequency stays as typed.
    m_channel->hideEditors();
    if (!m_doc->isModified())
        return;
    if (!QDir().mkpath(recoveryDir()))
        return;
    // The radio's records the document came with go beside it, as for a
    // backup, so a recovered document still writes back exactly.
    QFile::remove(RadioImageFile::besideSettings(settingsPath()));
    if (!m_doc->data().image().isEmpty())
        RadioImageFile::save(RadioImageFile::besideSettings(settingsPath()), m_doc->data().image());
    if (!SettingsFile::save(settingsPath(), m_doc->data(), m_state->texts, m_doc->decimalSeparator()))
        return;
    Profile ini;
    ini.setValue(Section, QStringLiteral("file"), m_doc->filePath());
    ini.save(extrasPath());
}

void MainWindow::offerRecovery()
{
    if (!QFileInfo::exists(settingsPath()))
        return;
    const Profile ini = Profile::load(extrasPath());
    const QString file = ini.value(Section, QStringLiteral("file"));
    const QString name = file.isEmpty() ? m_state->text(TextId::Untitled) : QFileInfo(file).fileName();
    const bool restore = Prompter::active().question(
        this, QStringLiteral("RQ-300"), Result::fail(TextId::RestoreQuestion, {name}).text(m_state->texts),
        Prompter::Icon::Question);
    // Ended while asked: not answered, so the work stays for the next start.
    if (m_terminating)
        return;
    if (restore) {
        const SettingsFile::ReadResult r = SettingsFile::read(settingsPath(), m_doc->data(), m_doc->words());
        if (!r.ok()) {
            const QString why = r.error.ok()
                                    ? Result::fail(TextId::NotASettingsFile, {settingsPath()}).text(m_state->texts)
                                    : r.error.text(m_state->texts);
            Prompter::active().message(this, QStringLiteral("RQ-300"), why, Prompter::Icon::Error);
            // Kept aside, not offered again.
            QFile::remove(settingsPath() + QStringLiteral(".damaged"));
            QFile::rename(settingsPath(), settingsPath() + QStringLiteral(".damaged"));
            QFile::remove(extrasPath());
            QFile::remove(RadioImageFile::besideSettings(settingsPath()));
            return;
        }
        m_doc->replace(r.data);
        modelChanged();
        setWindowTitle(r.caption);
        // The work is back as it was: unsaved, in its file.
        m_doc->setFilePath(file);
        m_doc->checkpoint();
        firstStepDone();
    }
    QFile::remove(settingsPath());
    QFile::remove(extrasPath());
    QFile::remove(RadioImageFile::besideSettings(settingsPath()));
    updateTitle();
}
