// The desktop's networked windows against the real service program: registration, invitation,
// the update check, and the location and member searches with their additions to the cache.
#include "cache/tdm_local_data.h"
#include "module_set.h"
#include "net/tdm_comm.h"
#include "net/tinet_detect.h"
#include "service_process.h"
#include "store/data_source.h"
#include "sync/member_exchange.h"
#include "tools/tfrm_update.h"
#include "ui/forms/dialogs.h"
#include "ui/lookup/lookup_controls.h"
#include "ui/lookup/tfrm_buddy_list.h"
#include "ui/lookup/tfrm_select_location.h"
#include "ui/profile/profile_forms.h"
#include "ui/profile/tdlg_register_user.h"
#include "ui/profile/tfrm_invite.h"
#include "ui_tfrm_update.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

namespace {

const QString kPass = QStringLiteral("pass1");

const QString kRegistered = QStringLiteral("The Member username has been succesfully registered.");
const QString kTaken = QStringLiteral(
    "The email or username you choosed is already registered.\nPlease choose another one.");
const QString kInvalid = QStringLiteral(
    "The username or password is wrong,\nor email address is incorrect.\nPlease check it.");

// The desktop's modules over fresh folders with the shipped dictionary, its service roots at the
// real service, a connection detector that says online, one dive, and message boxes recorded
// (and answered OK).
struct Desktop {
    TestSupport::TempFolders folders;
    ModuleSet modules{TestSupport::readFile(qEnvironmentVariable("NEREVA_SOURCE_DIR") +
                                            QStringLiteral("/resources/language.xml"))};
    std::unique_ptr<TdmLocalData> cache = std::make_unique<TdmLocalData>();
    TdmComm comm;
    std::unique_ptr<TINetDetect> detector;
    DataSource dives{modules.tables->cds_dives};
    QList<Dialogs::Prompt> prompts;

    explicit Desktop(const ServiceProcess& service) {
        Tdm_const& settings = *modules.settings;
        settings.BaseUrl = service.root();
        settings.UrlSyncro = service.root() + QStringLiteral("serv0.9/syncro/");
        settings.UrlInfo = service.root() + QStringLiteral("serv0.9/info/");
        settings.UrlRegister = service.root() + QStringLiteral("serv0.9/register/");
        dmLocalData = cache.get();
        cache->DataModuleCreate();
        dmComm = &comm;
        comm.setIdleTimeout(30 * 1000);  // a test that hangs fails instead of stalling
        TINetDetect::setInterfaceLister([] {
            return QVector<NetInterfaceInfo>{{false, QStringLiteral("eth0")},
                                             {true, QStringLiteral("ppp0")}};
        });
        detector = std::make_unique<TINetDetect>();
        detector->poll();
        Table* dive = modules.tables->cds_dives;
        dive->append();
        dive->setValue(QStringLiteral("Date"), QDate(2024, 3, 2));
        dive->post();
        Dialogs::setMessageHandler([this](const Dialogs::Prompt& prompt) {
            prompts << prompt;
            return QMessageBox::Ok;
        });
    }

    ~Desktop() {
        Dialogs::setMessageHandler({});
        TINetDetect::setInterfaceLister({});
        detector.reset();
        dmComm = nullptr;
        dmLocalData = nullptr;
    }

    QString word(const char* key) const {
        return modules.dictionary->GetWord(QString::fromLatin1(key));
    }

    QStringList promptTexts() const {
        QStringList texts;
        for (const Dialogs::Prompt& prompt : prompts) {
            texts << prompt.text;
        }
        return texts;
    }

    void setMember(const QVariantMap& values) {
        Table* info = modules.tables->cds_info;
        info->recordCount() == 0 ? info->append() : info->edit();
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            info->setValue(it.key(), it.value());
        }
        info->post();
    }

    QString member(const char* field) const {
        return modules.tables->cds_info->asString(QString::fromLatin1(field));
    }

