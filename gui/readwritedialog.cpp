#include "gui/readwritedialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "gui/cableprompt.h"
#include "gui/prompter.h"
#include "app/appstate.h"
#include "app/transferrequest.h"
#include "base/packstrings.h"
#include "files/profile.h"
#include "base/textids.h"
#include "radio/portmap.h"
#include "radio/seriallink.h"
#include "app/safetysettings.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "radio/identity.h"
#include "base/textids.h"

ReadWriteDialog::ReadWriteDialog(AppContext& ctx, QWidget* parent)
    : QDialog(parent),
      m_ctx(ctx)
{
    setObjectName(QStringLiteral("RWForm"));
    setWindowTitle(QStringLiteral("读频"));
    setModal(true);

    m_button1 = new QPushButton(QStringLiteral("读 频"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setDefault(true);
    m_button2 = new QPushButton(QStringLiteral("退 出"), this);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button3 = new QPushButton(QStringLiteral("初始化"), this);
    m_button3->setObjectName(QStringLiteral("Button3"));
    m_button3->hide();
    connect(m_button3, &QPushButton::clicked, this, &ReadWriteDialog::initialiseAndTransfer);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    const AppState& st = *ctx.state;
    const SafetySettings::Values safety = SafetySettings::load(ctx.config);
    m_backupBox = new QCheckBox(st.text(TextId::CheckBackup), this);
    m_backupBox->setObjectName(QStringLiteral("CheckBackup"));
    m_backupBox->setChecked(safety.backup);
    m_verifyBox = new QCheckBox(st.text(TextId::CheckVerify), this);
    m_verifyBox->setObjectName(QStringLiteral("CheckVerify"));
    m_verifyBox->setChecked(safety.verify);
    connect(m_backupBox, &QCheckBox::toggled, this, &ReadWriteDialog::storeSafety);
    connect(m_verifyBox, &QCheckBox::toggled, this, &ReadWriteDialog::storeSafety);
    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("StatusBar"));
    m_status->setSizeGripEnabled(false);
    m_idleStatus = QStringLiteral("    BRASEL调频手持对讲机RQ-300系列编程软件");
    m_status->showMessage(m_idleStatus);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_button1);
    buttons->addWidget(m_button3);
    buttons->addStretch();
    buttons->addWidget(m_button2);
    buttons->addStretch();
    auto* body = new QVBoxLayout;
    body->setContentsMargins(16, 16, 16, 8);
    body->setSpacing(14);
    body->addWidget(m_progress);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(m_backupBox);
    boxes->addWidget(m_verifyBox);
    boxes->addStretch();
    body->addLayout(boxes);
    body->addLayout(buttons);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addLayout(body);
    outer->addWidget(m_status);
    setFixedSize(QSize(380, 180).expandedTo(sizeHint()));

    connect(m_button1, &QPushButton::clicked, this, &ReadWriteDialog::startTransfer);
    connect(m_button2, &QPushButton::clicked, this, &ReadWriteDialog::closeWindow);
    connect(&m_thread, &TransferThread::progress, this, [this](int value, int maximum) {
        m_progress->setMaximum(maximum);
        m_progress->setValue(value);
    });
    // The radio information window follows each record as it arrives; the
    // user name to write stays as the user has it meanwhile.
    connect(&m_thread, &TransferThread::identityChanged, this, [this](const RadioIdentity& found) {
        RadioIdentity shown = found;
        shown.userToWrite = m_ctx.identity->userToWrite;
        shown.writeUser = m_ctx.identity->writeUser;
        *m_ctx.identity = shown;
        emit identityChanged();
    });
    connect(&m_thread, &TransferThread::finished, this, &ReadWriteDialog::transferEnded);
}

bool ReadWriteDialog::prepareCommand(int direction, const QString& caption, const QString& buttonCaption)
{
    CablePrompt::offerPluggedInCable(parentWidget(), m_ctx);
    const QString device = m_ctx.ports ? m_ctx.ports->path(m_ctx.state->chosenPort) : QString();
    const Result reason = SerialLink::probe(device);
    if (!reason) {
        Prompter::active().message(parentWidget(), m_ctx.state->text(TextId::WarningCaption),
                                   m_ctx.state->text(MsgId::PortFailed) + QStringLiteral("\n\n")
                                       + CablePrompt::openFailureText(m_ctx, reason),
                                   Prompter::Icon::Exclamation);
        return false;
    }
    m_ctx.link->setDevice(device);
    setWindowTitle(caption);
    m_button1->setText(buttonCaption);
    m_direction = direction == 2 ? 2 : 1;
    // A read has nothing to check: the box is only for a write.
    m_verifyBox->setVisible(m_direction == 2);
    m_progress->setValue(0);
    showStatus(m_idleStatus);
    return true;
}

