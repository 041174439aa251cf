#include "cache/tdm_local_data.h"
#include "cache_text.h"
#include "main_fixture.h"
#include "ui/db/controls/db_edit.h"
#include "ui/lookup/lookup_commands.h"
#include "ui/lookup/lookup_controls.h"
#include "ui/lookup/lookup_tree_model.h"
#include "ui/lookup/tfrm_buddy_list.h"
#include "ui/lookup/tfrm_select_buddy.h"
#include "ui/lookup/tfrm_select_location.h"
#include "ui/lookup/tfrm_select_operator.h"

#include <QVariantMap>
#include <functional>

namespace {

// The main window with its look-up commands over one dive and a small cache. Each modal window
// is recorded with what it was given and answered by `onModal`.
struct CommandsFixture : MainFixture {
    TdmLocalData cache;
    std::unique_ptr<LookupCommands> commands;
    QList<QVariantMap> opened;  // what each dialog was given, with its class and owner
    std::function<void(QDialog*)> onModal = [](QDialog*) {};

    CommandsFixture()
        : MainFixture(TestSupport::readFile(qEnvironmentVariable("NEREVA_SOURCE_DIR") +
                                            QStringLiteral("/resources/language.xml"))) {
        TestSupport::writeFile(
            settings->AppDataDir + QStringLiteral("localdata.xml"),
            CacheText::localData({}, {CacheText::organization(
                                          {"11", "Aldora Divers", true, false, "Mexico", "", ""}),
                                      CacheText::organization({"21", "Blue Water Academy", false,
                                                               true, "Mexico", "", ""})}));
        dmLocalData = &cache;
        cache.DataModuleCreate();
        addDive(QDate(2024, 3, 2), QStringLiteral("Cozumel"));
        setDive({{"id_Location", 5},
                 {"Site", "Palancar"},
                 {"id_site", 7},
                 {"operator", "Aldora"},
                 {"id_operator", 11},
                 {"school", "BWA"},
                 {"id_school", 21},
                 {"buddy", "Maria"},
                 {"id_buddy", 501},
                 {"instructor", "Ana"},
                 {"id_instructor", 507},
                 {"team3", "Jon"},
                 {"id_team3", 508}});
        open();
        commands = std::make_unique<LookupCommands>(*window);
        Dialogs::setModalHandler([this](QDialog* dialog) {
            opened << given(dialog);
            onModal(dialog);
            return int(QDialog::Accepted);
        });
    }

    ~CommandsFixture() {
        commands.reset();
        window.reset();
        dmLocalData = nullptr;
    }

    Table* dives() const { return tables->cds_dives; }

    void setDive(const QVariantMap& fields) {
        dives()->edit();
        for (auto it = fields.begin(); it != fields.end(); ++it) {
            dives()->setValue(it.key(), it.value());
        }
        dives()->post();
    }

    QVariantMap diveFields(const QStringList& names) const {
        QVariantMap values;
        for (const QString& name : names) {
            values.insert(name, dives()->asString(name));
        }
        return values;
    }

    QVariantMap given(QDialog* dialog) const {
        QVariantMap in{{"class", QString::fromLatin1(dialog->metaObject()->className())},
                       {"owner", dialog->parentWidget() == window.get()}};
        if (auto* location = qobject_cast<TFrmSelectLocation*>(dialog)) {
            in.insert({{"IdLocation", location->IdLocation},
                       {"IdSite", location->IdSite},
                       {"LocationName", location->LocationName},
                       {"SiteName", location->SiteName}});
        } else if (auto* organization = qobject_cast<TFrmSelectOperator*>(dialog)) {
            in.insert({{"OrganizationKind", organization->OrganizationKind},
                       {"OrganizationId", organization->OrganizationId},
                       {"OrganizationName", organization->OrganizationName}});
        } else if (auto* buddy = qobject_cast<TFrmSelectBuddy*>(dialog)) {
            in.insert({{"ContactId", buddy->ContactId}, {"Role", buddy->Role}});
        } else if (auto* list = qobject_cast<TFrmBuddyList*>(dialog)) {
            in.insert("FocusId", list->FocusId);
        }
        return in;
    }

    QAbstractButton* button(const char* name) const {
        return window->findChild<QAbstractButton*>(QLatin1String(name));
    }
};

const QStringList kLocationFields = {"Location", "id_Location", "Site", "id_site"};

}  // namespace

class TestLookupCommands : public QObject {
    Q_OBJECT
private slots:
    void chooseLocationWritesTheDive_data();
    void chooseLocationWritesTheDive();
    void locationMenuOpensTheSameDialog();
    void chooseOrganizationWritesTheDive_data();
    void chooseOrganizationWritesTheDive();
    void operatorChosenInTheRealDialog();
    void chooseContactWritesTheDive_data();
    void chooseContactWritesTheDive();
    void contactListOpensFromTheCommunityMenu();
    void noChoiceStartsOverTextItsFieldCannotTake();
};

