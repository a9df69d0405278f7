// The alignment window's commands: the radio operations and the file.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "gui/prompter.h"
#include "app/appstate.h"
#include "base/packstrings.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "radio/identity.h"
#include "radio/portmap.h"
#include "radio/seriallink.h"
#include "service/serviceops.h"
#include "files/alignmentfile.h"
#include "files/backups.h"
#include "base/textids.h"
#include "gui/alignmentwindow.h"

namespace {
// Commands that must wait while the radio is in use: the radio commands, and
// Load, whose values a running read would overwrite.
constexpr int Commands[] = {1, 2, 3, 5, 6, 7};
}

// Marks this window's radio operation as running or ended, for this window
// and for the main window (which holds back its own radio commands and Exit
// meanwhile).
void AlignmentWindow::setRunning(bool running)
{
    m_running = running;
    if (m_ctx.state)
        m_ctx.state->setRadioBusy(running);
    updateCommands();
}

// Runs `work` on the service thread; `done` follows on this thread with its
// outcome. The operation stays marked as running until `done` has returned,
// so that what `done` starts next (the adjust after its backup read) is part
// of it.
void AlignmentWindow::runOnRadio(ServiceThread::Work work, std::function<void(const Service::Outcome&)> done,
                           const QString& device)
{
    if (!m_running)
        setRunning(true);
    m_done = std::move(done);
    const bool single = m_ctx.state ? m_ctx.state->singlePort : m_ctx.link->singlePort();
    m_service->start({device.isEmpty() ? this->device() : device, single, m_ctx.link->log()}, std::move(work));
}

void AlignmentWindow::serviceFinished()
{
    auto done = std::move(m_done);
    m_done = nullptr;
    m_chained = false;
    if (done)
        done(m_service->outcome());
    if (!m_chained)
        setRunning(false);
}

bool AlignmentWindow::mayStart() const
{
    return !m_running && m_ctx.link && !(m_ctx.state && m_ctx.state->radioBusy());
}

void AlignmentWindow::updateCommands()
{
    const bool idle = !m_running && !(m_ctx.state && m_ctx.state->radioBusy());
    for (int n : Commands)
        m_buttons.value(n)->setEnabled(idle);
}

QString AlignmentWindow::device() const
{
    if (!m_ctx.ports || !m_ctx.state)
        return {};
    return m_ctx.ports->path(m_ctx.state->chosenPort);
}

// The port and the cable are blamed only where they are to blame; the
// core's reason always follows, in the window's language.
void AlignmentWindow::report(const Service::Outcome& out)
{
    QString headline;
    switch (out.status) {
    case Service::Outcome::Status::Ok:
        return;
    case Service::Outcome::Status::PortUnavailable:
        headline = text(MsgId::PortFailed);
        break;
    case Service::Outcome::Status::Failed:
        headline = text(MsgId::TransferFailed);
        break;
    case Service::Outcome::Status::Refused:
        break;
    }
    const QString reason = out.reason.text(texts());
    Prompter::active().message(this, text(MsgId::Caption),
                               headline.isEmpty() ? reason : headline + QStringLiteral("\n\n") + reason,
                               Prompter::Icon::Exclamation);
}

void AlignmentWindow::refuse(const Result& why)
{
    Prompter::active().message(this, text(MsgId::Caption), why.text(texts()), Prompter::Icon::Exclamation);
}

void AlignmentWindow::readValues()
{
    if (!mayStart())
        return;
    const AlignmentValues before = values();
    // Filled on the service thread, read here once it has ended.
    struct Read {
        AlignmentValues values;
        Service::ReadResult result;
    };
    auto read = std::make_shared<Read>(Read{before, {}});
    const QString device = this->device();
    const QStringList bands = m_ctx.doc->bandList();
    runOnRadio([read, device, bands](SerialLink& link) {
        return Service::readAlignment(link, device, bands, read->values, read->result);
    }, [this, before, read](const Service::Outcome& out) {
        // What the radio gave stays even when a later step failed; fields it
        // did not reach keep whatever they hold now.
        for (const AlignmentValues::Field& f : AlignmentValues::fields())
            if (read->values.text(f.name) != before.text(f.name))
                m_edits.value(f.name)->setText(read->values.text(f.name));
        if (read->result.bandIndex >= 0) {
            m_ctx.doc->setChoice(Key::Band, read->result.bandIndex);
            const QString model = m_ctx.doc->choiceText(Key::Model);
            if (m_ctx.identity) {
                m_ctx.identity->model = model;
                m_ctx.identity->band = read->result.band;
                emit identityChanged();
            }
            emit bandSelected(read->result.band);
        }
        report(out);
    });
}

