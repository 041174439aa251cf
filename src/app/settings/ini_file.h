#pragma once

#include <QString>

// A settings file with the semantics of the Windows profile functions: every read looks the key
// up in the file, every write goes to the file at once, sections and keys are matched without
// regard to case, and lines the program does not know are kept as they are, byte for byte.
//
// The file is parsed once and kept, shared by every object on the same file, and parsed again
// only when it changed on disk, so a large file costs its size once rather than at every read.
// A write the file cannot take is kept in memory (reads see it), reported to WriteFailures and
// written with the next write.
class TIniFile {
public:
    explicit TIniFile(const QString& fileName) : fileName_(fileName) {}

    const QString& fileName() const { return fileName_; }

    QString readString(const QString& section, const QString& key, const QString& def) const;
    // A text that is not a whole number reads as `def`.
    int readInteger(const QString& section, const QString& key, int def) const;
    // Read as an integer; any non-zero value is true.
    bool readBool(const QString& section, const QString& key, bool def) const;
    bool valueExists(const QString& section, const QString& key) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

private:
    QString fileName_;
};
