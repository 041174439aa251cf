#pragma once

#include <QIcon>

// The pictures of the main window's tool bars and menus, drawn at every size they are shown in
// (Qt derives the greyed pictures of disabled commands from them).
namespace MainIcons {
QIcon synchronize();
QIcon print();
QIcon addDive();
QIcon deleteDive();
QIcon lock();
QIcon memberInformation();
QIcon environmentOptions();
QIcon hidePanel();
}  // namespace MainIcons
