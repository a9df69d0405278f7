#pragma once
#include <QList>
#include <QString>

// A progress line on stderr, redrawn in place. It draws only when stderr is
// a terminal, so that scripts capturing the output see results only.
class ProgressBar {
public:
    struct Item {
        QString label;
        int value = 0;
        int maximum = 1;
    };

    ProgressBar();   // enabled when stderr is a terminal
    explicit ProgressBar(bool enabled) : m_enabled(enabled) {}
    ~ProgressBar() { clear(); }

    void draw(const QList<Item>& items);
    void clear();

    // The line itself: one bar for one item, percentages for several.
    static QString line(const QList<Item>& items);

private:
    bool m_enabled = false;
    bool m_drawn = false;
};
