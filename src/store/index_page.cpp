#include "store/index_page.h"

#include <algorithm>
#include <cstring>

namespace numora::store::index_detail {

int compareBytes(QByteArrayView a, QByteArrayView b)
{
    const qsizetype common = std::min(a.size(), b.size());
    const int byBytes = common > 0 ? std::memcmp(a.data(), b.data(), size_t(common)) : 0;
    if (byBytes != 0)
        return byBytes < 0 ? -1 : 1;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

CellBytes CellBytes::leaf(const IndexEntry &entry)
{
    CellBytes cell;
    cell.appendEntry(entry);
    return cell;
}

CellBytes CellBytes::interior(const ChildLink &link)
{
    CellBytes cell;
    cell.appendEntry(link.first);
    cell.appendU32(link.page);
    cell.appendU32(link.entries);
    return cell;
}

void CellBytes::appendEntry(const IndexEntry &entry)
{
    Q_ASSERT(entry.key.size() <= IndexFile::MaxKeyLength);
    bytes_[size_++] = char(entry.key.size());
    std::copy(entry.key.begin(), entry.key.end(), bytes_.begin() + size_);
    size_ += entry.key.size();
    appendU32(entry.recno);
}

void CellBytes::appendU32(quint32 value)
{
    putLE(bytes_.data() + size_, value);
    size_ += 4;
}

bool Page::indexCells()
{
    offsets_.assign(1, kPageHeaderSize);
    const int count = getLE<quint16>(raw() + kCellCountAt);
    int end = kPageHeaderSize;
    for (int i = 0; i < count; ++i) {
        if (end >= kPageSize)
            return false;
        const int keyLength = quint8(bytes_[end]);
        if (keyLength > IndexFile::MaxKeyLength)
            return false;
        end += keyLength + cellOverhead();
        if (end > kPageSize)
            return false;
        offsets_.push_back(quint16(end));
    }
    return true;
}

Cell Page::cell(int i) const
{
    const char *at = raw() + offsets_[i];
    Cell cell;
    cell.key = QByteArrayView(at + 1, quint8(at[0]));
    at += 1 + cell.key.size();
    cell.recno = getLE<quint32>(at);
    if (kind() == PageKind::Interior) {
        cell.child = getLE<quint32>(at + 4);
        cell.subtreeEntries = getLE<quint32>(at + 8);
    }
    return cell;
}

quint64 Page::subtreeEntries() const
{
    if (kind() == PageKind::Leaf)
        return quint64(cellCount());
    quint64 sum = 0;
    for (int i = 0; i < cellCount(); ++i)
        sum += cell(i).subtreeEntries;
    return sum;
}

void Page::format(PageKind kind, int level)
{
    bytes_.fill(0);
    bytes_[kPageKindAt] = char(kind);
    bytes_[kPageLevelAt] = char(level);
    offsets_.assign(1, kPageHeaderSize);
}

void Page::formatFree(quint32 nextFree)
{
    format(PageKind::Free, 0);
    putLE(raw() + kNextFreeAt, nextFree);
}

void Page::insertCell(int i, QByteArrayView cell)
{
    const int at = offsets_[i];
    const int size = int(cell.size());
    std::memmove(raw() + at + size, raw() + at, size_t(offsets_.back() - at));
    std::memcpy(raw() + at, cell.data(), size_t(size));
    offsets_.insert(offsets_.begin() + i + 1, quint16(at + size));
    for (size_t k = size_t(i) + 2; k < offsets_.size(); ++k)
        offsets_[k] += size;
    storeCellCount();
}

void Page::removeCell(int i)
{
    const int at = offsets_[i];
    const int size = offsets_[i + 1] - at;
    const int end = offsets_.back();
    std::memmove(raw() + at, raw() + at + size, size_t(end - at - size));
    std::memset(raw() + end - size, 0, size_t(size));
    offsets_.erase(offsets_.begin() + i + 1);
    for (size_t k = size_t(i) + 1; k < offsets_.size(); ++k)
        offsets_[k] -= size;
    storeCellCount();
}

void Page::setSubtreeEntries(int i, quint32 entries)
{
    const int keyLength = quint8(bytes_[offsets_[i]]);
    putLE(raw() + offsets_[i] + 1 + keyLength + 8, entries);
}

int Page::splitPoint() const
{
    const int middle = (kPageHeaderSize + offsets_.back()) / 2;
    int first = 1;
    while (first < cellCount() - 1 && offsets_[first] < middle)
        ++first;
    return first;
}

void Page::moveCellsTo(Page &other, int first)
{
    const int from = offsets_[first];
    const int end = offsets_.back();
    const int base = other.offsets_.back();
    std::memcpy(other.raw() + base, raw() + from, size_t(end - from));
    for (int k = first + 1; k <= cellCount(); ++k)
        other.offsets_.push_back(quint16(offsets_[k] - from + base));
    std::memset(raw() + from, 0, size_t(end - from));
    offsets_.resize(size_t(first) + 1);
    storeCellCount();
    other.storeCellCount();
}

int Page::cellOverhead() const
{
    return kind() == PageKind::Leaf ? kLeafCellOverhead : kInteriorCellOverhead;
}

void Page::storeCellCount()
{
    putLE(raw() + kCellCountAt, quint16(cellCount()));
}

} // namespace numora::store::index_detail
