// numora-dbf: looks inside a table's data, memo and index files, checks that they agree
// and rebuilds the index.
//   numora-dbf info FILE
//   numora-dbf dump FILE [--tag NAME] [--csv]
//   numora-dbf check FILE
//   numora-dbf reindex FILE
// Exit codes: 0 all well, 1 problems found (check, damaged values in a dump), 2 usage
// errors and tables that cannot be opened at all.

#include "store/dbf_file.h"
#include "store/file_lock.h"
#include "store/folder_lookup.h"
#include "store/index_file.h"
#include "store/key_expression.h"
#include "store/memo_file.h"
#include "store/record_buffer.h"
#include "store/store_error.h"
#include "store/table.h"

#include <QFileInfo>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>

namespace {

using namespace numora::store;

enum ExitCode { AllWell = 0, ProblemsFound = 1, CannotRun = 2 };

constexpr const char *Usage = "usage: numora-dbf info FILE\n"
                              "       numora-dbf dump FILE [--tag NAME] [--csv]\n"
                              "       numora-dbf check FILE\n"
                              "       numora-dbf reindex FILE\n";

// A wrong command line or a table that cannot be opened at all: exit code 2.
struct CannotRunError {
    QString message;
    bool showUsage = false;
};

void printLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void printError(const QString &message)
{
    const QByteArray bytes = "numora-dbf: " + message.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

// ---------------------------------------------------------------------------
// The files of one table, found the way the store finds them (letter case ignored).

struct TableFiles {
    QString folder;
    QString fileName;
    QString dbf;
    QString dbt;
    QString mdx;

    static TableFiles locate(const QString &argument)
    {
        const QFileInfo given(argument);
        TableFiles files;
        files.folder = given.absolutePath();
        files.dbf = resolveInFolder(files.folder, given.fileName());
        if (!QFileInfo(files.dbf).isFile())
            throw CannotRunError{QStringLiteral("%1: no such table").arg(argument)};
        const QFileInfo actual(files.dbf);
        files.fileName = actual.fileName();
        files.dbt =
            resolveInFolder(files.folder, actual.completeBaseName() + QStringLiteral(".dbt"));
        files.mdx =
            resolveInFolder(files.folder, actual.completeBaseName() + QStringLiteral(".mdx"));
        return files;
    }
};

std::unique_ptr<DbfFile> openDataFile(const TableFiles &files)
{
    try {
        return std::make_unique<DbfFile>(files.dbf, false);
    } catch (const DatabaseError &error) {
        throw CannotRunError{QStringLiteral("%1: %2").arg(files.dbf, error.message())};
    }
}

// Calls `visit` with every record's bytes, in record number order. Reads in chunks: a
// table of a hundred thousand records would otherwise take as many reads.
void forEachRecord(const DbfFile &dbf, quint32 count,
                   const std::function<void(quint32, QByteArrayView)> &visit)
{
    constexpr quint32 ChunkRecords = 512;
    const int length = dbf.layout().recordLength;
    QByteArray chunk;
    for (quint32 first = 1; first <= count; first += ChunkRecords) {
        const quint32 inChunk = std::min(ChunkRecords, count - first + 1);
        dbf.readRecords(first, inChunk, chunk);
        for (quint32 i = 0; i < inChunk; ++i)
            visit(first + i, QByteArrayView(chunk).sliced(qsizetype(i) * length, length));
    }
}

bool isDeleted(QByteArrayView record) { return record[0] == '*'; }

// ---------------------------------------------------------------------------
// info

QString versionName(quint8 version)
{
    switch (version) {
    case 0x03:
        return QStringLiteral("dBASE III/IV, no memo");
    case 0x04:
        return QStringLiteral("dBASE IV, no memo");
    case 0x83:
        return QStringLiteral("dBASE III with memo");
    case 0x8B:
        return QStringLiteral("dBASE IV with memo");
    case 0xF5:
        return QStringLiteral("FoxPro with memo");
    default:
        return QStringLiteral("unknown");
    }
}

QString encodingName(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf8 ? QStringLiteral("UTF-8")
                                          : QStringLiteral("Windows-1252");
}

QString hexByte(quint8 value)
{
    return QStringLiteral("0x") +
           QString::number(value, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

void printColumns(const FieldList &fields)
{
    printLine(QStringLiteral("Columns:"));
    for (size_t i = 0; i < fields.size(); ++i) {
        const FieldDescriptor &field = fields[i];
        printLine(QStringLiteral("  %1  %2 %3 %4 %5")
                      .arg(i + 1, 3)
                      .arg(field.name, -10)
                      .arg(QChar::fromLatin1(char(field.type)))
                      .arg(field.width, 4)
                      .arg(field.decimals, 2));
    }
}

void printIndex(const TableFiles &files, quint32 recordCount)
{
    if (!QFileInfo::exists(files.mdx)) {
        printLine(QStringLiteral("Index:           none"));
        return;
    }
    try {
        const IndexFile index(files.mdx, false);
        const bool consistent = !index.isDirty() && index.isConsistent(recordCount)
                                && index.keyVersion() == KeyExpression::KeysVersion;
        printLine(QStringLiteral("Index:           %1, %2")
                      .arg(QFileInfo(files.mdx).fileName(), consistent
                                                                ? QStringLiteral("consistent")
                                                                : QStringLiteral("OUT OF DATE")));
        printLine(QStringLiteral("Tags:"));
        for (const TagDefinition &tag : index.tags())
            printLine(QStringLiteral("  %1  %2%3")
                          .arg(tag.name, -10)
                          .arg(tag.expression,
                               tag.descending ? QStringLiteral("  (descending)") : QString()));
    } catch (const DatabaseError &error) {
        printLine(QStringLiteral("Index:           %1 cannot be read: %2")
                      .arg(QFileInfo(files.mdx).fileName(), error.message()));
    }
}

int runInfo(const TableFiles &files)
{
    const auto dbf = openDataFile(files);
    const DbfLayout &layout = dbf->layout();
    const ScopedLock noWritesMeanwhile(dbf->fd(), lock_region::Write, 1, LockKind::Shared);
    const RecordCount records = dbf->countRecords();
    const quint32 count = records.usable;
    quint32 deleted = 0;
    forEachRecord(*dbf, count,
                  [&](quint32, QByteArrayView record) { deleted += isDeleted(record) ? 1 : 0; });
    const QDate lastUpdate = dbf->readLastUpdate();

    printLine(QStringLiteral("File:            %1").arg(files.dbf));
    printLine(QStringLiteral("Version:         %1 (%2)")
                  .arg(hexByte(layout.version), versionName(layout.version)));
    printLine(QStringLiteral("Language driver: %1 (%2)")
                  .arg(hexByte(layout.languageDriver), encodingName(layout.codec.encoding())));
    printLine(QStringLiteral("Records:         %1 (%2 deleted)").arg(count).arg(deleted));
    if (records.isCutShort())
        printLine(QStringLiteral("Damage:          %1").arg(records.damage));
    printLine(
        QStringLiteral("Last update:     %1")
            .arg(lastUpdate.isValid() ? lastUpdate.toString(Qt::ISODate) : QStringLiteral("none")));
    printLine(QStringLiteral("Header length:   %1").arg(layout.headerLength));
    printLine(QStringLiteral("Record length:   %1").arg(layout.recordLength));
    printColumns(layout.fields);
    printIndex(files, count);
    return AllWell;
}

// ---------------------------------------------------------------------------
// dump

QString escapeForLine(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            escaped += QLatin1String("\\\\");
            break;
        case '\n':
            escaped += QLatin1String("\\n");
            break;
        case '\r':
            escaped += QLatin1String("\\r");
            break;
        case '\t':
            escaped += QLatin1String("\\t");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString quoteForCsv(const QString &text)
{
    static const QString needQuotes = QStringLiteral(",\"\r\n");
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return needQuotes.contains(c); }))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

struct DumpOptions {
    QString tag;
    bool csv = false;
};

// Writes one line per record: the record number, then every column.
class RecordPrinter {
public:
    RecordPrinter(const Table &table, bool csv) : table_(table), csv_(csv) {}

    void printHeader() const
    {
        QStringList names{QStringLiteral("RECNO")};
        for (const FieldDescriptor &field : table_.fields())
            names << field.name;
        printRow(names);
    }

    // Returns false when a memo or binary value of the record could not be read.
    bool printCurrent() const
    {
        bool readable = true;
        QStringList values{QString::number(table_.recNo())};
        for (int column = 0; column < int(table_.fields().size()); ++column) {
            try {
                values << value(column);
            } catch (const EngineError &error) {
                printError(QStringLiteral("record %1, column %2: %3")
                               .arg(table_.recNo())
                               .arg(table_.fields()[size_t(column)].name, error.message()));
                values << QStringLiteral("<damaged>");
                readable = false;
            }
        }
        printRow(values);
        return readable;
    }

private:
    QString value(int column) const
    {
        if (table_.fields()[size_t(column)].type != FieldType::Binary)
            return table_.text(column);
        const qsizetype size = table_.bytes(column).size();
        return size == 0 ? QString() : QStringLiteral("<%1 bytes>").arg(size);
    }

    void printRow(QStringList values) const
    {
        for (QString &value : values)
            value = csv_ ? quoteForCsv(value) : escapeForLine(value);
        printLine(values.join(csv_ ? QStringLiteral(",") : QStringLiteral(" | ")));
    }

    const Table &table_;
    bool csv_;
};

void openTable(Table &table, const TableFiles &files, const QString &tag, bool exclusive)
{
    table.bind({.folder = files.folder, .fileName = files.fileName, .tagName = tag, .exclusive = exclusive});
    try {
        table.open();
    } catch (const DatabaseError &error) {
        throw CannotRunError{error.message()};
    }
}

int runDump(const TableFiles &files, const DumpOptions &options)
{
    Table table;
    openTable(table, files, options.tag, false);
    const RecordPrinter printer(table, options.csv);
    printer.printHeader();
    bool allReadable = true;
    for (table.first(); !table.eof(); table.next())
        allReadable = printer.printCurrent() && allReadable;
    if (!table.damage().isEmpty()) {
        printError(table.damage());
        return ProblemsFound;
    }
    return allReadable ? AllWell : ProblemsFound;
}

// ---------------------------------------------------------------------------
// check

// One record as a key expression reads it. A memo value that cannot be read counts as
// empty here; the memo check reports it.
class StoredRecord : public KeyRecordSource {
public:
    StoredRecord(const RecordBuffer &record, const MemoFile *memo) : record_(record), memo_(memo) {}
    QByteArrayView rawField(int column) const override { return record_.rawField(column); }
    QByteArray memoBytes(int column) const override
    {
        const quint32 block = record_.memoBlock(column);
        if (block == 0 || !memo_)
            return {};
        try {
            return memo_->read(block);
        } catch (const EngineError &) {
            return {};
        }
    }

private:
    const RecordBuffer &record_;
    const MemoFile *memo_;
};

int compareKeys(QByteArrayView a, QByteArrayView b)
{
    const int common = std::memcmp(a.data(), b.data(), size_t(std::min(a.size(), b.size())));
    if (common != 0)
        return common;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// Whether `later` may follow `earlier` in a tag: keys in order (reversed when
// descending), equal keys by record number ascending.
bool inTagOrder(const IndexEntry &earlier, const IndexEntry &later, bool descending)
{
    const int order = compareKeys(earlier.key, later.key) * (descending ? -1 : 1);
    return order < 0 || (order == 0 && earlier.recno < later.recno);
}

// Collects problem lines, keeping each tag's share short: one broken tag can otherwise
// bury every other finding under a hundred thousand lines.
class ProblemList {
public:
    void add(const QString &line) { lines_ << line; }

    void addForTag(const QString &tag, const QString &line)
    {
        int &count = perTag_[tag];
        if (++count <= MaxLinesPerTag)
            add(QStringLiteral("tag %1: %2").arg(tag, line));
    }

    void closeTag(const QString &tag)
    {
        const int count = perTag_.value(tag);
        if (count > MaxLinesPerTag)
            add(QStringLiteral("tag %1: %2 more problems").arg(tag).arg(count - MaxLinesPerTag));
    }

    const QStringList &lines() const { return lines_; }

private:
    static constexpr int MaxLinesPerTag = 20;
    QStringList lines_;
    QHash<QString, int> perTag_;
};

class TableCheck {
public:
    explicit TableCheck(const TableFiles &files) : files_(files) {}

    // Returns a line per problem; none when the table is sound.
    QStringList run()
    {
        try {
            dbf_ = std::make_unique<DbfFile>(files_.dbf, false);
        } catch (const DatabaseError &error) {
            problems_.add(QStringLiteral("data file: %1").arg(error.message()));
            return problems_.lines();
        }
        const ScopedLock noWritesMeanwhile(dbf_->fd(), lock_region::Write, 1, LockKind::Shared);
        // A data file cut short is checked up to its last whole record.
        const RecordCount records = dbf_->countRecords();
        recordCount_ = records.usable;
        if (records.isCutShort())
            problems_.add(QStringLiteral("data file: %1").arg(records.damage));
        openMemoFile();
        const bool indexUsable = openIndexFile();
        if (!readRecords())
            return problems_.lines();
        if (indexUsable)
            checkTags();
        return problems_.lines();
    }

    QString summary() const
    {
        return QStringLiteral("ok: %1 records (%2 deleted), %3 tags checked")
            .arg(recordCount_)
            .arg(recordCount_ - liveCount_)
            .arg(tagsChecked_);
    }

private:
    void openMemoFile()
    {
        if (!dbf_->layout().hasMemoColumns())
            return;
        if (!QFileInfo::exists(files_.dbt)) {
            problems_.add(
                QStringLiteral("memo file: %1 is missing").arg(QFileInfo(files_.dbt).fileName()));
            return;
        }
        try {
            memo_ = std::make_unique<MemoFile>(files_.dbt, false);
        } catch (const DatabaseError &error) {
            problems_.add(QStringLiteral("memo file: %1").arg(error.message()));
        }
    }

    // Returns whether the tags' entries can be compared with the records.
    bool openIndexFile()
    {
        if (!QFileInfo::exists(files_.mdx))
            return false;
        try {
            index_ = std::make_unique<IndexFile>(files_.mdx, false);
        } catch (const DatabaseError &error) {
            problems_.add(QStringLiteral("index file: %1").arg(error.message()));
            return false;
        }
        if (index_->isDirty()) {
            problems_.add(QStringLiteral("index file: an update was interrupted; run reindex"));
            return false;
        }
        if (!index_->isConsistent(recordCount_)) {
            problems_.add(
                QStringLiteral(
                    "index file: it reflects %1 records but the data file holds %2; run reindex")
                    .arg(index_->dataRecordCount())
                    .arg(recordCount_));
            return false;
        }
        if (index_->keyVersion() != KeyExpression::KeysVersion) {
            // Its keys were computed another way, so comparing them with ours would
            // report every accented entry as wrong.
            problems_.add(QStringLiteral("index file: its keys are of version %1, this program "
                                         "computes version %2; run reindex")
                              .arg(index_->keyVersion())
                              .arg(KeyExpression::KeysVersion));
            return false;
        }
        compileTagExpressions();
        return true;
    }

    void compileTagExpressions()
    {
        const DbfLayout &layout = dbf_->layout();
        for (const TagDefinition &tag : index_->tags()) {
            try {
                expressions_.push_back(
                    KeyExpression::compile(tag.expression, layout.fields, layout.codec.encoding()));
            } catch (const DatabaseError &error) {
                expressions_.push_back(std::nullopt);
                problems_.add(QStringLiteral("tag %1: its expression %2 does not compile: %3")
                                  .arg(tag.name, tag.expression, error.message()));
            }
        }
        keys_.assign(expressions_.size(), std::vector<QByteArray>(size_t(recordCount_) + 1));
    }

    // One pass over the records: deletion flags, memo pointers and every tag's key.
    // Returns false when the records cannot be read at all.
    bool readRecords()
    {
        live_.assign(size_t(recordCount_) + 1, false);
        const auto layout = dbf_->sharedLayout();
        try {
            forEachRecord(*dbf_, recordCount_, [&](quint32 recno, QByteArrayView bytes) {
                if (bytes[0] != ' ' && bytes[0] != '*')
                    problems_.add(QStringLiteral("record %1: its deletion flag is %2")
                                      .arg(recno)
                                      .arg(hexByte(quint8(bytes[0]))));
                if (isDeleted(bytes))
                    return;
                live_[recno] = true;
                ++liveCount_;
                const RecordBuffer record(layout, bytes.toByteArray());
                checkMemoValues(recno, record);
                computeKeys(recno, record);
            });
        } catch (const DatabaseError &error) {
            problems_.add(QStringLiteral("data file: %1").arg(error.message()));
            return false;
        }
        return true;
    }

    void checkMemoValues(quint32 recno, const RecordBuffer &record)
    {
        if (!memo_)
            return;
        const FieldList &fields = dbf_->layout().fields;
        for (int column = 0; column < int(fields.size()); ++column) {
            if (!isMemoType(fields[size_t(column)].type))
                continue;
            // EngineError for a damaged value, DatabaseError for a garbled pointer.
            try {
                const quint32 block = record.memoBlock(column);
                if (block != 0)
                    memo_->read(block);
            } catch (const std::runtime_error &error) {
                problems_.add(
                    QStringLiteral("record %1, column %2: %3")
                        .arg(recno)
                        .arg(fields[size_t(column)].name, QString::fromUtf8(error.what())));
            }
        }
    }

    void computeKeys(quint32 recno, const RecordBuffer &record)
    {
        const StoredRecord source(record, memo_.get());
        for (size_t tag = 0; tag < expressions_.size(); ++tag)
            if (expressions_[tag])
                keys_[tag][recno] = expressions_[tag]->evaluate(source);
    }

    // A damaged page ends the walk of its tag, not the check: the other tags are still
    // worth a look.
    void checkTags()
    {
        for (int tag = 0; tag < int(expressions_.size()); ++tag) {
            if (!expressions_[size_t(tag)])
                continue;
            const QString &name = index_->tags()[size_t(tag)].name;
            try {
                checkTag(tag);
                ++tagsChecked_;
            } catch (const DatabaseError &error) {
                problems_.addForTag(name, error.message());
                problems_.closeTag(name);
            }
        }
    }

    // Walks the tag once. Its entries must be in order and each must carry the current
    // key of a distinct live record; with as many entries as live records, that covers
    // every record.
    void checkTag(int tag)
    {
        const TagDefinition &definition = index_->tags()[size_t(tag)];
        const QString &name = definition.name;
        const quint32 entries = index_->entryCount(tag);
        if (entries != liveCount_)
            problems_.addForTag(name, QStringLiteral("it holds %1 entries for %2 live records")
                                          .arg(entries)
                                          .arg(liveCount_));
        std::vector<bool> seen(size_t(recordCount_) + 1, false);
        std::optional<IndexEntry> previous;
        for (quint32 ordinal = 0; ordinal < entries; ++ordinal) {
            IndexEntry entry = index_->entryAt(tag, ordinal);
            if (previous && !inTagOrder(*previous, entry, definition.descending))
                problems_.addForTag(
                    name, QStringLiteral("the entry at position %1 (record %2) is out of order")
                              .arg(ordinal)
                              .arg(entry.recno));
            checkEntry(tag, entry, seen);
            previous = std::move(entry);
        }
        for (quint32 recno = 1; recno <= recordCount_; ++recno)
            if (live_[recno] && !seen[recno])
                problems_.addForTag(name, QStringLiteral("record %1 is missing").arg(recno));
        problems_.closeTag(name);
    }

    void checkEntry(int tag, const IndexEntry &entry, std::vector<bool> &seen)
    {
        const QString &name = index_->tags()[size_t(tag)].name;
        if (entry.recno == 0 || entry.recno > recordCount_) {
            problems_.addForTag(name,
                                QStringLiteral("an entry points to record %1, which does not exist")
                                    .arg(entry.recno));
        } else if (!live_[entry.recno]) {
            problems_.addForTag(
                name,
                QStringLiteral("an entry points to record %1, which is deleted").arg(entry.recno));
        } else if (seen[entry.recno]) {
            problems_.addForTag(
                name, QStringLiteral("record %1 has more than one entry").arg(entry.recno));
        } else {
            seen[entry.recno] = true;
            if (entry.key != keys_[size_t(tag)][entry.recno])
                problems_.addForTag(name,
                                    QStringLiteral("the entry of record %1 holds an outdated key")
                                        .arg(entry.recno));
        }
    }

    const TableFiles &files_;
    std::unique_ptr<DbfFile> dbf_;
    std::unique_ptr<MemoFile> memo_;
    std::unique_ptr<IndexFile> index_;
    std::vector<std::optional<KeyExpression>> expressions_; // none for a tag that does not compile
    std::vector<std::vector<QByteArray>> keys_;             // [tag][recno], live records only
    std::vector<bool> live_;                                // [recno]
    quint32 recordCount_ = 0;
    quint32 liveCount_ = 0;
    int tagsChecked_ = 0;
    ProblemList problems_;
};

int runCheck(const TableFiles &files)
{
    TableCheck check(files);
    const QStringList problems = check.run();
    for (const QString &problem : problems)
        printLine(problem);
    if (!problems.isEmpty())
        return ProblemsFound;
    printLine(check.summary());
    return AllWell;
}

// ---------------------------------------------------------------------------
// reindex

int runReindex(const TableFiles &files)
{
    Table table;
    openTable(table, files, QString(), true);
    const std::vector<TagDefinition> tags = table.tags();
    if (tags.empty()) {
        printLine(QStringLiteral("%1 has no index tags; nothing to rebuild").arg(files.fileName));
        return AllWell;
    }
    try {
        table.regenerateIndexes();
        table.flush();
    } catch (const DatabaseError &error) {
        throw CannotRunError{error.message()};
    }
    QStringList names;
    for (const TagDefinition &tag : tags)
        names << tag.name;
    printLine(QStringLiteral("rebuilt %1 tags of %2 over %3 records: %4")
                  .arg(tags.size())
                  .arg(files.fileName)
                  .arg(table.recordCount())
                  .arg(names.join(QStringLiteral(", "))));
    return AllWell;
}

// ---------------------------------------------------------------------------
// Command line

DumpOptions parseDumpOptions(const QStringList &arguments)
{
    DumpOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--csv"))
            options.csv = true;
        else if (arguments[i] == QLatin1String("--tag") && i + 1 < arguments.size())
            options.tag = arguments[++i];
        else
            throw CannotRunError{QStringLiteral("dump: unexpected argument %1").arg(arguments[i]),
                                 true};
    }
    return options;
}

int runCommand(const QStringList &arguments)
{
    if (arguments.size() < 2)
        throw CannotRunError{QStringLiteral("a command and a FILE are needed"), true};
    const QString &command = arguments[0];
    const QStringList options = arguments.mid(2);
    const bool takesOptions = command == QLatin1String("dump");
    if (!takesOptions && !options.isEmpty())
        throw CannotRunError{
            QStringLiteral("%1: unexpected argument %2").arg(command, options.first()), true};
    const auto files = [&] { return TableFiles::locate(arguments[1]); };
    if (command == QLatin1String("info"))
        return runInfo(files());
    if (command == QLatin1String("dump"))
        return runDump(files(), parseDumpOptions(options));
    if (command == QLatin1String("check"))
        return runCheck(files());
    if (command == QLatin1String("reindex"))
        return runReindex(files());
    throw CannotRunError{QStringLiteral("unknown command %1").arg(command), true};
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    try {
        return runCommand(arguments);
    } catch (const CannotRunError &error) {
        printError(error.message);
        if (error.showUsage)
            std::fputs(Usage, stderr);
        return CannotRun;
    } catch (const DatabaseError &error) {
        printError(error.message());
        return CannotRun;
    }
}
