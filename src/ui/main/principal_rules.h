#pragma once

#include <QSize>
#include <QString>

// The main window's first-run size on a screen of `screenWidth` pixels, and its left panel.
struct FirstRunLayout {
    QSize windowSize;
    int leftPanelWidth = 0;
};
FirstRunLayout firstRunLayout(int screenWidth);

// What the status bar and the online-only commands show for a connection state and the
// member's service user name.
struct ConnectionView {
    QString connectionText;       // status panel 1
    QString memberText;           // status panel 2
    bool onlineCommands = false;  // synchronise, register, update check, help
    bool memberCommands = false;  // view the member's profile, invite
};
ConnectionView connectionView(bool online, const QString& inetUser);
