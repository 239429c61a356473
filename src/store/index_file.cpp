#include "store/index_file.h"

#include "store/index_tree.h"
#include "store/store_error.h"

#include <fcntl.h>

#include <algorithm>
#include <array>
#include <limits>

// The header layout mirrors docs/index-format.md; keep the two in step.
//
// Changes go to cached pages and reach the file only at commitUpdate(), pages first and
// header last. A DatabaseError for damage met in the middle of a change may leave that
// update half done: the caller must not commit it. Errors for bad arguments and for
// absent or duplicate entries are raised before anything changes.

namespace numora::store {

using namespace index_detail;

namespace {

constexpr std::array<char, 8> kMagic = {'N', 'U', 'M', 'O', 'R', 'A', 'I', 'X'};
constexpr quint32 kFormatVersion = 1;

// The header: a fixed part, then the tag directory, padded to whole pages.
constexpr int kVersionAt = 8;
constexpr int kPageSizeAt = 12;
constexpr int kPageCountAt = 16;
constexpr int kDataRecordsAt = 20;
constexpr int kChangeCounterAt = 24;
constexpr int kDirtyAt = 32;
constexpr int kTagCountAt = 33;
constexpr int kFreeHeadAt = 36;
constexpr int kFreeCountAt = 40;
constexpr int kKeyVersionAt = 44;
constexpr int kIdentityBytes = 16; // magic, version and page size
constexpr int kTagDirectoryAt = 64;
constexpr qint64 kHeaderBytes = qint64(kFirstTreePage) * kPageSize;

// One slot of the tag directory.
constexpr int kTagSlotSize = 324;
constexpr int kSlotNameLengthAt = 0;
constexpr int kSlotNameAt = 1;
constexpr int kSlotFlagsAt = 11;
constexpr int kSlotRootAt = 12;
constexpr int kSlotEntriesAt = 16;
constexpr int kSlotHeightAt = 20;
constexpr int kSlotExpressionLengthAt = 22;
constexpr int kSlotExpressionAt = 24;
constexpr quint8 kDescendingFlag = 0x01;
constexpr int kMaxNameLength = 10;
constexpr int kMaxExpressionLength = 100;                     // UTF-16 units, as QString counts
constexpr int kMaxExpressionBytes = 3 * kMaxExpressionLength; // their UTF-8 worst case
static_assert(kSlotExpressionAt + kMaxExpressionBytes == kTagSlotSize);
static_assert(kTagDirectoryAt + IndexFile::MaxTags * kTagSlotSize <= kHeaderBytes);

[[noreturn]] void throwForeign(const QString &path, const QString &problem)
{
    throw DatabaseError(
        QStringLiteral("%1 is not an index file this program can read (%2).").arg(path, problem),
        DatabaseErrorKind::Index);
}

// Tag names follow dBASE: a letter, then letters, digits or underscores.
bool isValidTagName(const QString &name)
{
    if (name.isEmpty() || name.size() > kMaxNameLength)
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        const bool digitOrUnderscore = (c >= '0' && c <= '9') || c == '_';
        if (!letter && (i == 0 || !digitOrUnderscore))
            return false;
    }
    return true;
}

struct Header {
    quint64 changeCounter = 0;
    quint32 keyVersion = 0;
    bool dirty = false;
    quint32 dataRecordCount = 0;
    PageSpace space;
    std::vector<TagDefinition> definitions;
    std::vector<TreeRoot> roots; // parallel to definitions
};

// The definition was checked by addTag(): an ASCII name, an expression that fits.
void encodeTagSlot(char *slot, const TagDefinition &definition, const TreeRoot &root)
{
    const QByteArray name = definition.name.toLatin1();
    const QByteArray expression = definition.expression.toUtf8();
    slot[kSlotNameLengthAt] = char(name.size());
    std::copy(name.begin(), name.end(), slot + kSlotNameAt);
    slot[kSlotFlagsAt] = definition.descending ? char(kDescendingFlag) : 0;
    putLE(slot + kSlotRootAt, root.page);
    putLE(slot + kSlotEntriesAt, root.entries);
    slot[kSlotHeightAt] = char(root.height);
    putLE(slot + kSlotExpressionLengthAt, quint16(expression.size()));
    std::copy(expression.begin(), expression.end(), slot + kSlotExpressionAt);
}

QByteArray encodeHeader(const Header &header)
{
    QByteArray bytes(kHeaderBytes, '\0');
    char *at = bytes.data();
    std::copy(kMagic.begin(), kMagic.end(), at);
    putLE(at + kVersionAt, kFormatVersion);
    putLE(at + kPageSizeAt, quint32(kPageSize));
    putLE(at + kPageCountAt, header.space.pageCount);
    putLE(at + kDataRecordsAt, header.dataRecordCount);
    putLE(at + kChangeCounterAt, header.changeCounter);
    at[kDirtyAt] = header.dirty ? 1 : 0;
    at[kTagCountAt] = char(header.definitions.size());
    putLE(at + kFreeHeadAt, header.space.freeHead);
    putLE(at + kFreeCountAt, header.space.freeCount);
    putLE(at + kKeyVersionAt, header.keyVersion);
    for (size_t i = 0; i < header.definitions.size(); ++i)
        encodeTagSlot(at + kTagDirectoryAt + qsizetype(i) * kTagSlotSize, header.definitions[i],
                      header.roots[i]);
    return bytes;
}

// Reads one directory slot; `pageCount` bounds its root page.
void decodeTagSlot(const char *slot, quint32 pageCount, const QString &path, Header &header)
{
    const int tagNumber = int(header.definitions.size());
    const auto damaged = [&](const char *problem) {
        throwDamaged(path, QStringLiteral("tag %1: %2").arg(tagNumber).arg(QLatin1String(problem)));
    };
    const int nameLength = quint8(slot[kSlotNameLengthAt]);
    const quint8 flags = quint8(slot[kSlotFlagsAt]);
    const int expressionLength = getLE<quint16>(slot + kSlotExpressionLengthAt);
    TagDefinition definition;
    definition.name = QString::fromLatin1(slot + kSlotNameAt, std::min(nameLength, kMaxNameLength));
    if (nameLength > kMaxNameLength || !isValidTagName(definition.name))
        damaged("invalid name");
    if (expressionLength > kMaxExpressionBytes)
        damaged("expression too long");
    if ((flags & ~kDescendingFlag) != 0)
        damaged("unknown flags");
    definition.expression = QString::fromUtf8(slot + kSlotExpressionAt, expressionLength);
    definition.descending = (flags & kDescendingFlag) != 0;
    TreeRoot root;
    root.page = getLE<quint32>(slot + kSlotRootAt);
    root.entries = getLE<quint32>(slot + kSlotEntriesAt);
    root.height = quint8(slot[kSlotHeightAt]);
    if (root.page < kFirstTreePage || root.page >= pageCount)
        damaged("root page outside the file");
    if (root.height < 1 || root.height > kMaxHeight)
        damaged("impossible tree height");
    for (const TagDefinition &other : header.definitions)
        if (other.name.compare(definition.name, Qt::CaseInsensitive) == 0)
            damaged("name used twice");
    header.definitions.push_back(std::move(definition));
    header.roots.push_back(root);
}

// An empty list has no count; a list starts at a tree page and is no longer than the
// tree pages there are.
bool isPlausibleFreeList(const PageSpace &space)
{
    if (space.freeHead == 0)
        return space.freeCount == 0;
    const bool headInFile = space.freeHead >= kFirstTreePage && space.freeHead < space.pageCount;
    return headInFile && space.freeCount > 0 && space.freeCount <= space.pageCount - kFirstTreePage;
}

// `bytes` holds the start of the file, up to the header size.
Header decodeHeader(QByteArrayView bytes, qint64 fileSize, const QString &path)
{
    if (bytes.size() < kIdentityBytes || !std::equal(kMagic.begin(), kMagic.end(), bytes.data()))
        throwForeign(path, QStringLiteral("it does not start with the Numora index mark"));
    const char *at = bytes.data();
    const quint32 version = getLE<quint32>(at + kVersionAt);
    if (version != kFormatVersion)
        throwForeign(path, QStringLiteral("format version %1, this program reads version %2")
                               .arg(version)
                               .arg(kFormatVersion));
    if (getLE<quint32>(at + kPageSizeAt) != quint32(kPageSize))
        throwForeign(path, QStringLiteral("unsupported page size"));
    if (bytes.size() < kHeaderBytes)
        throwTruncated(path, QStringLiteral("the header is incomplete"));

    Header header;
    header.space.pageCount = getLE<quint32>(at + kPageCountAt);
    header.space.freeHead = getLE<quint32>(at + kFreeHeadAt);
    header.space.freeCount = getLE<quint32>(at + kFreeCountAt);
    header.dataRecordCount = getLE<quint32>(at + kDataRecordsAt);
    header.changeCounter = getLE<quint64>(at + kChangeCounterAt);
    header.keyVersion = getLE<quint32>(at + kKeyVersionAt);
    const quint8 dirty = quint8(at[kDirtyAt]);
    const int tagCount = quint8(at[kTagCountAt]);
    const PageSpace &space = header.space;
    if (space.pageCount < kFirstTreePage)
        throwDamaged(path, QStringLiteral("page count %1 is too small").arg(space.pageCount));
    if (qint64(space.pageCount) * kPageSize > fileSize)
        throwTruncated(path, QStringLiteral("the header counts %1 pages, the file holds %2 bytes")
                                 .arg(space.pageCount)
                                 .arg(fileSize));
    if (dirty > 1)
        throwDamaged(path, QStringLiteral("invalid dirty mark"));
    if (tagCount > IndexFile::MaxTags)
        throwDamaged(path, QStringLiteral("%1 tags").arg(tagCount));
    if (!isPlausibleFreeList(space))
        throwDamaged(path, QStringLiteral("invalid free page list"));
    header.dirty = dirty == 1;
    for (int i = 0; i < tagCount; ++i)
        decodeTagSlot(at + kTagDirectoryAt + i * kTagSlotSize, space.pageCount, path, header);
    return header;
}

} // namespace

