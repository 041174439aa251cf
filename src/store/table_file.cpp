#include "store/table_file.h"

#include "app/settings/app_error.h"
#include "app/settings/xml_chars.h"

#include <QDate>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

// The reader is a small scanner for exactly this shape of XML rather than a general parser:
// it reads the file several times faster, which is what keeps a large log quick to open.

namespace {

constexpr qint64 kMsecsPerDay = 86400000;
const char kRowTag[] = "row";
const char kRootTag[] = "table";

// ---------------------------------------------------------------------------------------------
// Writing

class Writer {
public:
    explicit Writer(qsizetype estimate) { out_.reserve(estimate); }

    void raw(const char* text) { out_.append(text, qsizetype(std::strlen(text))); }
    void raw(const char* text, qsizetype size) { out_.append(text, size); }

    void integer(qint64 value) {
        char buffer[24];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        raw(buffer, result.ptr - buffer);
    }
    void real(double value) {
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        raw(buffer, result.ptr - buffer);
    }
    void date(qint64 julianDay) {
        int year = 0;
        int month = 0;
        int day = 0;
        QDate::fromJulianDay(julianDay).getDate(&year, &month, &day);
        if (year < 0) {
            raw("-");
            year = -year;
        }
        padded(year, 4);
        raw("-");
        padded(month, 2);
        raw("-");
        padded(day, 2);
    }
    void time(qint64 msecs) {
        padded(int(msecs / 3600000), 2);
        raw(":");
        padded(int(msecs / 60000 % 60), 2);
        raw(":");
        padded(int(msecs / 1000 % 60), 2);
        if (msecs % 1000) {
            raw(".");
            padded(int(msecs % 1000), 3);
        }
    }
    void dateTime(qint64 msecs) {
        const qint64 day = msecs >= 0 ? msecs / kMsecsPerDay : -((-msecs - 1) / kMsecsPerDay) - 1;
        date(day);
        raw("T");
        time(msecs - day * kMsecsPerDay);
    }
    // UTF-16 to UTF-8 with the characters an attribute value cannot hold as references.
    void text(QStringView text) {
        const char16_t* s = text.utf16();
        const qsizetype size = text.size();
        for (qsizetype i = 0; i < size; ++i) {
            const char16_t c = s[i];
            if (c >= 0x80) {
                i += nonAscii(s, i, size);
            } else if (c < 0x20) {
                // Tab and line ends as references, so a reader keeps them; the other controls
                // XML cannot carry at all, and a file holding one would be refused.
                if (!XmlChars::isForbiddenUnit(c)) {
                    characterReference(c);
                }
            } else if (c == u'&') {
                raw("&amp;", 5);
            } else if (c == u'<') {
                raw("&lt;", 4);
            } else if (c == u'>') {
                raw("&gt;", 4);
            } else if (c == u'"') {
                raw("&quot;", 6);
            } else {
                out_.append(char(c));
            }
        }
    }

    QByteArray take() { return std::move(out_); }

private:
    void padded(int value, int width) {
        char buffer[16];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        for (qsizetype n = result.ptr - buffer; n < width; ++n) {
            out_.append('0');
        }
        raw(buffer, result.ptr - buffer);
    }
    void characterReference(char16_t c) {
        raw("&#");
        integer(c);
        raw(";");
    }
    // Writes the character at s[i]; returns how many extra code units it used.
    int nonAscii(const char16_t* s, qsizetype i, qsizetype size) {
        char32_t c = s[i];
        int extra = 0;
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(s[i + 1])) {
            c = QChar::surrogateToUcs4(char16_t(c), s[i + 1]);
            extra = 1;
        } else if (QChar::isSurrogate(c)) {
            c = 0xFFFD;  // a lone surrogate has no UTF-8 form
        } else if (XmlChars::isForbiddenUnit(char16_t(c))) {
            return 0;
        }
        char bytes[4];
        int n = 0;
        if (c < 0x800) {
            bytes[n++] = char(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            bytes[n++] = char(0xE0 | (c >> 12));
            bytes[n++] = char(0x80 | ((c >> 6) & 0x3F));
        } else {
            bytes[n++] = char(0xF0 | (c >> 18));
            bytes[n++] = char(0x80 | ((c >> 12) & 0x3F));
            bytes[n++] = char(0x80 | ((c >> 6) & 0x3F));
        }
        bytes[n++] = char(0x80 | (c & 0x3F));
        raw(bytes, n);
        return extra;
    }