void TestLookupCommands::chooseLocationWritesTheDive_data() {
    QTest::addColumn<QVariantList>("returned");  // IdLocation, IdSite, names, NewLocation
    QTest::addColumn<QStringList>("written");    // Location, id_Location, Site, id_site

    QTest::newRow("chosen") << QVariantList{9, 12, "Blue Hole, Dahab", "The Arch", false}
                            << QStringList{"Blue Hole, Dahab", "9", "The Arch", "12"};
    QTest::newRow("location without a site")
        << QVariantList{9, 0, "Blue Hole, Dahab", "Typed", false}
        << QStringList{"Blue Hole, Dahab", "9", "Typed", "0"};
    QTest::newRow("new site") << QVariantList{0, 0, "Isla Mujeres", "Manchones", true}
                              << QStringList{"Isla Mujeres", "0", "Manchones", "0"};
    QTest::newRow("cancelled") << QVariantList{0, 0, "Cozumel", "Palancar", false}
                               << QStringList{"Cozumel", "5", "Palancar", "7"};
}

void TestLookupCommands::chooseLocationWritesTheDive() {
    QFETCH(QVariantList, returned);
    QFETCH(QStringList, written);
    CommandsFixture f;
    f.onModal = [&returned](QDialog* dialog) {
        auto* location = qobject_cast<TFrmSelectLocation*>(dialog);
        location->IdLocation = returned[0].toInt();
        location->IdSite = returned[1].toInt();
        location->LocationName = returned[2].toString();
        location->SiteName = returned[3].toString();
        location->NewLocation = returned[4].toBool();
    };
    f.button("bt_chk_location")->click();
    QCOMPARE(f.opened, (QList<QVariantMap>{{{"class", "TFrmSelectLocation"},
                                            {"owner", true},
                                            {"IdLocation", 5},
                                            {"IdSite", 7},
                                            {"LocationName", "Cozumel"},
                                            {"SiteName", "Palancar"}}}));
    QStringList fields;
    for (const QString& name : kLocationFields) {
        fields << f.dives()->asString(name);
    }
    QCOMPARE(fields, written);
    QCOMPARE(f.dives()->state(), Table::State::Browse);
    QVERIFY(f.messages.isEmpty());
}

void TestLookupCommands::locationMenuOpensTheSameDialog() {
    CommandsFixture f;
    f.window->ui->dive_site1->trigger();
    QCOMPARE(f.opened.size(), 1);
    QCOMPARE(f.opened[0].value("class"), QVariant("TFrmSelectLocation"));
}

void TestLookupCommands::chooseOrganizationWritesTheDive_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QVariantMap>("given");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariantMap>("fields");

    const QVariantMap op{
        {"OrganizationKind", 1}, {"OrganizationId", 11}, {"OrganizationName", "Aldora"}};
    const QVariantMap school{
        {"OrganizationKind", 4}, {"OrganizationId", 21}, {"OrganizationName", "BWA"}};
    QTest::newRow("operator") << "bt_chk_op" << op << 12 << "Scuba Tony"
                              << QVariantMap{{"id_operator", "12"}, {"operator", "Scuba Tony"}};
    QTest::newRow("operator, none chosen")
        << "bt_chk_op" << op << 0 << ""
        << QVariantMap{{"id_operator", "11"}, {"operator", "Aldora"}};
    QTest::newRow("school") << "bt_chk_scho" << school << 22 << "Red Sea College"
                            << QVariantMap{{"id_school", "22"}, {"school", "Red Sea College"}};
    QTest::newRow("school, none chosen") << "bt_chk_scho" << school << 0 << ""
                                         << QVariantMap{{"id_school", "21"}, {"school", "BWA"}};
}

void TestLookupCommands::chooseOrganizationWritesTheDive() {
    QFETCH(QString, button);
    QFETCH(QVariantMap, given);
    QFETCH(int, id);
    QFETCH(QString, name);
    QFETCH(QVariantMap, fields);
    CommandsFixture f;
    f.onModal = [id, name](QDialog* dialog) {
        auto* organization = qobject_cast<TFrmSelectOperator*>(dialog);
        organization->OrganizationId = id;
        organization->OrganizationName = name;
    };
    f.button(qPrintable(button))->click();
    given.insert({{"class", "TFrmSelectOperator"}, {"owner", true}});
    QCOMPARE(f.opened, QList<QVariantMap>{given});
    QCOMPARE(f.diveFields(fields.keys()), fields);
    QCOMPARE(f.dives()->state(), Table::State::Browse);
}

