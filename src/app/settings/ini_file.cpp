#include "app/settings/ini_file.h"

#include "app/settings/app_error.h"
#include "app/settings/atomic_file.h"
#include "app/settings/write_failures.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <deque>
#include <memory>
#include <optional>

#include <sys/stat.h>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

QByteArrayView trimmed(QByteArrayView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

// Names match without regard to case: ASCII ones by their lower case, others by Unicode case
// folding.
QByteArray folded(QByteArrayView name) {
    for (const char c : name) {
        if (uchar(c) >= 0x80) {
            return QString::fromUtf8(name).toCaseFolded().toUtf8();
        }
    }
    return name.toByteArray().toLower();
}

std::optional<QByteArrayView> sectionName(QByteArrayView line) {
    const QByteArrayView t = trimmed(line);
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
        return trimmed(t.sliced(1, t.size() - 2));
    }
    return std::nullopt;
}

// The key of a "key=value" line, or nothing for comments and other lines.
std::optional<QByteArrayView> keyName(QByteArrayView line) {
    const QByteArrayView t = trimmed(line);
    const qsizetype eq = t.indexOf('=');
    if (t.startsWith(';') || eq <= 0) {
        return std::nullopt;
    }
    return trimmed(t.first(eq));
}

// What tells one state of the file on disk from another (a write by anyone changes it).
struct FileStamp {
    bool exists = false;
    qint64 device = 0;
    qint64 inode = 0;
    qint64 size = 0;
    qint64 modified = 0;  // ns
    qint64 changed = 0;   // ns

    bool operator==(const FileStamp& o) const {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               modified == o.modified && changed == o.changed;
    }
};

FileStamp stampOf(const QString& fileName) {
    struct stat st {};
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0) {
        return {};
    }
    constexpr qint64 kNs = 1000000000;
    return {true,
            qint64(st.st_dev),
            qint64(st.st_ino),
            qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * kNs + st.st_mtim.tv_nsec,
            qint64(st.st_ctim.tv_sec) * kNs + st.st_ctim.tv_nsec};
}

// The lines of one file and where its sections and keys are. Only the first section of a name
// counts, and in it the first line of a key, as the profile functions look them up. Lines are
// views into the file's bytes (changed and added lines into bytes of their own), and the keys of
// a section are indexed only once the section is looked up, so lines nobody asks for cost
// little more than their bytes.
class Image {
public:
    void load(const QString& fileName) {
        lines_.clear();
        owned_.clear();
        sections_.clear();
        sectionIndex_.clear();
        content_.clear();
        eol_ = "\n";
        stamp_ = stampOf(fileName);
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            return;
        }
        content_ = file.readAll();
        if (content_.contains("\r\n")) {
            eol_ = "\r\n";
        }
        const char* const data = content_.constData();
        qsizetype begin = 0;
        while (begin < content_.size()) {
            qsizetype end = content_.indexOf('\n', begin);
            const qsizetype next = end < 0 ? content_.size() : end + 1;
            end = end < 0 ? content_.size() : end;
            const qsizetype stop = end > begin && data[end - 1] == '\r' ? end - 1 : end;
            lines_.append(QByteArrayView(data + begin, stop - begin));
            begin = next;
        }
        indexSections();
    }

    const FileStamp& stamp() const { return stamp_; }
    void setStamp(const FileStamp& stamp) { stamp_ = stamp; }
    bool unwritten = false;  // holds a change the file could not take

    std::optional<QString> value(const QString& section, const QString& key) {
        Section* found = sectionNamed(folded(section.toUtf8()));
        if (!found) {
            return std::nullopt;
        }
        const auto k = found->keys.constFind(folded(key.toUtf8()));
        if (k == found->keys.cend()) {
            return std::nullopt;
        }
        const QByteArrayView line = lines_[*k];
        return QString::fromUtf8(line.sliced(line.indexOf('=') + 1)).trimmed();
    }

    void set(const QString& section, const QString& key, const QString& value) {
        const QByteArrayView entry = own(key.toUtf8() + '=' + value.toUtf8());
        const QByteArray sectionKey = folded(section.toUtf8());
        const QByteArray keyKey = folded(key.toUtf8());
        Section* found = sectionNamed(sectionKey);
        if (!found) {
            const int header = int(lines_.size());
            Section added{header, header + 2, header + 1, true, {}};
            added.keys.insert(keyKey, header + 1);
            lines_ << own('[' + section.toUtf8() + ']') << entry;
            sectionIndex_.insert(sectionKey, int(sections_.size()));
            sections_.append(added);
            return;
        }
        const auto k = found->keys.constFind(keyKey);
        if (k != found->keys.cend()) {
            lines_[*k] = entry;
            return;
        }
        const int at = found->lastEntry + 1;
        lines_.insert(at, entry);
        shiftFrom(at);
        found->lastEntry = at;
        found->keys.insert(keyKey, at);
    }

    QByteArray bytes() const {
        qsizetype size = 0;
        for (const QByteArrayView line : lines_) {
            size += line.size() + eol_.size();
        }
        QByteArray out;
        out.reserve(size);
        for (const QByteArrayView line : lines_) {
            out += line;
            out += eol_;
        }
        return out;
    }