struct IndexFile::Impl {
    Impl(const QString &path, bool openWritable)
        : file(path, openWritable ? O_RDWR : O_RDONLY), writable(openWritable), header(readHeader())
    {
    }

    Header readHeader() const
    {
        const qint64 fileSize = file.size();
        QByteArray bytes(std::min(fileSize, kHeaderBytes), '\0');
        file.readExactly(0, bytes.data(), bytes.size());
        return decodeHeader(bytes, fileSize, file.path());
    }

    // An update begun and never committed (given up after an error, most likely) changed
    // cached pages only: forgetting them returns to the last committed state.
    void abandonUpdate()
    {
        pages.forget();
        header = readHeader();
        updating = false;
    }

    // Written at once, before any page changes, so that a crash shows.
    void markDirty()
    {
        const char dirty = 1;
        file.writeAll(kDirtyAt, &dirty, 1);
        header.dirty = true;
        headerBeforeUpdate = header;
        updating = true;
    }

    void requireWritable() const
    {
        if (!writable)
            throw DatabaseError(
                QStringLiteral("The index file %1 is open for reading only.").arg(file.path()));
    }

    void requireUpdate() const
    {
        requireWritable();
        if (!updating)
            throw DatabaseError(QStringLiteral("The index file %1 was changed outside an update.")
                                    .arg(file.path()));
    }

