#include "gui/comparewindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/docdiff.h"
#include "document/settingsdocument.h"
#include "gui/prompter.h"
#include "radio/identity.h"
#include "radio/portmap.h"
#include "radio/safetransfer.h"
#include "radio/seriallink.h"
#include "app/appstate.h"
#include "app/transferrequest.h"
#include "app/safetysettings.h"
#include "base/textids.h"

CompareWindow::CompareWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("CompareForm"));
    setModal(true);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("LabelSummary"));
    m_summary->setWordWrap(true);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListDifferences"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setTextVisible(false);
    m_progress->setValue(0);
    m_read = new QPushButton(this);
    m_read->setObjectName(QStringLiteral("ButtonRead"));
    m_read->setDefault(true);
    m_close = new QPushButton(QStringLiteral("退 出"), this);
    m_close->setObjectName(QStringLiteral("ButtonClose"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_read);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    resize(560, 420);

    connect(m_read, &QPushButton::clicked, this, &CompareWindow::readRadio);
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    connect(&m_thread, &TransferThread::progress, this, [this](int value, int maximum) {
        m_progress->setMaximum(maximum);
        m_progress->setValue(value);
    });
    connect(&m_thread, &TransferThread::finished, this, &CompareWindow::readEnded);
    applyTexts(ctx.state->texts);
}

void CompareWindow::applyTexts(const PackStrings& t)
{
    setWindowTitle(t.text(TextId::CompareCaption));
    m_read->setText(t.text(TextId::CompareRead));
    if (t.contains(WordId::Ok))
        m_close->setText(t.text(WordId::Ok));
}

void CompareWindow::startCommand()
{
    m_lines.clear();
    m_list->clear();
    m_summary->clear();
    m_progress->setValue(0);
    exec();
}

void CompareWindow::readRadio()
{
    if (isReading() || m_ctx.state->radioBusy())
        return;
    const PackStrings& texts = m_ctx.state->texts;
    const QString device = m_ctx.ports ? m_ctx.ports->path(m_ctx.state->chosenPort) : QString();
    const Result why = SerialLink::probe(device);
    if (!why) {
        Prompter::active().message(this, texts.text(TextId::WarningCaption),
                                   texts.text(MsgId::PortFailed) + QStringLiteral("\n\n") + why.text(texts),
                                   Prompter::Icon::Exclamation);
        return;
    }
    m_read->setEnabled(false);
    m_list->clear();
    m_lines.clear();
    m_summary->clear();

    // The radio goes into a document and identity of the transfer's own:
    // the user's stay exactly as they are.
    TransferThread::Request r = transferRequest(m_ctx, TransferThread::Kind::Read, device);
    r.options.verify = false;
    r.options.backup = SafetySettings::load(m_ctx.config).backup;
    m_ctx.state->setRadioBusy(true);
    m_quiet = false;
    m_thread.start(r);
}

void CompareWindow::stopAndWait()
{
    m_quiet = true;
    m_thread.requestStop();
    m_thread.wait();
}

void CompareWindow::readEnded()
{
    m_ctx.state->setRadioBusy(false);
    m_read->setEnabled(true);
    if (m_quiet)
        return;
    const PackStrings& texts = m_ctx.state->texts;
    const SafeTransfer::Outcome& out = m_thread.outcome().safe;
    if (!out.transfer.ok()) {
        m_summary->setText(texts.text(TextId::CompareReadFailed));
        Prompter::active().message(this, texts.text(TextId::WarningCaption),
                                   texts.text(TextId::CompareReadFailed) + QStringLiteral("\n\n") + out.transfer.reason.text(texts),
                                   Prompter::Icon::Exclamation);
        emit readFinished();
        return;
    }
    for (const Result& line : DocDiff::differences(m_ctx.doc->data(), m_thread.outcome().data, m_ctx.doc->decimalSeparator()))
        m_lines << line.text(texts);
    m_list->addItems(m_lines);
    m_summary->setText(m_lines.isEmpty() ? texts.text(TextId::CompareEqual)
                                         : Result::fail(TextId::CompareDifferences, {QString::number(m_lines.size())})
                                               .text(texts));
    if (!out.safety.ok())
        Prompter::active().message(this, texts.text(TextId::WarningCaption), out.safety.text(texts), Prompter::Icon::Warning);
    emit readFinished();
}

void CompareWindow::closeEvent(QCloseEvent* event)
{
    if (isReading()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

// Escape must not end a read under way.
void CompareWindow::reject()
{
    if (!isReading())
        QDialog::reject();
}
