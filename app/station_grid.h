// The grid of the station list: one read-only row per station, moved
// through with the keyboard as the operators' Windows grids are. The
// selected row is always the keyboard cursor's row, in view; Tab leaves the
// grid for the buttons beside it; Return or a double click opens the
// current station (the activated signal). While the grid has the focus, a
// dotted rectangle goes round the whole current row.
#ifndef ZANTOR_APP_STATION_GRID_H
#define ZANTOR_APP_STATION_GRID_H

#include <QTableView>

class StationGrid : public QTableView {
    Q_OBJECT

public:
    explicit StationGrid(QWidget* parent);

    // After a rebuild: a grid that lists stations always has a current row;
    // when none is, the first one becomes current and selected.
    void keep_a_current_row();
    // Makes row `row` current, selected and in view; the last row when the
    // list is shorter. Nothing when the list is empty.
    void go_to_row(int row);

protected:
    // Home and End go to the first and the last station, as in a Windows
    // list; Qt's grids move within the row.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override;
    void paintEvent(QPaintEvent* event) override;
};

#endif
