#include "safetransfer.h"

#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "files/backups.h"
#include "radio/codecs.h"
#include "radio/identity.h"
#include "radio/verify.h"
#include "setup/appstate.h"
#include "setup/textids.h"

namespace {

QString folderOf(const SafeTransfer::Options& o)
{
    return o.backupFolder.isEmpty() ? Backups::folder() : o.backupFolder;
}

// The checks the engine makes before its first frame: a document that cannot
// be encoded must not cost a backup read either.
bool encodable(const DocumentData& d, const ValueWords& words, const RadioIdentity& id, const AppState& state)
{
    const int count = std::clamp(state.channelCount, 1, int(DocumentData::ChannelCount));
    for (int n = 1; n <= count; ++n)
        if (!Codec::encodeChannel(d, n, words).ok())
            return false;
    if (!Codec::encodeOptions(d, count).ok() || !Codec::encodeTimer(d).ok())
        return false;
    if (id.writeUser && !Codec::encodeName(id.userToWrite).ok())
        return false;
    if (!Codec::encodeName(state.adminName).ok())
        return false;
    return !d.flag(Key::WriteNewPassword) || Codec::encodePassword(d.text(Key::NewPassword)).ok();
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

SafeTransfer::SafeTransfer(SerialLink& link, SettingsDocument& doc, RadioIdentity& identity, AppState& state,
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

TransferEngine::Outcome SafeTransfer::scratchRead(Scratch& s, const DocumentData& start)
{
    s.doc.setDecimalSeparator(m_doc.decimalSeparator());
    s.doc.applyLanguage(m_state.texts);
    s.doc.replace(start);
    TransferEngine engine(m_link, s.doc, s.identity, m_state);
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
    // Nothing is read or saved for a document the engine will refuse: it
    // refuses it before the port is touched.
    if (m_running)
        return busy();
    if (!encodable(m_doc.data(), m_doc.words(), m_identity, m_state)) {
        out.transfer = m_engine.write();
        return out;
    }
    Running running(m_running);
    m_phase = 0;
    m_phases = 1 + (options.backup ? 1 : 0) + (options.verify ? 1 : 0);

    if (options.backup) {
        Scratch before;
        const TransferEngine::Outcome r = scratchRead(before, m_doc.data());
        if (!r.ok()) {
            out.stage = Outcome::Stage::BackupRead;
            out.transfer = r;
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
        ++m_phase;
    }

    Verify::Written written;
    written.started = QDateTime::currentDateTime();
    written.user = m_identity.writeUser;
    written.userName = m_identity.userToWrite;
    written.factoryDate = m_state.stampFactoryDate;
    written.adminName = m_state.adminName;
    const DocumentData sent = m_doc.data();
    out.transfer = m_engine.write();
    written.ended = QDateTime::currentDateTime();
    if (!out.transfer.ok())
        return out;
    // The engine writes the administrator (and the sale date) when the radio
    // held another name; it has just read that name into the identity.
    written.admin = m_state.adminName != m_identity.admin;
    ++m_phase;

    if (options.verify) {
        Scratch after;
        DocumentData start = sent;
        // A new password is what the radio holds now.
        if (sent.flag(Key::WriteNewPassword))
            start.setText(Key::Password, sent.text(Key::NewPassword));
        const TransferEngine::Outcome r = scratchRead(after, start);
        if (!r.ok()) {
            out.stage = Outcome::Stage::VerifyRead;
            out.transfer = r;
            out.safety = Result::fail(TextId::VerifyReadFailed);
            return out;
        }
        const int count = std::clamp(m_state.channelCount, 1, int(DocumentData::ChannelCount));
        out.differences = Verify::compare(sent, after.doc.data(), m_doc.words(), count, written, after.identity);
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
