#include "reports/year_chart.h"

#include <QPainter>

namespace {

constexpr int kMargin = 6;
constexpr int kMaxBarWidth = 36;
const QColor kBar(98, 134, 225);

}  // namespace

YearChart::YearChart(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void YearChart::setCounts(const QMap<int, int>& divesPerYear) {
    counts_ = divesPerYear;
    update();
}

QSize YearChart::sizeHint() const {
    return {360, 140};
}

void YearChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    p.setPen(palette().mid().color());
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (counts_.isEmpty()) {
        return;
    }
    const int firstYear = counts_.firstKey();
    const int years = counts_.lastKey() - firstYear + 1;
    int most = 0;
    for (int count : counts_) {
        most = qMax(most, count);
    }
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height();
    const QRect plot = rect().adjusted(kMargin, kMargin + line, -kMargin, -kMargin - line);
    const double slot = double(plot.width()) / years;
    const int barWidth = qMax(1, qMin(kMaxBarWidth, int(slot * 0.7)));
    // Label every year while they fit, else every second, fifth or tenth.
    const int labelWidth = metrics.horizontalAdvance(QStringLiteral("0000")) + 4;
    int labelEvery = 1;
    for (int step : {1, 2, 5, 10, 20, 50}) {
        labelEvery = step;
        if (slot * step >= labelWidth) {
            break;
        }
    }
    p.setPen(palette().mid().color());
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    for (int i = 0; i < years; ++i) {
        const int year = firstYear + i;
        const int count = counts_.value(year);
        const int centre = plot.left() + int(slot * i + slot / 2);
        const int height = most > 0 ? int(double(plot.height()) * count / most) : 0;
        const QRect bar(centre - barWidth / 2, plot.bottom() - height, barWidth, height);
        p.fillRect(bar, kBar);
        p.setPen(palette().text().color());
        if (count > 0 && slot >= metrics.horizontalAdvance(QString::number(count))) {
            p.drawText(QRect(centre - int(slot), bar.top() - line, int(2 * slot), line),
                       Qt::AlignHCenter | Qt::AlignBottom, QString::number(count));
        }
        if ((year - firstYear) % labelEvery == 0) {
            p.drawText(QRect(centre - labelWidth, plot.bottom() + 1, 2 * labelWidth, line),
                       Qt::AlignHCenter | Qt::AlignTop, QString::number(year));
        }
    }
}
