#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Rows of a CSV text (RFC 4180: fields separated by commas, quoted fields may hold commas,
// line breaks and doubled quotes), read as UTF-8; a leading byte order mark is skipped and
// empty lines are left out.
QList<QStringList> parseCsv(const QByteArray& bytes);
