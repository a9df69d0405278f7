// The alignment window's commands: the radio operations and the file.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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
#include "gui/testform.h"

namespace {
// Commands that must wait while the radio is in use: the radio commands, and
// Load, whose values a running read would overwrite.
constexpr int Commands[] = {1, 2, 3, 5, 6, 7};
}

// Marks one radio operation as running, for this window and for the main
// window (which holds back its own radio commands and Exit meanwhile), and
// clears the mark however the operation ends.
class TTestForm::Busy {
public:
    explicit Busy(TTestForm& form) : m_form(form)
    {
        m_form.m_running = true;
        if (m_form.m_ctx.state)
            m_form.m_ctx.state->setRadioBusy(true);
        m_form.updateCommands();
    }
    ~Busy()
    {
        m_form.m_running = false;
        if (m_form.m_ctx.state)
            m_form.m_ctx.state->setRadioBusy(false);
        m_form.updateCommands();
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    TTestForm& m_form;
};

bool TTestForm::mayStart() const
{
    // A click can still arrive while a wait runs the event loop.
    return !m_running && m_ctx.link && !(m_ctx.state && m_ctx.state->radioBusy());
}

void TTestForm::updateCommands()
{
    const bool idle = !m_running && !(m_ctx.state && m_ctx.state->radioBusy());
    for (int n : Commands)
        m_buttons.value(n)->setEnabled(idle);
}

QString TTestForm::device() const
{
    if (!m_ctx.ports || !m_ctx.state)
        return {};
    return m_ctx.ports->path(m_ctx.state->chosenPort);
}

// The port and the cable are blamed only where they are to blame; the
// core's reason always follows, in the window's language.
void TTestForm::report(const Service::Outcome& out)
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

void TTestForm::refuse(const Result& why)
{
    Prompter::active().message(this, text(MsgId::Caption), why.text(texts()), Prompter::Icon::Exclamation);
}

void TTestForm::Button1Click()
{
    if (!mayStart())
        return;
    const Busy busy(*this);
    const AlignmentValues before = values();
    AlignmentValues read = before;
    Service::ReadResult result;
    const Service::Outcome out =
        Service::readAlignment(*m_ctx.link, device(), m_ctx.doc->bandList(), read, result);
    // What the radio gave stays even when a later step failed; fields it did
    // not reach keep whatever they hold now.
    for (const AlignmentValues::Field& f : AlignmentValues::fields())
        if (read.text(f.name) != before.text(f.name))
            m_edits.value(f.name)->setText(read.text(f.name));
    if (result.bandIndex >= 0) {
        m_ctx.doc->setChoice(Key::Band, result.bandIndex);
        const QString model = m_ctx.doc->choiceText(Key::Model);
        if (m_ctx.identity) {
            m_ctx.identity->model = model;
            m_ctx.identity->band = result.band;
            emit identityChanged();
        }
        emit bandSelected(result.band);
    }
    report(out);
}

void TTestForm::Button2Click()
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
    const Busy busy(*this);
    if (!m_alignmentBackedUp && !backupBeforeAdjust())
        return;
    report(Service::adjust(*m_ctx.link, device(), in));
}

// The calibration values are the one thing no settings file holds and no
// other radio can give back: before the first adjust overwrites them, what
// the radio holds goes into the backup folder. If that fails the technician
// decides whether to adjust all the same.
bool TTestForm::backupBeforeAdjust()
{
    AlignmentValues held;
    Service::ReadResult result;
    const Service::Outcome read = Service::readAlignment(*m_ctx.link, device(), m_ctx.doc->bandList(), held, result);
    if (read.status == Service::Outcome::Status::PortUnavailable) {
        report(read);
        return false;
    }
    QString why = read.reason.text(texts());
    if (read.ok()) {
        const QString user = m_ctx.identity && m_ctx.identity->user != RadioIdentity::Unfilled ? m_ctx.identity->user
                                                                                                : QString();
        QString path;
        const Result saved = Backups::saveAlignment(held, user, &path);
        if (saved.ok()) {
            m_alignmentBackedUp = true;
            return true;
        }
        why = saved.text(texts());
    }
    const bool goOn = Prompter::active().question(
        this, text(MsgId::Caption), Result::fail(TextId::AlignmentBackupFailed, {why}).text(texts()), Prompter::Icon::Question);
    m_alignmentBackedUp = goOn;
    return goOn;
}

bool TTestForm::initialiseForTransfer()
{
    if (m_running)
        return false;
    const Service::AdjustInput in{m_ctx.state ? m_ctx.state->modelId : QString(),
                                  m_ctx.doc->selectedBand(), values()};
    if (const Result problem = Service::checkAdjustInput(in); !problem) {
        refuse(problem);
        return false;
    }
    const Busy busy(*this);
    const Service::Outcome out = Service::initialiseAdjust(*m_ctx.link, in);
    report(out);
    return out.ok();
}

void TTestForm::Button3Click()
{
    if (m_running)
        return;
    const QString path = Prompter::active().openFile(this, text(14), fileFilter());
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

void TTestForm::Button4Click()
{
    const AlignmentValues current = values();
    const QString path =
        Prompter::active().saveFile(this, text(15), fileFilter(), QStringLiteral("m17"));
    if (path.isEmpty())
        return;
    const Result problem = AlignmentFile::save(path, current);
    if (!problem)
        refuse(problem);
}

void TTestForm::Button5Click()
{
    if (!mayStart())
        return;
    const Busy busy(*this);
    report(Service::aging(*m_ctx.link, device()));
}

void TTestForm::Button6Click()
{
    if (!mayStart())
        return;
    const Busy busy(*this);
    m_result->clear();
    Service::CalibrationResult result;
    const Service::Outcome out = Service::calibrate(*m_ctx.link, device(), result);
    if (result.verdict != Service::CalibrationResult::Verdict::None)
        m_result->setText(text(result.verdict == Service::CalibrationResult::Verdict::Stored
                                   ? int(TextId::CalibrationOkLabel)
                                   : int(TextId::CalibrationFailLabel)));
    report(out);
}

void TTestForm::Button7Click()
{
    if (!mayStart())
        return;
    const Busy busy(*this);
    report(Service::squelch(*m_ctx.link, device()));
}
