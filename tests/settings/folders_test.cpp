#include "settings/folders.h"
#include "settings/login_state.h"

#include <QStringList> // scripted_prompt.h uses it without including it
#include "support/scripted_prompt.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace numora::settings {
namespace {

void touch(const QString &path, const QByteArray &bytes = "x")
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

TEST(FoldersTest, DatabaseFoldersLieUnderTheDataRoot)
{
    test::TempFolder root;
    Folders folders = Folders::forProgramFolder(root.path() + "/");
    EXPECT_EQ(folders.programFolder, root.path());
    EXPECT_EQ(folders.dataRoot, root.path());
    EXPECT_EQ(folders.currentFolder, root.path());

    EXPECT_EQ(folders.publicDatabaseFolder(), root.file("DATA"));
    const std::vector<std::pair<int, QString>> accounts = {
        {1, "data0001"}, {42, "data0042"}, {9999, "data9999"}};
    for (const auto &[number, name] : accounts)
        EXPECT_EQ(folders.privateDatabaseFolder(number), root.file(name));
    EXPECT_EQ(backupFolder(root.file("DATA")), root.file("DATA/BACKUP"));
}

TEST(FoldersTest, FoldersCopiedFromWindowsAreFoundWhateverTheirLetterCase)
{
    test::TempFolder root;
    ASSERT_TRUE(QDir(root.path()).mkpath("Data/backup"));
    ASSERT_TRUE(QDir(root.path()).mkpath("DATA0007"));
    const Folders folders = Folders::forProgramFolder(root.path());
    EXPECT_EQ(folders.publicDatabaseFolder(), root.file("Data"));
    EXPECT_EQ(backupFolder(folders.publicDatabaseFolder()), root.file("Data/backup"));
    EXPECT_EQ(folders.privateDatabaseFolder(7), root.file("DATA0007"));
}

TEST(FoldersTest, EnsureDataFoldersCreatesWhatIsMissing)
{
    struct Case {
        const char *name;
        QStringList existing;
        QString expectedBackup;
    };
    const std::vector<Case> cases = {
        {"fresh data root", {}, "DATA/BACKUP"},
        {"public folder without BACKUP", {"DATA"}, "DATA/BACKUP"},
        {"both there in other letter case", {"data/Backup"}, "data/Backup"},
    };
    for (const Case &c : cases) {
        test::TempFolder root;
        for (const QString &folder : c.existing)
            ASSERT_TRUE(QDir(root.path()).mkpath(folder));
        Folders folders = Folders::forProgramFolder(root.path());
        folders.currentFolder.clear();
        test::ScriptedPrompt prompt;

        ensureDataFolders(folders, prompt);
        EXPECT_TRUE(QFileInfo(root.file(c.expectedBackup)).isDir()) << c.name;
        EXPECT_EQ(QDir(root.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1)
            << c.name;
        EXPECT_TRUE(prompt.shown.empty()) << c.name;
        EXPECT_EQ(folders.currentFolder, root.path());
    }
}

TEST(FoldersTest, AFolderThatCannotBeMadeIsReportedAndStartUpGoesOn)
{
    test::TempFolder root;
    touch(root.file("root"));
    Folders folders = Folders::forProgramFolder(root.path());
    folders.dataRoot = root.file("root"); // a file: nothing can be created under it
    test::ScriptedPrompt prompt;

    ensureDataFolders(folders, prompt);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Could not Create Data Directory!");
    EXPECT_EQ(prompt.shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(folders.currentFolder, root.path());
}

TEST(FoldersTest, ReadOnlyWhileAReadOnlyUserHasThePublicFolderOpen)
{
    test::TempFolder root;
    Folders folders = Folders::forProgramFolder(root.path());
    struct Case {
        AccessLevel level;
        QString databaseFolder;
        bool readOnly;
    };
    const std::vector<Case> cases = {
        {AccessLevel::ReadOnly, root.file("DATA"), true},
        {AccessLevel::ReadOnly, root.file("data/"), true},
        {AccessLevel::ReadOnly, root.file("data0001"), false},
        {AccessLevel::ReadWrite, root.file("DATA"), false},
        {AccessLevel::None, root.file("DATA"), false},
    };
    for (const Case &c : cases) {
        LoginState login;
        login.supervisor = false;
        login.accessLevel = c.level;
        folders.databaseFolder = c.databaseFolder;
        EXPECT_EQ(worksReadOnly(login, folders), c.readOnly) << c.databaseFolder.toStdString();
    }
    EXPECT_FALSE(worksReadOnly(LoginState{}, folders));
}

TEST(ProgramFolderTest, ChoosesAWritableFolderHoldingTheResources)
{
    test::TempFolder temp;
    const QString portable = temp.file("portable");
    const QString marked = temp.file("marked");
    const QString installed = temp.file("bin");
    ASSERT_TRUE(QDir().mkpath(portable) && QDir().mkpath(marked) && QDir().mkpath(installed));
    touch(portable + "/numora.resources");
    touch(marked + "/NUMORA.RESOURCES");
    const QString appData = temp.file("appdata");

    struct Case {
        const char *name;
        ProgramFolderCandidates candidates;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"home variable wins", {temp.file("home/"), portable, appData}, temp.file("home")},
        {"portable install", {"", portable, appData}, portable},
        {"marker in other letter case", {"", marked, appData}, marked},
        {"installed executable", {"", installed, appData}, appData},
        {"executable folder gone", {"", temp.file("gone"), appData}, appData},
        {"no executable folder known", {"", "", appData}, appData},
    };
    for (const Case &c : cases)
        EXPECT_EQ(chooseProgramFolder(c.candidates), c.expected) << c.name;
    EXPECT_EQ(installedResourceFolder("/usr/bin"), "/usr/share/numora");
}

TEST(ProgramFolderTest, InstalledResourcesAreCopiedWhenMissing)
{
    test::TempFolder resources;
    test::TempFolder program;
    touch(resources.file("hints.txt"), "installed hints");
    touch(resources.file("av_na.ini"), "sheets");
    ASSERT_TRUE(QDir(resources.path()).mkpath("help"));
    touch(resources.file("help/index.html"), "help");
    QFile::setPermissions(resources.file("av_na.ini"), QFile::ReadOwner | QFile::ReadGroup);
    touch(program.file("HINTS.TXT"), "user's own hints");

    EXPECT_TRUE(copyMissingResources(resources.path(), program.path()));

    QFile hints(program.file("HINTS.TXT"));
    ASSERT_TRUE(hints.open(QIODevice::ReadOnly));
    EXPECT_EQ(hints.readAll(), "user's own hints");
    EXPECT_FALSE(QFile::exists(program.file("hints.txt")));
    EXPECT_TRUE(QFile::exists(program.file("help/index.html")));
    EXPECT_TRUE(QFile::permissions(program.file("av_na.ini")).testFlag(QFile::WriteOwner));
}

TEST(ProgramFolderTest, TheInstalledCopyOfAResourceWinsOverAnOlderCopyInTheProgramFolder)
{
    test::TempFolder temp;
    const QString executable = temp.file("prefix/bin");
    const QString installedPage = temp.file("prefix/share/numora/manual/index.html");
    const QString copiedPage = temp.file("home/manual/index.html");
    ASSERT_TRUE(QDir().mkpath(executable) && QDir().mkpath(temp.file("prefix/share/numora/manual"))
                && QDir().mkpath(temp.file("home/manual")));
    const QString home = temp.file("home");

    struct Case {
        const char *name;
        bool installed;
        bool copied;
        QString executableFolder;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"installed and copied", true, true, executable, installedPage},
        {"installed only", true, false, executable, installedPage},
        {"portable or an older copy", false, true, executable, copiedPage},
        {"no executable folder known", true, true, "", copiedPage},
        {"nowhere", false, false, executable, ""},
    };
    for (const Case &c : cases) {
        QFile::remove(installedPage);
        QFile::remove(copiedPage);
        if (c.installed)
            touch(installedPage);
        if (c.copied)
            touch(copiedPage);
        EXPECT_EQ(locateResource("manual/index.html", home, c.executableFolder), c.expected) << c.name;
    }
    // A folder of that name is not the page.
    EXPECT_EQ(locateResource("manual", home, executable), "");
}

TEST(ProgramFolderTest, TheHomeVariableNamesTheProgramFolder)
{
    test::TempFolder temp;
    const bool wasSet = qEnvironmentVariableIsSet("NUMORA_HOME");
    const QByteArray previous = qgetenv("NUMORA_HOME");
    qputenv("NUMORA_HOME", temp.file("home").toLocal8Bit());
    const QString folder = setUpProgramFolder();
    wasSet ? qputenv("NUMORA_HOME", previous) : qunsetenv("NUMORA_HOME");

    EXPECT_EQ(folder, temp.file("home"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

} // namespace
} // namespace numora::settings
