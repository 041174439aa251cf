#include "cache/latin1_xml.h"

#include "app/settings/app_error.h"

#include <QDomElement>
#include <QDomNamedNodeMap>
#include <QList>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// XML 1.0 cannot hold other code points at all, not even as references.
bool isXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Characters that ISO-8859-1 cannot hold, or that a parser would normalise away.
bool needsReference(char32_t c, bool inAttribute) {
    if (c >= 0x100 || c == '\r') {
        return true;
    }
    return inAttribute && (c == '\t' || c == '\n' || c == '"');
}

class Latin1Writer {
public:
    QByteArray document(const QDomDocument& doc) {
        out_ = kLatin1XmlDeclaration;
        element(doc.documentElement());
        return out_;
    }

private:
    void element(const QDomElement& e) {
        if (e.isNull()) {
            return;
        }
        out_ += '<';
        name(e.tagName());
        attributes(e.attributes());
        out_ += '>';
        for (QDomNode n = e.firstChild(); !n.isNull(); n = n.nextSibling()) {
            if (n.isElement()) {
                element(n.toElement());
            } else if (n.isText() || n.isCDATASection()) {
                characters(n.nodeValue(), false);
            }
        }
        out_ += "</";
        name(e.tagName());
        out_ += '>';
    }

    void attributes(const QDomNamedNodeMap& map) {
        for (int i = 0; i < map.count(); ++i) {
            const QDomNode a = map.item(i);
            out_ += ' ';
            name(a.nodeName());
            out_ += "=\"";
            characters(a.nodeValue(), true);
            out_ += '"';
        }
    }

    void name(const QString& text) {
        const QByteArray bytes = text.toLatin1();
        if (QString::fromLatin1(bytes) != text) {
            throw AppError(
                QStringLiteral("The name \"%1\" cannot be written as ISO-8859-1.").arg(text));
        }
        out_ += bytes;
    }

    void characters(const QString& text, bool inAttribute) {
        for (char32_t c : text.toUcs4()) {
            if (!isXmlChar(c)) {
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

    QByteArray out_;
};

}  // namespace

QByteArray toLatin1Xml(const QDomDocument& doc) {
    return Latin1Writer().document(doc);
}
