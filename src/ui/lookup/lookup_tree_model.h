#pragma once

#include "ui/lookup/lookup_tree.h"

#include <QAbstractItemModel>
#include <functional>

// Shows a LookupTree in a tree view, one column of node texts, without copying it: the view's
// rows are the tree's nodes (an index's internal id is the node's index).
class LookupTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit LookupTreeModel(QObject* parent = nullptr);

    const LookupTree& tree() const { return tree_; }
    // Fills the tree anew through `fill`; the view follows. An exception from `fill` passes on,
    // the view showing what was filled before it.
    void rebuild(const std::function<void(LookupTree&)>& fill);

    QModelIndex indexOf(int node) const;
    // -1 for an invalid index.
    static int nodeOf(const QModelIndex& index);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    LookupTree tree_;
};
