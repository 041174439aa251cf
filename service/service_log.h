#pragma once

#include <QString>

// The service's log: one line per event on standard error, whole lines even when several
// threads write. Nothing logged holds a password.
namespace ServiceLog {

void write(const QString& line);

}  // namespace ServiceLog