// Through the dialog itself: the cached name replaces the one the dive held.
void TestLookupCommands::operatorChosenInTheRealDialog() {
    CommandsFixture f;
    f.onModal = [](QDialog* dialog) {
        auto* organization = qobject_cast<TFrmSelectOperator*>(dialog);
        organization->show();
        organization->Timer1Timer();
        organization->ui->btSelect->click();
    };
    f.button("bt_chk_op")->click();
    QCOMPARE(f.diveFields({"id_operator", "operator"}),
             (QVariantMap{{"id_operator", "11"}, {"operator", "Aldora Divers"}}));
}

void TestLookupCommands::chooseContactWritesTheDive_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QVariantMap>("given");
    QTest::addColumn<int>("contactId");
    QTest::addColumn<QString>("contactName");
    QTest::addColumn<QVariantMap>("fields");
    QTest::addColumn<bool>("modified");

    const QVariantMap buddy{{"ContactId", 501}, {"Role", 0}};
    const QVariantMap instructor{{"ContactId", 507}, {"Role", 2}};
    const QVariantMap team{{"ContactId", 508}, {"Role", 0}};
    QTest::newRow("buddy") << "bt_chk_buddy" << buddy << 502 << "Łukasz"
                           << QVariantMap{{"id_buddy", "502"}, {"buddy", "Łukasz"}} << true;
    QTest::newRow("buddy cleared") << "bt_chk_buddy" << buddy << -1 << ""
                                   << QVariantMap{{"id_buddy", "0"}, {"buddy", ""}} << true;
    QTest::newRow("buddy cancelled")
        << "bt_chk_buddy" << buddy << 501 << ""
        << QVariantMap{{"id_buddy", "501"}, {"buddy", "Maria"}} << false;
    QTest::newRow("instructor") << "bt_chk_inst" << instructor << 503 << "Jiří"
                                << QVariantMap{{"id_instructor", "503"}, {"instructor", "Jiří"}}
                                << true;
    QTest::newRow("team member 3") << "bt_chk_Team3" << team << 509 << "Lena"
                                   << QVariantMap{{"id_team3", "509"}, {"team3", "Lena"}} << true;
    QTest::newRow("the same team member again")
        << "bt_chk_Team3" << team << 508 << "Jon Park"
        << QVariantMap{{"id_team3", "508"}, {"team3", "Jon"}} << false;
    QTest::newRow("team member 3 cleared") << "bt_chk_Team3" << team << -1 << ""
                                           << QVariantMap{{"id_team3", "0"}, {"team3", ""}} << true;
}

void TestLookupCommands::chooseContactWritesTheDive() {
    QFETCH(QString, button);
    QFETCH(QVariantMap, given);
    QFETCH(int, contactId);
    QFETCH(QString, contactName);
    QFETCH(QVariantMap, fields);
    QFETCH(bool, modified);
    CommandsFixture f;
    int changes = 0;
    QObject::connect(f.window->ds_dives, &DataSource::dataChange, [&changes] { ++changes; });
    f.onModal = [contactId, contactName](QDialog* dialog) {
        auto* buddy = qobject_cast<TFrmSelectBuddy*>(dialog);
        buddy->ContactId = contactId;
        buddy->ContactName = contactName;
    };
    f.button(qPrintable(button))->click();
    given.insert({{"class", "TFrmSelectBuddy"}, {"owner", true}});
    QCOMPARE(f.opened, QList<QVariantMap>{given});
    QCOMPARE(f.diveFields(fields.keys()), fields);
    QCOMPARE(changes > 0, modified);
    QCOMPARE(f.dives()->state(), Table::State::Browse);
}

void TestLookupCommands::contactListOpensFromTheCommunityMenu() {
    CommandsFixture f;
    f.window->ui->BuddysList1->trigger();
    QCOMPARE(f.opened,
             (QList<QVariantMap>{{{"class", "TFrmBuddyList"}, {"owner", true}, {"FocusId", 0}}}));
}

// The choice would post the dive with the edit's text lost.
void TestLookupCommands::noChoiceStartsOverTextItsFieldCannotTake() {
    CommandsFixture f;
    auto* depth = f.window->findChild<DbEdit*>(QStringLiteral("dive_depth"));
    QVERIFY(depth);
    depth->selectAll();
    QTest::keyClicks(depth, "12,5");
    QVERIFY(!depth->inputValid());
    for (const char* button : {"bt_chk_location", "bt_chk_op", "bt_chk_buddy", "bt_chk_Team2"}) {
        f.button(button)->click();
    }
    QVERIFY(f.opened.isEmpty());
    QCOMPARE(f.messages.size(), 4);  // each time the edit says why
    QTest::keyClick(depth, Qt::Key_Escape);
    f.button("bt_chk_buddy")->click();
    QCOMPARE(f.opened.size(), 1);
}

NEREVA_TEST_MAIN(TestLookupCommands)
#include "test_lookup_commands.moc"
