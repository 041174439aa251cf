// A dive answer applied to a small log: any answer leaves tables whose files read back.
#include "app/settings/app_error.h"
#include "fuzz_support.h"
#include "net/wire_text.h"
#include "store/table_data.h"
#include "store/table_file.h"
#include "store/tdm_rdp.h"
#include "sync/dive_answer.h"

using FuzzSupport::require;

namespace {

Tdm_rdp& tables() {
    static Tdm_rdp* module = [] {
        FuzzSupport::startApplication();
        return new Tdm_rdp;  // no file names: nothing is ever written
    }();
    return *module;
}

void addDive(Tdm_rdp& module, int day, const QVariant& idDive, const char* location) {
    Table* dives = module.cds_dives;
    dives->append();
    dives->setValue(QStringLiteral("Date"), QDate(2024, 1, day));
    dives->setValue(QStringLiteral("Time_Start"), QTime(9, 30));
    dives->setValue(QStringLiteral("id_dive"), idDive);
    dives->setValue(QStringLiteral("Location"), QString::fromLatin1(location));
    dives->post();
    for (Table* detail : {module.cds_conditions, module.cds_equipment}) {
        detail->append();
        detail->post();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Tdm_rdp& module = tables();
    for (Table* table : module.tables()) {
        table->createDataSet();
    }
    addDive(module, 1, 501, "Synchronised reef");
    addDive(module, 2, QVariant(), "Not yet sent");
    const QByteArray answer(reinterpret_cast<const char*>(data), qsizetype(size));
    DiveAnswer(module).apply(DiveAnswer::lines(WireText::fromBytes(answer)));
    for (Table* table : module.tables()) {
        const auto snapshot = table->snapshot();
        try {
            const TableData back =
                TableFile::parse(TableFile::serialise(*snapshot), snapshot->layout, table->name(),
                                 QStringLiteral("fuzz.xml"));
            require(back.rows.size() == snapshot->rows.size(), "every row reads back");
        } catch (const AppError&) {
            FuzzSupport::broken("the tables after an answer write files that read back");
        }
    }
    return 0;
}
