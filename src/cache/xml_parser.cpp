#include "app/settings/app_error.h"
#include "app/settings/xml_chars.h"
#include "cache/xml_tree.h"
#include "cache/xml_tree_data.h"

#include <QStringDecoder>
#include <QVarLengthArray>
#include <algorithm>
#include <cstring>

// A one-pass parser over the bytes of a document, building the compact tree directly. It keeps
// an explicit stack of open elements (bounded by XmlDocument::kMaxDepth) instead of recursing,
// and refuses document type declarations outright: the program never needs one, and their
// entities are how a small input grows to gigabytes.

namespace {

bool isWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' ||
           uchar(c) >= 0x80;
}

bool isNameChar(char c) {
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

}  // namespace

class XmlParser {
public:
    XmlParser(const QByteArray& bytes, const QString& subject, int maxDepth)
        : subject_(subject), maxDepth_(qMin(maxDepth, XmlDocument::kMaxDepth)) {
        source_ = decodedSource(bytes);
        begin_ = source_.constData();
        p_ = begin_;
        end_ = begin_ + source_.size();
    }

    XmlDocument run() {
        auto data = std::make_shared<XmlDocument::Data>();
        d_ = data.get();
        d_->texts.reserve(size_t(end_ - p_) + 16);
        d_->nodes.reserve(size_t(end_ - p_) / 32 + 16);
        if (at("\xEF\xBB\xBF")) {
            p_ += 3;
        }
        skipDeclaration();
        skipMisc();
        if (p_ == end_ || *p_ != '<') {
            fail(QStringLiteral("no root element"));
        }
        readElements();
        skipMisc();
        if (p_ != end_) {
            fail(QStringLiteral("content after the root element"));
        }
        return XmlDocument(std::move(data));
    }

private:
    enum class Encoding { Utf8, Latin1 };
    enum class Mode { Text, Cdata, Attribute, Name };
    struct Open {
        qint32 node;
        const char* name;
        qsizetype nameSize;
    };
    // A recently seen element name and its interned id: names repeat, so most elements are
    // named without building a string.
    struct NameSlot {
        QByteArray bytes;
        qint32 id = -1;
    };

    // --- failures

    [[noreturn]] void fail(const QString& what) const {
        const char* at = std::min(p_, end_);
        const qsizetype line = 1 + std::count(begin_, at, '\n');
        const char* lineStart = at;
        while (lineStart != begin_ && lineStart[-1] != '\n') {
            --lineStart;
        }
        throw AppError(QStringLiteral("%1 is not well-formed XML: %2 (line %3, column %4).")
                           .arg(subject_, what)
                           .arg(line)
                           .arg(at - lineStart + 1));
    }
    [[noreturn]] void failDocumentType() const {
        throw AppError(QStringLiteral("%1 holds a document type declaration, which is not "
                                      "accepted.")
                           .arg(subject_));
    }
    [[noreturn]] void failDepth() const {
        throw AppError(QStringLiteral("%1 nests elements more than %2 levels deep.")
                           .arg(subject_)
                           .arg(maxDepth_));
    }

    // --- encodings

