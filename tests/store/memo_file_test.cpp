#include "store/memo_file.h"
#include "store/store_error.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

namespace numora::store {
using numora::test::fileBytes;
using numora::test::writeFileBytes;

namespace {

quint32 u32At(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

// Bytes 0..255 over and over, so every value holds 0x00, 0x1A and 0xFF.
QByteArray binaryValue(int size)
{
    QByteArray value(size, '\0');
    for (int i = 0; i < size; ++i)
        value[i] = char(i % 256);
    return value;
}

class MemoFileTest : public testing::Test {
protected:
    MemoFileTest() { MemoFile::create(path, "COINS"); }

    test::TempFolder folder;
    const QString path = folder.file("coins.dbt");
};

TEST_F(MemoFileTest, CreateWritesADbase4Header)
{
    const QByteArray bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), 512);
    EXPECT_EQ(u32At(bytes, 0), 1u) << "block 1 is the first free one";
    EXPECT_EQ(bytes.mid(8, 8), QByteArray("COINS\0\0\0", 8));
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 20), 512);
    EXPECT_EQ(bytes.mid(22), QByteArray(512 - 22, '\0'));

    MemoFile::create(path, "CATALOGUE2024");
    EXPECT_EQ(fileBytes(path).mid(8, 8), QByteArray("CATALOGU"));
}

struct ValueCase {
    const char *name;
    QByteArray value;
    quint32 blocks; // blocks the value takes with its 8-byte header
};

// Appended one after the other into one file, then read back.
const std::vector<ValueCase> &valueCases()
{
    static const std::vector<ValueCase> cases = {
        {"empty", "", 1},
        {"text", "Struck in Lyon.", 1},
        {"multiLineUtf8", QStringLiteral("Münze\r\nRand: Ø 27 mm\n€ 12").toUtf8(), 1},
        {"endMarkersInside",
         QByteArray("a\x1A\x1A"
                    "b\0c",
                    6),
         1},
        {"fillsOneBlock", binaryValue(504), 1},
        {"oneByteIntoTheNext", binaryValue(505), 2},
        {"picture", binaryValue(5000), 10},
    };
    return cases;
}

TEST_F(MemoFileTest, ValuesRoundTripByteForByte)
{
    std::vector<quint32> blocks;
    {
        MemoFile memo(path, true);
        quint32 expectedBlock = 1;
        for (const ValueCase &c : valueCases()) {
            blocks.push_back(memo.append(c.value));
            EXPECT_EQ(blocks.back(), expectedBlock) << c.name;
            expectedBlock += c.blocks;
        }
        const QByteArray bytes = fileBytes(path);
        EXPECT_EQ(u32At(bytes, 0), expectedBlock);
        EXPECT_EQ(bytes.size(), qsizetype(expectedBlock) * 512);
    }

    const MemoFile memo(path, false);
    const QByteArray bytes = fileBytes(path);
    for (size_t i = 0; i < blocks.size(); ++i) {
        const ValueCase &c = valueCases()[i];
        SCOPED_TRACE(c.name);
        const qsizetype at = qsizetype(blocks[i]) * 512;
        EXPECT_EQ(bytes.mid(at, 4), QByteArray("\xFF\xFF\x08\x00", 4));
        EXPECT_EQ(u32At(bytes, at + 4), quint32(8 + c.value.size()));
        EXPECT_EQ(memo.read(blocks[i]), c.value);
    }
}

TEST_F(MemoFileTest, HandlesAppendingInTurnNeverOverlap)
{
    MemoFile first(path, true);
    MemoFile second(path, true);
    std::vector<std::pair<quint32, QByteArray>> stored;
    for (int round = 0; round < 4; ++round) {
        MemoFile &writer = round % 2 == 0 ? first : second;
        const QByteArray value = binaryValue(300 + 400 * round).append(char('A' + round));
        stored.emplace_back(writer.append(value), value);
    }

    const MemoFile reader(path, false);
    for (const auto &[block, value] : stored)
        EXPECT_EQ(reader.read(block), value) << "block " << block;
}

TEST_F(MemoFileTest, AppendNeverWritesOverBytesTheHeaderForgot)
{
    MemoFile memo(path, true);
    const QByteArray kept = binaryValue(1200);
    const quint32 keptBlock = memo.append(kept);
    // A writer that died between storing its value and updating the header.
    QByteArray bytes = fileBytes(path);
    qToLittleEndian<quint32>(keptBlock, bytes.data());
    writeFileBytes(path, bytes);

    const quint32 next = memo.append("later value");
    EXPECT_GT(next, keptBlock);
    EXPECT_EQ(memo.read(keptBlock), kept);
    EXPECT_EQ(memo.read(next), "later value");
}

TEST_F(MemoFileTest, ReadOnlyFileRefusesAppends)
{
    MemoFile memo(path, false);
    EXPECT_THROW(memo.append("x"), DatabaseError);
}

TEST_F(MemoFileTest, MissingOrTruncatedFileDoesNotOpen)
{
    EXPECT_THROW(MemoFile(folder.file("absent.dbt"), false), DatabaseError);
    writeFileBytes(path, QByteArray(10, '\0'));
    EXPECT_THROW(MemoFile(path, false), DatabaseError);
}

