#include "gui/optionseditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/appcontext.h"
#include "app/appstate.h"
#include "document/documentdata.h"
#include "document/optioncaptions.h"
#include "document/optionlists.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "gui/childwindow.h"
#include "gui/keyfilter.h"
#include "base/textids.h"

namespace {

QString controlName(const QString& key)
{
    return key.mid(key.indexOf(u'.') + 1);
}

QComboBox* narrow(QComboBox* box)
{
    box->setMinimumContentsLength(7);
    return box;
}

QFormLayout* formLayout(QWidget* parent)
{
    auto* f = new QFormLayout(parent);
    f->setContentsMargins(8, 8, 8, 8);
    f->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    f->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    f->setHorizontalSpacing(8);
    f->setVerticalSpacing(6);
    return f;
}
}

OptionsEditor::OptionsEditor(AppContext& ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx)
{
    Q_ASSERT(ctx.doc && ctx.state);
    setObjectName(QStringLiteral("func"));
    setWindowTitle(QStringLiteral("功能选项"));

    // Two columns, so that the window fits beside the channel table on a
    // screen 1280 pixels wide.
    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(6, 6, 6, 6);
    columns->setSpacing(6);
    const auto column = [columns](std::initializer_list<QWidget*> parts) {
        auto* v = new QVBoxLayout;
        v->setSpacing(8);
        for (QWidget* w : parts)
            v->addWidget(w);
        v->addStretch(1);
        columns->addLayout(v);
    };
    column({buildLeftPanel(), buildVoxGroup(), buildPasswordGroup()});
    column({buildMiddlePanel(), buildSideKeyGroup(), buildLeaseGroup()});
    columns->addStretch(1);
    buildHiddenControls();

    SettingsDocument* doc = ctx.doc;
    connect(doc, &SettingsDocument::changed, this, &OptionsEditor::showValue);
    connect(doc, &SettingsDocument::optionsChanged, this, &OptionsEditor::showOptions);
    connect(doc, &SettingsDocument::reset, this, &OptionsEditor::showAll);
    showAll();
    applyTexts(ctx.state->texts);
}

QWidget* OptionsEditor::buildLeftPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    QFormLayout* f = formLayout(panel);
    f->setContentsMargins(0, 0, 0, 0);
    // Their values are short; the side keys' lists keep the wider boxes.
    for (const QString& key : {Key::AutoPowerOff, Key::Squelch, Key::ScanResume, Key::TimeOut, Key::Voice,
                               Key::SaveRatio, Key::Volume, Key::DtmfTime})
        f->addRow(labelFor(key, panel), narrow(choice(key, panel)));
    QLineEdit* dtmf = text(Key::EndDtmf, panel);
    dtmf->setMaxLength(4);
    // Four characters: as wide as the boxes above it.
    dtmf->setMinimumWidth(0);
    dtmf->setFixedWidth(m_choices.value(Key::DtmfTime)->sizeHint().width());
    new KeyFilter(dtmf, QStringLiteral("0123456789ABCD*#"), true);
    f->addRow(labelFor(Key::EndDtmf, panel), dtmf);
    return panel;
}

QWidget* OptionsEditor::buildMiddlePanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel2"));
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(8);
    for (const QString& key : {Key::PowerOnTone, Key::EndTone, Key::BatterySave, Key::KeyBeep,
                               Key::TxInhibit, Key::LowBatteryTone, Key::TinyPower})
        v->addWidget(flag(key, panel));
    v->addStretch(1);
    return panel;
}

QGroupBox* OptionsEditor::buildVoxGroup()
{
    QGroupBox* g = groupBox("GroupBox1", this);
    QFormLayout* f = formLayout(g);
    f->addRow(labelFor(Key::VoxLevel, g), narrow(choice(Key::VoxLevel, g)));
    f->addRow(labelFor(Key::VoxDelay, g), narrow(choice(Key::VoxDelay, g)));
    f->addRow(flag(Key::VoxRxInhibit, g));
    return g;
}

