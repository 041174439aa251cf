#pragma once

#include "app/settings/regional_formats.h"

#include <QCoreApplication>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What every fuzz target shares: an application object (timers, thread pools, file paths need
// one), the program's regional formats, and a way to stop on a broken promise.
namespace FuzzSupport {

inline void startApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    RegionalFormats::force();
}

// Stops the run: libFuzzer keeps the input that broke `promise`.
[[noreturn]] inline void broken(const char* promise) {
    std::fprintf(stderr, "broken: %s\n", promise);
    std::abort();
}

inline void require(bool holds, const char* promise) {
    if (!holds) {
        broken(promise);
    }
}

}  // namespace FuzzSupport
