#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

#include "radio/transferengine.h"
#include "base/result.h"

class TransferContext;
class DocumentData;
class SerialLink;
class SettingsDocument;
struct RadioIdentity;

// A read or write of the radio with its safety steps around the transfer
// engine: a read keeps a backup of what the radio held (its settings file
// and its records); a write first checks that the document can be written,
// then reads the radio into a backup (whose records the write then encodes
// over), then writes, then reads the radio back and compares every record
// it wrote byte for byte. The backup and verify reads go into scratch
// documents, so the user's document and identity fields change only as a
// plain read or write changes them.
class SafeTransfer : public QObject {
    Q_OBJECT
public:
    struct Options {
        bool backup = true;
        bool verify = true;
        QString backupFolder;   // empty: Backups::folder()
    };

    struct Outcome {
        enum class Stage {
            Done,          // everything asked for succeeded
            BackupRead,    // the read before the write failed; nothing was written
            BackupSave,    // the backup could not be saved (a write sent nothing)
            Transfer,      // the read or write itself failed (or was stopped)
            VerifyRead,    // written, but the read back failed: not verified
            Verify,        // written, but the radio holds something else
        };
        Stage stage = Stage::Done;
        // The engine's outcome of the step that failed (or of the transfer).
        TransferEngine::Outcome transfer;
        // Why a backup or verify step failed, in the program's own texts;
        // after a read whose backup could not be saved it is set although the
        // read itself succeeded (stage Done).
        Result safety;
        QString backupPath;        // the backup written, if any
        QList<Result> differences;   // Verify: one line per record that differs
        // Every record the write sent that the radio acknowledged.
        RadioImage written;

        // The radio and the document are as the user asked.
        bool ok() const { return stage == Stage::Done; }
    };

    SafeTransfer(SerialLink& link, SettingsDocument& doc, RadioIdentity& identity, TransferContext& state,
                 QObject* parent = nullptr);

    Outcome read(const Options& options);
    Outcome write(const Options& options);

    // The engine that reads into and writes from the user's document; its
    // identityChanged, modelSelected and bandSelected signals are the ones a
    // window follows.
    TransferEngine& engine() { return m_engine; }
    const TransferEngine& engine() const { return m_engine; }
    bool isRunning() const { return m_running; }
    // A stop asked for before the first record is written ends the run with
    // nothing written; once records are written, the write and its verify
    // run to their end. See TransferEngine::setStopRequest.
    void setStopRequest(std::function<bool()> stop);

signals:
    // Over the whole run: the backup read, the transfer and the verify read
    // each take an equal share.
    void progress(int value, int maximum);

private:
    struct Scratch;
    static Outcome busy();
    TransferEngine::Outcome scratchRead(Scratch& s, const DocumentData& start, bool stoppable);
    void phaseProgress(int value, int maximum);

    SerialLink& m_link;
    SettingsDocument& m_doc;
    RadioIdentity& m_identity;
    TransferContext& m_state;
    TransferEngine m_engine;
    bool m_running = false;
    std::function<bool()> m_stop;
    int m_phase = 0;
    int m_phases = 1;
};
