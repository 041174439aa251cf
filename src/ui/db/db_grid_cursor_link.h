#pragma once

#include <QObject>
#include <QString>
#include <functional>

class DbGridModel;
class QEvent;
class QModelIndex;
class QTableView;

// Keeps a grid's current row and its table's cursor in step both ways: choosing a row in the
// grid moves the table, and every move of the table moves the grid's selection there. The
// current row stays in sight when the grid is resized.
class DbGridCursorLink : public QObject {
    Q_OBJECT
public:
    // Shows `model` in `view`; the link lives as long as the view.
    DbGridCursorLink(QTableView* view, DbGridModel* model);

    // Told the message when the table refuses to move (a pending edit that cannot be posted);
    // the grid then goes back to the table's row. Unset, the refusal is silent.
    std::function<void(const QString& message)> onMoveRefused;
    // Asked before the grid moves the table; false keeps the table where it is (whoever
    // answers false tells the user why). Unset, every move is asked of the table alone.
    std::function<bool()> beforeMove;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void viewRowChanged(const QModelIndex& current);
    void followTable();

    QTableView* view_;
    DbGridModel* model_;
    bool syncing_ = false;  // set while one side follows the other
};

// Shows `model` in `grid` the way data grids look here: fixed row heights (fast over any
// number of rows), the model's column widths, user-resizable columns, and a selection that
// stays visible when the grid loses the focus; the grid follows the table's cursor and moves
// it. Returns the link (owned by the grid).
DbGridCursorLink* setUpDbGrid(QTableView* grid, DbGridModel* model);
