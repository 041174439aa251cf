#pragma once

#include <QObject>
#include <QPointer>

class Table;

// Binds windows to a table: forwards the table's notifications while enabled. Attaching a
// table or enabling again announces the whole table (rows, state and record changed).
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(Table* table = nullptr, QObject* parent = nullptr);

    void setDataSet(Table* table);
    Table* dataSet() const;
    void setEnabled(bool enabled);
    bool enabled() const;

signals:
    void dataChange(const QString& field);  // empty field: the whole record
    void stateChange();
    void rowsChange();

private:
    void announceWholeTable();

    QPointer<Table> table_;
    bool enabled_ = true;
};