QGroupBox* OptionsEditor::buildPasswordGroup()
{
    QGroupBox* g = groupBox("GroupBox10", this);
    QFormLayout* f = formLayout(g);
    for (const QString& key : {Key::Password, Key::NewPassword}) {
        QLineEdit* e = text(key, g);
        e->setMaxLength(12);
        e->setEchoMode(QLineEdit::Password);
        e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));   // '*'
        // As wide as the twelve stars it can hold.
        e->setMinimumWidth(0);
        e->setFixedWidth(e->fontMetrics().horizontalAdvance(QString(12, u'*')) + 16);
        new KeyFilter(e, QStringLiteral("0123456789*#"));
        f->addRow(labelFor(key, g), e);
    }
    f->addRow(flag(Key::WriteNewPassword, g));
    return g;
}

QGroupBox* OptionsEditor::buildSideKeyGroup()
{
    QGroupBox* g = groupBox("GroupBox2", this);
    QFormLayout* f = formLayout(g);
    for (const QString& key : Key::KeyFunctions) {
        QComboBox* box = choice(key, g);
        box->setMaxVisibleItems(16);
        f->addRow(labelFor(key, g), box);
    }
    return g;
}

QGroupBox* OptionsEditor::buildLeaseGroup()
{
    QGroupBox* g = groupBox("GroupBox11", this);
    auto* grid = new QGridLayout(g);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->addWidget(flag(Key::Lease, g), 0, 0, 1, 3);
    const std::pair<QString, const char*> boxes[] = {
        {Key::LeaseDays, "Edit13"}, {Key::LeaseHours, "Edit14"}, {Key::LeaseMinutes, "Edit15"}};
    int col = 0;
    for (const auto& [key, edit] : boxes) {
        QLabel* l = labelFor(key, g);
        l->setAlignment(Qt::AlignCenter);
        grid->addWidget(l, 1, col);
        grid->addWidget(number(key, edit, g), 2, col);
        ++col;
    }
    return g;
}

void OptionsEditor::buildHiddenControls()
{
    flag(Key::Alarm, this)->hide();
}

// Controls ---------------------------------------------------------------

