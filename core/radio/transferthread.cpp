#include "transferthread.h"

#include <QThread>

#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "radio/seriallink.h"
#include "radio/transfercontext.h"

TransferThread::TransferThread(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<RadioIdentity>("RadioIdentity");
}

TransferThread::~TransferThread()
{
    // An owner that goes (the program ends) stops a read where it is; a
    // write that has begun finishes, so that no radio is left half written.
    requestStop();
    wait();
}

bool TransferThread::start(const Request& request)
{
    if (m_running)
        return false;
    wait();   // the thread of the last one has ended its run; let it go
    m_running = true;
    m_stop = false;
    m_thread.reset(QThread::create([this, request] { run(request); }));
    // The end is told on this object's thread, after the transfer's thread
    // has let go of everything it made.
    connect(m_thread.get(), &QThread::finished, this, [this] {
        m_running = false;
        emit finished();
    });
    m_thread->start();
    return true;
}

void TransferThread::wait()
{
    if (m_thread)
        m_thread->wait();
}

// Runs on the transfer's thread: everything made here lives and dies here,
// so the serial port's notifications arrive on the event loop that waits
// for them.
void TransferThread::run(const Request& r)
{
    SerialLink link;
    link.setDevice(r.device);
    link.setLog(r.log);
    SettingsDocument doc;
    doc.setDecimalSeparator(r.separator);
    doc.replace(r.data);
    doc.applyLanguage(r.texts);
    TransferContext context;
    context.texts = r.texts;
    context.channelCount = r.channelCount;
    context.singlePort = r.singlePort;
    context.stampFactoryDate = r.stampFactoryDate;
    context.adminName = r.adminName;
    RadioIdentity identity = r.identity;

    Outcome out;
    SafeTransfer transfer(link, doc, identity, context);
    transfer.setStopRequest([this] { return m_stop.load(); });
    connect(&transfer, &SafeTransfer::progress, this, &TransferThread::progress, Qt::DirectConnection);
    connect(&transfer.engine(), &TransferEngine::identityChanged, this,
            [this, &identity] { emit identityChanged(identity); }, Qt::DirectConnection);
    connect(&transfer.engine(), &TransferEngine::modelSelected, this, [&out] { out.modelSelected = true; },
            Qt::DirectConnection);
    connect(&transfer.engine(), &TransferEngine::bandSelected, this,
            [&out](const QString& band) { out.bandSelected = band; }, Qt::DirectConnection);
    switch (r.kind) {
    case Kind::Read: out.safe = transfer.read(r.options); break;
    case Kind::Write: out.safe = transfer.write(r.options); break;
    case Kind::Info:
        connect(&transfer.engine(), &TransferEngine::progress, this, &TransferThread::progress, Qt::DirectConnection);
        out.safe.transfer = transfer.engine().info();
        out.safe.stage = out.safe.transfer.ok() ? SafeTransfer::Outcome::Stage::Done
                                                : SafeTransfer::Outcome::Stage::Transfer;
        break;
    }
    link.close();
    out.data = doc.data();
    out.identity = identity;
    m_outcome = out;
}
