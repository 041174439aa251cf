#include "app/startup.h"

#include "app/desktop_identity.h"
#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "app/settings/write_failures.h"
#include "app/tfrm_config.h"
#include "app/tfrm_license.h"
#include "app/tfrm_splash.h"
#include "cache/tdm_local_data.h"
#include "dictionary/tdm_idioma.h"
#include "interchange/ui/interchange_commands.h"
#include "net/tdm_comm.h"
#include "reports/report_commands.h"
#include "store/tdm_rdp.h"
#include "sync/ui/synchronize_command.h"
#include "tools/tfrm_convert.h"
#include "tools/tool_commands.h"
#include "ui/forms/dialogs.h"
#include "ui/lookup/lookup_commands.h"
#include "ui/main/guarded_command.h"
#include "ui/main/tfrm_principal.h"
#include "ui/main/tfrm_principal_controls.h"
#include "ui/profile/profile_commands.h"

#include <QApplication>
#include <QDesktopServices>
#include <QTimer>
#include <QUrl>

namespace {

const QString kAppTitle = QStringLiteral("NEREVA Desktop");

std::function<Tdm_rdp*()>& tablesFactory() {
    static std::function<Tdm_rdp*()> factory = [] { return new Tdm_rdp; };
    return factory;
}

// A module's creation handler that fails shows its own message; the module stays.
template <typename Handler>
void runCreationHandler(Handler handler) {
    try {
        handler();
    } catch (const AppError& e) {
        Dialogs::showError(nullptr, e.message());
    } catch (const std::exception& e) {
        Dialogs::showError(nullptr, QString::fromLocal8Bit(e.what()));
    }
}

// Closing the main window ends the program, whatever other windows (the floating units tool)
// are still open: once a close of the main window went through, the message loop is asked to
// end.
class EndWithMainWindow : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && watched->isWidgetType()) {
            auto* window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, window, [window] {
                if (!window->isVisible()) {
                    QApplication::quit();
                }
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

template <typename Window>
void openModal(QWidget* owner) {
    Window window(owner);
    Dialogs::execModal(&window);
}

QString exitAdvice() {
    return dmIdioma ? dmIdioma->GetWord(QStringLiteral("txt_log_not_saved_at_exit")) : QString();
}

// A file of the program that starts failing is shown in the standard error box.
void showWriteFailure(const QString& message) {
    Dialogs::showError(nullptr, message);
}

}  // namespace

// The program's name, for the splash, the About window and the message boxes. Not set as the
// display name, which Qt would add to every window title that does not end with it.
Startup::Startup() {
    QCoreApplication::setApplicationName(kAppTitle);
    setDesktopIdentity();
    Tdm_const::setUrlOpener([](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });
    WriteFailures::setReporter(showWriteFailure);
}

Startup::~Startup() {
    delete Frm_Convert;
    Frm_Convert = nullptr;
    delete Frm_Principal;
    Frm_Principal = nullptr;
    delete dmComm;
    dmComm = nullptr;
    saveTablesBeforeExit();
    delete dm_rdp;
    dm_rdp = nullptr;
    delete dmLocalData;
    dmLocalData = nullptr;
    delete dmIdioma;
    dmIdioma = nullptr;
    delete dm_const;
    dm_const = nullptr;
    delete splash_;
    WriteFailures::setReporter(nullptr);
}

// The last chance for the diver's log: a table that cannot be written now is lost when the
// program ends, so the diver decides whether to try again (after freeing the disk, say) or to
// quit without those changes.
void Startup::saveTablesBeforeExit() {
    if (!dm_rdp) {
        return;
    }
    WriteFailures::setReporter(nullptr);  // the question below says it all
    for (;;) {
        try {
            dm_rdp->saveAll();
            break;
        } catch (const AppError& e) {
            const QString text = e.message() + QStringLiteral("\n\n") + exitAdvice();
            const auto answer = Dialogs::message(
                nullptr,
                {QString(), text, QMessageBox::Critical, QMessageBox::Retry | QMessageBox::Discard},
                QMessageBox::Retry);
            if (answer != QMessageBox::Retry) {
                break;
            }
        }
    }
    WriteFailures::setReporter(showWriteFailure);
}

void Startup::setTablesFactory(std::function<Tdm_rdp*()> factory) {
    tablesFactory() = std::move(factory);
}

TFrmSplash* Startup::splash() const {
    return splash_;
}

bool Startup::start() {
    splash_ = new TFrmSplash;
    splash_->show();
    splash_->repaint();
    createSettings();
    dm_const->AppTitle = kAppTitle;
    createDictionary();
    createCache();
    splash_->setLoading(dmIdioma->GetWord(QStringLiteral("loading_compo")));
    createGuardedModules();
    splash_->enableTimer();
    return Frm_Principal != nullptr;
}

int Startup::run() {
    return QApplication::exec();
}

void Startup::createSettings() {
    dm_const = new Tdm_const;
    runCreationHandler([] { dm_const->DataModuleCreate(); });
}

void Startup::createDictionary() {
    dmIdioma = new TdmIdioma;
    runCreationHandler([] { dmIdioma->DataModuleCreate(); });
}

void Startup::createCache() {
    dmLocalData = new TdmLocalData;
    runCreationHandler([] { dmLocalData->DataModuleCreate(); });
}

void Startup::createGuardedModules() {
    try {
        dm_rdp = tablesFactory()();
        runCreationHandler([] { dm_rdp->DataModuleCreate(); });
        dmComm = new TdmComm;
        Frm_Principal = new TFrm_Principal;
        Frm_Principal->installEventFilter(new EndWithMainWindow(Frm_Principal));
        connectMainWindow();
        runCreationHandler([] { Frm_Principal->FormCreate(); });
        Frm_Principal->show();
        Frm_Principal->raise();
        splash_->setLoading(dmIdioma->GetWord(QStringLiteral("loading_db")));
        Frm_Convert = new TFrm_Convert(Frm_Principal);
        runCreationHandler([] { Frm_Convert->FormCreate(); });
    } catch (const std::exception&) {
        Dialogs::message(nullptr, {QString(), QStringLiteral("Error in DB.\n"),
                                   QMessageBox::Critical, QMessageBox::Ok});
        splash_->setLoading(QStringLiteral("Error!"));
    }
}

void Startup::connectMainWindow() {
    Frm_Principal->openAbout = openModal<TFrm_License>;
    Frm_Principal->openEnvironmentOptions = openModal<TFrm_config>;
    // The synchronisation dialog, the look-ups and the member windows live above the main
    // window, so they are connected from here.
    QObject::connect(Frm_Principal->ui->Ac_Syncronize, &QAction::triggered, Frm_Principal, [] {
        runRecordCommand(Frm_Principal, [] { Ac_SyncronizeExecute(*Frm_Principal); });
    });
    new LookupCommands(*Frm_Principal);  // the window owns it
    connectReportCommands(*Frm_Principal);
    connectToolCommands(*Frm_Principal);
    QObject::connect(Frm_Principal->ui->Import1, &QAction::triggered, Frm_Principal, [] {
        runRecordCommand(Frm_Principal, [] { runImportCommand(*Frm_Principal); });
    });
    QObject::connect(Frm_Principal->ui->Export1, &QAction::triggered, Frm_Principal, [] {
        runRecordCommand(Frm_Principal, [] { runExportCommand(*Frm_Principal); });
    });
    connectProfileCommands(*Frm_Principal);
}
