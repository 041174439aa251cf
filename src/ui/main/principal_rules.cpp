#include "ui/main/principal_rules.h"

FirstRunLayout firstRunLayout(int screenWidth) {
    if (screenWidth == 800) {
        return {QSize(750, 500), 200};
    }
    return {QSize(950, 600), 300};
}

namespace {

// The strip along the window's top edge, where its title bar is, and how much of it must lie on
// a screen for the diver to drag the window.
constexpr int kTitleStrip = 20;
constexpr int kGrip = 40;

bool reachable(const QRect& window, const QVector<QRect>& screens) {
    const QRect titleStrip(window.left(), window.top(), window.width(), kTitleStrip);
    for (const QRect& screen : screens) {
        const QRect onScreen = titleStrip.intersected(screen);
        if (onScreen.width() >= kGrip && onScreen.height() >= kTitleStrip / 2) {
            return true;
        }
    }
    return false;
}

}  // namespace

QRect windowPlaceOnScreens(const QRect& stored, const QVector<QRect>& screens, const QRect& home) {
    if (reachable(stored, screens)) {
        return stored;
    }
    const QSize size = stored.size().boundedTo(home.size());
    return QRect(home.x() + (home.width() - size.width()) / 2,
                 home.y() + (home.height() - size.height()) / 2, size.width(), size.height());
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
