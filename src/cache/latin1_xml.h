#pragma once

#include "cache/xml_tree.h"

#include <QByteArray>

// The declaration every store file starts with.
inline constexpr char kLatin1XmlDeclaration[] =
    R"(<?xml version="1.0" encoding="iso-8859-1" standalone="no"?>)";

// The bytes of `doc` as ISO-8859-1 with its declaration, characters outside Latin-1 written
// as numeric character references (and those XML cannot hold at all as U+FFFD). Each element is
// written with its attributes, its own text, then its children; the walk does not recurse, so
// any depth is written. Throws AppError for an element or attribute name that ISO-8859-1
// cannot hold.
QByteArray toLatin1Xml(const XmlDocument& doc);
