#include "ui/main/main_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>
#include <functional>

namespace MainIcons {
namespace {

constexpr qreal kGrid = 32.0;  // every picture is drawn on a 32 x 32 grid
const QColor kOutline(60, 60, 60);

using Drawing = std::function<void(QPainter&)>;

QIcon drawn(const Drawing& draw) {
    QIcon icon;
    for (int size : {16, 20, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / kGrid, size / kGrid);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QLinearGradient verticalGradient(const QRectF& rect, const QColor& color) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, color.lighter(135));
    gradient.setColorAt(1, color.darker(115));
    return gradient;
}

void disc(QPainter& p, const QColor& color) {
    const QRectF rect(3, 3, 26, 26);
    p.setPen(QPen(color.darker(140), 1.2));
    p.setBrush(verticalGradient(rect, color));
    p.drawEllipse(rect);
}

void whiteStroke(QPainter& p, qreal width) {
    p.setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
}

void arrowHead(QPainter& p, const QColor& color, const QPolygonF& head) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(head);
}

}  // namespace

QIcon synchronize() {
    return drawn([](QPainter& p) {
        const QColor blue(40, 110, 205);
        const QRectF ring(6, 6, 20, 20);
        p.setPen(QPen(blue, 3.4, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(ring, 35 * 16, 135 * 16);
        p.drawArc(ring, 215 * 16, 135 * 16);
        arrowHead(p, blue, QPolygonF({{1.5, 14}, {10.5, 14}, {6, 21}}));
        arrowHead(p, blue, QPolygonF({{21.5, 18}, {30.5, 18}, {26, 11}}));
    });
}

QIcon print() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(kOutline, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3.5, 14, 10));
        const QRectF body(3.5, 11.5, 25, 12);
        p.setBrush(verticalGradient(body, QColor(150, 155, 165)));
        p.drawRoundedRect(body, 2.5, 2.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 19.5, 14, 9));
        p.setPen(QPen(QColor(120, 120, 120), 1));
        p.drawLine(QPointF(11.5, 23), QPointF(20.5, 23));
        p.drawLine(QPointF(11.5, 25.5), QPointF(18, 25.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(80, 200, 80));
        p.drawEllipse(QRectF(23, 14.5, 3, 3));
    });
}

QIcon addDive() {
    return drawn([](QPainter& p) {
        disc(p, QColor(50, 160, 60));
        whiteStroke(p, 4);
        p.drawLine(QPointF(16, 9.5), QPointF(16, 22.5));
        p.drawLine(QPointF(9.5, 16), QPointF(22.5, 16));
    });
}

QIcon deleteDive() {
    return drawn([](QPainter& p) {
        disc(p, QColor(210, 55, 50));
        whiteStroke(p, 4);
        p.drawLine(QPointF(11, 11), QPointF(21, 21));
        p.drawLine(QPointF(21, 11), QPointF(11, 21));
    });
}

QIcon lock() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(120, 125, 135), 3.5, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath shackle;
        shackle.moveTo(10.5, 15);
        shackle.lineTo(10.5, 10.5);
        shackle.arcTo(QRectF(10.5, 4, 11, 13), 180, -180);
        shackle.lineTo(21.5, 15);
        p.drawPath(shackle);
        const QRectF body(5.5, 14, 21, 15);
        p.setPen(QPen(QColor(150, 105, 20), 1.2));
        p.setBrush(verticalGradient(body, QColor(230, 170, 45)));
        p.drawRoundedRect(body, 2.5, 2.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(90, 60, 10));
        p.drawEllipse(QRectF(14, 18, 4, 4));
        p.drawRect(QRectF(15, 21, 2, 4.5));
    });
}

QIcon memberInformation() {
    return drawn([](QPainter& p) {
        const QColor blue(55, 105, 180);
        p.setPen(QPen(blue.darker(140), 1.2));
        const QRectF head(10.5, 3.5, 11, 11);
        p.setBrush(verticalGradient(head, blue));
        p.drawEllipse(head);
        QPainterPath shoulders;
        shoulders.moveTo(4, 29);
        shoulders.cubicTo(4, 19, 9, 16.5, 16, 16.5);
        shoulders.cubicTo(23, 16.5, 28, 19, 28, 29);
        shoulders.closeSubpath();
        p.setBrush(verticalGradient(QRectF(4, 16.5, 24, 12.5), blue));
        p.drawPath(shoulders);
    });
}

QIcon environmentOptions() {
    return drawn([](QPainter& p) {
        QPainterPath gear;
        gear.setFillRule(Qt::WindingFill);
        gear.addEllipse(QPointF(16, 16), 9.5, 9.5);
        for (int tooth = 0; tooth < 8; ++tooth) {
            QTransform turn;
            turn.translate(16, 16).rotate(tooth * 45.0);
            gear.addPolygon(turn.map(QPolygonF(QRectF(-2.8, -13.5, 5.6, 6))));
        }
        QPainterPath hole;
        hole.addEllipse(QPointF(16, 16), 4, 4);
        const QColor grey(105, 120, 140);
        p.setPen(QPen(grey.darker(150), 1));
        p.setBrush(verticalGradient(QRectF(2, 2, 28, 28), grey));
        p.drawPath(gear.simplified().subtracted(hole));
    });
}

QIcon hidePanel() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(70, 70, 70), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 10), QPointF(22, 22));
        p.drawLine(QPointF(22, 10), QPointF(10, 22));
    });
}

}  // namespace MainIcons
