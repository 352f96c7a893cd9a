#include "app/station_grid.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>
#include <algorithm>

#include "widgets/classic_look.h"

namespace {

// The cells draw no focus rectangle of their own: the grid draws one round
// the whole row.
class RowCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }
};

}  // namespace

StationGrid::StationGrid(QWidget* parent) : QTableView(parent)
{
    // Tab moves on to "Add a new NUXO"; arrows, Page Up/Down, Home and End
    // move within the list. With thousands of stations, moving cell by cell
    // would trap a keyboard user in the grid.
    setTabKeyNavigation(false);
    setItemDelegate(new RowCellDelegate(this));
}

void StationGrid::keep_a_current_row()
{
    if (!currentIndex().isValid()) {
        go_to_row(0);
    }
}

void StationGrid::go_to_row(int row)
{
    if (model() == nullptr || model()->rowCount() == 0) {
        return;
    }
    const QModelIndex index = model()->index(std::min(std::max(row, 0), model()->rowCount() - 1), 0);
    setCurrentIndex(index);
    scrollTo(index);
}

QModelIndex StationGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if ((action == MoveHome || action == MoveEnd) && model() != nullptr && model()->rowCount() > 0) {
        const int column = std::max(currentIndex().column(), 0);
        return model()->index(action == MoveHome ? 0 : model()->rowCount() - 1, column);
    }
    return QTableView::moveCursor(action, modifiers);
}

QItemSelectionModel::SelectionFlags StationGrid::selectionCommand(const QModelIndex& index, const QEvent* event) const
{
    // With Ctrl, Qt's views move only the keyboard cursor (Ctrl+End scrolls
    // to the last station and leaves the selection on the first, out of
    // view, for Edit Selected to open). Here Ctrl moves the selection like
    // the plain key; Ctrl+Space still toggles a row.
    if (event != nullptr && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if ((key->modifiers() & Qt::ControlModifier) && key->key() != Qt::Key_Space) {
            const QKeyEvent plain(QEvent::KeyPress, key->key(), key->modifiers() & ~Qt::ControlModifier, key->text());
            return QTableView::selectionCommand(index, &plain);
        }
    }
    return QTableView::selectionCommand(index, event);
}

void StationGrid::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    const QModelIndex current = currentIndex();
    if (!hasFocus() || !current.isValid()) {
        return;
    }
    const int last_column = model()->columnCount() - 1;
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = visualRect(current.siblingAtColumn(0)).united(visualRect(current.siblingAtColumn(last_column)));
    const bool selected = selectionModel()->isRowSelected(current.row(), current.parent());
    focus.backgroundColor = palette().color(selected ? QPalette::Highlight : QPalette::Base);
    QPainter painter(viewport());
    // Drawn here, not by the style: Windows' own style shows a list's focus
    // only on its items, and not round the whole row.
    draw_focus_rectangle(&focus, &painter);
}
