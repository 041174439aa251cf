#include "ui/db/db_grid_cursor_link.h"

#include "app/settings/app_error.h"
#include "ui/db/controls/look_cache.h"
#include "ui/db/db_grid_model.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTableView>

DbGridCursorLink::DbGridCursorLink(QTableView* view, DbGridModel* model)
    : QObject(view), view_(view), model_(model) {
    view_->setModel(model_);
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &DbGridCursorLink::viewRowChanged);
    connect(model_, &DbGridModel::cursorMoved, this, &DbGridCursorLink::followTable);
    view_->viewport()->installEventFilter(this);
    followTable();
}

bool DbGridCursorLink::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && view_->currentIndex().isValid()) {
        view_->scrollTo(view_->currentIndex());
    }
    return QObject::eventFilter(watched, event);
}

void DbGridCursorLink::viewRowChanged(const QModelIndex& current) {
    if (syncing_ || !current.isValid()) {
        return;
    }
    if (beforeMove && !beforeMove()) {
        followTable();
        return;
    }
    bool refused = false;
    QString refusal;
    syncing_ = true;
    try {
        model_->setCurrentRow(current.row());
    } catch (const AppError& error) {
        refused = true;
        refusal = error.message();
    }
    syncing_ = false;
    if (model_->currentRow() != current.row()) {
        followTable();
    }
    if (refused && onMoveRefused) {
        onMoveRefused(refusal);
    }
}

void DbGridCursorLink::followTable() {
    if (syncing_) {
        return;
    }
    syncing_ = true;
    QItemSelectionModel* selection = view_->selectionModel();
    const int row = model_->currentRow();
    if (row < 0 || row >= model_->rowCount()) {
        selection->clear();
    } else {
        const int column = qMax(0, selection->currentIndex().column());
        const QModelIndex index = model_->index(row, column);
        selection->setCurrentIndex(index,
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view_->scrollTo(index);
    }
    syncing_ = false;
}

DbGridCursorLink* setUpDbGrid(QTableView* grid, DbGridModel* model) {
    constexpr int kRowPadding = 6;
    auto* link = new DbGridCursorLink(grid, model);
    QHeaderView* rows = grid->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(grid->fontMetrics().height() + kRowPadding);
    QHeaderView* titles = grid->horizontalHeader();
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setHighlightSections(false);
    // On the grid's selection model every title would be repainted with every move.
    titles->setSelectionModel(new QItemSelectionModel(model, titles));
    LookCache::on(grid->verticalScrollBar());
    LookCache::on(grid->horizontalScrollBar());
    for (int column = 0; column < model->columnCount(); ++column) {
        grid->setColumnWidth(column, model->columns()[column].width);
    }
    QPalette palette = grid->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    grid->setPalette(palette);
    return link;
}
