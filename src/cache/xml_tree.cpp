#include "cache/xml_tree.h"

#include "app/settings/app_error.h"
#include "cache/xml_tree_data.h"

#include <limits>

// ---------------------------------------------------------------------------------------------
// The tree

namespace {

constexpr qint64 kMaxIndex = std::numeric_limits<qint32>::max();

AppError tooLarge() {
    return AppError(QStringLiteral("The XML document is too large to be held."));
}

}  // namespace

qint32 XmlDocument::Data::intern(const QString& name) {
    const auto found = nameIds.constFind(name);
    if (found != nameIds.cend()) {
        return *found;
    }
    const auto id = qint32(names.size());
    names.append(name);
    nameIds.insert(name, id);
    return id;
}

qint32 XmlDocument::Data::nameId(const QString& name) const {
    return nameIds.value(name, -1);
}

qint32 XmlDocument::Data::newNode(qint32 name) {
    if (qint64(nodes.size()) >= kMaxIndex) {
        throw tooLarge();
    }
    XmlNode node;
    node.name = name;
    nodes.push_back(node);
    return qint32(nodes.size() - 1);
}

QStringView XmlDocument::Data::textOf(qint32 node) const {
    const XmlNode& n = nodes[size_t(node)];
    return QStringView(texts.data() + n.textAt, n.textSize);
}

void XmlDocument::Data::reserveTexts(qint64 units) {
    if (qint64(texts.size()) + units >= kMaxIndex) {
        throw tooLarge();
    }
}

void XmlDocument::Data::appendText(qint32 node, QStringView text) {
    if (text.isEmpty()) {
        return;
    }
    XmlNode& n = nodes[size_t(node)];
    reserveTexts(n.textSize + text.size());
    if (n.textSize > 0 && size_t(n.textAt + n.textSize) != texts.size()) {
        // Something was added behind the text: move it to the end, where it can grow.
        const std::vector<char16_t> own(texts.begin() + n.textAt,
                                        texts.begin() + n.textAt + n.textSize);
        n.textAt = qint32(texts.size());
        texts.insert(texts.end(), own.begin(), own.end());
    } else if (n.textSize == 0) {
        n.textAt = qint32(texts.size());
    }
    texts.insert(texts.end(), text.utf16(), text.utf16() + text.size());
    n.textSize += qint32(text.size());
}

void XmlDocument::Data::clearText(qint32 node) {
    nodes[size_t(node)].textSize = 0;
}

void XmlDocument::Data::link(qint32 parent, qint32 child) {
    XmlNode& p = nodes[size_t(parent)];
    XmlNode& c = nodes[size_t(child)];
    c.parent = parent;
    c.prev = p.last;
    c.next = -1;
    if (p.last >= 0) {
        nodes[size_t(p.last)].next = child;
    } else {
        p.first = child;
    }
    p.last = child;
}

void XmlDocument::Data::unlink(qint32 child) {
    XmlNode& c = nodes[size_t(child)];
    if (c.parent < 0) {
        return;
    }
    XmlNode& p = nodes[size_t(c.parent)];
    (c.prev >= 0 ? nodes[size_t(c.prev)].next : p.first) = c.next;
    (c.next >= 0 ? nodes[size_t(c.next)].prev : p.last) = c.prev;
    c.parent = c.prev = c.next = -1;
}

XmlDocument XmlDocument::withRoot(const QString& rootName) {
    XmlDocument doc(std::make_shared<Data>());
    doc.d_->root = doc.d_->newNode(doc.d_->intern(rootName));
    return doc;
}

XmlElement XmlDocument::documentElement() const {
    return d_ && d_->root >= 0 ? XmlElement(d_, d_->root) : XmlElement();
}

void XmlDocument::setDocumentElement(const XmlElement& root) {
    if (!d_ || root.d_ != d_) {
        throw AppError(QStringLiteral("The new root element belongs to another document."));
    }
    d_->unlink(root.index_);
    d_->root = root.index_;
}

XmlElement XmlDocument::createElement(const QString& name) {
    if (!d_) {
        d_ = std::make_shared<Data>();
    }
    return XmlElement(d_, d_->newNode(d_->intern(name)));
}

XmlElement XmlDocument::importNode(const XmlElement& element) {
    if (element.isNull()) {
        return {};
    }
    if (!d_) {
        d_ = std::make_shared<Data>();
    }
    Data& to = *d_;
    const Data& from = *element.d_;  // may be `to` itself: only indices are kept across copies
    const auto copy = [&](qint32 node) {
        const XmlNode source = from.nodes[size_t(node)];
        const qint32 made =
            &from == &to ? to.newNode(source.name) : to.newNode(to.intern(from.names[source.name]));
        const QString text = from.textOf(node).toString();
        to.appendText(made, text);
        if (source.attributes >= 0) {
            const QVector<XmlAttribute> list = from.attributes[size_t(source.attributes)];
            to.attributes.push_back(list);
            to.nodes[size_t(made)].attributes = qint32(to.attributes.size() - 1);
        }
        return made;
    };
    const qint32 top = element.index_;
    const qint32 result = copy(top);
    // Walks the source subtree in document order; `parent` is the copy of the parent of `at`.
    qint32 at = from.nodes[size_t(top)].first;
    qint32 parent = result;
    while (at >= 0) {
        const qint32 made = copy(at);
        to.link(parent, made);
        if (from.nodes[size_t(at)].first >= 0) {
            parent = made;
            at = from.nodes[size_t(at)].first;
            continue;
        }
        while (at != top && from.nodes[size_t(at)].next < 0) {
            at = from.nodes[size_t(at)].parent;
            parent = to.nodes[size_t(parent)].parent;
        }
        if (at == top) {
            break;
        }
        at = from.nodes[size_t(at)].next;
    }
    return XmlElement(d_, result);
}

