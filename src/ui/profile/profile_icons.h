#pragma once

#include <QIcon>

// The pictures of the member and certificate windows.
namespace ProfileIcons {
QIcon member();       // the member, as on the main window's command
QIcon contactCard();  // the contact group's decoration
QIcon certificate();  // a certificate with its seal: list rows and the read-only sheet
}  // namespace ProfileIcons
