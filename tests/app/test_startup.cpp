#include "app/settings/tdm_const.h"
#include "app/startup.h"
#include "app/tfrm_config.h"
#include "app/tfrm_license.h"
#include "app/tfrm_splash.h"
#include "cache/tdm_local_data.h"
#include "dictionary/tdm_idioma.h"
#include "net/tdm_comm.h"
#include "store/tdm_rdp.h"
#include "test_support.h"
#include "tools/tfrm_convert.h"
#include "ui/db/controls/db_edit.h"
#include "ui/forms/dialogs.h"
#include "ui/main/tfrm_principal.h"
#include "ui/main/tfrm_principal_controls.h"
#include "ui_tfrm_config.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

using TestSupport::readFile;

namespace {

const QByteArray kStoreTemplate =
    R"(<?xml version="1.0" encoding="iso-8859-1" standalone="no"?><init></init>)";

// Records every message box and answers OK.
struct PromptLog {
    QList<Dialogs::Prompt> prompts;
    PromptLog() {
        Dialogs::setMessageHandler([this](const Dialogs::Prompt& p) {
            prompts << p;
            return QMessageBox::Ok;
        });
    }
    ~PromptLog() { Dialogs::setMessageHandler({}); }
    QStringList texts() const {
        QStringList list;
        for (const auto& p : prompts) {
            list << p.text;
        }
        return list;
    }
};

void installDictionary() {
    QFile::copy(qEnvironmentVariable("NEREVA_SOURCE_DIR") + "/resources/language.xml",
                "language.xml");
}

// A program started over a fresh data folder with the shipped dictionary; closed at the end.
struct StartedProgram {
    TestSupport::TempFolders folders;
    PromptLog log;
    Startup startup;
    bool started = (installDictionary(), startup.start());
    ~StartedProgram() {
        if (Frm_Principal) {
            Frm_Principal->close();
        }
    }
};

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void firstRunCreatesEveryFile();
    void windowTitlesGoOutAsTheyStand();
    void splashShowsProgressAndClosesItself();
    void tableEngineFailureEndsTheProgram();
    void unreadableDivesFileIsReportedAndKept();
    void unwritableLogIsToldAndRetriedAtExit_data();
    void unwritableLogIsToldAndRetriedAtExit();
    void missingDictionaryIsReportedOnce();
    void aboutWindowShowsVersionAndOpensSite();
    void synchronizeOpensTheDialogForAMember();
    void optionsDialogStoresOnOkOnly_data();
    void optionsDialogStoresOnOkOnly();
    void optionsDialogWithCodeOutsideTheList();
    void optionsDialogStoresALanguageChangeOnly_data();
    void optionsDialogStoresALanguageChangeOnly();
    void unitsToolComesAfterTheMainWindow();
    void closingTheMainWindowEndsTheProgramWhileTheToolFloats();
    void typedEditLeftByACrashIsOfferedAtTheNextStart_data();
    void typedEditLeftByACrashIsOfferedAtTheNextStart();
};

void TestStartup::firstRunCreatesEveryFile() {
    TestSupport::TempFolders folders;
    installDictionary();
    PromptLog log;
    {
        Startup startup;
        QVERIFY(startup.start());
        QVERIFY(Frm_Principal->isVisible());
        QVERIFY(dmComm && dm_rdp && dmLocalData && dmIdioma);
        QCOMPARE(Frm_Principal->windowTitle(), QString("NEREVA Desktop 0.7.15b"));
        Frm_Principal->close();
    }
    QCOMPARE(log.texts().join("|"), QString());
    const QString app = folders.appData();
    const QByteArray ini = readFile(app + "desktop.ini");
    for (const char* section :
         {"[Preferences]", "[InternetConnection]", "[Defaults]", "[Position]"}) {
        QVERIFY2(ini.contains(section), section);
    }
    QVERIFY(ini.contains("Unit_Pres=0"));
    QVERIFY(ini.contains("Dives_tree_w="));
    for (const char* name : {"localdata.xml", "contactlist.xml", "locations.xml"}) {
        QCOMPARE(readFile(app + name), kStoreTemplate);
    }
    QVERIFY(QFileInfo(app + "DB0.7").isDir());
    QVERIFY(QFileInfo::exists(folders.work() + "/tags.xml"));
    QCOMPARE(dm_const, nullptr);
    QCOMPARE(dmComm, nullptr);
    QCOMPARE(Frm_Principal, nullptr);
}

