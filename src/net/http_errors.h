#pragma once

#include "app/settings/app_error.h"

#include <QByteArray>
#include <QString>

// The server answered with a status other than 2xx (redirects are not followed, credentials
// are never asked for again).
class HttpError : public AppError {
public:
    HttpError(int statusCode, const QString& statusLine, const QByteArray& body)
        : AppError(statusLine), statusCode_(statusCode), statusLine_(statusLine), body_(body) {}
    int statusCode() const { return statusCode_; }
    const QString& statusLine() const { return statusLine_; }
    const QByteArray& body() const { return body_; }

private:
    int statusCode_;
    QString statusLine_;
    QByteArray body_;
};

// Name resolution, connection, TLS, read or write failed, or the answer was not HTTP; the
// message is the socket's own where it has one.
class SocketError : public AppError {
public:
    using AppError::AppError;
};

// Nothing arrived for the whole idle limit, or the answer was not complete by the deadline.
class TimeoutError : public SocketError {
public:
    using SocketError::SocketError;
};

// The answer's header block, number of headers or body passed its bound (HttpLimits).
class AnswerTooLargeError : public SocketError {
public:
    using SocketError::SocketError;
};

// The request was given up at the caller's word (the synchronisation dialog's Cancel) while it
// waited; nothing of its answer is returned.
class RequestCanceledError : public AppError {
public:
    using AppError::AppError;
};

// A setting or address part that should be a number is not one (nothing was sent).
class ConversionError : public AppError {
public:
    using AppError::AppError;
};

// Text holds a character the service's character set (ISO-8859-1) cannot carry.
class EncodingError : public AppError {
public:
    using AppError::AppError;
};

// A request was started while another one was still waiting for its answer.
class RequestRunningError : public AppError {
public:
    using AppError::AppError;
};