    // Registers through the desktop's transport, as the wizard posts it.
    void registerMember(const QString& user, const QString& email) {
        const QByteArray answer = comm.HttpStrPost(
            modules.settings->UrlRegister,
            {QStringLiteral("param_user=") + user, QStringLiteral("param_pass=") + kPass,
             QStringLiteral("param_email=") + email, QStringLiteral("param_name=New Member"),
             QStringLiteral("param_idioma=en")});
        QCOMPARE(answer.left(8), QByteArray("result=1"));
    }

    // The member record of `user` sent as the synchronisation's member task sends it.
    void publish(const QString& user, const QString& name, const QString& country,
                 const QString& email, int publication) {
        setMember({{"inet_user", user},
                   {"inet_pass", kPass},
                   {"name", name},
                   {"country", country},
                   {"inet_email", email},
                   {"per_pub_personal", publication}});
        MemberExchange::run();
    }
};

void typeInto(QWidget* control, const QString& keys) {
    control->setFocus();
    QTest::keyClicks(control, keys);
}

QStringList columnTexts(QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        texts << list->topLevelItem(i)->text(column);
    }
    return texts;
}

void tickAll(QTreeWidget* list) {
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        list->topLevelItem(i)->setCheckState(0, Qt::Checked);
    }
}

// Every node of a tree model as the texts from the top joined by "/", tree order.
QStringList nodePaths(const QAbstractItemModel* model, const QModelIndex& parent = {},
                      const QString& above = {}) {
    QStringList paths;
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex node = model->index(row, 0, parent);
        const QString path =
            above.isEmpty() ? node.data().toString() : above + u'/' + node.data().toString();
        paths << path << nodePaths(model, node, path);
    }
    return paths;
}

QModelIndex nodeAt(const QAbstractItemModel* model, const QString& path) {
    QModelIndex at;
    for (const QString& text : path.split(u'/')) {
        QModelIndex next;
        for (int row = 0; row < model->rowCount(at) && !next.isValid(); ++row) {
            if (model->index(row, 0, at).data().toString() == text) {
                next = model->index(row, 0, at);
            }
        }
        at = next;
    }
    return at;
}

}  // namespace

class TestServiceWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { ServiceProcess::emptyTestDatabase(); }
    void registrationWizardSignsTheDiverUp();
    void invitationIsSentOrRefused();
    void updateCheckListsWhatTheServiceOffers_data();
    void updateCheckListsWhatTheServiceOffers();
    void locationSearchAndAddFillTheTree();
    void memberSearchShowsWhatMembersPublishAndAddFillsTheList();
};

void TestServiceWindows::registrationWizardSignsTheDiverUp() {
    ServiceProcess service;
    QVERIFY(service.port > 0);
    Desktop d(service);
    // The wizard sent with these inputs; the message it showed.
    const auto attempt = [&d](TDlg_Register_User& wizard, const QString& email,
                              const QString& user) {
        wizard.show();
        wizard.bt_nextClick();
        Ui::TDlg_Register_User* ui = wizard.form();
        typeInto(ui->ed_name, QStringLiteral("Ann Lee"));
        typeInto(ui->ed_email, email);
        typeInto(ui->ed_user, user);
        typeInto(ui->ed_pass, kPass);
        typeInto(ui->ed_pass2, kPass);
        d.prompts.clear();
        ui->bt_next->click();
        return d.promptTexts();
    };

    TDlg_Register_User first(nullptr);
    QCOMPARE(attempt(first, QStringLiteral("Ann@Lee.ORG"), QStringLiteral("Diver")),
             QStringList{kRegistered});
    Ui::TDlg_Register_User* ui = first.form();
    QCOMPARE(ui->bt_next->text(), QStringLiteral("Finish"));
    QCOMPARE(ui->ed_user->text(), QStringLiteral("diver"));  // as the service registered it
    QVERIFY(!ui->bt_cancel->isEnabled());
    ui->bt_next->click();
    QVERIFY(!first.isVisible());
    QCOMPARE(d.member("inet_user"), QStringLiteral("diver"));
    QCOMPARE(d.member("inet_pass"), kPass);
    QCOMPARE(d.member("inet_email"), QStringLiteral("ann@lee.org"));
    QCOMPARE(d.member("name"), QStringLiteral("Ann Lee"));
    // The stored account is the service's: the member task logs in with it.
    MemberExchange::run();
    QCOMPARE(d.member("name"), QStringLiteral("Ann Lee"));

    TDlg_Register_User taken(nullptr);
    QCOMPARE(attempt(taken, QStringLiteral("other@lee.org"), QStringLiteral("diver")),
             QStringList{kTaken});
    QVERIFY(taken.form()->bt_next->isEnabled());
    QVERIFY(taken.form()->ed_user->isEnabled());
    QVERIFY(taken.form()->bt_cancel->isEnabled());

    TDlg_Register_User invalid(nullptr);
    QCOMPARE(attempt(invalid, QStringLiteral("ann@lee"), QStringLiteral("ann2")),
             QStringList{kInvalid});
    invalid.form()->bt_cancel->click();
    QCOMPARE(d.member("inet_email"), QStringLiteral("ann@lee.org"));
}

