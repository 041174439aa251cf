#include "net/http_response.h"

#include "net/http_errors.h"

namespace {

// Longer status, header or chunk-size lines mean the peer is not speaking HTTP.
constexpr qsizetype kMaxLine = 64 * 1024;
// What a Content-Length may have reserved before any of the body has come.
constexpr qint64 kBodyReservedUpFront = 64 * 1024 * 1024;

SocketError malformed(const char* what) {
    return SocketError(
        QStringLiteral("The server's answer is not valid HTTP (%1).").arg(QLatin1String(what)));
}

AnswerTooLargeError tooLarge(const QString& what) {
    return AnswerTooLargeError(QStringLiteral("The server's answer is too large: %1.").arg(what));
}

bool isInterim(int code) {
    return code >= 100 && code < 200 && code != 101;
}

bool hasNoBody(int code) {
    return (code >= 100 && code < 200) || code == 204 || code == 304;
}

bool lastCodingIsChunked(const QByteArray& transferEncoding) {
    const QList<QByteArray> codings = transferEncoding.split(',');
    return codings.last().trimmed().toLower() == "chunked";
}

}  // namespace

HttpResponseReader::HttpResponseReader(const HttpLimits& limits) : limits_(limits) {}

bool HttpResponseReader::feed(const QByteArray& bytes) {
    if (complete()) {
        return true;
    }
    buffer_ += bytes;
    while (!complete() && !buffer_.isEmpty()) {
        const qsizetype before = buffer_.size();
        step();
        if (buffer_.size() == before && !complete()) {
            break;  // waiting for more bytes
        }
    }
    return complete();
}

void HttpResponseReader::finishAtClose() {
    if (stage_ == Stage::BodyToClose) {
        checkBodySize(buffer_.size());
        body_ += buffer_;
        buffer_.clear();
        stage_ = Stage::Done;
    }
    if (complete()) {
        return;
    }
    if (statusCode_ == 0 && buffer_.isEmpty()) {
        throw SocketError(QStringLiteral("The server closed the connection without an answer."));
    }
    throw SocketError(QStringLiteral("The connection closed before the whole answer arrived."));
}

QByteArray HttpResponseReader::header(const QByteArray& name) const {
    const QByteArray wanted = name.toLower();
    for (auto it = headers_.crbegin(); it != headers_.crend(); ++it) {
        if (it->first == wanted) {
            return it->second;
        }
    }
    return {};
}

bool HttpResponseReader::takeLine(QByteArray& line) {
    const qsizetype end = buffer_.indexOf('\n');
    const bool header = inHeaderBlock();
    if (end < 0) {
        if (header) {
            checkHeaderBytes(buffer_.size());
        }
        if (buffer_.size() > kMaxLine) {
            throw malformed("line too long");
        }
        return false;
    }
    if (header) {
        headerBytes_ += end + 1;
        checkHeaderBytes(0);
    }
    line = buffer_.left(end);
    if (line.endsWith('\r')) {
        line.chop(1);
    }
    buffer_.remove(0, end + 1);
    return true;
}

bool HttpResponseReader::inHeaderBlock() const {
    return stage_ == Stage::StatusLine || stage_ == Stage::Headers || stage_ == Stage::Trailers;
}

// `pending`: bytes of a line not yet complete.
void HttpResponseReader::checkHeaderBytes(qint64 pending) const {
    if (headerBytes_ + pending > limits_.maxHeaderBytes) {
        throw tooLarge(QStringLiteral("its headers run past %1 bytes").arg(limits_.maxHeaderBytes));
    }
}

// `more` bytes after the body so far; compared so that no sum can overflow.
void HttpResponseReader::checkBodySize(qint64 more) const {
    if (more > limits_.maxBodyBytes - body_.size()) {
        throw tooLarge(QStringLiteral("its body runs past %1 bytes").arg(limits_.maxBodyBytes));
    }
}

