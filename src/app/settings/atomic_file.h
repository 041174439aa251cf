#pragma once

#include <QByteArray>
#include <QString>

// Writes `data` to a temporary file beside `path`, flushes it and renames it over `path`, so a
// crash never leaves a half-written file. The file is readable by its owner only.
// Throws IoError naming the file when it cannot be written. Safe to call from any thread.
void writeFileAtomically(const QString& path, const QByteArray& data);

// Creates one folder level, or takes an existing one, and makes it readable by its owner only;
// true when it exists afterwards.
bool makePrivateFolder(const QString& path);
