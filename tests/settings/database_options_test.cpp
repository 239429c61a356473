#include "settings/database_options.h"
#include "settings/program_options.h"
#include "core/value_stream.h"

#include "support/temp_folder.h"

#include <QDir>
#include <gtest/gtest.h>

namespace numora::settings {
namespace {

DatabaseOptions nonDefaultOptions()
{
    DatabaseOptions o;
    o.menusAndSpeedBars = MenusAndSpeedBars::OnlySpeedBars;
    o.reserved2 = -7;
    o.reserved3 = 300;
    o.hintMessages = HintMessages::Hide;
    o.letterTabs = LetterTabs::DontUse;
    o.initialDataFile = InitialDataFile::LoadDefault;
    o.reserved7 = 2;
    o.filterDateFormat = DateFormat::YearMonthDay;
    o.speedBarLocation = SpeedBarLocation::Top;
    o.recordDeleteMode = RecordDeleteMode::Immediate;
    o.startHidden = StartHidden::On;
    o.letterTabsLocation = LetterTabsLocation::Right;
    o.stayOnTop = true;
    o.displayTips = false;
    o.recordButtonFont = {"Courier New", font_style::Italic | font_style::Underline, 12};
    o.lineEditFont = {QString(255, 'f'), font_style::StrikeOut, -11};
    o.memoEditFont = {"Tahoma", 0, 8};
    o.autoFill = false;
    o.displayReminders = false;
    o.displayTrayIcon = true;
    return o;
}

// The optional tail: four empty texts, three font blocks and two flags, then one flag.
constexpr int kGroupAfterField16 = 4 + 3 * kFontBlockSize + 2;
constexpr int kGroupAfterField20 = 1;

TEST(DatabaseOptionsFileTest, TheDefaultFontsAreArialBoldTen)
{
    const DatabaseOptions defaults;
    for (const FontSetting &font : {defaults.recordButtonFont, defaults.lineEditFont,
                                    defaults.memoEditFont})
        EXPECT_EQ(font, (FontSetting{"Arial", font_style::Bold, 10}));
}

TEST(DatabaseOptionsFileTest, AFontIsA264ByteBlock)
{
    const QByteArray bytes = encodeDatabaseOptions(DatabaseOptions{}, {"data.dbf", "/d"});
    const qsizetype firstFont = bytes.size() - 3 - 3 * kFontBlockSize;
    const QByteArray block = bytes.mid(firstFont, kFontBlockSize);
    EXPECT_EQ(block.left(6), QByteArray("\x05" "Arial"));
    EXPECT_EQ(block.mid(6, 250), QByteArray(250, '\0'));
    EXPECT_EQ(block.mid(256), QByteArray::fromHex("01000000" "0a000000"));
}

TEST(DatabaseOptionsFileTest, RoundTripsByteForByte)
{
    struct Case {
        DatabaseOptions options;
        DatabaseLocation location;
    };
    const std::vector<Case> cases = {
        {DatabaseOptions{}, {"data.dbf", "/srv/numora/DATA"}},
        {nonDefaultOptions(), {"data_12.dbf", "/home/ann/Münzen/data0001"}},
        {nonDefaultOptions(), {"", ""}},
    };
    for (const Case &c : cases) {
        const QByteArray bytes = encodeDatabaseOptions(c.options, c.location);
        const StoredDatabaseOptions read = decodeDatabaseOptions(bytes);
        EXPECT_EQ(read.options, c.options);
        EXPECT_EQ(read.lastUsed, c.location);
        EXPECT_EQ(encodeDatabaseOptions(read.options, read.lastUsed), bytes);
    }
}

TEST(DatabaseOptionsFileTest, ShortFilesKeepTheDefaultsOfWhatTheyLack)
{
    const DatabaseOptions full = nonDefaultOptions();
    const QByteArray bytes = encodeDatabaseOptions(full, {"data.dbf", "/d"});
    const DatabaseOptions defaults;

    DatabaseOptions endsAfter20 = full;
    endsAfter20.displayTrayIcon = defaults.displayTrayIcon;

    DatabaseOptions endsAfter16 = endsAfter20;
    endsAfter16.recordButtonFont = endsAfter16.lineEditFont = endsAfter16.memoEditFont =
        FontSetting{};
    endsAfter16.autoFill = defaults.autoFill;
    endsAfter16.displayReminders = defaults.displayReminders;

    DatabaseOptions endsInsideField3 = defaults;
    endsInsideField3.menusAndSpeedBars = full.menusAndSpeedBars;
    endsInsideField3.reserved2 = full.reserved2;

    struct Case {
        const char *name;
        qsizetype size;
        DatabaseOptions expected;
    };
    const std::vector<Case> cases = {
        {"ends after field 20", bytes.size() - kGroupAfterField20, endsAfter20},
        {"ends after field 16", bytes.size() - kGroupAfterField20 - kGroupAfterField16,
         endsAfter16},
        {"ends inside field 3", 5, endsInsideField3},
        {"empty", 0, defaults},
    };
    for (const Case &c : cases)
        EXPECT_EQ(decodeDatabaseOptions(bytes.left(c.size)).options, c.expected) << c.name;
}

// A data root with its public folder, a private folder and a folder outside the root.
class LoadDatabaseOptionsTest : public ::testing::Test {
protected:
    LoadDatabaseOptionsTest()
    {
        QDir().mkpath(temp.file("root/DATA"));
        QDir().mkpath(temp.file("root/data0001"));
        QDir().mkpath(temp.file("root2/DATA"));
        folders = Folders::forProgramFolder(temp.file("root"));
        folders.databaseFolder = folders.publicDatabaseFolder();
    }

