#include "sync/reference_download.h"

#include "app/settings/app_error.h"
#include "cache/tdm_local_data.h"
#include "net/service_endpoints.h"
#include "net/tdm_comm.h"

namespace ReferenceDownload {
namespace {

// GETs `url` and hands the parsed answer's root to `use`; the answer document is closed
// afterwards however it went.
void withAnswer(const QString& url, const std::function<void(const XmlElement&)>& use) {
    dmLocalData->closeAnswer();
    const QByteArray answer = dmComm->HttpGet(url);
    struct Closed {
        ~Closed() { dmLocalData->closeAnswer(); }
    } closed;
    dmLocalData->parseAnswer(answer);
    use(dmLocalData->XMLGet.documentElement());
}

// Written now rather than at program end, so a crash later does not lose the download.
void saveQuietly(XmlStore& store) {
    try {
        TdmLocalData::save(store);
    } catch (const AppError&) {
        // The store stays changed in memory and is written when the program ends.
    }
}

}  // namespace

void downloadLocalData() {
    withAnswer(ServiceEndpoints::localData(), [](const XmlElement& root) {
        TdmLocalData::replaceRoot(dmLocalData->XMLLocalData, root);
    });
    saveQuietly(dmLocalData->XMLLocalData);
}

void downloadLocations() {
    withAnswer(ServiceEndpoints::memberLocations(), [](const XmlElement& root) {
        TdmLocalData::AddXMLNode(dmLocalData->XMLLocations, root);
    });
    saveQuietly(dmLocalData->XMLLocations);
}

void downloadContacts() {
    withAnswer(ServiceEndpoints::memberContacts(), [](const XmlElement& root) {
        TdmLocalData::AddXMLNode(dmLocalData->XMLContactList, root);
    });
    saveQuietly(dmLocalData->XMLContactList);
}

void run(const std::function<bool()>& stopped) {
    for (const auto& download : {downloadLocalData, downloadLocations, downloadContacts}) {
        if (stopped && stopped()) {
            return;
        }
        try {
            download();
        } catch (const AppError&) {
            // Ignored: the cached copy stays as it was and the next download runs.
        }
    }
}

}  // namespace ReferenceDownload
