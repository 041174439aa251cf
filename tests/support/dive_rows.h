#pragma once

#include "store/tdm_rdp.h"

#include <QVariantMap>

namespace TestSupport {

// Appends a dive with the given fields and, unless `withDetails` is false, its conditions and
// equipment rows; returns its local number. The new dive is current afterwards.
inline int addDive(Tdm_rdp& tables, const QVariantMap& dive, const QVariantMap& conditions = {},
                   const QVariantMap& equipment = {}, bool withDetails = true) {
    const auto writeAll = [](Table* table, const QVariantMap& values) {
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            table->setValue(it.key(), it.value());
        }
    };
    Table* dives = tables.cds_dives;
    dives->append();
    writeAll(dives, dive);
    dives->post();
    if (withDetails) {
        for (auto [table, values] : {std::pair{tables.cds_conditions, &conditions},
                                     std::pair{tables.cds_equipment, &equipment}}) {
            table->append();
            writeAll(table, *values);
            table->post();
        }
    }
    return dives->asInteger(QStringLiteral("id_local_dive"));
}

}  // namespace TestSupport
