#include "radiojob.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <vector>

#include "radio/seriallink.h"
#include "radio/transfercontext.h"
#include "radio/transferthread.h"

namespace {

TransferThread::Request requestFor(const RadioJob& job)
{
    TransferThread::Request r;
    switch (job.mode) {
    case RadioJob::Mode::Read: r.kind = TransferThread::Kind::Read; break;
    case RadioJob::Mode::Write: r.kind = TransferThread::Kind::Write; break;
    case RadioJob::Mode::Info: r.kind = TransferThread::Kind::Info; break;
    }
    r.device = job.device;
    r.data = job.data;
    r.separator = job.separator;
    r.identity.userToWrite = job.userToWrite;
    r.identity.writeUser = job.writeUser;
    r.texts = job.texts;
    r.singlePort = job.singlePort;
    r.stampFactoryDate = job.stampFactoryDate;
    r.adminName = TransferContext::defaultAdminName();
    r.options = job.safety;
    r.log = job.log;
    return r;
}

}

void runJobs(QList<RadioJob>& jobs, const std::function<void()>& tick)
{
    std::vector<std::unique_ptr<TransferThread>> threads;
    QEventLoop loop;
    int running = 0;
    for (RadioJob& job : jobs) {
        job.result = job.data;
        // A permission or braille-service problem comes with its fix.
        if (const Result why = SerialLink::probe(job.device); !why) {
            job.outcome.failedStep = TransferEngine::Outcome::Step::Port;
            job.outcome.reason = why;
            job.safe.transfer = job.outcome;
            job.safe.stage = SafeTransfer::Outcome::Stage::Transfer;
            continue;
        }
        auto thread = std::make_unique<TransferThread>();
        TransferThread* t = thread.get();
        QObject::connect(t, &TransferThread::progress, &loop, [&job](int value, int maximum) {
            job.maximum.storeRelaxed(qMax(1, maximum));
            job.progress.storeRelaxed(value);
        });
        QObject::connect(t, &TransferThread::finished, &loop, [&job, t, &running, &loop] {
            const TransferThread::Outcome& o = t->outcome();
            job.safe = o.safe;
            job.outcome = o.safe.transfer;
            job.result = o.data;
            job.identity = o.identity;
            if (--running == 0)
                loop.quit();
        });
        ++running;
        t->start(requestFor(job));
        threads.push_back(std::move(thread));
    }
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        // A stop asked for (a signal) reaches every radio not yet written.
        const bool stop = std::any_of(jobs.cbegin(), jobs.cend(),
                                      [](const RadioJob& j) { return j.stopRequested && j.stopRequested(); });
        if (stop)
            for (const auto& t : threads)
                t->requestStop();
        tick();
    });
    timer.start(100);
    if (running > 0)
        loop.exec();
    tick();
}

QString stepName(TransferEngine::Outcome::Step step, const PackStrings& texts)
{
    return Result::named(TransferEngine::stepNameId(step)).text(texts);
}