XmlElement::XmlElement(std::shared_ptr<XmlDocument::Data> d, int index)
    : d_(index >= 0 ? std::move(d) : nullptr), index_(index) {}

QString XmlElement::tagName() const {
    return d_ ? d_->names[d_->nodes[size_t(index_)].name] : QString();
}

namespace {

// The first element from `at` on (following siblings, or preceding ones when `backwards`)
// named `name` (any when empty).
qint32 findSibling(const XmlDocument::Data& d, qint32 at, const QString& name,
                   bool backwards = false) {
    if (name.isEmpty()) {
        return at;
    }
    const qint32 id = d.nameId(name);
    if (id < 0) {
        return -1;
    }
    while (at >= 0 && d.nodes[size_t(at)].name != id) {
        at = backwards ? d.nodes[size_t(at)].prev : d.nodes[size_t(at)].next;
    }
    return at;
}

}  // namespace

XmlElement XmlElement::firstChildElement(const QString& name) const {
    if (!d_) {
        return {};
    }
    return XmlElement(d_, findSibling(*d_, d_->nodes[size_t(index_)].first, name));
}

XmlElement XmlElement::lastChildElement(const QString& name) const {
    if (!d_) {
        return {};
    }
    return XmlElement(d_, findSibling(*d_, d_->nodes[size_t(index_)].last, name, true));
}

XmlElement XmlElement::nextSiblingElement(const QString& name) const {
    if (!d_) {
        return {};
    }
    return XmlElement(d_, findSibling(*d_, d_->nodes[size_t(index_)].next, name));
}

XmlElement XmlElement::parentElement() const {
    return d_ ? XmlElement(d_, d_->nodes[size_t(index_)].parent) : XmlElement();
}

int XmlElement::childElementCount() const {
    int count = 0;
    for (qint32 at = d_ ? d_->nodes[size_t(index_)].first : -1; at >= 0;
         at = d_->nodes[size_t(at)].next) {
        ++count;
    }
    return count;
}

QString XmlElement::text() const {
    if (!d_) {
        return {};
    }
    const XmlDocument::Data& d = *d_;
    QString out = d.textOf(index_).toString();
    // The descendants in document order, without recursion.
    qint32 at = d.nodes[size_t(index_)].first;
    while (at >= 0) {
        out += d.textOf(at);
        if (d.nodes[size_t(at)].first >= 0) {
            at = d.nodes[size_t(at)].first;
            continue;
        }
        while (at != index_ && d.nodes[size_t(at)].next < 0) {
            at = d.nodes[size_t(at)].parent;
        }
        if (at == index_) {
            break;
        }
        at = d.nodes[size_t(at)].next;
    }
    return out;
}

void XmlElement::setText(const QString& text) {
    if (d_) {
        d_->clearText(index_);
        d_->appendText(index_, text);
    }
}

XmlElement XmlElement::appendChild(const XmlElement& child) {
    if (!d_ || child.d_ != d_) {
        return {};
    }
    // An element cannot hold itself; only one with children can be an ancestor of this one.
    const bool mayHoldThis = d_->nodes[size_t(child.index_)].first >= 0;
    for (qint32 at = index_; at >= 0; at = mayHoldThis ? d_->nodes[size_t(at)].parent : -1) {
        if (at == child.index_) {
            return {};
        }
    }
    if (d_->root == child.index_) {
        d_->root = -1;
    }
    d_->unlink(child.index_);
    d_->link(index_, child.index_);
    return child;
}

void XmlElement::removeChild(const XmlElement& child) {
    if (d_ && child.d_ == d_ && d_->nodes[size_t(child.index_)].parent == index_) {
        d_->unlink(child.index_);
    }
}

QString XmlElement::attribute(const QString& name, const QString& defaultValue) const {
    for (int i = 0; i < attributeCount(); ++i) {
        if (attributeName(i) == name) {
            return attributeValue(i);
        }
    }
    return defaultValue;
}

void XmlElement::setAttribute(const QString& name, const QString& value) {
    if (!d_) {
        return;
    }
    qint32& list = d_->nodes[size_t(index_)].attributes;
    if (list < 0) {
        d_->attributes.emplace_back();
        list = qint32(d_->attributes.size() - 1);
    }
    for (XmlAttribute& attribute : d_->attributes[size_t(list)]) {
        if (attribute.name == name) {
            attribute.value = value;
            return;
        }
    }
    d_->attributes[size_t(list)].append({name, value});
}

int XmlElement::attributeCount() const {
    const qint32 list = d_ ? d_->nodes[size_t(index_)].attributes : -1;
    return list < 0 ? 0 : int(d_->attributes[size_t(list)].size());
}

QString XmlElement::attributeName(int index) const {
    return d_->attributes[size_t(d_->nodes[size_t(index_)].attributes)].at(index).name;
}

QString XmlElement::attributeValue(int index) const {
    return d_->attributes[size_t(d_->nodes[size_t(index_)].attributes)].at(index).value;
}

XmlDocument XmlElement::ownerDocument() const {
    return XmlDocument(d_);
}