    // The bytes to parse: UTF-8 or Latin-1 as they are; anything else (UTF-16, other declared
    // encodings) converted to UTF-8 first.
    QByteArray decodedSource(const QByteArray& bytes) {
        encoding_ = Encoding::Utf8;
        const auto starts = [&](const char* prefix, qsizetype size) {
            return bytes.size() >= size &&
                   std::memcmp(bytes.constData(), prefix, size_t(size)) == 0;
        };
        if (starts("\xFF\xFE", 2) || starts("<\0?\0", 4)) {
            return converted(bytes, QStringDecoder(QStringConverter::Utf16LE));
        }
        if (starts("\xFE\xFF", 2) || starts("\0<\0?", 4)) {
            return converted(bytes, QStringDecoder(QStringConverter::Utf16BE));
        }
        const QByteArray declared = declaredEncoding(bytes).toLower();
        if (declared.isEmpty() || declared == "utf-8" || declared == "utf8") {
            return bytes;
        }
        static const QByteArrayList latin1 = {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1",
                                              "latin-1",    "l1",        "us-ascii",   "ascii"};
        if (latin1.contains(declared)) {
            encoding_ = Encoding::Latin1;
            return bytes;
        }
        if (declared.startsWith("utf-16") || declared.startsWith("utf-32")) {
            begin_ = p_ = bytes.constData();
            end_ = begin_ + bytes.size();
            fail(QStringLiteral("the bytes are not in the declared encoding %1")
                     .arg(QString::fromLatin1(declared)));
        }
        QStringDecoder decoder(declared.constData());
        if (!decoder.isValid()) {
            begin_ = p_ = bytes.constData();
            end_ = begin_ + bytes.size();
            fail(QStringLiteral("the encoding %1 is not supported")
                     .arg(QString::fromLatin1(declared)));
        }
        return converted(bytes, std::move(decoder));
    }
    QByteArray converted(const QByteArray& bytes, QStringDecoder decoder) {
        const QString text = decoder.decode(bytes);
        if (decoder.hasError()) {
            begin_ = p_ = bytes.constData();
            end_ = begin_ + bytes.size();
            fail(QStringLiteral("the text is not in its declared encoding"));
        }
        QByteArray utf8 = text.toUtf8();
        if (utf8.startsWith("\xEF\xBB\xBF")) {
            utf8.remove(0, 3);
        }
        return utf8;
    }
    // The encoding named by the XML declaration, empty when there is none.
    static QByteArray declaredEncoding(const QByteArray& bytes) {
        const qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        if (bytes.mid(start, 5) != "<?xml") {
            return {};
        }
        const qsizetype close = bytes.indexOf("?>", start);
        const QByteArray declaration = bytes.mid(start, close < 0 ? -1 : close - start);
        const qsizetype at = declaration.indexOf("encoding");
        if (at < 0) {
            return {};
        }
        qsizetype p = at + 8;
        while (p < declaration.size() && isWhite(declaration[p])) {
            ++p;
        }
        if (p >= declaration.size() || declaration[p] != '=') {
            return {};
        }
        ++p;
        while (p < declaration.size() && isWhite(declaration[p])) {
            ++p;
        }
        if (p >= declaration.size() || (declaration[p] != '"' && declaration[p] != '\'')) {
            return {};
        }
        const qsizetype close2 = declaration.indexOf(declaration[p], p + 1);
        return close2 < 0 ? QByteArray() : declaration.mid(p + 1, close2 - p - 1);
    }

    // --- scanning

    bool at(const char* literal) const {
        const size_t size = std::strlen(literal);
        return size_t(end_ - p_) >= size && std::memcmp(p_, literal, size) == 0;
    }
    void expect(char c) {
        if (p_ == end_) {
            fail(QStringLiteral("the document ends too early"));
        }
        if (*p_ != c) {
            fail(QStringLiteral("\"%1\" expected").arg(QLatin1Char(c)));
        }
        ++p_;
    }
    void skipWhite() {
        while (p_ != end_ && isWhite(*p_)) {
            ++p_;
        }
    }
    // Moves past `terminator`; false when the document ends first.
    bool skipPast(const char* terminator) {
        const size_t size = std::strlen(terminator);
        const char* found =
            static_cast<const char*>(memmem(p_, size_t(end_ - p_), terminator, size));
        if (!found) {
            p_ = end_;
            return false;
        }
        p_ = found + size;
        return true;
    }
    void skipDeclaration() {
        if (!at("<?xml") || end_ - p_ < 6 || !isWhite(p_[5])) {
            return;
        }
        if (!skipPast("?>")) {
            fail(QStringLiteral("the XML declaration is not closed"));
        }
    }
    void skipComment() {
        p_ += 4;
        const char* start = p_;
        if (!skipPast("--")) {
            fail(QStringLiteral("a comment is not closed"));
        }
        if (p_ == end_ || *p_ != '>') {
            p_ = p_ - 2 < start ? start : p_ - 2;
            fail(QStringLiteral("\"--\" inside a comment"));
        }
        ++p_;
    }
    void skipProcessingInstruction() {
        const char* start = p_;
        p_ += 2;
        const char* name = p_;
        while (p_ != end_ && isNameChar(*p_)) {
            ++p_;
        }
        if (p_ == name) {
            fail(QStringLiteral("a processing instruction without a name"));
        }
        if (p_ - name == 3 && qstrnicmp(name, "xml", 3) == 0) {
            p_ = start;
            fail(QStringLiteral("an XML declaration that is not at the start"));
        }
        if (!skipPast("?>")) {
            fail(QStringLiteral("a processing instruction is not closed"));
        }
    }
    // White space, comments and processing instructions outside the root element.
    void skipMisc() {
        for (;;) {
            skipWhite();
            if (at("<!--")) {
                skipComment();
            } else if (at("<?")) {
                skipProcessingInstruction();
            } else if (at("<!DOCTYPE") || at("<!ENTITY")) {
                failDocumentType();
            } else {
                return;
            }
        }
    }