QLabel* OptionsEditor::label(const char* name, QWidget* parent)
{
    const FuncCaption* c = FuncCaptions::find(QLatin1String(name));
    auto* l = new QLabel(c ? QString::fromUtf8(c->builtIn) : QString(), parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

QLabel* OptionsEditor::labelFor(const QString& key, QWidget* parent)
{
    const FuncCaption* c = FuncCaptions::forKey(key);
    return label(c ? c->object : "", parent);
}

QCheckBox* OptionsEditor::checkBox(const char* name, QWidget* parent)
{
    const FuncCaption* c = FuncCaptions::find(QLatin1String(name));
    auto* b = new QCheckBox(c ? QString::fromUtf8(c->builtIn) : QString(), parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QGroupBox* OptionsEditor::groupBox(const char* name, QWidget* parent)
{
    const FuncCaption* c = FuncCaptions::find(QLatin1String(name));
    auto* g = new QGroupBox(c ? QString::fromUtf8(c->builtIn) : QString(), parent);
    g->setObjectName(QLatin1String(name));
    return g;
}

QComboBox* OptionsEditor::choice(const QString& key, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(controlName(key));
    box->setMinimumContentsLength(8);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_choices.insert(key, box);
    connect(box, &QComboBox::currentIndexChanged, this, [this, key](int i) {
        if (!m_showing && i >= 0)
            m_ctx.doc->setChoice(key, i);
    });
    return box;
}

QCheckBox* OptionsEditor::flag(const QString& key, QWidget* parent)
{
    QCheckBox* b = checkBox(controlName(key).toLatin1().constData(), parent);
    m_flags.insert(key, b);
    connect(b, &QCheckBox::toggled, this, [this, key](bool on) {
        if (!m_showing)
            m_ctx.doc->setFlag(key, on);
    });
    return b;
}

QLineEdit* OptionsEditor::text(const QString& key, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(controlName(key));
    e->setMinimumWidth(110);
    m_texts.insert(key, e);
    connect(e, &QLineEdit::textChanged, this, [this, key](const QString& t) {
        if (!m_showing)
            m_ctx.doc->setText(key, t);
    });
    return e;
}

QSpinBox* OptionsEditor::number(const QString& key, const char* editName, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(controlName(key));
    const DocumentData::Range r = DocumentData::numberRange(key);
    box->setRange(r.min, r.max);
    box->setSingleStep(r.step);
    box->setAlignment(Qt::AlignRight);
    // The spin box's edit is the edit box of the setting.
    if (auto* edit = box->findChild<QLineEdit*>()) {
        edit->setObjectName(QLatin1String(editName));
        edit->setMaxLength(3);
        // Minutes change only through the arrows.
        edit->setReadOnly(r.step != 1);
    }
    m_numbers.insert(key, box);
    connect(box, &QSpinBox::valueChanged, this, [this, key](int v) {
        if (!m_showing)
            m_ctx.doc->setNumber(key, v);
    });
    return box;
}

// Document -> controls ---------------------------------------------------------

void OptionsEditor::showValue(const QString& key)
{
    const SettingsDocument* doc = m_ctx.doc;
    m_showing = true;
    if (QComboBox* box = m_choices.value(key)) {
        if (box->count() != doc->options(key).size())
            showOptions(key);
        showChoice(key);
    } else if (QCheckBox* b = m_flags.value(key)) {
        b->setChecked(doc->flag(key));
    } else if (QLineEdit* e = m_texts.value(key)) {
        if (e->text() != doc->text(key))
            e->setText(doc->text(key));
    } else if (m_numbers.contains(key)) {
        showLease();   // the three numbers become known together
    }
    m_showing = false;
}

// A value the document does not know selects nothing: the list shows its
// placeholder.
void OptionsEditor::showChoice(const QString& key)
{
    QComboBox* box = m_choices.value(key);
    const bool known = m_ctx.doc->data().carries(key);
    box->setCurrentIndex(known ? m_ctx.doc->choice(key) : -1);
    box->setToolTip(known ? QString() : m_unknownTip);
}

// A lease time the document does not know shows "?" one step below the
// range, so that the first step up or a typed number sets it; once known, it
// cannot be chosen again. A word would not fit the three-digit boxes; the
// tip says it.
void OptionsEditor::showLease()
{
    const bool outer = m_showing;
    m_showing = true;
    for (auto it = m_numbers.cbegin(); it != m_numbers.cend(); ++it) {
        QSpinBox* box = it.value();
        const bool known = m_ctx.doc->data().carries(it.key());
        const DocumentData::Range r = DocumentData::numberRange(it.key());
        box->setSpecialValueText(known ? QString() : QStringLiteral("?"));
        box->setMinimum(known ? r.min : r.min - r.step);
        box->setValue(known ? m_ctx.doc->number(it.key()) : box->minimum());
        box->setToolTip(known ? QString() : m_unknownTip);
    }
    m_showing = outer;
}

void OptionsEditor::showOptions(const QString& key)
{
    QComboBox* box = m_choices.value(key);
    if (!box)
        return;
    const bool outer = m_showing;
    m_showing = true;
    box->clear();
    box->addItems(m_ctx.doc->options(key));
    showChoice(key);
    m_showing = outer;
}

void OptionsEditor::showAll()
{
    for (const QString& key : m_choices.keys())
        showOptions(key);
    for (const QString& key : m_flags.keys())
        showValue(key);
    for (const QString& key : m_texts.keys())
        showValue(key);
    for (const QString& key : m_numbers.keys())
        showValue(key);
}

// Texts ----------------------------------------------------------------

void OptionsEditor::applyTexts(const PackStrings& t)
{
    const QString caption = t.text(WordId::OptionalFeatures);
    if (!caption.isEmpty())
        setWindowTitle(caption);
    m_unknownTip = t.text(TextId::ValueUnknownTip);
    for (const QString& key : Key::NotInOlderFiles)
        if (QComboBox* box = m_choices.value(key))
            box->setPlaceholderText(t.text(TextId::ValueUnknown));
    for (const FuncCaption& c : FuncCaptions::all()) {
        QWidget* w = findChild<QWidget*>(QLatin1String(c.object));
        if (auto* l = qobject_cast<QLabel*>(w))
            l->setText(FuncCaptions::text(c, t, l->text()));
        else if (auto* b = qobject_cast<QCheckBox*>(w))
            b->setText(FuncCaptions::text(c, t, b->text()));
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            g->setTitle(FuncCaptions::text(c, t, g->title()));
    }
    // The visible lists follow the document, which the language switch has
    // already re-worded; showing them again keeps every position.
    showAll();
}

void OptionsEditor::closeEvent(QCloseEvent* e)
{
    hideInsteadOfClosing(this, e);
}
