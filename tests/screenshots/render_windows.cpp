// Renders every window built so far to PNG files, offscreen, over a small sample log, so anyone
// can look at them without a display. Usage: render-windows <output folder> [language code]
// renders the windows in that language into the folder; without a code, every shipped language
// is rendered, each into a subfolder named by its code.
#include "../sync/fake_service.h"
#include "app/settings/tdm_const.h"
#include "app/startup.h"
#include "app/tfrm_config.h"
#include "app/tfrm_license.h"
#include "app/tfrm_splash.h"
#include "cache/tdm_local_data.h"
#include "dictionary/dictionary_languages.h"
#include "dictionary/tdm_idioma.h"
#include "fake_service.h"
#include "interchange/log_import.h"
#include "interchange/ui/tfrm_export.h"
#include "interchange/ui/tfrm_import.h"
#include "render_lookups.h"
#include "reports/tfrm_report.h"
#include "reports/tfrm_report_preview.h"
#include "reports/tfrm_stats.h"
#include "store/tdm_rdp.h"
#include "sync/ui/tfrm_syncro.h"
#include "test_support.h"
#include "tools/tfrm_convert.h"
#include "tools/tfrm_update.h"
#include "ui/forms/dialogs.h"
#include "ui/main/tdlg_date.h"
#include "ui/main/tdlg_download.h"
#include "ui/main/tfrm_drive_advanced.h"
#include "ui/main/tfrm_notes.h"
#include "ui/main/tfrm_principal.h"
#include "ui/main/tfrm_principal_controls.h"
#include "ui/main/tfrm_stops.h"
#include "ui/profile/profile_forms.h"
#include "ui/profile/tdlg_register_user.h"
#include "ui/profile/tfrm_certificate.h"
#include "ui/profile/tfrm_diver_info.h"
#include "ui/profile/tfrm_invite.h"
#include "ui_tfrm_config.h"
#include "ui_tfrm_export.h"
#include "ui_tfrm_import.h"
#include "ui_tfrm_stats.h"

#include <QDir>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <cstdio>

