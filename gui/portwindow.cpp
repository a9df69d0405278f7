#include "gui/portwindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "gui/cableprompt.h"
#include "radio/cables.h"
#include "app/appstate.h"
#include "base/textids.h"
#include "base/packstrings.h"
#include "radio/portmap.h"
#include "radio/seriallink.h"

PortWindow::PortWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      m_ctx(ctx)
{
    setObjectName(QStringLiteral("communy"));
    setWindowTitle(QStringLiteral("通信端口"));
    setModal(true);

    m_group = new QGroupBox(QStringLiteral("通信端口"), this);
    m_group->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(m_group);
    auto* exclusive = new QButtonGroup(this);
    for (int n = 1; n <= 16; ++n) {
        auto* b = new QRadioButton(QStringLiteral("COM%1").arg(n), m_group);
        b->setObjectName(QStringLiteral("com%1").arg(n));
        exclusive->addButton(b, n);
        grid->addWidget(b, (n - 1) / 4, (n - 1) % 4);
        if (n == 1)
            b->setChecked(true);   // the design state; no handler runs for it
        // Only a change of the ticked button counts as a click: ticking the
        // one already ticked runs nothing.
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                portChosen();
        });
        m_com[n - 1] = b;
    }

    m_single = new QCheckBox(QStringLiteral("单口"), this);
    m_single->setObjectName(QStringLiteral("CheckBox1"));
    connect(m_single, &QCheckBox::toggled, this, &PortWindow::singlePortToggled);

    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("button1"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::close);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_single);
    bottom->addStretch();
    bottom->addWidget(m_ok);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(m_group);
    outer->addLayout(bottom);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QRadioButton* PortWindow::portButton(int port) const
{
    return port >= 1 && port <= 16 ? m_com[port - 1] : nullptr;
}

void PortWindow::portChosen()
{
    for (int n = 1; n <= 16; ++n) {
        if (m_com[n - 1]->isChecked()) {
            m_tag = n;
            break;
        }
    }
    if (m_ctx.state)
        m_ctx.state->chosenPort = m_tag;
    pointLinkAtChosenPort();
}

void PortWindow::singlePortToggled(bool checked)
{
    if (m_ctx.state)
        m_ctx.state->singlePort = checked;
    if (m_ctx.link)
        m_ctx.link->setSinglePort(checked);
}

void PortWindow::pointLinkAtChosenPort()
{
    if (m_ctx.link && m_ctx.ports)
        m_ctx.link->setDevice(m_ctx.ports->path(m_tag));
}

void PortWindow::restore(int port, bool singlePort)
{
    if (QRadioButton* b = portButton(port))
        b->setChecked(true);
    m_single->setChecked(singlePort);
    // The handlers above run only on a change; the link still has to learn
    // the design-time port and mode.
    if (m_ctx.state) {
        m_ctx.state->chosenPort = m_tag;
        m_ctx.state->singlePort = m_single->isChecked();
    }
    if (m_ctx.link)
        m_ctx.link->setSinglePort(m_single->isChecked());
    pointLinkAtChosenPort();
}

void PortWindow::applyTexts(const PackStrings& t)
{
    // A pack without one of these texts leaves the caption it has.
    auto apply = [&t](int id, auto&& set) {
        const QString text = t.text(id);
        if (!text.isEmpty())
            set(text);
    };
    apply(22, [this](const QString& s) { setWindowTitle(s); });
    apply(22, [this](const QString& s) { m_group->setTitle(s); });
    apply(2, [this](const QString& s) { m_ok->setText(s); });
    apply(142, [this](const QString& s) { m_single->setText(s); });
}

void PortWindow::probePorts()
{
    const auto cables = m_ctx.ports ? Cables::byPort(*m_ctx.ports, Cables::systemPorts())
                                    : std::array<Cables::PortCable, 16>{};
    for (int n = 1; n <= 16; ++n) {
        const QString path = m_ctx.ports ? m_ctx.ports->path(n) : QString();
        QRadioButton* b = m_com[n - 1];
        const Cables::PortCable& cable = cables[n - 1];
        // The caption names the chip behind the port; the programming cable
        // among them stands out in bold.
        b->setText(cable.chip.isEmpty() ? QStringLiteral("COM%1").arg(n)
                                        : QStringLiteral("COM%1  %2").arg(n).arg(cable.chip));
        QFont font = b->font();
        font.setBold(cable.programmingCable);
        b->setFont(font);
        // The tip names the device, the chip, and for a port that cannot be
        // used why.
        QStringList tip{path};
        if (!cable.chip.isEmpty() && m_ctx.state) {
            const int id = cable.programmingCable ? TextId::CableProgrammingTip : TextId::CableChipTip;
            tip << m_ctx.state->text(id).arg(cable.chip, Cables::idText(cable.vendorId, cable.productId));
        }
        const Result reason = SerialLink::probe(path);
        if (!reason)
            tip << CablePrompt::openFailureText(m_ctx, reason);
        b->setToolTip(tip.join(u'\n'));
        b->setEnabled(reason.ok());
    }
}

void PortWindow::showEvent(QShowEvent* event)
{
    // Read or Write may have moved to a plugged-in cable meanwhile.
    if (m_ctx.state && m_ctx.state->chosenPort != m_tag)
        if (QRadioButton* b = portButton(m_ctx.state->chosenPort))
            b->setChecked(true);
    probePorts();
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}
