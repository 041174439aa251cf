#pragma once

#include <QString>
#include <optional>

// Credentials already checked, so that the slow password digest runs once per member and
// quarter of an hour rather than once per request. Entries are keyed by a keyed digest of the
// user name and password (the password itself is never kept); shared by all threads.
namespace CredentialCache {

std::optional<int> find(const QString& user, const QString& password);
void remember(const QString& user, const QString& password, int memberId);

}  // namespace CredentialCache
