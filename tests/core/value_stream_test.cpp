#include "core/value_stream.h"

#include "support/temp_folder.h"

#include <QFile>

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace numora::settings {
namespace {

QByteArray hex(const char *digits) { return QByteArray::fromHex(digits); }

struct IntegerCase {
    qint32 value;
    const char *image;
};

TEST(ValueStreamTest, IntegersUseTheSmallestTagAndReadBackWhole)
{
    const std::vector<IntegerCase> cases = {
        {0, "0200"},
        {-5, "02fb"},
        {127, "027f"},
        {-128, "0280"},
        {128, "038000"},
        {200, "03c800"},
        {-129, "037fff"},
        {32767, "03ff7f"},
        {-32768, "030080"},
        {32768, "0400800000"},
        {-32769, "04ff7fffff"},
        {INT_MIN, "0400000080"},
    };
    for (const IntegerCase &c : cases) {
        ValueWriter writer;
        writer.writeInteger(c.value);
        EXPECT_EQ(writer.bytes().toHex(), QByteArray(c.image)) << c.value;
        ValueReader reader(writer.bytes());
        EXPECT_EQ(reader.readInteger(), c.value);
        EXPECT_TRUE(reader.atEnd());
    }
}

TEST(ValueStreamTest, IntegersReadFromAnyWidthAreSignExtended)
{
    const std::vector<IntegerCase> cases = {
        {-5, "03fbff"},
        {-5, "04fbffffff"},
        {200, "04c8000000"},
        {1, "030100"},
    };
    for (const IntegerCase &c : cases)
        EXPECT_EQ(ValueReader(hex(c.image)).readInteger(), c.value) << c.image;
}

TEST(ValueStreamTest, StringsPickTheTagByByteLength)
{
    struct Case {
        QString text;
        QByteArray head;
    };
    const std::vector<Case> cases = {
        {"", hex("0600")},
        {"abc", hex("0603")},
        {QString(255, 'x'), hex("06ff")},
        {QString(256, 'x'), hex("0c00010000")},
        {QString(300, 'n'), hex("0c2c010000")},
        // 128 two-byte characters are 256 bytes although only 128 characters.
        {QString(128, QChar(0xE9)), hex("0c00010000")},
    };
    for (const Case &c : cases) {
        ValueWriter writer;
        writer.writeString(c.text);
        EXPECT_EQ(writer.bytes().left(c.head.size()), c.head) << c.text.size();
        EXPECT_EQ(writer.bytes().size(), c.head.size() + c.text.toUtf8().size());
        ValueReader reader(writer.bytes());
        EXPECT_EQ(reader.readString(), c.text);
        EXPECT_TRUE(reader.atEnd());
    }
}

TEST(ValueStreamTest, ShortTextsAreUntaggedAndCutAtACharacterBoundary)
{
    struct Case {
        QString text;
        QString readBack;
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"Supervisor", "Supervisor"},
        {QString(300, 'a'), QString(255, 'a')},
        // 127 two-byte characters fill 254 bytes; half of the 128th must not be kept.
        {QString(128, QChar(0xE9)), QString(127, QChar(0xE9))},
    };
    for (const Case &c : cases) {
        ValueWriter writer;
        writer.writeShortText(c.text);
        const QByteArray utf8 = c.readBack.toUtf8();
        EXPECT_EQ(writer.bytes(), char(utf8.size()) + utf8);
        EXPECT_EQ(ValueReader(writer.bytes()).readShortText(), c.readBack);
    }
}

TEST(ValueStreamTest, RawFieldsAreLittleEndianWithoutTags)
{
    ValueWriter writer;
    writer.writeRawInt16(-2);
    writer.writeRawInt32(0x01020304);
    writer.writeRawUInt8(7);
    writer.writeRaw("ab");
    EXPECT_EQ(writer.bytes(), hex("feff04030201076162"));

    ValueReader reader(writer.bytes());
    EXPECT_EQ(reader.readRawInt16(), -2);
    EXPECT_EQ(reader.readRawInt32(), 0x01020304);
    EXPECT_EQ(reader.readRawUInt8(), 7);
    EXPECT_EQ(reader.readRaw(2), QByteArray("ab"));
}

TEST(ValueStreamTest, AnEmptyListIsOneThenZero)
{
    ValueWriter writer;
    writer.beginList();
    writer.endList();
    EXPECT_EQ(writer.bytes(), hex("0100"));
}

TEST(ValueStreamTest, DamagedValuesThrowAndLeaveTheReaderAtTheEnd)
{
    struct Case {
        const char *name;
        const char *image;
        std::function<void(ValueReader &)> read;
    };
    const auto readInteger = [](ValueReader &r) { r.readInteger(); };
    const auto readString = [](ValueReader &r) { r.readString(); };
    const std::vector<Case> cases = {
        {"empty input", "", readInteger},
        {"integer cut short", "04010203", readInteger},
        {"text where a number belongs", "060161", readInteger},
        {"float tag", "0500", readInteger},
        {"number where a text belongs", "0201", readString},
        {"short string past the end", "060561", readString},
        {"long string length past the end", "0cffffffff61", readString},
        {"short text past the end", "0a6162", [](ValueReader &r) { r.readShortText(); }},
        {"list without its begin tag", "0200", [](ValueReader &r) { r.readListBegin(); }},
        {"list end where a value is", "0201", [](ValueReader &r) { r.readListEnd(); }},
        {"list that just stops", "", [](ValueReader &r) { r.atListEnd(); }},
    };
    for (const Case &c : cases) {
        ValueReader reader(hex(c.image));
        EXPECT_THROW(c.read(reader), StreamError) << c.name;
        EXPECT_TRUE(reader.atEnd()) << c.name;
    }
}

TEST(ValueStreamTest, ReadingAListKeepsTheItemsBeforeTheDamage)
{
    struct Case {
        const char *name;
        const char *image;
        bool complete;
        std::vector<qint32> items;
    };
    const std::vector<Case> cases = {
        {"whole list", "01020102020300010000", true, {1, 2, 256}},
        {"empty list", "0100", true, {}},
        {"cut after two items", "010201020203", false, {1, 2}},
        {"text in place of the third item", "0102010202060161", false, {1, 2}},
        {"end tag missing", "0102010202", false, {1, 2}},
        {"no list begin", "020100", false, {}},
        {"empty file", "", false, {}},
    };
    for (const Case &c : cases) {
        ValueReader reader(hex(c.image));
        std::vector<qint32> items;
        EXPECT_EQ(readList(reader, [&](ValueReader &r) { items.push_back(r.readInteger()); }),
                  c.complete)
            << c.name;
        EXPECT_EQ(items, c.items) << c.name;
    }
}

TEST(ValueStreamTest, AnItemThatReadsNothingEndsTheListInsteadOfLooping)
{
    ValueReader reader(hex("01020100"));
    int calls = 0;
    EXPECT_FALSE(readList(reader, [&](ValueReader &) { ++calls; }));
    EXPECT_EQ(calls, 1);
}

// How a write made in a child process ended.
enum class ChildWrite { Written, Failed, CouldNotSetUp };

// Files may grow to a few bytes only, as on a full disk; writing past that fails (EFBIG)
// instead of ending the process.
bool limitFileSize()
{
    const rlimit limit{16, 16};
    return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

// Root may add files to any folder, so it becomes a user that the folder's permissions bind.
bool becomeBoundByPermissions()
{
    const uid_t nobody = 65534;
    return geteuid() != 0
           || (setgroups(0, nullptr) == 0 && setgid(nobody) == 0 && setuid(nobody) == 0);
}

// The limits of a failing write stay in a child process of their own.
ChildWrite writeInChild(bool folderTakesNoNewFile, const QString &path, const QByteArray &bytes)
{
    const pid_t child = fork();
    if (child == 0) {
        const bool ready = limitFileSize() && (!folderTakesNoNewFile || becomeBoundByPermissions());
        _exit(int(!ready ? ChildWrite::CouldNotSetUp
                         : writeSettingsFile(path, bytes) ? ChildWrite::Written
                                                          : ChildWrite::Failed));
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return ChildWrite::CouldNotSetUp;
    return ChildWrite(WEXITSTATUS(status));
}

void setMode(const QString &path, mode_t mode)
{
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), mode), 0) << path.toStdString();
}

TEST(SettingsFileTest, AFailedWriteLeavesTheOldFileWhole)
{
    struct Case {
        const char *name;
        bool folderTakesNoNewFile; // but lets anyone change the file in place
    };
    const QByteArray oldBytes = "old settings";
    const QByteArray newBytes(4096, 'n');
    for (const Case &c : {Case{"the disk fills up", false},
                          Case{"the disk fills up in a folder that takes no new file", true}}) {
        test::TempFolder folder;
        const QString path = folder.file("options.dat");
        ASSERT_TRUE(writeSettingsFile(path, oldBytes));
        if (c.folderTakesNoNewFile) {
            setMode(path, 0666);
            setMode(folder.path(), 0555);
        }

        const ChildWrite outcome = writeInChild(c.folderTakesNoNewFile, path, newBytes);
        setMode(folder.path(), 0700);

        ASSERT_NE(outcome, ChildWrite::CouldNotSetUp) << c.name;
        EXPECT_EQ(outcome, ChildWrite::Failed) << c.name;
        EXPECT_EQ(readSettingsFile(path), oldBytes) << c.name;
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"options.dat"})
            << c.name << ": the temporary file is left behind";
    }
}

} // namespace
} // namespace numora::settings
