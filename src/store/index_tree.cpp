#include "store/index_tree.h"

#include "store/store_error.h"

#include <algorithm>
#include <unordered_set>

namespace numora::store::index_detail {

namespace {

// Bulk loading leaves a tenth of each page free so that the next inserts do not split.
constexpr int kBulkFillBytes = kPageContentBytes * 9 / 10;

// Fills the pages of one tree level from left to right during a bulk load.
class LevelBuilder {
public:
    LevelBuilder(PageStore &pages, PageKind kind, int level)
        : pages_(pages), kind_(kind), level_(level)
    {
    }

    // `first` is the first entry below the cell, `entries` how many entries it stands for.
    void add(const CellBytes &cell, const IndexEntry &first, quint32 entries)
    {
        if (page_ == nullptr || page_->contentBytes() + cell.view().size() > kBulkFillBytes)
            startPage(first);
        page_->appendCell(cell.view());
        links_.back().entries += entries;
    }

    // The pages built; one empty page when nothing was added.
    std::vector<ChildLink> finish()
    {
        if (page_ == nullptr)
            startPage({});
        return std::move(links_);
    }

private:
    void startPage(const IndexEntry &first)
    {
        const PageStore::NewPage fresh = pages_.allocate();
        fresh.page.format(kind_, level_);
        page_ = &fresh.page;
        links_.push_back({first, fresh.number, 0});
    }

