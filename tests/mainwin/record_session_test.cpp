// The editing rules on a real database: which record the form shows, when it is written
// back, deleting, moving across letters and synchronising the list.

#include "mainwin/record_session.h"
#include "core/progress.h"
#include "session_fakes.h"
#include "database/database_manager.h"
#include "support/catalogue_folders.h"
#include "support/file_bytes.h"
#include "support/peer_process.h"
#include "support/scripted_prompt.h"
#include "store/posix_io.h"

#include <QFile>

#include <cerrno>
#include <utility>

#include <gtest/gtest.h>

using namespace numora;
using namespace numora::mainwin;
using namespace numora::test;

namespace {

constexpr int kMasterCounterColumn = 3;

class RecordSessionTest : public ::testing::Test {
protected:
    void open(const QStringList &descriptions)
    {
        collection = std::make_unique<CatalogueFolders>();
        collection->writeDescriptions(descriptions);
        manager.programFolder = collection->programFolder();
        manager.location.folder = collection->databaseFolder();
        ASSERT_TRUE(manager.openDatabase());
        ASSERT_TRUE(manager.changeSort(database::SortDescriptor{kDescrColumn, false, 0, false}));
        browser.recount();
        session.reload();
    }

    // The descriptions stored, in sort order, whatever letter the list shows.
    QStringList stored()
    {
        manager.viewRange(std::nullopt);
        QStringList result;
        store::Table &table = manager.recordTable();
        for (table.first(); !table.eof(); table.next())
            result << table.text(kDescrColumn);
        browser.selectLetterRange(browser.currentLetter());
        return result;
    }

    qint64 masterCounter()
    {
        manager.master().findKey(QStringLiteral("data.dbf"));
        return manager.master().integer(kMasterCounterColumn);
    }

    std::unique_ptr<CatalogueFolders> collection;
    ScriptedPrompt prompt;
    NoProgress progress;
    database::DatabaseManager manager{prompt, progress};
    OneFieldForm form;
    LetterBrowser browser{manager};
    RecordSession session{manager, prompt, form, browser};
};

TEST_F(RecordSessionTest, LeavingARecordWritesItUnlessItIsEmpty)
{
    open({"Aureus", "Augustus"});
    int posts = 0;
    manager.changes().markRecord = [&posts](store::Table &) { ++posts; };

    ASSERT_EQ(form.description, "Augustus");
    session.showRecord(1); // unchanged, written all the same
    EXPECT_EQ(posts, 1);

    form.description.clear(); // emptied: the stored values stay
    session.showRecord(0);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(stored(), QStringList({"Augustus", "Aureus"}));

    const qint64 counter = masterCounter();
    session.newRecord();
    ASSERT_TRUE(session.isNewRecord());
    EXPECT_EQ(browser.state.position, 3);
    session.showRecord(0); // an empty new record is dropped; its number is used up
    EXPECT_EQ(stored().size(), 2);
    EXPECT_EQ(masterCounter(), counter + 1);
}

TEST_F(RecordSessionTest, ANewRecordIsStoredWithTheNextNumberAndCountedUnderItsLetter)
{
    open({"Aureus"});
    const qint64 counter = masterCounter();
    session.newRecord();
    form.description = "Antoninianus";
    ASSERT_TRUE(session.commit());
    EXPECT_FALSE(session.isNewRecord()) << "shown again as the stored record";
    EXPECT_EQ(session.recordNumber(), counter + 1);
    EXPECT_EQ(browser.letterCount('A'), 2u);

    session.newRecord();
    form.description = "Zecchino";
    const qint64 beforeZ = masterCounter();
    ASSERT_TRUE(session.commit());
    EXPECT_EQ(form.description, "Zecchino") << "shown under its own letter";
    EXPECT_FALSE(session.isNewRecord());
    EXPECT_EQ(browser.currentLetter(), QChar('A')) << "the list stays";
    EXPECT_EQ(masterCounter(), beforeZ + 1) << "no number used up by an empty new record";
    EXPECT_EQ(browser.letterCount('Z'), 1u);
    EXPECT_EQ(stored(), QStringList({"Antoninianus", "Aureus", "Zecchino"}));
}

TEST_F(RecordSessionTest, AFailedWriteAsksWhetherToDiscardTheChanges)
{
    open({"Aureus", "Augustus"});
    session.showRecord(0);
    form.damaged = true;
    prompt.answer(Button::No);
    session.showRecord(1);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text,
              "Could not Update the record!\rDo you want to continue anyway?\r(If you answer "
              "Yes changes to the current record will be discarded.)");
    EXPECT_EQ(prompt.shown[0].buttons, Button::Yes | Button::No);
    EXPECT_EQ(session.position(), 1) << "No keeps the user on the record";

