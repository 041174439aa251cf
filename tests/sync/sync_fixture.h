#pragma once

#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "cache/tdm_local_data.h"
#include "dictionary/tdm_idioma.h"
#include "fake_service.h"
#include "net/tdm_comm.h"
#include "store/tdm_rdp.h"
#include "test_support.h"
#include "wire/dive_record.h"

#include <QMap>
#include <QVariantMap>
#include <memory>

// The modules a synchronisation runs on, in start-up order, over fresh data and working folders,
// with the service roots pointing at an in-process fake service.
struct SyncFixture {
    TestSupport::TempFolders folders;
    std::unique_ptr<Tdm_const> settings = std::make_unique<Tdm_const>();
    std::unique_ptr<TdmIdioma> dictionary;
    std::unique_ptr<TdmLocalData> cache = std::make_unique<TdmLocalData>();
    std::unique_ptr<Tdm_rdp> tables = std::make_unique<Tdm_rdp>();
    TdmComm comm;
    FakeService service;

    // With `languageFile`, a dictionary module loaded from it.
    explicit SyncFixture(const QByteArray& languageFile = {}) {
        dm_const = settings.get();
        settings->DataModuleCreate();
        settings->AppTitle = QStringLiteral("NEREVA Desktop");
        settings->BaseUrl = service.root();
        settings->UrlSyncro = service.root() + QStringLiteral("serv0.9/syncro/");
        settings->UrlInfo = service.root() + QStringLiteral("serv0.9/info/");
        if (!languageFile.isEmpty()) {
            TestSupport::writeFile(QStringLiteral("language.xml"), languageFile);
            dictionary = std::make_unique<TdmIdioma>();
            dmIdioma = dictionary.get();
            dictionary->DataModuleCreate();
        }
        dmLocalData = cache.get();
        cache->DataModuleCreate();
        dm_rdp = tables.get();
        tables->DataModuleCreate();
        dmComm = &comm;
        // A test that hangs fails instead of stalling.
        comm.setIdleTimeout(10 * 1000);
        settings->IniFile->writeInteger(QStringLiteral("InternetConnection"),
                                        QStringLiteral("Timeout"), 10);
    }

    ~SyncFixture() {
        dmComm = nullptr;
        dm_rdp = nullptr;
        tables.reset();
        dmLocalData = nullptr;
        cache.reset();
        dmIdioma = nullptr;
        dictionary.reset();
        dm_const = nullptr;
        settings.reset();
    }

    static QByteArray shippedDictionary() {
        return TestSupport::readFile(qEnvironmentVariable("NEREVA_SOURCE_DIR") +
                                     QStringLiteral("/resources/language.xml"));
    }

    void setMember(const QVariantMap& values) {
        Table* member = tables->cds_info;
        member->first();
        member->edit();
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            member->setValue(it.key(), it.value());
        }
        member->post();
    }

    // A dive with its conditions and equipment rows (unless `withDetails` is false); returns
    // its local number.
    int addDive(const QDate& date, const QTime& time, const QVariantMap& dive = {},
                const QVariantMap& conditions = {}, const QVariantMap& equipment = {},
                bool withDetails = true) {
        Table* dives = tables->cds_dives;
        dives->append();
        dives->setValue(QStringLiteral("Date"), date);
        dives->setValue(QStringLiteral("Time_Start"), time);
        writeAll(dives, dive);
        dives->post();
        if (withDetails) {
            tables->cds_conditions->append();
            writeAll(tables->cds_conditions, conditions);
            tables->cds_conditions->post();
            tables->cds_equipment->append();
            writeAll(tables->cds_equipment, equipment);
            tables->cds_equipment->post();
        }
        return dives->asInteger(QStringLiteral("id_local_dive"));
    }

    // Makes the dive with local number `local` current; false when there is none.
    bool gotoDive(int local) {
        Table* dives = tables->cds_dives;
        for (dives->first(); !dives->eof(); dives->next()) {
            if (dives->asInteger(QStringLiteral("id_local_dive")) == local) {
                return true;
            }
        }
        return false;
    }

    // The dive with that local number, as field -> value text, from the dive and its rows.
    QString diveValue(int local, const QString& field) {
        if (!gotoDive(local)) {
            return QStringLiteral("<no dive>");
        }
        for (Table* table : {tables->cds_dives, tables->cds_conditions, tables->cds_equipment}) {
            if (table->fieldIndex(field) >= 0 && field != QLatin1String("id_local_dive")) {
                return table->recordCount() == 0 && table != tables->cds_dives
                           ? QStringLiteral("<no row>")
                           : table->asString(field);
            }
        }
        return QStringLiteral("<no field>");
    }

    static void writeAll(Table* table, const QVariantMap& values) {
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            table->setValue(it.key(), it.value());
        }
    }
};

// An answer record of `count` values: the given 1-based positions set, the others empty.
inline QString answerLine(const QMap<int, QString>& values, int count = DiveRecord::kValues) {
    QStringList fields(count);
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        fields[it.key() - 1] = it.value();
    }
    return fields.join(QStringLiteral("##"));
}
