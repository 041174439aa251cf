#pragma once

#include <QString>
#include <functional>

// Files of the program that could not be written. The modules that keep the diver's data in
// files (tables, cached documents, the settings file) keep their changes in memory when a write
// fails, try again with their next save, and report here: the diver hears of a file once when
// it starts failing, not at every attempt, and again only after a write of it succeeded.
// Used on the user-interface thread.
namespace WriteFailures {

// `message` names the file and the system's reason.
void failed(const QString& fileName, const QString& message);
void succeeded(const QString& fileName);
bool failing(const QString& fileName);

// How a new failure is shown (the application installs its error box); without one nothing is
// shown.
void setReporter(std::function<void(const QString& message)> reporter);

}  // namespace WriteFailures
