#include "safetransfer.h"

#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "files/backups.h"
#include "radio/codecs.h"
#include "radio/identity.h"
#include "radio/verify.h"
#include "radio/writecheck.h"
#include "radio/transfercontext.h"
#include "base/textids.h"

namespace {

QString folderOf(const SafeTransfer::Options& o)
{
    return o.backupFolder.isEmpty() ? Backups::folder() : o.backupFolder;
}

struct Running {
    bool& flag;
    explicit Running(bool& f) : flag(f) { flag = true; }
    ~Running() { flag = false; }
};

}

// A document and identity of their own for a read that must not touch the
// user's: the same password, band list, words and separator.
struct SafeTransfer::Scratch {
    SettingsDocument doc;
    RadioIdentity identity;
};

SafeTransfer::SafeTransfer(SerialLink& link, SettingsDocument& doc, RadioIdentity& identity, TransferContext& state,
                           QObject* parent)
    : QObject(parent), m_link(link), m_doc(doc), m_identity(identity), m_state(state),
      m_engine(link, doc, identity, state, this)
{
    connect(&m_engine, &TransferEngine::progress, this, &SafeTransfer::phaseProgress);
}

void SafeTransfer::phaseProgress(int value, int maximum)
{
    // In the engine's own scale, so one plain read ends at its maximum.
    emit progress(m_phase * maximum + value, m_phases * maximum);
}

void SafeTransfer::setStopRequest(std::function<bool()> stop)
{
    m_stop = stop;
    m_engine.setStopRequest(std::move(stop));
}

TransferEngine::Outcome SafeTransfer::scratchRead(Scratch& s, const DocumentData& start, bool stoppable)
{
    s.doc.setDecimalSeparator(m_doc.decimalSeparator());
    s.doc.applyLanguage(m_state.texts);
    s.doc.replace(start);
    TransferEngine engine(m_link, s.doc, s.identity, m_state);
    if (stoppable)
        engine.setStopRequest(m_stop);
    connect(&engine, &TransferEngine::progress, this, &SafeTransfer::phaseProgress);
    return engine.read();
}

// Between its steps the engine is idle, so the engine alone would not see
// that this run is still under way.
SafeTransfer::Outcome SafeTransfer::busy()
{
    Outcome out;
    out.stage = Outcome::Stage::Transfer;
    out.transfer.failedStep = TransferEngine::Outcome::Step::Busy;
    return out;
}

SafeTransfer::Outcome SafeTransfer::read(const Options& options)
{
    Outcome out;
    if (m_running)
        return busy();
    Running running(m_running);
    m_phase = 0;
    m_phases = 1;
    out.transfer = m_engine.read();
    if (!out.transfer.ok()) {
        out.stage = Outcome::Stage::Transfer;
        return out;
    }
    if (options.backup) {
        // The read itself stands; only the backup is reported as missing.
        const Result saved = Backups::saveSettings(m_doc.data(), m_state.texts, m_identity.user, &out.backupPath,
                                                   folderOf(options));
        if (!saved)
            out.safety = Result::fail(TextId::BackupSaveFailedAfterRead, {saved.args.value(0)}, saved.details);
    }
    return out;
}

SafeTransfer::Outcome SafeTransfer::write(const Options& options)
{
    Outcome out;
    out.stage = Outcome::Stage::Transfer;
    if (m_running)
        return busy();
    // A document the engine would refuse costs no backup read either: every
    // value it cannot write is named before the port is touched.
    const int count = std::clamp(m_state.channelCount, 1, int(DocumentData::ChannelCount));
    const QList<Result> problems = WriteCheck::problems(m_doc.data(), m_doc.decimalSeparator(),
                                                        count, m_identity, m_state.adminName);
    if (!problems.isEmpty()) {
        out.transfer.failedStep = TransferEngine::Outcome::Step::Encode;
        out.transfer.reason = WriteCheck::reason(problems);
        return out;
    }
    Running running(m_running);
    m_phase = 0;
    m_phases = 1 + (options.backup ? 1 : 0) + (options.verify ? 1 : 0);

    if (options.backup) {
        Scratch before;
        const TransferEngine::Outcome r = scratchRead(before, m_doc.data(), true);
        if (!r.ok()) {
            out.stage = r.failedStep == TransferEngine::Outcome::Step::Stopped ? Outcome::Stage::Transfer
                                                                                : Outcome::Stage::BackupRead;
            out.transfer = r;
            if (out.stage == Outcome::Stage::BackupRead)
                out.safety = Result::fail(TextId::BackupReadFailed);
            return out;
        }
        const Result saved = Backups::saveSettings(before.doc.data(), m_state.texts, before.identity.user,
                                                   &out.backupPath, folderOf(options));
        if (!saved) {
            out.stage = Outcome::Stage::BackupSave;
            out.transfer = r;
            out.safety = saved;
            return out;
        }
        // The write keeps what the radio holds where the document says
        // nothing: these are the very records the backup keeps.
        m_engine.setTargetImage(r.image);
        ++m_phase;
    }

    const DocumentData sent = m_doc.data();
    out.transfer = m_engine.write();
    out.written = out.transfer.written;
    if (!out.transfer.ok())
        return out;
    ++m_phase;

    if (options.verify) {
        Scratch after;
        DocumentData start = sent;
        // A new password is what the radio holds now.
        if (sent.flag(Key::WriteNewPassword))
            start.setText(Key::Password, sent.text(Key::NewPassword));
        // Records are written by now: the read back runs whatever is asked.
        const TransferEngine::Outcome r = scratchRead(after, start, false);
        if (!r.ok()) {
            out.stage = Outcome::Stage::VerifyRead;
            out.transfer = r;
            out.safety = Result::fail(TextId::VerifyReadFailed);
            return out;
        }
        out.differences = Verify::compare(out.written, r.image);
        if (!out.differences.isEmpty()) {
            out.stage = Outcome::Stage::Verify;
            out.safety = Result::because(TextId::VerifyMismatch,
                                         Result::lines(std::vector<Result>(out.differences.cbegin(), out.differences.cend())));
            return out;
        }
    }
    out.stage = Outcome::Stage::Done;
    return out;
}
