// Hundreds of reads and writes against the simulated radio, most of them
// meeting a fault, some through the read/write window and the rest straight
// through the transfer engine on worker threads (each with its own radio).
// After every transfer: the outcome is the one the fault makes, a failure
// leaves the start button enabled with one message, a failed read leaves the
// document as it was, a successful read holds what the radio holds (also
// when its records hold random bytes) and can be written back, and a
// successful write leaves in the radio what the document encodes.
//
// RQ300_SOAK_SEED repeats a run; RQ300_SOAK_TRANSFERS makes it longer.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QMap>
#include <QMutex>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QtTest>

#include "radio/portmap.h"
#include "gui/readwritedialog.h"
#include "radiofixture.h"
#include "base/textids.h"
#include "scriptedprompter.h"
#include "soakplan.h"
#include "watchdog.h"
#include "transferwait.h"
#include "channelcells.h"

using Step = TransferEngine::Outcome::Step;

namespace {

constexpr int EngineLanes = 4;
constexpr int MaxProblems = 20;

int envInt(const char* name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : fallback;
}

// Counts and problems of all lanes.
struct Tally {
    QMutex mutex;
    int transfers = 0, reads = 0, writes = 0, viaWindow = 0, faultsInjected = 0, succeeded = 0;
    int scrambledReads = 0;   // of radios whose records held random bytes
    qint64 longestMs = 0;
    QMap<QString, int> faults;     // by fault kind
    QMap<QString, int> failures;   // by failed step
    QStringList problems;

    void record(bool write, bool window, bool scrambled, const Soak::Plan& plan,
                const TransferEngine::Outcome& out, qint64 ms, const QStringList& found)
    {
        QMutexLocker lock(&mutex);
        ++transfers;
        scrambledReads += scrambled;
        ++(write ? writes : reads);
        viaWindow += window;
        if (plan.fault != Soak::Fault::None && plan.fault != Soak::Fault::EchoCable)
            ++faultsInjected;
        ++faults[QString::fromLatin1(Soak::faultName(plan.fault))];
        if (out.ok())
            ++succeeded;
        else
            ++failures[window ? QStringLiteral("a message in the window") : TransferEngine::stepName(out.failedStep)];
        longestMs = std::max(longestMs, ms);
        for (const QString& p : found)
            if (problems.size() < MaxProblems)
                problems << p;
    }
    bool tooMany()
    {
        QMutexLocker lock(&mutex);
        return problems.size() >= MaxProblems;
    }
};

// One simulated radio and the program's side of it, as one lane uses them.
struct Lane : RadioFixture {
    QRandomGenerator rng;
    QString name;
    bool scrambled = false;   // the radio's records were given random bytes for this read

    Lane(int laneId, quint32 seed, QChar sep) : rng(seed + 7919u * quint32(laneId))
    {
        name = laneId == 0 ? QStringLiteral("window") : QStringLiteral("engine %1").arg(laneId);
        doc.setDecimalSeparator(sep);
        SimRadio::addSampleChannels(sim.memory());
    }

    // Sets up the radio and the document for the next transfer.
    Soak::Plan prepare(bool write)
    {
        if (rng.bounded(write ? 2 : 3) == 0)
            doc.replace(Soak::randomDocument(rng, doc.data(), doc.words(), doc.decimalSeparator()));
        const Soak::Plan plan = Soak::planFor(rng, write, !doc.data().image().contains(Codec::OptionAddr));
        scrambled = !write && rng.bounded(6) == 0;
        if (scrambled)
            Soak::scrambleRecords(rng, sim.memory());
        if (!sim.isRunning()) {
            QString error;
            if (!sim.start(&error))
                qFatal("cannot restart the simulated radio: %s", qPrintable(error));
        }
        link.setDevice(sim.devicePath());
        // A read does not wait after its end frame: the radio takes it
        // before its counters start again.
        QElapsedTimer settle;
        settle.start();
        while (sim.isRunning() && !sim.receivedFrames().isEmpty() && sim.receivedFrames().last() != QByteArray("\x64\x6F")
               && settle.elapsed() < 200)
            QTest::qWait(2);
        sim.resetCounters();
        sim.setFaults(plan.simFaults());
        sim.setEcho(plan.echo());
        state.singlePort = plan.singlePort();
        return plan;
    }

    bool holdsUnwritableFrequency(const DocumentData& d) const
    {
        const QString band = d.band();
        for (int row = 1; row <= DocumentData::ChannelCount; ++row)
            for (int col : {1, 3})
                if (!cellOf(d, row, col).isEmpty() && !Frequency::isCommitted(cellOf(d, row, col), band, doc.decimalSeparator()))
                    return true;
        return false;
    }