namespace {

QString outputFolder;

void save(QWidget* window, const QString& name) {
    window->show();
    QApplication::processEvents();
    const QString file = outputFolder + QLatin1Char('/') + name + QStringLiteral(".png");
    window->grab().save(file);
    std::printf("%s\n", qPrintable(file));
}

struct SampleDive {
    QDate date;
    QTime start;
    const char* location;
    const char* site;
    double maxDepth;
    const char* bottomTime;
    const char* country;
};

void addSampleLog() {
    const SampleDive dives[] = {
        {QDate(2024, 3, 2), QTime(9, 30), "Cozumel", "Palancar Reef", 24.5, "00:48", "Mexico"},
        {QDate(2024, 3, 2), QTime(14, 10), "Cozumel", "Columbia Wall", 30, "00:41", "Mexico"},
        {QDate(2024, 8, 17), QTime(10, 0), "Blue Hole, Dahab", "The Arch", 28, "00:35", "Egypt"},
        {QDate(2025, 1, 5), QTime(8, 45), "Great Barrier Reef", "Cod Hole", 18, "00:55",
         "Australia"},
    };
    Table* t = dm_rdp->cds_dives;
    for (const SampleDive& d : dives) {
        t->append();
        t->setValue("Date", d.date);
        t->setValue("Time_Start", d.start);
        t->setValue("Location", QString::fromUtf8(d.location));
        t->setValue("Site", QString::fromUtf8(d.site));
        t->setValue("pais", QString::fromUtf8(d.country));
        t->post();
        dm_rdp->cds_conditions->append();
        dm_rdp->cds_conditions->setValue("max_depth", d.maxDepth);
        dm_rdp->cds_conditions->setValue("depth_unit", 1);
        dm_rdp->cds_conditions->setValue("bottom_time", QString::fromLatin1(d.bottomTime));
        dm_rdp->cds_conditions->post();
    }
    t->first();
}

void setFields(Table* table, const QList<QPair<const char*, QVariant>>& values) {
    if (table->recordCount() == 0) {
        table->append();
    } else {
        table->edit();
    }
    for (const auto& [field, value] : values) {
        table->setValue(QString::fromLatin1(field), value);
    }
    table->post();
}

// The current dive of the sample log with every page filled in; `protection` adds its lock,
// certification and links to the directories.
void fillDive(const QList<QPair<const char*, QVariant>>& protection = {}) {
    setFields(dm_rdp->cds_dives,
              QList<QPair<const char*, QVariant>>{{"Dive_Media", 1},
                                                  {"Activity", 7},
                                                  {"Activity2", 6},
                                                  {"dive_rating", 4},
                                                  {"Site_type", 5},
                                                  {"Dive_Type", 3},
                                                  {"Dive_type2", 1},
                                                  {"Access_Type", 1},
                                                  {"Dive_Deco", 1},
                                                  {"dive_day", 1},
                                                  {"coordinates", "20:25:10N-86:59:30W"},
                                                  {"operator", "Aldora Divers"},
                                                  {"school", "Blue Water Academy"},
                                                  {"instructor", "Ana Torres"},
                                                  {"buddy", "Maria Lopez"},
                                                  {"team1", "Jon Park"},
                                                  {"team2", "Lena Fischer"},
                                                  {"xTeam_Leader", 0}} +
                  protection);
    setFields(dm_rdp->cds_conditions, {{"depth", 14.2},
                                       {"stop_depth", 5},
                                       {"stop", "00:03"},
                                       {"stop_gas_mix", 3},
                                       {"stop_depth1", 3},
                                       {"stop1", "00:05"},
                                       {"stop_gas_mix1", 1},
                                       {"dive_si", "01:30"},
                                       {"altitude", 0},
                                       {"altitude_unit", 1},
                                       {"GP_in", "A"},
                                       {"GP_out", "K"},
                                       {"observations", "Turtles at the wall, mild current."},
                                       {"cond_visibility", 25},
                                       {"cond_visibility_Max", 30},
                                       {"cond_visibility_unit", 1},
                                       {"cond_tiempo_in", 1},
                                       {"cond_tiempo_out", 2},
                                       {"cond_Surf", 2},
                                       {"cond_Current", 3},
                                       {"cond_Current_dir", "N"},
                                       {"cond_wind", 2},
                                       {"cond_wind_dir", "NE"},
                                       {"cond_temp_air", 29},
                                       {"cond_temp_surf", 28},
                                       {"cond_temp_bottom", 27},
                                       {"cond_temp_unit", 1},
                                       {"cond_xWaves", 1}});
    setFields(
        dm_rdp->cds_equipment,
        {{"pres_in", 200},    {"pres_out", 50},        {"pres_end_used", 0}, {"pres_max", 232},
         {"pres_unit", 1},    {"Dc_Vendor", "Suunto"}, {"Dc_Model", "D5"},   {"suit_medida", "5/3"},
         {"suit_unit", 1},    {"lead_estado", 2},      {"lead_weight", 6},   {"lead_unit", 1},
         {"gas_mix", 3},      {"pro_wet", 1},          {"pro_hood", 1},      {"pro_gloves", 1},
         {"pro_booties", 1},  {"misc_comp", 1},        {"misc_cam", 1},      {"misc_light", 1},
         {"misc_buoy", 1},    {"misc_compass", 1},     {"cil_size", 11.1},   {"cil_type", 1},
         {"cil_size_unit", 1}});
}

// The sample log's first three dives filled in: a plain one, a locked one, and a certified one
// whose place, operator, school and buddy are linked to the directories.
void fillSampleDives() {
    Table* dives = dm_rdp->cds_dives;
    dives->first();
    fillDive();
    dives->next();
    fillDive({{"locked", 1}, {"id_dive", 12}});
    dives->next();
    fillDive({{"certify_by", 1},
              {"id_dive", 13},
              {"id_Location", 4},
              {"id_site", 9},
              {"id_operator", 3},
              {"id_school", 5},
              {"id_buddy", 21}});
    dives->first();
}

// A page, and once more scrolled to its end when it is taller than its place.
void saveScrolled(QScrollArea* page, const QString& name) {
    page->verticalScrollBar()->setValue(0);
    save(Frm_Principal, name);
    QScrollBar* bar = page->verticalScrollBar();
    if (bar->maximum() > 0) {
        bar->setValue(bar->maximum());
        save(Frm_Principal, name + QStringLiteral("-end"));
        bar->setValue(0);
    }
}

// Every advanced page, then the simple page, each name ending in `suffix`.
void saveEditorPages(const QString& prefix, const QString& suffix) {
    Ui::TFrm_Principal* ui = Frm_Principal->ui;
    ui->PageSimple->hide();
    ui->PageAdvanced->show();
    for (int i = 0; i < ui->PageAdvanced->count(); ++i) {
        ui->PageAdvanced->setCurrentIndex(i);
        const QString name = prefix + QStringLiteral("advanced-%1").arg(i + 1) + suffix;
        auto* scrolled = ui->PageAdvanced->widget(i)->findChild<QScrollArea*>();
        scrolled ? saveScrolled(scrolled, name) : save(Frm_Principal, name);
    }
    ui->PageAdvanced->hide();
    ui->PageSimple->show();
    saveScrolled(ui->PageSimple, prefix + QStringLiteral("simple") + suffix);
    ui->PageAdvanced->setCurrentIndex(0);
}

// The main window's first-run sizes (an 1,024 and an 800 pixel wide screen).
struct FirstRunSize {
    QSize window;
    int leftPanel;
};
const FirstRunSize kFirstRunSizes[] = {{{950, 600}, 300}, {{750, 500}, 200}};

// The editor at the first-run sizes, then the locked and the certified dive at the larger one,
// where the read-only look can be checked on every page.
void renderEditor() {
    const auto& sizes = kFirstRunSizes;
    for (const FirstRunSize& size : sizes) {
        Frm_Principal->resize(size.window);
        Frm_Principal->setLeftPanelWidth(size.leftPanel);
        saveEditorPages(QStringLiteral("editor-"), QStringLiteral("-%1").arg(size.window.width()));
    }
    Frm_Principal->resize(sizes[0].window);
    Frm_Principal->setLeftPanelWidth(sizes[0].leftPanel);
    Table* dives = dm_rdp->cds_dives;
    dives->setRecNo(2);
    saveEditorPages(QStringLiteral("editor-locked-"), QString());
    dives->setRecNo(3);
    saveEditorPages(QStringLiteral("editor-certified-"), QString());
    dives->first();
}

// The dive's own windows, over the plain dive and again over the locked one.
void renderSubDialogs() {
    Table* dives = dm_rdp->cds_dives;
    for (int dive : {1, 2}) {
        dives->setRecNo(dive);
        const QString suffix = dive == 1 ? QString() : QStringLiteral("-locked");
        TFrmStops stops(Frm_Principal, Frm_Principal->ds_conditions);
        save(&stops, QStringLiteral("stops") + suffix);
        TFrmDriveAdvanced advanced(Frm_Principal, Frm_Principal->ds_dives);
        save(&advanced, QStringLiteral("advanced") + suffix);
        TFrmNotes notes(Frm_Principal, Frm_Principal->ds_conditions, Frm_Principal->ds_dives);
        save(&notes, QStringLiteral("notes") + suffix);
    }
    dives->first();
    TDlg_date date(Frm_Principal, Frm_Principal->ds_dives);
    save(&date, QStringLiteral("date"));
    TDlgDownload wait(Frm_Principal);
    save(&wait, QStringLiteral("please-wait"));
    wait.closeByProgram();
}

// The report's first page as the printer gets it, through a PDF.
void renderReport() {
    Table* member = dm_rdp->cds_info;
    member->recordCount() == 0 ? member->append() : member->edit();
    member->setValue(QStringLiteral("name"), QStringLiteral("Pat Diver"));
    member->post();
    TFrmReport report;
    report.FormCreate();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = outputFolder + QStringLiteral("/report.pdf");
    printer.setOutputFileName(pdf);
    report.print(printer);
    const QString page = outputFolder + QStringLiteral("/report-page-1");
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("110"),
                       QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                       QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, page});
    QFile::remove(pdf);
    std::printf("%s.png\n", qPrintable(page));
    TFrmReportPreview preview(Frm_Principal, report);
    preview.resize(820, 760);
    save(&preview, QStringLiteral("report-preview"));
}

