#include "ui/lookup/lookup_tree.h"

#include "app/settings/app_error.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

int LookupTree::add(int parent, const QString& text, int tag) {
    const int index = int(nodes_.size());
    nodes_.append(Node{text, tag, parent, 0, {}});  // first: it may move the parent's children
    QVector<int>& siblings = parent == kTop ? top_ : nodes_[parent].children;
    nodes_[index].row = int(siblings.size());
    siblings.append(index);
    if (textIndexed(parent)) {
        indexText(parent, index);
    }
    const auto last = lastByTag_.find(tag);
    if (last == lastByTag_.end()) {
        firstByTag_.insert(tag, index);
        lastByTag_.insert(tag, index);
    } else {
        nodes_[*last].nextWithTag = index;
        *last = index;
    }
    return index;
}

bool& LookupTree::textIndexed(int parent) {
    return parent == kTop ? topTextIndexed_ : nodes_[parent].textIndexed;
}

// The first node of a text under a parent is the one look-ups find.
void LookupTree::indexText(int parent, int node) {
    const QPair<int, QString> key{parent, nodes_[node].text};
    if (!firstByText_.contains(key)) {
        firstByText_.insert(key, node);
    }
}

int LookupTree::grouping(int parent, const QString& text) {
    if (!textIndexed(parent)) {
        textIndexed(parent) = true;
        for (int child : children(parent)) {
            indexText(parent, child);
        }
    }
    const auto found = firstByText_.constFind({parent, text});
    return found != firstByText_.cend() ? *found : add(parent, text, 0);
}

int LookupTree::placeByCountry(const QString& country, const QString& state,
                               const QString& county) {
    if (country.isEmpty()) {
        return kTop;
    }
    int parent = grouping(kTop, country);
    if (!state.isEmpty()) {
        parent = grouping(parent, state);
        if (!county.isEmpty()) {
            parent = grouping(parent, county);
        }
    }
    return parent;
}

void LookupTree::sort() {
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseSensitive);
    const auto byText = [&](int a, int b) {
        return collator.compare(nodes_[a].text, nodes_[b].text) < 0;
    };
    const auto sortLevel = [&](QVector<int>& level) {
        std::stable_sort(level.begin(), level.end(), byText);
        for (int row = 0; row < level.size(); ++row) {
            nodes_[level[row]].row = row;
        }
    };
    sortLevel(top_);
    for (Node& node : nodes_) {
        sortLevel(node.children);
    }
}

void LookupTree::clear() {
    nodes_.clear();
    top_.clear();
    topTextIndexed_ = false;
    firstByText_.clear();
    firstByTag_.clear();
    lastByTag_.clear();
}

void LookupTree::rebuild(const std::function<void()>& fill) {
    clear();
    struct SortedOnExit {
        LookupTree& tree;
        ~SortedOnExit() { tree.sort(); }
    } sorted{*this};
    fill();
}

const QVector<int>& LookupTree::children(int parent) const {
    return parent == kTop ? top_ : nodes_[parent].children;
}

int LookupTree::parentTag(int index) const {
    const int parent = nodes_[index].parent;
    return parent == kTop ? 0 : nodes_[parent].tag;
}

LookupTree::Kind LookupTree::kind(int index) const {
    if (nodes_[index].tag <= 0) {
        return Kind::Grouping;
    }
    return parentTag(index) > 0 ? Kind::Child : Kind::Entry;
}

int LookupTree::lastTagged(int tag, const std::function<bool(int node)>& accept) const {
    int last = -1;
    for (int node = firstByTag_.value(tag, -1); node >= 0; node = nodes_[node].nextWithTag) {
        if (accept(node) && (last < 0 || before(last, node))) {
            last = node;
        }
    }
    return last;
}

QVector<int> LookupTree::path(int index) const {
    QVector<int> rows;
    for (int at = index; at != kTop; at = nodes_[at].parent) {
        rows.prepend(nodes_[at].row);
    }
    return rows;
}

// A node comes before its descendants, and siblings' subtrees in the siblings' order.
bool LookupTree::before(int a, int b) const {
    return path(a) < path(b);
}

int LookupTree::tagOf(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok) {
        throw AppError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
    return value;
}
