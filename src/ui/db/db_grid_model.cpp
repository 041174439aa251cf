#include "ui/db/db_grid_model.h"

#include "app/settings/app_error.h"
#include "store/data_source.h"
#include "store/table.h"

DbGridModel::DbGridModel(QVector<DbGridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {
    fieldIndexes_.fill(-1, columns_.size());
}

void DbGridModel::setDataSource(DataSource* source) {
    if (source_ == source) {
        return;
    }
    if (source_) {
        disconnect(source_, nullptr, this, nullptr);
    }
    source_ = source;
    if (source_) {
        connect(source_, &DataSource::rowsChange, this, &DbGridModel::reload);
        connect(source_, &DataSource::dataChange, this, &DbGridModel::onDataChange);
        connect(source_, &DataSource::stateChange, this, [this] { refreshRow(currentRow()); });
        connect(source_, &QObject::destroyed, this, &DbGridModel::reload);
    }
    reload();
}

DataSource* DbGridModel::dataSource() const {
    return source_;
}

Table* DbGridModel::activeTable() const {
    Table* table = source_ ? source_->dataSet() : nullptr;
    return table && table->active() ? table : nullptr;
}

const QVector<DbGridColumn>& DbGridModel::columns() const {
    return columns_;
}

void DbGridModel::reload() {
    beginResetModel();
    const Table* table = activeTable();
    loadedTable_ = table;
    rowCount_ = table ? table->recordCount() : 0;
    for (int i = 0; i < columns_.size(); ++i) {
        fieldIndexes_[i] = table ? table->fieldIndex(columns_[i].fieldName) : -1;
    }
    shownRow_ = currentRow();
    endResetModel();
    emit cursorMoved();
}

// An empty field name means the whole record: the cursor moved, or the table was refreshed,
// opened or closed; only the last cases change the row set.
void DbGridModel::onDataChange(const QString& field) {
    const Table* table = activeTable();
    const int count = table ? table->recordCount() : 0;
    if (table != loadedTable_ || count != rowCount_) {
        reload();
        return;
    }
    const int row = currentRow();
    if (field.isEmpty() && shownRow_ != row) {
        refreshRow(shownRow_);
    }
    refreshRow(row);
    shownRow_ = row;
    if (field.isEmpty()) {
        emit cursorMoved();
    }
}

void DbGridModel::refreshRow(int row) {
    if (row >= 0 && row < rowCount_ && !columns_.isEmpty()) {
        emit dataChanged(index(row, 0), index(row, columns_.size() - 1), {Qt::DisplayRole});
    }
}

int DbGridModel::currentRow() const {
    const Table* table = activeTable();
    return table ? table->recNo() - 1 : -1;
}

void DbGridModel::setCurrentRow(int row) {
    Table* table = activeTable();
    if (table && row >= 0 && row < table->recordCount() && row != currentRow()) {
        table->setRecNo(row + 1);
    }
}

int DbGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rowCount_;
}

int DbGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_.size();
}

QVariant DbGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount_) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(columns_[index.column()].alignment);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    const Table* table = activeTable();
    const int field = fieldIndexes_[index.column()];
    if (!table || field < 0 || index.row() >= table->recordCount()) {
        return {};
    }
    try {
        return table->displayText(index.row(), field);
    } catch (const AppError&) {
        return {};  // a row that went away between two notifications paints empty
    }
}

QVariant DbGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) {
        return columns_[section].fieldName;
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(columns_[section].titleAlignment);
    }
    return {};
}
