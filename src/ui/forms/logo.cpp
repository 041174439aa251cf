#include "ui/forms/logo.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace Logo {

namespace {
constexpr qreal kDesignWidth = 200;
constexpr qreal kDesignHeight = 60;
}  // namespace

void paint(QPainter& p, const QRectF& area) {
    p.save();
    p.fillRect(area, kBandColour);
    p.translate(area.topLeft());
    p.scale(area.width() / kDesignWidth, area.height() / kDesignHeight);
    p.setRenderHint(QPainter::Antialiasing);
    // Two waves under the name.
    for (int i = 0; i < 2; ++i) {
        QPainterPath wave;
        const int y = 44 + i * 7;
        wave.moveTo(10, y);
        for (int x = 10; x < 190; x += 20) {
            wave.quadTo(x + 5, y - 4, x + 10, y);
            wave.quadTo(x + 15, y + 4, x + 20, y);
        }
        p.setPen(QPen(QColor(255, 255, 255, i == 0 ? 230 : 140), 2));
        p.drawPath(wave);
    }
    // A path rather than text: it scales with the painter on every device alike.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(29);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    QPainterPath name;
    name.addText(0, 0, font, QStringLiteral("NEREVA"));
    const QRectF bounds = name.boundingRect();
    name.translate(QPointF(kDesignWidth / 2, 21) - bounds.center());
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(name);
    p.restore();
}

QPixmap picture() {
    QPixmap pixmap{int(kDesignWidth), int(kDesignHeight)};
    QPainter p(&pixmap);
    paint(p, pixmap.rect());
    return pixmap;
}

}  // namespace Logo
