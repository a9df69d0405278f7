#pragma once
#include <QWidget>

class QToolButton;

// A pair of arrow buttons beside an edit box: a position within a range that
// the arrows move one step at a time. The box and the arrows keep each other
// up to date through moved() and setPosition().
class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(int min, int max, QWidget* parent = nullptr);

    int position() const { return m_pos; }
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    // Clamped to the range; emits nothing.
    void setPosition(int pos);
    // As an arrow click does: moves and emits moved() if the position changed.
    void step(int delta);

signals:
    void moved(int position);

private:
    int m_min;
    int m_max;
    int m_pos;
    QToolButton* m_up;
    QToolButton* m_down;
};
