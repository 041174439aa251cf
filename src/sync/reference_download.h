#pragma once

#include <functional>

// The reference task: the reference document, the member's locations and contact list are
// downloaded into the cache, each by itself. A failed download (connection, status, XML) leaves
// its document as it was and the next one still runs; nothing is reported.
namespace ReferenceDownload {

// Runs the three downloads; `stopped`, asked before each, ends the task early (the run was
// canceled).
void run(const std::function<bool()>& stopped = {});

// Each throws AppError when its download fails.
void downloadLocalData();  // replaces the reference document
void downloadLocations();  // merges the location records by "id"
void downloadContacts();   // merges the contact records by "id"

}  // namespace ReferenceDownload
