#pragma once

#include <QByteArray>
#include <QString>

// How far a write is flushed before it counts as done.
enum class FileSync {
    None,          // renamed into place; the system writes it to the disk in its own time
    File,          // the file's bytes flushed to the disk before the rename
    FileAndFolder  // also the folder entry after the rename, so the new file is the one kept
};

// Writes `data` to a temporary file beside `path` and renames it over `path`, so a crash never
// leaves a half-written file. The file is readable by its owner only.
// Throws IoError naming the file when it cannot be written. Safe to call from any thread.
void writeFileAtomically(const QString& path, const QByteArray& data,
                         FileSync sync = FileSync::File);

// Flushes a file already written to the disk; false when it cannot.
bool syncFile(const QString& path);

// Creates one folder level, or takes an existing one, and makes it readable by its owner only;
// true when it exists afterwards.
bool makePrivateFolder(const QString& path);
