#pragma once

#include <QHash>
#include <QPair>
#include <QString>
#include <QVector>
#include <functional>

// The tree of a look-up dialog without its window: grouping nodes (country, state, county or
// region) above the entries (locations, organizations) and the entries' children (sites). Every
// node has a text and an integer tag, and its kind follows from the tags alone: a node with a
// tag <= 0 groups; one with a tag > 0 is an entry when its parent's tag is <= 0 (a top-level
// node counts as having a parent tag of 0) and a child when its parent's tag is > 0.
//
// Grouping nodes are found through a map keyed by parent and text, which gives the node a scan
// of the tree in tree order would find first (nodes of equal text keep the order they were
// added in); nodes are found by tag through a map as well, so a build and its preselection grow
// linearly with the cache. A parent's children enter the text map only once a look-up under
// that parent asks for them (sites are seldom looked up under).
class LookupTree {
public:
    static constexpr int kTop = -1;  // the parent of top-level nodes

    enum class Kind { Grouping, Entry, Child };

    struct Node {
        QString text;
        int tag = 0;
        int parent = kTop;
        int row = 0;  // position among its siblings
        QVector<int> children;
        int nextWithTag = -1;      // the next node added with the same tag
        bool textIndexed = false;  // its children are in the text map
    };

    // Adds a node as the last child of `parent` (kTop: at top level); returns its index.
    int add(int parent, const QString& text, int tag);
    // The first node under `parent` whose text is exactly `text` (case-sensitive, whatever its
    // kind); a grouping node (tag 0) with that text is added when there is none.
    int grouping(int parent, const QString& text);
    // Where an entry goes when grouped by country, state and county: under its county, state
    // or country node (each added when missing); an empty country puts it at top level and an
    // empty state ignores the county.
    int placeByCountry(const QString& country, const QString& state, const QString& county);

    // Orders every level by text with the locale's case-sensitive collation; nodes of equal
    // text keep their order.
    void sort();
    void clear();
    // Clears the tree, runs `fill` and sorts what it added, also when it throws.
    void rebuild(const std::function<void()>& fill);

    int size() const { return int(nodes_.size()); }
    const Node& node(int index) const { return nodes_[index]; }
    const QVector<int>& children(int parent) const;
    // 0 for a top-level node.
    int parentTag(int index) const;
    Kind kind(int index) const;

    // The node tagged `tag` that passes `accept` and comes last in tree order (each node
    // followed by its descendants); -1 for none.
    int lastTagged(int tag, const std::function<bool(int node)>& accept) const;

    // A tag read from a cached document: a decimal integer, else AppError with the conversion
    // message.
    static int tagOf(const QString& text);

private:
    bool before(int a, int b) const;  // a comes before b in tree order
    QVector<int> path(int index) const;
    bool& textIndexed(int parent);
    void indexText(int parent, int node);

    QVector<Node> nodes_;
    QVector<int> top_;
    bool topTextIndexed_ = false;
    QHash<QPair<int, QString>, int> firstByText_;
    QHash<int, int> firstByTag_;
    QHash<int, int> lastByTag_;  // where the next node of a tag is chained on
};