void AlignmentWindow::adjust()
{
    if (!mayStart())
        return;
    const Service::AdjustInput in{m_ctx.state ? m_ctx.state->modelId : QString(),
                                  m_ctx.doc->selectedBand(), values()};
    // Checked before the radio is touched, so a bad value never leaves the
    // model and band written and the alignment half done.
    if (const Result problem = Service::checkAdjustInput(in); !problem) {
        refuse(problem);
        return;
    }
    const QString device = this->device();
    const auto adjust = [this, in, device] {
        m_chained = true;
        runOnRadio([in, device](SerialLink& link) { return Service::adjust(link, device, in); },
                   [this](const Service::Outcome& out) { report(out); });
    };
    if (m_alignmentBackedUp) {
        adjust();
        return;
    }
    backupBeforeAdjust(adjust);
}

// The calibration values are the one thing no settings file holds and no
// other radio can give back: before the first adjust overwrites them, what
// the radio holds goes into the backup folder. If that fails the technician
// decides whether to adjust all the same; `adjust` follows when it goes on.
void AlignmentWindow::backupBeforeAdjust(const std::function<void()>& adjust)
{
    auto held = std::make_shared<AlignmentValues>();
    const QString device = this->device();
    const QStringList bands = m_ctx.doc->bandList();
    runOnRadio([held, device, bands](SerialLink& link) {
        Service::ReadResult result;
        return Service::readAlignment(link, device, bands, *held, result);
    }, [this, held, adjust](const Service::Outcome& read) {
        if (read.status == Service::Outcome::Status::PortUnavailable) {
            report(read);
            return;
        }
        QString why = read.reason.text(texts());
        if (read.ok()) {
            const QString user = m_ctx.identity && m_ctx.identity->user != RadioIdentity::Unfilled
                                     ? m_ctx.identity->user
                                     : QString();
            QString path;
            const Result saved = Backups::saveAlignment(*held, user, &path);
            if (saved.ok()) {
                m_alignmentBackedUp = true;
                adjust();
                return;
            }
            why = saved.text(texts());
        }
        const bool goOn = Prompter::active().question(this, text(MsgId::Caption),
                                                      Result::fail(TextId::AlignmentBackupFailed, {why}).text(texts()),
                                                      Prompter::Icon::Question);
        m_alignmentBackedUp = goOn;
        if (goOn)
            adjust();
    });
}

void AlignmentWindow::initialiseForTransfer(const QString& device, std::function<void(bool)> done)
{
    if (m_running) {
        done(false);
        return;
    }
    const Service::AdjustInput in{m_ctx.state ? m_ctx.state->modelId : QString(),
                                  m_ctx.doc->selectedBand(), values()};
    if (const Result problem = Service::checkAdjustInput(in); !problem) {
        refuse(problem);
        done(false);
        return;
    }
    runOnRadio([in](SerialLink& link) { return Service::initialiseAdjust(link, in); },
               [this, done](const Service::Outcome& out) {
                   report(out);
                   // Told once this operation has ended, so that the
                   // transfer it starts finds the radio free.
                   QMetaObject::invokeMethod(this, [done, ok = out.ok()] { done(ok); }, Qt::QueuedConnection);
               },
               device);
}

void AlignmentWindow::loadFile()
{
    if (m_running)
        return;
    const QString path = Prompter::active().openFile(this, text(WordId::Open), fileFilter());
    if (path.isEmpty())
        return;
    AlignmentValues loaded = values();
    const Result problem = AlignmentFile::load(path, loaded);
    if (!problem) {
        refuse(problem);
        return;
    }
    setValues(loaded);
}

void AlignmentWindow::saveFile()
{
    const AlignmentValues current = values();
    const QString path =
        Prompter::active().saveFile(this, text(WordId::Save), fileFilter(), QStringLiteral("m17"));
    if (path.isEmpty())
        return;
    const Result problem = AlignmentFile::save(path, current);
    if (!problem)
        refuse(problem);
}

void AlignmentWindow::aging()
{
    if (!mayStart())
        return;
    const QString device = this->device();
    runOnRadio([device](SerialLink& link) { return Service::aging(link, device); },
               [this](const Service::Outcome& out) { report(out); });
}

void AlignmentWindow::calibrateBattery()
{
    if (!mayStart())
        return;
    m_result->clear();
    auto result = std::make_shared<Service::CalibrationResult>();
    const QString device = this->device();
    runOnRadio([result, device](SerialLink& link) { return Service::calibrate(link, device, *result); },
               [this, result](const Service::Outcome& out) {
                   if (result->verdict != Service::CalibrationResult::Verdict::None)
                       m_result->setText(text(result->verdict == Service::CalibrationResult::Verdict::Stored
                                                  ? int(TextId::CalibrationOkLabel)
                                                  : int(TextId::CalibrationFailLabel)));
                   report(out);
               });
}

void AlignmentWindow::adjustSquelch()
{
    if (!mayStart())
        return;
    const QString device = this->device();
    runOnRadio([device](SerialLink& link) { return Service::squelch(link, device); },
               [this](const Service::Outcome& out) { report(out); });
}