// Qt adds " - " and the application's display name to every window title that does not end
// with it, which made the main window read "NEREVA Desktop 0.7.15b - NEREVA Desktop" under a
// window manager. No display name is given: titles go out as they stand, and the program's
// name still answers where the display name is asked for (splash, About, message boxes).
void TestStartup::windowTitlesGoOutAsTheyStand() {
    StartedProgram program;
    QVERIFY(program.started);
    QCOMPARE(Frm_Principal->windowTitle(), QString("NEREVA Desktop 0.7.15b"));
    QCOMPARE(QGuiApplication::applicationDisplayName(), QString("NEREVA Desktop"));
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName("probe");
    const QString displayed = QGuiApplication::applicationDisplayName();
    QCoreApplication::setApplicationName(name);
    QCOMPARE(displayed, QString("probe"));  // no display name of its own
}

void TestStartup::splashShowsProgressAndClosesItself() {
    StartedProgram program;
    QVERIFY(program.started);
    QVERIFY(program.startup.splash());
    QCOMPARE(program.startup.splash()->loadingText(), dmIdioma->GetWord("loading_db"));
    QVERIFY(!program.startup.splash()->loadingText().isEmpty());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QTRY_VERIFY_WITH_TIMEOUT(program.startup.splash() == nullptr, 3000);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestStartup::tableEngineFailureEndsTheProgram() {
    TestSupport::TempFolders folders;
    installDictionary();
    PromptLog log;
    Startup::setTablesFactory([]() -> Tdm_rdp* { throw std::runtime_error("no engine"); });
    Startup startup;
    const bool started = startup.start();
    Startup::setTablesFactory([] { return new Tdm_rdp; });
    QVERIFY(!started);
    QCOMPARE(log.texts(), QStringList{"Error in DB.\n"});
    QCOMPARE(log.prompts.first().icon, QMessageBox::Critical);
    QCOMPARE(startup.splash()->loadingText(), QString("Error!"));
    QCOMPARE(Frm_Principal, nullptr);
}

void TestStartup::unreadableDivesFileIsReportedAndKept() {
    TestSupport::TempFolders folders;
    installDictionary();
    QDir().mkpath(folders.appData() + "DB0.7");
    const QString dives = folders.appData() + "DB0.7/dives.xml";
    TestSupport::writeFile(dives, "<not xml");
    PromptLog log;
    {
        Startup startup;
        QVERIFY(startup.start());
        QCOMPARE(log.prompts.size(), 1);
        QVERIFY2(log.prompts.first().text.contains("dives.xml"), qPrintable(log.texts().join('|')));
        QVERIFY(Frm_Principal->isVisible());
        Frm_Principal->close();
    }
    QCOMPARE(readFile(dives), QByteArray("<not xml"));
}

void TestStartup::unwritableLogIsToldAndRetriedAtExit_data() {
    QTest::addColumn<bool>("retry");
    QTest::newRow("freed and retried") << true;
    QTest::newRow("quit knowingly") << false;
}

// The tables folder becomes unwritable while the program runs: the diver is told once, the dive
// stays in memory, and at exit the diver may retry (after freeing the folder) or quit.
void TestStartup::unwritableLogIsToldAndRetriedAtExit() {
    QFETCH(bool, retry);
    TestSupport::TempFolders folders;
    installDictionary();
    const QString tables = folders.appData() + "DB0.7";
    QList<Dialogs::Prompt> prompts;
    Dialogs::setMessageHandler([&](const Dialogs::Prompt& p) {
        prompts << p;
        if (!(p.buttons & QMessageBox::Retry)) {
            return QMessageBox::Ok;
        }
        if (retry) {
            QFile::remove(tables);
            QDir().rename(tables + ".moved", tables);
            return QMessageBox::Retry;
        }
        return QMessageBox::Discard;
    });
    {
        Startup startup;
        QVERIFY(startup.start());
        QVERIFY(QDir().rename(tables, tables + ".moved"));
        TestSupport::writeFile(tables, "in the way");
        for (const char* site : {"Reef", "Reef wall"}) {
            dm_rdp->cds_dives->append();
            dm_rdp->cds_dives->setValue("Site", QString(site));
            dm_rdp->cds_dives->post();
            QTest::qWait(400);
        }
        QCOMPARE(prompts.size(), 1);
        QCOMPARE(prompts[0].icon, QMessageBox::Critical);
        QVERIFY2(prompts[0].text.contains(tables + "/dives.journal"), qPrintable(prompts[0].text));
        Frm_Principal->close();
    }
    Dialogs::setMessageHandler({});
    QCOMPARE(prompts.size(), 2);
    QVERIFY2(prompts[1].text.contains("dives.xml"), qPrintable(prompts[1].text));
    QCOMPARE(prompts[1].buttons, QMessageBox::Retry | QMessageBox::Discard);
    QCOMPARE(readFile(tables + "/dives.xml").contains("Reef wall"), retry);
}

void TestStartup::missingDictionaryIsReportedOnce() {
    TestSupport::TempFolders folders;
    PromptLog log;
    Startup startup;
    QVERIFY(startup.start());
    // The program's own folder may hold a dictionary; only the working folder is empty here.
    if (dmIdioma->active()) {
        QSKIP("a dictionary lies beside the test program");
    }
    QCOMPARE(log.texts(), QStringList{"No es posible cargar el diccionario del idioma!"});
    QCOMPARE(dmIdioma->GetWord("pending"), QString("pending"));
    Frm_Principal->close();
}

void TestStartup::aboutWindowShowsVersionAndOpensSite() {
    StartedProgram program;
    QVERIFY(program.started);
    QStringList opened;
    Tdm_const::setUrlOpener([&](const QString& url) { opened << url; });
    TFrm_License about(Frm_Principal);
    QCOMPARE(about.versionLabel()->text(), QString("0.7.15b (0.9)"));
    QCOMPARE(about.windowTitle(), dmIdioma->GetWord("about") + " NEREVA Desktop");
    QVERIFY(!dmIdioma->GetWord("about").isEmpty());
    QTest::mouseClick(about.linkLabel(), Qt::LeftButton);
    QCOMPARE(opened, QStringList{dm_const->BaseUrl});
}

void TestStartup::synchronizeOpensTheDialogForAMember() {
    StartedProgram program;
    QVERIFY(program.started);
    QStringList opened;
    Dialogs::setModalHandler([&](QDialog* dialog) {
        opened << dialog->metaObject()->className();
        return int(QDialog::Rejected);
    });
    Frm_Principal->ui->Ac_Syncronize->setEnabled(true);
    Frm_Principal->ui->Ac_Syncronize->trigger();
    QCOMPARE(program.log.prompts.size(), 1);  // no member yet: it says so and opens nothing
    QCOMPARE(opened, QStringList());
    Table* member = dm_rdp->cds_info;
    member->append();
    member->setValue("inet_user", QString("diver"));
    member->post();
    // Not over an edit whose text cannot be stored: the run would drop it unsaid.
    DbEdit depth;
    depth.bind(Frm_Principal->ds_conditions, "max_depth");
    depth.show();
    depth.setFocus();
    QTest::keyClicks(&depth, "x");
    Frm_Principal->ui->Ac_Syncronize->trigger();
    QCOMPARE(program.log.texts().last(), QString("'x' is not a valid floating point value"));
    QCOMPARE(opened, QStringList());
    QTest::keyClick(&depth, Qt::Key_Escape);
    Frm_Principal->ui->Ac_Syncronize->trigger();
    Dialogs::setModalHandler({});
    QCOMPARE(opened, QStringList{"TFrm_Syncro"});
}

void TestStartup::optionsDialogStoresOnOkOnly_data() {
    QTest::addColumn<bool>("ok");
    QTest::newRow("ok") << true;
    QTest::newRow("cancel") << false;
}

void TestStartup::optionsDialogStoresOnOkOnly() {
    QFETCH(bool, ok);
    StartedProgram program;
    QVERIFY(program.started);
    dm_const->DialupConnection = true;
    dm_const->Unit_Dist = 1;
    TFrm_config dialog(Frm_Principal);
    Ui::TFrm_config* f = dialog.form();
    QVERIFY(f->ck_con_dialup->isChecked());
    QCOMPARE(f->units_dist->currentIndex(), 1);
    QCOMPARE(f->PageControl1->currentIndex(), 0);
    f->ck_con_dsl->setChecked(true);
    f->units_dist->setCurrentIndex(0);
    f->units_pres->setCurrentIndex(2);
    f->proxy_host->setText(" proxy ");
    f->ck_adv->setChecked(true);
    QTest::mouseClick(ok ? f->bt_ok : f->bt_cancel, Qt::LeftButton);
    QCOMPARE(dm_const->DialupConnection, !ok);
    QCOMPARE(dm_const->Unit_Dist, ok ? 0 : 1);
    QCOMPARE(dm_const->Unit_Pres, ok ? 2 : 0);
    QCOMPARE(dm_const->ProxyHost, ok ? QString(" proxy ") : QString());
    QCOMPARE(dm_const->ViewAdvancedDives, ok);
}

void TestStartup::optionsDialogWithCodeOutsideTheList() {
    StartedProgram program;
    QVERIFY(program.started);
    dm_const->Unit_Temp = 7;
    TFrm_config dialog(Frm_Principal);
    QCOMPARE(dialog.form()->units_temp->currentIndex(), -1);
    QCOMPARE(dialog.form()->units_dist->itemText(1), dmIdioma->GetWord("Meters"));
    QCOMPARE(dialog.form()->ck_con_dialup->text(), QString("  Modem (Dial-up, DSL connection)"));
    dialog.bt_okClick();
    QCOMPARE(dm_const->Unit_Temp, -1);
}

void TestStartup::optionsDialogStoresALanguageChangeOnly_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");
    // The program runs with the English dictionary.
    QTest::newRow("none chosen, the one in use confirmed") << ""
                                                           << "en"
                                                           << "en"
                                                           << "";
    QTest::newRow("Spanish picked") << ""
                                    << "es"
                                    << "en"
                                    << "es";
    QTest::newRow("Spanish chosen before, English picked") << "es"
                                                           << "en"
                                                           << "es"
                                                           << "en";
    QTest::newRow("Spanish chosen before and kept") << "es"
                                                    << "es"
                                                    << "es"
                                                    << "es";
}

