#pragma once
#include <QDialog>
#include <functional>

#include "app/appcontext.h"
#include "radio/safetransfer.h"
#include "radio/transferengine.h"
#include "radio/transferthread.h"

class PackStrings;
class QCheckBox;
class QComboBox;
class QFrame;
class QProgressBar;
class QPushButton;
class QStatusBar;

// The read/write window: runs one read or write of the radio at a time from
// its start button, with a progress bar, and reports the outcome in one
// message. Modal; it refuses to close while a transfer runs. The transfer
// runs on a thread of its own (TransferThread) over copies of the document
// and identity; when it ends, the window takes back what it found and says
// so (transferFinished).
//
// The main window connects identityChanged to the radio information
// window's refresh, modelSelected to its model change and bandSelected to
// its caption "model     [band]".
class ReadWriteDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReadWriteDialog(AppContext& ctx, QWidget* parent = nullptr);

    // The Read (1) and Write (2) commands once the pending channel edit is
    // committed: probes the chosen port, sets the captions and the direction
    // and shows the window modally; returns when it closes.
    void startCommand(int direction, const QString& caption, const QString& buttonCaption);
    // startCommand without the modal show. False when the port cannot be
    // opened; the port failure message has been shown then.
    bool prepareCommand(int direction, const QString& caption, const QString& buttonCaption);

    void applyTexts(const PackStrings& texts);

    // The initialise command (Button3, hidden as delivered) first writes the
    // model, band and alignment records to the radio on the device; the main
    // window supplies that step. It tells `done` false when the step failed
    // and has reported why.
    using Initialiser = std::function<void(const QString& device, std::function<void(bool)> done)>;
    void setInitialiser(Initialiser initialise) { m_initialise = std::move(initialise); }

    int direction() const { return m_direction; }
    bool isTransferRunning() const { return m_thread.isRunning(); }
    // Asks a running transfer to stop before its first record (a signal at
    // exit) and waits for it to end; a write that has begun finishes.
    void stopAndWait();
    // The backup and verify check boxes, remembered in sysini.ini.
    SafeTransfer::Options safetyOptions() const;

    // Handlers under the names the rest of the program knows them by.
    void focusStart();
    void startTransfer();
    void closeWindow();
    void initialiseAndTransfer();
    bool mayClose();
    void closed();

signals:
    void identityChanged();
    void modelSelected();
    void bandSelected(const QString& band);
    // A read (1) or write (2) went through: the document matches the radio.
    void transferSucceeded(int direction);
    // A transfer started by the start button has ended and been reported.
    void transferFinished();
    // What a transfer that went through did, as the status bar says it.
    void doneSaid(const QString& line);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void transferEnded();
    void report(const SafeTransfer::Outcome& safe);
    void sayDone(const SafeTransfer::Outcome& safe);
    void showStatus(const QString& line);
    void reportPasswordError();
    void reportSafety(const SafeTransfer::Outcome& out);
    void storeSafety();

    AppContext m_ctx;
    TransferThread m_thread;
    bool m_quiet = false;   // ending with the program: nothing more is said
    int m_direction = 1;
    Initialiser m_initialise;
    bool m_initialising = false;
    bool m_verifying = false;   // the running write reads back to check
    QString m_idleStatus;       // the status bar before a transfer has ended

    QPushButton* m_button1;
    QPushButton* m_button2;
    QPushButton* m_button3;
    QProgressBar* m_progress;
    QCheckBox* m_backupBox;
    QCheckBox* m_verifyBox;
    QStatusBar* m_status;
};
