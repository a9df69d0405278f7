// A read that fails, in every language: the whole message, reason included,
// is in the language of the active pack.
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include "gui/rwform.h"
#include "radio/portmap.h"
#include "setup/packstrings.h"
#include "radiofixture.h"
#include "scriptedprompter.h"

namespace {

PackStrings packTexts(const QString& name)
{
    const QString dir = qEnvironmentVariable("RQ300_BIN_DIR");
    const auto pack = PackStrings::loadFile(PackStrings::findPackFile(dir, name));
    if (!pack)
        qFatal("pack %s not found in %s", qPrintable(name), qPrintable(dir));
    return PackStrings::withFallback(*pack);
}

// What is left of a Chinese message once the names that are the same in
// every language are taken out: device paths, port and model names.
QString withoutNames(QString text)
{
    static const QRegularExpression names(
        QStringLiteral("\\S*/\\S*|COM\\d+|RQ-300|MZ-209|BRASEL|\\b[0-9A-F]{2,}\\b|\\d+(\\.\\d+)?MHz"));
    return text.remove(names);
}

struct ReadRun : RadioFixture {
    PortMap ports;
    AppContext ctx;
    ScriptedPrompter prompter;
    TRWForm rw;

    explicit ReadRun(const PackStrings& texts) : ctx(makeContext()), rw(ctx)
    {
        state.texts = texts;
        rw.applyTexts(texts);
    }
    AppContext makeContext()
    {
        ports.setPath(1, sim.devicePath());
        ports.setPath(2, QStringLiteral("/nonexistent/ttyRQ300"));
        state.chosenPort = 1;
        return AppContext{&doc, &state, &link, &ports, &identity, QString()};
    }
    // The one message of a read; empty when there was none.
    QString read()
    {
        if (rw.prepareCommand(1, state.text(17), state.text(53))) {
            rw.show();
            QTest::mouseClick(rw.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
            rw.close();
        }
        if (prompter.messages.size() != 1)
            return QString();
        return prompter.messages.first().caption + u'\n' + prompter.messages.first().text;
    }
};

}

class TestFailureTexts : public QObject {
    Q_OBJECT
private slots:
    void failedReadSpeaksTheLanguage_data()
    {
        QTest::addColumn<QString>("pack");
        QTest::addColumn<QString>("fault");
        for (const char* pack : {"cha_dll", "eng_dll", "ty"})
            for (const char* fault : {"silent radio", "missing port", "identity unanswered", "garbled reply",
                                      "cable pulled", "band not in the list"})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(pack, fault))) << pack << fault;
    }

    void failedReadSpeaksTheLanguage()
    {
        QFETCH(QString, pack);
        QFETCH(QString, fault);
        ReadRun run(packTexts(pack));
        SimRadio::Faults f;
        if (fault == "silent radio")
            f.ignoreHandshakes = 100;
        else if (fault == "missing port")
            run.state.chosenPort = 2;
        else if (fault == "identity unanswered")
            f.noReplyToFrame = 3;
        else if (fault == "garbled reply")
            f.corruptReplyToFrame = 4;
        else if (fault == "cable pulled")
            f.closeAfterFrames = 5;
        else
            run.doc.setOptions(Key::Band, {QStringLiteral("400-430MHz")});
        run.sim.setFaults(f);

        const QString message = run.read();
        QVERIFY2(!message.isEmpty(), "no failure message");
        const QStringList lines = message.split(u'\n', Qt::SkipEmptyParts);
        for (const QString& line : lines) {
            const QString t = line.trimmed();
            QVERIFY2(t.isEmpty() || !t.at(0).isLower(), qPrintable(QStringLiteral("lower-case start: ") + message));
        }
        if (pack == QLatin1String("eng_dll")) {
            for (QChar c : message)
                QVERIFY2(c.script() != QChar::Script_Han, qPrintable(message));
        } else {
            static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
            const QString rest = withoutNames(message);
            QVERIFY2(!word.match(rest).hasMatch(), qPrintable(QStringLiteral("English in: ") + message));
        }
    }
};

QTEST_MAIN(TestFailureTexts)
#include "test_failuretexts.moc"
