#include "database/database_manager.h"

#include "store/folder_lookup.h"
#include "core/log_categories.h"
#include "database/open_retry.h"
#include "database/record_schema.h"
#include "store/store_error.h"
#include "store/text_codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <limits>

namespace numora::database {

namespace {

const QString kMasterFile = QStringLiteral("master.dbf");
const QString kCopyFile = QStringLiteral("copy.dbf");
const QString kDataTemplate = QStringLiteral("data.dbf");
const QString kMasterTag = QStringLiteral("IDX0");
const QString kWorkFile = QStringLiteral("temp$00.dbf"); // a repaired, restored or backed-up table while it is made
const QString kSetAsideFile = QStringLiteral("temp$$$.dbf");
const QString kBadFile = QStringLiteral("bad$$$"); // a damaged table set aside: bad$$$, then bad$$$1, bad$$$2 ...
constexpr int kMaxSetAsides = 999;
constexpr const char *kTableExtensions[] = {".dbf", ".dbt", ".mdx"};
const QString kBackupFolder = QStringLiteral("BACKUP");

QString baseName(const QString &fileName) { return QFileInfo(fileName).completeBaseName(); }

// Whether any data, memo or index file named base.* is in the folder, in any letter case.
bool anyTableFile(const QString &folder, const QString &base)
{
    return std::any_of(std::begin(kTableExtensions), std::end(kTableExtensions),
                       [&](const char *extension) { return store::existsInFolder(folder, base + QLatin1String(extension)); });
}

int letterSlot(QChar letter) { return letter.unicode() - 'A'; }

// A failure the caller turns into its own result or message; its reason goes to the log.
void logFailure(const std::exception &error) { qCInfo(lcDatabase) << error.what(); }

// Runs a closing step that may fail without the failure mattering (files already
// closed, handle never opened).
template <typename Step>
void ignoringErrors(Step step)
{
    try {
        step();
    } catch (const store::DatabaseError &error) {
        logFailure(error);
    } catch (const store::EngineError &error) {
        logFailure(error);
    }
}

} // namespace

DatabaseManager::DatabaseManager(Prompt &prompt, Progress &progress)
    : prompt_(prompt), progress_(progress), changes_(master_, [this] { findOrAddMasterRow(); }, prompt)
{
    changes_.attach(record_);
}

QString DatabaseManager::databasePath(const QString &fileName) const { return store::resolveInFolder(location.folder, fileName); }

QString DatabaseManager::templatePath(const QString &fileName) const { return store::resolveInFolder(programFolder, fileName); }

QString DatabaseManager::sortFilePath() const { return databasePath(baseName(location.tableFileName) + QStringLiteral(".idx")); }

// ---------------------------------------------------------------------------
// Opening tables

store::TableBinding DatabaseManager::inDatabaseFolder(const QString &fileName, const QString &tag, bool exclusive) const
{
    return {.folder = location.folder, .fileName = fileName, .tagName = tag, .exclusive = exclusive};
}

OpenResult DatabaseManager::openNamed(store::Table &table, const store::TableBinding &binding)
{
    const QString &fileName = binding.fileName;
    table.close();
    table.bind(binding);
    if (!store::existsInFolder(location.folder, fileName))
        return OpenResult(store::DatabaseError(QStringLiteral("The table %1 does not exist.").arg(fileName)));
    QString unusableIndex;
    try {
        table.open();
        return {};
    } catch (const store::DatabaseError &error) {
        // Only an unusable index is replaced, from the templates. The data and memo
        // files are never touched here, and a table another user holds keeps its index,
        // since replacing it would break theirs.
        if (error.kind() == store::DatabaseErrorKind::Index && mendIndex(fileName))
            unusableIndex = error.message();
    }
    const OpenResult opened = openWithRetries([&] { table.open(); }, binding.exclusive, fileName, prompt_);
    if (opened && !unusableIndex.isEmpty())
        prompt_.inform(QStringLiteral("The index of %1 could not be used and was rebuilt.").arg(fileName), MessageKind::Warning, unusableIndex);
    return opened;
}

// An index an older program wrote is rebuilt in place, keeping its tags, and not
// reported: nothing was damaged. Returns whether the index was damaged.
bool DatabaseManager::mendIndex(const QString &fileName)
{
    const bool olderKeysOnly = store::Table::indexHoldsOlderKeys(location.folder, fileName);
    if (!olderKeysOnly)
        rescueIndex(fileName);
    regenerateQuietly(fileName);
    return !olderKeysOnly;
}

void DatabaseManager::rescueIndex(const QString &fileName)
{
    const QString indexName = baseName(fileName) + QStringLiteral(".mdx");
    QFile::remove(databasePath(indexName));
    const QString target = QDir(location.folder).filePath(baseName(store::resolveInFolder(location.folder, fileName)) + QStringLiteral(".mdx"));
    const QString lower = fileName.toLower();
    if (lower == kDataTemplate || lower == kMasterFile) {
        QFile::copy(templatePath(baseName(lower) + QStringLiteral(".mdx")), target);
        return;
    }
    // Any other record table gets the data template's tags, made under its own name.
    const QString scratch = QDir(programFolder).filePath(fileName);
    ignoringErrors([&] {
        store::Table::copyTable(templatePath(kDataTemplate), scratch);
        QFile::copy(store::resolveInFolder(programFolder, indexName), target);
    });
    ignoringErrors([&] { store::Table::deleteTable(programFolder, fileName); });
}

void DatabaseManager::regenerateQuietly(const QString &fileName)
{
    ignoringErrors([&] {
        store::Table table;
        table.open(inDatabaseFolder(fileName, {}, true));
        table.regenerateIndexes();
    });
}

// Whatever a table is made for, it never replaces files someone else made: a name that
// is taken, even by a lone memo or index file, fails the creation.
void DatabaseManager::createFromTemplate(const QString &templateName, const QString &path)
{
    const QFileInfo target(path);
    for (const char *extension : kTableExtensions) {
        const QString file = target.completeBaseName() + QLatin1String(extension);
        if (store::existsInFolder(target.path(), file))
            throw store::DatabaseError(QStringLiteral("%1 exists already and is not replaced.").arg(store::resolveInFolder(target.path(), file)));
    }
    store::Table::copyTable(templatePath(templateName), path);
}

void DatabaseManager::createTable(const QString &path, bool keepTags)
{
    createFromTemplate(kDataTemplate, path);
    if (!keepTags)
        removeIndexOf(path);
}

void DatabaseManager::removeIndexOf(const QString &path)
{
    const QFileInfo info(path);
    const QString index = store::resolveInFolder(info.path(), info.completeBaseName() + QStringLiteral(".mdx"));
    if (QFileInfo::exists(index) && !QFile::remove(index))
        throw store::DatabaseError(QStringLiteral("Cannot delete the index of %1.").arg(info.fileName()));
}

void DatabaseManager::createMaster() { createFromTemplate(kMasterFile, QDir(location.folder).filePath(kMasterFile)); }

// The work table is the program's own: one left behind was a copy a pass did not finish
// (a swap already begun is finished before this), so it is discarded.
void DatabaseManager::createWorkTable(const QString &folder, bool keepTags)
{
    store::Table::deleteTable(folder, kWorkFile);
    createTable(QDir(folder).filePath(kWorkFile), keepTags);
}

// The first of bad$$$, bad$$$1, bad$$$2 ... none of whose files exists, in any letter
// case, so a set-aside never replaces an earlier one.
QString DatabaseManager::freeSetAsideName() const
{
    for (int n = 0; n <= kMaxSetAsides; ++n) {
        const QString base = n == 0 ? kBadFile : kBadFile + QString::number(n);
        if (!anyTableFile(location.folder, base))
            return base + QStringLiteral(".dbf");
    }
    return {};
}

SetAside DatabaseManager::setAsideDamaged(const QString &fileName)
{
    const QString target = freeSetAsideName();
    if (target.isEmpty())
        return {{}, QStringLiteral("Every name from %1.dbf to %1%2.dbf is taken.").arg(kBadFile).arg(kMaxSetAsides)};
    try {
        store::Table::renameTable(location.folder, QFileInfo(databasePath(fileName)).fileName(), target);
        return {target, {}};
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        return {{}, error.message()};
    }
}

OpenResult DatabaseManager::openOrMake(store::Table &table, const store::TableBinding &binding, const std::function<void()> &make)
{
    if (store::existsInFolder(location.folder, binding.fileName)) {
        const OpenResult opened = openNamed(table, binding);
        if (opened || opened.kind() != store::DatabaseErrorKind::Damaged)
            return opened;
        const QString onDisk = QFileInfo(databasePath(binding.fileName)).fileName();
        const SetAside setAside = setAsideDamaged(binding.fileName);
        if (!setAside) // the user learns both: what is wrong with it, and why it stays
            return OpenResult(store::DatabaseError(opened.reason() + QStringLiteral("\r") + setAside.failure));
        prompt_.inform(QStringLiteral("%1 was damaged. It was renamed to %2 and a new %3 was made.").arg(onDisk, setAside.fileName, binding.fileName),
                       MessageKind::Warning, opened.reason());
    }
    try {
        make();
        table.open(binding);
        return {};
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        return OpenResult(error);
    }
}

// ---------------------------------------------------------------------------
// Open database

bool DatabaseManager::openDatabase()
{
    highestNumber_.reset();
    if (const OpenResult master = openMaster(); !master) {
        prompt_.inform(QStringLiteral("Could not Open the Master.dbf file!"), MessageKind::Error, master.reason());
        return false;
    }
    if (const OpenResult copy = openCopyBuffer(); !copy) {
        prompt_.inform(QStringLiteral("Could not Open the Copy/Paste file!"), MessageKind::Error, copy.reason());
        return false;
    }
    record_.close();
    record_.bind(inDatabaseFolder(location.tableFileName));
    // A repair or restore killed while swapping tables may have left no data file for a
    // moment, which must not be mistaken for a missing database.
    if (const OpenResult finished = finishInterruptedMaintenance(); !finished) {
        prompt_.inform(QStringLiteral("Could not Open the database! A maintenance run that was cut short could not be finished."), MessageKind::Error,
                       finished.reason());
        return false;
    }
    if (!openOrCreateRecordTable())
        return false;
    recordDecimals();
    try {
        findOrAddMasterRow();
    } catch (const store::DatabaseError &error) {
        // Numbering makes the row again for the first new record; until a row exists no
        // record is numbered, so no other table's counter is used. The row's append has
        // been taken back where it failed.
        prompt_.inform(QStringLiteral("Could not add this database to the Master.dbf file! New records cannot be numbered until it is added."),
                       MessageKind::Warning, error.message());
    }
    indexErrorSilence_ = false;
    return true;
}

// The master handle always uses tag "IDX0".
OpenResult DatabaseManager::openMaster()
{
    master_.close();
    return openOrMake(master_, inDatabaseFolder(kMasterFile, kMasterTag), [this] { createMaster(); });
}

// The copy buffer is never left empty: its first row is the buffer itself.
OpenResult DatabaseManager::openCopyBuffer()
{
    store::Table &copy = copy_.table();
    copy.close();
    const OpenResult opened = openOrMake(copy, inDatabaseFolder(kCopyFile), [this] { createTable(QDir(location.folder).filePath(kCopyFile), false); });
    if (!opened)
        return opened;
    try {
        if (copy.isEmpty()) {
            copy.append();
            copy.post();
        }
        return {};
    } catch (const store::DatabaseError &error) {
        ignoringErrors([&] { copy.cancel(); });
        return OpenResult(error);
    }
}

// Only a missing or damaged record table is replaced by a new one; one that cannot be
// opened for any other reason (permission, another user, a missing memo file) is left
// as it is and nothing opens. A folder holding none of the table's files is a first
// start, so the table is made without a word; a memo or index file left without its
// data file means a database went missing, which the user is told.
bool DatabaseManager::openOrCreateRecordTable()
{
    if (!anyTableFile(location.folder, baseName(location.tableFileName)))
        return createRecordTableAnew({}, {});
    if (!store::existsInFolder(location.folder, location.tableFileName))
        return createRecordTableAnew(QStringLiteral("Could not Open the database! A new database will be created."), {});
    const OpenResult opened = openRecordTable();
    if (opened)
        return true;
    if (opened.kind() != store::DatabaseErrorKind::Damaged) {
        prompt_.inform(QStringLiteral("Could not Open the database! Its files were left as they are."), MessageKind::Error, opened.reason());
        return false;
    }
    const SetAside setAside = setAsideDamaged(location.tableFileName);
    if (!setAside) {
        prompt_.inform(QStringLiteral("Could not Open the database! The damaged file could not be renamed, so no new database was created."),
                       MessageKind::Error, setAside.failure);
        return false;
    }
    return createRecordTableAnew(
        QStringLiteral("Could not Open the database! A new database will be created. The original file (if existed) was renamed to %1.").arg(setAside.fileName),
        opened.reason());
}

OpenResult DatabaseManager::openRecordTable()
{
    const OpenResult opened = openNamed(record_, inDatabaseFolder(location.tableFileName));
    if (!opened)
        return opened;
    tellOfDamage(record_.damage());
    deriveColumnSets();
    index_.descriptor = SortState::load(sortFilePath());
    index_.keepForUndo();
    applySortOrEntryOrder();
    return {};
}

// A data file cut short opens with its whole records; the user learns once, at the
// open, what was lost and how to keep the rest.
void DatabaseManager::tellOfDamage(const QString &damage)
{
    if (!damage.isEmpty())
        prompt_.inform(damage + QStringLiteral("\rOnly the whole records are shown. Advanced/Maintenance/Repair Data File saves them into a sound file."),
                       MessageKind::Warning);
}

bool DatabaseManager::createRecordTableAnew(const QString &notice, const QString &reason)
{
    if (!notice.isEmpty())
        prompt_.inform(notice, MessageKind::Warning, reason);
    try {
        record_.close();
        createTable(QDir(location.folder).filePath(location.tableFileName), true);
        index_.descriptor = {};
        index_.keepForUndo();
        record_.open(inDatabaseFolder(location.tableFileName));
        deriveColumnSets();
        applySortOrEntryOrder();
        return true;
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        prompt_.inform(QStringLiteral("Could not Open the new database!"), MessageKind::Error, error.message());
        return false;
    }
}

void DatabaseManager::deriveColumnSets()
{
    textColumns_.clear();
    memoColumns_.clear();
    binaryColumns_.clear();
    const store::FieldList &fields = record_.fields();
    for (int column = record_column::FirstField; column < int(fields.size()); ++column) {
        switch (fields[size_t(column)].type) {
        case store::FieldType::Character:
            textColumns_.push_back(column);
            break;
        case store::FieldType::Memo:
            memoColumns_.push_back(column);
            break;
        case store::FieldType::Binary:
            binaryColumns_.push_back(column);
            break;
        default:
            break;
        }
    }
}

void DatabaseManager::recordDecimals()
{
    decimals_.clear();
    if (!record_.isOpen())
        return;
    const store::FieldList &fields = record_.fields();
    for (int column = 0; column < int(fields.size()); ++column)
        if (fields[size_t(column)].type == store::FieldType::Numeric)
            decimals_[column] = fields[size_t(column)].decimals;
}

int DatabaseManager::decimals(int column) const
{
    const auto found = decimals_.find(column);
    return found == decimals_.end() ? 0 : found->second;
}

bool DatabaseManager::findMasterRow()
{
    return master_.findKey(location.tableFileName) && master_.text(master_column::FileName).compare(location.tableFileName, Qt::CaseInsensitive) == 0;
}

// A new row's counter is the highest number the records hold, so a table that came
// without its master row (a copied catalogue, a generated collection) goes on numbering
// above its records. The records are read once per open: numbering may come back here
// in the middle of a pass that holds the table's write lock, when a second handle could
// not read them.
void DatabaseManager::findOrAddMasterRow()
{
    if (findMasterRow())
        return;
    if (!highestNumber_)
        highestNumber_ = highestRecordNumber();
    addMasterRow(*highestNumber_);
}

void DatabaseManager::addMasterRow(qint64 lastNumber)
{
    master_.append();
    try {
        master_.setText(master_column::FileName, location.tableFileName);
        master_.setText(master_column::DatabaseName, location.tableFileName);
        master_.setInteger(master_column::LastNumber, lastNumber);
        master_.post();
    } catch (const store::DatabaseError &) {
        ignoringErrors([&] { master_.cancel(); });
        throw;
    }
}

qint64 DatabaseManager::highestRecordNumber()
{
    store::Table records;
    records.open(inDatabaseFolder(location.tableFileName));
    qint64 highest = 0;
    for (records.first(); !records.eof() && records.recNo() != 0; records.next())
        highest = std::max(highest, records.integer(record_column::Number));
    return highest;
}

QString DatabaseManager::freeRecordTableName()
{
    constexpr int MaxRecordTables = 999;
    std::vector<bool> used(MaxRecordTables + 1, false);
    const store::Bookmark row = master_.bookmark();
    for (master_.first(); !master_.eof(); master_.next()) {
        const QString name = master_.text(0).toLower();
        static const QRegularExpression numbered(QStringLiteral("^data_(\\d{1,3})\\.dbf$"));
        const auto match = numbered.match(name);
        if (match.hasMatch())
            used[size_t(match.captured(1).toInt())] = true;
    }
    if (!master_.gotoBookmark(row))
        qCInfo(lcDatabase) << "the current master row went while free table names were sought";
    for (int n = 1; n <= MaxRecordTables; ++n)
        if (!used[size_t(n)])
            return QStringLiteral("data_%1.dbf").arg(n);
    return {};
}

void DatabaseManager::setMasterCounter(int value)
{
    if (!master_.isOpen())
        return;
    if (!findMasterRow()) {
        addMasterRow(value);
        return;
    }
    master_.edit();
    master_.setInteger(master_column::LastNumber, value);
    master_.post();
}

void DatabaseManager::raiseMasterCounter(int atLeast)
{
    if (master_.isOpen() && findMasterRow() && master_.integer(master_column::LastNumber) < atLeast)
        setMasterCounter(atLeast);
}

QString DatabaseManager::databaseName()
{
    if (master_.isOpen() && findMasterRow())
        return master_.text(master_column::DatabaseName);
    return location.tableFileName;
}

void DatabaseManager::closeAll()
{
    for (store::Table *table : {&record_, &copy_.table(), &master_})
        ignoringErrors([table] { table->close(); });
}

// ---------------------------------------------------------------------------
// Sorting

bool DatabaseManager::applySort()
{
    const QString rememberedTag = record_.tagName();
    QString reason;
    try {
        record_.open(inDatabaseFolder(location.tableFileName));
        const store::FieldList fields = record_.fields();
        const std::vector<store::TagDefinition> tags = record_.tags();
        record_.close();
        if (!index_.buildKeys(fields))
            throw store::DatabaseError(QStringLiteral("No index key for this sort."));
        const SortKey &wanted = index_.wantedKey();
        QString tagName;
        for (const store::TagDefinition &tag : tags) {
            if (tag.expression.compare(wanted.expression, Qt::CaseInsensitive) == 0 && tag.descending == wanted.descending) {
                tagName = tag.name;
                break;
            }
        }
        if (tagName.isEmpty()) {
            tagName = index_.tagPrefix() + QString::number(tags.size());
            if (const OpenResult exclusive = openNamed(record_, inDatabaseFolder(location.tableFileName, {}, true)); !exclusive)
                throw store::DatabaseError(exclusive.reason(), exclusive.kind());
            record_.addTag(store::TagDefinition{tagName, wanted.expression, wanted.descending});
        }
        openSortTag(tagName);
        recordDecimals();
        return true;
    } catch (const store::DatabaseError &error) {
        reason = error.message();
    } catch (const store::EngineError &error) {
        reason = error.message();
    }
    ignoringErrors([&] { record_.close(); });
    record_.bind(inDatabaseFolder(location.tableFileName, rememberedTag));
    ignoringErrors([&] { record_.open(); });
    recordDecimals();
    index_.undo();
    if (!indexErrorSilence_)
        prompt_.inform(QStringLiteral("Unable to create Index!\rDatabase may be used by someone else - this function requires Exclusive Database Use."),
                       MessageKind::Error, reason);
    else
        qCInfo(lcDatabase) << "the sort could not be applied:" << reason;
    return false;
}

// An open without a tag does not look at the index, so an index an older program wrote
// is met only here; it is rebuilt quietly like at any open. A damaged one still fails
// the sort, as the data file's own damage is what the user must hear of.
void DatabaseManager::openSortTag(const QString &tagName)
{
    const store::TableBinding binding = inDatabaseFolder(location.tableFileName, tagName);
    try {
        record_.open(binding);
    } catch (const store::DatabaseError &error) {
        if (error.kind() != store::DatabaseErrorKind::Index || !store::Table::indexHoldsOlderKeys(location.folder, location.tableFileName))
            throw;
        regenerateQuietly(location.tableFileName);
        record_.open(binding);
    }
}

void DatabaseManager::applySortOrEntryOrder()
{
    if (!applySort())
        qCInfo(lcDatabase) << "the sort could not be applied; the table keeps its former order";
}

bool DatabaseManager::changeSort(const SortDescriptor &descriptor)
{
    index_.keepForUndo();
    index_.descriptor = descriptor;
    return applySort();
}

bool DatabaseManager::setFilterState(FilterState state)
{
    const bool wasMarked = index_.marked;
    const FilterState was = filterState_;
    index_.keepForUndo();
    index_.marked = state != FilterState::AllRecords;
    filterState_ = state;
    if (applySort())
        return true;
    index_.marked = wasMarked;
    filterState_ = was;
    return false;
}

bool DatabaseManager::saveSort() { return SortState::save(QDir(location.folder).filePath(baseName(location.tableFileName) + QStringLiteral(".idx")), index_.descriptor); }

// ---------------------------------------------------------------------------
// Ranges and letters

bool DatabaseManager::letterTabsUsable() const
{
    if (!record_.isOpen() || record_.tagName().isEmpty())
        return false;
    const int primary = index_.descriptor.primary;
    const bool textPrimary = std::find(textColumns_.begin(), textColumns_.end(), primary) != textColumns_.end();
    return textPrimary && (!hooks.letterTabsOn || hooks.letterTabsOn());
}

bool DatabaseManager::viewRange(std::optional<QChar> letter)
{
    const QByteArray mark = filterState_ == FilterState::Normal     ? QByteArray("2")
                            : filterState_ == FilterState::Reversed ? QByteArray("0")
                                                                    : QByteArray();
    if (letter && letterTabsUsable()) {
        // Keys are compared as prefixes: the mark, then the letter. A's range starts
        // at byte 1 so digits and punctuation fall under it; Z's runs to byte 255.
        const char c = char(letter->unicode());
        const QByteArray start = mark + (c == 'A' ? QByteArray("\x01") : QByteArray(1, c));
        const QByteArray end = mark + (c == 'Z' ? QByteArray("\xFF") : QByteArray(1, c) + '\xFF');
        record_.setRangeKeys(start, end);
        return true;
    }
    if (filterState_ == FilterState::AllRecords) {
        if (record_.isOpen())
            record_.cancelRange();
    } else if (!record_.tagName().isEmpty()) {
        record_.setRangeKeys(mark, mark);
    }
    return false;
}

void DatabaseManager::countLetters()
{
    if (!letterTabsUsable())
        return;
    const BusyScope busy(hooks);
    for (int slot = LetterCount - 1; slot >= 0; --slot)
        recountLetter(QChar('A' + slot));
}

void DatabaseManager::recountLetter(QChar letter)
{
    const int slot = letterSlot(letter);
    if (slot < 0 || slot >= LetterCount)
        return;
    letterCounts_[size_t(slot)] = 0;
    if (viewRange(letter))
        letterCounts_[size_t(slot)] = record_.recordCount();
}

quint32 DatabaseManager::letterCount(QChar letter) const
{
    const int slot = letterSlot(letter);
    return slot >= 0 && slot < LetterCount ? letterCounts_[size_t(slot)] : 0;
}

bool DatabaseManager::gotoPosition(qint64 position)
{
    if (!record_.isOpen())
        return false;
    record_.first();
    if (position > 0)
        record_.moveBy(int(std::min<qint64>(position, std::numeric_limits<int>::max())));
    return true;
}

QChar DatabaseManager::recordLetter() const { return recordLetter(record_); }

QChar DatabaseManager::recordLetter(const store::Table &table) const
{
    const int primary = index_.descriptor.primary;
    if (!table.isOpen() || std::find(textColumns_.begin(), textColumns_.end(), primary) == textColumns_.end())
        return QChar();
    // Folded as the sort key is, so "Équateur" is counted and listed under E.
    const QString text = store::TextCodec::foldForOrder(table.text(primary));
    const QChar initial = text.isEmpty() ? QChar('A') : text.front();
    if (initial < QChar('A'))
        return QChar('A');
    if (initial > QChar('Z'))
        return QChar('Z');
    return initial;
}

quint32 DatabaseManager::recordCount() { return record_.isOpen() ? record_.recordCount() : 0; }

// ---------------------------------------------------------------------------
// Copy buffer

bool DatabaseManager::copyRecord(qint64 position)
{
    gotoPosition(position);
    if (record_.eof()) {
        prompt_.inform(QStringLiteral("Empty Record - Not Copied!"), MessageKind::Warning);
        return false;
    }
    if (const ChangeResult copied = copy_.copyFrom(record_, changes_); !copied) {
        changes_.report(copied, QStringLiteral("Could not Copy the record!"), MessageKind::Error);
        return false;
    }
    return true;
}

bool DatabaseManager::pasteRecord(qint64 position)
{
    if (!copy_.filled())
        return false;
    gotoPosition(position);
    const bool pastEnd = record_.eof();
    const QChar oldLetter = pastEnd ? QChar() : recordLetter();
    if (const ChangeResult pasted = copy_.pasteInto(record_, pastEnd, changes_); !pasted) {
        changes_.report(pasted, QStringLiteral("Could not Paste the record!"), MessageKind::Error);
        return false;
    }
    moveLetterCount(oldLetter, recordLetter());
    return true;
}

void DatabaseManager::moveLetterCount(QChar from, QChar to)
{
    if (const int slot = letterSlot(from); !from.isNull() && slot >= 0 && slot < LetterCount && letterCounts_[size_t(slot)] > 0)
        --letterCounts_[size_t(slot)];
    if (const int slot = letterSlot(to); !to.isNull() && slot >= 0 && slot < LetterCount)
        ++letterCounts_[size_t(slot)];
}

// ---------------------------------------------------------------------------
// Maintenance

bool DatabaseManager::reopenForMaintenance(const std::function<void(store::Table &)> &work, bool keepTag)
{
    if (hooks.displayUpdates)
        hooks.displayUpdates(false);
    const bool wasOpen = record_.isOpen();
    const QString tag = record_.tagName();
    record_.close();
    bool ok = false;
    QString reason;
    if (const OpenResult exclusive = openNamed(record_, inDatabaseFolder(location.tableFileName, {}, true)); !exclusive) {
        reason = exclusive.reason();
    } else {
        try {
            work(record_);
            ok = true;
        } catch (const store::DatabaseError &error) {
            reason = error.message();
        } catch (const store::EngineError &error) {
            reason = error.message();
        }
    }
    if (!ok)
        prompt_.inform(QStringLiteral("Function Failed!\rDatabase may be used by someone else - this function requires Exclusive Database Use."),
                       MessageKind::Error, reason);
    ignoringErrors([&] { record_.close(); });
    record_.bind(inDatabaseFolder(location.tableFileName, keepTag ? tag : QString()));
    if (wasOpen)
        ignoringErrors([&] { record_.open(); });
    if (hooks.displayUpdates)
        hooks.displayUpdates(true);
    return ok;
}

bool DatabaseManager::reindex()
{
    return reopenForMaintenance([](store::Table &table) { table.regenerateIndexes(); }, true);
}

bool DatabaseManager::pack()
{
    return reopenForMaintenance([](store::Table &table) { table.pack(true); }, true);
}

bool DatabaseManager::empty()
{
    if (hooks.displayUpdates)
        hooks.displayUpdates(false);
    const bool wasOpen = record_.isOpen();
    record_.close();
    bool ok = true;
    try {
        record_.emptyTable();
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        ok = false;
    }
    if (wasOpen)
        ignoringErrors([&] { record_.open(); });
    if (hooks.displayUpdates)
        hooks.displayUpdates(true);
    return ok;
}

// Copies the current source record into a new target record numbered `number`.
// Returns false when a column could not be read or the post failed; a failed post is
// cancelled, so the target never keeps a half-written record.
bool DatabaseManager::copyOneRecord(store::Table &source, store::Table &target, int &number)
{
    bool whole = true;
    try {
        target.append();
        for (int column = 0; column < int(source.fields().size()); ++column) {
            try {
                target.copyColumnFrom(column, source, column);
            } catch (const store::EngineError &) {
                whole = false;
            }
        }
        target.setInteger(0, number);
        target.post();
        ++number;
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        ignoringErrors([&] { target.cancel(); });
        whole = false;
    }
    return whole;
}

CopyResult DatabaseManager::copyRecords(store::Table &source, store::Table &target)
{
    CopyResult result;
    progress_.setTotal(int(source.recordCount()));
    {
        store::BulkUpdate bulk(target); // one index commit for the whole copy
        for (source.first(); !source.eof() && source.recNo() != 0; source.next()) {
            if (!copyOneRecord(source, target, result.nextNumber))
                ++result.damaged;
            progress_.step();
        }
    }
    target.close();
    result.ok = result.damaged == 0;
    return result;
}

bool DatabaseManager::copyLists(const QString &fromFolder, const QString &toFolder)
{
    auto listFiles = [](const QString &folder, int n) {
        const QString base = QStringLiteral("list%1").arg(n);
        return std::pair{store::resolveInFolder(folder, base + QStringLiteral(".dbf")), store::resolveInFolder(folder, base + QStringLiteral(".mdx"))};
    };
    bool copied = true;
    for (int n = 1;; ++n) {
        const auto [dbf, mdx] = listFiles(toFolder, n);
        if (!QFileInfo::exists(dbf) || !QFileInfo::exists(mdx))
            break;
        copied = QFile::remove(dbf) && copied;
        copied = QFile::remove(mdx) && copied;
    }
    for (int n = 1;; ++n) {
        const auto [dbf, mdx] = listFiles(fromFolder, n);
        if (!QFileInfo::exists(dbf) || !QFileInfo::exists(mdx))
            break;
        for (const QString &file : {dbf, mdx})
            copied = QFile::copy(file, QDir(toFolder).filePath(QFileInfo(file).fileName().toLower())) && copied;
    }
    return copied;
}

bool DatabaseManager::recordTableOpens()
{
    if (record_.isOpen())
        return true;
    const QString tag = record_.tagName();
    try {
        record_.open(inDatabaseFolder(location.tableFileName, tag));
        return true;
    } catch (const store::DatabaseError &error) {
        if (error.kind() != store::DatabaseErrorKind::Index) {
            logFailure(error);
            return false;
        }
    }
    mendIndex(location.tableFileName);
    try {
        record_.open(inDatabaseFolder(location.tableFileName));
        return true;
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        return false;
    }
}

bool DatabaseManager::openSecondHandle(store::Table &handle, const store::TableBinding &binding)
{
    try {
        handle.open(binding);
        return true;
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        return false;
    }
}

// A repair or restore killed while swapping tables is finished before anything looks
// at the record table's files or replaces the set-aside table, which until then may be
// the only whole copy.
OpenResult DatabaseManager::finishInterruptedMaintenance()
{
    return openWithRetries([&] { store::Table::finishInterruptedMaintenance(location.folder, location.tableFileName); }, false, location.tableFileName,
                           prompt_);
}

// Puts the work table a repair or restore filled in place of the record table, keeping
// the replaced one as the set-aside table. The counter is raised first, so whichever
// table a crash leaves in place, none of its numbers is handed out again.
void DatabaseManager::replaceRecordTableByWork(int nextNumber)
{
    ignoringErrors([&] { raiseMasterCounter(nextNumber); });
    store::Table::replaceTable(location.folder, location.tableFileName, kWorkFile, kSetAsideFile);
}

CopyResult DatabaseManager::repair()
{
    if (!finishInterruptedMaintenance() || !recordTableOpens())
        return {};
    store::Table source;
    try {
        createWorkTable(location.folder, true);
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        return {};
    }
    if (!openSecondHandle(source, inDatabaseFolder(location.tableFileName)))
        return {};
    record_.close();
    store::Table target;
    if (!openSecondHandle(target, inDatabaseFolder(kWorkFile, {}, true)))
        return {};
    CopyResult result = copyRecords(source, target);
    source.close();
    try {
        replaceRecordTableByWork(result.nextNumber);
        setMasterCounter(result.nextNumber);
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        return CopyResult{false, result.nextNumber, result.damaged};
    }
    applySortOrEntryOrder();
    return result;
}

CopyResult DatabaseManager::backup()
{
    if (!recordTableOpens())
        return {};
    store::Table source;
    if (!openSecondHandle(source, inDatabaseFolder(location.tableFileName)))
        return {};
    const QString backupFolder = QDir(location.folder).filePath(kBackupFolder);
    QDir().mkpath(backupFolder);
    // The new backup replaces the last one only once it is whole: a backup killed
    // half-way must not leave the user with half a backup.
    store::Table target;
    try {
        createWorkTable(backupFolder, false);
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        return {};
    }
    if (!openSecondHandle(target, {.folder = backupFolder, .fileName = kWorkFile, .exclusive = true}))
        return {};
    CopyResult result = copyRecords(source, target);
    try {
        store::Table::replaceTable(backupFolder, location.tableFileName, kWorkFile, kSetAsideFile);
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        return CopyResult{false, result.nextNumber, result.damaged};
    }
    ignoringErrors([&] { store::Table::deleteTable(backupFolder, kSetAsideFile); });
    if (!copyLists(location.folder, backupFolder))
        result.ok = false;
    return result;
}

CopyResult DatabaseManager::restore(bool lists)
{
    if (!finishInterruptedMaintenance() || !recordTableOpens())
        return {};
    const QString backupFolder = QDir(location.folder).filePath(kBackupFolder);
    store::Table source;
    if (!openSecondHandle(source, {.folder = backupFolder, .fileName = location.tableFileName}))
        return {};
    // The backup is copied into the work table first, so the record table stays whole
    // until the restored one is complete.
    try {
        createWorkTable(location.folder, true);
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        return {};
    }
    store::Table target;
    if (!openSecondHandle(target, inDatabaseFolder(kWorkFile, {}, true)))
        return {};
    record_.close();
    CopyResult result = copyRecords(source, target);
    source.close();
    try {
        replaceRecordTableByWork(result.nextNumber);
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        return CopyResult{false, result.nextNumber, result.damaged};
    }
    ignoringErrors([&] { setMasterCounter(result.nextNumber); });
    if (lists && !copyLists(backupFolder, location.folder))
        result.ok = false;
    applySortOrEntryOrder();
    return result;
}

} // namespace numora::database
