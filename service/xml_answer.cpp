#include "service/xml_answer.h"

namespace {

bool allowedInXml(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

}  // namespace

XmlAnswer::XmlAnswer(const QString& root) : writer_(&bytes_) {
    writer_.writeStartDocument();
    writer_.writeStartElement(root);
}

void XmlAnswer::field(const QString& element, const QString& text) {
    writer_.writeTextElement(element, xmlSafe(text));
}

QByteArray XmlAnswer::finish() {
    writer_.writeEndDocument();
    return bytes_;
}

QString xmlSafe(const QString& text) {
    bool clean = true;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.isSurrogate() || c.unicode() >= 0xFFFE) {
            clean = false;
            break;
        }
    }
    if (clean) {
        return text;
    }
    QString safe;
    for (const char32_t c : text.toUcs4()) {
        if (allowedInXml(c)) {
            safe += QString::fromUcs4(&c, 1);
        }
    }
    return safe;
}
