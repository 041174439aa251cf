// Starts the program as its own main() does, closes the main window as soon as the message loop
// runs, and prints what the start found, one "name=value" line each. The installation tests put
// it beside an installed program, where it sees what that program sees.

#include "app/settings/tdm_const.h"
#include "app/startup.h"
#include "dictionary/tdm_idioma.h"
#include "ui/forms/dialogs.h"
#include "ui/main/tfrm_principal.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>
#include <QTimer>
#include <algorithm>

namespace {

// The widths of the icon's bitmaps, smallest first.
QString iconSizes(const QIcon& icon) {
    QList<int> widths;
    for (const QSize& size : icon.availableSizes()) {
        widths << size.width();
    }
    std::sort(widths.begin(), widths.end());
    QStringList sizes;
    for (int width : widths) {
        sizes << QString::number(width);
    }
    return sizes.join(QLatin1Char(','));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTextStream out(stdout);
    // A message box would wait for a click nobody gives; it is reported instead.
    Dialogs::setMessageHandler([&out](const Dialogs::Prompt& prompt) {
        out << "message=" << prompt.text << Qt::endl;
        return QMessageBox::Ok;
    });
    int code = 1;
    {
        Startup startup;
        if (startup.start()) {
            out << "dictionary=" << dmIdioma->fileName() << Qt::endl;
            out << "language=" << dmIdioma->LanguageCode() << Qt::endl;
            out << "version=" << dm_const->AppVersion << Qt::endl;
            out << "main_window=" << Frm_Principal->windowTitle() << Qt::endl;
            out << "window_icon=" << iconSizes(Frm_Principal->windowIcon()) << Qt::endl;
            out << "desktop_file=" << QGuiApplication::desktopFileName() << Qt::endl;
            QTimer::singleShot(0, Frm_Principal, [] { Frm_Principal->close(); });
            code = startup.run();
        }
    }
    out << "ended=" << code << Qt::endl;
    return code;
}
