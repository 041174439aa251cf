#include "ui/main/dive_profile_view.h"

#include "dictionary/tdm_idioma.h"
#include "store/data_source.h"
#include "store/table.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kLeftMargin = 48;
constexpr int kTopMargin = 24;
constexpr int kRightMargin = 40;  // room for the time unit after the last minute
constexpr int kBottomMargin = 26;
constexpr int kImperial = 2;
const QColor kLine(24, 86, 160);
const QColor kWaterTop(120, 170, 225, 70);
const QColor kWaterDeep(30, 90, 170, 130);
const QColor kDeepest(200, 40, 40);
const QColor kAlarm(235, 140, 0);

// A step of 1, 2 or 5 times a power of ten that cuts `range` into about `wanted` parts.
double niceStep(double range, int wanted) {
    if (range <= 0) {
        return 1;
    }
    const double rough = range / wanted;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough) {
            return factor * power;
        }
    }
    return 10 * power;
}

QString number(double value) {
    return QString::number(value, 'f', value == std::floor(value) ? 0 : 1);
}

// Maps minutes and depths into the plot area, depth growing downwards.
struct Scale {
    QRectF plot;
    double minutes;
    double depth;

    QPointF at(double minute, double depthValue) const {
        return {plot.left() + minute / minutes * plot.width(),
                plot.top() + depthValue / depth * plot.height()};
    }
};

}  // namespace

DiveProfileView::DiveProfileView(Table* profile, DataSource* conditions, QWidget* parent)
    : QWidget(parent),
      profile_(profile),
      profileSource_(new DataSource(profile, this)),
      conditions_(conditions) {
    setObjectName(QStringLiteral("DiveProfileView"));
    setAutoFillBackground(false);
    connect(profileSource_, &DataSource::dataChange, this, [this](const QString& field) {
        if (field.isEmpty()) {
            reload();
        }
    });
    if (conditions_) {
        connect(conditions_, &DataSource::dataChange, this, [this](const QString& field) {
            if (field.isEmpty() ||
                field.compare(QLatin1String("depth_unit"), Qt::CaseInsensitive) == 0) {
                reload();
            }
        });
    }
    reload();
}

QString DiveProfileView::depthUnit() const {
    return depthUnit_ == kImperial ? QStringLiteral("ft") : QStringLiteral("m");
}

QSize DiveProfileView::sizeHint() const {
    return {420, 220};
}

QSize DiveProfileView::minimumSizeHint() const {
    return {200, 120};
}

// The rows the profile table shows are the current dive's: it finds them through its order
// by dive, so this reads only those.
void DiveProfileView::reload() {
    points_.clear();
    deepest_ = -1;
    Table* conditions = conditions_ ? conditions_->dataSet() : nullptr;
    depthUnit_ = conditions && conditions->active() && conditions->recordCount() > 0
                     ? conditions->asInteger(QStringLiteral("depth_unit"))
                     : 0;
    if (profile_ && profile_->active()) {
        const int timeField = profile_->fieldIndex(QStringLiteral("time"));
        const int depthField = profile_->fieldIndex(QStringLiteral("depth"));
        const int alarmField = profile_->fieldIndex(QStringLiteral("alarm"));
        const int rows = profile_->recordCount();
        points_.reserve(rows);
        for (int row = 0; row < rows; ++row) {
            const QVariant time = profile_->valueAt(row, timeField);
            const QVariant depth = profile_->valueAt(row, depthField);
            if (time.isValid() && depth.isValid()) {
                points_.append(
                    {time.toInt(), depth.toDouble(), profile_->valueAt(row, alarmField).toInt()});
            }
        }
        std::stable_sort(points_.begin(), points_.end(),
                         [](const Point& a, const Point& b) { return a.time < b.time; });
    }
    const auto deepest =
        std::max_element(points_.cbegin(), points_.cend(),
                         [](const Point& a, const Point& b) { return a.depth < b.depth; });
    deepest_ = deepest == points_.cend() ? -1 : int(deepest - points_.cbegin());
    update();
}

void DiveProfileView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().base());
    if (points_.size() < 2) {
        paintEmpty(painter);
    } else {
        paintProfile(painter);
    }
}

void DiveProfileView::paintEmpty(QPainter& painter) {
    const QString text = dmIdioma ? dmIdioma->GetWord(QStringLiteral("no_profile")) : QString();
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                     text.isEmpty() ? QStringLiteral("no_profile") : text);
}

