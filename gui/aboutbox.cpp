#include "gui/aboutbox.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/packstrings.h"

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("关于..."));
    setModal(true);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(QPixmap(QStringLiteral(":/icons/app.png")).scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_product = new QLabel(QStringLiteral("Brasel 对讲机编程软件 1.0"), panel);
    m_product->setObjectName(QStringLiteral("Label1"));
    m_version = new QLabel(QStringLiteral("版本:RQ-300.100.1"), panel);
    m_version->setObjectName(QStringLiteral("Label2"));
    m_rights = new QLabel(QStringLiteral("版权所有,保留所有权利"), panel);
    m_rights->setObjectName(QStringLiteral("Label3"));
    m_maker = new QLabel(QStringLiteral("Brasel 通信设备有限公司"), panel);
    m_maker->setObjectName(QStringLiteral("Label4"));

    auto* texts = new QVBoxLayout;
    for (QLabel* l : {m_product, m_version, m_rights, m_maker})
        texts->addWidget(l);
    auto* row = new QHBoxLayout(panel);
    row->addWidget(icon, 0, Qt::AlignTop);
    // The texts take the room the panel has beyond them, beside the icon.
    row->addLayout(texts, 1);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("Button1"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(panel);
    outer->addWidget(m_ok, 0, Qt::AlignHCenter);
    // The box is always as large as its texts need: a size fixed once would
    // cut the longer lines of another language.
    outer->setSizeConstraint(QLayout::SetFixedSize);
    panel->setMinimumSize(300, 120);
}

void AboutBox::applyTexts(const PackStrings& t)
{
    setWindowTitle(t.text(WordId::About) + QStringLiteral("..."));
    m_ok->setText(t.text(WordId::Ok));
    m_product->setText(t.text(WordId::Product) + QStringLiteral("1"));
    m_version->setText(t.text(WordId::Version));
    m_rights->setText(t.text(WordId::Rights));
    m_maker->setText(t.text(WordId::Maker));
}
