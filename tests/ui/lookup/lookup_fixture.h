#pragma once

#include "app/settings/tdm_const.h"
#include "cache/tdm_local_data.h"
#include "cache_text.h"
#include "fake_service.h"
#include "module_set.h"
#include "net/tdm_comm.h"
#include "net/tinet_detect.h"
#include "store/data_source.h"
#include "test_support.h"
#include "ui/forms/dialogs.h"
#include "ui/lookup/lookup_controls.h"
#include "ui/main/tdlg_download.h"

#include <QApplication>
#include <QUrlQuery>
#include <memory>

// The modules the look-up dialogs run on, in start-up order, over fresh folders: the shipped
// dictionary, a cache written from the given texts before it opens, one dive, the service
// roots at an in-process service, and a connection detector that is online until told
// otherwise. Message boxes are recorded and answered with `answer`; opened web pages are
// recorded.
// The texts of the three cached documents.
struct LookupCache {
    QByteArray locations = CacheText::document({});
    QByteArray localData = CacheText::document({});
    QByteArray contacts = CacheText::document({});
};

struct LookupFixture {
    using Cache = LookupCache;

    TestSupport::TempFolders folders;
    ModuleSet modules{shippedDictionary()};
    std::unique_ptr<TdmLocalData> cache = std::make_unique<TdmLocalData>();
    TdmComm comm;
    FakeService service;
    std::unique_ptr<TINetDetect> detector;
    DataSource dives{modules.tables->cds_dives};
    QList<Dialogs::Prompt> prompts;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    QStringList openedUrls;

    explicit LookupFixture(const Cache& texts = {}) {
        Tdm_const& settings = *modules.settings;
        settings.BaseUrl = service.root();
        settings.UrlInfo = service.root() + QStringLiteral("serv0.9/info/");
        TestSupport::writeFile(settings.AppDataDir + QStringLiteral("locations.xml"),
                               texts.locations);
        TestSupport::writeFile(settings.AppDataDir + QStringLiteral("localdata.xml"),
                               texts.localData);
        TestSupport::writeFile(settings.AppDataDir + QStringLiteral("contactlist.xml"),
                               texts.contacts);
        dmLocalData = cache.get();
        cache->DataModuleCreate();
        dmComm = &comm;
        comm.setIdleTimeout(10 * 1000);  // a test that hangs fails instead of stalling
        setOnline(true);
        Table* dive = modules.tables->cds_dives;
        dive->append();
        dive->setValue(QStringLiteral("Date"), QDate(2024, 3, 2));
        dive->post();
        Dialogs::setMessageHandler([this](const Dialogs::Prompt& prompt) {
            prompts << prompt;
            return prompt.buttons.testFlag(answer) ? answer : QMessageBox::Ok;
        });
        Tdm_const::setUrlOpener([this](const QString& url) { openedUrls << url; });
    }

    ~LookupFixture() {
        Tdm_const::setUrlOpener({});
        Dialogs::setMessageHandler({});
        Dialogs::setModalHandler({});
        TINetDetect::setInterfaceLister({});
        detector.reset();
        dmComm = nullptr;
        dmLocalData = nullptr;
    }

    static QByteArray shippedDictionary() {
        return TestSupport::readFile(qEnvironmentVariable("NEREVA_SOURCE_DIR") +
                                     QStringLiteral("/resources/language.xml"));
    }

    // Dial-up mode with or without a point-to-point interface; the detector polls at once.
    void setOnline(bool online) {
        TINetDetect::setInterfaceLister([online] {
            QVector<NetInterfaceInfo> list{{false, QStringLiteral("eth0")}};
            if (online) {
                list.append({true, QStringLiteral("ppp0")});
            }
            return list;
        });
        if (!detector) {
            detector = std::make_unique<TINetDetect>();
        }
        detector->poll();
    }

    void setMember(const QString& inetUser) {
        Table* info = modules.tables->cds_info;
        info->recordCount() == 0 ? info->append() : info->edit();
        info->setValue(QStringLiteral("inet_user"), inetUser);
        info->post();
    }

    QString word(const char* key) const {
        return modules.dictionary->GetWord(QString::fromLatin1(key));
    }

    // The requests of one script, each as its decoded query parameters in order.
    QList<QList<QPair<QString, QString>>> queries(const QByteArray& script) const {
        QList<QList<QPair<QString, QString>>> all;
        for (const FakeService::Request& request : service.requests) {
            if (request.script() == script) {
                all << QUrlQuery(QString::fromLatin1(request.query()))
                           .queryItems(QUrl::FullyDecoded);
            }
        }
        return all;
    }

    // Answers `script` after recording whether `owner` showed the please-wait window meanwhile.
    void answerWatchingPleaseWait(const QByteArray& script, QWidget* owner, const QByteArray& body,
                                  int status = 200) {
        service.on(script, [this, owner, body, status](const FakeService::Request&) {
            const auto waits = owner->findChildren<TDlgDownload*>();
            pleaseWaitSeen << (waits.size() == 1 && waits.first()->isVisible());
            return FakeService::Reply{status, body};
        });
    }
    QList<bool> pleaseWaitSeen;

    static QStringList texts(QTreeWidget* list, int column = 0) {
        QStringList all;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            all << list->topLevelItem(i)->text(column);
        }
        return all;
    }

    static QList<bool> ticks(QTreeWidget* list) {
        QList<bool> all;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            all << (list->topLevelItem(i)->checkState(0) == Qt::Checked);
        }
        return all;
    }

    static void tick(QTreeWidget* list, const QList<int>& rows) {
        for (int row : rows) {
            list->topLevelItem(row)->setCheckState(0, Qt::Checked);
        }
    }

    // The ids of the cached records of `store` in document order.
    static QStringList cachedIds(const XmlStore& store) {
        QStringList ids;
        for (XmlElement e = store.doc.documentElement().firstChildElement(); !e.isNull();
             e = e.nextSiblingElement()) {
            ids << TdmLocalData::childText(e, QStringLiteral("id"));
        }
        return ids;
    }
};
