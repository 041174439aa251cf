#pragma once

#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "dictionary/tdm_idioma.h"
#include "store/tdm_rdp.h"
#include "test_support.h"

#include <QByteArray>
#include <memory>

// The settings, dictionary and tables modules as start-up makes them, over the current data and
// working folders; the globals point at them until they go, in reverse order. With
// `languageFile`, that dictionary is put in the working folder first; without one the windows
// stay untranslated.
struct ModuleSet {
    std::unique_ptr<Tdm_const> settings = std::make_unique<Tdm_const>();
    std::unique_ptr<TdmIdioma> dictionary = std::make_unique<TdmIdioma>();
    std::unique_ptr<Tdm_rdp> tables = std::make_unique<Tdm_rdp>();

    explicit ModuleSet(const QByteArray& languageFile = {}) {
        if (!languageFile.isEmpty()) {
            TestSupport::writeFile(QStringLiteral("language.xml"), languageFile);
        }
        dm_const = settings.get();
        settings->DataModuleCreate();
        settings->AppTitle = QStringLiteral("NEREVA Desktop");
        dmIdioma = dictionary.get();
        try {
            dictionary->DataModuleCreate();
        } catch (const AppError&) {
            // No dictionary file: the windows stay untranslated.
        }
        dm_rdp = tables.get();
        tables->DataModuleCreate();
    }

    ~ModuleSet() {
        dm_rdp = nullptr;
        tables.reset();
        dmIdioma = nullptr;
        dictionary.reset();
        dm_const = nullptr;
        settings.reset();
    }

    ModuleSet(const ModuleSet&) = delete;
    ModuleSet& operator=(const ModuleSet&) = delete;
};
