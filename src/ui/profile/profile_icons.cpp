#include "ui/profile/profile_icons.h"

#include "ui/main/main_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace ProfileIcons {
namespace {

constexpr qreal kGrid = 64.0;  // both pictures are drawn on a 64 x 64 grid
const QColor kPaper(252, 250, 240);
const QColor kInk(90, 90, 100);

QIcon paint(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap picture(size, size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / kGrid, size / kGrid);
        draw(painter);
        painter.end();
        icon.addPixmap(picture);
    }
    return icon;
}

void textLines(QPainter& p, qreal left, qreal right, std::initializer_list<qreal> heights) {
    p.setPen(QPen(kInk.lighter(150), 2.5, Qt::SolidLine, Qt::RoundCap));
    for (qreal y : heights) {
        p.drawLine(QPointF(left, y), QPointF(right, y));
    }
}

}  // namespace

QIcon member() {
    return MainIcons::memberInformation();
}

QIcon contactCard() {
    return paint([](QPainter& p) {
        p.setPen(QPen(kInk, 2));
        p.setBrush(kPaper);
        p.drawRoundedRect(QRectF(3, 11, 58, 42), 5, 5);
        const QColor blue(55, 105, 180);
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        p.drawEllipse(QRectF(11, 19, 13, 13));
        QPainterPath shoulders;
        shoulders.moveTo(8, 45);
        shoulders.cubicTo(8, 36, 12, 33.5, 17.5, 33.5);
        shoulders.cubicTo(23, 33.5, 27, 36, 27, 45);
        shoulders.closeSubpath();
        p.drawPath(shoulders);
        textLines(p, 33, 54, {23, 31, 39});
    });
}

QIcon certificate() {
    return paint([](QPainter& p) {
        p.setPen(QPen(kInk, 2));
        p.setBrush(kPaper);
        p.drawRect(QRectF(5, 9, 54, 40));
        p.setPen(QPen(QColor(180, 150, 60), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(9, 13, 46, 32));
        textLines(p, 15, 49, {21, 28});
        const QColor red(190, 40, 40);
        p.setPen(Qt::NoPen);
        p.setBrush(red.darker(110));
        p.drawPolygon(QPolygonF({{40, 44}, {36, 60}, {42, 56}, {46, 60}, {46, 44}}));
        p.drawPolygon(QPolygonF({{48, 44}, {48, 60}, {52, 56}, {58, 60}, {54, 44}}));
        p.setPen(QPen(red.darker(140), 1.2));
        p.setBrush(red);
        p.drawEllipse(QPointF(47, 42), 8, 8);
    });
}

}  // namespace ProfileIcons