void renderStatistics() {
    TFrmStats stats(Frm_Principal);
    stats.show();
    QTabWidget* pages = stats.form()->PageControl1;
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        save(&stats, QStringLiteral("statistics-%1").arg(i + 1));
    }
}

void renderUnitsTool() {
    TFrm_Convert* tool = Frm_Convert;
    tool->edit(1)->setFocus();
    tool->EditEnter(1);
    tool->edit(1)->setText(QStringLiteral("60"));
    tool->EditEnter(6);
    tool->edit(6)->setText(QStringLiteral("24"));
    save(tool, QStringLiteral("units-tool-floating"));
    Frm_Principal->dockUnitsTool(tool);
    save(Frm_Principal, QStringLiteral("units-tool-docked"));
    Frm_Principal->undockUnitsTool();
    tool->hide();
}

// The update window waiting, with a list, on the latest version and after a failure, against
// a stand-in service.
void renderUpdate() {
    FakeService service;
    dm_const->UrlInfo = service.root() + QStringLiteral("serv0.9/info/");
    const struct {
        const char* name;
        int status;
        QByteArray body;
    } states[] = {
        {"update-list", 200,
         "<?xml version=\"1.0\"?><update><component><name>NEREVA Desktop 0.8.2</name>"
         "</component><component><name>Spanish dictionary 2024-05</name></component>"
         "</update>"},
        {"update-latest", 200, "<?xml version=\"1.0\"?><update/>"},
        {"update-failed", 500, "Internal error"},
    };
    {
        TFrmUpdate waiting(Frm_Principal);
        waiting.Timer1->stop();
        save(&waiting, QStringLiteral("update-waiting"));
    }
    for (const auto& state : states) {
        service.answer("update.xml.php", state.body, state.status);
        TFrmUpdate update(Frm_Principal);
        update.Timer1Timer();
        save(&update, QString::fromLatin1(state.name));
    }
}