    PageStore &pages_;
    PageKind kind_;
    int level_;
    Page *page_ = nullptr;
    std::vector<ChildLink> links_;
};

Probe throughEntry(const IndexEntry &entry)
{
    return {entry.key, entry.recno, true};
}

// The first eight key bytes as a big-endian number, zero padded. Where two prefixes
// differ they order their keys, shorter-first rule included; equal ones decide nothing.
quint64 keyPrefix(QByteArrayView key)
{
    quint64 prefix = 0;
    for (qsizetype i = 0; i < 8; ++i)
        prefix = prefix << 8 | (i < key.size() ? quint8(key[i]) : 0u);
    return prefix;
}

// Sorting compares each entry many times. Comparing prefixes held in one array settles
// most comparisons without a visit to the keys' own memory, which is what makes a bulk
// load of a large tag fast.
void sortInTagOrder(std::vector<IndexEntry> &entries, KeyOrder order)
{
    struct Item {
        quint64 prefix;
        size_t position;
    };
    std::vector<Item> items;
    items.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        items.push_back({keyPrefix(entries[i].key), i});
    std::sort(items.begin(), items.end(), [&](const Item &a, const Item &b) {
        if (a.prefix != b.prefix)
            return order.descending() ? a.prefix > b.prefix : a.prefix < b.prefix;
        return order(entries[a.position], entries[b.position]);
    });
    std::vector<IndexEntry> sorted;
    sorted.reserve(entries.size());
    for (const Item &item : items)
        sorted.push_back(std::move(entries[item.position]));
    entries = std::move(sorted);
}

} // namespace

TagTree::TagTree(PageStore &pages, TreeRoot &root, const TagDefinition &definition)
    : pages_(pages), root_(root), definition_(definition), order_(definition.descending)
{
}

IndexEntry TagTree::entryAt(quint32 ordinal)
{
    Subtree subtree = rootSubtree();
    for (;;) {
        const Page &page = visit(subtree);
        if (subtree.level == 0)
            return page.cell(int(ordinal)).entry();
        // visit() checked that the counts add up to more than `ordinal`.
        int child = 0;
        while (ordinal >= page.cell(child).subtreeEntries)
            ordinal -= page.cell(child++).subtreeEntries;
        subtree = childOf(page, child, subtree.level);
    }
}

quint32 TagTree::countBefore(const Probe &probe)
{
    return descend(probe).entriesBefore;
}

std::optional<quint32> TagTree::ordinalOf(const IndexEntry &entry)
{
    const Descent descent = descend(throughEntry(entry));
    if (!endsWith(descent, entry))
        return std::nullopt;
    return descent.entriesBefore - 1;
}

void TagTree::insert(const IndexEntry &entry)
{
    const Descent descent = descend(throughEntry(entry));
    if (endsWith(descent, entry))
        inconsistent(QStringLiteral("already holds"), entry);
    const Descent::Step &leafStep = descent.steps.back();
    Page &leaf = pages_.write(leafStep.page);
    leaf.insertCell(leafStep.index, CellBytes::leaf(entry).view());
    std::optional<Split> split = splitIfOverfull(leaf);
    for (int i = int(descent.steps.size()) - 2; i >= 0; --i) {
        const Descent::Step &step = descent.steps[size_t(i)];
        Page &parent = pages_.write(step.page);
        if (split) {
            parent.setSubtreeEntries(step.index, split->leftEntries);
            parent.insertCell(step.index + 1, CellBytes::interior(split->right).view());
            split = splitIfOverfull(parent);
        } else {
            parent.setSubtreeEntries(step.index, parent.cell(step.index).subtreeEntries + 1);
        }
    }
    if (split)
        growRoot(*split);
    ++root_.entries;
}

void TagTree::remove(const IndexEntry &entry)
{
    const Descent descent = descend(throughEntry(entry));
    if (!endsWith(descent, entry))
        inconsistent(QStringLiteral("has no"), entry);
    const Descent::Step &leafStep = descent.steps.back();
    Page &leaf = pages_.write(leafStep.page);
    leaf.removeCell(leafStep.index - 1);
    bool childEmptied = leaf.cellCount() == 0;
    for (int i = int(descent.steps.size()) - 2; i >= 0; --i) {
        const Descent::Step &step = descent.steps[size_t(i)];
        Page &parent = pages_.write(step.page);
        if (childEmptied) {
            pages_.release(descent.steps[size_t(i) + 1].page);
            parent.removeCell(step.index);
            childEmptied = parent.cellCount() == 0;
        } else {
            parent.setSubtreeEntries(step.index, parent.cell(step.index).subtreeEntries - 1);
        }
    }
    --root_.entries;
    shrinkRoot();
}

void TagTree::build(const std::vector<IndexEntry> &sorted)
{
    LevelBuilder leaves(pages_, PageKind::Leaf, 0);
    for (const IndexEntry &entry : sorted)
        leaves.add(CellBytes::leaf(entry), entry, 1);
    std::vector<ChildLink> level = leaves.finish();
    int height = 1;
    while (level.size() > 1) {
        LevelBuilder parents(pages_, PageKind::Interior, height++);
        for (const ChildLink &link : level)
            parents.add(CellBytes::interior(link), link.first, link.entries);
        level = parents.finish();
    }
    root_ = {level.front().page, quint32(sorted.size()), height};
}

std::vector<quint32> TagTree::collectPages()
{
    std::vector<quint32> found;
    std::unordered_set<quint32> seen;
    std::vector<Subtree> pending = {rootSubtree()};
    while (!pending.empty()) {
        const Subtree subtree = pending.back();
        pending.pop_back();
        if (!seen.insert(subtree.page).second)
            pages_.damaged(QStringLiteral("page %1 appears twice in tag %2")
                               .arg(subtree.page)
                               .arg(definition_.name));
        const Page &page = visit(subtree);
        found.push_back(subtree.page);
        for (int i = 0; subtree.level > 0 && i < page.cellCount(); ++i)
            pending.push_back(childOf(page, i, subtree.level));
    }
    return found;
}

TagTree::Subtree TagTree::childOf(const Page &page, int i, int level)
{
    const Cell cell = page.cell(i);
    return {cell.child, level - 1, cell.subtreeEntries};
}

// Reads a page and checks it is what its parent says it is.
const Page &TagTree::visit(const Subtree &subtree)
{
    const Page &page = pages_.read(subtree.page);
    const PageKind expectedKind = subtree.level == 0 ? PageKind::Leaf : PageKind::Interior;
    if (page.kind() != expectedKind || page.level() != subtree.level)
        pages_.damaged(
            QStringLiteral("page %1 is not at the tree level its parent says").arg(subtree.page));
    if (subtree.level > 0 && page.cellCount() == 0)
        pages_.damaged(QStringLiteral("interior page %1 is empty").arg(subtree.page));
    if (page.subtreeEntries() != subtree.entries)
        pages_.damaged(QStringLiteral("page %1 holds %2 entries, its parent counts %3")
                           .arg(subtree.page)
                           .arg(page.subtreeEntries())
                           .arg(subtree.entries));
    return page;
}

// Cells are in order, so those before the probe come first: a binary search over cells
// [first, end).
int TagTree::cellsBefore(const Page &page, int first, const Probe &probe) const
{
    const auto isBefore = [&](const Cell &cell) {
        const int order = order_.compare(cell.key, cell.recno, probe.key, probe.recno);
        return probe.inclusive ? order <= 0 : order < 0;
    };
    int low = first;
    int high = page.cellCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (isBefore(page.cell(middle)))
            low = middle + 1;
        else
            high = middle;
    }
    return low - first;
}