void HttpResponseReader::step() {
    QByteArray line;
    switch (stage_) {
        case Stage::FixedBody:
        case Stage::ChunkData:
            takeBodyBytes(qMin<qint64>(remaining_, buffer_.size()));
            return;
        case Stage::BodyToClose:
            checkBodySize(buffer_.size());
            body_ += buffer_;
            buffer_.clear();
            return;
        case Stage::Done:
            return;
        default:
            break;
    }
    if (!takeLine(line)) {
        return;
    }
    switch (stage_) {
        case Stage::StatusLine:
            readStatusLine(line);
            break;
        case Stage::Headers:
            readHeader(line);
            break;
        case Stage::ChunkSize:
            readChunkSize(line);
            break;
        case Stage::ChunkEnd:
            if (!line.isEmpty()) {
                throw malformed("chunk not followed by a line end");
            }
            stage_ = Stage::ChunkSize;
            break;
        case Stage::Trailers:
            if (line.isEmpty()) {
                stage_ = Stage::Done;
            }
            break;
        default:
            break;
    }
}

void HttpResponseReader::readStatusLine(const QByteArray& line) {
    if (line.isEmpty()) {
        return;  // a stray line end between answers
    }
    const QList<QByteArray> parts = line.split(' ');
    bool ok = false;
    const int code = parts.size() >= 2 && parts[1].size() == 3 ? parts[1].toInt(&ok) : 0;
    if (!line.startsWith("HTTP/") || !ok || code < 100) {
        throw malformed("status line");
    }
    statusCode_ = code;
    statusLine_ = line;
    headers_.clear();
    stage_ = Stage::Headers;
}

void HttpResponseReader::readHeader(const QByteArray& line) {
    if (line.isEmpty()) {
        startBody();
        return;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0) {
        throw malformed("header line");
    }
    if (headers_.size() == limits_.maxHeaders) {
        throw tooLarge(QStringLiteral("it has more than %1 header lines").arg(limits_.maxHeaders));
    }
    headers_.append({line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed()});
}

void HttpResponseReader::startBody() {
    if (isInterim(statusCode_)) {
        statusCode_ = 0;
        statusLine_.clear();
        stage_ = Stage::StatusLine;
        return;
    }
    if (hasNoBody(statusCode_)) {
        stage_ = Stage::Done;
        return;
    }
    const QByteArray transferEncoding = header("transfer-encoding");
    if (!transferEncoding.isEmpty() && lastCodingIsChunked(transferEncoding)) {
        stage_ = Stage::ChunkSize;
        return;
    }
    const QByteArray length = header("content-length");
    if (length.isEmpty()) {
        stage_ = Stage::BodyToClose;
        return;
    }
    bool ok = false;
    remaining_ = length.toLongLong(&ok);
    if (!ok || remaining_ < 0) {
        throw malformed("Content-Length");
    }
    checkBodySize(remaining_);
    // The body arrives into one buffer that need not move as it grows (a size claimed beyond
    // what is likely is not taken at its word).
    body_.reserve(qMin(remaining_, kBodyReservedUpFront));
    stage_ = remaining_ == 0 ? Stage::Done : Stage::FixedBody;
}

void HttpResponseReader::readChunkSize(const QByteArray& line) {
    const qsizetype extension = line.indexOf(';');
    const QByteArray digits = (extension < 0 ? line : line.left(extension)).trimmed();
    bool ok = false;
    const qint64 size = digits.toLongLong(&ok, 16);
    if (!ok || size < 0) {
        throw malformed("chunk size");
    }
    checkBodySize(size);
    remaining_ = size;
    stage_ = size == 0 ? Stage::Trailers : Stage::ChunkData;
}

void HttpResponseReader::takeBodyBytes(qint64 count) {
    body_.append(buffer_.constData(), count);
    buffer_.remove(0, count);
    remaining_ -= count;
    if (remaining_ > 0) {
        return;
    }
    stage_ = stage_ == Stage::FixedBody ? Stage::Done : Stage::ChunkEnd;
}
