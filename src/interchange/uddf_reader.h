#pragma once

#include "interchange/log_reader.h"

class XmlInput;

// UDDF 3.x, element names matched without their namespace. Sites, buddies, dive bases, dive
// computers and gas mixes may stand anywhere in the file; a dive's links to them are resolved
// once the whole file has been read.
namespace UddfReader {

// Reads the rest of a document whose root element <uddf> has just been read.
LogFile read(XmlInput& input);

}  // namespace UddfReader
