#pragma once

#include <QString>
#include <functional>

class LogSnapshot;
class QIODevice;

// Told the dives written so far; answering false stops the writing.
using WriteProgress = std::function<bool(int done, int total)>;

// What goes at the head of a UDDF file: the program and the diver.
struct UddfHeader {
    QString programVersion;
    QString ownerName;  // the member's name
};

// Writing the dives of a snapshot out: UDDF 3.2 (valid against the published 3.2.3 schema;
// one repetition group per day; sites, buddies, dive bases, dive computers and gas mixes
// written once and linked by id) and CSV (RFC 4180, UTF-8 with a byte order mark, a header
// row of field names, one row per dive). Each returns false when stopped.
namespace LogWriters {

bool writeUddf(const LogSnapshot& log, const UddfHeader& header, QIODevice* device,
               const WriteProgress& progress = {});
bool writeCsv(const LogSnapshot& log, QIODevice* device, const WriteProgress& progress = {});

// Writes to `path` through a temporary file (nothing is left behind when stopped or failing).
// Throws IoError naming the file when it cannot be written; false when stopped.
bool saveUddf(const LogSnapshot& log, const UddfHeader& header, const QString& path,
              const WriteProgress& progress = {});
bool saveCsv(const LogSnapshot& log, const QString& path, const WriteProgress& progress = {});

}  // namespace LogWriters
