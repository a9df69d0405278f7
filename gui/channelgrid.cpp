#include "gui/channelgrid.h"

#include <QHeaderView>
#include <algorithm>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

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
    setSelectionMode(QAbstractItemView::SingleSelection);
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
        emit selectCell(target.column(), target.row() + 1);
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
        scrollTo(target);
    }
    emit cellClicked();
}

void ChannelGrid::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QModelIndex i = indexAt(e->position().toPoint());
    // The fixed column and the space below the last row do nothing.
    if (!i.isValid() || i.column() < 1)
        return;
    moveTo(i);
}

void ChannelGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    // The second press of a double click is a click like the first.
    mousePressEvent(e);
}

void ChannelGrid::mouseMoveEvent(QMouseEvent*)
{
    // No selection by dragging: the grid has one selected cell.
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
    if (next.isValid() && next != cur)
        moveTo(next);
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
