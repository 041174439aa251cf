#include "bench_tables.h"

#include "app/settings/tdm_const.h"
#include "store/tdm_rdp.h"

BenchTables::BenchTables() {
    qputenv("XDG_DATA_HOME", folder.path().toLocal8Bit());
    settings = std::make_unique<Tdm_const>();
    dm_const = settings.get();
    settings->DataModuleCreate();
    settings->AppTitle = QStringLiteral("NEREVA Desktop");
    tables = std::make_unique<Tdm_rdp>();
    dm_rdp = tables.get();
    tables->DataModuleCreate();
}

BenchTables::~BenchTables() {
    dm_rdp = nullptr;
    tables.reset();
    dm_const = nullptr;
    settings.reset();
}
