#include "gui/updown.h"

#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(int min, int max, QWidget* parent)
    : QWidget(parent), m_min(min), m_max(max), m_pos(min)
{
    auto arrow = [this](Qt::ArrowType type, const char* name, int delta) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setArrowType(type);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        b->setFixedWidth(16);
        connect(b, &QToolButton::clicked, this, [this, delta] { step(delta); });
        return b;
    };
    m_up = arrow(Qt::UpArrow, "Up", 1);
    m_down = arrow(Qt::DownArrow, "Down", -1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_up);
    column->addWidget(m_down);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

void UpDown::setPosition(int pos)
{
    m_pos = std::clamp(pos, m_min, m_max);
}

void UpDown::step(int delta)
{
    const int before = m_pos;
    setPosition(m_pos + delta);
    if (m_pos != before)
        emit moved(m_pos);
}
