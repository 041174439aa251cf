#include "ui/lookup/lookup_request.h"

#include "app/settings/app_error.h"
#include "cache/tdm_local_data.h"
#include "net/tdm_comm.h"
#include "ui/lookup/lookup_widgets.h"
#include "ui/main/tdlg_download.h"

#include <QApplication>
#include <QTreeWidget>
#include <memory>

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}

namespace {

QByteArray get(const QString& url, QWidget* waitOwner) {
    std::unique_ptr<TDlgDownload> pleaseWait;
    if (waitOwner) {
        pleaseWait = std::make_unique<TDlgDownload>(waitOwner);
        pleaseWait->show();
    }
    return dmComm->HttpGet(url);
}

}  // namespace

void readServiceAnswer(const QString& url, const std::function<void(const XmlElement&)>& read,
                       QWidget* waitOwner) {
    const QByteArray answer = get(url, waitOwner);
    struct Closed {
        ~Closed() { dmLocalData->closeAnswer(); }
    } closed;
    dmLocalData->parseAnswer(answer);
    read(dmLocalData->XMLGet.documentElement());
}

namespace {

// True when the entry was not cached before.
bool mergeAnsweredEntry(const QString& url, XmlStore& store) {
    bool added = false;
    readServiceAnswer(url, [&](const XmlElement& answer) {
        // Without an id the entry would be taken as a container and its fields stored as records.
        const XmlElement entry = answer.firstChildElement();
        if (TdmLocalData::childText(entry, QStringLiteral("id")).isEmpty()) {
            throw AppError(QStringLiteral("The service's answer holds no entry."));
        }
        added = !TdmLocalData::AddXMLNode(store, entry);
    });
    return added;
}

}  // namespace

int addTickedEntries(QTreeWidget* list, const std::function<QString(const QTreeWidgetItem*)>& urlOf,
                     XmlStore& store) {
    const WaitCursor hourglass;
    int added = 0;
    for (QTreeWidgetItem* row : tickedRows(list)) {
        try {
            added += mergeAnsweredEntry(urlOf(row), store) ? 1 : 0;
        } catch (const AppError&) {
            // Not reported and not counted; the other ticked rows still go.
        }
        row->setCheckState(0, Qt::Unchecked);
    }
    return added;
}
