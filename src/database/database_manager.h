#pragma once
// Keeps the one open database: the master table, the copy buffer and the record table
// of a database folder. It opens or creates them, keeps the record table sorted by
// tags it makes on demand, applies the view range the filter state and letter tabs ask
// for, numbers new records, copies records to and from the copy buffer, and carries
// out reindex, pack, empty, repair, backup and restore.
//
// It runs on the user-interface thread; messages reach the user through the prompt,
// long passes report through the progress interface, and the main window learns of a
// new sort through a hook.

#include "core/progress.h"
#include "core/prompt.h"
#include "database/copy_buffer.h"
#include "database/database_location.h"
#include "database/open_retry.h"
#include "database/record_changes.h"
#include "database/sort_state.h"
#include "store/table.h"

#include <QChar>
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace numora::database {

// What a record-copying maintenance run reports.
struct [[nodiscard]] CopyResult {
    bool ok = false;
    int nextNumber = 1; // records posted + 1
    int damaged = 0;
};

// Where a damaged table was put (its data file's name), or why it could not be moved.
struct [[nodiscard]] SetAside {
    QString fileName;
    QString failure;
    explicit operator bool() const { return failure.isEmpty(); }
};

// What the database manager needs from the windows above it; every hook is optional.
struct DatabaseHooks {
    std::function<bool()> letterTabsOn;         // database option "letter tabs"
    std::function<void(bool)> displayUpdates;   // false suspends, true resumes
    std::function<void(bool)> busy;             // hourglass on or off
    std::function<QString(int column, QDate)> formatDate; // a date field in its own format
};

// Holds the hourglass for as long as it lives, so a pass that fails on a store error
// never leaves it behind.
class BusyScope {
public:
    explicit BusyScope(const DatabaseHooks &hooks) : busy_(hooks.busy)
    {
        if (busy_)
            busy_(true);
    }
    ~BusyScope()
    {
        if (busy_)
            busy_(false);
    }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    const std::function<void(bool)> &busy_;
};

class DatabaseManager {
public:
    static constexpr int LetterCount = 26;

    DatabaseManager(Prompt &prompt, Progress &progress);

    DatabaseHooks hooks;

    // Where the database lives. Set before openDatabase().
    QString programFolder;
    DatabaseLocation location{QStringLiteral("data.dbf"), {}};

    store::Table &recordTable() { return record_; }
    store::Table &copyBuffer() { return copy_.table(); }
    store::Table &master() { return master_; }
    // Every change to a record goes through here.
    RecordChanges &changes() { return changes_; }
    SortState &index() { return index_; }

    // Opens the master table, the copy buffer and the record table, making those that
    // are missing. A table that exists but cannot be opened is left as it is and the
    // open fails with the reason shown, unless it is damaged: then it is set aside under
    // the first free name of bad$$$.dbf, bad$$$1.dbf ... (never over an earlier one) and
    // a new, empty one is made.
    [[nodiscard]] bool openDatabase();
    void closeAll();
    // The open database's name as its master table row holds it.
    QString databaseName();

    // Sorting and viewing.
    [[nodiscard]] bool applySort();
    // After opening or a maintenance pass: a sort that cannot be applied has told the
    // user and leaves the order as it was.
    void applySortOrEntryOrder();
    [[nodiscard]] bool changeSort(const SortDescriptor &descriptor);
    // False, with the former state kept, when the table cannot take the new one.
    [[nodiscard]] bool setFilterState(FilterState state);
    FilterState filterState() const { return filterState_; }
    [[nodiscard]] bool saveSort();
    // True when the range is the letter's; false when letter tabs cannot be used.
    bool viewRange(std::optional<QChar> letter);
    void countLetters();
    void recountLetter(QChar letter);
    quint32 letterCount(QChar letter) const;
    bool letterTabsUsable() const;

    bool gotoPosition(qint64 position); // false: no record table is open
    QChar recordLetter() const; // 0 when the primary sort column is not text
    QChar recordLetter(const store::Table &table) const; // of another handle's current record
    quint32 recordCount();

    // Copy buffer. A failure has been shown to the user when these return false.
    [[nodiscard]] bool copyRecord(qint64 position);
    [[nodiscard]] bool pasteRecord(qint64 position);
    [[nodiscard]] bool copyBufferFilled() const { return copy_.filled(); }

    // Tables from the templates of the program folder. DatabaseError when the table
    // cannot be made or one of its files exists already: nothing is replaced.
    void createTable(const QString &path, bool keepTags);
    void createMaster();
    // The lowest data_<n>.dbf (1..999) the master table does not list; empty when all are.
    QString freeRecordTableName();

    // Maintenance of the record table.
    [[nodiscard]] bool reindex();
    [[nodiscard]] bool pack();
    [[nodiscard]] bool empty();
    CopyResult repair();
    CopyResult backup();
    CopyResult restore(bool lists);
    CopyResult copyRecords(store::Table &source, store::Table &target);
    // Replaces the lookup lists of `toFolder` by those of `fromFolder`; false when a
    // list could not be removed or copied.
    [[nodiscard]] bool copyLists(const QString &fromFolder, const QString &toFolder);

    // Column sets of the open record table.
    const std::vector<int> &textColumns() const { return textColumns_; }
    const std::vector<int> &memoColumns() const { return memoColumns_; }
    const std::vector<int> &binaryColumns() const { return binaryColumns_; }
    int decimals(int column) const;

    bool indexErrorSilence() const { return indexErrorSilence_; }

private:
    store::TableBinding inDatabaseFolder(const QString &fileName, const QString &tag = {}, bool exclusive = false) const;
    OpenResult openNamed(store::Table &table, const store::TableBinding &binding);
    // Opens the table, making it with `make` when it does not exist and setting it aside
    // first when it is damaged.
    OpenResult openOrMake(store::Table &table, const store::TableBinding &binding, const std::function<void()> &make);
    OpenResult openMaster();
    OpenResult openCopyBuffer();
    void createFromTemplate(const QString &templateName, const QString &path);
    void createWorkTable(const QString &folder, bool keepTags);
    QString freeSetAsideName() const;
    SetAside setAsideDamaged(const QString &fileName);
    bool mendIndex(const QString &fileName);
    void openSortTag(const QString &tagName);
    void rescueIndex(const QString &fileName);
    void removeIndexOf(const QString &path);
    void regenerateQuietly(const QString &fileName);
    [[nodiscard]] bool openOrCreateRecordTable();
    OpenResult openRecordTable();
    void tellOfDamage(const QString &damage);
    [[nodiscard]] bool createRecordTableAnew(const QString &notice, const QString &reason);
    void deriveColumnSets();
    void recordDecimals();
    [[nodiscard]] bool findMasterRow();
    void findOrAddMasterRow();
    void addMasterRow(qint64 lastNumber);
    qint64 highestRecordNumber();
    void setMasterCounter(int value);
    void moveLetterCount(QChar from, QChar to);
    void raiseMasterCounter(int atLeast);
    OpenResult finishInterruptedMaintenance();
    void replaceRecordTableByWork(int nextNumber);
    bool reopenForMaintenance(const std::function<void(store::Table &)> &work, bool keepTag);
    [[nodiscard]] bool copyOneRecord(store::Table &source, store::Table &target, int &number);
    [[nodiscard]] bool openSecondHandle(store::Table &handle, const store::TableBinding &binding);
    QString databasePath(const QString &fileName) const;
    QString templatePath(const QString &fileName) const;
    QString sortFilePath() const;
    void reportIndexFailure();
    [[nodiscard]] bool recordTableOpens();

    Prompt &prompt_;
    Progress &progress_;
    store::Table record_;
    store::Table master_;
    CopyBuffer copy_;
    RecordChanges changes_;
    SortState index_;
    FilterState filterState_ = FilterState::AllRecords;
    bool indexErrorSilence_ = true;
    std::array<quint32, LetterCount> letterCounts_{};
    std::vector<int> textColumns_;
    std::vector<int> memoColumns_;
    std::vector<int> binaryColumns_;
    std::map<int, int> decimals_;
    std::optional<qint64> highestNumber_; // of the record table's numbers, once read since the open
};

} // namespace numora::database
