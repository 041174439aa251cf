// Field lists and their escape: any value a table file can carry survives encode/decode, an
// encoded value never holds what would split its record, and any answer line splits without harm.
#include "app/settings/xml_chars.h"
#include "fuzz_support.h"
#include "wire/sync_fields.h"

#include <cstring>

using FuzzSupport::require;

namespace {

// Decoding drops what a table file could not carry: control characters other than tab and line
// ends, U+FFFE, U+FFFF and unpaired surrogates.
bool carriedByXml(const QString& value) {
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        const bool paired = c.isHighSurrogate()
                                ? i + 1 < value.size() && value[i + 1].isLowSurrogate()
                                : !c.isLowSurrogate() || (i > 0 && value[i - 1].isHighSurrogate());
        if (XmlChars::isForbiddenUnit(c.unicode()) || !paired) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    // The bytes read as UTF-8, and as raw UTF-16 units (which reach unpaired surrogates).
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), bytes, size / 2 * 2);
    for (const QString& value : {QString::fromUtf8(bytes, qsizetype(size)), units}) {
        const QString encoded = SyncFields::encode(value);
        require(!encoded.contains(u'#') && !encoded.contains(u'\n') && !encoded.contains(u'\r'),
                "an encoded value holds no \"#\" and no line break");
        const QString back = SyncFields::decode(encoded);
        require(back == value || !carriedByXml(value),
                "decoding gives back an encoded value that XML can carry");
        require(SyncFields::decode(SyncFields::encode(back)) == back,
                "a decoded value survives another round trip");
        SyncFields::decode(value);
        QStringList values(12);
        SyncFields::splitRecord(value, values);
        SyncFields::joinRecord(values);
    }
    return 0;
}
