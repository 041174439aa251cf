#include "render_lookups.h"

#include "cache_text.h"
#include "store/tdm_rdp.h"
#include "test_support.h"
#include "ui/lookup/lookup_controls.h"
#include "ui/lookup/lookup_tree_model.h"
#include "ui/lookup/lookup_widgets.h"
#include "ui/lookup/organization_tree.h"
#include "ui/lookup/tfrm_buddy_list.h"
#include "ui/lookup/tfrm_select_buddy.h"
#include "ui/lookup/tfrm_select_location.h"
#include "ui/lookup/tfrm_select_operator.h"
#include "ui/main/tfrm_principal.h"

#include <QDir>
#include <QTreeWidget>

namespace RenderLookups {
namespace {

using CacheText::Location;

QByteArray sampleLocations() {
    const QList<Location> locations = {
        {"101",
         "Cozumel",
         "Mexico",
         "Quintana Roo",
         "Cozumel",
         "Caribbean",
         {{1001, "Palancar Reef"},
          {1002, "Columbia Wall"},
          {1003, "Santa Rosa Wall"},
          {1004, "Paradise Reef"}}},
        {"102",
         "Cenote Dos Ojos",
         "Mexico",
         "Quintana Roo",
         "Tulum",
         "Yucatán Cenotes",
         {{1011, "Barbie Line"}, {1012, "The Pit"}}},
        {"103",
         "Espíritu Santo",
         "Mexico",
         "Baja California Sur",
         "La Paz",
         "Sea of Cortez",
         {{1021, "Los Islotes"}, {1022, "El Bajo"}}},
        {"201",
         "Blue Hole",
         "Egypt",
         "South Sinai",
         "Dahab",
         "Red Sea",
         {{2001, "The Arch"}, {2002, "The Bells"}}},
        {"202",
         "Ras Mohammed",
         "Egypt",
         "South Sinai",
         "Sharm el-Sheikh",
         "Red Sea",
         {{2011, "Shark Reef"}, {2012, "Yolanda Reef"}}},
        {"203",
         "Giftun Islands",
         "Egypt",
         "Red Sea",
         "Hurghada",
         "Red Sea",
         {{2021, "Police Station"}}},
        {"301",
         "Great Barrier Reef",
         "Australia",
         "Queensland",
         "Cairns",
         "Coral Sea",
         {{3001, "Cod Hole"}, {3002, "Osprey Reef"}}},
        {"401",
         "Scapa Flow",
         "United Kingdom",
         "Scotland",
         "Orkney",
         "North Sea",
         {{4001, "SMS Cöln"}, {4002, "SMS Dresden"}, {4003, "Kronprinz Wilhelm"}}},
        {"501", "Lake Malawi", "Malawi", "", "", "African Great Lakes", {{5001, "Thumbi Island"}}},
        {"601",
         "Kerama Islands",
         "Japan",
         "Okinawa",
         "",
         "East China Sea",
         {{6001, "Kuro Island"}}},
        {"701", "Balicasag", "Philippines", "Bohol", "", "Visayan Sea", {{7001, "Black Forest"}}},
    };
    QStringList records;
    for (const Location& location : locations) {
        records << CacheText::location(location);
    }
    return CacheText::document(records);
}

QByteArray sampleLocalData() {
    using CacheText::country;
    using CacheText::organization;
    return CacheText::localData(
        {country("Australia", {"New South Wales", "Queensland"}),
         country("Egypt", {"Red Sea", "South Sinai"}), country("Japan", {"Okinawa"}),
         country("Malawi", {}),
         country("Mexico", {"Baja California Sur", "Quintana Roo", "Yucatán"}),
         country("Philippines", {"Bohol", "Cebu"}),
         country("United Kingdom", {"England", "Scotland"})},
        {organization({"11", "Aldora Divers", true, false, "Mexico", "Quintana Roo", "Cozumel"}),
         organization({"12", "Scuba Tony", true, false, "Mexico", "Quintana Roo", "Cozumel"}),
         organization({"13", "Poseidon Divers", true, false, "Egypt", "South Sinai", "Dahab"}),
         organization({"14", "Pro Dive Cairns", true, true, "Australia", "Queensland", "Cairns"}),
         organization({"15", "Scapa Scuba", true, false, "United Kingdom", "Scotland", "Orkney"}),
         organization({"16", "Kayak Africa", true, false, "Malawi", "", ""}),
         organization({"21", "Blue Water Academy", false, true, "Mexico", "Quintana Roo", ""}),
         organization({"22", "Red Sea Diving College", false, true, "Egypt", "South Sinai",
                       "Sharm el-Sheikh"}),
         organization({"23", "Okinawa Dive School", false, true, "Japan", "Okinawa", ""})});
}

QByteArray sampleContacts() {
    using CacheText::contact;
    return CacheText::document(
        {contact("501", "Maria Lopez", "mlopez", "maria.lopez@example.org", "Mexico"),
         contact("502", "Łukasz Wróbel", "lwrobel", "lukasz@example.pl", "Poland"),
         contact("503", "Jiří Novák", "jnovak", "jiri.novak@example.cz", "Czech Republic"),
         contact("504", "Αλέξανδρος Παπαδόπουλος", "alexpap", "alex@example.gr", "Greece"),
         contact("505", "Андрей Смирнов", "asmirnov", "andrey@example.ru", "Russia"),
         contact("506", "Nguyễn Thị Lan", "nguyenlan", "lan@example.vn", "Vietnam"),
         contact("507", "Ana Torres", "atorres", "ana.torres@example.com", "Spain"),
         contact("508", "Jon Park", "jpark", "jon.park@example.com", "South Korea"),
         contact("509", "Lena Fischer", "lfischer", "lena@example.de", "Germany"),
         contact("510", "Ólafur Þórsson", "olafur", "olafur@example.is", "Iceland")});
}

void addResult(QTreeWidget* list, const QStringList& texts, bool ticked = false) {
    auto* row = new ListRow(texts);
    row->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
    list->addTopLevelItem(row);
}

void renderLocation(const std::function<void(QWidget*, const QString&)>& save) {
    Table* dive = dm_rdp->cds_dives;
    dive->edit();
    dive->setValue(QStringLiteral("pais"), QStringLiteral("Mexico"));
    dive->setValue(QStringLiteral("estado"), QStringLiteral("Quintana Roo"));
    dive->post();
    TFrmSelectLocation dialog(Frm_Principal, Frm_Principal->INetDetector1, Frm_Principal->ds_dives);
    Ui::TFrmSelectLocation* ui = dialog.ui;
    ui->PageControl1->setTabVisible(ui->PageControl1->indexOf(ui->ts_search), true);
    dialog.IdLocation = 101;
    dialog.IdSite = 1003;
    dialog.SiteName = QStringLiteral("Santa Rosa Wall");
    dialog.show();
    dialog.Timer1Timer();
    save(&dialog, QStringLiteral("select-location-local"));
    ui->ck_sites_view->click();
    dialog.Timer1Timer();
    save(&dialog, QStringLiteral("select-location-region"));
    ui->ck_sites_view->click();
    ui->PageControl1->setCurrentWidget(ui->ts_search);
    ui->search_name->setText(QStringLiteral("reef"));
    addResult(ui->tlist_search, {"Great Barrier Reef", "Australia", "Queensland"}, true);
    addResult(ui->tlist_search, {"Palancar Reef", "Mexico", "Quintana Roo"});
    addResult(ui->tlist_search, {"Shark & Yolanda Reef", "Egypt", "South Sinai"}, true);
    addResult(ui->tlist_search, {"Molasses Reef", "United States", "Florida"});
    save(&dialog, QStringLiteral("select-location-search"));
    ui->ed_location->setText(QStringLiteral("Isla Mujeres"));
    ui->ed_site->setText(QStringLiteral("Manchones Reef"));
    ui->PageControl1->setCurrentWidget(ui->ts_new);
    save(&dialog, QStringLiteral("select-location-new"));
}

void renderOrganizations(const std::function<void(QWidget*, const QString&)>& save) {
    for (const auto& [kind, id, name] : {std::tuple{OrganizationTree::kOperators, 11, "operator"},
                                         std::tuple{OrganizationTree::kSchools, 22, "school"}}) {
        TFrmSelectOperator dialog(Frm_Principal);
        dialog.OrganizationKind = kind;
        dialog.OrganizationId = id;
        dialog.show();
        dialog.Timer1Timer();
        save(&dialog, QStringLiteral("select-%1").arg(QLatin1String(name)));
    }
}

void renderContacts(const std::function<void(QWidget*, const QString&)>& save) {
    TFrmBuddyList list(Frm_Principal, Frm_Principal->INetDetector1);
    Ui::TFrmBuddyList* ui = list.ui;
    ui->PageControl1->setTabVisible(ui->PageControl1->indexOf(ui->ts_search), true);
    list.FocusId = 502;
    list.show();
    list.Timer1Timer();
    ui->bt_valid_user->show();
    save(&list, QStringLiteral("contact-list"));
    ui->PageControl1->setCurrentWidget(ui->ts_search);
    ui->search_name->setText(QStringLiteral("Nguyễn"));
    ui->search_and->setCurrentIndex(1);
    addResult(ui->tlist_search, {"Nguyễn Thị Lan", "nguyenlan", "lan@example.vn", "Vietnam"});
    addResult(ui->tlist_search, {"Nguyễn Văn Minh", "vminh", "minh@example.vn", "Vietnam"}, true);
    save(&list, QStringLiteral("contact-list-search"));

    for (const auto& [role, id, name] :
         {std::tuple{0, 505, "buddy"},
          std::tuple{TFrmSelectBuddy::kInstructor, 507, "instructor"}}) {
        TFrmSelectBuddy dialog(Frm_Principal, Frm_Principal->INetDetector1);
        dialog.Role = role;
        dialog.ContactId = id;
        dialog.show();
        dialog.Timer1Timer();
        save(&dialog, QStringLiteral("select-%1").arg(QLatin1String(name)));
    }
}

}  // namespace

void writeSampleCache(const QString& appData) {
    QDir().mkpath(appData);
    TestSupport::writeFile(appData + QStringLiteral("locations.xml"), sampleLocations());
    TestSupport::writeFile(appData + QStringLiteral("localdata.xml"), sampleLocalData());
    TestSupport::writeFile(appData + QStringLiteral("contactlist.xml"), sampleContacts());
}

void render(const std::function<void(QWidget*, const QString&)>& save) {
    renderLocation(save);
    renderOrganizations(save);
    renderContacts(save);
}

}  // namespace RenderLookups