    void requireTag(int tag) const
    {
        if (tag < 0 || size_t(tag) >= header.definitions.size())
            throw DatabaseError(QStringLiteral("The index file %1 has no tag number %2.")
                                    .arg(file.path())
                                    .arg(tag));
    }

    TagTree tree(int tag)
    {
        requireTag(tag);
        return TagTree(pages, header.roots[size_t(tag)], header.definitions[size_t(tag)]);
    }

    // Frees the pages of a tag's tree. The pages of a damaged tree are left unreferenced
    // instead: freeing them could hand out a page that another tree still uses.
    void releaseTree(int tag)
    {
        std::vector<quint32> treePages;
        try {
            treePages = tree(tag).collectPages();
        } catch (const DatabaseError &) {
            return;
        }
        for (quint32 page : treePages)
            pages.release(page);
    }

    void checkNewTag(const TagDefinition &definition) const
    {
        const auto refuse = [&](const QString &problem) {
            throw DatabaseError(QStringLiteral("Cannot add the index tag \"%1\": %2.")
                                    .arg(definition.name, problem));
        };
        if (!isValidTagName(definition.name))
            refuse(QStringLiteral("a tag name is 1 to %1 letters, digits or underscores, "
                                  "starting with a letter")
                       .arg(kMaxNameLength));
        if (definition.expression.size() > kMaxExpressionLength)
            refuse(QStringLiteral("its expression is longer than %1 characters")
                       .arg(kMaxExpressionLength));
        for (const TagDefinition &existing : header.definitions)
            if (existing.name.compare(definition.name, Qt::CaseInsensitive) == 0)
                refuse(QStringLiteral("the index already has a tag of that name"));
        if (header.definitions.size() >= size_t(MaxTags))
            refuse(QStringLiteral("an index holds at most %1 tags").arg(MaxTags));
    }

