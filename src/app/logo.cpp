#include "app/logo.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace Logo {

QPixmap picture() {
    QPixmap pixmap(200, 60);
    pixmap.fill(kBandColour);
    QPainter p(&pixmap);
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
    QFont font(QStringLiteral("DejaVu Sans"), 22, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 2, 200, 38), Qt::AlignCenter, QStringLiteral("NEREVA"));
    return pixmap;
}

}  // namespace Logo
