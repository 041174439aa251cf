#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class Table;

// Small pieces the profile windows share.
namespace ProfileSupport {

// The dictionary's text for `key`; the key itself while no dictionary module exists.
QString word(const QString& key);
// Replaces the list of a drop-down (a bound one keeps showing its field).
void setChoices(QComboBox* box, const QStringList& choices);
// The table is being edited or holds an unposted new row.
bool editing(const Table* table);

}  // namespace ProfileSupport
