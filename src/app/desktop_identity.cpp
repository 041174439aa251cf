#include "app/desktop_identity.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>

void setDesktopIdentity() {
    // The icon's bitmaps lie under ":/icon", one folder per size ("16x16", ...).
    QIcon icon;
    const QDir bitmaps(QStringLiteral(":/icon"));
    for (const QString& size : bitmaps.entryList(QDir::Dirs)) {
        icon.addFile(bitmaps.filePath(size + QStringLiteral("/" NEREVA_APP_ID ".png")));
    }
    QGuiApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral(NEREVA_APP_ID));
}
