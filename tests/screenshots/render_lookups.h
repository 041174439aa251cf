#pragma once

#include <QString>
#include <functional>

class QWidget;

// The directory look-ups for the screenshot renderer.
namespace RenderLookups {

// Writes a cache of several countries, regions, sites, operators and schools, and contacts whose
// names need more than Latin-1, into the data folder `appData`, before start-up reads it.
void writeSampleCache(const QString& appData);
// Renders each look-up dialog on each of its pages through `save`.
void render(const std::function<void(QWidget*, const QString&)>& save);

}  // namespace RenderLookups