void TestServiceWindows::invitationIsSentOrRefused() {
    ServiceProcess service;
    QVERIFY(service.port > 0);
    Desktop d(service);
    d.registerMember(QStringLiteral("anna"), QStringLiteral("anna@example.org"));
    d.setMember({{"inet_user", "anna"}, {"inet_pass", kPass}});

    TFrmInvite refused(nullptr);
    refused.show();
    typeInto(refused.form()->edEmail, QStringLiteral("friend.example.org"));
    refused.form()->btSend->click();
    QCOMPARE(d.promptTexts(), QStringList{QStringLiteral("This email address is incorrect.")});
    QCOMPARE(d.prompts.first().icon, QMessageBox::Warning);
    QVERIFY(refused.form()->edEmail->isEnabled());

    d.prompts.clear();
    TFrmInvite sent(nullptr);
    sent.show();
    typeInto(sent.form()->edEmail, QStringLiteral("Friend@Example.ORG"));
    sent.form()->btSend->click();
    QVERIFY(d.prompts.isEmpty());
    QVERIFY(!sent.form()->edEmail->isEnabled());
    QVERIFY(!sent.form()->btCancel->isEnabled());
    QCOMPARE(sent.form()->btSend->text(), d.word("finish"));
    const QDir outbox(QDir(service.dir.path()).filePath(QStringLiteral("outbox")));
    const QStringList messages = outbox.entryList(QDir::Files);
    QCOMPARE(messages.size(), 1);
    QVERIFY(TestSupport::readFile(outbox.filePath(messages.first()))
                .contains("\r\nTo: friend@example.org\r\n"));

    // The friend who joins with that address is on the inviter's contact list.
    d.registerMember(QStringLiteral("friend"), QStringLiteral("friend@example.org"));
    QVERIFY(d.comm.HttpGet(d.modules.settings->UrlInfo + QStringLiteral("contactlist.xml.php?"))
                .contains("<user>friend</user>"));
}

void TestServiceWindows::updateCheckListsWhatTheServiceOffers_data() {
    QTest::addColumn<QByteArray>("updates");  // the service's updates.xml; none when empty
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("no list") << QByteArray() << QStringList();
    QTest::newRow("only older and other languages")
        << QByteArray(
               "<updates><component><name>NEREVA Desktop 0.7.14</name><version>0.7.14"
               "</version></component><component><name>Diccionario</name><version>0.9"
               "</version><language>es</language></component></updates>")
        << QStringList();
    QTest::newRow("newer versions, the own language")
        << QByteArray(
               "<updates><component><name>NEREVA Desktop 0.8.0</name><version>0.8.0"
               "</version></component><component><name>NEREVA Desktop 0.7.15b</name>"
               "<version>0.7.15b</version></component><component><name>Fix 0.7.15c"
               "</name><version>0.7.15c</version></component><component><name>Dictionary"
               "</name><version>0.9</version><language>en</language></component>"
               "</updates>")
        << QStringList{QStringLiteral("NEREVA Desktop 0.8.0"), QStringLiteral("Fix 0.7.15c"),
                       QStringLiteral("Dictionary")};
}