    // --- elements

    void readElements() {
        QVarLengthArray<Open, 64> open;
        if (startTag(open)) {
            return;  // an empty root
        }
        while (!open.isEmpty()) {
            if (p_ == end_) {
                fail(QStringLiteral("the document ends inside element <%1>")
                         .arg(d_->names[d_->nodes[size_t(open.last().node)].name]));
            }
            if (*p_ != '<') {
                text(open.last().node);
            } else if (at("</")) {
                endTag(open);
            } else if (at("<!--")) {
                skipComment();
            } else if (at("<![CDATA[")) {
                cdata(open.last().node);
            } else if (at("<?")) {
                skipProcessingInstruction();
            } else if (at("<!DOCTYPE") || at("<!ENTITY")) {
                failDocumentType();
            } else if (at("<!")) {
                fail(QStringLiteral("markup that is not allowed here"));
            } else {
                startTag(open);
            }
        }
    }
    // Reads a start tag at "<"; true when the element was empty ("/>").
    bool startTag(QVarLengthArray<Open, 64>& open) {
        if (open.size() >= maxDepth_) {
            failDepth();
        }
        ++p_;
        const char* name = p_;
        if (p_ == end_ || !isNameStart(*p_)) {
            fail(QStringLiteral("an element name expected"));
        }
        while (p_ != end_ && isNameChar(*p_)) {
            ++p_;
        }
        const qsizetype nameSize = p_ - name;
        const qint32 node = d_->newNode(internName(name, nameSize));
        if (open.isEmpty()) {
            d_->root = node;
        } else {
            d_->link(open.last().node, node);
        }
        attributes(node);
        if (at("/>")) {
            p_ += 2;
            return true;
        }
        expect('>');
        open.append({node, name, nameSize});
        return false;
    }
    void endTag(QVarLengthArray<Open, 64>& open) {
        const char* start = p_;
        p_ += 2;
        const Open& top = open.last();
        if (end_ - p_ < top.nameSize || std::memcmp(p_, top.name, size_t(top.nameSize)) != 0 ||
            (p_ + top.nameSize != end_ && isNameChar(p_[top.nameSize]))) {
            p_ = start;
            fail(QStringLiteral("the end tag does not match <%1>")
                     .arg(d_->names[d_->nodes[size_t(top.node)].name]));
        }
        p_ += top.nameSize;
        skipWhite();
        expect('>');
        open.removeLast();
    }
    qint32 internName(const char* name, qsizetype size) {
        const uint slot = qHashBits(name, size_t(size)) % kNameSlots;
        NameSlot& cached = names_[slot];
        if (cached.id >= 0 && cached.bytes.size() == size &&
            std::memcmp(cached.bytes.constData(), name, size_t(size)) == 0) {
            return cached.id;
        }
        QString decoded = decodedName(name, size);
        cached.bytes = QByteArray(name, size);
        cached.id = d_->intern(decoded);
        return cached.id;
    }
    QString decodedName(const char* name, qsizetype size) {
        QVarLengthArray<char16_t, 64> units(size);
        const qsizetype n = decode(name, name + size, units.data(), Mode::Name);
        return QStringView(units.data(), n).toString();
    }
    void attributes(qint32 node) {
        for (;;) {
            const char* before = p_;
            skipWhite();
            if (p_ == end_) {
                fail(QStringLiteral("the document ends inside a tag"));
            }
            if (*p_ == '>' || *p_ == '/') {
                return;
            }
            if (p_ == before) {
                fail(QStringLiteral("white space expected before an attribute"));
            }
            const char* name = p_;
            if (!isNameStart(*p_)) {
                fail(QStringLiteral("an attribute name expected"));
            }
            while (p_ != end_ && isNameChar(*p_)) {
                ++p_;
            }
            const QString attributeName = decodedName(name, p_ - name);
            skipWhite();
            expect('=');
            skipWhite();
            if (p_ == end_ || (*p_ != '"' && *p_ != '\'')) {
                fail(QStringLiteral("a quoted attribute value expected"));
            }
            const char quote = *p_++;
            const auto* close = static_cast<const char*>(std::memchr(p_, quote, size_t(end_ - p_)));
            if (!close) {
                fail(QStringLiteral("an attribute value is not closed"));
            }
            QVarLengthArray<char16_t, 256> units(close - p_);
            const qsizetype n = decode(p_, close, units.data(), Mode::Attribute);
            p_ = close + 1;
            addAttribute(node, attributeName, QStringView(units.data(), n).toString(), name);
        }
    }
    void addAttribute(qint32 node, const QString& name, const QString& value, const char* at) {
        qint32& list = d_->nodes[size_t(node)].attributes;
        if (list < 0) {
            d_->attributes.emplace_back();
            list = qint32(d_->attributes.size() - 1);
        }
        for (const XmlAttribute& attribute : d_->attributes[size_t(list)]) {
            if (attribute.name == name) {
                p_ = at;
                fail(QStringLiteral("attribute %1 given twice").arg(name));
            }
        }
        d_->attributes[size_t(list)].append({name, value});
    }

