#pragma once

#include <QTemporaryDir>
#include <memory>

class Tdm_const;
class Tdm_rdp;

// The settings and tables modules as start-up makes them, over a data folder of their own; the
// globals point at them until they go, in reverse order.
struct BenchTables {
    QTemporaryDir folder;
    std::unique_ptr<Tdm_const> settings;
    std::unique_ptr<Tdm_rdp> tables;

    BenchTables();
    ~BenchTables();
    BenchTables(const BenchTables&) = delete;
    BenchTables& operator=(const BenchTables&) = delete;
};
