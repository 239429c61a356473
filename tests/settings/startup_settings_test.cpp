#include "settings/startup_settings.h"

#include "core/value_stream.h"
#include <QStringList> // scripted_prompt.h uses it without including it
#include "support/scripted_prompt.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace numora::settings {
namespace {

// A program folder found through NUMORA_HOME and a separate data root, with a script of
// what the login gate does and a record of the order in which the steps ran.
class StartupSettingsTest : public ::testing::Test {
protected:
    StartupSettingsTest()
        : program(temp.file("program")), root(temp.file("root")),
          wasSet(qEnvironmentVariableIsSet("NUMORA_HOME")), previous(qgetenv("NUMORA_HOME"))
    {
        QDir().mkpath(program);
        QDir().mkpath(root);
        qputenv("NUMORA_HOME", program.toLocal8Bit());
    }
    ~StartupSettingsTest() override
    {
        wasSet ? qputenv("NUMORA_HOME", previous) : qunsetenv("NUMORA_HOME");
    }

    void writeProgramOptions(const QString &dataRoot)
    {
        ProgramOptions options;
        options.dataRoot = dataRoot;
        options.passwordMode = PasswordMode::Required;
        options.supervisorPassword = "pw";
        ASSERT_TRUE(writeSettingsFile(program + "/options.dat", encodeProgramOptions(options)));
    }

    // A database folder holding its own options, labels and date formats.
    void writeDatabaseSettings(const QString &folder, const QString &label)
    {
        ASSERT_TRUE(QDir().mkpath(folder));
        DatabaseOptions options;
        options.letterTabs = LetterTabs::DontUse;
        ASSERT_TRUE(writeSettingsFile(folder + "/options.dat",
                                      encodeDatabaseOptions(options, {"data_2.dbf", folder})));
        ASSERT_TRUE(writeSettingsFile(folder + "/labels.dat", label.toUtf8() + "\n"));
        ASSERT_TRUE(writeSettingsFile(folder + "/date.dat", "3\n"));
    }

    StartupSettings::Outcome start(std::function<bool(RunSettings &)> gate)
    {
        const StartupSettings startup(
            prompt,
            [this, gate](RunSettings &s) {
                calls << "login gate";
                return gate(s);
            },
            SettingsListHooks{[this](const QString &f) { calls << "template lists in " + f; },
                              [this](const QString &f) { calls << "report list in " + f; }});
        return startup(settings);
    }

    test::TempFolder temp;
    QString program, root;
    bool wasSet;
    QByteArray previous;
    test::ScriptedPrompt prompt;
    RunSettings settings;
    QStringList calls;
};

TEST_F(StartupSettingsTest, TheLoginChoosesTheFolderWhoseSettingsAreLoaded)
{
    writeProgramOptions(root);
    const QString privateFolder = root + "/data0001";
    writeDatabaseSettings(privateFolder, "Private label");

    const StartupSettings::Outcome outcome = start([&](RunSettings &s) {
        // The folders are ready before the gate and nothing of the database is loaded yet.
        EXPECT_TRUE(QFileInfo(root + "/DATA/BACKUP").isDir());
        EXPECT_EQ(s.folders.dataRoot, root);
        EXPECT_EQ(s.folders.databaseFolder, root + "/DATA");
        EXPECT_TRUE(s.folders.settingsFolder.isEmpty());
        s.login = LoginState{false, "ann", AccessLevel::ReadWrite};
        s.folders.databaseFolder = s.folders.privateDatabaseFolder(1);
        return true;
    });

    EXPECT_TRUE(outcome.programOptions.read);
    EXPECT_TRUE(outcome.loginAccepted);
    EXPECT_TRUE(outcome.databaseOptionsRead);
    EXPECT_EQ(calls, QStringList({"login gate", "template lists in " + privateFolder,
                                  "report list in " + privateFolder}));
    EXPECT_EQ(settings.folders.programFolder, program);
    EXPECT_EQ(settings.folders.settingsFolder, privateFolder);
    EXPECT_EQ(settings.folders.currentFolder, program);
    EXPECT_EQ(settings.databaseOptions.letterTabs, LetterTabs::DontUse);
    EXPECT_EQ(settings.recordTableFileName, "data_2.dbf");
    EXPECT_EQ(settings.fieldNames.names(), QStringList{"Private label"});
    EXPECT_EQ(settings.dateFormats.formats(), QList<DateFormat>{DateFormat::Year});
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(StartupSettingsTest, WithoutProgramOptionsTheGateIsSkippedAndThePublicFolderUsed)
{
    writeDatabaseSettings(program + "/DATA", "Public label");
    const StartupSettings::Outcome outcome = start([](RunSettings &) { return false; });

    EXPECT_FALSE(outcome.programOptions.read);
    EXPECT_TRUE(outcome.loginAccepted);
    EXPECT_TRUE(settings.login.supervisor);
    EXPECT_EQ(calls, QStringList({"template lists in " + program + "/DATA",
                                  "report list in " + program + "/DATA"}));
    EXPECT_TRUE(QFileInfo(program + "/DATA/BACKUP").isDir());
    EXPECT_EQ(settings.fieldNames.names(), QStringList{"Public label"});
}

TEST_F(StartupSettingsTest, ARejectedLoginLoadsNothingMore)
{
    writeProgramOptions(root);
    writeDatabaseSettings(root + "/DATA", "Public label");
    const StartupSettings::Outcome outcome = start([](RunSettings &) { return false; });

    EXPECT_FALSE(outcome.loginAccepted);
    EXPECT_FALSE(outcome.databaseOptionsRead);
    EXPECT_EQ(calls, QStringList{"login gate"});
    EXPECT_TRUE(settings.folders.settingsFolder.isEmpty());
    EXPECT_TRUE(settings.fieldNames.names().isEmpty());
}

TEST_F(StartupSettingsTest, AMissingDataRootIsReportedAndTheProgramFolderServesInstead)
{
    writeProgramOptions(temp.file("unplugged drive"));
    const StartupSettings::Outcome outcome = start([&](RunSettings &) {
        // The user has been told before the login and the database.
        EXPECT_EQ(prompt.shown.size(), 1u);
        return true;
    });

    EXPECT_EQ(outcome.programOptions.missingDataRoot, temp.file("unplugged drive"));
    EXPECT_TRUE(outcome.loginAccepted);
    EXPECT_EQ(settings.folders.dataRoot, program);
    EXPECT_EQ(settings.folders.settingsFolder, program + "/DATA");
    EXPECT_TRUE(QFileInfo(program + "/DATA/BACKUP").isDir());
    EXPECT_FALSE(QFileInfo::exists(temp.file("unplugged drive")));

    ASSERT_EQ(prompt.shown.size(), 1u);
    const test::ShownMessage &shown = prompt.shown.front();
    EXPECT_EQ(shown.text, "Could not find the data folder:\r" + temp.file("unplugged drive")
                              + "\rThis time the program folder is used instead:\r" + program
                              + "\rThe data folder setting is kept, so the next start looks "
                                "for it again.");
    EXPECT_EQ(shown.kind, MessageKind::Warning);

    // The stored setting is what the next start looks for again. (Its copy on the missing
    // drive cannot be written, which the end of the run reports.)
    EXPECT_EQ(settings.programOptions.dataRoot, temp.file("unplugged drive"));
    EXPECT_FALSE(saveProgramOptions(settings.programOptions, settings.folders));
    ProgramOptions reread;
    Folders again = Folders::forProgramFolder(program);
    EXPECT_EQ(loadProgramOptions(reread, again).missingDataRoot, temp.file("unplugged drive"));
}

} // namespace
} // namespace numora::settings