    // --- text

    void text(qint32 node) {
        const auto* lt = static_cast<const char*>(std::memchr(p_, '<', size_t(end_ - p_)));
        const char* end = lt ? lt : end_;
        appendDecoded(node, end, Mode::Text);
    }
    void cdata(qint32 node) {
        p_ += 9;
        const auto* close = static_cast<const char*>(memmem(p_, size_t(end_ - p_), "]]>", 3));
        if (!close) {
            fail(QStringLiteral("a CDATA section is not closed"));
        }
        appendDecoded(node, close, Mode::Cdata);
        p_ = close + 3;
    }
    // Decodes p_..end onto the end of the pool and makes it part of the node's text; text that
    // is only white space as written (outside CDATA) is dropped.
    void appendDecoded(qint32 node, const char* end, Mode mode) {
        if (mode != Mode::Cdata && std::all_of(p_, end, isWhite)) {
            p_ = end;  // layout between elements (a reference to a blank is text, though)
            return;
        }
        std::vector<char16_t>& pool = d_->texts;
        const size_t start = pool.size();
        d_->reserveTexts(end - p_);
        pool.resize(start + size_t(end - p_));
        const qsizetype n = decode(p_, end, pool.data() + start, mode);
        p_ = end;
        pool.resize(start + size_t(n));
        if (n == 0) {
            return;
        }
        XmlNode& element = d_->nodes[size_t(node)];
        if (element.textSize == 0) {
            element.textAt = qint32(start);
            element.textSize = qint32(n);
        } else if (size_t(element.textAt + element.textSize) == start) {
            element.textSize += qint32(n);
        } else {
            // Text on both sides of a child element: both pieces go to the end, in order.
            const QString piece = QStringView(pool.data() + start, n).toString();
            pool.resize(start);
            d_->appendText(node, piece);
        }
    }