    // What must hold after a transfer, whichever way it ran.
    QStringList check(bool write, const Soak::Plan& plan, const DocumentData& before,
                      const TransferEngine::Outcome& out)
    {
        QStringList found;
        // A radio with random records reads frequencies outside the band or
        // off the raster; writing them back is refused before any frame.
        const bool refusedFrequency = write && !out.ok() && sim.framesReceived() == 0
                                      && holdsUnwritableFrequency(doc.data());
        if (out.ok() != plan.expectOk && !refusedFrequency)
            found << QStringLiteral("%1 %2 with %3")
                         .arg(write ? "write" : "read",
                              out.ok() ? QStringLiteral("succeeded") : QStringLiteral("failed: ") + why(out),
                              plan.describe());
        if (!out.ok() && (out.reason.ok() || why(out).isEmpty() || out.failedStep == Step::None))
            found << QStringLiteral("a failure without a reason (%1)").arg(plan.describe());
        if (state.radioBusy())
            found << QStringLiteral("the radio is still marked busy after the transfer");
        if (write || !out.ok()) {
            if (!(doc.data() == before))
                found << QStringLiteral("a %1 %2 changed the document (%3)")
                             .arg(out.ok() ? "successful" : "failed", write ? "write" : "read", plan.describe());
        } else if (!(doc.data() == Soak::decodedImage(before, sim.memory()))) {
            found << QStringLiteral("a successful read does not hold what the radio holds (%1)").arg(plan.describe());
        } else if (const QString problem = Soak::encodeProblem(doc.data()); !problem.isEmpty()) {
            found << QStringLiteral("what a read showed cannot be written back: %1").arg(problem);
        }
        if (write && out.ok()) {
            const QString diff = Soak::imageDifference(doc.data(), sim.memory(), out.written);
            if (!diff.isEmpty())
                found << QStringLiteral("after a successful write (%1): %2").arg(plan.describe(), diff);
        }
        sim.setFaults({});
        sim.setEcho(false);
        return found;
    }
};

void engineLane(int laneId, quint32 seed, int count, Tally& tally, Watchdog& dog)
{
    Lane lane(laneId, seed, laneId % 2 ? u',' : u'.');
    TransferEngine engine(lane.link, lane.doc, lane.identity, lane.state);
    for (int i = 0; i < count && !tally.tooMany(); ++i) {
        const bool write = lane.rng.bounded(2);
        const Soak::Plan plan = lane.prepare(write);
        const DocumentData before = lane.doc.data();
        dog.arm(laneId, QStringLiteral("%1, transfer %2: %3 with %4")
                            .arg(lane.name).arg(i).arg(write ? "write" : "read", plan.describe()).toStdString());
        QElapsedTimer t;
        t.start();
        const TransferEngine::Outcome out = write ? engine.write() : engine.read();
        const qint64 ms = t.elapsed();
        dog.disarm(laneId);
        QStringList found = lane.check(write, plan, before, out);
        for (QString& f : found)
            f.prepend(QStringLiteral("%1, transfer %2: ").arg(lane.name).arg(i));
        tally.record(write, false, lane.scrambled, plan, out, ms, found);
    }
}

}

