#pragma once

#include "interchange/exchange_dive.h"
#include "interchange/xml_input.h"

#include <QString>
#include <optional>
#include <vector>

class QIODevice;

// The dives of one log file, read and checked, not yet in the tables.
struct LogFile {
    QString format;   // "UDDF 3.2.1", "Subsurface XML 3"
    QString program;  // the program that wrote the file, when it says
    std::vector<ExchangeDive> dives;
    ExchangeCounts counts;
    int divesLeftOut = 0;  // dives without a date
};

// Reads the dive logs other programs write: UDDF 3.x (a minor version newer than 3.2 as far
// as it is understood) and the XML log of Subsurface (versions 1 to 3), with or without
// namespaces. Throws AppError naming the line for a file that is not well-formed XML or not one
// of these formats; returns nothing when stopped through `progress`.
namespace LogReader {

std::optional<LogFile> read(const QString& path, const ReadProgress& progress = {});
std::optional<LogFile> read(QIODevice* device, qint64 size, const ReadProgress& progress = {});

}  // namespace LogReader