    prompt.answer(Button::Yes);
    session.showRecord(1);
    EXPECT_EQ(session.position(), 2);
}

// A full disk or a refused permission will not go away by trying again: the user is
// told at once, with the system's reason, and the stored record is untouched.
int injectedError = 0;
int injectedFailures = 0;
int failDataFileWrites(const QString &path)
{
    if (!path.endsWith(QStringLiteral("/data.dbf")))
        return 0;
    ++injectedFailures;
    return injectedError;
}

TEST_F(RecordSessionTest, AStoreFailureShowsItsReasonOnceAndIsNotRetried)
{
    const struct {
        int error;
        const char *reason;
    } cases[] = {{ENOSPC, "No space left on device"}, {EACCES, "Permission denied"}};
    for (const auto &failure : cases) {
        SCOPED_TRACE(failure.reason);
        prompt.shown.clear();
        open({"Aureus", "Augustus"});
        session.newRecord();
        form.description = QStringLiteral("Antoninianus");
        injectedError = failure.error;
        injectedFailures = 0;
        store::posix::setWriteFault(failDataFileWrites);
        prompt.answer(Button::Yes);
        session.showRecord(0);
        store::posix::setWriteFault(nullptr);

        EXPECT_EQ(injectedFailures, 1) << "the failed write was not tried again";
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_TRUE(prompt.shown[0].text.startsWith("Could not Update the record!"));
        EXPECT_TRUE(prompt.shown[0].detail.contains(failure.reason)) << prompt.shown[0].detail.toStdString();
        EXPECT_EQ(stored(), QStringList({"Augustus", "Aureus"})) << "nothing half-stored shows";
        session.closeFormTable();
        manager.closeAll();
    }
}

// A record the store cannot read is never shown with another record's values, which
// leaving it would write into it: the form shows a new record, and the user is told once.
TEST_F(RecordSessionTest, ARecordThatCannotBeReadGivesANewRecordAndOneMessage)
{
    open({"Aureus", "Augustus", "Antoninianus"}); // records 1, 2, 3; sorted the other way round
    session.showRecord(2);
    ASSERT_EQ(form.description, "Aureus");
    form.description.clear(); // nothing to write back
    const QString dataFile = collection->databaseFile("data.dbf");
    const QByteArray bytes = fileBytes(dataFile);
    const auto word = [&bytes](int at) { return int(quint8(bytes[at])) | int(quint8(bytes[at + 1])) << 8; };
    ASSERT_TRUE(QFile::resize(dataFile, word(8) + 2 * word(10) + 10)); // inside "Antoninianus"
    prompt.shown.clear();

    session.showRecord(0);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_TRUE(prompt.shown[0].text.startsWith("Could not read the records of this database!"));
    EXPECT_TRUE(prompt.shown[0].detail.contains("ends inside record 3")) << prompt.shown[0].detail.toStdString();
    EXPECT_TRUE(session.isNewRecord());
    EXPECT_TRUE(form.description.isEmpty());
}

// The record reached the data file, and then the flush after it failed: saving again
// would store a second copy. The user hears of it once, and the session shows the stored
// record; leaving it later rewrites that record.
TEST_F(RecordSessionTest, ASaveThatFailsAfterStoringTheRecordStoresItOnce)
{
    open({"Aureus"});
    session.newRecord();
    form.description = QStringLiteral("Antoninianus");
    const qint64 number = masterCounter() + 1;
    // Armed once the first record is written, the fault hits the flush that follows.
    session.formTable().afterPost = [armed = false](store::Table &) mutable {
        if (std::exchange(armed, true))
            return;
        store::posix::setWriteFault([](const QString &path) {
            if (!path.endsWith(QStringLiteral("/data.dbf")))
                return 0;
            store::posix::setWriteFault(nullptr);
            return EIO;
        });
    };
    prompt.answer(Button::No); // asked to discard the changes, the user would stay and save again
    const bool committed = session.commit();
    store::posix::setWriteFault(nullptr);
    session.formTable().afterPost = nullptr;

    EXPECT_TRUE(committed);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "The record was saved, but the database could not finish saving it!\rThe "
                                    "list may not show it in its place until the database is opened again.");
    EXPECT_TRUE(prompt.shown[0].detail.contains("Input/output error")) << prompt.shown[0].detail.toStdString();
    EXPECT_FALSE(session.isNewRecord());
    EXPECT_EQ(session.recordNumber(), number);
    EXPECT_EQ(form.description, "Antoninianus");

    session.showRecord(1);
    EXPECT_EQ(stored(), QStringList({"Antoninianus", "Aureus"}));
    EXPECT_EQ(browser.letterCount('A'), 2u);
}

