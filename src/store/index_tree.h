#pragma once
// The counted B+tree of one tag. Interior cells hold the first entry of their child's
// subtree and the number of entries in that subtree, so a position is found by adding
// counts on the way down and a search costs one page per level.
//
// Pages are never merged on underflow: a page that becomes empty is freed and unlinked
// from its parent, and an interior root with a single child hands the root to that
// child. A tag that shrank a lot keeps under-full pages until it is rebuilt.
//
// Every page is checked against what its parent says (level, entry count), and levels
// strictly decrease on the way down, so damage ends in DatabaseError, never in a loop.

#include "store/index_storage.h"

#include <optional>
#include <vector>

namespace numora::store::index_detail {

struct TreeRoot {
    quint32 page = 0;
    quint32 entries = 0;
    int height = 1; // levels; 1 when the root is a leaf
};

// A place between entries: it counts the entries that sort before (key, recno), or, when
// inclusive, before or equal to it.
struct Probe {
    QByteArrayView key;
    quint32 recno = 0;
    bool inclusive = false;
};

class TagTree {
public:
    // `definition` names the tag in messages and gives its direction.
    TagTree(PageStore &pages, TreeRoot &root, const TagDefinition &definition);

    IndexEntry entryAt(quint32 ordinal); // ordinal < root.entries
    quint32 countBefore(const Probe &probe);
    std::optional<quint32> ordinalOf(const IndexEntry &entry);
    // Both throw DatabaseError, before changing anything, when the entry is already there
    // (insert) or missing (remove): the index no longer matches the table.
    void insert(const IndexEntry &entry);
    void remove(const IndexEntry &entry);
    // Builds the tree bottom-up from entries already in tag order, replacing the root.
    void build(const std::vector<IndexEntry> &sorted);
    // Every page of the tree; DatabaseError when the tree is damaged.
    std::vector<quint32> collectPages();

private:
    // A subtree as its parent describes it.
    struct Subtree {
        quint32 page;
        int level;
        quint32 entries;
    };
    // The path of a search: the child taken on each interior page and, last, the number
    // of leaf cells before the probe.
    struct Descent {
        struct Step {
            quint32 page;
            int index;
        };
        std::vector<Step> steps;
        quint32 entriesBefore = 0;
    };
    struct Split {
        ChildLink right;
        quint32 leftEntries;
    };

    Subtree rootSubtree() const { return {root_.page, root_.height - 1, root_.entries}; }
    static Subtree childOf(const Page &page, int i, int level);
    const Page &visit(const Subtree &subtree);
    int cellsBefore(const Page &page, int first, const Probe &probe) const;
    Descent descend(const Probe &probe);
    bool endsWith(const Descent &descent, const IndexEntry &entry);
    [[noreturn]] void inconsistent(const QString &what, const IndexEntry &entry) const;
    std::optional<Split> splitIfOverfull(Page &page);
    void growRoot(const Split &split);
    void shrinkRoot();

    PageStore &pages_;
    TreeRoot &root_;
    const TagDefinition &definition_;
    KeyOrder order_;
};

void checkKeyLength(const IndexEntry &entry);
// Puts entries for a bulk load in tag order; DatabaseError for a key that is too long or
// an entry listed twice.
void sortForTag(std::vector<IndexEntry> &entries, const TagDefinition &definition);

} // namespace numora::store::index_detail
