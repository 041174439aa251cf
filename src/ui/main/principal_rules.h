#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

// The main window's first-run size on a screen of `screenWidth` pixels, and its left panel.
struct FirstRunLayout {
    QSize windowSize;
    int leftPanelWidth = 0;
};
FirstRunLayout firstRunLayout(int screenWidth);

// Where the main window goes when its stored place is `stored`: there, while a piece of its top
// edge wide enough to grab lies on one of `screens`; otherwise (a screen since removed, a
// smaller desktop) centred on `home`, no larger than it.
QRect windowPlaceOnScreens(const QRect& stored, const QVector<QRect>& screens, const QRect& home);

// What the status bar and the online-only commands show for a connection state and the
// member's service user name.
struct ConnectionView {
    QString connectionText;       // status panel 1
    QString memberText;           // status panel 2
    bool onlineCommands = false;  // synchronise, register, update check, help
    bool memberCommands = false;  // view the member's profile, invite
};
ConnectionView connectionView(bool online, const QString& inetUser);
