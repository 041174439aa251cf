#include "cache/latin1_xml.h"

#include "app/settings/app_error.h"
#include "app/settings/xml_chars.h"
#include "cache/xml_tree_data.h"

#include <algorithm>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Characters that ISO-8859-1 cannot hold, or that a parser would normalise away.
bool needsReference(char32_t c, bool inAttribute) {
    if (c >= 0x100 || c == '\r') {
        return true;
    }
    return inAttribute && (c == '\t' || c == '\n' || c == '"');
}

class Latin1Writer {
public:
    explicit Latin1Writer(const XmlDocument::Data& d) : d_(d) {}

    QByteArray document() {
        out_ = kLatin1XmlDeclaration;
        out_.reserve(qsizetype(d_.texts.size() + d_.nodes.size() * 16) + 64);
        const qint32 root = d_.root;
        if (root < 0) {
            return out_;
        }
        // Document order without recursion: open an element, go down to its first child; at a
        // leaf close it and go to the next sibling, closing the parents left behind.
        qint32 at = root;
        for (;;) {
            open(at);
            if (d_.nodes[size_t(at)].first >= 0) {
                at = d_.nodes[size_t(at)].first;
                continue;
            }
            close(at);
            while (at != root && d_.nodes[size_t(at)].next < 0) {
                at = d_.nodes[size_t(at)].parent;
                close(at);
            }
            if (at == root) {
                return out_;
            }
            at = d_.nodes[size_t(at)].next;
        }
    }

private:
    void open(qint32 node) {
        const XmlNode& n = d_.nodes[size_t(node)];
        out_ += '<';
        name(d_.names[n.name]);
        if (n.attributes >= 0) {
            for (const XmlAttribute& attribute : d_.attributes[size_t(n.attributes)]) {
                out_ += ' ';
                name(attribute.name);
                out_ += "=\"";
                characters(attribute.value, true);
                out_ += '"';
            }
        }
        out_ += '>';
        const QStringView text = d_.textOf(node);
        if (isBlank(text)) {
            // A reader drops text that is only white space as layout: the first blank as a
            // reference keeps it text.
            out_ += "&#" + QByteArray::number(text.front().unicode()) + ';';
            characters(text.sliced(1), false);
        } else {
            characters(text, false);
        }
    }

    static bool isBlank(QStringView text) {
        return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
            return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
        });
    }

    void close(qint32 node) {
        out_ += "</";
        name(d_.names[d_.nodes[size_t(node)].name]);
        out_ += '>';
    }

    void name(const QString& text) {
        for (const QChar c : text) {
            if (c.unicode() >= 0x100) {
                throw AppError(
                    QStringLiteral("The name \"%1\" cannot be written as ISO-8859-1.").arg(text));
            }
            out_ += char(c.unicode());
        }
    }

    void characters(QStringView text, bool inAttribute) {
        const qsizetype size = text.size();
        for (qsizetype i = 0; i < size; ++i) {
            char32_t c = text[i].unicode();
            if (QChar::isHighSurrogate(c) && i + 1 < size && text[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(text[i], text[i + 1]);
                ++i;
            }
            if (!XmlChars::isXmlChar(c)) {
                c = kReplacement;
            }
            if (c == '&') {
                out_ += "&amp;";
            } else if (c == '<') {
                out_ += "&lt;";
            } else if (c == '>') {
                out_ += "&gt;";
            } else if (needsReference(c, inAttribute)) {
                out_ += "&#" + QByteArray::number(uint(c)) + ';';
            } else {
                out_ += char(c);
            }
        }
    }

    const XmlDocument::Data& d_;
    QByteArray out_;
};

}  // namespace

QByteArray toLatin1Xml(const XmlDocument& doc) {
    if (doc.isNull()) {
        return kLatin1XmlDeclaration;
    }
    return Latin1Writer(*doc.d_).document();
}
