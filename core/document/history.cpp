#include "history.h"

#include <QSet>

void DocumentHistory::reset(const DocumentSnapshot& present)
{
    m_states = {present};
    m_index = 0;
    m_lastMergeKey.clear();
}

bool DocumentHistory::record(const DocumentSnapshot& now, const QString& mergeKey)
{
    if (now == present())
        return false;
    const bool merge = !mergeKey.isEmpty() && mergeKey == m_lastMergeKey && !canRedo() && m_index > 0;
    m_states.resize(m_index + 1);   // a new step ends every redo
    if (merge) {
        m_states[m_index] = now;
    } else {
        m_states.append(now);
        ++m_index;
        if (m_states.size() > MaxSteps + 1) {
            m_states.removeFirst();
            --m_index;
        }
    }
    m_lastMergeKey = mergeKey;
    return true;
}

std::optional<DocumentSnapshot> DocumentHistory::undo()
{
    if (!canUndo())
        return std::nullopt;
    m_lastMergeKey.clear();
    return m_states[--m_index];
}

std::optional<DocumentSnapshot> DocumentHistory::redo()
{
    if (!canRedo())
        return std::nullopt;
    m_lastMergeKey.clear();
    return m_states[++m_index];
}

QString onlyTypedKeyChanged(const DocumentData& a, const DocumentData& b)
{
    QStringList changed;
    QSet<QString> texts;
    for (const QString& k : a.textKeys() + b.textKeys())
        texts.insert(k);
    for (const QString& k : texts)
        if (a.text(k) != b.text(k))
            changed << k;
    QSet<QString> numbers;
    for (const QString& k : a.numberKeys() + b.numberKeys())
        numbers.insert(k);
    for (const QString& k : numbers)
        if (a.number(k) != b.number(k))
            changed << k;
    if (changed.size() != 1)
        return {};
    const QString key = changed.first();
    DocumentData c = b;
    if (texts.contains(key))
        c.setText(key, a.text(key));
    else
        c.setNumber(key, a.number(key));
    return c == a ? key : QString();
}
