#pragma once

#include "cache/xml_tree.h"
#include "ui/main/guarded_command.h"

#include <QIcon>
#include <QTreeWidgetItem>
#include <functional>

class QAbstractItemView;
class QTreeWidget;
class QWidget;

// A slot that runs `handler` of `object` as a command of `owner`: a failure reaches the standard
// error box.
template <class Object>
std::function<void()> asCommand(QWidget* owner, Object* object, void (Object::*handler)()) {
    return [owner, object, handler] {
        runCommand(owner, [object, handler] { (object->*handler)(); });
    };
}

// A row of a look-up list, ordered by ContactList::compareListText on its list's sort column.
class ListRow : public QTreeWidgetItem {
public:
    explicit ListRow(const QStringList& texts);
    bool operator<(const QTreeWidgetItem& other) const override;
};

// Sorts `list` by `column`, always ascending.
void sortList(QTreeWidget* list, int column);
// Calls `onClick` with the column whose header was clicked.
void onHeaderClick(QTreeWidget* list, const std::function<void(int column)>& onClick);
// Paints the selection of `view` as strongly while another control has the focus.
void keepSelectionVisible(QAbstractItemView* view);
// Paints a read-only edit in the button-face colour.
void paintReadOnly(QWidget* control);
// The rows whose tick box is ticked, in list order.
QList<QTreeWidgetItem*> tickedRows(QTreeWidget* list);

// The row's service id (an entry's "id" text).
QString rowId(const QTreeWidgetItem* row);
// A row for an entry of a cached document or an answer: the texts of `fields` as its columns
// (a missing element reads as empty), its "id" as the row's id.
ListRow* entryRow(const XmlElement& entry, const QStringList& fields, const QIcon& icon = {});
// The last row whose id is `id`; null for none.
QTreeWidgetItem* lastRowWithId(QTreeWidget* list, const QString& id);
// The selected row; null for none.
QTreeWidgetItem* selectedRow(const QTreeWidget* list);
// Tells how many entries an Add brought ("3 " and the text of `key`); nothing for none.
void showAddedCount(QWidget* owner, int added, const QString& key);
