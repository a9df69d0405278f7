#include "gui/channelgrid.h"

#include <QHeaderView>
#include <algorithm>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {
constexpr int DocumentCols = 12;
}

const int ChannelGrid::ColumnWidths[12] = {30, 70, 69, 70, 70, 63, 62, 65, 63, 66, 68, 63};

namespace {

// Cells are drawn centred on one line; the channel number column is drawn
// like the header, as the fixed column it is.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* o, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(o, index);
        o->displayAlignment = Qt::AlignCenter;
        o->features &= ~QStyleOptionViewItem::WrapText;
        o->textElideMode = Qt::ElideNone;
        if (index.column() == 0) {
            o->backgroundBrush = o->palette.button();
            o->palette.setColor(QPalette::Text, o->palette.color(QPalette::ButtonText));
            o->state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        }
    }
};

}

ChannelGrid::ChannelGrid(QWidget* parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("StringGrid1"));
    setItemDelegate(new GridDelegate(this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setFixedHeight(RowHeight + 1);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
}

int ChannelGrid::col() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() : 1;
}

int ChannelGrid::row() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 1;
}

void ChannelGrid::setModel(QAbstractItemModel* m)
{
    QTableView::setModel(m);
    fitColumnsToHeaders();
}

void ChannelGrid::fitColumnsToHeaders()
{
    QAbstractItemModel* m = model();
    const QFontMetrics fm(horizontalHeader()->font());
    for (int c = 0; m && c < m->columnCount() && c < 12; ++c) {
        const int needed = fm.horizontalAdvance(m->headerData(c, Qt::Horizontal).toString()) + 8;
        setColumnWidth(c, std::max(ColumnWidths[c], needed));
    }
}

void ChannelGrid::setSelectedCell(int col, int row)
{
    if (!model())
        return;
    const QModelIndex i = model()->index(row - 1, col);
    if (i.isValid())
        selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
}

QRect ChannelGrid::cellRect(int col, int row) const
{
    if (!model())
        return {};
    const QRect r = visualRect(model()->index(row - 1, col));
    // The grid line right and below belongs to the cell.
    return r.isValid() ? r.adjusted(0, 0, 1, 1) : r;
}

void ChannelGrid::moveTo(const QModelIndex& target)
{
    if (!target.isValid() || target.column() < 1)
        return;
    const QModelIndex cur = currentIndex();
    if (target != cur) {
        if (!canSelect(target.column(), target.row() + 1))
            return;
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
        scrollTo(target);
    } else if (selectionModel()->selectedIndexes().size() > 1) {
        selectionModel()->select(target, QItemSelectionModel::ClearAndSelect);
    }
    m_anchor = {target.column(), target.row() + 1};
    emit cellClicked();
}

void ChannelGrid::extendTo(const QModelIndex& target, bool wholeRows)
{
    if (!target.isValid())
        return;
    const int r = target.row() + 1;
    const int c = std::max(1, target.column());
    if (target != currentIndex() && !canSelect(c, r))
        return;
    const int c1 = wholeRows ? 1 : std::min(m_anchor.x(), c);
    const int c2 = wholeRows ? DocumentCols - 1 : std::max(m_anchor.x(), c);
    const QModelIndex now = model()->index(r - 1, wholeRows ? 1 : c);
    selectionModel()->setCurrentIndex(now, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(model()->index(std::min(m_anchor.y(), r) - 1, c1),
                                            model()->index(std::max(m_anchor.y(), r) - 1, c2)),
                             QItemSelectionModel::ClearAndSelect);
    scrollTo(now);
    emit selectionExtended();
}

ChannelGrid::Block ChannelGrid::selectedBlock() const
{
    const QModelIndexList sel = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (sel.isEmpty())
        return {row(), row(), col(), col()};
    Block b{1000, -1, 1000, -1};
    for (const QModelIndex& i : sel) {
        if (i.column() < 1)
            continue;
        b.r1 = std::min(b.r1, i.row() + 1);
        b.r2 = std::max(b.r2, i.row() + 1);
        b.c1 = std::min(b.c1, i.column());
        b.c2 = std::max(b.c2, i.column());
    }
    if (b.r2 < 0)
        return {row(), row(), col(), col()};
    return b;
}

void ChannelGrid::selectRows(int r1, int r2)
{
    if (!model())
        return;
    moveTo(model()->index(r1 - 1, 1));
    m_anchor = {1, r1};
    extendTo(model()->index(r2 - 1, 1), true);
    m_anchor = {1, r1};
}

void ChannelGrid::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QModelIndex i = indexAt(e->position().toPoint());
    // The space below the last row does nothing.
    if (!i.isValid())
        return;
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    if (i.column() < 1) {
        // The channel number selects the row.
        if (shift)
            extendTo(i, true);
        else
            selectRows(i.row() + 1, i.row() + 1);
        return;
    }
    if (shift)
        extendTo(i);
    else
        moveTo(i);
}

void ChannelGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    // The second press of a double click is a click like the first.
    mousePressEvent(e);
}

void ChannelGrid::mouseMoveEvent(QMouseEvent* e)
{
    // Dragging with the button held selects a block of cells.
    if (!(e->buttons() & Qt::LeftButton))
        return;
    const QModelIndex i = indexAt(e->position().toPoint());
    if (i.isValid() && i.column() >= 1 && i != currentIndex())
        extendTo(i);
}

void ChannelGrid::mouseReleaseEvent(QMouseEvent*)
{
}

bool ChannelGrid::navigateByKey(QKeyEvent* e)
{
    CursorAction action;
    switch (e->key()) {
    case Qt::Key_Up: action = MoveUp; break;
    case Qt::Key_Down: action = MoveDown; break;
    case Qt::Key_Left: action = MoveLeft; break;
    case Qt::Key_Right: action = MoveRight; break;
    case Qt::Key_PageUp: action = MovePageUp; break;
    case Qt::Key_PageDown: action = MovePageDown; break;
    case Qt::Key_Home: action = MoveHome; break;
    case Qt::Key_End: action = MoveEnd; break;
    default: return false;
    }
    const QModelIndex cur = currentIndex();
    QModelIndex next = moveCursor(action, e->modifiers());
    if (next.isValid() && next.column() < 1)
        next = model()->index(next.row(), 1);
    // A key that cannot move (the first row, the last column) does nothing.
    if (next.isValid() && next != cur) {
        if (e->modifiers() & Qt::ShiftModifier)
            extendTo(next);
        else
            moveTo(next);
    }
    return true;
}

bool ChannelGrid::stepRow(int delta)
{
    const QModelIndex cur = currentIndex();
    if (!cur.isValid())
        return false;
    const QModelIndex next = model()->index(cur.row() + delta, cur.column());
    if (!next.isValid())
        return false;
    moveTo(next);
    return true;
}

void ChannelGrid::keyPressEvent(QKeyEvent* e)
{
    if (e->matches(QKeySequence::SelectAll)) {
        selectRows(1, model()->rowCount());
        return;
    }
    if (!navigateByKey(e))
        e->ignore();
}

void ChannelGrid::wheelEvent(QWheelEvent* e)
{
    const int dy = e->angleDelta().y();
    if (dy != 0)
        stepRow(dy < 0 ? 1 : -1);
    e->accept();
}

void ChannelGrid::paintEvent(QPaintEvent* e)
{
    QTableView::paintEvent(e);
    emit painted();
}
