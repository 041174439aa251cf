#pragma once

#include <QByteArray>
#include <QString>
#include <QXmlStreamWriter>

// The service's XML answers: UTF-8 with its declaration, records as elements whose fields are
// text-only child elements, no attributes.
class XmlAnswer {
public:
    explicit XmlAnswer(const QString& root);

    void begin(const QString& element) { writer_.writeStartElement(element); }
    void end() { writer_.writeEndElement(); }
    // A field; characters XML cannot carry are left out.
    void field(const QString& element, const QString& text);
    void field(const QString& element, int number) { field(element, QString::number(number)); }

    QByteArray finish();

private:
    QByteArray bytes_;
    QXmlStreamWriter writer_;
};

// `text` without the characters an XML 1.0 document cannot hold.
QString xmlSafe(const QString& text);