    QByteArray out_;
};

void writeValue(Writer& out, const RecordLayout& layout, const Row& row, int field) {
    switch (layout.field(field).type) {
        case FieldType::SmallInt:
        case FieldType::Integer:
        case FieldType::AutoInc:
            out.integer(layout.integer(row, field));
            break;
        case FieldType::Float:
            out.real(layout.real(row, field));
            break;
        case FieldType::Date:
            out.date(layout.integer(row, field));
            break;
        case FieldType::Time:
            out.time(layout.integer(row, field));
            break;
        case FieldType::DateTime:
            out.dateTime(layout.integer(row, field));
            break;
        case FieldType::String:
        case FieldType::Memo:
            out.text(layout.text(row, field));
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// Reading

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == ':' || uchar(c) >= 0x80;
}

bool sameNameIgnoringCase(const QByteArray& known, const char* name, qsizetype size) {
    return known.size() == size && qstrnicmp(known.constData(), name, size_t(size)) == 0;
}

class Parser {
public:
    Parser(const QByteArray& bytes, const RecordLayout& layout, const QString& tableName,
           const QString& fileName)
        : begin_(bytes.constData()),
          p_(begin_),
          end_(begin_ + bytes.size()),
          layout_(layout),
          tableName_(tableName),
          fileName_(fileName),
          builder_(layout) {
        for (const FieldDef& field : layout.fields()) {
            names_.append(field.name.toLatin1());
        }
    }

    TableData run() {
        TableData data;
        skipPrologue();
        readRoot(data);
        quint64 id = 0;
        qint64 highestAutoInc = 0;
        while (readRowStart()) {
            builder_.reset();
            readRowFields();
            Row row = builder_.build(++id);
            const int autoInc = layout_.autoIncField();
            if (autoInc >= 0 && !layout_.isNull(row, autoInc)) {
                highestAutoInc = qMax(highestAutoInc, layout_.integer(row, autoInc));
            }
            data.rows.append(std::move(row));
        }
        skipMisc();
        if (p_ != end_) {
            fail(QStringLiteral("unexpected text after the end of the table"));
        }
        data.nextAutoInc = qMax(data.nextAutoInc, highestAutoInc + 1);
        return data;
    }

private:
    [[noreturn]] void fail(const QString& what) const {
        const qsizetype offset = qMin(p_, end_) - begin_;
        const qsizetype line = 1 + std::count(begin_, begin_ + offset, '\n');
        throw AppError(QStringLiteral("Cannot read table file \"%1\": %2 (line %3).")
                           .arg(fileName_, what)
                           .arg(line));
    }
    [[noreturn]] void failField(int field, const QString& what) const {
        fail(QStringLiteral("field %1 of table %2: %3")
                 .arg(layout_.field(field).name, tableName_, what));
    }

    bool at(const char* literal) const {
        const size_t size = std::strlen(literal);
        return size_t(end_ - p_) >= size && std::memcmp(p_, literal, size) == 0;
    }
    void expect(const char* literal) {
        if (!at(literal)) {
            fail(p_ == end_ ? QStringLiteral("the file ends too early")
                            : QStringLiteral("\"%1\" expected").arg(QLatin1String(literal)));
        }
        p_ += std::strlen(literal);
    }
    void skipSpace() {
        while (p_ != end_ && isSpace(*p_)) {
            ++p_;
        }
    }
    void skipPast(const char* terminator) {
        const size_t size = std::strlen(terminator);
        for (; size_t(end_ - p_) >= size; ++p_) {
            if (std::memcmp(p_, terminator, size) == 0) {
                p_ += size;
                return;
            }
        }
        p_ = end_;
        fail(QStringLiteral("the file ends too early"));
    }
    // Blanks, comments and processing instructions between elements.
    void skipMisc() {
        for (;;) {
            skipSpace();
            if (at("<!--")) {
                skipPast("-->");
            } else if (at("<?")) {
                skipPast("?>");
            } else {
                return;
            }
        }
    }
    void skipPrologue() {
        if (at("\xEF\xBB\xBF")) {
            p_ += 3;
        }
        skipMisc();
        if (at("<!")) {
            fail(QStringLiteral("document type declarations are not accepted"));
        }
    }
    QByteArray readName() {
        const char* start = p_;
        while (p_ != end_ && isNameChar(*p_)) {
            ++p_;
        }
        if (p_ == start) {
            fail(QStringLiteral("a name expected"));
        }
        return QByteArray::fromRawData(start, p_ - start);
    }
    // Reads one attribute; false at the end of the tag (p_ then at "/>" or ">").
    bool readAttribute(const char** name, qsizetype* nameSize, const char** value,
                       const char** valueEnd) {
        skipSpace();
        if (p_ == end_) {
            fail(QStringLiteral("the file ends too early"));
        }
        if (*p_ == '>' || *p_ == '/') {
            return false;
        }
        const QByteArray attribute = readName();
        *name = attribute.constData();
        *nameSize = attribute.size();
        skipSpace();
        expect("=");
        skipSpace();
        if (p_ == end_ || (*p_ != '"' && *p_ != '\'')) {
            fail(QStringLiteral("a quoted value expected"));
        }
        const char quote = *p_++;
        const auto* close = static_cast<const char*>(std::memchr(p_, quote, size_t(end_ - p_)));
        if (!close) {
            p_ = end_;
            fail(QStringLiteral("the file ends too early"));
        }
        if (std::memchr(p_, '<', size_t(close - p_))) {
            fail(QStringLiteral("\"<\" inside an attribute value"));
        }
        *value = p_;
        *valueEnd = close;
        p_ = close + 1;
        if (p_ != end_ && !isSpace(*p_) && *p_ != '>' && *p_ != '/') {
            fail(QStringLiteral("a blank expected between attributes"));
        }
        return true;
    }
    // Ends a start tag; true when it was empty ("/>").
    bool endStartTag() {
        if (at("/>")) {
            p_ += 2;
            return true;
        }
        expect(">");
        return false;
    }
    void endElement(const char* tag) {
        skipMisc();
        expect("</");
        expect(tag);
        skipSpace();
        expect(">");
    }

    void readRoot(TableData& data) {
        expect("<");
        if (readName() != kRootTag) {
            fail(QStringLiteral("the root element is not <table>"));
        }
        QString name;
        const char* attribute;
        qsizetype attributeSize;
        const char* value;
        const char* valueEnd;
        while (readAttribute(&attribute, &attributeSize, &value, &valueEnd)) {
            const QByteArray key = QByteArray::fromRawData(attribute, attributeSize);
            if (key == "name") {
                name = decodeText(value, valueEnd).toString();
            } else if (key == "autoinc") {
                data.nextAutoInc = parseInteger(value, valueEnd, -1);
            }
        }
        if (name.compare(tableName_, Qt::CaseInsensitive) != 0) {
            fail(QStringLiteral("the file holds table \"%1\", not %2").arg(name, tableName_));
        }
        emptyRoot_ = endStartTag();
    }
    bool readRowStart() {
        if (emptyRoot_) {
            return false;
        }
        skipMisc();
        if (at("</")) {
            endElement(kRootTag);
            emptyRoot_ = true;
            return false;
        }
        expect("<");
        if (readName() != kRowTag) {
            fail(QStringLiteral("a <row> element expected"));
        }
        return true;
    }
    void readRowFields() {
        const char* name;
        qsizetype nameSize;
        const char* value;
        const char* valueEnd;
        int hint = 0;
        while (readAttribute(&name, &nameSize, &value, &valueEnd)) {
            const int field = fieldFor(name, nameSize, hint);
            if (field < 0) {
                continue;
            }
            if (builder_.isSet(field)) {
                failField(field, QStringLiteral("given twice"));
            }
            readValue(field, value, valueEnd);
            hint = field + 1;
        }
        if (!endStartTag()) {
            endElement(kRowTag);
        }
    }
    int fieldFor(const char* name, qsizetype size, int hint) const {
        if (hint < names_.size() && names_[hint].size() == size &&
            std::memcmp(names_[hint].constData(), name, size_t(size)) == 0) {
            return hint;
        }
        for (int i = 0; i < names_.size(); ++i) {
            if (sameNameIgnoringCase(names_[i], name, size)) {
                return i;
            }
        }
        return -1;
    }

    void readValue(int field, const char* value, const char* end) {
        const FieldDef& def = layout_.field(field);
        if (def.type == FieldType::String || def.type == FieldType::Memo) {
            readText(field, value, end);
            return;
        }
        QByteArray plain;
        if (std::memchr(value, '&', size_t(end - value))) {
            plain = decodeText(value, end).toString().toLatin1();
            value = plain.constData();
            end = value + plain.size();
        }
        switch (def.type) {
            case FieldType::SmallInt:
            case FieldType::Integer:
            case FieldType::AutoInc:
                builder_.setInteger(field, parseInteger(value, end, field));
                break;
            case FieldType::Float:
                builder_.setReal(field, parseReal(value, end, field));
                break;
            case FieldType::Date:
                builder_.setInteger(field, parseDate(value, end, field));
                break;
            case FieldType::Time:
                builder_.setInteger(field, parseTime(value, end, field));
                break;
            case FieldType::DateTime:
                builder_.setInteger(field, parseDateTime(value, end, field));
                break;
            case FieldType::String:
            case FieldType::Memo:
                break;
        }
    }
    void readText(int field, const char* value, const char* end) {
        char16_t* out = builder_.reserveText(int(end - value));
        const int length = decodeInto(value, end, out);
        if (layout_.field(field).type == FieldType::String && length > layout_.field(field).size) {
            failField(
                field,
                QStringLiteral("text longer than %1 characters").arg(layout_.field(field).size));
        }
        builder_.commitText(field, length);
    }
    QStringView decodeText(const char* value, const char* end) {
        scratch_.resize(end - value);
        return QStringView(scratch_.data(), decodeInto(value, end, scratch_.data()));
    }
    // Decodes an attribute value (UTF-8, references, blanks normalised as XML does) into at
    // most end - value UTF-16 units; returns how many it wrote.
    int decodeInto(const char* p, const char* end, char16_t* out) {
        char16_t* const start = out;
        while (p != end) {
            const auto c = uchar(*p);
            if (c >= 0x80) {
                p = decodeUtf8(p, end, &out);
            } else if (c == '&') {
                p = decodeReference(p, end, &out);
            } else if (c == '\r' && p + 1 != end && p[1] == '\n') {
                ++p;  // a line end counts once
            } else if (XmlChars::isForbiddenUnit(c)) {
                ++p;  // damage XML cannot carry: dropped, so the rest of the log still opens
            } else {
                *out++ = isSpace(char(c)) ? u' ' : char16_t(c);
                ++p;
            }
        }
        return int(out - start);
    }
    const char* decodeUtf8(const char* p, const char* end, char16_t** out) {
        char32_t c = 0;
        const int size = XmlChars::decodeUtf8(p, end, &c);
        if (size == 0) {
            fail(QStringLiteral("the text is not valid UTF-8"));
        }
        if (XmlChars::isXmlChar(c)) {
            XmlChars::putUtf16(c, out);
        }
        return p + size;
    }
    const char* decodeReference(const char* p, const char* end, char16_t** out) {
        const auto* semicolon = static_cast<const char*>(std::memchr(p, ';', size_t(end - p)));
        if (!semicolon) {
            fail(QStringLiteral("an unterminated \"&\" reference"));
        }
        const QByteArray name = QByteArray::fromRawData(p + 1, semicolon - p - 1);
        static const struct {
            const char* name;
            char16_t c;
        } named[] = {{"amp", u'&'}, {"lt", u'<'}, {"gt", u'>'}, {"quot", u'"'}, {"apos", u'\''}};
        for (const auto& entity : named) {
            if (name == entity.name) {
                *(*out)++ = entity.c;
                return semicolon + 1;
            }
        }
        bool ok = false;
        const uint c = name.startsWith("#x")  ? name.mid(2).toUInt(&ok, 16)
                       : name.startsWith("#") ? name.mid(1).toUInt(&ok, 10)
                                              : 0;
        if (!ok || c > 0x10FFFF || QChar::isSurrogate(c)) {
            fail(QStringLiteral("an unknown reference \"&%1;\"").arg(QString::fromLatin1(name)));
        }
        // A reference to a character XML cannot carry (such as "&#0;", which older versions
        // wrote for a NUL) is dropped rather than refused, so the file still opens.
        if (XmlChars::isXmlChar(c)) {
            XmlChars::putUtf16(c, out);
        }
        return semicolon + 1;
    }

    // `field` -1 for a root attribute.
    qint64 parseInteger(const char* p, const char* end, int field) const {
        qint64 value = 0;
        const char* start = p + (p != end && *p == '+');
        const auto result = std::from_chars(start, end, value);
        if (result.ec != std::errc() || result.ptr != end || start == end) {
            const QString what = badValue(p, end, "whole number");
            if (field < 0) {
                fail(what);
            }
            failField(field, what);
        }
        if (field < 0) {
            return value;
        }
        const bool small = layout_.field(field).type == FieldType::SmallInt;
        const qint64 low = small ? -32768 : std::numeric_limits<qint32>::min();
        const qint64 high = small ? 32767 : std::numeric_limits<qint32>::max();
        if (value < low || value > high) {
            failField(field, QStringLiteral("%1 is out of range").arg(value));
        }
        return value;
    }
    double parseReal(const char* p, const char* end, int field) const {
        double value = 0;
        const auto result = std::from_chars(p, end, value);
        if (result.ec != std::errc() || result.ptr != end || p == end) {
            failField(field,
                      QStringLiteral("\"%1\" is not a number").arg(QString::fromUtf8(p, end - p)));
        }
        return value;
    }
    // Reads `digits` digits (at least `digits` for a year) at p.
    static bool digitsAt(const char*& p, const char* end, int digits, bool orMore, int* value) {
        const char* start = p;
        *value = 0;
        while (p != end && *p >= '0' && *p <= '9' && (orMore || p - start < digits) &&
               p - start < 9) {
            *value = *value * 10 + (*p++ - '0');
        }
        return p - start >= digits;
    }
    static bool dateAt(const char*& p, const char* end, qint64* julianDay) {
        const bool negative = p != end && *p == '-';
        p += negative;
        int year;
        int month;
        int day;
        if (!digitsAt(p, end, 4, true, &year) || p == end || *p++ != '-' ||
            !digitsAt(p, end, 2, false, &month) || p == end || *p++ != '-' ||
            !digitsAt(p, end, 2, false, &day)) {
            return false;
        }
        const QDate date(negative ? -year : year, month, day);
        *julianDay = date.toJulianDay();
        return date.isValid() && julianDayFits(*julianDay);
    }
    static bool timeAt(const char*& p, const char* end, qint64* msecs) {
        int hour;
        int minute;
        int second;
        int milli = 0;
        if (!digitsAt(p, end, 2, false, &hour) || p == end || *p++ != ':' ||
            !digitsAt(p, end, 2, false, &minute) || p == end || *p++ != ':' ||
            !digitsAt(p, end, 2, false, &second)) {
            return false;
        }
        if (p != end && *p == '.' && !digitsAt(++p, end, 3, false, &milli)) {
            return false;
        }
        *msecs = QTime(hour, minute, second, milli).msecsSinceStartOfDay();
        return QTime::isValid(hour, minute, second, milli);
    }
    qint64 parseDate(const char* p, const char* end, int field) const {
        qint64 day = 0;
        const char* start = p;
        if (!dateAt(p, end, &day) || p != end) {
            failField(field, badValue(start, end, "date"));
        }
        return day;
    }
    qint64 parseTime(const char* p, const char* end, int field) const {
        qint64 msecs = 0;
        const char* start = p;
        if (!timeAt(p, end, &msecs) || p != end) {
            failField(field, badValue(start, end, "time"));
        }
        return msecs;
    }
    qint64 parseDateTime(const char* p, const char* end, int field) const {
        qint64 day = 0;
        qint64 msecs = 0;
        const char* start = p;
        if (!dateAt(p, end, &day) || p == end || *p++ != 'T' || !timeAt(p, end, &msecs) ||
            p != end) {
            failField(field, badValue(start, end, "date-time"));
        }
        return day * kMsecsPerDay + msecs;
    }
    static QString badValue(const char* p, const char* end, const char* kind) {
        return QStringLiteral("\"%1\" is not a %2")
            .arg(QString::fromUtf8(p, end - p), QLatin1String(kind));
    }

    const char* const begin_;
    const char* p_;
    const char* const end_;
    const RecordLayout& layout_;
    const QString& tableName_;
    const QString& fileName_;
    RowBuilder builder_;
    QVector<QByteArray> names_;
    QVarLengthArray<char16_t, 256> scratch_;
    bool emptyRoot_ = false;
};

}  // namespace

namespace TableFile {

QByteArray serialise(const TableData& data) {
    const RecordLayout& layout = *data.layout;
    Writer out(64 + data.rows.size() * qsizetype(24 + 12 * layout.count()));
    out.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<table name=\"");
    out.text(data.tableName);
    if (layout.autoIncField() >= 0) {
        out.raw("\" autoinc=\"");
        out.integer(data.nextAutoInc);
    }
    out.raw("\">\n");
    QVector<QByteArray> prefixes;  // ' name="' per field
    for (const FieldDef& field : layout.fields()) {
        prefixes.append(' ' + field.name.toLatin1() + "=\"");
    }
    for (const Row& row : data.rows) {
        out.raw("<row");
        for (int field = 0; field < layout.count(); ++field) {
            if (!layout.isNull(row, field)) {
                out.raw(prefixes[field].constData(), prefixes[field].size());
                writeValue(out, layout, row, field);
                out.raw("\"", 1);
            }
        }
        out.raw("/>\n", 3);
    }
    out.raw("</table>\n");
    return out.take();
}

TableData parse(const QByteArray& bytes, const std::shared_ptr<const RecordLayout>& layout,
                const QString& tableName, const QString& fileName) {
    TableData data = Parser(bytes, *layout, tableName, fileName).run();
    data.tableName = tableName;
    data.layout = layout;
    return data;
}

}  // namespace TableFile
