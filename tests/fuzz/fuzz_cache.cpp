// The cache's XML: any answer parses or is refused with a message; what parsed writes as
// ISO-8859-1 and reads back the same, also after being merged into a store.
#include "app/settings/app_error.h"
#include "cache/tdm_local_data.h"
#include "fuzz_support.h"

using FuzzSupport::require;

namespace {

// The Latin-1 bytes of `doc` read back and written again give the same bytes.
void roundTrip(const XmlDocument& doc) {
    QByteArray written;
    try {
        written = toLatin1Xml(doc);
    } catch (const AppError&) {
        return;  // a name ISO-8859-1 cannot hold: refused, not written
    }
    try {
        require(toLatin1Xml(XmlDocument::parse(written, QStringLiteral("written"))) == written,
                "a written document reads back the same");
    } catch (const AppError&) {
        FuzzSupport::broken("a written document reads back");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TdmLocalData cache;
    try {
        cache.parseAnswer(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    } catch (const AppError&) {
        return 0;
    }
    roundTrip(cache.XMLGet);
    XmlStore store;
    store.doc = XmlDocument::parse("<init><x><id>1</id></x></init>", QStringLiteral("store"));
    store.active = true;
    TdmLocalData::AddXMLNode(store, cache.XMLGet.documentElement());
    TdmLocalData::AddXMLNode(store, cache.XMLGet.documentElement());  // replaces what it added
    roundTrip(store.doc);
    TdmLocalData::replaceRoot(store, cache.XMLGet.documentElement());
    roundTrip(store.doc);
    return 0;
}
