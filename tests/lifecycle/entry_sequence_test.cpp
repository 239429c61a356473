#include "lifecycle/entry_sequence.h"

#include "core/value_stream.h"
#include <QStringList> // scripted_prompt.h uses it without including it
#include "support/scripted_prompt.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace numora::lifecycle {
namespace {

using settings::PasswordMode;
using settings::ProgramOptions;
using settings::UsersCount;

TEST(LoginGate, ShownOnlyWhenAPasswordIsAskedForOrSeveralUsersWork)
{
    struct Case {
        PasswordMode mode;
        const char *password;
        UsersCount users;
        bool skipped;
    };
    const std::vector<Case> cases = {
        {PasswordMode::NotRequired, "", UsersCount::SingleUser, true},
        {PasswordMode::NotRequired, "secret", UsersCount::SingleUser, true},
        {PasswordMode::Required, "", UsersCount::SingleUser, true},
        {PasswordMode::Required, "secret", UsersCount::SingleUser, false},
        {PasswordMode::NotRequired, "", UsersCount::MultiUser, false},
        {PasswordMode::Required, "secret", UsersCount::MultiUser, false},
    };
    for (const Case &c : cases) {
        ProgramOptions options;
        options.passwordMode = c.mode;
        options.supervisorPassword = c.password;
        options.usersCount = c.users;
        EXPECT_EQ(loginGateSkipped(options), c.skipped)
            << "mode " << int(c.mode) << ", password '" << c.password << "', users "
            << int(c.users);
    }
}

// A program folder found through NUMORA_HOME. Every hook notes its name in `log`; the
// owner window's hook also notes which files exist by then.
class EntrySequenceTest : public ::testing::Test {
protected:
    EntrySequenceTest()
        : program(temp.file("program")), wasSet(qEnvironmentVariableIsSet("NUMORA_HOME")),
          previous(qgetenv("NUMORA_HOME"))
    {
        EXPECT_TRUE(QDir().mkpath(program));
        qputenv("NUMORA_HOME", program.toLocal8Bit());
    }
    ~EntrySequenceTest() override
    {
        wasSet ? qputenv("NUMORA_HOME", previous) : qunsetenv("NUMORA_HOME");
    }

    void writeProgramOptions(PasswordMode mode, UsersCount users)
    {
        ProgramOptions options;
        options.passwordMode = mode;
        options.supervisorPassword = "secret";
        options.usersCount = users;
        ASSERT_TRUE(writeSettingsFile(program + "/options.dat",
                                                settings::encodeProgramOptions(options)));
    }

    QStringList files() const
    {
        QStringList found;
        QDirIterator it(temp.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << QDir(temp.path()).relativeFilePath(it.next());
        found.sort();
        return found;
    }

    std::function<void()> hook(const QString &name)
    {
        return [this, name] { log << name; };
    }

    int start(std::optional<LoginOutcome> loginAnswer = std::nullopt)
    {
        EntryHooks hooks;
        hooks.showSplash = hook("splash");
        if (loginAnswer)
            hooks.loginGate = [this, loginAnswer](settings::RunSettings &) {
                log << "login gate";
                return *loginAnswer;
            };
        hooks.lists = {[this](const QString &) { log << "template lists"; },
                       [this](const QString &) { log << "report list"; }};
        hooks.createOwnerWindow = [this] {
            log << "owner window";
            filesAtOwnerWindow = files();
        };
        hooks.createActivityLog = hook("activity log");
        hooks.loadReminders = hook("reminders");
        hooks.constructMainWindow = hook("main window");
        hooks.closeSplash = hook("close splash");
        hooks.showTips = hook("tips");
        hooks.runMessageLoop = [this] {
            log << "message loop";
            return 0;
        };
        hooks.saveReminders = hook("save reminders");
        return runEntrySequence(settings, prompt, hooks);
    }

    test::TempFolder temp;
    QString program;
    bool wasSet;
    QByteArray previous;
    test::ScriptedPrompt prompt;
    settings::RunSettings settings;
    QStringList log;
    std::optional<QStringList> filesAtOwnerWindow;
};

const QStringList kWholeStart = {"splash",       "template lists", "report list",
                                 "owner window", "activity log",   "reminders",
                                 "main window",  "close splash",   "tips",
                                 "message loop", "save reminders"};

TEST_F(EntrySequenceTest, AFirstRunGoesThroughEveryStepWithoutALogin)
{
    EXPECT_EQ(start(LoginOutcome::Rejected), 0);
    EXPECT_EQ(log, kWholeStart);
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_TRUE(QFileInfo(program + "/DATA/BACKUP").isDir());
    EXPECT_EQ(settings.folders.settingsFolder, program + "/DATA");
}

TEST_F(EntrySequenceTest, ALoginLessStartWritesNoFileBeforeTheDatabaseOptionsAreLoaded)
{
    struct Case {
        const char *what;
        std::optional<PasswordMode> programOptions; // nothing: no options.dat
    };
    const std::vector<Case> cases = {
        {"first run", std::nullopt},
        {"1-user system without a password", PasswordMode::NotRequired},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        log.clear();
        filesAtOwnerWindow.reset();
        QFile::remove(program + "/options.dat");
        if (c.programOptions)
            writeProgramOptions(*c.programOptions, UsersCount::SingleUser);
        const QStringList before = files();

        start(LoginOutcome::Rejected);
        EXPECT_EQ(filesAtOwnerWindow, before);
        EXPECT_FALSE(log.contains("login gate"));
    }
}

TEST_F(EntrySequenceTest, AStartEndsAtARefusedLoginBeforeAnyDatabaseSettingIsRead)
{
    struct Case {
        LoginOutcome outcome;
        const char *message;
    };
    const std::vector<Case> cases = {
        {LoginOutcome::Rejected, "Incorrect Login!"},
        {LoginOutcome::AccountDeactivated,
         "Your acount has been disactivated! Please, contact the System Supervisor."},
    };
    writeProgramOptions(PasswordMode::Required, UsersCount::SingleUser);
    const QStringList before = files();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message);
        log.clear();
        prompt.shown.clear();

        EXPECT_EQ(start(c.outcome), kLoginFailedExitCode);
        EXPECT_EQ(log, QStringList({"splash", "login gate"}));
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].text, c.message);
        EXPECT_EQ(prompt.shown[0].kind, MessageKind::Error);
        EXPECT_EQ(prompt.shown[0].buttons, Buttons(Button::Ok));
        EXPECT_EQ(files(), before);
    }
}

TEST_F(EntrySequenceTest, AnAcceptedLoginComesBetweenTheFoldersAndTheDatabaseOptions)
{
    writeProgramOptions(PasswordMode::NotRequired, UsersCount::MultiUser);
    EXPECT_EQ(start(LoginOutcome::Accepted), 0);

    QStringList expected = kWholeStart;
    expected.insert(1, "login gate");
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(EntrySequenceTest, TipsWaitForTheirOption)
{
    settings::DatabaseOptions options;
    options.displayTips = false;
    ASSERT_TRUE(QDir().mkpath(program + "/DATA"));
    ASSERT_TRUE(writeSettingsFile(
        program + "/DATA/options.dat", settings::encodeDatabaseOptions(options, {})));

    start();
    QStringList expected = kWholeStart;
    expected.removeOne("tips");
    EXPECT_EQ(log, expected);
}

} // namespace
} // namespace numora::lifecycle
