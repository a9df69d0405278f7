#include "gui/radioinfowindow.h"
#include "gui/languageswitch.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "app/appstate.h"
#include "base/packstrings.h"
#include "base/textids.h"
#include "radio/identity.h"

namespace {

// The radio stores names as single bytes: a character above 0x7F is
// refused however it arrives (typed, composed by an input method, pasted).
class SingleByteValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        for (QChar c : input)
            if (c.unicode() > 0x7F)
                return Invalid;
        return Acceptable;
    }
};

QLineEdit* field(const char* name, QWidget* parent)
{
    auto* e = new QLineEdit(RadioIdentity::Unfilled, parent);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    return e;
}

// A read-only field is as wide as the widest text it shows: a date, or an
// unset date record, whose "F" digits are the widest.
void fitWidthTo(QLineEdit* e, const QStringList& samples)
{
    int text = 0;
    for (const QString& s : samples)
        text = std::max(text, e->fontMetrics().horizontalAdvance(s));
    const QMargins m = e->textMargins();
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e);
    // 2 + 2: the blank QLineEdit keeps left and right of its text.
    const QSize contents(text + m.left() + m.right() + 4, e->sizeHint().height());
    e->setMinimumWidth(e->style()->sizeFromContents(QStyle::CT_LineEdit, &opt, contents, e).width());
}

QLabel* label(const char* name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

}

RadioInfoWindow::RadioInfoWindow(AppContext& ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("addmessage"));
    setWindowTitle(QStringLiteral("本机信息"));

    m_group1 = new QGroupBox(QStringLiteral("本机信息"), this);
    m_group1->setObjectName(QStringLiteral("GroupBox1"));
    m_label1 = label("Label1", QStringLiteral("机型"), m_group1);
    m_label2 = label("Label2", QStringLiteral("频段"), m_group1);
    m_label3 = label("Label3", QStringLiteral("管理员"), m_group1);
    m_label5 = label("Label5", QStringLiteral("出厂日期"), m_group1);
    m_label9 = label("Label9", QStringLiteral("用户"), m_group1);
    m_label4 = label("Label4", QStringLiteral("销售日期"), m_group1);
    m_edit1 = field("Edit1", m_group1);
    m_edit2 = field("Edit2", m_group1);
    m_edit3 = field("Edit3", m_group1);
    m_edit5 = field("Edit5", m_group1);
    m_edit9 = field("Edit9", m_group1);
    m_edit4 = field("Edit4", m_group1);
    m_label4->hide();
    m_edit4->hide();
    for (QLineEdit* date : {m_edit4, m_edit5})
        fitWidthTo(date, {QStringLiteral("0000-00-00  00:00:00"), QStringLiteral("FFFF-FF-FF  FF:FF:FF")});
    // Names hold at most 7 single-byte characters; bands read "400-470MHz".
    for (QLineEdit* text : {m_edit1, m_edit2, m_edit3, m_edit9})
        fitWidthTo(text, {QStringLiteral("WWWWWWW"), QStringLiteral("000-000MHz"), RadioIdentity::Unfilled});

    auto* grid = new QGridLayout(m_group1);
    grid->setHorizontalSpacing(10);
    grid->addWidget(m_label1, 0, 0);
    grid->addWidget(m_edit1, 0, 1);
    grid->addWidget(m_label2, 0, 2);
    grid->addWidget(m_edit2, 0, 3);
    grid->addWidget(m_label3, 1, 0);
    grid->addWidget(m_edit3, 1, 1);
    grid->addWidget(m_label5, 1, 2);
    grid->addWidget(m_edit5, 1, 3);
    grid->addWidget(m_label9, 2, 0);
    grid->addWidget(m_edit9, 2, 1);
    grid->addWidget(m_label4, 2, 2);
    grid->addWidget(m_edit4, 2, 3);

    m_group3 = new QGroupBox(QStringLiteral("用户"), this);
    m_group3->setObjectName(QStringLiteral("GroupBox3"));
    m_edit8 = new QLineEdit(m_group3);
    m_edit8->setObjectName(QStringLiteral("Edit8"));
    m_edit8->setMaxLength(7);
    m_edit8->setValidator(new SingleByteValidator(m_edit8));
    m_check2 = new QCheckBox(QStringLiteral("写入用户"), m_group3);
    m_check2->setObjectName(QStringLiteral("CheckBox2"));
    auto* user = new QHBoxLayout(m_group3);
    user->addWidget(m_edit8, 1);
    user->addWidget(m_check2);

    m_button1 = new QPushButton(QStringLiteral("确定"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("StatusBar"));
    m_status->setSizeGripEnabled(false);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_button1);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 12, 12, 8);
    body->addWidget(m_group1);
    body->addWidget(m_group3);
    body->addLayout(buttonRow);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addLayout(body);
    outer->addWidget(m_status);
    resize(555, 275);

    m_edit8->setText(m_ctx.identity->userToWrite);
    m_check2->setChecked(m_ctx.identity->writeUser);
    connect(m_edit8, &QLineEdit::textChanged, this, [this](const QString& t) { m_ctx.identity->userToWrite = t; });
    connect(m_check2, &QCheckBox::toggled, this, [this](bool on) { m_ctx.identity->writeUser = on; });
    connect(m_button1, &QPushButton::clicked, this, &RadioInfoWindow::closeWindow);
    refresh();
}

void RadioInfoWindow::refresh()
{
    const RadioIdentity& id = *m_ctx.identity;
    m_edit1->setText(id.model);
    m_edit2->setText(id.band);
    m_edit3->setText(id.admin);
    m_edit4->setText(id.saleDate);
    m_edit5->setText(id.factoryDate);
    m_edit9->setText(id.user);
    if (m_edit8->text() != id.userToWrite)
        m_edit8->setText(id.userToWrite);
    m_check2->setChecked(id.writeUser);
}

void RadioInfoWindow::showEvent(QShowEvent* event)
{
    refresh();
    QWidget::showEvent(event);
}

void RadioInfoWindow::applyTexts(const PackStrings& t)
{
    // An id the pack lacks keeps the text the window has.
    auto set = [&t](int id, auto* w) {
        if (t.contains(id))
            w->setText(t.text(id));
    };
    if (t.contains(WordId::RadioInfo)) {
        setWindowTitle(t.text(WordId::RadioInfo));
        m_group1->setTitle(t.text(WordId::RadioInfo));
    }
    if (t.contains(WordId::User))
        m_group3->setTitle(t.text(WordId::User));
    set(2, m_button1);
    set(157, m_label1);
    set(158, m_label2);
    set(159, m_label3);
    set(160, m_label4);
    set(242, m_label5);
    set(241, m_label9);
    set(246, m_check2);
    if (m_adminShown)
        setStatusAdmin();
    LanguageSwitch::growWithTexts(this);
}

void RadioInfoWindow::setStatusAdmin()
{
    m_adminShown = true;
    const QString line = m_ctx.state->text(TextId::AdminStatus).arg(m_label3->text(), m_ctx.state->adminName);
    m_status->showMessage(QStringLiteral("  ") + line);
}

void RadioInfoWindow::closeWindow()
{
    close();
}
