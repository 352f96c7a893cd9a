#include "app/station_grid.h"

#include <QKeyEvent>

StationGrid::StationGrid(QWidget* parent) : QTableView(parent)
{
    // Tab moves on to "Add a new NUXO"; arrows, Page Up/Down, Home and End
    // move within the list. With thousands of stations, moving cell by cell
    // would trap a keyboard user in the grid.
    setTabKeyNavigation(false);
}

void StationGrid::keep_a_current_row()
{
    if (!currentIndex().isValid() && model() != nullptr && model()->rowCount() > 0) {
        setCurrentIndex(model()->index(0, 0));
    }
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
