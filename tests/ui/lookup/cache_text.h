#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The text of cached documents as the service sends them (UTF-8, one element per field), for
// tests, benchmarks and screenshots that build their own cache.
namespace CacheText {

using Fields = QList<QPair<QString, QString>>;

inline QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

// <tag><name>text</name>...inner</tag>
inline QString record(const QString& tag, const Fields& fields, const QString& inner = {}) {
    QString text = QLatin1Char('<') + tag + QLatin1Char('>');
    for (const auto& [name, value] : fields) {
        text += QLatin1Char('<') + name + QLatin1Char('>') + escaped(value) + QStringLiteral("</") +
                name + QLatin1Char('>');
    }
    return text + inner + QStringLiteral("</") + tag + QLatin1Char('>');
}

struct Site {
    int id;
    QString name;
};

struct Location {
    QString id;  // text, so a test can store one that is not a number
    QString smallName;
    QString country;
    QString state;
    QString county;
    QString region;
    QList<Site> sites;
    QString name = {};        // empty: "<smallName>, <country>"
    QString regionName = {};  // empty: "<region> - <smallName>"
};

inline QString location(const Location& l) {
    QString sites;
    for (const Site& site : l.sites) {
        sites +=
            record(QStringLiteral("site"), {{"id", QString::number(site.id)}, {"name", site.name}});
    }
    const QString name = l.name.isEmpty() ? l.smallName + QStringLiteral(", ") + l.country : l.name;
    const QString regionName =
        l.regionName.isEmpty() ? l.region + QStringLiteral(" - ") + l.smallName : l.regionName;
    return record(QStringLiteral("location"),
                  {{"id", l.id},
                   {"name", name},
                   {"smallname", l.smallName},
                   {"regionname", regionName},
                   {"country", l.country},
                   {"state", l.state},
                   {"county", l.county},
                   {"region", l.region}},
                  QStringLiteral("<sites>") + sites + QStringLiteral("</sites>"));
}

inline QString contact(const QString& id, const QString& name, const QString& user = {},
                       const QString& email = {}, const QString& country = {}) {
    return record(
        QStringLiteral("contact"),
        {{"id", id}, {"name", name}, {"user", user}, {"email", email}, {"country", country}});
}

struct Organization {
    QString id;
    QString name;
    bool operatorFlag;
    bool schoolFlag;
    QString country;
    QString state;
    QString county;
};

inline QString organization(const Organization& o) {
    return record(QStringLiteral("organization"), {{"id", o.id},
                                                   {"name", o.name},
                                                   {"operator", o.operatorFlag ? "1" : "0"},
                                                   {"school", o.schoolFlag ? "1" : "0"},
                                                   {"country", o.country},
                                                   {"state", o.state},
                                                   {"county", o.county}});
}

inline QString country(const QString& name, const QStringList& states) {
    QString list;
    for (const QString& state : states) {
        list += record(QStringLiteral("state"), {{"name", state}});
    }
    return record(QStringLiteral("country"), {{"name", name}},
                  QStringLiteral("<states>") + list + QStringLiteral("</states>"));
}

// A whole document: its root `root` holding `records`.
inline QByteArray document(const QStringList& records,
                           const QString& root = QStringLiteral("init")) {
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>") +
           (QLatin1Char('<') + root + QLatin1Char('>') + records.join(QString()) +
            QStringLiteral("</") + root + QLatin1Char('>'))
               .toUtf8();
}

// The reference document: countries and organizations.
inline QByteArray localData(const QStringList& countries, const QStringList& organizations) {
    return document(
        {QStringLiteral("<countries>") + countries.join(QString()) + QStringLiteral("</countries>"),
         QStringLiteral("<organizations>") + organizations.join(QString()) +
             QStringLiteral("</organizations>")},
        QStringLiteral("nereva"));
}

}  // namespace CacheText
