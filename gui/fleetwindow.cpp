#include "gui/fleetwindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "app/appstate.h"
#include "base/textids.h"
#include "document/settingsdocument.h"
#include "files/fleetreport.h"
#include "files/settingsfile.h"
#include "gui/prompter.h"
#include "radio/cables.h"
#include "radio/portmap.h"
#include "radio/seriallink.h"

namespace {

enum Column { PortColumn, StateColumn, UserColumn, TimeColumn, DoneColumn, FailedColumn, Columns };

}

FleetWindow::FleetWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("FleetForm"));
    setModal(true);

    // Ports: each COM number with the chip behind it, as the port window
    // names them; the programming cables in bold.
    m_portsGroup = new QGroupBox(this);
    m_everyCable = new QCheckBox(m_portsGroup);
    m_everyCable->setObjectName(QStringLiteral("EveryCable"));
    auto* portGrid = new QGridLayout;
    const auto cables = m_ctx.ports ? Cables::byPort(*m_ctx.ports, Cables::systemPorts())
                                    : std::array<Cables::PortCable, 16>{};
    for (int n = 1; n <= PortMap::Count; ++n) {
        const Cables::PortCable& cable = cables[n - 1];
        auto* box = new QCheckBox(cable.chip.isEmpty() ? QStringLiteral("COM%1").arg(n)
                                                       : QStringLiteral("COM%1  %2").arg(n).arg(cable.chip),
                                  m_portsGroup);
        box->setObjectName(QStringLiteral("PortBox%1").arg(n));
        QFont font = box->font();
        font.setBold(cable.programmingCable);
        box->setFont(font);
        box->setProperty("programmingCable", cable.programmingCable);
        box->setToolTip(m_ctx.ports ? m_ctx.ports->path(n) : QString());
        portGrid->addWidget(box, (n - 1) / 4, (n - 1) % 4);
        m_portBoxes << box;
    }
    auto* portsLayout = new QVBoxLayout(m_portsGroup);
    portsLayout->addWidget(m_everyCable);
    portsLayout->addLayout(portGrid);

    m_sourceGroup = new QGroupBox(this);
    m_sourceDocument = new QRadioButton(m_sourceGroup);
    m_sourceDocument->setObjectName(QStringLiteral("SourceDocument"));
    m_sourceDocument->setChecked(true);
    m_sourceFile = new QRadioButton(m_sourceGroup);
    m_sourceFile->setObjectName(QStringLiteral("SourceFile"));
    m_sourcePath = new QLineEdit(m_sourceGroup);
    m_sourcePath->setObjectName(QStringLiteral("SourcePath"));
    m_chooseSource = new QPushButton(m_sourceGroup);
    m_chooseSource->setObjectName(QStringLiteral("ChooseSource"));
    auto* sourceLayout = new QGridLayout(m_sourceGroup);
    sourceLayout->addWidget(m_sourceDocument, 0, 0, 1, 3);
    sourceLayout->addWidget(m_sourceFile, 1, 0);
    sourceLayout->addWidget(m_sourcePath, 1, 1);
    sourceLayout->addWidget(m_chooseSource, 1, 2);

    m_optionsGroup = new QGroupBox(this);
    m_backup = new QCheckBox(m_optionsGroup);
    m_backup->setObjectName(QStringLiteral("CheckBackup"));
    m_backup->setChecked(true);
    m_verify = new QCheckBox(m_optionsGroup);
    m_verify->setObjectName(QStringLiteral("CheckVerify"));
    m_verify->setChecked(true);
    m_userUnchanged = new QRadioButton(m_optionsGroup);
    m_userUnchanged->setObjectName(QStringLiteral("UserUnchanged"));
    m_userUnchanged->setChecked(true);
    m_userFixed = new QRadioButton(m_optionsGroup);
    m_userFixed->setObjectName(QStringLiteral("UserFixed"));
    m_fixedName = new QLineEdit(m_optionsGroup);
    m_fixedName->setObjectName(QStringLiteral("FixedName"));
    m_fixedName->setMaxLength(UserPattern::MaxLength);
    m_userPattern = new QRadioButton(m_optionsGroup);
    m_userPattern->setObjectName(QStringLiteral("UserPattern"));
    m_pattern = new QLineEdit(QStringLiteral("FLEET###"), m_optionsGroup);
    m_pattern->setObjectName(QStringLiteral("Pattern"));
    m_pattern->setMaxLength(UserPattern::MaxLength);
    m_firstLabel = new QLabel(m_optionsGroup);
    m_first = new QSpinBox(m_optionsGroup);
    m_first->setObjectName(QStringLiteral("FirstNumber"));
    m_first->setRange(0, 9999999);
    m_first->setValue(1);
    m_keepGoing = new QCheckBox(m_optionsGroup);
    m_keepGoing->setObjectName(QStringLiteral("KeepGoing"));
    m_reportLabel = new QLabel(m_optionsGroup);
    m_report = new QLineEdit(FleetReport::defaultPath(), m_optionsGroup);
    m_report->setObjectName(QStringLiteral("ReportPath"));
    m_chooseReport = new QPushButton(m_optionsGroup);
    m_chooseReport->setObjectName(QStringLiteral("ChooseReport"));
    m_openFolder = new QPushButton(m_optionsGroup);
    m_openFolder->setObjectName(QStringLiteral("OpenReportFolder"));
    auto* options = new QGridLayout(m_optionsGroup);
    auto* safety = new QHBoxLayout;
    safety->addWidget(m_backup);
    safety->addWidget(m_verify);
    safety->addStretch();
    options->addLayout(safety, 0, 0, 1, 4);
    options->addWidget(m_userUnchanged, 1, 0, 1, 4);
    options->addWidget(m_userFixed, 2, 0);
    options->addWidget(m_fixedName, 2, 1);
    options->addWidget(m_userPattern, 3, 0);
    options->addWidget(m_pattern, 3, 1);
    options->addWidget(m_firstLabel, 3, 2);
    options->addWidget(m_first, 3, 3);
    options->addWidget(m_keepGoing, 4, 0, 1, 4);
    auto* report = new QHBoxLayout;
    report->addWidget(m_reportLabel);
    report->addWidget(m_report, 1);
    report->addWidget(m_chooseReport);
    report->addWidget(m_openFolder);
    options->addLayout(report, 5, 0, 1, 4);

    m_table = new QTableWidget(0, Columns, this);
    m_table->setObjectName(QStringLiteral("FleetTable"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(StateColumn, QHeaderView::Stretch);
    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("Totals"));
    m_start = new QPushButton(this);
    m_start->setObjectName(QStringLiteral("ButtonStart"));
    m_start->setDefault(true);
    m_stop = new QPushButton(this);
    m_stop->setObjectName(QStringLiteral("ButtonStop"));
    m_stop->setEnabled(false);
    m_close = new QPushButton(QStringLiteral("退 出"), this);
    m_close->setObjectName(QStringLiteral("ButtonClose"));

    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(m_portsGroup);
    left->addWidget(m_sourceGroup);
    top->addLayout(left);
    top->addWidget(m_optionsGroup);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_totals, 1);
    buttons->addWidget(m_start);
    buttons->addWidget(m_stop);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    resize(900, 640);

    connect(m_chooseSource, &QPushButton::clicked, this, &FleetWindow::chooseSource);
    connect(m_chooseReport, &QPushButton::clicked, this, &FleetWindow::chooseReport);
    connect(m_openFolder, &QPushButton::clicked, this, &FleetWindow::openReportFolder);
    connect(m_start, &QPushButton::clicked, this, &FleetWindow::start);
    connect(m_stop, &QPushButton::clicked, this, &FleetWindow::stop);
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    connect(&m_run, &FleetRun::rowChanged, this, &FleetWindow::showRow);
    connect(&m_run, &FleetRun::finished, this, &FleetWindow::runEnded);
    connect(&m_run, &FleetRun::reportFailed, this, [this](const Result& why) {
        // Once is enough: the radios go on, and the rows say how each went.
        if (m_reportWarned)
            return;
        m_reportWarned = true;
        Prompter::active().message(this, text(TextId::WarningCaption),
                                   Result::because(TextId::FleetReportFailed, why).text(m_ctx.state->texts),
                                   Prompter::Icon::Warning);
    });
    applyTexts(m_ctx.state->texts);
}

