#include "ui/lookup/lookup_widgets.h"

#include "cache/tdm_local_data.h"
#include "dictionary/tdm_idioma.h"
#include "ui/forms/dialogs.h"
#include "ui/lookup/contact_list.h"

#include <QHeaderView>
#include <QTreeWidget>

ListRow::ListRow(const QStringList& texts) : QTreeWidgetItem(texts) {}

bool ListRow::operator<(const QTreeWidgetItem& other) const {
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    return ContactList::compareListText(text(column), other.text(column)) < 0;
}

void sortList(QTreeWidget* list, int column) {
    list->sortItems(column, Qt::AscendingOrder);
}

void onHeaderClick(QTreeWidget* list, const std::function<void(int column)>& onClick) {
    QHeaderView* header = list->header();
    header->setSectionsClickable(true);
    QObject::connect(header, &QHeaderView::sectionClicked, list, onClick);
}

void keepSelectionVisible(QAbstractItemView* view) {
    QPalette palette = view->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    view->setPalette(palette);
}

void paintReadOnly(QWidget* control) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    control->setPalette(palette);
}

QList<QTreeWidgetItem*> tickedRows(QTreeWidget* list) {
    QList<QTreeWidgetItem*> ticked;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list->topLevelItem(i);
        if (row->checkState(0) == Qt::Checked) {
            ticked << row;
        }
    }
    return ticked;
}

QString rowId(const QTreeWidgetItem* row) {
    return row->data(0, Qt::UserRole).toString();
}

ListRow* entryRow(const XmlElement& entry, const QStringList& fields, const QIcon& icon) {
    QStringList texts;
    for (const QString& field : fields) {
        texts << TdmLocalData::childText(entry, field);
    }
    auto* row = new ListRow(texts);
    row->setData(0, Qt::UserRole, TdmLocalData::childText(entry, QStringLiteral("id")));
    if (!icon.isNull()) {
        row->setIcon(0, icon);
    }
    return row;
}

QTreeWidgetItem* lastRowWithId(QTreeWidget* list, const QString& id) {
    for (int i = list->topLevelItemCount() - 1; i >= 0; --i) {
        if (rowId(list->topLevelItem(i)) == id) {
            return list->topLevelItem(i);
        }
    }
    return nullptr;
}

QTreeWidgetItem* selectedRow(const QTreeWidget* list) {
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void showAddedCount(QWidget* owner, int added, const QString& key) {
    if (added > 0) {
        Dialogs::message(
            owner, {QString(), QString::number(added) + QLatin1Char(' ') + dmIdioma->GetWord(key),
                    QMessageBox::Information, QMessageBox::Ok});
    }
}
