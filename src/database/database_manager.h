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
struct CopyResult {
    bool ok = false;
    int nextNumber = 1; // records posted + 1
    int damaged = 0;
};

// What the database manager needs from the windows above it; every hook is optional.
struct DatabaseHooks {
    std::function<void()> sortApplied;          // recount letters, refresh the list
    std::function<void()> loadFilter;           // the database's saved filter
    std::function<void()> clearFilter;
    std::function<bool()> letterTabsOn;         // database option "letter tabs"
    std::function<void(bool)> displayUpdates;   // false suspends, true resumes
    std::function<void(bool)> busy;             // hourglass on or off
    std::function<QString(int column, QDate)> formatDate; // a date field in its own format
};

class DatabaseManager {
public:
    static constexpr int LetterCount = 26;

    DatabaseManager(Prompt &prompt, Progress &progress);

    DatabaseHooks hooks;

    // Where the database lives. Set before openDatabase().
    QString programFolder;
    QString databaseFolder;
    QString recordFileName = QStringLiteral("data.dbf");

    store::Table &recordTable() { return record_; }
    store::Table &copyBuffer() { return copy_; }
    store::Table &master() { return master_; }
    SortState &index() { return index_; }

    bool openDatabase();
    void closeAll();
    // The open database's name as its master table row holds it.
    QString databaseName();

    // Sorting and viewing.
    bool applySort();
    bool changeSort(const SortDescriptor &descriptor);
    bool setFilterState(int state);
    int filterState() const { return filterState_; }
    bool saveSort();
    bool viewRange(std::optional<QChar> letter);
    void countLetters();
    void recountLetter(QChar letter);
    quint32 letterCount(QChar letter) const;
    bool letterTabsUsable() const;

    bool gotoPosition(qint64 position);
    QChar recordLetter() const; // 0 when the primary sort column is not text
    QChar recordLetter(const store::Table &table) const; // of another handle's current record
    quint32 recordCount();

    // Copy buffer.
    void copyRecord(qint64 position);
    void pasteRecord(qint64 position);
    bool copyBufferFilled() const { return copyBufferFilled_; }

    // Tables from the templates of the program folder.
    void createTable(const QString &path, bool keepTags);
    void createMaster();
    // The lowest data_<n>.dbf (1..999) the master table does not list; empty when all are.
    QString freeRecordTableName();
    // Numbers new records of `table` from the master row's counter.
    void installNumbering(store::Table &table);

    // Maintenance of the record table.
    bool reindex();
    bool pack();
    bool empty();
    CopyResult repair();
    CopyResult backup();
    CopyResult restore(bool lists);
    CopyResult copyRecords(store::Table &source, store::Table &target);
    // Replaces the lookup lists of `toFolder` by those of `fromFolder`; false when a
    // list could not be removed or copied.
    [[nodiscard]] bool copyLists(const QString &fromFolder, const QString &toFolder);

    // One line per column from 2 on, for the record list's quick view.
    QStringList recordSummaryLines(const store::Table &table);

    // Column sets of the open record table.
    const std::vector<int> &textColumns() const { return textColumns_; }
    const std::vector<int> &memoColumns() const { return memoColumns_; }
    const std::vector<int> &binaryColumns() const { return binaryColumns_; }
    int decimals(int column) const;

    bool indexErrorSilence() const { return indexErrorSilence_; }

private:
    static void bindAndOpen(store::Table &table, const QString &folder, const QString &fileName, bool exclusive);
    bool openNamed(store::Table &table, const QString &fileName, bool exclusive);
    bool openMaster();
    bool openCopyBuffer();
    void rescueIndex(const QString &fileName);
    void removeIndexOf(const QString &path);
    void regenerateQuietly(const QString &fileName);
    bool openRecordTable();
    bool createRecordTableAnew();
    void deriveColumnSets();
    void recordDecimals();
    void findOrAddMasterRow();
    void setMasterCounter(int value);
    void raiseMasterCounter(int atLeast);
    bool finishInterruptedMaintenance();
    void replaceRecordTableByWork(int nextNumber);
    bool reopenForMaintenance(const std::function<void(store::Table &)> &work, bool keepTag);
    bool copyOneRecord(store::Table &source, store::Table &target, int &number);
    bool openSecondHandle(store::Table &handle, const QString &folder, const QString &fileName);
    QString databasePath(const QString &fileName) const;
    QString templatePath(const QString &fileName) const;
    QString sortFilePath() const;
    void reportIndexFailure();
    void setBusy(bool on);
    bool recordTableOpens();

    Prompt &prompt_;
    Progress &progress_;
    store::Table record_;
    store::Table copy_;
    store::Table master_;
    SortState index_;
    int filterState_ = 0;
    bool copyBufferFilled_ = false;
    bool indexErrorSilence_ = true;
    std::array<quint32, LetterCount> letterCounts_{};
    std::vector<int> textColumns_;
    std::vector<int> memoColumns_;
    std::vector<int> binaryColumns_;
    std::map<int, int> decimals_;
};

} // namespace numora::database
