// A read that fails, a write the program refuses and the alignment window's
// input checks, in every language: the whole message, reason and the names
// of columns, settings and values included, is in the language of the
// active pack.
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include "transferwait.h"

#include "files/packfile.h"
#include "gui/readwritedialog.h"
#include "radio/portmap.h"
#include "service/serviceops.h"
#include "base/textids.h"
#include "base/packstrings.h"
#include "radiofixture.h"
#include "scriptedprompter.h"

namespace {

PackStrings packTexts(const QString& name)
{
    const QString dir = qEnvironmentVariable("RQ300_BIN_DIR");
    const auto pack = PackFile::load(PackFile::find(dir, name));
    if (!pack)
        qFatal("pack %s not found in %s", qPrintable(name), qPrintable(dir));
    return PackStrings::withFallback(*pack);
}

// What is left of a Chinese message once the names that are the same in
// every language are taken out: device paths, port and model names.
QString withoutNames(QString text)
{
    static const QRegularExpression names(
        QStringLiteral("\\S*/\\S*|COM\\d+|RQ-300|MZ-209|BRASEL|\\b[0-9A-F]{2,}\\b|\\d+(\\.\\d+)?MHz"
                       "|\\b(kHz|MHz|ddd-dddMHz|DTMF|VOX|CTC|DCS|MOD|PTT ID|OFF|ON)\\b|\"[^\"]*\""));
    return text.remove(names);
}

// The message is in the pack's language: no Chinese in English, no English
// words in Chinese once names and quoted values are taken out.
void checkLanguage(const QString& pack, const QString& message)
{
    QVERIFY2(!message.isEmpty(), "no message");
    if (pack == QLatin1String("eng_dll")) {
        for (QChar c : message)
            QVERIFY2(c.script() != QChar::Script_Han, qPrintable(message));
    } else {
        static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
        const QString rest = withoutNames(message);
        QVERIFY2(!word.match(rest).hasMatch(), qPrintable(QStringLiteral("English in: ") + message));
    }
}

struct ReadRun : RadioFixture {
    PortMap ports;
    AppContext ctx;
    ScriptedPrompter prompter;
    ReadWriteDialog rw;

    explicit ReadRun(const PackStrings& texts) : ctx(makeContext()), rw(ctx)
    {
        state.texts = texts;
        doc.applyLanguage(texts);
        rw.applyTexts(texts);
    }
    AppContext makeContext()
    {
        ports.setPath(1, sim.devicePath());
        ports.setPath(2, QStringLiteral("/nonexistent/ttyRQ300"));
        state.chosenPort = 1;
        return AppContext{&doc, &state, &link, &ports, &identity, {}};
    }
    // The one message of a read; empty when there was none.
    QString read() { return run(1, 17, 53); }
    // The last message of a write.
    QString write()
    {
        run(2, 18, 54);
        return prompter.messages.isEmpty() ? QString() : prompter.messages.last().text;
    }
    QString run(int direction, int caption, int button)
    {
        if (rw.prepareCommand(direction, state.text(caption), state.text(button))) {
            rw.show();
            if (!startTransferAndWait(rw))
                qWarning("the transfer did not end");
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
            run.doc.setBandList({QStringLiteral("400-430MHz")});
        run.sim.setFaults(f);

        const QString message = run.read();
        QVERIFY2(!message.isEmpty(), "no failure message");
        const QStringList lines = message.split(u'\n', Qt::SkipEmptyParts);
        for (const QString& line : lines) {
            const QString t = line.trimmed();
            QVERIFY2(t.isEmpty() || !t.at(0).isLower(), qPrintable(QStringLiteral("lower-case start: ") + message));
        }
        checkLanguage(pack, message);
    }

    // Values the radio cannot store are refused before the first frame, the
    // column or setting named as the window names it.
    void refusedWriteSpeaksTheLanguage_data()
    {
        QTest::addColumn<QString>("pack");
        QTest::addColumn<QString>("fault");
        for (const char* pack : {"cha_dll", "eng_dll", "ty"})
            for (const char* fault : {"frequency outside the band", "end code not DTMF", "administrator name"})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(pack, fault))) << pack << fault;
    }

    void refusedWriteSpeaksTheLanguage()
    {
        QFETCH(QString, pack);
        QFETCH(QString, fault);
        ReadRun run(packTexts(pack));
        QVERIFY(run.read().isEmpty());   // a document as the radio holds it
        run.prompter.messages.clear();
        QString mark;
        if (fault == "frequency outside the band") {
            // A whole channel, all but its frequency good.
            const ValueWords& w = run.doc.words();
            const QStringList row = {QStringLiteral("499.00000"), w.off, QString(), w.off, w.high, w.wide,
                                     w.on, w.off, w.on, w.off, w.off};
            for (int col = 1; col <= row.size(); ++col)
                run.doc.setCell(3, col, row[col - 1]);
            mark = QStringLiteral("499.00000");
        } else if (fault == "end code not DTMF") {
            run.doc.setText(Key::EndDtmf, QStringLiteral("1E"));
            mark = QStringLiteral("\"E\"");
        } else {
            run.state.adminName = QStringLiteral("Zhang 工");
            mark = QStringLiteral("工");
        }
        const QByteArray before = run.sim.memory();
        const QString message = run.write();
        QVERIFY2(message.contains(mark), qPrintable(message));
        QCOMPARE(run.sim.memory(), before);
        // Not a fault of the cable: the user is sent to the value.
        QVERIFY2(message.startsWith(run.state.text(TextId::WriteRefusedValue)), qPrintable(message));
        checkLanguage(pack, QString(message).remove(mark));
    }

    // Every value of the alignment window, missing or wrong, and the model
    // and band the adjust needs.
    void alignmentInputChecksSpeakTheLanguage()
    {
        for (const char* pack : {"cha_dll", "eng_dll", "ty"}) {
            const PackStrings texts = packTexts(QLatin1String(pack));
            Service::AdjustInput in{QStringLiteral("4B512D195A18FF06"), QStringLiteral("400-470MHz"), {}};
            QVERIFY(Service::checkAdjustInput(in).ok());
            for (const AlignmentValues::Field& f : AlignmentValues::fields()) {
                for (const char* bad : {"", "999999", "X"}) {
                    AlignmentValues v;
                    v.setText(f.name, QLatin1String(bad));
                    in.values = v;
                    const QString message = Service::checkAdjustInput(in).text(texts);
                    QVERIFY2(message.contains(f.name), qPrintable(message));
                    checkLanguage(QLatin1String(pack), QString(message).remove(f.name));
                }
            }
            in.values = AlignmentValues();
            in.band.clear();
            checkLanguage(QLatin1String(pack), Service::checkAdjustInput(in).text(texts));
            in.band = QStringLiteral("400-47MHz");
            checkLanguage(QLatin1String(pack), Service::checkAdjustInput(in).text(texts));
            in.modelId.clear();
            checkLanguage(QLatin1String(pack), Service::checkAdjustInput(in).text(texts));
        }
    }
};

QTEST_MAIN(TestFailureTexts)
#include "test_failuretexts.moc"