void DiveProfileView::paintProfile(QPainter& painter) {
    const Point& deepest = points_[deepest_];
    const double lastMinute = std::max(points_.last().time / 60.0, 1.0);
    const double depthStep = niceStep(std::max(deepest.depth, 1.0), 5);
    const double minuteStep = std::max(1.0, niceStep(lastMinute, 8));
    const Scale scale{
        QRectF(rect()).adjusted(kLeftMargin, kTopMargin, -kRightMargin, -kBottomMargin),
        std::ceil(lastMinute / minuteStep) * minuteStep,
        std::ceil(deepest.depth * 1.08 / depthStep) * depthStep};
    const QRectF& plot = scale.plot;
    const QColor text = palette().color(QPalette::Text);
    QColor grid = palette().color(QPalette::Mid);
    grid.setAlpha(110);

    // Grid and scales.
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    painter.setFont(small);
    const QFontMetrics metrics(small);
    for (double d = 0; d <= scale.depth + depthStep / 2; d += depthStep) {
        const double y = scale.at(0, d).y();
        painter.setPen(QPen(grid, 1, d == 0 ? Qt::SolidLine : Qt::DotLine));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(text);
        painter.drawText(QRectF(0, y - metrics.height() / 2.0, kLeftMargin - 6, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, number(d));
    }
    for (double m = 0; m <= scale.minutes + minuteStep / 2; m += minuteStep) {
        const double x = scale.at(m, 0).x();
        painter.setPen(QPen(grid, 1, m == 0 ? Qt::SolidLine : Qt::DotLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(text);
        painter.drawText(QRectF(x - 30, plot.bottom() + 4, 60, metrics.height()),
                         Qt::AlignHCenter | Qt::AlignTop, number(m));
    }
    painter.drawText(QRectF(0, 4, kLeftMargin - 6, metrics.height()), Qt::AlignRight | Qt::AlignTop,
                     depthUnit());
    const QString lastMinuteText = number(scale.minutes);
    painter.drawText(QRectF(plot.right() + metrics.horizontalAdvance(lastMinuteText) / 2.0 + 4,
                            plot.bottom() + 4, kRightMargin, metrics.height()),
                     Qt::AlignLeft | Qt::AlignTop, QStringLiteral("min"));

    // The water above the profile, then its line.
    QPainterPath line(scale.at(points_.first().time / 60.0, points_.first().depth));
    for (const Point& point : points_) {
        line.lineTo(scale.at(point.time / 60.0, point.depth));
    }
    QPainterPath water = line;
    water.lineTo(scale.at(points_.last().time / 60.0, 0));
    water.lineTo(scale.at(points_.first().time / 60.0, 0));
    water.closeSubpath();
    QLinearGradient shade(plot.topLeft(), plot.bottomLeft());
    shade.setColorAt(0, kWaterTop);
    shade.setColorAt(1, kWaterDeep);
    painter.fillPath(water, shade);
    painter.strokePath(line, QPen(kLine, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));

    // Alarms, then the deepest point with its depth.
    painter.setPen(QPen(kAlarm.darker(130), 1));
    painter.setBrush(kAlarm);
    for (const Point& point : points_) {
        if (point.alarm != 0) {
            const QPointF at = scale.at(point.time / 60.0, point.depth);
            painter.drawPolygon(
                QPolygonF({at + QPointF(-4, -9), at + QPointF(4, -9), at + QPointF(0, -2)}));
        }
    }
    const QPointF bottom = scale.at(deepest.time / 60.0, deepest.depth);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(kDeepest);
    painter.drawEllipse(bottom, 4.5, 4.5);
    const QString label = QString::number(deepest.depth, 'f', 1) + QLatin1Char(' ') + depthUnit();
    QRectF box(0, 0, metrics.horizontalAdvance(label) + 8, metrics.height() + 2);
    box.moveTopLeft(bottom + QPointF(7, -box.height() - 4));
    if (box.right() > plot.right()) {
        box.moveRight(bottom.x() - 7);
    }
    if (box.top() < plot.top()) {
        box.moveTop(bottom.y() + 6);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 210));
    painter.drawRoundedRect(box, 3, 3);
    painter.setPen(kDeepest.darker(120));
    painter.drawText(box, Qt::AlignCenter, label);
}
