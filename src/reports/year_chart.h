#pragma once

#include <QMap>
#include <QWidget>

// Bars of dives per year, oldest year on the left, every year between the first and the last
// shown (a year without dives as an empty place), each bar with its count above it.
class YearChart : public QWidget {
    Q_OBJECT
public:
    explicit YearChart(QWidget* parent = nullptr);

    void setCounts(const QMap<int, int>& divesPerYear);
    const QMap<int, int>& counts() const { return counts_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QMap<int, int> counts_;
};