void TestServiceWindows::updateCheckListsWhatTheServiceOffers() {
    QFETCH(QByteArray, updates);
    QFETCH(QStringList, listed);
    ServiceProcess service;
    QVERIFY(service.port > 0);
    if (!updates.isEmpty()) {
        TestSupport::writeFile(QDir(service.dir.path()).filePath(QStringLiteral("updates.xml")),
                               updates);
    }
    Desktop d(service);
    TFrmUpdate update;
    update.show();
    update.Timer1Timer();
    QCOMPARE(update.componentNames(), listed);
    if (listed.isEmpty()) {
        QCOMPARE(update.form()->lb_new_version->text(), d.word("text_last_version"));
    } else {
        QVERIFY(update.form()->lb_new_version->isHidden());
    }
}

void TestServiceWindows::locationSearchAndAddFillTheTree() {
    ServiceProcess service;
    QVERIFY(service.port > 0);
    const QString csv = QDir(service.dir.path()).filePath(QStringLiteral("locations.csv"));
    TestSupport::writeFile(csv,
                           "location,smallname,country,state,region,site\n"
                           "Cenote Éden,Éden,México,Quintana Roo,Caribbean,Cavern\n"
                           "Cenote Éden,Éden,México,Quintana Roo,Caribbean,Dos Ojos\n"
                           "Cozumel Reefs,Cozumel,México,Quintana Roo,Caribbean,Palancar\n"
                           "Reef #7,,Belize,,Caribbean,North Wall\n");
    QVERIFY(service.admin({QStringLiteral("import-locations"), csv}).contains("3 locations"));
    Desktop d(service);
    TFrmSelectLocation dialog(nullptr, d.detector.get(), &d.dives);
    dialog.show();
    Ui::TFrmSelectLocation* ui = dialog.ui;
    ui->PageControl1->setCurrentWidget(ui->ts_search);
    QTreeWidget* results = ui->tlist_search;
    const auto search = [ui](const QString& name, const QString& country) {
        ui->search_name->setText(name);
        ui->search_country->setEditText(country);
        ui->bt_search->click();
    };

    search({}, QStringLiteral("México"));
    QCOMPARE(columnTexts(results, 0), (QStringList{"Cozumel", "Éden"}));
    QCOMPARE(columnTexts(results, 1), (QStringList{"México", "México"}));
    QCOMPARE(columnTexts(results, 2), (QStringList{"Quintana Roo", "Quintana Roo"}));
    search(QStringLiteral("éDEN"), {});
    QCOMPARE(columnTexts(results, 0), QStringList{"Éden"});
    tickAll(results);
    ui->bt_Add->click();
    search(QStringLiteral("#7"), QStringLiteral("Belize"));
    QCOMPARE(columnTexts(results, 0), QStringList{"Reef #7"});
    tickAll(results);
    ui->bt_Add->click();
    const QString added = QStringLiteral("1 ") + d.word("txt_locations_add");
    QCOMPARE(d.promptTexts(), (QStringList{added, added}));

    ui->PageControl1->setCurrentWidget(ui->ts_local);
    dialog.Timer1Timer();
    const QStringList paths = nodePaths(ui->tlist->model());
    for (const char* path : {"México/Quintana Roo/Éden/Cavern", "México/Quintana Roo/Éden/Dos Ojos",
                             "Belize/Reef #7/North Wall"}) {
        QVERIFY2(paths.contains(QString::fromUtf8(path)), path);
    }
    ui->tlist->setCurrentIndex(
        nodeAt(ui->tlist->model(), QStringLiteral("México/Quintana Roo/Éden/Dos Ojos")));
    ui->bt_select->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.LocationName, QStringLiteral("Cenote Éden"));
    QCOMPARE(dialog.SiteName, QStringLiteral("Dos Ojos"));
    QVERIFY(dialog.IdLocation > 0);
    QVERIFY(dialog.IdSite > 0);
    const QByteArray entry =
        d.comm.HttpGet(d.modules.settings->UrlInfo +
                       QStringLiteral("locations.xml.php?param_id=%1").arg(dialog.IdLocation));
    QVERIFY(entry.contains(
        QStringLiteral("<id>%1</id><name>Dos Ojos</name>").arg(dialog.IdSite).toUtf8()));
}