    RawFile file;
    bool writable;
    bool updating = false;
    Header header;
    Header headerBeforeUpdate; // as the file holds it while an update is under way
    PageStore pages{file, header.space};
};

void IndexFile::create(const QString &path, quint32 dataRecordCount, quint32 keyVersion)
{
    Header header;
    header.dataRecordCount = dataRecordCount;
    header.keyVersion = keyVersion;
    const QByteArray bytes = encodeHeader(header);
    RawFile file(path, O_WRONLY | O_CREAT | O_TRUNC);
    file.writeAll(0, bytes.constData(), bytes.size());
}

IndexFile::IndexFile(const QString &path, bool writable)
    : impl_(std::make_unique<Impl>(path, writable)), path_(path)
{
}

// Deliberately does not commit: an update begun and never committed leaves the dirty
// mark in the file for the next reader to see.
IndexFile::~IndexFile() = default;

bool IndexFile::refresh()
{
    // Inside an update this handle's own pages are the newest state of the file.
    if (impl_->updating)
        return false;
    // Every move of every handle asks this, so the common answer, "nothing changed", is
    // read from the header's first bytes alone; a commit always changes the counter.
    std::array<char, kDirtyAt + 1> stamp{};
    impl_->file.readExactly(0, stamp.data(), qint64(stamp.size()));
    const Header &cached = impl_->header;
    if (getLE<quint64>(stamp.data() + kChangeCounterAt) == cached.changeCounter
        && (stamp[kDirtyAt] == 1) == cached.dirty)
        return false;
    Header fresh = impl_->readHeader();
    impl_->pages.forget();
    impl_->header = std::move(fresh);
    return true;
}

quint64 IndexFile::changeCounter() const
{
    return impl_->header.changeCounter;
}

bool IndexFile::isDirty() const
{
    return impl_->header.dirty;
}

quint32 IndexFile::keyVersion() const
{
    return impl_->header.keyVersion;
}

quint32 IndexFile::dataRecordCount() const
{
    return impl_->header.dataRecordCount;
}

bool IndexFile::isConsistent(quint32 actualDataRecordCount) const
{
    return !isDirty() && dataRecordCount() == actualDataRecordCount;
}

const std::vector<TagDefinition> &IndexFile::tags() const
{
    return impl_->header.definitions;
}

