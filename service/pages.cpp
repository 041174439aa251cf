#include "service/pages.h"

#include "service/database.h"
#include "service/directory.h"
#include "service/dive_line.h"
#include "service/dives.h"
#include "service/members.h"

#include <QSqlQuery>

namespace {

constexpr int kDivesShown = 200;

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

Pages::Page page(const QString& title, const QString& body, int status = 200) {
    const QString html = QStringLiteral(
                             "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                             "<title>%1 - NEREVA</title><style>body{font-family:sans-serif;"
                             "max-width:50em;margin:2em auto;padding:0 1em}table{border-collapse:"
                             "collapse}td,th{padding:.2em .6em;border-bottom:1px solid #ccc;"
                             "text-align:left}</style></head><body><h1>%1</h1>%2"
                             "<p><a href=\"/\">NEREVA</a></p></body></html>\n")
                             .arg(escaped(title), body);
    return {status, html.toUtf8()};
}

Pages::Page notFound() {
    return page(QStringLiteral("Not found"), QStringLiteral("<p>There is no such page.</p>"), 404);
}

int number(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : 0;
}

QString row(const QString& label, const QString& value) {
    return QStringLiteral("<tr><th>%1</th><td>%2</td></tr>").arg(escaped(label), escaped(value));
}

QString diveTable(Database& db, int memberId, int publication) {
    DiveStore dives(db);
    const int count = dives.count(memberId);
    QString html = QStringLiteral("<h2>Dives</h2><p>%1 dives logged.</p>").arg(count);
    if (publication < 1 || count == 0) {
        return html;
    }
    const bool advanced = publication >= 2;
    html += QStringLiteral("<table><tr><th>Date</th><th>Location</th><th>Site</th>");
    if (advanced) {
        html += QStringLiteral("<th>Maximum depth</th><th>Bottom time</th>");
    }
    html += QStringLiteral("</tr>");
    for (const DiveStore::PageDive& dive : dives.pageDives(memberId, kDivesShown)) {
        const QHash<QString, QString> values = DiveLine::fieldValues(dive.answerValues);
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td>")
                    .arg(escaped(dive.date), escaped(values.value(QStringLiteral("Location"))),
                         escaped(values.value(QStringLiteral("Site"))));
        if (advanced) {
            html += QStringLiteral("<td>%1</td><td>%2</td>")
                        .arg(escaped(values.value(QStringLiteral("max_depth"))),
                             escaped(values.value(QStringLiteral("bottom_time"))));
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

Pages::Page memberPage(Database& db, int memberId) {
    MemberStore members(db);
    if (memberId <= 0 || !members.exists(memberId)) {
        return notFound();
    }
    const MemberRecord record = members.record(memberId);
    const ContactRecord shown = publishedView(
        memberId, record.user, record.field(QStringLiteral("name")),
        record.field(QStringLiteral("inet_email")), record.field(QStringLiteral("country")),
        record.number(QStringLiteral("per_pub_personal")));
    QString body = QStringLiteral("<table>") + row(QStringLiteral("Member"), shown.user);
    if (!shown.name.isEmpty()) {
        body += row(QStringLiteral("Name"), shown.name);
    }
    if (!shown.country.isEmpty()) {
        body += row(QStringLiteral("Country"), shown.country);
    }
    if (!shown.email.isEmpty()) {
        body += row(QStringLiteral("E-mail"), shown.email);
    }
    body += QStringLiteral("</table>") +
            diveTable(db, memberId, record.number(QStringLiteral("per_pub_dives")));
    return page(shown.user, body);
}

Pages::Page organizationPage(Database& db, int id) {
    const std::optional<Organization> o = Directory(db).organization(id);
    if (!o) {
        return notFound();
    }
    QStringList kinds;
    if (o->isOperator) {
        kinds << QStringLiteral("dive operator");
    }
    if (o->isSchool) {
        kinds << QStringLiteral("school");
    }
    const QString body =
        QStringLiteral("<table>") + row(QStringLiteral("Kind"), kinds.join(QStringLiteral(", "))) +
        row(QStringLiteral("Country"), o->country) + row(QStringLiteral("State"), o->state) +
        row(QStringLiteral("County"), o->county) + QStringLiteral("</table>");
    return page(o->name, body);
}

Pages::Page locationPage(Database& db, int id, int siteId) {
    const std::optional<Location> l = Directory(db).location(id);
    if (!l) {
        return notFound();
    }
    QString body =
        QStringLiteral("<table>") + row(QStringLiteral("Country"), l->country) +
        row(QStringLiteral("State"), l->state) + row(QStringLiteral("County"), l->county) +
        row(QStringLiteral("Region"), l->region) + QStringLiteral("</table><h2>Sites</h2><ul>");
    for (const Site& site : l->sites) {
        body += site.id == siteId
                    ? QStringLiteral("<li><strong>%1</strong></li>").arg(escaped(site.name))
                    : QStringLiteral("<li>%1</li>").arg(escaped(site.name));
    }
    return page(l->name, body + QStringLiteral("</ul>"));
}

Pages::Page helpPage() {
    return page(QStringLiteral("Help"),
                QStringLiteral(
                    "<p>NEREVA Desktop keeps your dive log on your computer and synchronises it "
                    "with this service: choose <em>Synchronize</em> to send your member record and "
                    "dives and to receive the reference data, your locations and your contacts.</p>"
                    "<p>Register from the desktop's member registration; your user name and "
                    "password are then sent with every request. Search the directory of dive "
                    "locations and of members from the location and contact windows, and invite "
                    "your buddies by e-mail address.</p>"
                    "<p>What other members see of you follows your publication choices in the "
                    "diver information: only your user name, also your name and country, or also "
                    "your e-mail address; and only the number of your dives, a simple list, or "
                    "more of each dive.</p>"));
}

int countOf(Database& db, const char* table) {
    QSqlQuery& q = db.run(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)));
    return q.next() ? q.value(0).toInt() : 0;
}

}  // namespace

namespace Pages {

Page home(Database& db) {
    return page(QStringLiteral("NEREVA"),
                QStringLiteral("<p>The NEREVA dive log service: %1 members, %2 dives, %3 dive "
                               "locations.</p><p><a href=\"/redir/?help=1\">Help</a></p>")
                    .arg(countOf(db, "members"))
                    .arg(countOf(db, "dives"))
                    .arg(countOf(db, "locations")));
}

Page redirect(Database& db, const QHash<QString, QString>& query) {
    if (query.contains(QStringLiteral("help"))) {
        return helpPage();
    }
    if (query.contains(QStringLiteral("user"))) {
        MemberStore members(db);
        const std::optional<int> id = members.idOfUser(query.value(QStringLiteral("user")));
        return id ? memberPage(db, *id) : notFound();
    }
    if (query.contains(QStringLiteral("id_user"))) {
        return memberPage(db, number(query.value(QStringLiteral("id_user"))));
    }
    if (query.contains(QStringLiteral("id_operator"))) {
        return organizationPage(db, number(query.value(QStringLiteral("id_operator"))));
    }
    if (query.contains(QStringLiteral("id_location"))) {
        return locationPage(db, number(query.value(QStringLiteral("id_location"))),
                            number(query.value(QStringLiteral("id_site"))));
    }
    return notFound();
}

}  // namespace Pages