// The list shows the choice stored, else the language in use; only a change is stored, so a
// diver who never picks one keeps following the system's language.
void TestStartup::optionsDialogStoresALanguageChangeOnly() {
    QFETCH(QString, stored);
    QFETCH(QString, picked);
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    StartedProgram program;
    QVERIFY(program.started);
    dm_const->Language = stored;
    TFrm_config dialog(Frm_Principal);
    Ui::TFrm_config* f = dialog.form();
    QCOMPARE(f->cb_language->itemText(0), QString("English"));
    QCOMPARE(f->cb_language->itemText(1), QString("Español"));
    QCOMPARE(f->cb_language->currentData().toString(), shown);
    QCOMPARE(f->lb_language_next_start->text(), dmIdioma->GetWord("txt_language_next_start"));
    f->cb_language->setCurrentIndex(f->cb_language->findData(picked));
    dialog.bt_okClick();
    QCOMPARE(dm_const->Language, expected);
}

void TestStartup::unitsToolComesAfterTheMainWindow() {
    StartedProgram program;
    QVERIFY(program.started);
    QVERIFY(Frm_Convert);
    QCOMPARE(Frm_Principal->unitsTool(), Frm_Convert);
    QVERIFY(!Frm_Convert->isVisible());
    QVERIFY(!Frm_Convert->docked());
}