int IndexFile::tagIndex(const QString &name) const
{
    const std::vector<TagDefinition> &definitions = impl_->header.definitions;
    for (size_t i = 0; i < definitions.size(); ++i)
        if (definitions[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

quint32 IndexFile::entryCount(int tag) const
{
    impl_->requireTag(tag);
    return impl_->header.roots[size_t(tag)].entries;
}

IndexEntry IndexFile::entryAt(int tag, quint32 ordinal) const
{
    if (ordinal >= entryCount(tag))
        throw DatabaseError(QStringLiteral("Index position %1 is past the %2 entries of tag %3.")
                                .arg(ordinal)
                                .arg(entryCount(tag))
                                .arg(impl_->header.definitions[size_t(tag)].name));
    return impl_->tree(tag).entryAt(ordinal);
}

quint32 IndexFile::lowerBound(int tag, QByteArrayView key) const
{
    return impl_->tree(tag).countBefore({key, 0, false});
}

quint32 IndexFile::upperBound(int tag, QByteArrayView key) const
{
    return impl_->tree(tag).countBefore({key, std::numeric_limits<quint32>::max(), true});
}

quint32 IndexFile::lowerBound(int tag, const IndexEntry &entry) const
{
    return impl_->tree(tag).countBefore({entry.key, entry.recno, false});
}

std::optional<quint32> IndexFile::ordinalOf(int tag, const IndexEntry &entry) const
{
    return impl_->tree(tag).ordinalOf(entry);
}

void IndexFile::beginUpdate()
{
    impl_->requireWritable();
    if (impl_->updating)
        impl_->abandonUpdate();
    else
        refresh();
    impl_->markDirty();
}

void IndexFile::insert(int tag, const IndexEntry &entry)
{
    impl_->requireUpdate();
    checkKeyLength(entry);
    impl_->tree(tag).insert(entry);
}

void IndexFile::remove(int tag, const IndexEntry &entry)
{
    impl_->requireUpdate();
    impl_->tree(tag).remove(entry);
}

void IndexFile::addTag(const TagDefinition &definition, std::vector<IndexEntry> entries)
{
    impl_->requireUpdate();
    impl_->checkNewTag(definition);
    sortForTag(entries, definition);
    TreeRoot root;
    TagTree(impl_->pages, root, definition).build(entries);
    impl_->header.definitions.push_back(definition);
    impl_->header.roots.push_back(root);
}

void IndexFile::rebuildTag(int tag, std::vector<IndexEntry> entries)
{
    impl_->requireUpdate();
    impl_->requireTag(tag);
    sortForTag(entries, impl_->header.definitions[size_t(tag)]);
    impl_->releaseTree(tag);
    impl_->tree(tag).build(entries);
}

void IndexFile::dropTag(int tag)
{
    impl_->requireUpdate();
    impl_->requireTag(tag);
    impl_->releaseTree(tag);
    impl_->header.definitions.erase(impl_->header.definitions.begin() + tag);
    impl_->header.roots.erase(impl_->header.roots.begin() + tag);
}

void IndexFile::commitUpdate(quint32 dataRecordCount)
{
    impl_->requireUpdate();
    impl_->pages.flush();
    Header committed = impl_->header;
    ++committed.changeCounter;
    committed.dirty = false;
    committed.dataRecordCount = dataRecordCount;
    const QByteArray bytes = encodeHeader(committed);
    impl_->file.writeAll(0, bytes.constData(), bytes.size());
    impl_->header = std::move(committed);
    impl_->updating = false;
}

void IndexFile::abandonUpdate()
{
    if (!impl_->updating)
        return;
    impl_->pages.forget();
    impl_->header = impl_->headerBeforeUpdate;
    impl_->updating = false;
}

void IndexFile::markStale()
{
    impl_->requireWritable();
    if (impl_->header.dirty)
        return;
    const char dirty = 1;
    impl_->file.writeAll(kDirtyAt, &dirty, 1);
    impl_->header.dirty = true;
}

void IndexFile::sync()
{
    impl_->file.syncData();
}

} // namespace numora::store
