#pragma once

#include "cache/xml_tree.h"

#include <QString>
#include <functional>

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
struct XmlStore;

// The hourglass cursor for the life of the object.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// GETs `url` from the service, parses the answer in the cache's answer document and hands its
// root to `read`; the answer document is closed afterwards however it went. With `waitOwner`,
// the please-wait window shows over it while the request waits and is gone when the request
// returns or fails. Throws AppError (the request, the parse or `read`).
void readServiceAnswer(const QString& url, const std::function<void(const XmlElement&)>& read,
                       QWidget* waitOwner = nullptr);

// Add for each ticked row of `list`, in list order, under the hourglass: GETs `urlOf(row)`, merges
// the answer's first entry into `store` by its "id" and unticks the row, whatever happened. A row
// that fails (the request, the parse, an answer without an entry that has an id) is not reported.
// Returns how many entries were not cached before.
int addTickedEntries(QTreeWidget* list, const std::function<QString(const QTreeWidgetItem*)>& urlOf,
                     XmlStore& store);
