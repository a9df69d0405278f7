// The alignment window: its controls and the way the value fields behave.
// The radio commands are in alignmentwindow_ops.cpp.
#include "gui/alignmentwindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/appstate.h"
#include "base/packstrings.h"
#include "base/textids.h"
#include "gui/languageswitch.h"
#include "gui/updown.h"

namespace {

// Typing above these is replaced by them when the key comes up; the arrows
// still reach the full range.
int typedLimit(const QString& name)
{
    static const QHash<QString, int> limits = [] {
        QHash<QString, int> l;
        for (int n : {401, 402, 403, 404})
            l.insert(QStringLiteral("Edit%1").arg(n), 63);
        for (int n : {407, 408, 409, 410, 411})
            l.insert(QStringLiteral("Edit%1").arg(n), 255);
        return l;
    }();
    return limits.value(name, 0);
}

bool digitsOnly(const QString& name)
{
    const int n = name.mid(4).toInt();
    return n >= 401 && n <= 412;
}

} // namespace

AlignmentWindow::AlignmentWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TestForm"));
    m_service = new ServiceThread(this);
    connect(m_service, &ServiceThread::finished, this, &AlignmentWindow::serviceFinished);
    buildWindow();
    applyTexts(texts());
    resize(size().expandedTo(QSize(743, 652)));

    if (m_ctx.state) {
        m_stamp->setChecked(m_ctx.state->stampFactoryDate);
        connect(m_ctx.state, &AppState::radioBusyChanged, this, &AlignmentWindow::updateCommands);
    }
    connect(m_stamp, &QCheckBox::toggled, this, [this](bool on) {
        if (m_ctx.state)
            m_ctx.state->stampFactoryDate = on;
    });
    updateCommands();
}

AlignmentWindow::~AlignmentWindow() = default;

QWidget* AlignmentWindow::valueField(const QString& name, QWidget* parent)
{
    const AlignmentValues::Field* f = AlignmentValues::field(name);
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    auto* edit = new QLineEdit(f->initial, box);
    edit->setObjectName(name);
    edit->setFixedWidth(64);
    if (f->maxLength > 0)
        edit->setMaxLength(f->maxLength);
    m_edits.insert(name, edit);
    row->addWidget(edit);

    if (!f->hex) {
        auto* spin = new UpDown(f->min, f->max, box);
        spin->setObjectName(QStringLiteral("UpDown") + name.mid(4));
        spin->setFixedHeight(edit->sizeHint().height());
        spin->setPosition(f->initial.toInt());
        m_spins.insert(name, spin);
        row->addWidget(spin);
        connect(edit, &QLineEdit::textChanged, spin, [spin](const QString& t) {
            bool ok = false;
            const int v = t.toInt(&ok);
            if (ok)
                spin->setPosition(v);
        });
        connect(spin, &UpDown::moved, edit, [edit](int pos) { edit->setText(QString::number(pos)); });
    }
    if (digitsOnly(name) || typedLimit(name) > 0)
        edit->installEventFilter(this);
    row->addStretch(1);
    return box;
}