void TestServiceWindows::memberSearchShowsWhatMembersPublishAndAddFillsTheList() {
    ServiceProcess service;
    QVERIFY(service.port > 0);
    Desktop d(service);
    d.registerMember(QStringLiteral("anna"), QStringLiteral("anna@example.org"));
    d.registerMember(QStringLiteral("zoezed"), QStringLiteral("zoe@example.org"));
    d.registerMember(QStringLiteral("maxim"), QStringLiteral("max@example.org"));
    d.publish(QStringLiteral("zoezed"), QStringLiteral("Zoë Zander"), QStringLiteral("Chile"),
              QStringLiteral("zoe@example.org"), 2);
    d.publish(QStringLiteral("maxim"), QStringLiteral("Max Møller"), QStringLiteral("Norway"),
              QStringLiteral("max@example.org"), 0);
    d.setMember({{"inet_user", "anna"}, {"name", "Anna"}});

    TFrmBuddyList window(nullptr, d.detector.get());
    window.show();
    Ui::TFrmBuddyList* ui = window.ui;
    QVERIFY(ui->PageControl1->isTabVisible(ui->PageControl1->indexOf(ui->ts_search)));
    ui->PageControl1->setCurrentWidget(ui->ts_search);
    QTreeWidget* results = ui->tlist_search;
    const auto search = [ui](const QString& name, const QString& user, int op) {
        ui->search_name->setText(name);
        ui->search_user->setText(user);
        ui->search_email->clear();
        ui->search_and->setCurrentIndex(op);
        ui->bt_search->click();
    };
    const auto row = [results](int at) {
        QStringList texts;
        for (int column = 0; column < 4; ++column) {
            texts << results->topLevelItem(at)->text(column);
        }
        return texts;
    };

    search({}, QStringLiteral("ZOE"), -1);
    QCOMPARE(results->topLevelItemCount(), 1);
    QCOMPARE(row(0), (QStringList{"Zoë Zander", "zoezed", "zoe@example.org", "Chile"}));
    search({}, QStringLiteral("max"), -1);
    QCOMPARE(results->topLevelItemCount(), 1);
    QCOMPARE(row(0), (QStringList{"", "maxim", "", ""}));
    search(QStringLiteral("møller"), {}, -1);
    QCOMPARE(results->topLevelItemCount(), 0);  // a name Max does not publish
    search(QStringLiteral("zander"), QStringLiteral("max"), 0);
    QCOMPARE(results->topLevelItemCount(), 0);
    search(QStringLiteral("zander"), QStringLiteral("max"), 1);
    QCOMPARE(columnTexts(results, 1), (QStringList{"maxim", "zoezed"}));

    tickAll(results);
    ui->bt_Add->click();
    QCOMPARE(d.promptTexts(), QStringList{QStringLiteral("2 ") + d.word("txt_users_add")});
    ui->PageControl1->setCurrentWidget(ui->ts_local);
    window.Timer1Timer();
    QCOMPARE(columnTexts(ui->tlist, 0), (QStringList{"", "Zoë Zander"}));
    ui->tlist->setCurrentItem(ui->tlist->topLevelItem(1));
    ui->btUpdate->click();
    QCOMPARE(ui->edUser->text(), QStringLiteral("zoezed"));
    QCOMPARE(ui->edEmail->text(), QStringLiteral("zoe@example.org"));
    QCOMPARE(ui->edCountry->text(), QStringLiteral("Chile"));
}

NEREVA_TEST_MAIN(TestServiceWindows)
#include "test_service_windows.moc"
