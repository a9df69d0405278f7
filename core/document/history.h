#pragma once
#include <QList>
#include <QString>
#include <optional>

#include "documentdata.h"

// The document together with the file it belongs to (empty: none).
struct DocumentSnapshot {
    DocumentData data;
    QString path;
    bool operator==(const DocumentSnapshot&) const = default;
};

// Undo and redo over whole snapshots of the document: the document is a small
// value, so each step simply keeps the state it started from. The present
// state is kept too, so that a change can be told from no change.
class DocumentHistory {
public:
    static constexpr int MaxSteps = 200;

    // Forgets every step; `present` is where undo stops.
    void reset(const DocumentSnapshot& present);
    const DocumentSnapshot& present() const { return m_states[m_index]; }

    // Records `now` as one step after the present state; false when nothing
    // differs. Steps with the same non-empty merge key that follow each other
    // (typing into one text field) become one step.
    bool record(const DocumentSnapshot& now, const QString& mergeKey = {});

    bool canUndo() const { return m_index > 0; }
    bool canRedo() const { return m_index + 1 < m_states.size(); }
    // Moves one step and returns the state to show.
    std::optional<DocumentSnapshot> undo();
    std::optional<DocumentSnapshot> redo();

private:
    QList<DocumentSnapshot> m_states{DocumentSnapshot{}};
    int m_index = 0;
    QString m_lastMergeKey;
};

// The one text or number setting in which `a` and `b` differ when nothing
// else differs; empty otherwise.
QString onlyTypedKeyChanged(const DocumentData& a, const DocumentData& b);