TEST_F(MemoFileTest, BlockSizeComesFromTheHeader)
{
    QByteArray header = fileBytes(path);
    qToLittleEndian<quint16>(64, header.data() + 20);
    writeFileBytes(path, header.first(64));

    MemoFile memo(path, true);
    EXPECT_EQ(memo.blockSize(), 64u);
    const QByteArray value = binaryValue(100);
    EXPECT_EQ(memo.append(value), 1u);
    EXPECT_EQ(memo.append("next"), 3u) << "8 + 100 bytes take two 64-byte blocks";
    EXPECT_EQ(memo.read(1), value);
}

// A header names the block size; 0 (dBASE III) means 512. A size that is no step of
// 64 bytes up to 32 KiB is damage, and the file does not open.
TEST_F(MemoFileTest, ImplausibleBlockSizesAreDamage)
{
    const struct {
        quint16 stored;
        quint32 used; // 0: the file does not open
    } cases[] = {{0, 512}, {64, 64}, {512, 512}, {1024, 1024}, {16384, 16384}, {32768, 32768},
                 {1, 0},   {2, 0},   {32, 0},    {100, 0},    {513, 0},     {32832, 0}, {65535, 0}};
    const QByteArray header = fileBytes(path);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        QByteArray bytes = header;
        qToLittleEndian<quint16>(c.stored, bytes.data() + 20);
        writeFileBytes(path, bytes);
        if (c.used != 0) {
            EXPECT_EQ(MemoFile(path, false).blockSize(), c.used);
            continue;
        }
        try {
            MemoFile memo(path, false);
            ADD_FAILURE() << "opened with block size " << memo.blockSize();
        } catch (const DatabaseError &error) {
            EXPECT_EQ(error.kind(), DatabaseErrorKind::Damaged) << error.what();
        }
    }
}

// A dBASE III memo file as dBASE III and other programs write it: a header whose block
// size is 0, and values ended by 0x1A 0x1A with no length.
class Dbase3MemoTest : public testing::Test {
protected:
    Dbase3MemoTest()
    {
        QByteArray bytes(512, '\0');
        qToLittleEndian<quint32>(5, bytes.data());
        bytes[16] = 0x03;
        bytes += blockRun("line one\r\nline two\x1A\x1A");        // block 1
        bytes += blockRun(QByteArray(600, 'x') + "\x1A\x1A");     // blocks 2 and 3
        bytes += QByteArray("no end marker, ends with the file"); // block 4
        writeFileBytes(path, bytes);
    }

    static QByteArray blockRun(QByteArray value)
    {
        value.resize((value.size() + 511) / 512 * 512, '\0');
        return value;
    }

    test::TempFolder folder;
    const QString path = folder.file("legacy.dbt");
};

TEST_F(Dbase3MemoTest, ValuesEndAtTheMarkerOrTheFile)
{
    const MemoFile memo(path, false);
    EXPECT_EQ(memo.blockSize(), 512u);
    EXPECT_EQ(memo.read(1), "line one\r\nline two");
    EXPECT_EQ(memo.read(2), QByteArray(600, 'x'));
    EXPECT_EQ(memo.read(4), "no end marker, ends with the file");
}

// A value with no end marker runs to the end of the file, however large the file.
TEST_F(Dbase3MemoTest, AValueWithoutAnEndRunsToTheFileEnd)
{
    QByteArray bytes = fileBytes(path).first(4 * 512);
    QByteArray text(3 * 1024 * 1024, 'm');
    for (qsizetype i = 0; i < text.size(); i += 1000)
        text[i] = char('a' + i % 26);
    bytes += text;
    writeFileBytes(path, bytes);
    const MemoFile memo(path, false);
    EXPECT_EQ(memo.read(4), text);
    EXPECT_EQ(memo.read(4 + 5000), text.mid(5000 * 512));
}

TEST_F(Dbase3MemoTest, AppendedValuesFollowTheOldOnes)
{
    MemoFile memo(path, true);
    const quint32 block = memo.append("new");
    EXPECT_EQ(block, 5u);
    EXPECT_EQ(memo.read(block), "new");
    EXPECT_EQ(memo.read(1), "line one\r\nline two");
}

struct DamagedValueCase {
    const char *name;
    QByteArray block1; // the bytes written at block 1, ending the file
    quint32 readBlock;
};

class MemoFileDamageTest : public MemoFileTest,
                           public testing::WithParamInterface<DamagedValueCase> {};

TEST_P(MemoFileDamageTest, ReadReportsADamagedValue)
{
    writeFileBytes(path, fileBytes(path) + GetParam().block1);
    const MemoFile memo(path, false);
    EXPECT_THROW(memo.read(GetParam().readBlock), EngineError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemoFileDamageTest,
    testing::Values(
        DamagedValueCase{"blockZeroIsTheHeader", "text\x1A", 0},
        DamagedValueCase{"blockPastTheEnd", "text\x1A", 2},
        DamagedValueCase{"blockFarPastTheEnd", "text\x1A", 4000000000u},
        DamagedValueCase{"lengthBelowItsHeader", QByteArray("\xFF\xFF\x08\x00\x07\0\0\0", 8), 1},
        DamagedValueCase{"lengthPastTheEnd", QByteArray("\xFF\xFF\x08\x00\x20\0\0\0abc", 11), 1},
        DamagedValueCase{"lengthHuge", QByteArray("\xFF\xFF\x08\x00\xFF\xFF\xFF\xFF", 8), 1}),
    [](const testing::TestParamInfo<DamagedValueCase> &c) {
        return std::string(c.param.name);
    });

} // namespace
} // namespace numora::store
