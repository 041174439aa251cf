#include "ui/lookup/lookup_tree_model.h"

LookupTreeModel::LookupTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void LookupTreeModel::rebuild(const std::function<void(LookupTree&)>& fill) {
    beginResetModel();
    struct Ended {
        LookupTreeModel* model;
        ~Ended() { model->endResetModel(); }
    } ended{this};
    fill(tree_);
}

QModelIndex LookupTreeModel::indexOf(int node) const {
    if (node < 0 || node >= tree_.size()) {
        return {};
    }
    return createIndex(tree_.node(node).row, 0, quintptr(node));
}

int LookupTreeModel::nodeOf(const QModelIndex& index) {
    return index.isValid() ? int(index.internalId()) : -1;
}

QModelIndex LookupTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || (parent.isValid() && parent.column() != 0)) {
        return {};
    }
    const QVector<int>& siblings =
        tree_.children(parent.isValid() ? nodeOf(parent) : LookupTree::kTop);
    return row >= 0 && row < siblings.size() ? createIndex(row, 0, quintptr(siblings[row]))
                                             : QModelIndex();
}

QModelIndex LookupTreeModel::parent(const QModelIndex& child) const {
    return child.isValid() ? indexOf(tree_.node(nodeOf(child)).parent) : QModelIndex();
}

int LookupTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) {
        return 0;
    }
    return int(tree_.children(parent.isValid() ? nodeOf(parent) : LookupTree::kTop).size());
}

int LookupTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant LookupTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    return tree_.node(nodeOf(index)).text;
}