QString dataFile(const QString& name) {
    return qEnvironmentVariable("NEREVA_SOURCE_DIR") + QStringLiteral("/tests/data/") + name;
}

// Dives of `file` added to the log (the first `count` of them, or all); the first one added.
Table::Bookmark importDives(const QString& file, int count = -1) {
    std::optional<LogFile> log = LogReader::read(dataFile(file));
    return LogImport(*dm_rdp, std::move(*log), DiveFields::importUnits(1, 1, 1))
        .apply(DuplicateChoice::Skip, [count](int done, int) { return count < 0 || done < count; })
        .firstAdded;
}

// The DC Profile page over a dive imported from Subsurface's UDDF, at both first-run sizes.
void renderProfile() {
    dm_rdp->cds_dives->gotoBookmark(importDives(QStringLiteral("subsurface-export-3.2.0.uddf")));
    Ui::TFrm_Principal* ui = Frm_Principal->ui;
    ui->PageSimple->hide();
    ui->PageAdvanced->show();
    ui->PageAdvanced->setCurrentWidget(ui->ts_DcProfile);
    for (const FirstRunSize& size : kFirstRunSizes) {
        Frm_Principal->resize(size.window);
        Frm_Principal->setLeftPanelWidth(size.leftPanel);
        save(Frm_Principal, QStringLiteral("dc-profile-imported-%1").arg(size.window.width()));
    }
    dm_rdp->cds_dives->first();
}

// The import window over a Subsurface log one of whose dives is already in the log.
void renderImport() {
    importDives(QStringLiteral("subsurface-v3.ssrf"), 1);
    TFrmImport import(Frm_Principal);
    import.readFile(dataFile(QStringLiteral("subsurface-v3.ssrf")));
    save(&import, QStringLiteral("import-preview"));
    import.form()->rb_merge->setChecked(true);
    import.bt_importClick();
    save(&import, QStringLiteral("import-summary"));
    TFrmExport exporter(Frm_Principal, 0);
    exporter.form()->rb_selected->setChecked(true);
    exporter.form()->lv_dives->selectRow(1);
    save(&exporter, QStringLiteral("export"));
}

void renderOptions() {
    TFrm_config options(Frm_Principal);
    QTabWidget* pages = options.form()->PageControl1;
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        save(&options, QStringLiteral("options-%1").arg(i + 1));
    }
}

