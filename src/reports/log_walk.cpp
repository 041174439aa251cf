#include "reports/log_walk.h"

#include "store/tdm_rdp.h"

namespace {

void settle(Table* table) {
    if (table->active() &&
        (table->state() == Table::State::Edit || table->state() == Table::State::Insert)) {
        table->modified() ? table->post() : table->cancel();
    }
}

}  // namespace

LogWalk::LogWalk(Tdm_rdp& tables) : tables_(tables) {
    for (Table* table : {tables.cds_conditions, tables.cds_equipment, tables.cds_dives}) {
        settle(table);
    }
    tables_.setBusy(true);
}

LogWalk::~LogWalk() {
    tables_.setBusy(false);
}
