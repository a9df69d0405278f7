#pragma once
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "gui/mainform.h"
#include "files/profile.h"
#include "setup/systemlocale.h"
#include "scriptedprompter.h"

// A main window started from its own directory, with the shipped language
// packs beside it and the sysini.ini the test gives. The session is made
// before the window and ends after it, as in the program.
struct MainFormFixture {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<AppSession> session;
    std::unique_ptr<TMainForm> form;

    explicit MainFormFixture(const QByteArray& sysini = {}, bool withPacks = true,
                             int systemLanguage = 0x0804, QChar separator = u'.')
    {
        SystemLocale::setForTesting(systemLanguage, separator);
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
        form = std::make_unique<TMainForm>(*session);
        form->show();
        QCoreApplication::processEvents();
    }

    Profile closeAndReadIni()
    {
        form->close();
        return Profile::load(dir.filePath("sysini.ini"));
    }
};
