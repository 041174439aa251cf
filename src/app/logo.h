#pragma once

#include <QColor>
#include <QPixmap>

// The product logo (200 x 60) and the colours of the band it stands on, shared by the splash
// and the About window.
namespace Logo {
inline const QColor kBandColour{98, 134, 225};
QPixmap picture();
}  // namespace Logo
