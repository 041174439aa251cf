#pragma once

#include "store/table.h"

#include <QList>

// Holds back the notifications of tables while they are walked or rewritten in bulk (the
// windows bound to them would otherwise repaint on every row); each table sends one
// record-changed notification when this ends.
class QuietTables {
public:
    explicit QuietTables(QList<Table*> tables) : tables_(std::move(tables)) {
        for (Table* table : tables_) {
            table->disableControls();
        }
    }
    ~QuietTables() {
        for (Table* table : tables_) {
            table->enableControls();
        }
    }
    QuietTables(const QuietTables&) = delete;
    QuietTables& operator=(const QuietTables&) = delete;

private:
    QList<Table*> tables_;
};
