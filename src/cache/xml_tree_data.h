#pragma once

#include "cache/xml_tree.h"

#include <QHash>
#include <QString>
#include <QVector>
#include <vector>

// The inside of an XmlDocument, shared by the tree, its parser and its writer.

struct XmlNode {
    qint32 parent = -1;
    qint32 first = -1;  // children
    qint32 last = -1;
    qint32 next = -1;  // siblings
    qint32 prev = -1;
    qint32 name = 0;
    qint32 textAt = 0;  // the element's own text in the pool
    qint32 textSize = 0;
    qint32 attributes = -1;  // its attribute list, -1 for none
};

struct XmlAttribute {
    QString name;
    QString value;
};

struct XmlDocument::Data {
    std::vector<XmlNode> nodes;
    std::vector<char16_t> texts;  // the pool every element's text lies in
    QVector<QString> names;
    QHash<QString, qint32> nameIds;
    std::vector<QVector<XmlAttribute>> attributes;
    qint32 root = -1;

    qint32 intern(const QString& name);
    qint32 nameId(const QString& name) const;  // -1 for a name no element has
    qint32 newNode(qint32 name);
    QStringView textOf(qint32 node) const;
    // Appends to the node's own text (copying it to the end of the pool first when something
    // was added behind it meanwhile).
    void appendText(qint32 node, QStringView text);
    void clearText(qint32 node);
    void link(qint32 parent, qint32 child);
    void unlink(qint32 child);
    // Makes room for `units` more UTF-16 units in the pool; throws when it would not fit.
    void reserveTexts(qint64 units);
};
