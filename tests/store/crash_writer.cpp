// Helper for the crash-safety test: fills a large dive table, prints "ready", then writes the
// table file once for every line read from standard input, until it is killed.
#include "store/dive_log_tables.h"
#include "store/table.h"
#include "store/table_data.h"

#include <QDate>
#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: store_crash_writer FILE ROWS\n");
        return 2;
    }
    const QString fileName = QString::fromLocal8Bit(argv[1]);
    const int rows = std::atoi(argv[2]);
    const DiveLogTables::Definition definition = DiveLogTables::dives();
    Table table(definition.tableName, definition.fields, definition.orderBy);
    table.open();
    for (int i = 0; i < rows; ++i) {
        table.append();
        table.setValue("Date", QDate(2000, 1, 1).addDays(i / 3));
        table.setValue("Location", QStringLiteral("Location number %1 of the crash test").arg(i));
        table.setValue("Site", QStringLiteral("Site %1").arg(i));
        table.setValue("buddy", QStringLiteral("A buddy with a long name"));
        table.post();
    }
    std::printf("ready\n");
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
        Table::writeSnapshot(*table.snapshot(), fileName);
        std::printf("written\n");
        std::fflush(stdout);
    }
    return 0;
}
