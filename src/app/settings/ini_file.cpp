#include "app/settings/ini_file.h"

#include "app/settings/atomic_file.h"

#include <QFile>
#include <QStringList>
#include <optional>

namespace {

struct IniText {
    QStringList lines;
    QString eol = QStringLiteral("\n");
};

IniText readLines(const QString& fileName) {
    IniText text;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return text;
    }
    const QString content = QString::fromLocal8Bit(file.readAll());
    if (content.contains(QLatin1String("\r\n"))) {
        text.eol = QStringLiteral("\r\n");
    }
    text.lines = content.split(QLatin1Char('\n'));
    for (QString& line : text.lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
    }
    if (!text.lines.isEmpty() && text.lines.last().isEmpty()) {
        text.lines.removeLast();
    }
    return text;
}

std::optional<QString> sectionName(const QString& line) {
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
        return t.mid(1, t.size() - 2).trimmed();
    }
    return std::nullopt;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The key of a "key=value" line, or nothing for comments and other lines.
std::optional<QString> keyName(const QString& line) {
    const QString t = line.trimmed();
    const int eq = t.indexOf(QLatin1Char('='));
    if (t.startsWith(QLatin1Char(';')) || eq <= 0) {
        return std::nullopt;
    }
    return t.left(eq).trimmed();
}

struct Location {
    int sectionLine = -1;  // header of the section, -1 when absent
    int keyLine = -1;      // the key's line, -1 when absent
    int lastEntry = -1;    // last non-blank line of the section
};

Location locate(const QStringList& lines, const QString& section, const QString& key) {
    Location loc;
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i])) {
            if (inSection) {
                break;
            }
            inSection = sameName(*name, section);
            if (inSection) {
                loc.sectionLine = loc.lastEntry = i;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (!lines[i].trimmed().isEmpty()) {
            loc.lastEntry = i;
        }
        const auto k = keyName(lines[i]);
        if (k && loc.keyLine < 0 && sameName(*k, key)) {
            loc.keyLine = i;
        }
    }
    return loc;
}

std::optional<QString> lookUp(const QString& fileName, const QString& section, const QString& key) {
    const IniText text = readLines(fileName);
    const Location loc = locate(text.lines, section, key);
    if (loc.keyLine < 0) {
        return std::nullopt;
    }
    const QString& line = text.lines[loc.keyLine];
    return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
}

}  // namespace

QString TIniFile::readString(const QString& section, const QString& key, const QString& def) const {
    return lookUp(fileName_, section, key).value_or(def);
}

int TIniFile::readInteger(const QString& section, const QString& key, int def) const {
    const auto text = lookUp(fileName_, section, key);
    if (!text) {
        return def;
    }
    bool ok = false;
    const int value = text->toInt(&ok, 10);
    return ok ? value : def;
}

bool TIniFile::readBool(const QString& section, const QString& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::valueExists(const QString& section, const QString& key) const {
    return lookUp(fileName_, section, key).has_value();
}

void TIniFile::writeString(const QString& section, const QString& key, const QString& value) {
    IniText text = readLines(fileName_);
    const Location loc = locate(text.lines, section, key);
    const QString entry = key + QLatin1Char('=') + value;
    if (loc.keyLine >= 0) {
        text.lines[loc.keyLine] = entry;
    } else if (loc.sectionLine >= 0) {
        text.lines.insert(loc.lastEntry + 1, entry);
    } else {
        text.lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
    }
    writeFileAtomically(fileName_, (text.lines.join(text.eol) + text.eol).toLocal8Bit());
}

void TIniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void TIniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
