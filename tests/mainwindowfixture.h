#pragma once
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "gui/mainwindow.h"
#include "files/profile.h"
#include "base/systemlocale.h"
#include "scriptedprompter.h"

// A main window started from its own directory, with the shipped language
// packs beside it and the sysini.ini the test gives. The session is made
// before the window and ends after it, as in the program.
struct MainWindowFixture {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<AppSession> session;
    std::unique_ptr<MainWindow> form;

    // Set before a fixture is made: where its data (recovery file, backups)
    // lives instead of the test's own directory, and the answers to the
    // questions asked at start-up.
    inline static QString dataHome;
    inline static QList<bool> startAnswers;

    explicit MainWindowFixture(const QByteArray& sysini = {}, bool withPacks = true,
                             int systemLanguage = 0x0804, QChar separator = u'.')
    {
        SystemLocale::setForTesting(systemLanguage, separator);
        qputenv("XDG_DATA_HOME", (dataHome.isEmpty() ? dir.filePath("data") : dataHome).toUtf8());
        prompter.answers = startAnswers;
        startAnswers.clear();
        const QString bin = qEnvironmentVariable("RQ300_BIN_DIR");
        if (withPacks) {
            for (const char* pack : {"cha_dll.lang", "eng_dll.lang", "ty.lang"})
                QFile::copy(QDir(bin).filePath(QLatin1String(pack)), dir.filePath(QLatin1String(pack)));
        }
        if (!sysini.isNull()) {
            QFile f(dir.filePath("sysini.ini"));
            f.open(QIODevice::WriteOnly);
            f.write(sysini);
        }
        session = std::make_unique<AppSession>(ConfigLocation::beside(dir.path()));
        form = std::make_unique<MainWindow>(*session);
        form->show();
        QCoreApplication::processEvents();
    }

    Profile closeAndReadIni()
    {
        form->close();
        return Profile::load(dir.filePath("sysini.ini"));
    }
};
