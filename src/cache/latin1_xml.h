#pragma once

#include <QByteArray>
#include <QDomDocument>

// The declaration every store file starts with.
inline constexpr char kLatin1XmlDeclaration[] =
    R"(<?xml version="1.0" encoding="iso-8859-1" standalone="no"?>)";

// The bytes of `doc` as ISO-8859-1 with its declaration, characters outside Latin-1 written
// as numeric character references. Only the root element with its attributes, elements and
// text is written (CDATA as plain text); comments and processing instructions carry no data.
// Throws AppError for an element or attribute name that ISO-8859-1 cannot hold.
QByteArray toLatin1Xml(const QDomDocument& doc);
