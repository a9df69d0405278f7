#include "gui/keyfilter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

KeyFilter::KeyFilter(QLineEdit* edit, const QString& allowed, bool upperCase)
    : QObject(edit), m_edit(edit), m_allowed(allowed), m_upperCase(upperCase)
{
    edit->installEventFilter(this);
    const QString set = QRegularExpression::escape(allowed);
    const QString pattern = QStringLiteral("^[%1]*$").arg(set);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
}

bool KeyFilter::eventFilter(QObject* o, QEvent* e)
{
    if (o != m_edit || e->type() != QEvent::KeyPress)
        return false;
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString t = k->text();
    if (k->key() == Qt::Key_Backspace || t.size() != 1 || !t[0].isPrint())
        return false;   // Backspace, caret keys, Delete, Tab, Enter
    const QChar ch = t[0];
    if (m_allowed.contains(ch))
        return false;
    if (m_upperCase && m_allowed.contains(ch.toUpper())) {
        m_edit->insert(QString(ch.toUpper()));
        return true;
    }
    return true;
}
