#pragma once

#include "interchange/log_reader.h"

class XmlInput;

// The XML log of Subsurface: version 3 with its dive sites listed apart and linked by uuid,
// versions 1 and 2 with the location inside each dive. Measures carry their unit ("30.2 m",
// "25.0 C", "200.0 bar", "12.0 l", "43:15 min"); of a dive recorded by several computers the
// first one's data is read.
namespace SubsurfaceReader {

// Reads the rest of a document whose root element (<divelog> or <dives>) has just been read.
LogFile read(XmlInput& input);

}  // namespace SubsurfaceReader
