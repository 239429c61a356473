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

    MainWindowTeardown mainWindow()
    {
        return {callback("suppress layout"),
                [this] {
                    noteNewFiles();
                    log << "placement";
                    return WindowPlacement{10, 20, 640, 480, 300};
                },
                callback("sort descriptor"),
                callback("list header"),
                callback("filter"),
                callback("report list"),
                callback("page order"),
                callback("release window lists"),
                callback("close tables")};
    }

    OwnerWindowTeardown ownerWindow()
    {
        return {callback("close tables again"), callback("template lists"),
                callback("release global lists")};
    }

    test::TempFolder temp;
    settings::RunSettings settings;
    QSet<QString> seen;
    QStringList log;
};

TEST_F(EndSequenceTest, SettingsAreSavedInTheirOrderAndTheCleanEndMarkerComesLast)
{
    EXPECT_TRUE(runEndSequence(settings, mainWindow(), ownerWindow()).isEmpty());
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
    const QStringList names = stepNames(endSequence(settings, mainWindow(), ownerWindow()));
    EXPECT_LT(names.indexOf("program-wide options"), names.indexOf("database options"));
}

TEST_F(EndSequenceTest, AFailingStepDoesNotStopTheLaterOnes)
{
    MainWindowTeardown failingWindow = mainWindow();
    failingWindow.saveSortDescriptor = [] { throw store::DatabaseError("Index is damaged"); };
    OwnerWindowTeardown failingOwner = ownerWindow();
    failingOwner.closeTables = [] { throw store::DatabaseError("Table is busy"); };

    EXPECT_EQ(runEndSequence(settings, failingWindow, failingOwner),
              QStringList({"sort descriptor", "close tables again"}));
    EXPECT_EQ(log.last(), "release global lists");
    EXPECT_EQ(test::fileBytes(temp.file("program/DATA/shut.dat")), QByteArray("@a$)"));
    EXPECT_TRUE(QFile::exists(temp.file("program/options.dat")));
}

TEST_F(EndSequenceTest, MissingCallbacksAreSkipped)
{
    EXPECT_TRUE(runEndSequence(settings, {}, {}).isEmpty());
    EXPECT_FALSE(QFile::exists(temp.file("program/DATA/wnd.dat")));
    EXPECT_EQ(test::fileBytes(temp.file("program/DATA/shut.dat")), QByteArray("@a$)"));
}

} // namespace
} // namespace numora::lifecycle
