#pragma once

#include <QIcon>
#include <QPixmap>

// The pictures of the main window's tool bars and menus, drawn at every size they are shown in
// (Qt derives the greyed pictures of disabled commands from them).
namespace MainIcons {
QIcon synchronize();
QIcon print();
QIcon addDive();
QIcon deleteDive();
QIcon lock();
QIcon memberInformation();
QIcon contacts();  // the contact list's rows
QIcon environmentOptions();
QIcon hidePanel();
// The dive editor's pictures: the link to an entry's web page, the certified dive, the dive
// confirmed by the buddy, and the tank beside the pressures (`height` pixels high).
QIcon webLink();
QIcon certified();
QIcon buddyConfirmed();
QPixmap tank(int height);
}  // namespace MainIcons