// A member with three certificates, the first one certified, and reference lists to choose from.
void addSampleMember() {
    setFields(dm_rdp->cds_info, {{"name", "Maria Lopez"},
                                 {"inet_email", "maria.lopez@example.org"},
                                 {"address", "Calle 10 #245"},
                                 {"city", "Playa del Carmen"},
                                 {"state", "Quintana Roo"},
                                 {"country", "Mexico"},
                                 {"inet_user", "mlopez"},
                                 {"inet_pass", "secret"},
                                 {"per_pub_personal", 1},
                                 {"per_pub_dives", 2},
                                 {"per_send1", 1}});
    const QList<QList<QPair<const char*, QVariant>>> certificates = {
        {{"date", QDate(2005, 3, 14)},
         {"category", 0},
         {"certify_by", 1},
         {"cert_no", "0503AB1234"},
         {"agency", "PADI"},
         {"level", "Open Water Diver"},
         {"operator", "Blue Water Academy"},
         {"id_operator", 12},
         {"instructor", "Ana Torres"},
         {"inst_cert_no", "PADI-44120"}},
        {{"date", QDate(2009, 6, 2)},
         {"category", 1},
         {"cert_no", "N-77812"},
         {"agency", "SSI"},
         {"level", "Enriched Air Nitrox"},
         {"operator", "Aldora Divers"},
         {"instructor", "Jon Park"}},
        {{"category", 2}, {"agency", "DAN"}, {"level", "First Aid"}, {"operator", "Dive Club"}}};
    for (const auto& certificate : certificates) {
        dm_rdp->cds_certif->append();
        for (const auto& [field, value] : certificate) {
            dm_rdp->cds_certif->setValue(QString::fromLatin1(field), value);
        }
        dm_rdp->cds_certif->post();
    }
    const XmlDocument reference = XmlDocument::parse(
        QByteArrayLiteral(
            "<data><countries>"
            "<country><name>Mexico</name><states><state><name>Quintana Roo</name></state>"
            "<state><name>Yucatan</name></state></states></country>"
            "<country><name>Egypt</name><states><state><name>South Sinai</name></state></states>"
            "</country></countries><agencies>"
            "<agency><name>PADI</name><levels><level>Open Water Diver</level>"
            "<level>Advanced Open Water Diver</level><level>Rescue Diver</level></levels></agency>"
            "<agency><name>SSI</name><levels><level>Open Water Diver</level>"
            "<level>Enriched Air Nitrox</level></levels></agency>"
            "</agencies></data>"),
        QStringLiteral("The reference sample"));
    TdmLocalData::replaceRoot(dmLocalData->XMLLocalData, reference.documentElement());
}

// The certificate row whose date is `date`, made current.
void gotoCertificate(const QDate& date) {
    Table* rows = dm_rdp->cds_certif;
    for (rows->first(); !rows->eof(); rows->next()) {
        if (rows->value("date").toDate() == date) {
            return;
        }
    }
}

void renderMemberInformation() {
    TFrm_Diver_info info(Frm_Principal, Frm_Principal->ui->Ac_Register_Member);
    Ui::TFrm_Diver_info* form = info.form();
    form->PageControl1->setCurrentWidget(form->ts_general);
    save(&info, QStringLiteral("member-1-general"));
    form->PageControl1->setCurrentWidget(form->ts_certifications);
    form->lv_cert->setCurrentItem(form->lv_cert->topLevelItem(1));
    save(&info, QStringLiteral("member-2-certifications"));
    form->PageControl1->setCurrentWidget(form->TabSheet1);
    form->PageControl2->setCurrentWidget(form->ts_member);
    save(&info, QStringLiteral("member-3-community"));
    form->PageControl2->setCurrentWidget(form->ts_options);
    save(&info, QStringLiteral("member-4-options"));
    info.close();
    gotoCertificate(QDate(2009, 6, 2));
    TFrmCertificate editor(Frm_Principal, dm_rdp->ds_certif);
    save(&editor, QStringLiteral("certificate-edit"));
    gotoCertificate(QDate(2005, 3, 14));
    TFrmCertificate sheet(Frm_Principal, dm_rdp->ds_certif);
    save(&sheet, QStringLiteral("certificate-certified"));
}

