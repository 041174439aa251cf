#include "service/admin.h"
#include "service/options.h"
#include "service/service_error.h"
#include "service/service_log.h"
#include "service/service_server.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <csignal>

namespace {

int signalPipe[2];

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

// SIGINT and SIGTERM end the event loop, so the threads stop and the database closes cleanly.
void quitOnSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        ServiceLog::write(QStringLiteral("stopping"));
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int runAdminCommand(const ServiceOptions& options) {
    QString log;
    const std::unique_ptr<Database> db = openDatabase(options, QStringLiteral("admin"), &log);
    ServiceLog::write(log);
    QTextStream out(stdout);
    const QString& command = options.command;
    if (command == QLatin1String("import-organizations")) {
        Admin::importOrganizations(*db, options.arguments.first(), out);
    } else if (command == QLatin1String("import-locations")) {
        Admin::importLocations(*db, options.arguments.first(), out);
    } else if (command == QLatin1String("list-organizations")) {
        Admin::listOrganizations(*db, out);
    } else if (command == QLatin1String("list-locations")) {
        Admin::listLocations(*db, out);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nereva-service"));
    try {
        const ServiceOptions options = Options::parse(QCoreApplication::arguments());
        if (options.help) {
            QTextStream(stdout) << Options::usage();
            return 0;
        }
        if (options.command != QLatin1String("serve")) {
            return runAdminCommand(options);
        }
        ServiceServer server(options);
        server.start();
        quitOnSignals(app);
        return QCoreApplication::exec();
    } catch (const ServiceError& error) {
        QTextStream(stderr) << "nereva-service: " << error.message() << Qt::endl;
        return 1;
    }
}