TEST_F(RecordSessionTest, DeletingAsksForYesUnlessTheModeIsImmediate)
{
    struct Case {
        bool immediate;
        std::optional<QString> typed; // nothing: Cancel
        bool deleted;
    };
    const Case cases[] = {
        {false, QString("YES"), true},
        {false, QString("yes"), false},
        {false, std::nullopt, false},
        {true, std::nullopt, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.value_or("<cancel>").toStdString());
        prompt.shown.clear();
        open({"Aureus", "Augustus", "Antoninianus"});
        int asked = 0;
        session.immediateDelete = c.immediate;
        session.confirmDelete = [&asked, &c] {
            ++asked;
            return c.typed;
        };
        session.showRecord(0);
        session.deleteShown();
        EXPECT_EQ(stored().size(), c.deleted ? 2 : 3);
        EXPECT_EQ(asked, c.immediate ? 0 : 1);
        EXPECT_EQ(prompt.texts(),
                  c.deleted ? QStringList() : QStringList({"Record not Deleted."}));
        if (c.deleted) {
            EXPECT_EQ(form.description, "Augustus") << "the record that followed";
            EXPECT_EQ(browser.letterCount('A'), 2u);
        }
        manager.closeAll();
    }
}

// Deleting from the list: a row below the records, an answer other than YES and a record
// another user holds each leave the records as they are and say why.
TEST_F(RecordSessionTest, DeletingAListRowSaysWhyNothingWasDeleted)
{
    struct Case {
        const char *name;
        int row;
        bool immediate;
        bool heldElsewhere;
        QStringList messages;
        QStringList storedAfter;
    };
    const Case cases[] = {
        {"a row below the records", 5, true, false, {"Empty Record cannot be Deleted."}, {"Augustus", "Aureus"}},
        {"not confirmed", 1, false, false, {"Record not Deleted."}, {"Augustus", "Aureus"}},
        {"held by another user", 1, true, true, {"Record in use - not Deleted!"}, {"Augustus", "Aureus"}},
        {"deleted", 1, true, false, {}, {"Augustus"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        prompt.shown.clear();
        open({"Aureus", "Augustus"});
        session.immediateDelete = c.immediate;
        session.confirmDelete = [] { return std::optional<QString>("no"); };
        store::Table holder;
        if (c.heldElsewhere) {
            holder.open({.folder = collection->databaseFolder(), .fileName = "data.dbf"});
            for (holder.first(); holder.text(kDescrColumn) != "Aureus"; holder.next()) {}
            holder.edit();
        }
        session.deleteRow(0, c.row);
        EXPECT_EQ(prompt.texts(), c.messages);
        if (c.heldElsewhere)
            holder.cancel();
        EXPECT_EQ(stored(), c.storedAfter);
        EXPECT_EQ(form.description, "Augustus") << "the shown record stays";
        holder.close();
        manager.closeAll();
    }
}

// Undo brings back the stored values of the shown record, or empties a new one; nothing
// is written.
TEST_F(RecordSessionTest, UndoBringsBackWhatIsStored)
{
    open({"Aureus", "Augustus"});
    form.description = "Augustus of Rome";
    session.undo();
    EXPECT_EQ(form.description, "Augustus");
    EXPECT_FALSE(session.isNewRecord());

    session.newRecord();
    form.description = "Antoninianus";
    session.undo();
    EXPECT_TRUE(form.description.isEmpty());
    EXPECT_TRUE(session.isNewRecord());
    EXPECT_EQ(stored(), QStringList({"Augustus", "Aureus"}));
}

// Without an open database nothing is shown and nothing written; the user is told why.
TEST_F(RecordSessionTest, ShowingARecordWithoutAnOpenDatabaseSaysSo)
{
    open({"Aureus", "Augustus"});
    const int writes = form.writes;
    manager.closeAll();
    session.showRecord(1);
    EXPECT_EQ(prompt.texts(), QStringList({"Database is not Open! Cannot display details."}));
    EXPECT_EQ(prompt.shown.back().kind, MessageKind::Error);
    EXPECT_EQ(form.description, "Augustus");
    EXPECT_EQ(form.writes, writes);
}

TEST_F(RecordSessionTest, DeletingTheLastRecordOfTheRangeShowsANewRecord)
{
    open({"Aureus", "Augustus"});
    session.immediateDelete = true;
    session.showRecord(1);
    session.deleteShown();
    EXPECT_TRUE(session.isNewRecord());
    EXPECT_TRUE(form.description.isEmpty());
    EXPECT_EQ(stored(), QStringList({"Augustus"}));
}

TEST_F(RecordSessionTest, NextAndPreviousCrossEmptyLettersWhileTheListStays)
{
    open({"Caesar", "Constantine", "Eagle"});
    browser.selectLetter('C');
    session.showRecord(1);
    ASSERT_EQ(form.description, "Constantine");
    EXPECT_TRUE(browser.state.nextEnabled);

    session.next(); // "D" has no records
    EXPECT_EQ(form.description, "Eagle");
    EXPECT_EQ(browser.currentLetter(), QChar('C')) << "the list keeps its page";
    EXPECT_EQ(session.position(), 1);
    EXPECT_FALSE(browser.state.nextEnabled) << "the last record of the whole order";
    EXPECT_TRUE(browser.state.previousEnabled);

    session.next(); // at the end it stays
    EXPECT_EQ(form.description, "Eagle");

    session.previous();
    EXPECT_EQ(form.description, "Constantine");
    session.previous();
    session.previous();
    EXPECT_EQ(form.description, "Caesar");
    EXPECT_FALSE(browser.state.previousEnabled);
}

TEST_F(RecordSessionTest, SynchronizeBringsTheListToTheShownRecord)
{
    QStringList coins = {"Caesar"};
    for (int i = 0; i < 25; ++i)
        coins << QString("Eagle %1").arg(i, 2, 10, QChar('0'));
    open(coins);
    browser.selectLetter('C');
    session.showRecord(0);
    for (int i = 0; i < 13; ++i)
        session.next();
    ASSERT_EQ(form.description, "Eagle 12");
    ASSERT_EQ(browser.currentLetter(), QChar('C'));

    session.synchronize();
    EXPECT_EQ(browser.currentLetter(), QChar('E'));
    EXPECT_EQ(browser.pageOffset, 10);
    EXPECT_EQ(session.position(), 13);
    EXPECT_EQ(form.description, "Eagle 12");
}

TEST_F(RecordSessionTest, WithoutLetterTabsTheWholeTableIsOneRange)
{
    open({"Caesar", "Eagle"});
    ASSERT_TRUE(manager.changeSort(database::SortDescriptor{}));
    session.reload();
    EXPECT_FALSE(browser.letterTabsInUse());
    session.next();
    session.next();
    EXPECT_EQ(form.description, "Eagle");
    EXPECT_EQ(session.position(), 2);
    EXPECT_EQ(browser.state.count, 2);
    EXPECT_FALSE(browser.state.nextEnabled);
}

TEST(RecordCountersTest, PositionAndPercentOfTheRange)
{
    struct Case {
        int position;
        int count;
        bool newRecord;
        QString shownPosition;
        QString percent;
    };
    const Case cases[] = {
        {1, 3, false, "1", "33%"},       {2, 3, false, "2", "67%"},
        {3, 3, false, "3", "100%"},      {4, 3, true, "", "100%"},
        {1, 0, true, "", "100%"},        {1234567, 2000000, false, "234567", "62%"},
    };
    for (const Case &c : cases) {
        const RecordCounters counters = recordCounters(c.position, c.count, c.newRecord);
        EXPECT_EQ(counters.position, c.shownPosition) << c.position << "/" << c.count;
        EXPECT_EQ(counters.percent, c.percent) << c.position << "/" << c.count;
    }
}

// Two users on one folder: the record one of them shows is locked for the other.
TEST_F(RecordSessionTest, ARecordShownByAnotherProcessIsInUseUntilItMovesOn)
{
    open({"Aureus", "Denarius"});
    session.reload(); // releases nothing: shows "Aureus" with its lock
    session.closeFormTable();

    PeerProcess peer(QStringLiteral(SESSION_PEER), {collection->programFolder()});
    ASSERT_EQ(peer.readLine(), "shown Aureus");

    session.reload();
    EXPECT_TRUE(session.isInUse());
    EXPECT_TRUE(browser.state.inUse);
    EXPECT_FALSE(form.editable);
    form.description = "Aureus of Nero";
    session.showRecord(1);
    EXPECT_EQ(stored(), QStringList({"Aureus", "Denarius"})) << "nothing written while in use";

    peer.send("next");
    ASSERT_EQ(peer.readLine(), "shown Denarius");
    session.showRecord(0);
    EXPECT_FALSE(session.isInUse());
    EXPECT_TRUE(form.editable);
    form.description = "Aureus of Nero";
    session.showRecord(1);
    EXPECT_EQ(stored(), QStringList({"Aureus of Nero", "Denarius"}));
    peer.finish();
}

} // namespace
