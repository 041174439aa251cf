#include "service/update_list.h"

#include "service/xml_answer.h"

#include <QDir>
#include <QFile>
#include <QVersionNumber>
#include <QXmlStreamReader>

namespace {

struct Component {
    QString name, version, language;
};

QList<Component> readComponents(const QString& path) {
    QFile file(path);
    QList<Component> components;
    if (!file.open(QIODevice::ReadOnly)) {
        return components;
    }
    QXmlStreamReader xml(&file);
    Component current;
    int depth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (depth == 2) {
                current = {};
            } else if (depth == 3) {
                const QString name = xml.name().toString();
                const QString text = xml.readElementText();
                --depth;
                if (name == QLatin1String("name")) {
                    current.name = text;
                } else if (name == QLatin1String("version")) {
                    current.version = text;
                } else if (name == QLatin1String("language")) {
                    current.language = text;
                }
            }
        } else if (xml.isEndElement()) {
            if (depth == 2) {
                components << current;
            }
            --depth;
        }
    }
    return components;
}

// 0.7.15b is 0.7.15 with a suffix: a later suffix of the same numbers is newer.
bool newer(const QString& offered, const QString& installed) {
    qsizetype offeredEnd = 0;
    qsizetype installedEnd = 0;
    const QVersionNumber a = QVersionNumber::fromString(offered, &offeredEnd);
    const QVersionNumber b = QVersionNumber::fromString(installed, &installedEnd);
    const int order = QVersionNumber::compare(a, b);
    return order > 0 || (order == 0 && offered.mid(offeredEnd) > installed.mid(installedEnd));
}

}  // namespace

namespace UpdateList {

QByteArray answer(const QString& dataDir, const QString& version, const QString& language) {
    XmlAnswer xml(QStringLiteral("updates"));
    for (const Component& c :
         readComponents(QDir(dataDir).filePath(QStringLiteral("updates.xml")))) {
        if (newer(c.version, version) && (c.language.isEmpty() || c.language == language)) {
            xml.begin(QStringLiteral("component"));
            xml.field(QStringLiteral("name"), c.name);
            xml.field(QStringLiteral("version"), c.version);
            xml.end();
        }
    }
    return xml.finish();
}

}  // namespace UpdateList
