#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QString>
#include <QVector>

class DataSource;
class Table;

// One column of a data grid: the table field it shows, its width in pixels and how its cells
// and its title are aligned.
struct DbGridColumn {
    QString fieldName;
    int width = 64;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
};

// The rows of a table as a grid, read on demand through the table's display texts so that a
// log of any size scrolls without copying it. Titles are the field names (grid titles are not
// translated). Follows the data source's notifications: a change of the row set resets the
// model, a field change repaints the current row.
class DbGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DbGridModel(QVector<DbGridColumn> columns, QObject* parent = nullptr);

    // Attaches the model to `source` (null detaches it: the grid shows no rows).
    void setDataSource(DataSource* source);
    DataSource* dataSource() const;
    // The table behind the data source, when it is open.
    Table* activeTable() const;
    const QVector<DbGridColumn>& columns() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int currentRow() const;  // the table's cursor as a 0-based row, -1 when there is none
    // Moves the table's cursor to `row`; throws AppError when the pending edit cannot be posted.
    void setCurrentRow(int row);

signals:
    // The table's cursor may have moved (also after every reset).
    void cursorMoved();

private:
    void reload();
    void onDataChange(const QString& field);
    void refreshRow(int row);

    QVector<DbGridColumn> columns_;
    QVector<int> fieldIndexes_;  // per column, -1 when the table lacks the field
    QPointer<DataSource> source_;
    const Table* loadedTable_ = nullptr;  // the open table the rows were counted in; only compared
    int rowCount_ = 0;
    int shownRow_ = -1;  // the current row when it was last repainted
};
