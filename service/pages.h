#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

class Database;

// The web site's read-only pages that the desktop opens in the browser: the home page and the
// "redir/" pages for help, members, organisations and locations. Members are shown as far as
// they publish themselves.
namespace Pages {

struct Page {
    int status = 200;
    QByteArray html;
};

Page home(Database& db);
// `query`: the page's parameters (help, user, id_user, id_operator, id_location, id_site).
Page redirect(Database& db, const QHash<QString, QString>& query);

}  // namespace Pages
