#include "settings/program_options.h"
#include "settings/scrambled_text.h"

#include "support/temp_folder.h"

#include <QDir>
#include <gtest/gtest.h>

namespace numora::settings {
namespace {

TEST(ScrambledTextTest, TheKeyRestartsAfterItsTenthByte)
{
    ValueWriter writer;
    writeScrambledText(writer, QString(12, 'A'), kOptionsFileKey);
    const QByteArray bytes = writer.bytes();
    ASSERT_EQ(bytes.size(), 13);
    EXPECT_EQ(quint8(bytes[0]), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(quint8(bytes[1 + i]), quint8('A' ^ kOptionsFileKey[size_t(i % 10)])) << i;

    ValueReader reader(bytes);
    EXPECT_EQ(readScrambledText(reader, kOptionsFileKey), QString(12, 'A'));
    EXPECT_NE(kOptionsFileKey, kUserAccountFileKey);
}

TEST(ScrambledTextTest, TextsAreCutTo255Bytes)
{
    ValueWriter writer;
    writeScrambledText(writer, QString(300, 'p'), kUserAccountFileKey);
    ValueReader reader(writer.bytes());
    EXPECT_EQ(readScrambledText(reader, kUserAccountFileKey), QString(255, 'p'));
}

TEST(ProgramOptionsFileTest, FieldsAreWrittenInOrder)
{
    ProgramOptions options;
    options.dataRoot = "/x";
    // 1 password not required, 0 as in accounts, "/x" scrambled, 0 one user, no password
    const QByteArray expected = QByteArray::fromHex("0100" "0000") + char(2)
                                + char('/' ^ kOptionsFileKey[0]) + char('x' ^ kOptionsFileKey[1])
                                + QByteArray::fromHex("0000" "00");
    EXPECT_EQ(encodeProgramOptions(options), expected);
}

TEST(ProgramOptionsFileTest, RoundTripsByteForByte)
{
    const std::vector<ProgramOptions> cases = {
        {},
        {PasswordMode::Required, PublicFilesAccess::ReadOnly, "/srv/numora", UsersCount::MultiUser,
         "s3cret"},
        {PasswordMode::NotRequired, PublicFilesAccess::None, QString(255, 'r'),
         UsersCount::SingleUser, "pässword"},
    };
    for (const ProgramOptions &options : cases) {
        const QByteArray bytes = encodeProgramOptions(options);
        ProgramOptions read;
        read.dataRoot = "before";
        decodeProgramOptions(bytes, read);
        EXPECT_EQ(read, options);
        EXPECT_EQ(encodeProgramOptions(read), bytes);
    }
}

TEST(ProgramOptionsFileTest, AShortFileLeavesTheLaterFieldsAlone)
{
    const ProgramOptions full{PasswordMode::Required, PublicFilesAccess::ReadOnly, "/srv",
                              UsersCount::MultiUser, "pw"};
    const QByteArray bytes = encodeProgramOptions(full);
    ProgramOptions read;
    read.dataRoot = "/default";
    decodeProgramOptions(bytes.left(5), read); // two numbers and the text's length byte
    EXPECT_EQ(read.passwordMode, PasswordMode::Required);
    EXPECT_EQ(read.publicFilesAccess, PublicFilesAccess::ReadOnly);
    EXPECT_EQ(read.dataRoot, "/default");
    EXPECT_EQ(read.usersCount, UsersCount::SingleUser);
}

// A program folder and two data roots, each of which may hold an options.dat.
class ProgramOptionsChainTest : public ::testing::Test {
protected:
    ProgramOptionsChainTest()
        : program(temp.file("program")), rootA(temp.file("rootA")), rootB(temp.file("rootB"))
    {
        for (const QString &folder : {program, rootA, rootB})
            QDir().mkpath(folder);
        folders = Folders::forProgramFolder(program);
    }

    static void write(const QString &folder, const QString &dataRoot, const QString &password,
                      const QString &fileName = "options.dat")
    {
        ProgramOptions options;
        options.dataRoot = dataRoot;
        options.supervisorPassword = password;
        options.passwordMode = PasswordMode::Required;
        ASSERT_TRUE(writeSettingsFile(folder + "/" + fileName, encodeProgramOptions(options)));
    }

    test::TempFolder temp;
    QString program, rootA, rootB;
    Folders folders;
    ProgramOptions options;
};

TEST_F(ProgramOptionsChainTest, NoFileLeavesTheDefaults)
{
    const ProgramOptionsLoad load = loadProgramOptions(options, folders);
    EXPECT_FALSE(load.read);
    EXPECT_TRUE(load.missingDataRoot.isEmpty());
    EXPECT_EQ(options.passwordMode, PasswordMode::NotRequired);
    EXPECT_EQ(options.dataRoot, program);
    EXPECT_EQ(folders.dataRoot, program);
}

TEST_F(ProgramOptionsChainTest, TheChainGivesSecurityFromItsLastFileAndTheRootFromTheFirst)
{
    struct Case {
        const char *name;
        std::function<void()> arrange;
        QString password;
        QString dataRoot;
    };
    const std::vector<Case> cases = {
        {"only the program folder's file", [&] { write(program, rootA, "p"); }, "p", rootA},
        {"data root with its own file",
         [&] {
             write(program, rootA, "p");
             write(rootA, rootA, "a");
         },
         "a", rootA},
        {"file found whatever its letter case",
         [&] {
             write(program, rootA, "p");
             write(rootA, rootA, "a", "OPTIONS.DAT");
         },
         "a", rootA},
        {"chain of two data roots",
         [&] {
             write(program, rootA, "p");
             write(rootA, rootB, "a");
             write(rootB, rootB, "b");
         },
         "b", rootA},
        {"chain back to the program folder ends",
         [&] {
             write(program, rootA, "p");
             write(rootA, program, "a");
         },
         "a", rootA},
        {"chain between two roots ends",
         [&] {
             write(program, rootA, "p");
             write(rootA, rootB, "a");
             write(rootB, rootA + "/", "b");
         },
         "b", rootA},
        {"relative data root",
         [&] {
             write(program, "../rootB", "p");
             write(rootB, "", "b");
         },
         "b", rootB},
    };
    for (const Case &c : cases) {
        for (const QString &folder : {program, rootA, rootB})
            for (const QString &file : QDir(folder).entryList(QDir::Files))
                QFile::remove(folder + "/" + file);
        c.arrange();
        folders = Folders::forProgramFolder(program);

        const ProgramOptionsLoad load = loadProgramOptions(options, folders);
        EXPECT_TRUE(load.read) << c.name;
        EXPECT_EQ(options.supervisorPassword, c.password) << c.name;
        EXPECT_EQ(options.passwordMode, PasswordMode::Required) << c.name;
        EXPECT_EQ(folders.dataRoot, c.dataRoot) << c.name;
        EXPECT_EQ(folders.currentFolder, program) << c.name;
    }
}

TEST_F(ProgramOptionsChainTest, AMissingDataRootIsReportedAndTheProgramFolderUsed)
{
    const QString gone = temp.file("gone");
    write(program, gone, "p");
    const ProgramOptionsLoad load = loadProgramOptions(options, folders);
    EXPECT_TRUE(load.read);
    EXPECT_EQ(load.missingDataRoot, gone);
    EXPECT_EQ(folders.dataRoot, program);
    // The stored path survives, so a network folder that is back next time is used again.
    EXPECT_EQ(options.dataRoot, gone);
    EXPECT_EQ(options.supervisorPassword, "p");
}

TEST_F(ProgramOptionsChainTest, SavingWritesToTheDataRootWhenItIsAnotherFolder)
{
    options.dataRoot = program;
    options.supervisorPassword = "one";
    EXPECT_TRUE(saveProgramOptions(options, folders));
    EXPECT_TRUE(QFile::exists(program + "/options.dat"));
    EXPECT_FALSE(QFile::exists(rootA + "/options.dat"));

    options.dataRoot = rootA;
    options.supervisorPassword = "two";
    EXPECT_TRUE(saveProgramOptions(options, folders));
    for (const QString &folder : {program, rootA}) {
        ProgramOptions read;
        decodeProgramOptions(*readSettingsFile(folder + "/options.dat"), read);
        EXPECT_EQ(read, options) << folder.toStdString();
    }

    options.dataRoot = temp.file("gone");
    EXPECT_FALSE(saveProgramOptions(options, folders));
}

} // namespace
} // namespace numora::settings