FleetWindow::~FleetWindow()
{
    // Radios being written finish; nothing waits for the next.
    const bool running = m_run.isRunning();
    m_run.requestStop();
    m_run.wait();
    if (running)
        m_ctx.state->setRadioBusy(false);
}

QString FleetWindow::text(int id) const
{
    return m_ctx.state->text(id);
}

void FleetWindow::applyTexts(const PackStrings& t)
{
    setWindowTitle(t.text(TextId::FleetCaption));
    m_portsGroup->setTitle(t.text(TextId::FleetPorts));
    m_everyCable->setText(t.text(TextId::FleetEveryCable));
    m_sourceGroup->setTitle(t.text(TextId::FleetSource));
    m_sourceDocument->setText(t.text(TextId::FleetSourceDocument));
    m_sourceFile->setText(t.text(TextId::FleetSourceFile));
    m_chooseSource->setText(t.text(TextId::FleetChoose));
    m_optionsGroup->setTitle(t.text(TextId::FleetOptions));
    m_backup->setText(t.text(TextId::CheckBackup));
    m_verify->setText(t.text(TextId::CheckVerify));
    m_userUnchanged->setText(t.text(TextId::FleetUserUnchanged));
    m_userFixed->setText(t.text(TextId::FleetUserFixed));
    m_userPattern->setText(t.text(TextId::FleetUserPattern));
    m_firstLabel->setText(t.text(TextId::FleetStartNumber));
    m_keepGoing->setText(t.text(TextId::FleetKeepGoing));
    m_reportLabel->setText(t.text(TextId::FleetReportLabel));
    m_chooseReport->setText(t.text(TextId::FleetChoose));
    m_openFolder->setText(t.text(TextId::FleetOpenFolder));
    m_start->setText(t.text(TextId::FleetStart));
    m_stop->setText(t.text(TextId::FleetStop));
    if (t.contains(WordId::Ok))
        m_close->setText(t.text(WordId::Ok));
    m_table->setHorizontalHeaderLabels({t.text(TextId::FleetColumnPort), t.text(TextId::FleetColumnState),
                                        t.text(TextId::FleetColumnUser), t.text(TextId::FleetColumnTime),
                                        t.text(TextId::FleetColumnDone), t.text(TextId::FleetColumnFailed)});
    for (int row = 0; row < m_run.rows().size(); ++row)
        showRow(row);
    showTotals();
}