void AlignmentWindow::buildWindow()
{
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(24, 20, 24, 20);
    page->setSpacing(16);

    auto* top = new QHBoxLayout;
    top->setSpacing(24);
    page->addLayout(top);

    // Trim, power and deviation, with the low-battery levels below them.
    auto* values = new QGroupBox(this);
    values->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(values);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(8);
    const Qt::Alignment centre = Qt::AlignCenter;
    int r = 0;
    grid->addWidget(caption(TextId::AlignTrim, values, centre), r++, 1);
    grid->addWidget(caption(TextId::AlignFrequency, values), r, 0);
    grid->addWidget(valueField(QStringLiteral("Edit413"), values), r++, 1);
    grid->addWidget(caption(TextId::AlignLowEnd, values, centre), r, 1);
    grid->addWidget(caption(TextId::AlignHighEnd, values, centre), r++, 2);
    grid->addWidget(caption(TextId::AlignHighPower, values), r, 0);
    grid->addWidget(valueField(QStringLiteral("Edit401"), values), r, 1);
    grid->addWidget(valueField(QStringLiteral("Edit402"), values), r++, 2);
    grid->addWidget(caption(TextId::AlignLowPower, values), r, 0);
    grid->addWidget(valueField(QStringLiteral("Edit403"), values), r, 1);
    grid->addWidget(valueField(QStringLiteral("Edit404"), values), r++, 2);
    const std::pair<int, const char*> deviations[] = {
        {TextId::AlignCtcDeviation, "Edit407"}, {TextId::AlignDcsDeviation, "Edit408"},
        {TextId::AlignNarrowDeviation, "Edit409"}, {TextId::AlignNarrowCtcDeviation, "Edit410"},
        {TextId::AlignNarrowDcsDeviation, "Edit411"}};
    for (const auto& [id, name] : deviations) {
        grid->addWidget(caption(id, values), r, 0);
        grid->addWidget(valueField(QLatin1String(name), values), r++, 1);
    }
    grid->addWidget(caption(TextId::AlignLowBatteryAlert, values), r, 0);
    grid->addWidget(valueField(QStringLiteral("Edit201"), values), r++, 1);
    grid->addWidget(caption(TextId::AlignLowBatteryOff, values), r, 0);
    grid->addWidget(valueField(QStringLiteral("Edit202"), values), r++, 1);
    grid->setColumnStretch(3, 1);
    top->addWidget(values, 3, Qt::AlignTop);

    auto* right = new QVBoxLayout;
    right->setSpacing(16);
    top->addLayout(right, 2);

    auto* mod = new QGroupBox(QStringLiteral("1846 MOD"), this);
    mod->setObjectName(QStringLiteral("GroupBox2"));
    auto* modGrid = new QGridLayout(mod);
    modGrid->setHorizontalSpacing(16);
    modGrid->setVerticalSpacing(8);
    modGrid->addWidget(caption(TextId::AlignModBasic, mod, centre), 0, 1);
    modGrid->addWidget(caption(TextId::AlignModSpecial, mod, centre), 0, 2);
    modGrid->addWidget(caption(TextId::AlignDeviation, mod), 1, 0);
    modGrid->addWidget(valueField(QStringLiteral("Edit405"), mod), 1, 1);
    modGrid->addWidget(valueField(QStringLiteral("Edit406"), mod), 1, 2);
    modGrid->addWidget(caption(TextId::AlignDeviation, mod), 2, 0);
    modGrid->addWidget(valueField(QStringLiteral("Edit412"), mod), 2, 2);
    modGrid->setColumnStretch(3, 1);
    right->addWidget(mod);

    auto* power = new QGroupBox(this);
    power->setObjectName(QStringLiteral("GroupBox3"));
    m_groupTexts.append({power, TextId::AlignBattery});
    auto* powerColumn = new QVBoxLayout(power);
    powerColumn->setSpacing(8);
    powerColumn->addWidget(caption(TextId::AlignMeasureFirst, power));
    powerColumn->addWidget(caption(TextId::AlignStandardVoltage, power));
    m_result = new QLabel(power);
    m_result->setObjectName(QStringLiteral("Label25"));
    m_result->setMinimumHeight(m_result->fontMetrics().height() * 3 / 2);
    QFont bold = m_result->font();
    bold.setBold(true);
    m_result->setFont(bold);
    powerColumn->addWidget(m_result);
    auto* button6 = new QPushButton(power);
    button6->setObjectName(QStringLiteral("Button6"));
    m_buttonTexts.append({button6, TextId::AlignBattery});
    m_buttons.insert(6, button6);
    powerColumn->addWidget(button6, 0, Qt::AlignLeft);
    right->addWidget(power);

    m_stamp = new QCheckBox(this);
    m_stamp->setObjectName(QStringLiteral("CheckBox3"));
    m_buttonTexts.append({m_stamp, TextId::AlignStampFactoryDate});
    right->addWidget(m_stamp);
    right->addStretch(1);

    page->addStretch(1);
    auto* commands = new QHBoxLayout;
    commands->setSpacing(12);
    page->addLayout(commands);
    // Open and Save say what the File menu says.
    const int captions[] = {TextId::AlignRead, TextId::AlignAdjust, 14, 15, TextId::AlignAging, 0,
                            TextId::AlignSquelch};
    for (int n = 1; n <= 7; ++n) {
        if (!captions[n - 1])
            continue;
        auto* b = new QPushButton(this);
        b->setObjectName(QStringLiteral("Button%1").arg(n));
        m_buttonTexts.append({b, captions[n - 1]});
        m_buttons.insert(n, b);
        commands->addWidget(b);
    }
    commands->addStretch(1);

    void (AlignmentWindow::*handlers[])() = {&AlignmentWindow::readValues, &AlignmentWindow::adjust,
                                       &AlignmentWindow::loadFile, &AlignmentWindow::saveFile,
                                       &AlignmentWindow::aging, &AlignmentWindow::calibrateBattery,
                                       &AlignmentWindow::adjustSquelch};
    for (int n = 1; n <= 7; ++n)
        connect(m_buttons.value(n), &QPushButton::clicked, this, handlers[n - 1]);
}

QLabel* AlignmentWindow::caption(int id, QWidget* parent, Qt::Alignment align)
{
    auto* l = new QLabel(parent);
    l->setAlignment(align);
    m_labelTexts.append({l, id});
    return l;
}

const PackStrings& AlignmentWindow::texts() const
{
    return m_ctx.state ? m_ctx.state->texts : PackStrings::builtIn();
}

QString AlignmentWindow::text(int id) const
{
    return texts().text(id);
}

QString AlignmentWindow::fileFilter() const
{
    return text(TextId::AlignFileFilter);
}

void AlignmentWindow::applyTexts(const PackStrings& t)
{
    setWindowTitle(t.text(TextId::AlignCaption));
    for (const auto& [label, id] : m_labelTexts)
        label->setText(t.text(id));
    for (const auto& [group, id] : m_groupTexts)
        group->setTitle(t.text(id));
    for (const auto& [button, id] : m_buttonTexts)
        button->setText(t.text(id));
    LanguageSwitch::growWithTexts(this);
}

bool AlignmentWindow::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const QString name = edit->objectName();

    if (event->type() == QEvent::KeyPress) {
        // Shortcuts (copy, paste, select all) are not typing.
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        const QString text = key->text();
        if (!digitsOnly(name) || text.isEmpty())
            return false;
        const QChar c = text.at(0);
        const bool allowed = (c >= u'0' && c <= u'9') || c == u'\b' || c == u'\r' || c == u'\n';
        return !allowed;
    }

    const int limit = typedLimit(name);
    bool ok = false;
    const int v = edit->text().toInt(&ok);
    if (limit > 0 && ok && v > limit)
        edit->setText(QString::number(limit));
    return false;
}

AlignmentValues AlignmentWindow::values() const
{
    AlignmentValues v;
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
        v.setText(it.key(), it.value()->text());
    return v;
}

void AlignmentWindow::setValues(const AlignmentValues& v)
{
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
        it.value()->setText(v.text(it.key()));
}
