#pragma once

#include "app/settings/app_error.h"
#include "interchange/exchange_dive.h"

#include <QStringView>
#include <QXmlStreamReader>
#include <functional>
#include <memory>
#include <optional>

class QIODevice;

// Told how much of the file has been read (0 to 1); answers false to stop reading.
using ReadProgress = std::function<bool(double done)>;

// The reading was stopped through its progress callback.
class ReadCancelled {};

// Reading one XML log file token by token, whatever its size: the encoding it declares (or
// UTF-8, or ISO-8859-1 when an undeclared file is not valid UTF-8), no document type
// declarations (their entities could make a small file expand without end), and every fault
// reported as an AppError naming the line.
class XmlInput {
public:
    // Reads `device` (open, positioned at the start, `size` bytes long).
    XmlInput(QIODevice* device, qint64 size, ReadProgress progress);
    ~XmlInput();

    // The next start or end element; false at the end of the document. Text between elements
    // is skipped. Throws AppError for a malformed file and ReadCancelled when stopped.
    bool next();
    bool atStart() const { return xml_->isStartElement(); }
    QStringView name() const { return xml_->name(); }
    QStringView attribute(const char* name) const;
    // The text of the element just started, its children's text included; reading goes on
    // after its end.
    QString text();
    qint64 line() const { return xml_->lineNumber(); }
    [[noreturn]] void fail(const QString& what) const;

private:
    void chooseEncoding(QIODevice* device);
    void reportProgress();
    [[noreturn]] void failInvalid() const;

    std::unique_ptr<QXmlStreamReader> xml_;
    QByteArray latin1Copy_;  // the whole file, read as ISO-8859-1
    QIODevice* device_;
    qint64 size_;
    ReadProgress progress_;
    int tokens_ = 0;
};

// Parsing of the values found in log files.
namespace XmlValues {
// A decimal number with "." (or a lone "," as decimal separator); empty when it is none.
std::optional<double> number(QStringView text);
// "yyyy-mm-dd" followed by "Thh:mm[:ss[.fff]]" (or a blank before the time), any time zone
// ignored: the wall-clock time the file shows. An invalid date when the text holds none.
QDate date(QStringView text);
QTime time(QStringView text);  // the time part of such a text, or "hh:mm[:ss]" alone
}  // namespace XmlValues