void FleetWindow::startCommand()
{
    exec();
}

QString FleetWindow::reportPath() const
{
    return m_report->text().trimmed();
}

QList<FleetRun::Port> FleetWindow::chosenPorts() const
{
    QList<FleetRun::Port> ports;
    for (int n = 1; n <= m_portBoxes.size(); ++n) {
        const QCheckBox* box = m_portBoxes[n - 1];
        const bool cable = m_everyCable->isChecked() && box->property("programmingCable").toBool();
        if ((box->isChecked() || cable) && m_ctx.ports)
            ports << FleetRun::Port{QStringLiteral("COM%1").arg(n), m_ctx.ports->path(n)};
    }
    return ports;
}

// The document every radio gets: the editor's, or a settings file or
// backup read whole (a backup brings the radio records it was read with).
bool FleetWindow::sourceDocument(DocumentData* data)
{
    if (m_sourceDocument->isChecked()) {
        *data = m_ctx.doc->data();
        return true;
    }
    const QString path = m_sourcePath->text().trimmed();
    if (path.isEmpty()) {
        Prompter::active().message(this, text(TextId::WarningCaption), text(TextId::FleetNoSource),
                                   Prompter::Icon::Exclamation);
        return false;
    }
    const SettingsFile::ReadResult r = SettingsFile::read(path, m_ctx.doc->data(), m_ctx.doc->words());
    const QString name = QFileInfo(path).fileName();
    if (!r.ok()) {
        const Result why = r.status == SettingsFile::ReadResult::Status::Error
                               ? r.problem(name)
                               : Result::fail(TextId::NotASettingsFile, {name});
        Prompter::active().message(this, text(TextId::WarningCaption), why.text(m_ctx.state->texts),
                                   Prompter::Icon::Error);
        return false;
    }
    *data = r.data;
    return true;
}

void FleetWindow::start()
{
    if (m_run.isRunning() || m_ctx.state->radioBusy())
        return;
    FleetRun::Settings s;
    s.ports = chosenPorts();
    if (s.ports.isEmpty()) {
        Prompter::active().message(this, text(TextId::WarningCaption), text(TextId::FleetNoPorts),
                                   Prompter::Icon::Exclamation);
        return;
    }
    if (!sourceDocument(&s.common.data))
        return;
    const AppState& st = *m_ctx.state;
    s.common.separator = m_ctx.doc->decimalSeparator();
    s.common.texts = st.texts;
    s.common.channelCount = st.channelCount;
    s.common.singlePort = st.singlePort;
    s.common.stampFactoryDate = st.stampFactoryDate;
    s.common.adminName = st.adminName;
    s.common.options.backup = m_backup->isChecked();
    s.common.options.verify = m_verify->isChecked();
    s.common.keepGoing = m_keepGoing->isChecked();
    s.common.log = m_ctx.link ? m_ctx.link->log() : nullptr;
    if (m_userFixed->isChecked())
        s.user = UserPattern::fixed(m_fixedName->text());
    else if (m_userPattern->isChecked())
        s.user = UserPattern::counter(m_pattern->text(), m_first->value());
    s.reportPath = reportPath();
    m_reportWarned = false;

    if (const Result started = m_run.start(s); !started) {
        Prompter::active().message(this, text(TextId::WarningCaption), started.text(st.texts),
                                   Prompter::Icon::Exclamation);
        return;
    }
    // The ports are the batch's now: no read or write from the main window.
    m_ctx.state->setRadioBusy(true);
    m_stopping = false;
    m_table->setRowCount(int(m_run.rows().size()));
    for (int row = 0; row < m_run.rows().size(); ++row)
        showRow(row);
    showTotals();
    setEditable(false);
}

