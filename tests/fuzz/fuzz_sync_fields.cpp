// Field lists and their escape: any value survives encode/decode, an encoded value never holds
// what would split its record, and any answer line splits without harm.
#include "fuzz_support.h"
#include "sync/sync_fields.h"

#include <cstring>

using FuzzSupport::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    // The bytes read as UTF-8, and as raw UTF-16 units (which reach unpaired surrogates).
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), bytes, size / 2 * 2);
    for (const QString& value : {QString::fromUtf8(bytes, qsizetype(size)), units}) {
        const QString encoded = SyncFields::encode(value);
        require(!encoded.contains(u'#') && !encoded.contains(u'\n') && !encoded.contains(u'\r'),
                "an encoded value holds no \"#\" and no line break");
        require(SyncFields::decode(encoded) == value, "decoding gives back the encoded value");
        SyncFields::decode(value);
        QStringList values(12);
        SyncFields::splitRecord(value, values);
        SyncFields::joinRecord(values);
    }
    return 0;
}
