#pragma once

#include <QString>
#include <stdexcept>

// The one exception type of the program: commands catch it where they start and show its text.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Input/output failure (a folder or file that cannot be created, read or written).
class IoError : public AppError {
public:
    using AppError::AppError;
};
