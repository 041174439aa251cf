#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class XmlElement;

// An XML document held compactly: elements in one array linked by index, their names interned,
// their texts in one pool. A document of tens of megabytes takes a small multiple of its size
// and parses in one pass over its bytes; nothing here recurses on the depth of the input.
//
// Each element keeps its own text (the text directly inside it) and its children; text that is
// only white space between elements is dropped, as a DOM parser does by default. Comments and
// processing instructions carry no data and are not kept.
//
// Copies of a document or element are handles to the same data (as in Qt's DOM); a default
// document or element is null.
class XmlDocument {
public:
    // Deeper input is refused: no document of the program or answer of the service comes near.
    static constexpr int kMaxDepth = 256;

    XmlDocument() = default;

    // A document whose root element is named `rootName`.
    static XmlDocument withRoot(const QString& rootName);
    // Parses `bytes` under the encoding they declare (a byte order mark first, then the XML
    // declaration; UTF-8 when neither says). Throws AppError starting with `subject` for input
    // that is not well-formed, that nests elements more than kMaxDepth deep, or that holds a
    // document type declaration (whose entities could blow a small answer up to gigabytes).
    // `maxDepth` may bound the depth more tightly than kMaxDepth.
    static XmlDocument parse(const QByteArray& bytes, const QString& subject,
                             int maxDepth = kMaxDepth);

    bool isNull() const { return !d_; }
    XmlElement documentElement() const;
    // Puts `root` (an element of this document without a parent) in place of the root element.
    void setDocumentElement(const XmlElement& root);

    // A new element of this document, not yet placed anywhere.
    XmlElement createElement(const QString& name);
    // A copy of `element` (of any document) with all its descendants, owned by this document and
    // not yet placed anywhere.
    XmlElement importNode(const XmlElement& element);

    bool operator==(const XmlDocument& other) const { return d_ == other.d_; }

    struct Data;  // in xml_tree_data.h, for the parser and the writer

private:
    friend class XmlElement;
    friend class XmlParser;
    friend QByteArray toLatin1Xml(const XmlDocument& doc);
    explicit XmlDocument(std::shared_ptr<Data> d) : d_(std::move(d)) {}

    std::shared_ptr<Data> d_;
};

// A handle to one element of an XmlDocument.
class XmlElement {
public:
    XmlElement() = default;

    bool isNull() const { return !d_; }
    QString tagName() const;

    // Children and siblings, optionally only those named `name`; null when there is none.
    XmlElement firstChildElement(const QString& name = QString()) const;
    XmlElement lastChildElement(const QString& name = QString()) const;
    XmlElement nextSiblingElement(const QString& name = QString()) const;
    XmlElement parentElement() const;
    int childElementCount() const;

    // The element's own text followed by the text of its descendants, in order.
    QString text() const;
    // Replaces the element's own text (its children stay).
    void setText(const QString& text);

    // Moves `child` (an element of the same document) to the end of this element's children.
    // Returns `child`; a null element when either is null.
    XmlElement appendChild(const XmlElement& child);
    // Takes `child` out of this element's children; it stays in the document, unplaced.
    void removeChild(const XmlElement& child);

    QString attribute(const QString& name, const QString& defaultValue = QString()) const;
    void setAttribute(const QString& name, const QString& value);
    int attributeCount() const;
    QString attributeName(int index) const;
    QString attributeValue(int index) const;

    XmlDocument ownerDocument() const;

    bool operator==(const XmlElement& other) const {
        return d_ == other.d_ && (!d_ || index_ == other.index_);
    }
    bool operator!=(const XmlElement& other) const { return !(*this == other); }

private:
    friend class XmlDocument;
    XmlElement(std::shared_ptr<XmlDocument::Data> d, int index);

    std::shared_ptr<XmlDocument::Data> d_;
    int index_ = -1;
};
