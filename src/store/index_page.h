#pragma once
// One page of the index file (<base>.mdx) held in memory, the cells inside tree pages and
// the order of entries in a tag. The byte layout is described in docs/index-format.md;
// the constants here mirror it.

#include "store/index_file.h"

#include <QByteArrayView>
#include <QtEndian>

#include <array>
#include <vector>

namespace numora::store::index_detail {

constexpr int kPageSize = 4096;
constexpr quint32 kFirstTreePage = 4; // pages 0 to 3 hold the header
constexpr int kMaxHeight = 32;

// A tree page: an 8-byte page header, then cells packed in order without gaps.
enum class PageKind : quint8 { Leaf = 1, Interior = 2, Free = 3 };
constexpr int kPageKindAt = 0;
constexpr int kPageLevelAt = 1;
constexpr int kCellCountAt = 2;
constexpr int kNextFreeAt = 4;
constexpr int kPageHeaderSize = 8;
constexpr int kPageContentBytes = kPageSize - kPageHeaderSize;
// Cells: key length (1 byte), key, record number (4); interior cells add the child page
// (4) and the number of entries in the child's subtree (4).
constexpr int kLeafCellOverhead = 5;
constexpr int kInteriorCellOverhead = 13;
constexpr int kMaxCellSize = kInteriorCellOverhead + IndexFile::MaxKeyLength;

template <typename T>
T getLE(const char *at)
{
    return qFromLittleEndian<T>(at);
}

template <typename T>
void putLE(char *at, T value)
{
    qToLittleEndian<T>(value, at);
}

// Bytewise, unsigned, a shorter key first when one is a prefix of the other.
int compareBytes(QByteArrayView a, QByteArrayView b);

// The order of entries inside one tag.
class KeyOrder {
public:
    explicit KeyOrder(bool descending) : descending_(descending) {}

    int compare(QByteArrayView keyA, quint32 recnoA, QByteArrayView keyB, quint32 recnoB) const
    {
        const int byKey = compareBytes(keyA, keyB);
        if (byKey != 0)
            return descending_ ? -byKey : byKey;
        return recnoA < recnoB ? -1 : (recnoA > recnoB ? 1 : 0);
    }

    bool operator()(const IndexEntry &a, const IndexEntry &b) const
    {
        return compare(a.key, a.recno, b.key, b.recno) < 0;
    }

    bool descending() const { return descending_; }

private:
    bool descending_;
};

// One cell as read from a page; `key` points into the page.
struct Cell {
    QByteArrayView key;
    quint32 recno = 0;
    quint32 child = 0;          // interior cells only
    quint32 subtreeEntries = 0; // interior cells only

    bool holds(const IndexEntry &entry) const
    {
        return recno == entry.recno && compareBytes(key, entry.key) == 0;
    }
    IndexEntry entry() const { return {key.toByteArray(), recno}; }
};

// What a parent page records about a child: the child's first entry (a lower bound of
// its subtree), its page and the number of entries below it.
struct ChildLink {
    IndexEntry first;
    quint32 page = 0;
    quint32 entries = 0;
};

// The encoded bytes of one cell, built on the stack.
class CellBytes {
public:
    static CellBytes leaf(const IndexEntry &entry);
    static CellBytes interior(const ChildLink &link);

    QByteArrayView view() const { return {bytes_.data(), size_}; }

private:
    void appendEntry(const IndexEntry &entry);
    void appendU32(quint32 value);

    std::array<char, kMaxCellSize> bytes_{};
    qsizetype size_ = 0;
};

// A page in memory. Tree pages keep the offset of every cell; the buffer has room for one
// cell past the page end so that an insert can overflow a full page, which the caller
// then splits before anything is written.
class Page {
public:
    char *raw() { return bytes_.data(); }
    const char *raw() const { return bytes_.data(); }

    PageKind kind() const { return PageKind(quint8(bytes_[kPageKindAt])); }
    int level() const { return quint8(bytes_[kPageLevelAt]); }
    int cellCount() const { return int(offsets_.size()) - 1; }
    int contentBytes() const { return offsets_.back() - kPageHeaderSize; }
    bool overflows() const { return offsets_.back() > kPageSize; }
    quint32 nextFree() const { return getLE<quint32>(raw() + kNextFreeAt); }

    // Finds the cells of a tree page just read; false when they run past the page end or
    // a key is longer than keys may be.
    bool indexCells();

    Cell cell(int i) const;
    // Entries below this page: its cells for a leaf, the sum of its cells' counts above.
    quint64 subtreeEntries() const;

    void format(PageKind kind, int level);
    void formatFree(quint32 nextFree);
    void insertCell(int i, QByteArrayView cell);
    void appendCell(QByteArrayView cell) { insertCell(cellCount(), cell); }
    void removeCell(int i);
    void setSubtreeEntries(int i, quint32 entries);

    // The first cell of the upper half by bytes; both halves keep at least one cell.
    int splitPoint() const;
    // Moves cells [first, end) to the end of `other`, a page of the same kind.
    void moveCellsTo(Page &other, int first);

private:
    int cellOverhead() const;
    void storeCellCount();

    std::array<char, kPageSize + kMaxCellSize> bytes_{};
    std::vector<quint16> offsets_ = {kPageHeaderSize};
};

} // namespace numora::store::index_detail
