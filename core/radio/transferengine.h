#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

#include "document/radioimage.h"
#include "base/result.h"

class PackStrings;
class TransferContext;
class SerialLink;
class SettingsDocument;
struct RadioIdentity;

// Runs one whole read or write of the radio's configuration over a serial
// link, or a short identity query, on the calling thread.
//
// A call returns when the transfer has ended; while it waits for a reply it
// runs the event loop through SerialLink::aSysDelay, so windows stay alive
// and the engine never busy-polls. The caller has set the link's device;
// the engine closes and reopens the port itself (the radio wants the pauses)
// and leaves it open afterwards unless the port failed.
//
// What it touches:
//  - the settings document: a read decodes everything into a copy and
//    replaces the document only when the whole read succeeded; a write only
//    reads it. The model check may select the first model entry (signal
//    modelSelected), as a radio of that model is being talked to;
//  - the identity fields: filled as the records arrive, also on a read that
//    fails later; a write takes the user name to store from them;
//  - the application state: administrator name, channel count, single-port
//    mode, whether to stamp the factory date; radioBusy while running.
//
// A write first asks WriteCheck whether the document can be written at all
// (every refused value is named at once, before the port is touched). After
// the radio's checks it encodes every record over the radio's own: the
// document's image when it carries one (a read, a backup), else the target
// radio's records given by setTargetImage, else records it reads itself
// (the option block and the timer record, which the document may not fully
// cover). Then it writes them.
//
// Every exchange goes through RadioProtocol, which holds the reply checks.
class TransferEngine : public QObject {
    Q_OBJECT
public:
    struct Outcome {
        enum class Step {
            None,        // success
            Busy,        // another radio operation was running; nothing was done
            Encode,      // a value cannot be written; nothing was sent
            Port,        // the port could not be opened or failed during the transfer
            Handshake,
            Identity,    // an identity record could not be read
            Password,
            Model,
            Band,
            Records,     // a channel, option or timer record failed
            Stopped,     // a stop was asked for before the first write frame
        };
        Step failedStep = Step::None;
        // Why it failed, e.g. "No acknowledgement for channel 5 second half",
        // as a text id and its values (the record already named in the
        // language of the engine's texts); success when nothing failed.
        Result reason;
        // The radio holds a password that the typed one does not match: the
        // window shows "Communication Password Error !" instead of the
        // general failure message.
        bool passwordError = false;
        // What the radio said about itself, once read (also on failure).
        QString radioBand;    // e.g. "400-470MHz"; "FFF-FFFMHz" when unset
        QString radioModel;   // the model record as 16 hex digits
        // Every record read in this run, by address (also on failure).
        RadioImage image;
        // Every record of a write the radio acknowledged, as sent.
        RadioImage written;
        bool ok() const { return failedStep == Step::None; }
    };

    TransferEngine(SerialLink& link, SettingsDocument& doc, RadioIdentity& identity,
                   TransferContext& state, QObject* parent = nullptr);

    Outcome read();
    Outcome write();
    // Handshake, identity, model and band records, end frame. No password
    // check; the document is left alone. The identity fields are filled.
    Outcome info();

    bool isRunning() const { return m_running; }

    // The records the next write's target radio holds, read just before
    // (the backup read); the write encodes over them where the document
    // carries no image of its own. Cleared by each write.
    void setTargetImage(const RadioImage& image) { m_target = image; }
    // Asked before every frame until the first record is written: true ends
    // the run there, with the end frame, and nothing written (a signal in
    // the command-line tool). Once records are being written they all are.
    void setStopRequest(std::function<bool()> stop) { m_stop = std::move(stop); }
    // The step's name in messages and the communication log ("handshake").
    static QString stepName(Outcome::Step step);
    // The step's name for a user, in the language of the texts.
    static QString stepName(Outcome::Step step, const PackStrings& texts);

signals:
    void progress(int value, int maximum);
    // An identity field was filled from the radio.
    void identityChanged();
    // The model check selected the first entry of the model list; the main
    // window runs its model change.
    void modelSelected();
    // A successful read selected this band; the main window shows it in its
    // caption.
    void bandSelected(const QString& band);

private:
    enum class Mode { Read, Write, Info };
    struct Prepared;
    Outcome run(Mode mode);
    void enter(Outcome::Step step);   // the step under way, also named in the link's log
    bool prepareWrite(Prepared& p);
    bool reopenPort();
    bool handshake();
    bool readIdentity(bool checkPassword, bool checkModel);
    bool readBranch();
    bool writeBranch(const RadioImage& target, Prepared& p);
    void endStep();

    bool readRecord(int address, int ms, const QString& what, QByteArray& data);
    bool writeRecord(int address, const QByteArray& data, int ms, const QString& what);
    bool stopAsked();
    bool encodeRecords(const RadioImage& base, Prepared& p);
    QString recordName(int textId, int channel = 0) const;
    QString channelHalf(int n, bool second) const;
    bool portFailed();
    bool fail(Outcome::Step step, const Result& reason);
    void advance(int by);

    SerialLink& m_link;
    SettingsDocument& m_doc;
    RadioIdentity& m_identity;
    TransferContext& m_state;

    bool m_running = false;
    Outcome m_out;
    Outcome::Step m_step = Outcome::Step::None;   // the step under way, for failures
    int m_count = 32;
    int m_value = 0;
    int m_maximum = 180;
    RadioImage m_target;
    std::function<bool()> m_stop;
    QString m_lastWritten;   // the last record acknowledged, for the end frame's check
};
