#pragma once
// A handle on one dBASE table: its data file, memo file and index file, opened shared
// or exclusively, browsed in entry order or in the order of one index tag, optionally
// within a key range. Every layer above reads and writes records through this class.
//
// Several handles, in this process or in others, may have the same table open. A
// handle sees the others' appends, edits and deletes at its next navigation or count.
// Editing a record holds that record's lock until post or cancel; every change is
// written to the data file first and to the index afterwards, so a process killed
// half-way leaves at worst a stale index, which the next open on a tag reports.

#include "store/field.h"
#include "store/index_file.h"
#include "store/key_expression.h"
#include "store/record_buffer.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace numora::store {

enum class TableState { Inactive, Browse, Edit, Insert };

// Which table a handle opens and how; these travel together.
struct TableBinding {
    // Every member has its default, so a binding can name only what it sets.
    QString folder{};
    QString fileName{};
    QString tagName{}; // empty: entry order
    bool exclusive = false; // no other handle, here or elsewhere, may have it open

    TableBinding withTag(const QString &tag) const { return {folder, fileName, tag, exclusive}; }
    TableBinding withExclusive(bool only) const { return {folder, fileName, tagName, only}; }
};

// A position the find window can return to; going back fails cleanly once the record
// was deleted or left the range.
struct Bookmark {
    quint32 recno = 0;
    bool isValid() const { return recno != 0; }
};

class Table {
public:
    using Hook = std::function<void(Table &)>;

    Table();
    ~Table();
    Table(const Table &) = delete;
    Table &operator=(const Table &) = delete;

    // Binding: which table the handle opens and how. It changes only while the table is
    // closed.
    void bind(const TableBinding &binding);
    TableBinding binding() const;
    const QString &folder() const { return folder_; }
    const QString &fileName() const { return fileName_; }
    bool exclusive() const { return exclusive_; }
    const QString &tagName() const { return tagName_; }
    QString dataFilePath() const;

    // Fails with DatabaseError when the files are missing or damaged, the table is held
    // exclusively elsewhere (or, for an exclusive open, open anywhere else), or the tag
    // is unknown or its index out of date.
    void open();
    // Closes the table if it is open, binds it anew and opens it.
    void open(const TableBinding &binding);
    void close(); // cancels an edit in progress
    bool isOpen() const;
    // Empty while the table's files are whole; otherwise one sentence naming the data
    // file and its damage. A data file that ends inside a record, or before the records
    // its header counts, opens with the whole records before the cut: those are the
    // records the handle reads, counts and indexes. Set when the handle finds the cut
    // (at open, or at a later look) and kept until close; opening never changes the file.
    QString damage() const { return damage_; }

    // Navigation within the current range.
    void first();
    void last();
    void next();
    void prior();
    void moveBy(int count);
    bool eof() const { return eof_; } // set after moving past the last record
    bool bof() const { return bof_; }
    bool isEmpty();
    quint32 recordCount(); // records inside the current range
    quint32 recNo() const { return recno_; } // physical record number, 0 when none
    const RecordBuffer &currentRecord() const;

    // Columns, addressed by 0-based position.
    const FieldList &fields() const;
    int columnIndex(const QString &name) const; // -1 when absent
    QString text(int column) const; // memo: its text; binary: empty
    double number(int column) const;
    qint64 integer(int column) const;
    QDate date(int column) const;
    QByteArray bytes(int column) const; // memo and binary values, whole
    bool isNull(int column) const;
    void setText(int column, const QString &text);
    void setNumber(int column, double value);
    void setInteger(int column, qint64 value);
    void setDate(int column, QDate date);
    void setBytes(int column, const QByteArray &value);
    void clear(int column);
    // Copies a value from a column of the same type and width in another table;
    // memo and binary values are copied whole.
    void copyColumnFrom(int column, const Table &source, int sourceColumn);

