#include "lifecycle/end_sequence.h"

#include "lifecycle/end_marker.h"
#include "store/store_error.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QSet>
#include <gtest/gtest.h>

namespace numora::lifecycle {
namespace {

// A run whose settings folder is the public database folder under the program folder.
// Every callback notes its name in `log`, after noting the files that appeared since the
// previous callback, so the log shows the callbacks and the file writes interleaved.
class EndSequenceTest : public ::testing::Test {
protected:
    EndSequenceTest()
    {
        settings.folders = settings::Folders::forProgramFolder(temp.file("program"));
        settings.folders.databaseFolder = settings.folders.publicDatabaseFolder();
        settings.folders.settingsFolder = settings.folders.databaseFolder;
        EXPECT_TRUE(QDir().mkpath(settings.folders.settingsFolder));
    }

    void noteNewFiles()
    {
        QStringList added;
        QDirIterator it(temp.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = QDir(temp.path()).relativeFilePath(it.next());
            if (!seen.contains(file))
                added << file;
            seen.insert(file);
        }
        added.sort();
        for (const QString &file : added)
            log << "wrote " + file;
    }

    std::function<void()> callback(const QString &name)
    {
        return [this, name] {
            noteNewFiles();
            log << name;
        };
    }

    std::function<bool()> save(const QString &name)
    {
        return [this, name] {
            noteNewFiles();
            log << name;
            return true;
        };
    }

    MainWindowTeardown mainWindow()
    {
        return {callback("suppress layout"),
                [this] {
                    noteNewFiles();
                    log << "placement";
                    return WindowPlacement{10, 20, 640, 480, 300};
                },
                save("sort descriptor"),
                save("list header"),
                save("filter"),
                save("report list"),
                save("page order"),
                callback("release window lists"),
                callback("close tables")};
    }

    OwnerWindowTeardown ownerWindow()
    {
        return {callback("close tables again"), save("template lists"),
                callback("release global lists")};
    }

    test::TempFolder temp;
    settings::RunSettings settings;
    RunningMarker marker;
    QSet<QString> seen;
    QStringList log;
};

TEST_F(EndSequenceTest, SettingsAreSavedInTheirOrderAndTheCleanEndMarkerComesLast)
{
    EXPECT_TRUE(runEndSequence(settings, marker, mainWindow(), ownerWindow()).isEmpty());
    noteNewFiles();

    EXPECT_EQ(log, QStringList({
                       "suppress layout",
                       "placement",
                       "wrote program/DATA/wnd.dat",
                       "sort descriptor",
                       "list header",
                       "filter",
                       "wrote program/DATA/options.dat", // database options
                       "wrote program/options.dat",      // program-wide options
                       "report list",
                       "page order",
                       "release window lists",
                       "close tables",
                       "close tables again",
                       "wrote program/DATA/shut.dat",
                       "template lists",
                       "release global lists",
                   }));
    EXPECT_EQ(test::fileBytes(temp.file("program/DATA/shut.dat")), QByteArray("@a$)"));
    EXPECT_EQ(readWindowPlacement(settings.folders.settingsFolder),
              WindowPlacement({10, 20, 640, 480, 300}));
}

TEST_F(EndSequenceTest, ProgramWideOptionsAreSavedBeforeTheDatabaseOptions)
{
    const QStringList names = stepNames(endSequence(settings, marker, mainWindow(), ownerWindow()));
    EXPECT_LT(names.indexOf("program-wide options"), names.indexOf("database options"));
}

TEST_F(EndSequenceTest, AFailingStepDoesNotStopTheLaterOnes)
{
    MainWindowTeardown failingWindow = mainWindow();
    failingWindow.saveSortDescriptor = []() -> bool { throw store::DatabaseError("Index is damaged"); };
    failingWindow.saveListHeader = [] { return false; };
    OwnerWindowTeardown failingOwner = ownerWindow();
    failingOwner.closeTables = [] { throw store::DatabaseError("Table is busy"); };

    EXPECT_EQ(runEndSequence(settings, marker, failingWindow, failingOwner),
              QStringList({"sort descriptor", "list header", "close tables again"}));
    EXPECT_EQ(log.last(), "release global lists");
    EXPECT_EQ(test::fileBytes(temp.file("program/DATA/shut.dat")), QByteArray("@a$)"));
    EXPECT_TRUE(QFile::exists(temp.file("program/options.dat")));
}

// A settings file that cannot be written (here a folder stands where it should be) is
// reported by name, and the user is told which settings were not kept.
TEST_F(EndSequenceTest, SettingsFilesThatCannotBeWrittenAreReported)
{
    const struct {
        const char *file;
        const char *step;
    } cases[] = {{"program/DATA/wnd.dat", "window placement"},
                 {"program/options.dat", "program-wide options"},
                 {"program/DATA/options.dat", "database options"},
                 {"program/DATA/shut.dat", "clean-end marker"}};
    for (const auto &blocked : cases) {
        SCOPED_TRACE(blocked.file);
        QFile::remove(temp.file(blocked.file)); // written by the run before
        ASSERT_TRUE(QDir().mkpath(temp.file(blocked.file)));
        const QStringList failed = runEndSequence(settings, marker, mainWindow(), ownerWindow());
        EXPECT_EQ(failed, QStringList({blocked.step}));
        EXPECT_TRUE(unsavedSettingsMessage(failed).endsWith(QString("\r") + blocked.step));
        ASSERT_TRUE(QDir(temp.file(blocked.file)).removeRecursively());
    }
}

TEST_F(EndSequenceTest, MissingCallbacksAreSkipped)
{
    EXPECT_TRUE(runEndSequence(settings, marker, {}, {}).isEmpty());
    EXPECT_FALSE(QFile::exists(temp.file("program/DATA/wnd.dat")));
    EXPECT_EQ(test::fileBytes(temp.file("program/DATA/shut.dat")), QByteArray("@a$)"));
}

} // namespace
} // namespace numora::lifecycle