    // Decodes [p, end) into `out` (room for end - p units): the encoding's characters, line
    // ends as one line feed, references resolved (not in CDATA or names), white space in
    // attribute values as blanks. Returns the units written; fails on what XML does not allow.
    qsizetype decode(const char* p, const char* end, char16_t* out, Mode mode) {
        char16_t* const start = out;
        while (p != end) {
            const auto c = uchar(*p);
            if (c >= 0x80) {
                p = encoding_ == Encoding::Latin1 ? (*out++ = c, p + 1) : utf8(p, end, &out);
                continue;
            }
            if (c == '&' && mode != Mode::Cdata && mode != Mode::Name) {
                p = reference(p, end, &out);
                continue;
            }
            if (c == '<' && mode == Mode::Attribute) {
                failAt(p, QStringLiteral("\"<\" inside an attribute value"));
            }
            if (c == ']' && mode == Mode::Text && end - p >= 3 && p[1] == ']' && p[2] == '>') {
                failAt(p, QStringLiteral("\"]]>\" inside text"));
            }
            if (c == '\r') {
                p += (p + 1 != end && p[1] == '\n') ? 2 : 1;
                *out++ = mode == Mode::Attribute ? u' ' : u'\n';
                continue;
            }
            if (c < 0x20 && c != '\t' && c != '\n') {
                failAt(p, QStringLiteral("a control character XML cannot hold"));
            }
            *out++ = mode == Mode::Attribute && (c == '\t' || c == '\n') ? u' ' : char16_t(c);
            ++p;
        }
        return out - start;
    }
    const char* utf8(const char* p, const char* end, char16_t** out) {
        char32_t c = 0;
        const int size = XmlChars::decodeUtf8(p, end, &c);
        if (size == 0 || !XmlChars::isXmlChar(c)) {
            failAt(p, QStringLiteral("the text is not valid UTF-8 or holds a character XML "
                                     "cannot hold"));
        }
        XmlChars::putUtf16(c, out);
        return p + size;
    }
    const char* reference(const char* p, const char* end, char16_t** out) {
        const auto* semicolon = static_cast<const char*>(std::memchr(p, ';', size_t(end - p)));
        if (!semicolon) {
            failAt(p, QStringLiteral("an unterminated \"&\" reference"));
        }
        const QByteArray name(p + 1, semicolon - p - 1);
        static const struct {
            const char* name;
            char16_t c;
        } predefined[] = {
            {"amp", u'&'}, {"lt", u'<'}, {"gt", u'>'}, {"quot", u'"'}, {"apos", u'\''}};
        for (const auto& entity : predefined) {
            if (name == entity.name) {
                *(*out)++ = entity.c;
                return semicolon + 1;
            }
        }
        if (!name.startsWith('#')) {
            failAt(p, QStringLiteral("the entity \"&%1;\" is not defined")
                          .arg(QString::fromUtf8(name.left(40))));
        }
        const bool hex = name.startsWith("#x");
        const QByteArray digits = name.mid(hex ? 2 : 1);
        const bool wellFormed =
            !digits.isEmpty() && digits.size() <= 8 &&
            std::all_of(digits.begin(), digits.end(), [hex](char c) {
                return (c >= '0' && c <= '9') ||
                       (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
            });
        const uint c = wellFormed ? digits.toUInt(nullptr, hex ? 16 : 10) : 0;
        if (!wellFormed || !XmlChars::isXmlChar(c)) {
            failAt(p, QStringLiteral("the reference \"&%1;\" names no character XML can hold")
                          .arg(QString::fromUtf8(name.left(40))));
        }
        XmlChars::putUtf16(c, out);
        return semicolon + 1;
    }

    [[noreturn]] void failAt(const char* at, const QString& what) {
        p_ = at;
        fail(what);
    }

    static constexpr uint kNameSlots = 64;

    QString subject_;
    int maxDepth_;
    QByteArray source_;
    Encoding encoding_ = Encoding::Utf8;
    const char* begin_ = nullptr;
    const char* p_ = nullptr;
    const char* end_ = nullptr;
    XmlDocument::Data* d_ = nullptr;
    NameSlot names_[kNameSlots];
};

XmlDocument XmlDocument::parse(const QByteArray& bytes, const QString& subject, int maxDepth) {
    return XmlParser(bytes, subject, maxDepth).run();
}
