#include "store/data_source.h"

#include "store/table.h"

DataSource::DataSource(Table* table, QObject* parent) : QObject(parent) {
    setDataSet(table);
}

void DataSource::setDataSet(Table* table) {
    if (table_ == table) {
        return;
    }
    if (table_) {
        disconnect(table_, nullptr, this, nullptr);
    }
    table_ = table;
    if (table_) {
        connect(table_, &Table::dataChanged, this, [this](const QString& field) {
            if (enabled_) {
                emit dataChange(field);
            }
        });
        connect(table_, &Table::stateChanged, this, [this] {
            if (enabled_) {
                emit stateChange();
            }
        });
        connect(table_, &Table::rowsChanged, this, [this] {
            if (enabled_) {
                emit rowsChange();
            }
        });
    }
    announceWholeTable();
}

Table* DataSource::dataSet() const {
    return table_;
}

void DataSource::setEnabled(bool enabled) {
    if (enabled_ == enabled) {
        return;
    }
    enabled_ = enabled;
    announceWholeTable();
}

bool DataSource::enabled() const {
    return enabled_;
}

void DataSource::announceWholeTable() {
    if (enabled_) {
        emit rowsChange();
        emit stateChange();
        emit dataChange(QString());
    }
}