void ReadWriteDialog::startCommand(int direction, const QString& caption, const QString& buttonCaption)
{
    if (prepareCommand(direction, caption, buttonCaption))
        exec();
}

void ReadWriteDialog::applyTexts(const PackStrings& t)
{
    // An id the pack lacks keeps the text the window has.
    if (t.contains(WordId::Ok))
        m_button2->setText(t.text(WordId::Ok));
    m_backupBox->setText(t.text(TextId::CheckBackup));
    m_verifyBox->setText(t.text(TextId::CheckVerify));
    if (t.contains(WordId::ProgramTitle)) {
        m_idleStatus = QStringLiteral("     ") + t.text(WordId::ProgramTitle);
        showStatus(m_idleStatus);
    }
}

void ReadWriteDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    focusStart();
}

void ReadWriteDialog::focusStart()
{
    m_button1->setFocus();
}

void ReadWriteDialog::startTransfer()
{
    if (!m_button1->isEnabled() || isTransferRunning() || m_ctx.state->radioBusy())
        return;
    m_button1->setEnabled(false);
    m_progress->setValue(0);
    m_status->showMessage(m_idleStatus);
    // The transfer opens the port on its own thread; nothing here holds it.
    m_ctx.link->close();
    TransferThread::Request r = transferRequest(
        m_ctx, m_direction == 2 ? TransferThread::Kind::Write : TransferThread::Kind::Read, m_ctx.link->device());
    r.identity = *m_ctx.identity;
    r.options = safetyOptions();
    m_verifying = r.options.verify;
    m_ctx.state->setRadioBusy(true);
    m_quiet = false;
    m_thread.start(r);
}

void ReadWriteDialog::stopAndWait()
{
    m_quiet = true;
    m_thread.requestStop();
    m_thread.wait();
}

void ReadWriteDialog::transferEnded()
{
    m_ctx.state->setRadioBusy(false);
    const TransferThread::Outcome& o = m_thread.outcome();
    const SafeTransfer::Outcome& safe = o.safe;
    // What the transfer found comes back to the window's own objects, in the
    // order the main window follows: the model, the document, the band.
    if (o.modelSelected) {
        m_ctx.doc->setChoice(Key::Model, 0);
        emit modelSelected();
    }
    // What a read found is the radio's, in no file: named so at once, also
    // when the program is ending and nothing more is reported, so that the
    // recovery file never gives it a file it did not come from.
    if (m_direction == 1 && safe.transfer.ok()) {
        m_ctx.doc->replace(o.data);
        m_ctx.doc->markSaved(QString());
    }
    if (!o.bandSelected.isEmpty())
        emit bandSelected(o.bandSelected);
    m_button1->setEnabled(true);
    m_button1->setFocus();
    if (!m_quiet)
        report(safe);
    emit transferFinished();
}

void ReadWriteDialog::report(const SafeTransfer::Outcome& safe)
{
    if (safe.stage == SafeTransfer::Outcome::Stage::Done) {
        emit transferSucceeded(m_direction);
        sayDone(safe);
        reportSafety(safe);   // a read whose backup could not be saved says so
        return;
    }
    if (safe.stage != SafeTransfer::Outcome::Stage::Transfer) {
        reportSafety(safe);
        return;
    }
    const TransferEngine::Outcome& out = safe.transfer;
    if (out.passwordError) {
        reportPasswordError();
        return;
    }
    // A value the radio cannot store is no fault of the cable: nothing was sent.
    const bool refused = out.failedStep == TransferEngine::Outcome::Step::Encode;
    const QString headline = m_ctx.state->text(refused ? int(TextId::WriteRefusedValue) : int(MsgId::TransferFailed));
    Prompter::active().message(this, m_ctx.state->text(TextId::WarningCaption),
                               headline + QStringLiteral("\n\n") + out.reason.text(m_ctx.state->texts),
                               Prompter::Icon::Exclamation);
}

