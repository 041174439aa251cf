#include "interchange/xml_input.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QStringDecoder>
#include <cmath>

namespace {

constexpr int kTokensPerProgress = 4096;
constexpr qint64 kChunk = 1 << 20;

bool declaresEncoding(const QByteArray& head) {
    if (head.startsWith("\xEF\xBB\xBF") || head.startsWith("\xFE\xFF") ||
        head.startsWith("\xFF\xFE")) {
        return true;  // a byte order mark says it
    }
    if (!head.startsWith("<?xml")) {
        return false;
    }
    const qsizetype end = head.indexOf("?>");
    return end > 0 && head.left(end).contains("encoding");
}

bool isValidUtf8(QIODevice* device) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    while (!device->atEnd()) {
        const QString decoded = decoder.decode(device->read(kChunk));
        if (decoder.hasError()) {
            return false;
        }
    }
    return true;
}

// The line of the first byte that is no part of a UTF-8 sequence; 0 when there is none.
qint64 firstBadUtf8Line(QIODevice* device) {
    device->seek(0);
    qint64 line = 1;
    int pending = 0;  // continuation bytes still expected
    while (!device->atEnd()) {
        for (const char c : device->read(kChunk)) {
            const auto byte = uchar(c);
            if (pending > 0) {
                if ((byte & 0xC0) != 0x80) {
                    return line;
                }
                --pending;
            } else if (byte >= 0xF0 && byte <= 0xF4) {
                pending = 3;
            } else if (byte >= 0xE0 && byte < 0xF0) {
                pending = 2;
            } else if (byte >= 0xC2 && byte < 0xE0) {
                pending = 1;
            } else if (byte >= 0x80) {
                return line;
            } else if (byte == '\n') {
                ++line;
            }
        }
    }
    return pending > 0 ? line : 0;
}

// The file with a declaration that names ISO-8859-1, put on its first line so that the line
// numbers stay those of the file.
QByteArray declaredLatin1(QByteArray bytes) {
    if (bytes.startsWith("<?xml")) {
        const qsizetype end = bytes.indexOf("?>");
        if (end > 0) {
            return bytes.insert(end, " encoding=\"ISO-8859-1\"");
        }
    }
    return bytes.prepend("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
}

}  // namespace

XmlInput::XmlInput(QIODevice* device, qint64 size, ReadProgress progress)
    : device_(device), size_(qMax<qint64>(size, 1)), progress_(std::move(progress)) {
    chooseEncoding(device);
}

XmlInput::~XmlInput() = default;

void XmlInput::chooseEncoding(QIODevice* device) {
    if (declaresEncoding(device->peek(256)) || isValidUtf8(device)) {
        device->seek(0);
        xml_ = std::make_unique<QXmlStreamReader>(device);
        return;
    }
    device->seek(0);
    latin1Copy_ = declaredLatin1(device->readAll());
    device_ = nullptr;
    xml_ = std::make_unique<QXmlStreamReader>(latin1Copy_);
}

bool XmlInput::next() {
    for (;;) {
        if (++tokens_ % kTokensPerProgress == 0) {
            reportProgress();
        }
        switch (xml_->readNext()) {
            case QXmlStreamReader::StartElement:
            case QXmlStreamReader::EndElement:
                return true;
            case QXmlStreamReader::EndDocument:
                return false;
            case QXmlStreamReader::DTD:
                fail(
                    QStringLiteral("the file holds a document type declaration, which is not "
                                   "read."));
            case QXmlStreamReader::Invalid:
                failInvalid();
            default:
                break;
        }
    }
}

// The reader decodes ahead of what it parses, so a wrongly encoded byte is reported at a line
// before its own; that line is looked up.
void XmlInput::failInvalid() const {
    const QString encodingError =
        QCoreApplication::translate("QXmlStream", "Encountered incorrectly encoded content.");
    if (device_ && xml_->errorString() == encodingError) {
        if (const qint64 line = firstBadUtf8Line(device_)) {
            throw AppError(QStringLiteral("Line %1: %2").arg(line).arg(encodingError));
        }
    }
    fail(xml_->errorString());
}

void XmlInput::reportProgress() {
    if (!progress_) {
        return;
    }
    const qint64 at = device_ ? device_->pos() : xml_->characterOffset();
    if (!progress_(qBound(0.0, double(at) / double(size_), 1.0))) {
        throw ReadCancelled();
    }
}

QStringView XmlInput::attribute(const char* name) const {
    return xml_->attributes().value(QLatin1StringView(name));
}

QString XmlInput::text() {
    QString text = xml_->readElementText(QXmlStreamReader::IncludeChildElements);
    if (xml_->hasError()) {
        fail(xml_->errorString());
    }
    return text.trimmed();
}

void XmlInput::fail(const QString& what) const {
    throw AppError(QStringLiteral("Line %1: %2").arg(xml_->lineNumber()).arg(what));
}

namespace XmlValues {

std::optional<double> number(QStringView text) {
    text = text.trimmed();
    bool ok = false;
    double value = text.toDouble(&ok);
    if (!ok && text.count(u',') == 1 && !text.contains(u'.')) {
        value = text.toString().replace(u',', u'.').toDouble(&ok);
    }
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

QDate date(QStringView text) {
    text = text.trimmed();
    return QDate::fromString(text.left(10).toString(), Qt::ISODate);
}

QTime time(QStringView text) {
    text = text.trimmed();
    if (text.size() > 10 && (text[10] == u'T' || text[10] == u' ')) {
        text = text.mid(11);
    }
    qsizetype end = 0;
    while (end < text.size() && (text[end].isDigit() || text[end] == u':' || text[end] == u'.')) {
        ++end;
    }
    const QString clock = text.left(end).toString();
    for (const char* format : {"hh:mm:ss.zzz", "hh:mm:ss", "hh:mm", "h:mm:ss", "h:mm"}) {
        const QTime time = QTime::fromString(clock, QLatin1StringView(format));
        if (time.isValid()) {
            return time;
        }
    }
    const qsizetype dot = clock.indexOf(u'.');
    return dot > 0 ? QTime::fromString(clock.left(dot), QStringLiteral("hh:mm:ss")) : QTime();
}

}  // namespace XmlValues
