#pragma once

#include <QColor>
#include <QPixmap>
#include <QRectF>

class QPainter;

// The product logo and the colour of the band it stands on, shared by the splash, the About
// window and the printed log pages.
namespace Logo {
inline const QColor kBandColour{98, 134, 225};
// The logo drawn into `area` (designed at 200 x 60; other sizes scale it), on the band colour.
void paint(QPainter& painter, const QRectF& area);
// The logo at its design size, 200 x 60 pixels.
QPixmap picture();
}  // namespace Logo
