#pragma once

#include <QVector>
#include <QWidget>

class DataSource;
class Table;

// The depth profile of the current dive, drawn from its cds_profile rows: depth down against
// time across, the deepest point and the alarms marked, the depth in the unit the dive's
// conditions name. A dive without profile rows shows a quiet line saying so. It follows the
// profile table, which shows the current dive's rows only.
class DiveProfileView : public QWidget {
    Q_OBJECT
public:
    struct Point {
        int time;  // seconds
        double depth;
        int alarm;
    };

    DiveProfileView(Table* profile, DataSource* conditions, QWidget* parent = nullptr);

    // The points shown, in time order; the deepest one (-1 when there are none).
    const QVector<Point>& points() const { return points_; }
    int deepest() const { return deepest_; }
    QString depthUnit() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void reload();
    void paintEmpty(class QPainter& painter);
    void paintProfile(class QPainter& painter);

    Table* profile_;
    DataSource* profileSource_;
    DataSource* conditions_;
    QVector<Point> points_;
    int deepest_ = -1;
    int depthUnit_ = 0;
};