void FleetWindow::stop()
{
    if (!m_run.isRunning())
        return;
    m_stopping = true;
    m_run.requestStop();
    m_stop->setEnabled(false);
    m_totals->setText(text(TextId::FleetStopping));
}

void FleetWindow::runEnded()
{
    m_ctx.state->setRadioBusy(false);
    setEditable(true);
    showTotals();
    emit runFinished();
}

void FleetWindow::setEditable(bool on)
{
    for (QWidget* w : {static_cast<QWidget*>(m_portsGroup), static_cast<QWidget*>(m_sourceGroup),
                       static_cast<QWidget*>(m_optionsGroup)})
        w->setEnabled(on);
    // The report's folder opens also while the batch runs.
    m_openFolder->setEnabled(true);
    m_start->setEnabled(on);
    m_stop->setEnabled(!on);
    m_close->setEnabled(on);
}

QString FleetWindow::stateText(const FleetRun::Row& r) const
{
    using State = FleetStation::State;
    const PackStrings& t = m_ctx.state->texts;
    QString s;
    switch (r.state) {
    case State::Idle: return {};
    case State::Waiting:
        if (!r.portProblem.isEmpty())
            return Result::fail(TextId::FleetStateCannotOpen, {r.portProblem}).text(t);
        // After a radio, its result stays in view until the next one answers.
        if (r.done + r.failed == 0)
            return t.text(TextId::FleetStateWaiting);
        s = r.reason.isEmpty() ? t.text(TextId::FleetStateDone)
                               : Result::fail(TextId::FleetStateFailed, {r.reason}).text(t);
        return Result::fail(TextId::FleetStateNext, {s}).text(t);
    case State::Checking: return t.text(TextId::FleetStateChecking);
    case State::BackingUp: return t.text(TextId::FleetStateBackingUp);
    case State::Writing: return Result::fail(TextId::FleetStateWriting, {QString::number(r.percent)}).text(t);
    case State::Verifying: return t.text(TextId::FleetStateVerifying);
    case State::Done: s = t.text(TextId::FleetStateDone); break;
    case State::Failed: s = Result::fail(TextId::FleetStateFailed, {r.reason}).text(t); break;
    case State::Stopped:
        if (r.done + r.failed == 0)
            return t.text(TextId::FleetStateStopped);
        return r.reason.isEmpty() ? t.text(TextId::FleetStateDone)
                                  : Result::fail(TextId::FleetStateFailed, {r.reason}).text(t);
    }
    return s;
}

void FleetWindow::showRow(int row)
{
    if (row < 0 || row >= m_run.rows().size() || row >= m_table->rowCount())
        return;
    const FleetRun::Row& r = m_run.rows()[row];
    auto set = [&](int column, const QString& value) {
        QTableWidgetItem* item = m_table->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            m_table->setItem(row, column, item);
        }
        item->setText(value);
        item->setToolTip(value);
    };
    set(PortColumn, r.port);
    set(StateColumn, stateText(r));
    set(UserColumn, r.user);
    set(TimeColumn, r.lastMs < 0 ? QString() : QStringLiteral("%1 s").arg(double(r.lastMs) / 1000.0, 0, 'f', 1));
    set(DoneColumn, QString::number(r.done));
    set(FailedColumn, QString::number(r.failed));
    if (!m_stopping)
        showTotals();
}

void FleetWindow::showTotals()
{
    m_totals->setText(Result::fail(TextId::FleetTotals, {QString::number(m_run.done()), QString::number(m_run.failed())})
                          .text(m_ctx.state->texts));
}

void FleetWindow::chooseSource()
{
    const QString path = Prompter::active().openFile(this, text(TextId::FleetSourceFile),
                                                     text(TextId::SettingsFileFilter));
    if (path.isEmpty())
        return;
    m_sourcePath->setText(path);
    m_sourceFile->setChecked(true);
}

void FleetWindow::chooseReport()
{
    const QString path = Prompter::active().saveFile(this, text(TextId::FleetReportTitle),
                                                     QStringLiteral("CSV (*.csv)"), QStringLiteral("csv"), reportPath());
    if (!path.isEmpty())
        m_report->setText(path);
}

void FleetWindow::openReportFolder()
{
    const QString folder = QFileInfo(reportPath().isEmpty() ? FleetReport::defaultPath() : reportPath()).absolutePath();
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void FleetWindow::closeEvent(QCloseEvent* event)
{
    if (m_run.isRunning()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

// Escape and the close box: a batch that runs is stopped with Stop first.
void FleetWindow::reject()
{
    if (m_run.isRunning())
        return;
    QDialog::reject();
}