    void storeLastUsed(InitialDataFile initial, const DatabaseLocation &lastUsed,
                       const QString &fileName = "options.dat")
    {
        DatabaseOptions stored;
        stored.initialDataFile = initial;
        ASSERT_TRUE(writeSettingsFile(folders.databaseFolder + "/" + fileName,
                                      encodeDatabaseOptions(stored, lastUsed)));
    }

    test::TempFolder temp;
    Folders folders;
    DatabaseOptions options;
    QString tableFile = "data.dbf";
};

TEST_F(LoadDatabaseOptionsTest, TheLastUsedDatabaseIsReopenedWhenAllowed)
{
    const QString publicFolder = temp.file("root/DATA");
    const QString privateFolder = temp.file("root/data0001");
    const QString outside = temp.file("root2/DATA");
    LoginState supervisor;
    LoginState userWithoutPublicAccess{false, "ann", AccessLevel::None};
    LoginState readOnlyUser{false, "bob", AccessLevel::ReadOnly};
    LoginState supervisorWithoutPublicAccess{true, "", AccessLevel::None};

    struct Case {
        const char *name;
        InitialDataFile initial;
        DatabaseLocation stored;
        LoginState login;
        QString expectedTable;
        QString expectedFolder;
    };
    const std::vector<Case> cases = {
        {"inside the data root", InitialDataFile::LoadLastUsed, {"data_3.dbf", privateFolder},
         supervisor, "data_3.dbf", privateFolder},
        {"outside the data root keeps the folder", InitialDataFile::LoadLastUsed,
         {"data_3.dbf", outside}, supervisor, "data_3.dbf", publicFolder},
        {"a folder whose name only starts like the root", InitialDataFile::LoadLastUsed,
         {"data_3.dbf", temp.file("root2")}, supervisor, "data_3.dbf", publicFolder},
        {"default file asked for", InitialDataFile::LoadDefault, {"data_3.dbf", privateFolder},
         supervisor, "data.dbf", publicFolder},
        {"no stored folder", InitialDataFile::LoadLastUsed, {"data_3.dbf", ""}, supervisor,
         "data.dbf", publicFolder},
        {"no stored table", InitialDataFile::LoadLastUsed, {"", privateFolder}, supervisor,
         "data.dbf", publicFolder},
        {"public folder barred to the user", InitialDataFile::LoadLastUsed,
         {"data_3.dbf", temp.file("root/data")}, userWithoutPublicAccess, "data.dbf",
         publicFolder},
        {"private folder of a user barred from the public one", InitialDataFile::LoadLastUsed,
         {"data_3.dbf", privateFolder}, userWithoutPublicAccess, "data_3.dbf", privateFolder},
        {"public folder of a read-only user", InitialDataFile::LoadLastUsed,
         {"data_3.dbf", publicFolder}, readOnlyUser, "data_3.dbf", publicFolder},
        {"supervisor flag overrides the level", InitialDataFile::LoadLastUsed,
         {"data_3.dbf", publicFolder}, supervisorWithoutPublicAccess, "data_3.dbf",
         publicFolder},
    };
    for (const Case &c : cases) {
        folders.databaseFolder = publicFolder;
        tableFile = "data.dbf";
        storeLastUsed(c.initial, c.stored);

        EXPECT_TRUE(loadDatabaseOptions(options, folders, tableFile, c.login)) << c.name;
        EXPECT_EQ(tableFile, c.expectedTable) << c.name;
        EXPECT_EQ(folders.databaseFolder, c.expectedFolder) << c.name;
        EXPECT_EQ(folders.settingsFolder, publicFolder) << c.name;
    }
}

TEST_F(LoadDatabaseOptionsTest, AMissingFileGivesTheDefaults)
{
    options = nonDefaultOptions();
    EXPECT_FALSE(loadDatabaseOptions(options, folders, tableFile, LoginState{}));
    EXPECT_EQ(options, DatabaseOptions{});
    EXPECT_EQ(folders.settingsFolder, folders.databaseFolder);
    EXPECT_EQ(tableFile, "data.dbf");
}

TEST_F(LoadDatabaseOptionsTest, TheFileIsFoundWhateverItsLetterCase)
{
    storeLastUsed(InitialDataFile::LoadLastUsed, {"data_2.dbf", folders.databaseFolder},
                  "OPTIONS.DAT");
    EXPECT_TRUE(loadDatabaseOptions(options, folders, tableFile, LoginState{}));
    EXPECT_EQ(tableFile, "data_2.dbf");
}

TEST_F(LoadDatabaseOptionsTest, SavingStoresTheOpenDatabaseAsTheLastUsedOne)
{
    folders.settingsFolder = folders.databaseFolder;
    folders.databaseFolder = temp.file("root/data0001");
    const DatabaseOptions saved = nonDefaultOptions();
    ASSERT_TRUE(saveDatabaseOptions(saved, folders, "data_5.dbf"));

    const StoredDatabaseOptions read =
        decodeDatabaseOptions(*readSettingsFile(folders.settingsFolder + "/options.dat"));
    EXPECT_EQ(read.options, saved);
    EXPECT_EQ(read.lastUsed, (DatabaseLocation{"data_5.dbf", temp.file("root/data0001")}));
}

} // namespace
} // namespace numora::settings