// What was done, on which port, and where the backup went: in this window's
// status bar and, through doneSaid, in the main window's.
void ReadWriteDialog::sayDone(const SafeTransfer::Outcome& safe)
{
    const AppState& st = *m_ctx.state;
    const int id = m_direction == 1 ? TextId::StatusRead
                   : m_verifying    ? TextId::StatusWrittenChecked
                                    : TextId::StatusWritten;
    QString line = Result::fail(id, {QStringLiteral("COM%1").arg(st.chosenPort), m_ctx.link->device()}).text(st.texts);
    if (!safe.backupPath.isEmpty() && safe.safety.ok())
        line += u' ' + Result::fail(TextId::BackupSaved, {safe.backupPath}).text(st.texts);
    showStatus(line);
    emit doneSaid(line);
}

void ReadWriteDialog::showStatus(const QString& line)
{
    m_status->showMessage(line);
    // A status message does not size its window: make room for it, as far
    // as the screen allows.
    int needed = m_status->fontMetrics().horizontalAdvance(line) + 40;
    if (const QScreen* s = screen())
        needed = std::min(needed, s->availableGeometry().width());
    setFixedSize(QSize(needed, height()).expandedTo(QSize(380, 180)).expandedTo(sizeHint()));
}

// Says which field to correct: it must hold what the radio holds.
void ReadWriteDialog::reportPasswordError()
{
    const AppState& s = *m_ctx.state;
    Prompter::active().message(this, QGuiApplication::applicationDisplayName(),
                               s.text(TextId::PasswordError) + QStringLiteral("\n\n")
                                   + s.text(TextId::PasswordHint).arg(s.text(WordId::Password), s.text(WordId::OptionalFeatures)),
                               Prompter::Icon::None);
}

SafeTransfer::Options ReadWriteDialog::safetyOptions() const
{
    SafeTransfer::Options o;
    o.backup = m_backupBox->isChecked();
    o.verify = m_verifyBox->isChecked();
    return o;
}

void ReadWriteDialog::storeSafety()
{
    // The box keeps its tick for this session either way; the message says
    // that the next start will not know it.
    const Result saved = SafetySettings::save(m_ctx.config, {m_backupBox->isChecked(), m_verifyBox->isChecked()});
    if (!saved)
        Prompter::active().message(this, m_ctx.state->text(MsgId::Caption), saved.text(m_ctx.state->texts),
                                   Prompter::Icon::Warning);
}

// A backup or verify step that went wrong, or a read whose backup could not
// be saved; one message, as every transfer ends.
void ReadWriteDialog::reportSafety(const SafeTransfer::Outcome& out)
{
    using Stage = SafeTransfer::Outcome::Stage;
    if (out.stage == Stage::Done && out.safety.ok())
        return;
    if (out.stage == Stage::BackupRead && out.transfer.passwordError) {
        reportPasswordError();
        return;
    }
    QString text = out.safety.text(m_ctx.state->texts);
    if (out.stage == Stage::BackupRead || out.stage == Stage::VerifyRead)
        text += QStringLiteral("\n\n") + out.transfer.reason.text(m_ctx.state->texts);
    Prompter::active().message(this, m_ctx.state->text(TextId::WarningCaption), text,
                               out.stage == Stage::Done ? Prompter::Icon::Warning : Prompter::Icon::Exclamation);
}

void ReadWriteDialog::closeWindow()
{
    close();
}

void ReadWriteDialog::initialiseAndTransfer()
{
    if (!m_initialise || m_initialising || !m_button1->isEnabled() || isTransferRunning())
        return;
    m_initialising = true;
    m_button3->setEnabled(false);
    m_button1->setEnabled(false);
    m_initialise(m_ctx.link->device(), [this](bool adjusted) {
        m_button1->setEnabled(true);
        // The transfer follows only when the radio took the model, band and
        // alignment records.
        if (adjusted)
            startTransfer();
        m_initialising = false;
        m_button3->setEnabled(true);
    });
}

bool ReadWriteDialog::mayClose()
{
    return m_button1->isEnabled() && !isTransferRunning() && !m_initialising;
}

void ReadWriteDialog::closed()
{
    m_button3->hide();
}

void ReadWriteDialog::closeEvent(QCloseEvent* event)
{
    if (!mayClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

// Escape and the close box both end here; neither may end a running transfer.
void ReadWriteDialog::reject()
{
    if (!mayClose())
        return;
    closed();
    QDialog::reject();
}
