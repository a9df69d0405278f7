#pragma once
#include <QTableView>
#include <functional>

// The channel grid: a table whose selected cell moves only by mouse clicks,
// navigation keys and the mouse wheel, and which reports each move the way
// the channel editor expects it: first it asks whether the selection may
// leave the old cell (setCanSelect), then "clicked" (the selection is on the
// new cell).
// A mouse click on the selected cell reports "clicked" only. The grid never
// edits a cell itself.
//
// Several cells or rows can be selected as in a spreadsheet: Shift with a
// click or an arrow key, or dragging, extends the selection from the cell
// last clicked without reporting a click; a click on a channel number
// selects that whole row (Shift: the rows up to it); Ctrl+A selects all. Cells are addressed as in the channel table: row 1 to
// 32, column 1 to 11 (column 0 holds the channel numbers and is never
// selected).
class ChannelGrid : public QTableView {
    Q_OBJECT
public:
    static constexpr int RowHeight = 20;
    static const int ColumnWidths[12];

    explicit ChannelGrid(QWidget* parent = nullptr);
    void setModel(QAbstractItemModel* model) override;

    int col() const;   // the selected cell
    int row() const;
    // Columns keep their design widths unless a header needs more room.
    void fitColumnsToHeaders();
    // Selects a cell without reporting it (start-up).
    void setSelectedCell(int col, int row);
    // The cell's area in viewport coordinates, grid lines included.
    QRect cellRect(int col, int row) const;

    // The rectangle of selected cells (the selected cell when it is alone).
    struct Block {
        int r1, r2, c1, c2;
        bool wholeRows() const { return c1 == 1 && c2 == 11; }
    };
    Block selectedBlock() const;
    // Selects whole rows r1..r2 (the selected cell moves to column 1 of r1,
    // reported as a move).
    void selectRows(int r1, int r2);

    // Moves the selection as a navigation key asks; true if the key is one.
    bool navigateByKey(QKeyEvent* e);
    // Moves the selection one row down (+1) or up (-1) in the same column,
    // as the mouse wheel does; false at the first or last row.
    bool stepRow(int delta);
    // Asked before the selection leaves its cell for (col, row); false keeps
    // it where it is (the cell holds a typed value that cannot be taken).
    void setCanSelect(std::function<bool(int col, int row)> canSelect) { m_canSelect = std::move(canSelect); }

signals:
    void cellClicked();                  // after a click or a move
    void painted();                      // after every repaint of the cells
    void selectionExtended();            // more cells were added, no click

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void moveTo(const QModelIndex& target);
    void extendTo(const QModelIndex& target, bool wholeRows = false);

    bool canSelect(int col, int row) const { return !m_canSelect || m_canSelect(col, row); }

    QPoint m_anchor{1, 1};   // column, row where the selection started
    std::function<bool(int, int)> m_canSelect;
};