// The wizard and the invitation against a stand-in service that accepts them.
void renderMembership() {
    FakeService service;
    service.answer("", "status:1\r\nmlopez\r\n");
    service.answer("invite.php", "OK");
    dm_const->UrlRegister = service.root() + QStringLiteral("serv0.9/register/");
    TDlg_Register_User wizard(Frm_Principal);
    save(&wizard, QStringLiteral("register-1-intro"));
    wizard.bt_nextClick();
    Ui::TDlg_Register_User* form = wizard.form();
    form->ed_name->setText(QStringLiteral("Maria Lopez"));
    form->ed_email->setText(QStringLiteral("maria.lopez@example.org"));
    form->ed_user->setText(QStringLiteral("mlopez"));
    form->ed_pass->setText(QStringLiteral("secret"));
    form->ed_pass2->setText(QStringLiteral("secret"));
    save(&wizard, QStringLiteral("register-2-form"));
    wizard.bt_nextClick();
    save(&wizard, QStringLiteral("register-3-registered"));
    TFrmInvite invite(Frm_Principal);
    invite.form()->edEmail->setText(QStringLiteral("jon.park@example.org"));
    save(&invite, QStringLiteral("invite-1-entry"));
    invite.btSendClick();
    save(&invite, QStringLiteral("invite-2-sent"));
}

// Every shipped language, each by a run of this program of its own (the modules are global).
int renderEveryLanguage() {
    int failures = 0;
    for (const ShippedLanguage& language : shippedLanguages()) {
        const QString folder = QDir(outputFolder).filePath(language.code);
        failures += QProcess::execute(QCoreApplication::applicationFilePath(),
                                      {folder, language.code}) != 0;
    }
    return failures == 0 ? 0 : 1;
}

// The dictionary of `code` as the source tree holds it.
QString dictionaryOf(const QString& code) {
    const QString resources =
        qEnvironmentVariable("NEREVA_SOURCE_DIR") + QStringLiteral("/resources/");
    return resources + (code == kEnglish ? QString() : code + QLatin1Char('/')) +
           QStringLiteral("language.xml");
}

int renderLanguage(const QString& code) {
    TestSupport::TempFolders folders;
    if (!QFile::copy(dictionaryOf(code), QStringLiteral("language.xml"))) {
        std::fprintf(stderr, "no dictionary for \"%s\"\n", qPrintable(code));
        return 1;
    }
    // A message box would wait for a click nobody gives: print it instead.
    Dialogs::setMessageHandler([](const Dialogs::Prompt& prompt) {
        std::fprintf(stderr, "message: %s\n", qPrintable(prompt.text));
        return QMessageBox::Ok;
    });
    RenderLookups::writeSampleCache(folders.appData());
    Startup startup;
    if (!startup.start()) {
        return 1;
    }
    save(startup.splash(), QStringLiteral("splash"));
    addSampleLog();
    fillSampleDives();
    save(Frm_Principal, QStringLiteral("main-window"));
    renderEditor();
    renderSubDialogs();
    TFrm_License about(Frm_Principal);
    save(&about, QStringLiteral("about"));
    renderOptions();
    TFrm_Syncro syncro(Frm_Principal);
    save(&syncro, QStringLiteral("synchronize"));
    RenderLookups::render(save);
    renderReport();
    renderStatistics();
    renderUnitsTool();
    renderUpdate();
    renderProfile();
    renderImport();
    addSampleMember();
    renderMemberInformation();
    renderMembership();
    // A key the dictionary lacks shows on some window as "<key>" or as nothing at all.
    for (const QString& missing : dmIdioma->MissingKeys()) {
        std::fprintf(stderr, "missing key: %s\n", qPrintable(missing));
    }
    const bool complete = dmIdioma->MissingKeys().isEmpty();
    Frm_Principal->close();
    return complete ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    TestSupport::prepareProcess();
    QApplication app(argc, argv);
    outputFolder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(outputFolder);
    outputFolder = QDir(outputFolder).absolutePath();
    return argc > 2 ? renderLanguage(QString::fromLocal8Bit(argv[2])) : renderEveryLanguage();
}
