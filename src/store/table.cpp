#include "store/table.h"

#include "store/dbf_file.h"
#include "store/file_lock.h"
#include "store/folder_lookup.h"
#include "store/key_expression.h"
#include "store/memo_file.h"
#include "store/posix_io.h"
#include "store/store_error.h"
#include "store/swap_journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>
#include <fcntl.h>
#include <unistd.h>

namespace numora::store {

namespace {

constexpr quint32 ScanChunkRecords = 512;

QString companionName(const QString &dataFileName, const char *lowerExtension)
{
    const QFileInfo info(dataFileName);
    const QString extension = QString::fromLatin1(lowerExtension);
    const bool upper = !info.suffix().isEmpty() && info.suffix() == info.suffix().toUpper();
    return info.completeBaseName() + QLatin1Char('.') + (upper ? extension.toUpper() : extension);
}

// The three files of a table, as they exist in its folder (letter case ignored).
struct TablePaths {
    QString dbf;
    QString dbt;
    QString mdx;

    static TablePaths resolve(const QString &folder, const QString &fileName)
    {
        TablePaths paths;
        paths.dbf = resolveInFolder(folder, fileName);
        const QString actualName = QFileInfo(paths.dbf).fileName();
        paths.dbt = resolveInFolder(folder, companionName(actualName, "dbt"));
        paths.mdx = resolveInFolder(folder, companionName(actualName, "mdx"));
        return paths;
    }

    std::vector<QString> all() const { return {dbf, dbt, mdx}; }
    std::vector<QString> dataFileLast() const { return {dbt, mdx, dbf}; }
};

QString fileNameOf(const QString &path) { return QFileInfo(path).fileName(); }

QString journalNameFor(const QString &dbfPath) { return companionName(fileNameOf(dbfPath), "jnl"); }

// Where a swap of the table's files keeps its journal. While the database layer swaps
// whole tables the data file may be missing for a moment; then the journal is looked up
// ignoring letter case, like the table's other files.
QString journalPathOf(const QString &folder, const QString &fileName)
{
    const QString dbf = resolveInFolder(folder, fileName);
    if (QFileInfo::exists(dbf))
        return QFileInfo(dbf).dir().filePath(journalNameFor(dbf));
    return resolveInFolder(folder, companionName(fileName, "jnl"));
}

// Another handle anywhere holding the table open makes whole-table file operations
// (delete, rename, empty) unsafe; they ask the open region first.
void requireNoOtherUser(const QString &dbfPath)
{
    // An exclusive lock needs a descriptor open for writing; a file we cannot write we
    // cannot delete or rename for others either.
    const int fd = ::open(QFile::encodeName(dbfPath).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return;
    const bool free = FileLock::tryLock(fd, lock_region::Open, 1, LockKind::Exclusive);
    ::close(fd);
    if (!free)
        throw DatabaseError(QStringLiteral("The table %1 is in use by another user.").arg(fileNameOf(dbfPath)), DatabaseErrorKind::InUse);
}

void removeFile(const QString &path)
{
    if (QFileInfo::exists(path) && !QFile::remove(path))
        throw DatabaseError(QStringLiteral("Cannot delete the file %1.").arg(path));
}

// Keys computed the way an older program did sort differently from the ones this
// program computes, so such an index is stale as if the data had moved away from it.
bool indexFitsData(const IndexFile &index, quint32 recordCount)
{
    return index.isConsistent(recordCount) && index.keyVersion() == KeyExpression::KeysVersion;
}

} // namespace

struct Table::Files {
    TablePaths paths;
    std::unique_ptr<DbfFile> dbf;
    std::unique_ptr<MemoFile> memo;
    std::unique_ptr<IndexFile> index;
    std::vector<KeyExpression> expressions; // one per tag, in tag order
    bool indexUsable = false;                // entries agree with the data file