TagTree::Descent TagTree::descend(const Probe &probe)
{
    Descent descent;
    Subtree subtree = rootSubtree();
    for (;;) {
        const Page &page = visit(subtree);
        if (subtree.level == 0) {
            const int before = cellsBefore(page, 0, probe);
            descent.steps.push_back({subtree.page, before});
            descent.entriesBefore += quint32(before);
            return descent;
        }
        // The probe belongs to the last child whose first entry is before it. The first
        // cell's key is never compared: that child takes everything before the second.
        const int child = cellsBefore(page, 1, probe);
        for (int i = 0; i < child; ++i)
            descent.entriesBefore += page.cell(i).subtreeEntries;
        descent.steps.push_back({subtree.page, child});
        subtree = childOf(page, child, subtree.level);
    }
}

// Whether the last leaf entry counted by an inclusive descent is `entry` itself.
bool TagTree::endsWith(const Descent &descent, const IndexEntry &entry)
{
    const Descent::Step &leafStep = descent.steps.back();
    return leafStep.index > 0 && pages_.read(leafStep.page).cell(leafStep.index - 1).holds(entry);
}

void TagTree::inconsistent(const QString &what, const IndexEntry &entry) const
{
    throw DatabaseError(QStringLiteral("The index is inconsistent: tag %1 %2 an entry for "
                                       "record %3 with that key. Rebuild the table's indexes.")
                            .arg(definition_.name, what)
                            .arg(entry.recno),
                        DatabaseErrorKind::Index);
}

// Moves the upper half of an overfull page to a new page for the parent to link.
std::optional<TagTree::Split> TagTree::splitIfOverfull(Page &page)
{
    if (!page.overflows())
        return std::nullopt;
    const PageStore::NewPage right = pages_.allocate();
    right.page.format(page.kind(), page.level());
    page.moveCellsTo(right.page, page.splitPoint());
    const ChildLink link{right.page.cell(0).entry(), right.number,
                         quint32(right.page.subtreeEntries())};
    return Split{link, quint32(page.subtreeEntries())};
}

void TagTree::growRoot(const Split &split)
{
    const PageStore::NewPage top = pages_.allocate();
    top.page.format(PageKind::Interior, root_.height);
    const ChildLink oldRoot{{}, root_.page, split.leftEntries};
    top.page.appendCell(CellBytes::interior(oldRoot).view());
    top.page.appendCell(CellBytes::interior(split.right).view());
    root_.page = top.number;
    ++root_.height;
}

// An interior root with one child hands the root to it. One left with no child (possible
// only when the file came with a single-child root) becomes an empty leaf.
void TagTree::shrinkRoot()
{
    while (root_.height > 1) {
        // The descent that led here already checked these pages.
        const Page &top = pages_.read(root_.page);
        if (top.cellCount() > 1)
            return;
        if (top.cellCount() == 0) {
            pages_.write(root_.page).format(PageKind::Leaf, 0);
            root_.height = 1;
            return;
        }
        const quint32 child = top.cell(0).child;
        pages_.release(root_.page);
        root_.page = child;
        --root_.height;
    }
}

void checkKeyLength(const IndexEntry &entry)
{
    if (entry.key.size() > IndexFile::MaxKeyLength)
        throw DatabaseError(QStringLiteral("The key for record %1 is %2 bytes long; index keys "
                                           "hold at most %3 bytes.")
                                .arg(entry.recno)
                                .arg(entry.key.size())
                                .arg(IndexFile::MaxKeyLength));
}

void sortForTag(std::vector<IndexEntry> &entries, const TagDefinition &definition)
{
    for (const IndexEntry &entry : entries)
        checkKeyLength(entry);
    sortInTagOrder(entries, KeyOrder(definition.descending));
    const auto repeated = std::adjacent_find(entries.begin(), entries.end());
    if (repeated != entries.end())
        throw DatabaseError(QStringLiteral("The entries for tag %1 list record %2 twice with "
                                           "the same key.")
                                .arg(definition.name)
                                .arg(repeated->recno));
}

} // namespace numora::store::index_detail
