// The dictionary loader: any language.xml loads or is refused with the loading message, and
// look-ups in what loaded answer.
#include "app/settings/app_error.h"
#include "dictionary/tdm_idioma.h"
#include "fuzz_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// Enters a folder of its own for one input and leaves it again (libFuzzer reads and writes its
// corpus relative to the folder it started in).
class WorkingFolder {
public:
    WorkingFolder() : previous_(QDir::currentPath()) {
        static QTemporaryDir work;
        if (!QDir::setCurrent(work.path())) {
            FuzzSupport::broken("the working folder is entered");
        }
    }
    ~WorkingFolder() { QDir::setCurrent(previous_); }

private:
    QString previous_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const WorkingFolder folder;
    QFile file(QStringLiteral("language.xml"));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size)) {
        FuzzSupport::broken("the dictionary file is written");
    }
    file.close();
    TdmIdioma dictionary;
    try {
        dictionary.DataModuleCreate();
    } catch (const AppError&) {
    }
    dictionary.GetWord(QStringLiteral("ok"));
    dictionary.GetWord(QStringLiteral("Save &As"));
    dictionary.ValidKey(QStringLiteral("<loading_db>"));
    dictionary.GetWord(QString::fromUtf8(reinterpret_cast<const char*>(data),
                                         qMin<qsizetype>(qsizetype(size), 12)));
    dictionary.LanguageCode();
    return 0;
}