    int fd() const { return dbf->fd(); }
};

// During a bulk update this handle holds the write lock, so nothing it has read can
// change under it: records are read in chunks and index changes are committed once.
struct Table::Bulk {
    QDate today = QDate::currentDate(); // the header's last-update date for the whole pass
    bool allRecordsLocked = false;
    bool indexBegun = false;
    quint32 chunkFirst = 0; // first record number held in chunk, 0 = none
    quint32 chunkCount = 0;
    QByteArray chunk;
};

class Table::KeySource : public KeyRecordSource {
public:
    KeySource(const Table &table, const RecordBuffer &record) : table_(table), record_(record) {}
    QByteArrayView rawField(int column) const override { return record_.rawField(column); }
    QByteArray memoBytes(int column) const override { return table_.memoValue(column, record_); }

private:
    const Table &table_;
    const RecordBuffer &record_;
};

// Holds the write region around a read (shared, so no change is seen half made) or a
// change (exclusive). Not needed with exclusive use (nobody else writes) or in a bulk
// update (this handle holds the region already).
class Table::RegionGuard {
public:
    RegionGuard(const Table &table, LockKind kind) : fd_(table.needsLocking() ? table.files_->fd() : -1)
    {
        if (fd_ >= 0)
            FileLock::lock(fd_, lock_region::Write, 1, kind);
    }
    ~RegionGuard()
    {
        if (fd_ >= 0)
            FileLock::unlock(fd_, lock_region::Write, 1);
    }
    RegionGuard(const RegionGuard &) = delete;
    RegionGuard &operator=(const RegionGuard &) = delete;

private:
    int fd_;
};

class Table::ReadGuard : public RegionGuard {
public:
    explicit ReadGuard(const Table &table) : RegionGuard(table, LockKind::Shared) {}
};

class Table::WriteGuard : public RegionGuard {
public:
    explicit WriteGuard(const Table &table) : RegionGuard(table, LockKind::Exclusive) {}
};

Table::Table() = default;

Table::~Table()
{
    try {
        close();
    } catch (const std::exception &) {
        // Closing the descriptors releases every lock; nothing else can be done here.
    }
}

// ---------------------------------------------------------------------------
// Binding and opening

void Table::bind(const TableBinding &binding)
{
    requireClosed("change the binding");
    folder_ = binding.folder;
    fileName_ = binding.fileName;
    tagName_ = binding.tagName;
    exclusive_ = binding.exclusive;
}

TableBinding Table::binding() const { return {folder_, fileName_, tagName_, exclusive_}; }

void Table::open(const TableBinding &binding)
{
    close();
    bind(binding);
    open();
}

QString Table::dataFilePath() const { return resolveInFolder(folder_, fileName_); }

bool Table::isOpen() const { return files_ != nullptr; }

bool Table::needsLocking() const { return !exclusive_ && !bulk_; }

void Table::open()
{
    if (isOpen())
        return;
    damage_.clear();
    finishInterruptedMaintenance(folder_, fileName_);
    auto files = std::make_unique<Files>();
    files->paths = TablePaths::resolve(folder_, fileName_);
    if (!QFileInfo::exists(files->paths.dbf))
        throw DatabaseError(QStringLiteral("The table %1 does not exist.").arg(QDir(folder_).filePath(fileName_)));
    files->dbf = std::make_unique<DbfFile>(files->paths.dbf, true);

    const LockKind openKind = exclusive_ ? LockKind::Exclusive : LockKind::Shared;
    if (!FileLock::tryLock(files->fd(), lock_region::Open, 1, openKind))
        throw DatabaseError(exclusive_
                                ? QStringLiteral("The table %1 is in use by another user; exclusive use is not possible.").arg(fileName_)
                                : QStringLiteral("The table %1 is opened exclusively by another user.").arg(fileName_),
                            DatabaseErrorKind::InUse);

    if (files->dbf->layout().hasMemoColumns()) {
        if (!QFileInfo::exists(files->paths.dbt))
            throw DatabaseError(QStringLiteral("The memo file of %1 is missing.").arg(fileName_));
        files->memo = std::make_unique<MemoFile>(files->paths.dbt, true);
    }
    if (QFileInfo::exists(files->paths.mdx)) {
        try {
            files->index = std::make_unique<IndexFile>(files->paths.mdx, true);
        } catch (const DatabaseError &error) {
            throw DatabaseError(error.message(), DatabaseErrorKind::Index);
        }
    } else if (!tagName_.isEmpty()) {
        throw DatabaseError(QStringLiteral("The index file of %1 is missing.").arg(fileName_), DatabaseErrorKind::Index);
    }

    files_ = std::move(files);
    try {
        tag_ = -1;
        try {
            compileTags();
        } catch (const DatabaseError &error) {
            throw DatabaseError(error.message(), DatabaseErrorKind::Index);
        }
        {
            ReadGuard guard(*this);
            if (files_->index)
                files_->index->refresh();
            const quint32 count = countUsableRecords();
            files_->indexUsable = files_->index && indexFitsData(*files_->index, count);
            lastUpdateSeen_ = files_->dbf->readLastUpdate();
        }
        if (!tagName_.isEmpty()) {
            tag_ = files_->index->tagIndex(tagName_);
            if (tag_ < 0)
                throw DatabaseError(QStringLiteral("The index tag %1 of %2 does not exist.").arg(tagName_, fileName_), DatabaseErrorKind::Index);
            requireIndexUsable();
        }
        state_ = TableState::Browse;
        rangeActive_ = false;
        synchronised_ = false;
        first();
    } catch (...) {
        files_.reset();
        state_ = TableState::Inactive;
        throw;
    }
}

void Table::close()
{
    if (!isOpen())
        return;
    if (bulk_)
        endBulkUpdate();
    if (state_ == TableState::Edit || state_ == TableState::Insert)
        cancel();
    files_.reset(); // closing the descriptor releases every lock it holds
    damage_.clear();
    state_ = TableState::Inactive;
    current_.reset();
    pendingMemo_.clear();
    recno_ = 0;
    tag_ = -1;
    rangeActive_ = false;
    eof_ = bof_ = true;
}

void Table::compileTags()
{
    files_->expressions.clear();
    if (!files_->index)
        return;
    const DbfLayout &layout = files_->dbf->layout();
    for (const TagDefinition &tag : files_->index->tags())
        files_->expressions.push_back(KeyExpression::compile(tag.expression, layout.fields, layout.codec.encoding()));
}

// ---------------------------------------------------------------------------
// Preconditions

void Table::requireOpen() const
{
    if (!isOpen())
        throw DatabaseError(QStringLiteral("The table %1 is not open.").arg(fileName_));
}

void Table::requireClosed(const char *what) const
{
    if (isOpen())
        throw DatabaseError(QStringLiteral("Cannot %1 while the table is open.").arg(QLatin1String(what)));
}

void Table::requireExclusive(const char *what) const
{
    requireOpen();
    if (!exclusive_)
        throw DatabaseError(QStringLiteral("Cannot %1: this function requires exclusive use of %2.").arg(QLatin1String(what), fileName_));
}

void Table::requireTag(const char *what) const
{
    requireOpen();
    if (tag_ < 0)
        throw DatabaseError(QStringLiteral("Cannot %1 without an index tag.").arg(QLatin1String(what)));
}

void Table::requireEditing(const char *what) const
{
    requireOpen();
    if (state_ != TableState::Edit && state_ != TableState::Insert)
        throw DatabaseError(QStringLiteral("Cannot %1: the table is not in edit or insert state.").arg(QLatin1String(what)));
}

void Table::requireRecord(const char *what) const
{
    requireOpen();
    if (recno_ == 0)
        throw DatabaseError(QStringLiteral("Cannot %1: there is no current record.").arg(QLatin1String(what)));
}

void Table::requireIndexUsable() const
{
    if (tag_ >= 0 && !files_->indexUsable)
    {
        // A cut-short data file is why its index no longer fits: that is what the user must hear.
        const QString why = damage_.isEmpty() ? QString() : QLatin1Char(' ') + damage_;
        throw DatabaseError(QStringLiteral("The index of %1 is out of date or damaged.%2").arg(fileName_, why),
                            DatabaseErrorKind::Index);
    }
}

// ---------------------------------------------------------------------------
// Following other handles' changes

// Called with the read or write guard held. Picks up appends, deletes and index
// changes made by other handles since this one last looked.
void Table::synchronise()
{
    if (bulk_ && synchronised_)
        return; // we hold the write lock: only our own changes happen, and we track them
    const quint32 count = countUsableRecords();
    bool changed = !synchronised_ || count != recordCountSeen_;
    if (files_->index && files_->index->refresh())
        changed = true;
    recordCountSeen_ = count;
    synchronised_ = true;
    if (!changed)
        return;
    if (files_->index)
        files_->indexUsable = indexFitsData(*files_->index, count);
    requireIndexUsable();
    if (tag_ >= 0) {
        refreshRangeBounds();
        if (recno_ != 0)
            ordinal_ = files_->index->lowerBound(tag_, IndexEntry{key_, recno_});
    }
}

// Called with the read or write guard held (or exclusive use), so that an append by
// another handle, which writes its record before raising the count, is never taken for
// a data file cut short. Such a file is worked with up to its last whole record; an
// index that reflects more records than that counts as stale.
quint32 Table::countUsableRecords()
{
    const RecordCount count = files_->dbf->countRecords();
    if (count.isCutShort() && damage_.isEmpty())
        damage_ = count.damage;
    return count.usable;
}

void Table::refreshRangeBounds()
{
    const IndexFile &index = *files_->index;
    if (!rangeActive_) {
        rangeLow_ = 0;
        rangeHigh_ = index.entryCount(tag_);
        return;
    }
    rangeLow_ = index.lowerBound(tag_, rangeStart_);
    rangeHigh_ = std::max(rangeLow_, index.upperBound(tag_, rangeEnd_));
}

// Whether the entry at ordinal_ is still the current record (another handle may have
// deleted it or changed its key, leaving ordinal_ on its successor).
bool Table::onCurrentEntry() const
{
    if (recno_ == 0 || ordinal_ < 0 || ordinal_ >= qint64(files_->index->entryCount(tag_)))
        return false;
    const IndexEntry entry = files_->index->entryAt(tag_, quint32(ordinal_));
    return entry.recno == recno_ && entry.key == key_;
}

// ---------------------------------------------------------------------------
// Navigation

QByteArray Table::readRecordBytes(quint32 recno) const
{
    if (!bulk_)
        return files_->dbf->readRecord(recno);
    Bulk &bulk = *bulk_;
    if (bulk.chunkFirst == 0 || recno < bulk.chunkFirst || recno >= bulk.chunkFirst + bulk.chunkCount) {
        const quint32 count = std::min(ScanChunkRecords, recordCountSeen_ - recno + 1);
        files_->dbf->readRecords(recno, count, bulk.chunk);
        bulk.chunkFirst = recno;
        bulk.chunkCount = count;
    }
    const int length = files_->dbf->layout().recordLength;
    return bulk.chunk.mid(qsizetype(recno - bulk.chunkFirst) * length, length);
}

void Table::writeRecordBytes(quint32 recno, const QByteArray &bytes)
{
    // Callers hold the write lock and have just read the count.
    if (recno <= recordCountSeen_)
        files_->dbf->overwriteRecord(recno, bytes);
    else
        files_->dbf->writeRecord(recno, bytes);
    if (bulk_ && bulk_->chunkFirst != 0 && recno >= bulk_->chunkFirst && recno < bulk_->chunkFirst + bulk_->chunkCount) {
        const int length = files_->dbf->layout().recordLength;
        bulk_->chunk.replace(qsizetype(recno - bulk_->chunkFirst) * length, length, bytes);
    }
}

void Table::loadRecord(quint32 recno)
{
    current_ = std::make_unique<RecordBuffer>(files_->dbf->sharedLayout(), readRecordBytes(recno));
    recno_ = recno;
}

void Table::positionOnOrdinal(qint64 ordinal)
{
    const IndexEntry entry = files_->index->entryAt(tag_, quint32(ordinal));
    // An entry for a record the data file does not hold, or holds deleted, shows the
    // index is damaged; the caller rebuilds it.
    const bool recordHeld = entry.recno != 0 && entry.recno <= recordCountSeen_;
    if (recordHeld)
        loadRecord(entry.recno);
    if (!recordHeld || current_->isDeleted()) {
        files_->indexUsable = false;
        requireIndexUsable();
    }
    key_ = entry.key;
    ordinal_ = ordinal;
}

void Table::markEmpty()
{
    current_ = std::make_unique<RecordBuffer>(files_->dbf->sharedLayout());
    recno_ = 0;
    key_.clear();
    ordinal_ = -1;
    eof_ = bof_ = true;
}

// Entry order: the live record nearest to `from` in the direction `step` (+1 or -1),
// or 0 when there is none.
quint32 Table::liveRecordFrom(qint64 from, int step) const
{
    for (qint64 recno = from; recno >= 1 && recno <= qint64(recordCountSeen_); recno += step) {
        const QByteArray bytes = readRecordBytes(quint32(recno));
        if (bytes.isEmpty() || bytes[0] != '*')
            return quint32(recno);
    }
    return 0;
}

void Table::first()
{
    requireOpen();
    ReadGuard guard(*this);
    synchronise();
    moveTo(Start::First, 0);
}

void Table::last()
{
    requireOpen();
    ReadGuard guard(*this);
    synchronise();
    moveTo(Start::Last, 0);
}

void Table::next() { moveBy(1); }

void Table::prior() { moveBy(-1); }

void Table::moveBy(int count)
{
    requireOpen();
    ReadGuard guard(*this);
    synchronise();
    moveTo(Start::Current, count);
}

// The one place that moves the cursor: from the first, last or current record by
// `count` records inside the range, setting the end flags the way callers loop on them.
void Table::moveTo(Start start, qint64 count)
{
    if (state_ != TableState::Browse)
        cancel();
    if (tag_ >= 0)
        moveInTag(start, count);
    else
        moveInEntryOrder(start, count);
}

void Table::moveInTag(Start start, qint64 count)
{
    if (rangeLow_ >= rangeHigh_) {
        markEmpty();
        return;
    }
    qint64 target = 0;
    switch (start) {
    case Start::First:
        target = rangeLow_;
        break;
    case Start::Last:
        target = qint64(rangeHigh_) - 1;
        break;
    case Start::Current:
        if (recno_ == 0)
            target = count > 0 ? rangeLow_ : qint64(rangeHigh_) - 1;
        else if (onCurrentEntry() || count <= 0)
            target = ordinal_ + count;
        else
            target = ordinal_ + count - 1; // ordinal_ already stands on the successor
        break;
    }
    eof_ = start == Start::Last || target >= qint64(rangeHigh_);
    bof_ = start == Start::First || target < qint64(rangeLow_);
    positionOnOrdinal(std::clamp<qint64>(target, rangeLow_, qint64(rangeHigh_) - 1));
}

void Table::moveInEntryOrder(Start start, qint64 count)
{
    quint32 recno = 0;
    switch (start) {
    case Start::First:
        recno = liveRecordFrom(1, 1);
        eof_ = false;
        bof_ = true;
        break;
    case Start::Last:
        recno = liveRecordFrom(recordCountSeen_, -1);
        eof_ = true;
        bof_ = false;
        break;
    case Start::Current: {
        recno = recno_;
        eof_ = bof_ = false;
        const int step = count >= 0 ? 1 : -1;
        for (qint64 left = std::abs(count); left > 0; --left) {
            const quint32 found = recno == 0 ? 0 : liveRecordFrom(qint64(recno) + step, step);
            if (found == 0) {
                (step > 0 ? eof_ : bof_) = true;
                break;
            }
            recno = found;
        }
        if (recno == 0)
            recno = liveRecordFrom(1, 1);
        break;
    }
    }
    if (recno == 0) {
        markEmpty();
        return;
    }
    loadRecord(recno);
    if (current_->isDeleted()) // deleted by another user since we last looked
        moveInEntryOrder(start == Start::Last ? Start::Last : Start::First, 0);
}

bool Table::isEmpty() { return recordCount() == 0; }

quint32 Table::recordCount()
{
    requireOpen();
    ReadGuard guard(*this);
    synchronise();
    if (tag_ >= 0)
        return rangeHigh_ - rangeLow_;
    return countLiveRecords();
}

quint32 Table::countLiveRecords() const
{
    quint32 live = 0;
    scanRecords([&](quint32, QByteArrayView bytes) {
        if (bytes[0] != '*')
            ++live;
    });
    return live;
}

void Table::scanRecords(const std::function<void(quint32, QByteArrayView)> &visit) const
{
    QByteArray chunk;
    const int length = files_->dbf->layout().recordLength;
    for (quint32 first = 1; first <= recordCountSeen_; first += ScanChunkRecords) {
        const quint32 count = std::min(ScanChunkRecords, recordCountSeen_ - first + 1);
        files_->dbf->readRecords(first, count, chunk);
        for (quint32 i = 0; i < count; ++i)
            visit(first + i, QByteArrayView(chunk).sliced(qsizetype(i) * length, length));
    }
}

// ---------------------------------------------------------------------------
// Columns

const FieldList &Table::fields() const
{
    requireOpen();
    return files_->dbf->layout().fields;
}

int Table::columnIndex(const QString &name) const
{
    requireOpen();
    return files_->dbf->layout().columnIndex(name);
}

const RecordBuffer &Table::currentRecord() const
{
    requireOpen();
    return *current_;
}

void Table::requireColumn(int column) const
{
    if (column < 0 || column >= int(fields().size()))
        throw DatabaseError(QStringLiteral("The table %1 has no column %2.").arg(fileName_).arg(column));
}

FieldType Table::typeOf(int column) const
{
    requireColumn(column);
    return fields()[size_t(column)].type;
}

QByteArray Table::memoValue(int column, const RecordBuffer &record) const
{
    if (&record == current_.get()) {
        for (const auto &[pendingColumn, value] : pendingMemo_)
            if (pendingColumn == column)
                return value;
    }
    const quint32 block = record.memoBlock(column);
    if (block == 0)
        return {};
    if (!files_->memo)
        throw EngineError(QStringLiteral("The memo file of %1 is missing.").arg(fileName_));
    return files_->memo->read(block);
}

QString Table::text(int column) const
{
    switch (typeOf(column)) {
    case FieldType::Memo:
        return files_->dbf->layout().codec.decode(bytes(column));
    case FieldType::Binary:
        return {};
    default:
        return current_->text(column);
    }
}

double Table::number(int column) const
{
    requireColumn(column);
    const auto value = current_->decimal(column);
    return value ? value->toDouble() : 0.0;
}

qint64 Table::integer(int column) const
{
    requireColumn(column);
    const auto value = current_->decimal(column);
    return value ? value->toInteger() : 0;
}

QDate Table::date(int column) const
{
    requireColumn(column);
    return current_->date(column);
}

QByteArray Table::bytes(int column) const
{
    if (!isMemoType(typeOf(column)))
        throw DatabaseError(QStringLiteral("The column %1 of %2 holds no memo or binary value.").arg(column).arg(fileName_));
    return memoValue(column, *current_);
}

bool Table::isNull(int column) const
{
    if (!isMemoType(typeOf(column)))
        return current_->isNull(column);
    // Answered from the block pointer: a picture need not be read, nor be readable,
    // to know that the record has one.
    for (const auto &[pendingColumn, value] : pendingMemo_)
        if (pendingColumn == column)
            return value.isEmpty();
    return current_->memoBlock(column) == 0;
}

void Table::setText(int column, const QString &text)
{
    requireEditing("change a value");
    if (isMemoType(typeOf(column)))
        setBytes(column, files_->dbf->layout().codec.encode(text));
    else
        current_->setText(column, text);
}

void Table::setNumber(int column, double value)
{
    requireEditing("change a value");
    requireColumn(column);
    current_->setDecimal(column, Decimal::fromDouble(value, fields()[size_t(column)].decimals));
}

void Table::setInteger(int column, qint64 value)
{
    requireEditing("change a value");
    requireColumn(column);
    current_->setDecimal(column, Decimal::fromInteger(value));
}

void Table::setDate(int column, QDate date)
{
    requireEditing("change a value");
    requireColumn(column);
    current_->setDate(column, date);
}

void Table::setBytes(int column, const QByteArray &value)
{
    requireEditing("change a value");
    if (!isMemoType(typeOf(column)))
        throw DatabaseError(QStringLiteral("The column %1 of %2 holds no memo or binary value.").arg(column).arg(fileName_));
    for (auto &[pendingColumn, pendingValue] : pendingMemo_) {
        if (pendingColumn == column) {
            pendingValue = value;
            return;
        }
    }
    pendingMemo_.emplace_back(column, value);
}

void Table::clear(int column)
{
    requireEditing("clear a value");
    if (isMemoType(typeOf(column)))
        setBytes(column, {});
    else
        current_->clear(column);
}

void Table::copyColumnFrom(int column, const Table &source, int sourceColumn)
{
    requireEditing("copy a value");
    const FieldDescriptor &to = fields()[size_t(column)];
    const FieldDescriptor &from = source.fields()[size_t(sourceColumn)];
    if (isMemoType(to.type) != isMemoType(from.type))
        throw DatabaseError(QStringLiteral("Cannot copy column %1 into column %2: their types differ.").arg(from.name, to.name));
    if (isMemoType(to.type)) {
        setBytes(column, source.bytes(sourceColumn));
        return;
    }
    const bool sameEncoding = source.files_->dbf->layout().codec.encoding() == files_->dbf->layout().codec.encoding();
    if (to.type == from.type && to.width == from.width && to.decimals == from.decimals && sameEncoding)
        current_->setRawField(column, source.current_->rawField(sourceColumn));
    else
        current_->setText(column, source.current_->text(sourceColumn));
}

// ---------------------------------------------------------------------------
// Editing

void Table::edit()
{
    requireRecord("edit");
    if (state_ == TableState::Edit)
        return;
    if (state_ != TableState::Browse)
        throw DatabaseError(QStringLiteral("Cannot edit: a new record is being inserted."));
    lockRecord(recno_);
    try {
        ReadGuard guard(*this);
        synchronise();
        // Start from what the file holds now, not what we read earlier; in a bulk update
        // nobody else writes, so what we read is still current.
        if (!bulk_)
            loadRecord(recno_);
        if (current_->isDeleted())
            throw DatabaseError(QStringLiteral("The record was deleted by another user."));
        keysAtEdit_ = keysOf(*current_);
    } catch (...) {
        releaseRecordLock();
        throw;
    }
    pendingMemo_.clear();
    state_ = TableState::Edit;
}

void Table::lockRecord(quint32 recno)
{
    if (exclusive_ || (bulk_ && bulk_->allRecordsLocked))
        return;
    if (!FileLock::tryLock(files_->fd(), lock_region::FirstRecord + recno, 1, LockKind::Exclusive))
        throw DatabaseError(QStringLiteral("Record locked by another user."), DatabaseErrorKind::InUse);
    lockedRecno_ = recno;
}

void Table::releaseRecordLock()
{
    if (lockedRecno_ == 0)
        return;
    FileLock::unlock(files_->fd(), lock_region::FirstRecord + lockedRecno_, 1);
    lockedRecno_ = 0;
}

void Table::append()
{
    requireOpen();
    if (state_ != TableState::Browse)
        throw DatabaseError(QStringLiteral("Cannot append: the current record is still being edited."));
    recnoBeforeInsert_ = recno_;
    current_ = std::make_unique<RecordBuffer>(files_->dbf->sharedLayout());
    pendingMemo_.clear();
    keysAtEdit_.clear();
    recno_ = 0;
    state_ = TableState::Insert;
    if (afterInsert) {
        try {
            afterInsert(*this);
        } catch (...) {
            cancel();
            throw;
        }
    }
}

// The record form writes every value back when a record is left, changed or not; a
// value the record already holds is left where it is, or each visit would grow the memo
// file by the record's notes and pictures.
void Table::writeMemoValues()
{
    for (const auto &[column, value] : pendingMemo_)
        if (!holdsMemoValue(column, value))
            current_->setMemoBlock(column, value.isEmpty() ? 0 : files_->memo->append(value));
    pendingMemo_.clear();
}

bool Table::holdsMemoValue(int column, const QByteArray &value) const
{
    const quint32 block = current_->memoBlock(column);
    if (block == 0)
        return value.isEmpty();
    try {
        return files_->memo->read(block) == value;
    } catch (const EngineError &) {
        return false; // a damaged old value is replaced by the one given
    }
}

bool Table::beginIndexUpdate()
{
    if (!files_->index || files_->expressions.empty())
        return false;
    if (!files_->indexUsable) {
        // The data moves on without this index, so it must stay stale even when the
        // record counts come to agree again (as the next append to a cut-short data file
        // makes them).
        files_->index->markStale();
        return false;
    }
    if (!bulk_)
        files_->index->beginUpdate();
    return true;
}

void Table::commitIndexUpdate(quint32 dataRecordCount)
{
    if (!bulk_)
        files_->index->commitUpdate(dataRecordCount);
}

void Table::post()
{
    requireEditing("post");
    if (beforePost)
        beforePost(*this);
    const bool inserting = state_ == TableState::Insert;
    {
        WriteGuard guard(*this);
        synchronise();
        const quint32 recno = inserting ? recordCountSeen_ + 1 : recno_;
        writeMemoValues();
        const std::vector<QByteArray> newKeys = keysOf(*current_);
        const bool maintainIndex = (inserting || newKeys != keysAtEdit_) && beginIndexUpdate();
        storeRecord(recno, inserting, maintainIndex);

        // The record is stored. Whatever fails from here on must not leave the table in
        // edit or insert state: a second post would store the record a second time.
        const std::vector<QByteArray> oldKeys = std::exchange(keysAtEdit_, {});
        releaseRecordLock();
        state_ = TableState::Browse;
        recno_ = recno;
        try {
            if (maintainIndex)
                updateIndexAfterPost(recno, inserting, oldKeys, newKeys);
            else if (inserting && files_->index)
                files_->indexUsable = false; // the index no longer covers every record
            if (files_->index && !bulk_)
                files_->index->refresh();
            if (tag_ >= 0) {
                key_ = newKeys[size_t(tag_)];
                refreshRangeBounds();
                ordinal_ = files_->index->lowerBound(tag_, IndexEntry{key_, recno_});
            }
        } catch (const DatabaseError &error) {
            leaveIndexBehind();
            throw DatabaseError(QStringLiteral("The record is stored, but the index of %1 could not be updated (%2). "
                                               "The index will be rebuilt the next time the table is opened.")
                                    .arg(fileName_, error.message()),
                                DatabaseErrorKind::Index);
        }
    }
    if (afterPost)
        afterPost(*this);
}

// Writes the record and, for a new one, raises the count after it: the record is stored
// when this returns, and not stored when it throws.
void Table::storeRecord(quint32 recno, bool inserting, bool maintainIndex)
{
    const QDate today = bulk_ ? bulk_->today : QDate::currentDate();
    try {
        // An edit's date goes first, so that the record's own bytes are the last write
        // that can fail.
        if (!inserting && today != lastUpdateSeen_) {
            files_->dbf->writeLastUpdate(today);
            lastUpdateSeen_ = today;
        }
        writeRecordBytes(recno, current_->bytes());
        if (inserting) {
            files_->dbf->writeRecordCount(recno, today);
            lastUpdateSeen_ = today;
            recordCountSeen_ = recno;
        }
    } catch (const DatabaseError &) {
        // A new record lies past the count no reader goes beyond, so whatever part of
        // it reached the file is invisible and the index still matches the data: close
        // the update unchanged rather than leave the table marked stale for every user.
        // An edited record may be half-written, so there the mark stays.
        if (inserting && maintainIndex)
            commitIndexUpdate(recordCountSeen_);
        throw;
    }
}

void Table::updateIndexAfterPost(quint32 recno, bool inserting, const std::vector<QByteArray> &oldKeys, const std::vector<QByteArray> &newKeys)
{
    for (int tag = 0; tag < int(newKeys.size()); ++tag) {
        if (!inserting && newKeys[size_t(tag)] == oldKeys[size_t(tag)])
            continue;
        if (!inserting)
            files_->index->remove(tag, IndexEntry{oldKeys[size_t(tag)], recno});
        files_->index->insert(tag, IndexEntry{newKeys[size_t(tag)], recno});
    }
    commitIndexUpdate(recordCountSeen_);
}

// The data file holds a change the index does not. The update's dirty mark stays in the
// index file, so every handle, and the next open on a tag, finds the index stale.
void Table::leaveIndexBehind()
{
    files_->index->abandonUpdate();
    files_->indexUsable = false;
    synchronised_ = false;
    ordinal_ = -1;
}

void Table::cancel()
{
    requireOpen();
    if (state_ == TableState::Browse)
        return;
    const bool inserting = state_ == TableState::Insert;
    releaseRecordLock();
    pendingMemo_.clear();
    keysAtEdit_.clear();
    state_ = TableState::Browse;
    ReadGuard guard(*this);
    if (inserting && recnoBeforeInsert_ == 0) {
        synchronise();
        moveTo(Start::First, 0);
    } else {
        loadRecord(inserting ? recnoBeforeInsert_ : recno_);
    }
}

void Table::remove()
{
    requireRecord("delete");
    if (state_ == TableState::Insert) {
        cancel();
        return;
    }
    const bool heldLock = state_ == TableState::Edit;
    if (!heldLock)
        lockRecord(recno_);
    try {
        WriteGuard guard(*this);
        synchronise();
        RecordBuffer record(files_->dbf->sharedLayout(), readRecordBytes(recno_));
        if (record.isDeleted())
            throw DatabaseError(QStringLiteral("The record was deleted by another user."));
        const std::vector<QByteArray> keys = keysOf(record);
        const bool maintainIndex = beginIndexUpdate();
        record.setDeleted(true);
        writeRecordBytes(recno_, record.bytes());
        if (maintainIndex) {
            for (int tag = 0; tag < int(keys.size()); ++tag)
                files_->index->remove(tag, IndexEntry{keys[size_t(tag)], recno_});
            commitIndexUpdate(recordCountSeen_);
        }
        pendingMemo_.clear();
        keysAtEdit_.clear();
        state_ = TableState::Browse;
        releaseRecordLock();
        // Stand on the record that followed the deleted one, or the new last one.
        synchronised_ = false;
        synchronise();
        if (tag_ >= 0) {
            ordinal_ = std::min<qint64>(ordinal_, qint64(rangeHigh_) - 1);
            if (ordinal_ < qint64(rangeLow_))
                markEmpty();
            else
                positionOnOrdinal(ordinal_);
        } else {
            const quint32 following = liveRecordFrom(qint64(recno_) + 1, 1);
            const quint32 found = following != 0 ? following : liveRecordFrom(qint64(recno_) - 1, -1);
            found == 0 ? markEmpty() : loadRecord(found);
        }
    } catch (...) {
        if (!heldLock)
            releaseRecordLock();
        throw;
    }
    if (afterDelete)
        afterDelete(*this);
}

void Table::flush()
{
    requireOpen();
    files_->dbf->sync();
    if (files_->memo)
        files_->memo->sync();
    if (files_->index)
        files_->index->sync();
}

// ---------------------------------------------------------------------------
// Keys and tags

QByteArray Table::keyOf(int tag, const RecordBuffer &record) const
{
    return files_->expressions[size_t(tag)].evaluate(KeySource(*this, record));
}

std::vector<QByteArray> Table::keysOf(const RecordBuffer &record) const
{
    std::vector<QByteArray> keys;
    keys.reserve(files_->expressions.size());
    for (int tag = 0; tag < int(files_->expressions.size()); ++tag)
        keys.push_back(keyOf(tag, record));
    return keys;
}

std::vector<TagDefinition> Table::tags() const
{
    requireOpen();
    return files_->index ? files_->index->tags() : std::vector<TagDefinition>{};
}

// Entries of every tag over the live records, in one pass over the data file.
std::vector<std::vector<IndexEntry>> Table::entriesForAllTags(const std::vector<const KeyExpression *> &expressions) const
{
    std::vector<std::vector<IndexEntry>> entries(expressions.size());
    for (auto &tagEntries : entries)
        tagEntries.reserve(recordCountSeen_);
    RecordBuffer record(files_->dbf->sharedLayout());
    const KeySource source(*this, record);
    scanRecords([&](quint32 recno, QByteArrayView bytes) {
        if (bytes[0] == '*')
            return;
        record.assign(bytes);
        for (size_t tag = 0; tag < expressions.size(); ++tag)
            entries[tag].push_back(IndexEntry{expressions[tag]->evaluate(source), recno});
    });
    return entries;
}

void Table::addTag(const TagDefinition &definition)
{
    requireExclusive("add an index tag");
    const DbfLayout &layout = files_->dbf->layout();
    KeyExpression expression = KeyExpression::compile(definition.expression, layout.fields, layout.codec.encoding());
    synchronise();
    if (!files_->index) {
        IndexFile::create(files_->paths.mdx, recordCountSeen_, KeyExpression::KeysVersion);
        files_->index = std::make_unique<IndexFile>(files_->paths.mdx, true);
        files_->indexUsable = true;
    }
    auto entries = entriesForAllTags({&expression});
    files_->index->beginUpdate();
    files_->index->addTag(definition, std::move(entries.front()));
    files_->index->commitUpdate(recordCountSeen_);
    files_->expressions.push_back(std::move(expression));
    if (!files_->indexUsable)
        rebuildAllTags();
    synchronised_ = false;
}

void Table::deleteTag(const QString &name)
{
    requireExclusive("delete an index tag");
    const int tag = files_->index ? files_->index->tagIndex(name) : -1;
    if (tag < 0)
        throw DatabaseError(QStringLiteral("The index tag %1 of %2 does not exist.").arg(name, fileName_));
    if (tag == tag_)
        throw DatabaseError(QStringLiteral("The index tag %1 is in use.").arg(name));
    files_->index->beginUpdate();
    files_->index->dropTag(tag);
    files_->index->commitUpdate(countUsableRecords());
    files_->expressions.erase(files_->expressions.begin() + tag);
    if (tag_ > tag)
        --tag_;
    synchronised_ = false;
}

// Writes a fresh index file beside the old one and puts it in place: an index left
// dirty by a crash cannot be trusted even for its free pages.
void Table::rebuildAllTags()
{
    if (!files_->index)
        return;
    recordCountSeen_ = countUsableRecords();
    synchronised_ = false;
    const std::vector<TagDefinition> definitions = files_->index->tags();
    std::vector<const KeyExpression *> expressions;
    for (const KeyExpression &expression : files_->expressions)
        expressions.push_back(&expression);
    auto entries = entriesForAllTags(expressions);

    const QString fresh = files_->paths.mdx + QStringLiteral(".new");
    try {
        IndexFile::create(fresh, recordCountSeen_, KeyExpression::KeysVersion);
        IndexFile index(fresh, true);
        index.beginUpdate();
        for (size_t tag = 0; tag < definitions.size(); ++tag)
            index.addTag(definitions[tag], std::move(entries[tag]));
        index.commitUpdate(recordCountSeen_);
        index.sync();
    } catch (...) {
        QFile::remove(fresh);
        throw;
    }
    files_->index.reset();
    if (::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(files_->paths.mdx).constData()) != 0)
        throw DatabaseError(QStringLiteral("Cannot replace the index of %1.").arg(fileName_), DatabaseErrorKind::Index);
    files_->index = std::make_unique<IndexFile>(files_->paths.mdx, true);
    files_->indexUsable = true;
}

bool Table::indexHoldsOlderKeys(const QString &folder, const QString &fileName)
{
    const TablePaths paths = TablePaths::resolve(folder, fileName);
    if (!QFileInfo::exists(paths.mdx))
        return false;
    try {
        const IndexFile index(paths.mdx, false);
        return !index.isDirty() && index.keyVersion() != KeyExpression::KeysVersion;
    } catch (const DatabaseError &) {
        return false; // unreadable: damage, not age
    }
}

void Table::regenerateIndexes()
{
    requireExclusive("regenerate the indexes");
    if (state_ != TableState::Browse)
        cancel();
    rebuildAllTags();
    synchronised_ = false;
    first();
}

bool Table::findKey(const QString &value)
{
    requireTag("find a key");
    ReadGuard guard(*this);
    synchronise();
    const QByteArray wanted = files_->dbf->layout().codec.encode(value);
    // In a descending tag the longer keys that start with `wanted` come before it.
    const bool descending = files_->index->tags()[size_t(tag_)].descending;
    const QByteArray seekKey = descending ? wanted + QByteArray(IndexFile::MaxKeyLength, '\xFF') : wanted;
    const quint32 ordinal = std::max(rangeLow_, files_->index->lowerBound(tag_, seekKey));
    if (ordinal >= rangeHigh_ || !files_->index->entryAt(tag_, ordinal).key.startsWith(wanted))
        return false;
    if (state_ != TableState::Browse)
        cancel();
    positionOnOrdinal(ordinal);
    eof_ = bof_ = false;
    return true;
}

RecordBuffer Table::blankRecord() const
{
    requireOpen();
    return RecordBuffer(files_->dbf->sharedLayout());
}

void Table::setRange(const RecordBuffer &start, const RecordBuffer &end)
{
    requireTag("set a range");
    rangeStart_ = keyOf(tag_, start);
    rangeEnd_ = keyOf(tag_, end);
    rangeActive_ = true;
    synchronised_ = false;
    first();
}

void Table::setRangeKeys(const QByteArray &start, const QByteArray &end)
{
    requireTag("set a range");
    rangeStart_ = start;
    // Every key that begins with `end` sorts no later than `end` followed by 0xFF bytes.
    rangeEnd_ = end + QByteArray(IndexFile::MaxKeyLength, '\xFF');
    if (files_->index->tags()[size_t(tag_)].descending)
        std::swap(rangeStart_, rangeEnd_);
    rangeActive_ = true;
    synchronised_ = false;
    first();
}

void Table::cancelRange()
{
    requireOpen();
    rangeActive_ = false;
    synchronised_ = false;
    first();
}

bool Table::hasRange() const { return rangeActive_; }

Bookmark Table::bookmark() const { return Bookmark{recno_}; }

bool Table::gotoBookmark(const Bookmark &bookmark)
{
    requireOpen();
    if (!bookmark.isValid())
        return false;
    ReadGuard guard(*this);
    synchronise();
    if (bookmark.recno > recordCountSeen_)
        return false;
    RecordBuffer record(files_->dbf->sharedLayout(), readRecordBytes(bookmark.recno));
    if (record.isDeleted())
        return false;
    if (tag_ >= 0) {
        const auto ordinal = files_->index->ordinalOf(tag_, IndexEntry{keyOf(tag_, record), bookmark.recno});
        if (!ordinal || *ordinal < rangeLow_ || *ordinal >= rangeHigh_)
            return false;
        if (state_ != TableState::Browse)
            cancel();
        positionOnOrdinal(*ordinal);
    } else {
        if (state_ != TableState::Browse)
            cancel();
        loadRecord(bookmark.recno);
    }
    eof_ = bof_ = false;
    return true;
}

bool Table::gotoSameRecord(const Table &other) { return gotoBookmark(other.bookmark()); }

// ---------------------------------------------------------------------------
// Bulk updates

void Table::beginBulkUpdate()
{
    requireOpen();
    if (bulk_)
        throw DatabaseError(QStringLiteral("A bulk update of %1 is already running.").arg(fileName_));
    auto bulk = std::make_unique<Bulk>();
    if (!exclusive_) {
        FileLock::lock(files_->fd(), lock_region::Write, 1, LockKind::Exclusive);
        // Holding every record lock at once spares one lock call per record; when
        // another user edits a record, records are locked one by one instead.
        if (lockedRecno_ == 0)
            bulk->allRecordsLocked = FileLock::tryLock(files_->fd(), lock_region::FirstRecord, lock_region::RecordSpan, LockKind::Exclusive);
    }
    try {
        synchronise();
        if (files_->index && files_->indexUsable && !files_->expressions.empty()) {
            files_->index->beginUpdate();
            bulk->indexBegun = true;
        }
    } catch (...) {
        if (!exclusive_) {
            if (bulk->allRecordsLocked)
                FileLock::unlock(files_->fd(), lock_region::FirstRecord, lock_region::RecordSpan);
            FileLock::unlock(files_->fd(), lock_region::Write, 1);
        }
        throw;
    }
    bulk_ = std::move(bulk);
}

void Table::endBulkUpdate()
{
    if (!bulk_)
        return;
    const std::unique_ptr<Bulk> bulk = std::move(bulk_);
    if (bulk->indexBegun && files_->indexUsable)
        files_->index->commitUpdate(countUsableRecords());
    if (!exclusive_) {
        if (bulk->allRecordsLocked)
            releaseRecordSpanKeeping(state_ == TableState::Edit ? recno_ : 0);
        FileLock::unlock(files_->fd(), lock_region::Write, 1);
    }
    synchronised_ = false;
}

// Releases the lock on every record's byte but the record being edited (0: none). The
// span is unlocked around that byte rather than as a whole and then taken again, so
// no other user can take the record in between.
void Table::releaseRecordSpanKeeping(quint32 editedRecno)
{
    const off_t first = lock_region::FirstRecord;
    const off_t end = first + lock_region::RecordSpan;
    if (editedRecno == 0) {
        FileLock::unlock(files_->fd(), first, end - first);
        return;
    }
    const off_t kept = first + editedRecno;
    if (kept > first)
        FileLock::unlock(files_->fd(), first, kept - first);
    if (end > kept + 1)
        FileLock::unlock(files_->fd(), kept + 1, end - kept - 1);
    lockedRecno_ = editedRecno;
}

BulkUpdate::~BulkUpdate()
{
    try {
        table_.endBulkUpdate();
    } catch (const std::exception &) {
        // The index stays marked dirty and is rebuilt at the next open on a tag.
    }
}

// ---------------------------------------------------------------------------
// Maintenance

void Table::pack(bool regenerate)
{
    Q_UNUSED(regenerate) // record numbers change, so every tag is rebuilt regardless
    requireExclusive("pack the table");
    if (state_ != TableState::Browse)
        cancel();
    synchronise();
    const DbfLayout &layout = files_->dbf->layout();
    const QString packedDbf = files_->paths.dbf + QStringLiteral(".pack");
    const QString packedDbt = files_->paths.dbt + QStringLiteral(".pack");
    if (files_->index)
        files_->index->beginUpdate(); // a crash from here on leaves the index marked stale
    try {
        DbfFile::create(packedDbf, layout.fields, layout.codec.encoding());
        DbfFile packed(packedDbf, true);
        std::unique_ptr<MemoFile> packedMemo;
        if (files_->memo) {
            MemoFile::create(packedDbt, QFileInfo(files_->paths.dbf).completeBaseName());
            packedMemo = std::make_unique<MemoFile>(packedDbt, true);
        }
        quint32 written = 0;
        const auto sharedLayout = files_->dbf->sharedLayout();
        scanRecords([&](quint32, QByteArrayView bytes) {
            if (bytes[0] == '*')
                return;
            RecordBuffer record(sharedLayout, bytes.toByteArray());
            for (int column = 0; column < int(layout.fields.size()); ++column) {
                if (!isMemoType(layout.fields[size_t(column)].type) || record.memoBlock(column) == 0)
                    continue;
                record.setMemoBlock(column, packedMemo->append(files_->memo->read(record.memoBlock(column))));
            }
            packed.writeRecord(++written, record.bytes());
        });
        packed.writeRecordCount(written, QDate::currentDate());
    } catch (...) {
        QFile::remove(packedDbf);
        QFile::remove(packedDbt);
        throw;
    }
    replaceFilesWith(packedDbf, packedDbt);
}

// Puts freshly written data and memo files in place of the open ones and rebuilds the
// index over them, keeping exclusive use as far as the file system allows. The two
// renames go through a journal: an old data file beside a new memo file would read
// every memo from the wrong bytes.
void Table::replaceFilesWith(const QString &newDbf, const QString &newDbt)
{
    const TablePaths paths = files_->paths;
    std::vector<FileRename> renames;
    if (QFileInfo::exists(newDbt))
        renames.push_back({fileNameOf(newDbt), fileNameOf(paths.dbt)});
    renames.push_back({fileNameOf(newDbf), fileNameOf(paths.dbf)});
    // Whatever a crash leaves, the index must say it is stale, and the new files must be
    // whole before the journal promises them.
    if (files_->index)
        files_->index->sync();
    for (const FileRename &rename : renames)
        posix::syncFile(QFileInfo(paths.dbf).dir().filePath(rename.from));
    swapFiles(QFileInfo(paths.dbf).path(), journalNameFor(paths.dbf), renames);
    const QString selectedTag = tagName_;
    close();
    tagName_.clear();
    open();
    rebuildAllTags();
    close();
    tagName_ = selectedTag;
    open();
}

void Table::emptyTable()
{
    const bool wasOpen = isOpen();
    const bool wasExclusive = exclusive_;
    const QString selectedTag = tagName_;
    if (!wasOpen) {
        exclusive_ = true;
        tagName_.clear();
        open();
    }
    try {
        requireExclusive("empty the table");
        if (state_ != TableState::Browse)
            cancel();
        const QString emptyDbf = files_->paths.dbf + QStringLiteral(".empty");
        const QString emptyDbt = files_->paths.dbt + QStringLiteral(".empty");
        if (files_->index)
            files_->index->beginUpdate();
        const DbfLayout &layout = files_->dbf->layout();
        DbfFile::create(emptyDbf, layout.fields, layout.codec.encoding());
        if (files_->memo)
            MemoFile::create(emptyDbt, QFileInfo(files_->paths.dbf).completeBaseName());
        replaceFilesWith(emptyDbf, emptyDbt);
    } catch (...) {
        if (!wasOpen) {
            close();
            exclusive_ = wasExclusive;
            tagName_ = selectedTag;
        }
        throw;
    }
    if (!wasOpen) {
        close();
        exclusive_ = wasExclusive;
        tagName_ = selectedTag;
    }
}

// ---------------------------------------------------------------------------
// Whole tables

void Table::createTable(const QString &path, const FieldList &fields)
{
    DbfFile::create(path, fields, TextEncoding::Utf8);
    const bool hasMemo = std::any_of(fields.begin(), fields.end(), [](const FieldDescriptor &field) { return isMemoType(field.type); });
    if (hasMemo) {
        const QFileInfo info(path);
        MemoFile::create(info.dir().filePath(companionName(info.fileName(), "dbt")), info.completeBaseName());
    }
}

void Table::replaceTable(const QString &folder, const QString &fileName, const QString &replacementName, const QString &setAsideName)
{
    // An unfinished earlier run is finished first: until then the set-aside table may be
    // the only whole copy, and it is deleted below.
    finishInterruptedMaintenance(folder, fileName);
    const TablePaths current = TablePaths::resolve(folder, fileName);
    const TablePaths replacement = TablePaths::resolve(folder, replacementName);
    if (!QFileInfo::exists(replacement.dbf))
        throw DatabaseError(QStringLiteral("The table %1 does not exist.").arg(replacement.dbf));
    requireNoOtherUser(current.dbf);
    requireNoOtherUser(replacement.dbf);
    deleteTable(folder, setAsideName);
    const std::vector<QString> currentFiles = current.dataFileLast();
    const std::vector<QString> replacementFiles = replacement.dataFileLast();
    const std::vector<QString> setAsideFiles = TablePaths::resolve(folder, setAsideName).dataFileLast();
    std::vector<FileRename> renames;
    for (size_t i = 0; i < currentFiles.size(); ++i)
        if (QFileInfo::exists(currentFiles[i]))
            renames.push_back({fileNameOf(currentFiles[i]), fileNameOf(setAsideFiles[i])});
    for (size_t i = 0; i < replacementFiles.size(); ++i) {
        if (!QFileInfo::exists(replacementFiles[i]))
            continue;
        posix::syncFile(replacementFiles[i]); // whole on disk before the journal promises it
        renames.push_back({fileNameOf(replacementFiles[i]), fileNameOf(currentFiles[i])});
    }
    swapFiles(folder, journalNameFor(current.dbf), renames);
}

bool Table::finishInterruptedMaintenance(const QString &folder, const QString &fileName)
{
    const QFileInfo journal(journalPathOf(folder, fileName));
    return finishInterruptedSwap(journal.path(), journal.fileName());
}

void Table::copyTable(const QString &sourcePath, const QString &destinationPath)
{
    const QFileInfo sourceInfo(sourcePath);
    const TablePaths source = TablePaths::resolve(sourceInfo.path(), sourceInfo.fileName());
    if (!QFileInfo::exists(source.dbf))
        throw DatabaseError(QStringLiteral("The table %1 does not exist.").arg(sourcePath));
    const QFileInfo destinationInfo(destinationPath);
    deleteTable(destinationInfo.path(), destinationInfo.fileName());

    // Writers wait while we copy, so the three files agree with each other.
    const int fd = ::open(QFile::encodeName(source.dbf).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw DatabaseError(QStringLiteral("Cannot read the table %1.").arg(sourcePath));
    struct CloseOnExit {
        int fd;
        ~CloseOnExit() { ::close(fd); }
    } closer{fd};
    ScopedLock guard(fd, lock_region::Write, 1, LockKind::Shared);

    const QString destinationName = destinationInfo.fileName();
    const std::vector<std::pair<QString, QString>> copies = {
        {source.dbf, destinationInfo.filePath()},
        {source.dbt, destinationInfo.dir().filePath(companionName(destinationName, "dbt"))},
        {source.mdx, destinationInfo.dir().filePath(companionName(destinationName, "mdx"))},
    };
    for (const auto &[from, to] : copies) {
        if (!QFileInfo::exists(from))
            continue;
        const QString partial = to + QStringLiteral(".copy");
        QFile::remove(partial);
        if (!QFile::copy(from, partial) || ::rename(QFile::encodeName(partial).constData(), QFile::encodeName(to).constData()) != 0) {
            QFile::remove(partial);
            throw DatabaseError(QStringLiteral("Cannot copy %1 to %2.").arg(from, to));
        }
        QFile(to).setPermissions(QFile(to).permissions() | QFileDevice::WriteOwner);
    }
}

void Table::renameTable(const QString &folder, const QString &fromName, const QString &toName)
{
    const TablePaths from = TablePaths::resolve(folder, fromName);
    if (!QFileInfo::exists(from.dbf))
        throw DatabaseError(QStringLiteral("The table %1 does not exist.").arg(QDir(folder).filePath(fromName)));
    if (existsInFolder(folder, toName))
        throw DatabaseError(QStringLiteral("Cannot rename %1: a table named %2 exists already.").arg(fromName, toName));
    requireNoOtherUser(from.dbf);
    const QDir dir(folder);
    const std::vector<std::pair<QString, QString>> renames = {
        {from.dbt, dir.filePath(companionName(toName, "dbt"))},
        {from.mdx, dir.filePath(companionName(toName, "mdx"))},
        {from.dbf, dir.filePath(toName)}, // last: the table exists under one name at a time
    };
    for (const auto &[source, target] : renames) {
        if (!QFileInfo::exists(source))
            continue;
        QFile::remove(target);
        if (::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) != 0)
            throw DatabaseError(QStringLiteral("Cannot rename %1 to %2.").arg(source, target));
    }
}

void Table::deleteTable(const QString &folder, const QString &fileName)
{
    const TablePaths paths = TablePaths::resolve(folder, fileName);
    requireNoOtherUser(paths.dbf);
    for (const QString &path : paths.all())
        removeFile(path);
}

} // namespace numora::store