private:
    struct Section {
        int header;
        int end;        // the next section's header, or the end of the file
        int lastEntry;  // the last line that is not blank
        bool indexed;   // lastEntry and keys are known
        QHash<QByteArray, int> keys;
    };

    QByteArrayView own(QByteArray line) {
        owned_.push_back(std::move(line));
        return owned_.back();
    }

    void indexSections() {
        int open = -1;  // the section whose end is still to be found
        for (int i = 0; i < lines_.size(); ++i) {
            const QByteArrayView line = trimmed(lines_[i]);
            if (line.isEmpty() || line.front() != '[') {
                continue;
            }
            const auto name = sectionName(line);
            if (!name) {
                continue;
            }
            if (open >= 0) {
                sections_[open].end = i;
                open = -1;
            }
            const QByteArray key = folded(*name);
            if (!sectionIndex_.contains(key)) {
                sectionIndex_.insert(key, int(sections_.size()));
                sections_.append(Section{i, int(lines_.size()), i, false, {}});
                open = int(sections_.size()) - 1;
            }
        }
    }

    Section* sectionNamed(const QByteArray& key) {
        const int s = sectionIndex_.value(key, -1);
        if (s < 0) {
            return nullptr;
        }
        Section& section = sections_[s];
        if (!section.indexed) {
            for (int i = section.header + 1; i < section.end; ++i) {
                const QByteArrayView line = lines_[i];
                if (!trimmed(line).isEmpty()) {
                    section.lastEntry = i;
                }
                if (const auto name = keyName(line)) {
                    const QByteArray key = folded(*name);
                    if (!section.keys.contains(key)) {
                        section.keys.insert(key, i);
                    }
                }
            }
            section.indexed = true;
        }
        return &section;
    }

    // A line was inserted at `at`: the lines from there on moved down by one.
    void shiftFrom(int at) {
        for (Section& section : sections_) {
            section.header += section.header >= at;
            section.end += section.end >= at;
            section.lastEntry += section.lastEntry >= at;
            for (int& line : section.keys) {
                line += line >= at;
            }
        }
    }

    QByteArray content_;            // the file as read; most lines are views into it
    std::deque<QByteArray> owned_;  // lines written since (a deque keeps them in place)
    QVector<QByteArrayView> lines_;
    QByteArray eol_ = "\n";
    QVector<Section> sections_;  // in file order
    QHash<QByteArray, int> sectionIndex_;
    FileStamp stamp_;
};

// The images of the files in use, by absolute path.
QMutex& imagesLock() {
    static QMutex lock;
    return lock;
}

QHash<QString, std::shared_ptr<Image>>& images() {
    static QHash<QString, std::shared_ptr<Image>> all;
    return all;
}

// The file's image, parsed again when the file changed on disk (unless it holds a change the
// file could not take: the diver's change wins). Call with imagesLock() held.
Image& imageOf(const QString& path) {
    std::shared_ptr<Image>& image = images()[path];
    if (!image) {
        image = std::make_shared<Image>();
        image->load(path);
    } else if (!image->unwritten && !(image->stamp() == stampOf(path))) {
        image->load(path);
    }
    return *image;
}

QString pathOf(const QString& fileName) {
    return QFileInfo(fileName).absoluteFilePath();
}

std::optional<QString> lookUp(const QString& fileName, const QString& section, const QString& key) {
    QMutexLocker lock(&imagesLock());
    return imageOf(pathOf(fileName)).value(section, key);
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
    const QString path = pathOf(fileName_);
    std::optional<QString> failure;
    {
        QMutexLocker lock(&imagesLock());
        Image& image = imageOf(path);
        image.set(section, key, value);
        try {
            writeFileAtomically(fileName_, image.bytes());
            image.unwritten = false;
            image.setStamp(stampOf(path));
        } catch (const IoError& e) {
            image.unwritten = true;
            failure = e.message();
        }
    }
    // Reported outside the lock: the report may show a window whose owner reads settings.
    if (failure) {
        WriteFailures::failed(fileName_, *failure);
    } else {
        WriteFailures::succeeded(fileName_);
    }
}

void TIniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void TIniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
