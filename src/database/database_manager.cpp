#include "database/database_manager.h"

#include "store/folder_lookup.h"
#include "core/log_categories.h"
#include "database/open_retry.h"
#include "database/record_schema.h"
#include "store/store_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

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
const QString kBadFile = QStringLiteral("bad$$$");
const QString kBackupFolder = QStringLiteral("BACKUP");

QString baseName(const QString &fileName) { return QFileInfo(fileName).completeBaseName(); }

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
    : prompt_(prompt), progress_(progress), changes_(master_, prompt)
{
    changes_.attach(record_);
}

QString DatabaseManager::databasePath(const QString &fileName) const { return store::resolveInFolder(location.folder, fileName); }

QString DatabaseManager::templatePath(const QString &fileName) const { return store::resolveInFolder(programFolder, fileName); }

QString DatabaseManager::sortFilePath() const { return databasePath(baseName(location.tableFileName) + QStringLiteral(".idx")); }

void DatabaseManager::setBusy(bool on)
{
    if (hooks.busy)
        hooks.busy(on);
}

// ---------------------------------------------------------------------------
// Opening tables

store::TableBinding DatabaseManager::inDatabaseFolder(const QString &fileName, const QString &tag, bool exclusive) const
{
    return {.folder = location.folder, .fileName = fileName, .tagName = tag, .exclusive = exclusive};
}