    // Editing.
    TableState state() const { return state_; }
    bool isEditing() const { return state_ == TableState::Edit || state_ == TableState::Insert; }
    void edit();   // DatabaseError when another handle holds the record's lock
    void append(); // a blank record in insert state; runs afterInsert
    // Runs beforePost (a throw aborts the post), writes, runs afterPost. A failure before
    // the record is stored throws and leaves the table in edit or insert state. Once the
    // record is stored the table is in browse state on it, whatever follows: a failed
    // index update then throws DatabaseError of kind Index saying so, and leaves the index
    // marked stale for every user (the next open on a tag reports it for rebuilding).
    void post();
    void cancel();
    void remove(); // deletes the current record; runs afterDelete
    void flush();  // forces what was posted onto the disk

    Hook beforePost;
    Hook afterInsert;
    Hook afterPost;
    Hook afterDelete;

    // Tags. Adding and deleting need exclusive use.
    std::vector<TagDefinition> tags() const;
    void addTag(const TagDefinition &definition);
    void deleteTag(const QString &name);
    void regenerateIndexes(); // rebuilds every tag; exclusive use

    // Keys and ranges (a tag must be selected).
    // Positions on the first record whose key starts with the encoded value.
    bool findKey(const QString &value);
    RecordBuffer blankRecord() const; // scratch record for range limits
    // The range's keys are the selected tag's key evaluated over the two records.
    void setRange(const RecordBuffer &start, const RecordBuffer &end);
    // A range given by key bytes, `start` not above `end` bytewise whatever the tag's
    // direction; keys that begin with `end` count as inside, so one-byte prefixes
    // select by the key's first character.
    void setRangeKeys(const QByteArray &start, const QByteArray &end);
    void cancelRange();
    bool hasRange() const;

    Bookmark bookmark() const;
    [[nodiscard]] bool gotoBookmark(const Bookmark &bookmark);
    // Lands on the record another handle on the same table shows.
    [[nodiscard]] bool gotoSameRecord(const Table &other);

    // A long pass that posts many records (filter marks, replace, import) holds the
    // table's write lock for its whole length instead of once per record; other users'
    // writes wait, and their edits in progress are respected record by record.
    void beginBulkUpdate();
    void endBulkUpdate(); // also on every exit path: see BulkUpdate
    bool inBulkUpdate() const { return bulk_ != nullptr; }

    // Maintenance, with exclusive use.
    void pack(bool regenerate);
    void emptyTable(); // also on a closed handle, which it opens exclusively for the purpose

    // Whole tables: the data, memo and index files together.
    static void copyTable(const QString &sourcePath, const QString &destinationPath);
    static void renameTable(const QString &folder, const QString &fromName, const QString &toName);
    static void deleteTable(const QString &folder, const QString &fileName);
    // Creates an empty table with these columns (no index file).
    static void createTable(const QString &path, const FieldList &fields);
    // Puts the table `replacementName` in place of `fileName`, whose files (if any)
    // become the table `setAsideName`; an earlier set-aside table is deleted. A crash
    // part-way leaves a journal the next open of `fileName` finishes.
    static void replaceTable(const QString &folder, const QString &fileName, const QString &replacementName,
                             const QString &setAsideName);
    // Finishes a replacement of the table's files (pack, empty, replaceTable) that a
    // killed process left half done; open() does so first. Returns whether there was one.
    // DatabaseError (InUse) while the process replacing them is still alive.
    static bool finishInterruptedMaintenance(const QString &folder, const QString &fileName);
    // Whether the table's index file is sound as far as its header tells and was refused
    // only because an older program computed its keys: no damage, only a rebuild due.
    static bool indexHoldsOlderKeys(const QString &folder, const QString &fileName);

private:
    struct Files;
    struct Bulk;
    class KeySource;
    class RegionGuard;
    class ReadGuard;
    class WriteGuard;

    enum class Start { First, Last, Current };