class TestSoak : public QObject {
    Q_OBJECT
private slots:
    void transfersWithRandomFaults()
    {
        const quint32 seed = quint32(envInt("RQ300_SOAK_SEED", 20240315));
        const int total = std::max(1, envInt("RQ300_SOAK_TRANSFERS", 200));
        const int viaWindow = std::max(1, total / 3);
        const int perLane = (total - viaWindow + EngineLanes - 1) / EngineLanes;
        qInfo("soak: seed %u (RQ300_SOAK_SEED), %d transfers (RQ300_SOAK_TRANSFERS): "
              "%d through the window, up to %d on each of %d engine threads",
              seed, total, viaWindow, perLane, EngineLanes);

        Tally tally;
        Watchdog dog(std::chrono::seconds(30));
        QElapsedTimer clock;
        clock.start();

        QList<QThread*> threads;
        int left = total - viaWindow;
        for (int lane = 1; lane <= EngineLanes && left > 0; ++lane) {
            const int count = std::min(perLane, left);
            left -= count;
            threads << QThread::create(engineLane, lane, seed, count, std::ref(tally), std::ref(dog));
            threads.last()->start();
        }
        windowLane(seed, viaWindow, tally, dog);
        for (QThread* t : threads) {
            t->wait();
            delete t;
        }

        QStringList faults, failures;
        for (auto it = tally.faults.cbegin(); it != tally.faults.cend(); ++it)
            faults << QStringLiteral("%1 %2").arg(it.value()).arg(it.key());
        for (auto it = tally.failures.cbegin(); it != tally.failures.cend(); ++it)
            failures << QStringLiteral("%1 at %2").arg(it.value()).arg(it.key());
        qInfo("soak: %d transfers (%d reads, %d of them of random records; %d writes; %d through the window) "
              "in %.1f s, longest %lld ms",
              tally.transfers, tally.reads, tally.scrambledReads, tally.writes, tally.viaWindow,
              clock.elapsed() / 1000.0, static_cast<long long>(tally.longestMs));
        qInfo("soak: %d faults injected; plans: %s", tally.faultsInjected, qPrintable(faults.join(QStringLiteral(", "))));
        qInfo("soak: %d succeeded, %d failed (%s)", tally.succeeded, tally.transfers - tally.succeeded,
              qPrintable(failures.join(QStringLiteral(", "))));

        QVERIFY2(tally.problems.isEmpty(), qPrintable(tally.problems.join(u'\n')));
        QVERIFY(tally.transfers >= total);
        QVERIFY(tally.faultsInjected > 0 && tally.succeeded > 0 && tally.succeeded < tally.transfers);
    }

private:
    // Transfers through the read/write window, as the user runs them: the
    // start button, the progress bar and the one message of a failure.
    void windowLane(quint32 seed, int count, Tally& tally, Watchdog& dog)
    {
        Lane lane(0, seed, u'.');
        PortMap ports;
        ScriptedPrompter prompter;
        AppContext ctx{&lane.doc, &lane.state, &lane.link, &ports, &lane.identity, {}};
        lane.state.chosenPort = 1;
        ReadWriteDialog rw(ctx);
        // The plan counts the frames of one plain transfer.
        for (const char* box : {"CheckBackup", "CheckVerify"})
            rw.findChild<QCheckBox*>(box)->setChecked(false);
        auto* start = rw.findChild<QPushButton*>(QStringLiteral("Button1"));
        auto* progress = rw.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
        QVERIFY(start && progress);

        for (int i = 0; i < count && !tally.tooMany(); ++i) {
            const bool write = lane.rng.bounded(2);
            const Soak::Plan plan = lane.prepare(write);
            QStringList found;
            ports.setPath(1, lane.sim.devicePath());
            // The direction is the command's: another command means closing
            // the window first, as the user does. Now and then it is closed
            // and opened again for the same command.
            if (rw.isVisible() && (rw.direction() != (write ? 2 : 1) || lane.rng.bounded(8) == 0)) {
                rw.findChild<QPushButton*>(QStringLiteral("Button2"))->click();
                if (rw.isVisible() || lane.link.isOpen())
                    found << QStringLiteral("the window did not close, or left the port open");
            }
            if (!rw.isVisible()) {
                if (!rw.prepareCommand(write ? 2 : 1, write ? QStringLiteral("写频") : QStringLiteral("读频"),
                                       write ? QStringLiteral("写 频") : QStringLiteral("读 频")))
                    found << QStringLiteral("the port of the simulated radio could not be probed");
                rw.show();
            }

            const DocumentData before = lane.doc.data();
            const qsizetype messages = prompter.messages.size();
            dog.arm(0, QStringLiteral("window, transfer %1: %2 with %3")
                           .arg(i).arg(write ? "write" : "read", plan.describe()).toStdString());
            QElapsedTimer t;
            t.start();
            if (!startTransferAndWait(rw))
                found << QStringLiteral("the transfer did not end");
            const qint64 ms = t.elapsed();
            dog.disarm(0);

            // The window shows the outcome: a full progress bar and no
            // message, or exactly one message.
            const bool shownOk = prompter.messages.size() == messages && progress->value() == progress->maximum();
            TransferEngine::Outcome out;
            out.failedStep = shownOk ? Step::None : Step::Records;
            if (!shownOk) {
                const QString shown = prompter.messages.size() > messages ? prompter.messages.last().text : QString();
                // The message the window showed stands for the engine's reason here.
                out.reason = Result::fail(TextId::CannotEncode, {shown});
                if (prompter.messages.size() != messages + 1)
                    found << QStringLiteral("%1 messages after a failed transfer")
                                 .arg(prompter.messages.size() - messages);
                else if (shown.trimmed().isEmpty())
                    found << QStringLiteral("an empty failure message");
            }
            if (!start->isEnabled() || rw.isTransferRunning())
                found << QStringLiteral("the start button is not enabled after the transfer");
            if (!rw.isVisible())
                found << QStringLiteral("the window closed during the transfer");
            found << lane.check(write, plan, before, out);
            for (QString& f : found)
                f.prepend(QStringLiteral("window, transfer %1: ").arg(i));
            tally.record(write, true, lane.scrambled, plan, out, ms, found);
        }
        rw.findChild<QPushButton*>(QStringLiteral("Button2"))->click();
    }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
