#include "ui/main/principal_rules.h"

FirstRunLayout firstRunLayout(int screenWidth) {
    if (screenWidth == 800) {
        return {QSize(750, 500), 200};
    }
    return {QSize(950, 600), 300};
}

ConnectionView connectionView(bool online, const QString& inetUser) {
    ConnectionView view;
    view.connectionText = online ? QStringLiteral(" Online") : QString();
    view.onlineCommands = online;
    if (inetUser.isEmpty()) {
        view.memberText = QStringLiteral(" Not Registered");
    } else {
        view.memberText = QStringLiteral(" ") + inetUser;
        view.memberCommands = online;
    }
    return view;
}
