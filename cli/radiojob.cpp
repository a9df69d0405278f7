#include "radiojob.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <memory>

#include "radio/transfercontext.h"
#include "document/settingsdocument.h"
#include "radio/cables.h"
#include "radio/seriallink.h"
#include "base/textids.h"

namespace {

// Everything a transfer touches is made on the job's own thread, so the
// serial port's notifications arrive on the event loop that waits for them.
void runOne(RadioJob& job)
{
    job.result = job.data;
    // A permission or braille-service problem comes with its fix.
    if (const Result why = SerialLink::probe(job.device); !why) {
        job.outcome.failedStep = TransferEngine::Outcome::Step::Port;
        job.outcome.reason = why;
        return;
    }
    SerialLink link;
    link.setDevice(job.device);
    link.setLog(job.log);
    SettingsDocument doc;
    doc.setDecimalSeparator(job.separator);
    doc.replace(job.data);
    doc.applyLanguage(job.texts);
    TransferContext state;
    state.texts = job.texts;
    state.singlePort = job.singlePort;
    state.stampFactoryDate = job.stampFactoryDate;
    RadioIdentity identity;
    identity.userToWrite = job.userToWrite;
    identity.writeUser = job.writeUser;

    SafeTransfer transfer(link, doc, identity, state);
    if (job.stopRequested)
        transfer.setStopRequest(job.stopRequested);
    auto progress = [&job](int value, int maximum) {
        job.maximum.storeRelaxed(qMax(1, maximum));
        job.progress.storeRelaxed(value);
    };
    QObject::connect(&transfer, &SafeTransfer::progress, progress);
    switch (job.mode) {
    case RadioJob::Mode::Read: job.safe = transfer.read(job.safety); break;
    case RadioJob::Mode::Write: job.safe = transfer.write(job.safety); break;
    case RadioJob::Mode::Info:
        QObject::connect(&transfer.engine(), &TransferEngine::progress, progress);
        job.safe.transfer = transfer.engine().info();
        job.safe.stage = job.safe.transfer.ok() ? SafeTransfer::Outcome::Stage::Done
                                                : SafeTransfer::Outcome::Stage::Transfer;
        break;
    }
    job.outcome = job.safe.transfer;
    link.close();
    job.result = doc.data();
    job.identity = identity;
}

}

void runJobs(QList<RadioJob>& jobs, const std::function<void()>& tick)
{
    std::vector<std::unique_ptr<QThread>> threads;
    QEventLoop loop;
    int running = int(jobs.size());
    for (RadioJob& job : jobs) {
        threads.emplace_back(QThread::create([&job] { runOne(job); }));
        QObject::connect(threads.back().get(), &QThread::finished, &loop, [&] {
            if (--running == 0)
                loop.quit();
        });
    }
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] { tick(); });
    timer.start(100);
    for (auto& t : threads)
        t->start();
    if (running > 0)
        loop.exec();
    for (auto& t : threads)
        t->wait();
    tick();
}

QString stepName(TransferEngine::Outcome::Step step, const PackStrings& texts)
{
    return Result::named(TransferEngine::stepNameId(step)).text(texts);
}
