#pragma once

#include "net/http_limits.h"

#include <QByteArray>
#include <QList>
#include <QPair>

// Reads one HTTP/1.x answer from the bytes as they arrive: status line, headers, and the body by
// Content-Length, chunked transfer coding or the end of the connection. Interim 1xx answers
// (other than 101) are skipped. Malformed answers throw SocketError; an answer that passes the
// header or body bounds of `limits` throws AnswerTooLargeError as soon as that shows (a
// Content-Length above the body bound before any of the body).
class HttpResponseReader {
public:
    explicit HttpResponseReader(const HttpLimits& limits = {});

    // Takes the next bytes of the connection; true once the answer is complete (bytes after it
    // are ignored).
    bool feed(const QByteArray& bytes);
    // The connection has ended: completes a body that runs to the end of the connection, and
    // throws SocketError when the answer is still incomplete.
    void finishAtClose();
    bool complete() const { return stage_ == Stage::Done; }

    int statusCode() const { return statusCode_; }
    const QByteArray& statusLine() const { return statusLine_; }
    const QByteArray& body() const { return body_; }
    // The value of the last header of that name (matched without regard to case), or empty.
    QByteArray header(const QByteArray& name) const;

private:
    enum class Stage {
        StatusLine,
        Headers,
        FixedBody,
        BodyToClose,
        ChunkSize,
        ChunkData,
        ChunkEnd,
        Trailers,
        Done
    };

    bool takeLine(QByteArray& line);
    bool inHeaderBlock() const;
    void checkHeaderBytes(qint64 pending) const;
    void checkBodySize(qint64 more) const;
    void step();
    void readStatusLine(const QByteArray& line);
    void readHeader(const QByteArray& line);
    void startBody();
    void readChunkSize(const QByteArray& line);
    void takeBodyBytes(qint64 count);

    HttpLimits limits_;
    qint64 headerBytes_ = 0;  // taken so far, see HttpLimits::maxHeaderBytes
    Stage stage_ = Stage::StatusLine;
    QByteArray buffer_;
    int statusCode_ = 0;
    QByteArray statusLine_;
    QList<QPair<QByteArray, QByteArray>> headers_;
    QByteArray body_;
    qint64 remaining_ = 0;  // of the fixed body or the current chunk
};
