#pragma once

#include <QString>
#include <stdexcept>

// A failure of the service that ends the request (or the command) it happened in; the message
// goes to the log, never to the client.
class ServiceError : public std::runtime_error {
public:
    explicit ServiceError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};