// The tool floats as a window of its own; the program still ends with the main window, and
// the tool, destroyed first, writes its place.
void TestStartup::closingTheMainWindowEndsTheProgramWhileTheToolFloats() {
    TestSupport::TempFolders folders;
    installDictionary();
    PromptLog log;
    {
        Startup startup;
        QVERIFY(startup.start());
        Frm_Principal->ui->UnitsConvertTool1->trigger();
        QVERIFY(Frm_Convert->isVisible());
        Frm_Convert->move(140, 120);
        // After the splash has gone, as a diver would.
        QTimer::singleShot(1500, Frm_Principal, [] { Frm_Principal->close(); });
        bool ended = true;
        QTimer::singleShot(10000, qApp, [&ended] {
            ended = false;
            QApplication::exit(1);
        });
        QCOMPARE(startup.run(), 0);
        QVERIFY(ended);
    }
    QCOMPARE(Frm_Convert, nullptr);
    const QByteArray ini = readFile(folders.appData() + "desktop.ini");
    QVERIFY2(ini.contains("Convert_x=140") && ini.contains("Convert=0"), ini.constData());
}

void TestStartup::typedEditLeftByACrashIsOfferedAtTheNextStart_data() {
    QTest::addColumn<bool>("bringBack");
    QTest::newRow("brought back") << true;
    QTest::newRow("declined") << false;
}