    bool needsLocking() const;
    void requireOpen() const;
    void requireClosed(const char *what) const;
    void requireExclusive(const char *what) const;
    void requireTag(const char *what) const;
    void requireEditing(const char *what) const;
    void requireRecord(const char *what) const;
    void requireIndexUsable() const;
    void requireColumn(int column) const;
    FieldType typeOf(int column) const;

    void compileTags();
    void synchronise();
    quint32 countUsableRecords();
    void refreshRangeBounds();
    bool onCurrentEntry() const;

    QByteArray readRecordBytes(quint32 recno) const;
    void writeRecordBytes(quint32 recno, const QByteArray &bytes);
    void loadRecord(quint32 recno);
    void positionOnOrdinal(qint64 ordinal);
    void markEmpty();
    quint32 liveRecordFrom(qint64 from, int step) const;
    void moveTo(Start start, qint64 count);
    void moveInTag(Start start, qint64 count);
    void moveInEntryOrder(Start start, qint64 count);
    quint32 countLiveRecords() const;
    void scanRecords(const std::function<void(quint32, QByteArrayView)> &visit) const;

    QByteArray memoValue(int column, const RecordBuffer &record) const;
    QByteArray keyOf(int tag, const RecordBuffer &record) const;
    std::vector<QByteArray> keysOf(const RecordBuffer &record) const;
    std::vector<std::vector<IndexEntry>> entriesForAllTags(const std::vector<const KeyExpression *> &expressions) const;

    void lockRecord(quint32 recno);
    void releaseRecordLock();
    void releaseRecordSpanKeeping(quint32 editedRecno);
    void writeMemoValues();
    bool holdsMemoValue(int column, const QByteArray &value) const;
    void storeRecord(quint32 recno, bool inserting, bool maintainIndex);
    void updateIndexAfterPost(quint32 recno, bool inserting, const std::vector<QByteArray> &oldKeys,
                              const std::vector<QByteArray> &newKeys);
    void leaveIndexBehind();
    bool beginIndexUpdate();
    void commitIndexUpdate(quint32 dataRecordCount);
    void rebuildAllTags();
    void replaceFilesWith(const QString &newDbf, const QString &newDbt);

    QString folder_;
    QString fileName_;
    QString tagName_;
    bool exclusive_ = false;

    std::unique_ptr<Files> files_;
    QString damage_;
    int tag_ = -1; // index of the selected tag in the index file

    TableState state_ = TableState::Inactive;
    std::unique_ptr<RecordBuffer> current_;
    std::vector<std::pair<int, QByteArray>> pendingMemo_; // column, new value
    std::vector<QByteArray> keysAtEdit_;
    quint32 recno_ = 0;
    QByteArray key_;       // current record's key in the selected tag
    qint64 ordinal_ = -1;  // its position in the tag, valid for changeSeen_
    quint32 lockedRecno_ = 0;
    quint32 recnoBeforeInsert_ = 0;
    bool eof_ = true;
    bool bof_ = true;

    bool rangeActive_ = false;
    QByteArray rangeStart_;
    QByteArray rangeEnd_;
    quint32 rangeLow_ = 0;  // ordinals [rangeLow_, rangeHigh_) of the tag
    quint32 rangeHigh_ = 0;

    quint64 changeSeen_ = 0; // index change counter the cached positions belong to
    quint32 recordCountSeen_ = 0;
    bool synchronised_ = false;
    QDate lastUpdateSeen_;
    std::unique_ptr<Bulk> bulk_;
};

// Keeps a table in bulk update for a scope.
class BulkUpdate {
public:
    explicit BulkUpdate(Table &table) : table_(table) { table_.beginBulkUpdate(); }
    ~BulkUpdate();
    BulkUpdate(const BulkUpdate &) = delete;
    BulkUpdate &operator=(const BulkUpdate &) = delete;

private:
    Table &table_;
};

} // namespace numora::store
