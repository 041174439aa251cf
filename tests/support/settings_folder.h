#pragma once

#include "app/settings/tdm_const.h"
#include "test_support.h"

// The settings module over a fresh data and working folder, as start-up makes it; the global
// points at it while it lives. Tests of the tables start their modules over it.
struct SettingsFolder {
    TestSupport::TempFolders folders;
    Tdm_const settings;

    SettingsFolder() {
        settings.DataModuleCreate();
        dm_const = &settings;
    }
    ~SettingsFolder() { dm_const = nullptr; }
    SettingsFolder(const SettingsFolder&) = delete;
    SettingsFolder& operator=(const SettingsFolder&) = delete;

    // A table's file in the tables folder.
    QString file(const QString& baseName) const { return settings.DbDir + baseName + ".xml"; }
};
