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

// A head and shoulders on the 32 x 32 grid.
void person(QPainter& p, const QColor& color) {
    p.setPen(QPen(color.darker(140), 1.2));
    const QRectF head(10.5, 3.5, 11, 11);
    p.setBrush(verticalGradient(head, color));
    p.drawEllipse(head);
    QPainterPath shoulders;
    shoulders.moveTo(4, 29);
    shoulders.cubicTo(4, 19, 9, 16.5, 16, 16.5);
    shoulders.cubicTo(23, 16.5, 28, 19, 28, 29);
    shoulders.closeSubpath();
    p.setBrush(verticalGradient(QRectF(4, 16.5, 24, 12.5), color));
    p.drawPath(shoulders);
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
    return drawn([](QPainter& p) { person(p, QColor(55, 105, 180)); });
}

// Two people: the diver's contacts.
QIcon contacts() {
    return drawn([](QPainter& p) {
        p.save();
        p.translate(9, 1);
        p.scale(0.72, 0.72);
        person(p, QColor(95, 150, 90));
        p.restore();
        p.translate(-2, 7);
        p.scale(0.78, 0.78);
        person(p, QColor(55, 105, 180));
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

QIcon webLink() {
    return drawn([](QPainter& p) {
        const QColor blue(40, 110, 205);
        disc(p, blue);
        p.setPen(QPen(QColor(255, 255, 255, 210), 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(11, 3.5, 10, 25));
        p.drawLine(QPointF(16, 3.5), QPointF(16, 28.5));
        p.drawLine(QPointF(4, 12), QPointF(28, 12));
        p.drawLine(QPointF(4, 20), QPointF(28, 20));
    });
}

QIcon certified() {
    return drawn([](QPainter& p) {
        const QColor gold(215, 160, 30);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 50, 45));
        p.drawPolygon(QPolygonF({{9, 18}, {5, 30}, {10, 27}, {13, 31}, {16, 20}}));
        p.drawPolygon(QPolygonF({{23, 18}, {27, 30}, {22, 27}, {19, 31}, {16, 20}}));
        const QRectF seal(5, 2, 22, 22);
        p.setPen(QPen(gold.darker(140), 1.2));
        p.setBrush(verticalGradient(seal, gold));
        p.drawEllipse(seal);
        whiteStroke(p, 3);
        p.drawPolyline(QPolygonF({{10.5, 13}, {14.5, 17}, {21.5, 9}}));
    });
}

QIcon buddyConfirmed() {
    return drawn([](QPainter& p) {
        const QColor green(50, 150, 70);
        const auto person = [&p, &green](qreal x) {
            p.setPen(QPen(green.darker(140), 1));
            const QRectF head(x + 3, 4, 8, 8);
            p.setBrush(verticalGradient(head, green));
            p.drawEllipse(head);
            QPainterPath body;
            body.moveTo(x, 24);
            body.cubicTo(x, 16, x + 3, 13.5, x + 7, 13.5);
            body.cubicTo(x + 11, 13.5, x + 14, 16, x + 14, 24);
            body.closeSubpath();
            p.setBrush(verticalGradient(QRectF(x, 13.5, 14, 10.5), green));
            p.drawPath(body);
        };
        person(2);
        person(15);
        const QRectF badge(17, 17, 14, 14);
        p.setPen(QPen(QColor(30, 90, 170), 1));
        p.setBrush(verticalGradient(badge, QColor(40, 110, 205)));
        p.drawEllipse(badge);
        whiteStroke(p, 2.2);
        p.drawPolyline(QPolygonF({{20.5, 24}, {23, 26.5}, {27.5, 21}}));
    });
}

QPixmap tank(int height) {
    const qreal width = height * 0.34;
    QPixmap pixmap(qCeil(width), height);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor yellow(235, 190, 40);
    // Valve and knob above the neck.
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(165, 170, 180));
    p.drawRect(QRectF(width * 0.38, 1.5, width * 0.24, height * 0.12));
    p.drawRoundedRect(QRectF(width * 0.18, height * 0.04, width * 0.64, height * 0.05), 1.5, 1.5);
    // The cylinder, lit from the left.
    const QRectF body(1.5, height * 0.12, width - 3, height * 0.88 - 1.5);
    QLinearGradient shade(body.topLeft(), body.topRight());
    shade.setColorAt(0, yellow.darker(110));
    shade.setColorAt(0.35, yellow.lighter(125));
    shade.setColorAt(1, yellow.darker(135));
    p.setPen(QPen(yellow.darker(160), 1));
    p.setBrush(shade);
    p.drawRoundedRect(body, body.width() / 2, body.width() / 2.4);
    // A band around the shoulder.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRect(QRectF(2, height * 0.28, width - 4, height * 0.05));
    return pixmap;
}

}  // namespace MainIcons
