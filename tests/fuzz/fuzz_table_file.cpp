// The table file reader on every table of the log: any file is refused with a message or read;
// what was read writes a file that reads back the same.
#include "app/settings/app_error.h"
#include "fuzz_support.h"
#include "store/dive_log_tables.h"
#include "store/table_file.h"

#include <memory>
#include <vector>

using FuzzSupport::require;

namespace {

struct Kind {
    QString name;
    std::shared_ptr<const RecordLayout> layout;
};

const std::vector<Kind>& kinds() {
    static const std::vector<Kind> all = [] {
        std::vector<Kind> list;
        for (const auto& definition :
             {DiveLogTables::dives(), DiveLogTables::member(), DiveLogTables::certificates(),
              DiveLogTables::conditions(), DiveLogTables::equipment(), DiveLogTables::profile()}) {
            list.push_back(
                {definition.tableName, std::make_shared<const RecordLayout>(definition.fields)});
        }
        return list;
    }();
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const Kind& kind = kinds()[data[0] % kinds().size()];
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    TableData read;
    try {
        read = TableFile::parse(bytes, kind.layout, kind.name, QStringLiteral("fuzz.xml"));
    } catch (const AppError&) {
        return 0;
    }
    const QByteArray written = TableFile::serialise(read);
    try {
        const TableData again =
            TableFile::parse(written, kind.layout, kind.name, QStringLiteral("written.xml"));
        require(again.rows.size() == read.rows.size(), "every row reads back");
        require(TableFile::serialise(again) == written, "a written table reads back the same");
    } catch (const AppError&) {
        FuzzSupport::broken("a table the program wrote reads back");
    }
    return 0;
}