// The program ends (a crash) while the diver is typing into a dive: at the next start the diver
// is asked, and what was typed comes back into the dive as an edit not yet saved, or is dropped.
void TestStartup::typedEditLeftByACrashIsOfferedAtTheNextStart() {
    QFETCH(bool, bringBack);
    TestSupport::TempFolders folders;
    installDictionary();
    const QDir tables(folders.appData() + "DB0.7");
    QMap<QString, QByteArray> atTheCrash;
    {
        PromptLog log;
        Startup startup;
        QVERIFY(startup.start());
        dm_rdp->cds_dives->append();
        dm_rdp->cds_dives->setValue("Date", QDate(2024, 7, 14));
        dm_rdp->cds_dives->setValue("Site", "Blue Hole");
        dm_rdp->cds_dives->post();
        QTRY_VERIFY(!dm_rdp->cds_dives->hasUnsavedChanges());
        auto* site = Frm_Principal->findChild<DbEdit*>("dive_site");
        QTest::keyClick(site, Qt::Key_End);
        QTest::keyClicks(site, " wall");
        QCOMPARE(dm_rdp->cds_dives->state(), Table::State::Edit);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(tables.filePath("pending-edit.txt")), 5000);
        for (const QString& name : tables.entryList(QDir::Files)) {
            atTheCrash.insert(name, readFile(tables.filePath(name)));
        }
        Frm_Principal->close();
    }
    for (const QString& name : tables.entryList(QDir::Files)) {
        QFile::remove(tables.filePath(name));
    }
    for (auto it = atTheCrash.cbegin(); it != atTheCrash.cend(); ++it) {
        TestSupport::writeFile(tables.filePath(it.key()), it.value());
    }
    QList<Dialogs::Prompt> prompts;
    Dialogs::setMessageHandler([&](const Dialogs::Prompt& p) {
        prompts << p;
        return bringBack ? QMessageBox::Yes : QMessageBox::No;
    });
    {
        Startup startup;
        QVERIFY(startup.start());
        QCOMPARE(prompts.size(), 1);
        const QString question = dmIdioma->GetWord("txt_restore_pending_edit");
        QVERIFY(!question.isEmpty());
        QCOMPARE(prompts[0].text, question + "\n\n7/14/2024, Blue Hole");
        QCOMPARE(prompts[0].buttons, QMessageBox::Yes | QMessageBox::No);
        const auto* site = Frm_Principal->findChild<DbEdit*>("dive_site");
        QCOMPARE(site->text(), QString(bringBack ? "Blue Hole wall" : "Blue Hole"));
        QCOMPARE(dm_rdp->cds_dives->state(), bringBack ? Table::State::Edit : Table::State::Browse);
        QCOMPARE(QFile::exists(tables.filePath("pending-edit.txt")), bringBack);
        Frm_Principal->close();  // which posts the edit brought back
    }
    Dialogs::setMessageHandler({});
    QCOMPARE(readFile(tables.filePath("dives.xml")).contains("Blue Hole wall"), bringBack);
    QVERIFY(!QFile::exists(tables.filePath("pending-edit.txt")));
}

NEREVA_TEST_MAIN(TestStartup)
#include "test_startup.moc"