bool DatabaseManager::openNamed(store::Table &table, const store::TableBinding &binding)
{
    const QString &fileName = binding.fileName;
    const bool exclusive = binding.exclusive;
    if (!store::existsInFolder(location.folder, fileName))
        return false;
    table.close();
    table.bind(binding);
    try {
        table.open();
        return true;
    } catch (const store::DatabaseError &error) {
        // A table another user holds is left alone: replacing its index would break
        // theirs. Anything else may be a bad index, which is rebuilt.
        if (error.kind() != store::DatabaseErrorKind::InUse) {
            rescueIndex(fileName);
            regenerateQuietly(fileName);
        }
    }
    return openWithRetries([&] { table.open(); }, exclusive, fileName, prompt_);
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

void DatabaseManager::createTable(const QString &path, bool keepTags)
{
    const QFileInfo target(path);
    store::Table::deleteTable(target.path(), target.fileName());
    store::Table::copyTable(templatePath(kDataTemplate), path);
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

void DatabaseManager::createMaster()
{
    store::Table::deleteTable(location.folder, kMasterFile);
    store::Table::copyTable(templatePath(kMasterFile), QDir(location.folder).filePath(kMasterFile));
}

// ---------------------------------------------------------------------------
// Open database

bool DatabaseManager::openDatabase()
{
    if (!openMaster()) {
        prompt_.inform(QStringLiteral("Could not Open the Master.dbf file!"), MessageKind::Error);
        return false;
    }
    if (!openCopyBuffer()) {
        prompt_.inform(QStringLiteral("Could not Open the Copy/Paste file!"), MessageKind::Error);
        return false;
    }
    record_.close();
    record_.bind(inDatabaseFolder(location.tableFileName));
    // A repair or restore killed while swapping tables may have left no data file for a
    // moment, which must not be mistaken for a missing database.
    if (!finishInterruptedMaintenance())
        return false;
    if (!openRecordTable() && !createRecordTableAnew())
        return false;
    recordDecimals();
    try {
        findOrAddMasterRow();
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        // The row is made again at the next open; the database itself is usable.
    }
    indexErrorSilence_ = false;
    return true;
}

// The master handle always uses tag "IDX0".
bool DatabaseManager::openMaster()
{
    master_.close();
    if (openNamed(master_, inDatabaseFolder(kMasterFile, kMasterTag)))
        return true;
    try {
        createMaster();
        master_.open(inDatabaseFolder(kMasterFile, kMasterTag));
        return true;
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        return false;
    }
}

// The copy buffer is never left empty: its first row is the buffer itself.
bool DatabaseManager::openCopyBuffer()
{
    store::Table &copy = copy_.table();
    copy.close();
    try {
        if (!openNamed(copy, inDatabaseFolder(kCopyFile))) {
            createTable(QDir(location.folder).filePath(kCopyFile), false);
            copy.open(inDatabaseFolder(kCopyFile));
        }
        if (copy.isEmpty()) {
            copy.append();
            copy.post();
        }
        return true;
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        return false;
    }
}

bool DatabaseManager::openRecordTable()
{
    const QString memoName = baseName(location.tableFileName) + QStringLiteral(".dbt");
    if (!store::existsInFolder(location.folder, memoName) || !openNamed(record_, inDatabaseFolder(location.tableFileName)))
        return false;
    deriveColumnSets();
    index_.descriptor = SortState::load(sortFilePath());
    index_.keepForUndo();
    applySortOrEntryOrder();
    return true;
}

bool DatabaseManager::createRecordTableAnew()
{
    prompt_.inform(QStringLiteral("Could not Open the database! A new database will be created. The original file (if existed) was renamed to BAD$$$.DBF."),
                   MessageKind::Warning);
    try {
        record_.close();
        ignoringErrors([&] { store::Table::deleteTable(location.folder, kBadFile + QStringLiteral(".dbf")); });
        for (const char *extension : {".dbf", ".dbt", ".mdx"}) {
            const QString from = databasePath(baseName(location.tableFileName) + QLatin1String(extension));
            const QString to = QDir(location.folder).filePath(kBadFile + QLatin1String(extension));
            if (QFileInfo::exists(from)) {
                QFile::remove(to);
                QFile::rename(from, to);
            }
        }
        createTable(QDir(location.folder).filePath(location.tableFileName), true);
        index_.descriptor = {};
        index_.keepForUndo();
        record_.open(inDatabaseFolder(location.tableFileName));
        deriveColumnSets();
        applySortOrEntryOrder();
        return true;
    } catch (const store::DatabaseError &error) {
        logFailure(error);
        prompt_.inform(QStringLiteral("Could not Open the new database!"), MessageKind::Error);
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

void DatabaseManager::findOrAddMasterRow()
{
    if (master_.findKey(location.tableFileName) && master_.text(0).compare(location.tableFileName, Qt::CaseInsensitive) == 0)
        return;
    master_.append();
    master_.setText(0, location.tableFileName);
    master_.setText(1, location.tableFileName);
    master_.setInteger(master_column::LastNumber, 1);
    master_.post();
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
    if (!master_.findKey(location.tableFileName)) {
        findOrAddMasterRow();
    }
    master_.edit();
    master_.setInteger(master_column::LastNumber, value);
    master_.post();
}

void DatabaseManager::raiseMasterCounter(int atLeast)
{
    if (master_.isOpen() && master_.findKey(location.tableFileName) && master_.integer(master_column::LastNumber) < atLeast)
        setMasterCounter(atLeast);
}

QString DatabaseManager::databaseName()
{
    if (master_.isOpen() && master_.findKey(location.tableFileName))
        return master_.text(1);
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
            if (!openNamed(record_, inDatabaseFolder(location.tableFileName, {}, true)))
                throw store::DatabaseError(QStringLiteral("No exclusive use."));
            record_.addTag(store::TagDefinition{tagName, wanted.expression, wanted.descending});
        }
        record_.open(inDatabaseFolder(location.tableFileName, tagName));
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
    setBusy(false);
    if (!indexErrorSilence_)
        prompt_.inform(QStringLiteral("Unable to create Index!\rDatabase may be used by someone else - this function requires Exclusive Database Use."),
                       MessageKind::Error, reason);
    else
        qCInfo(lcDatabase) << "the sort could not be applied:" << reason;
    return false;
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
    setBusy(true);
    for (int slot = LetterCount - 1; slot >= 0; --slot)
        recountLetter(QChar('A' + slot));
    setBusy(false);
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
    const QString text = table.text(primary);
    const QChar initial = text.isEmpty() ? QChar('A') : text.front().toUpper();
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
    if (openNamed(record_, inDatabaseFolder(location.tableFileName, {}, true))) {
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
        if (error.kind() == store::DatabaseErrorKind::InUse)
            return false;
    }
    rescueIndex(location.tableFileName);
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
bool DatabaseManager::finishInterruptedMaintenance()
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
    const QString work = QDir(location.folder).filePath(kWorkFile);
    store::Table source;
    try {
        createTable(work, true);
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
        createTable(QDir(backupFolder).filePath(kWorkFile), false);
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
        createTable(QDir(location.folder).filePath(kWorkFile), true);
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
