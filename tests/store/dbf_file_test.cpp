#include "store/dbf_file.h"
#include "store/record_buffer.h"
#include "store/store_error.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace numora::store {
using numora::test::fileBytes;
using numora::test::writeFileBytes;

namespace {

FieldDescriptor column(const char *name, FieldType type, int width, int decimals = 0)
{
    FieldDescriptor field;
    field.name = QString::fromLatin1(name);
    field.type = type;
    field.width = width;
    field.decimals = decimals;
    return field;
}

// One column of every type, in this order.
enum Column { Name, Price, Weight, Struck, Proof, Notes, Picture };

FieldList catalogueColumns()
{
    return {column("NAME", FieldType::Character, 20),   column("PRICE", FieldType::Numeric, 10, 2),
            column("WEIGHT", FieldType::Numeric, 8, 4), column("STRUCK", FieldType::Date, 8),
            column("PROOF", FieldType::Logical, 1),     column("NOTES", FieldType::Memo, 10),
            column("PICTURE", FieldType::Binary, 10)};
}
constexpr int kCatalogueRecordLength = 1 + 20 + 10 + 8 + 8 + 1 + 10 + 10;

quint16 u16At(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

void setU16At(QByteArray &bytes, int at, int value)
{
    qToLittleEndian<quint16>(quint16(value), bytes.data() + at);
}

class DbfFileTest : public testing::Test {
protected:
    // Creates the catalogue table and appends the given names as records.
    void createCatalogue(const QStringList &names = {})
    {
        DbfFile::create(path, catalogueColumns(), TextEncoding::Utf8);
        DbfFile table(path, true);
        quint32 recno = 0;
        for (const QString &name : names) {
            RecordBuffer record(table.sharedLayout());
            record.setText(Name, name);
            table.writeRecord(++recno, record.bytes());
            table.writeRecordCount(recno, QDate::currentDate());
        }
    }

    test::TempFolder folder;
    const QString path = folder.file("coins.dbf");
};

TEST_F(DbfFileTest, CreateWritesTheHeaderOtherProgramsRead)
{
    createCatalogue();
    const QByteArray bytes = fileBytes(path);
    const int headerLength = 32 + 32 * 7 + 1;

    ASSERT_EQ(bytes.size(), headerLength + 1);
    EXPECT_EQ(quint8(bytes[0]), 0x8B) << "a table with memo columns is dBASE IV with memo";
    const QDate today = QDate::currentDate();
    EXPECT_EQ(quint8(bytes[1]), today.year() - 1900);
    EXPECT_EQ(quint8(bytes[2]), today.month());
    EXPECT_EQ(quint8(bytes[3]), today.day());
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 4), 0u);
    EXPECT_EQ(u16At(bytes, 8), headerLength);
    EXPECT_EQ(u16At(bytes, 10), kCatalogueRecordLength);
    EXPECT_EQ(bytes[28], 0) << "our index is not a production index of dBASE";
    EXPECT_EQ(bytes[29], 0) << "UTF-8 has no language driver";
    EXPECT_EQ(bytes.mid(32, 32),
              QByteArray("NAME\0\0\0\0\0\0\0C\0\0\0\0\x14\0", 18) + QByteArray(14, '\0'));
    EXPECT_EQ(bytes.mid(64, 18), QByteArray("PRICE\0\0\0\0\0\0N\0\0\0\0\x0A\x02", 18));
    EXPECT_EQ(bytes[headerLength - 1], '\x0D');
    EXPECT_EQ(bytes.back(), '\x1A');
}

TEST_F(DbfFileTest, VersionAndLanguageDriverFollowTheTable)
{
    DbfFile::create(path, {column("NAME", FieldType::Character, 10)}, TextEncoding::Windows1252);
    const QByteArray bytes = fileBytes(path);
    EXPECT_EQ(quint8(bytes[0]), 0x03) << "no memo columns";
    EXPECT_EQ(quint8(bytes[29]), 0x57);
}

TEST_F(DbfFileTest, OpenReadsTheLayoutBack)
{
    createCatalogue();
    const DbfFile table(path, false);
    const DbfLayout &layout = table.layout();

    const FieldList expected = catalogueColumns();
    ASSERT_EQ(layout.fields.size(), expected.size());
    int offset = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].name.toStdString());
        EXPECT_EQ(layout.fields[i].name, expected[i].name);
        EXPECT_EQ(layout.fields[i].type, expected[i].type);
        EXPECT_EQ(layout.fields[i].width, expected[i].width);
        EXPECT_EQ(layout.fields[i].decimals, expected[i].decimals);
        EXPECT_EQ(layout.fields[i].offset, offset);
        offset += expected[i].width;
    }
    EXPECT_EQ(layout.recordLength, kCatalogueRecordLength);
    EXPECT_EQ(layout.version, 0x8B);
    EXPECT_EQ(layout.codec.encoding(), TextEncoding::Utf8);
    EXPECT_TRUE(layout.hasMemoColumns());
    EXPECT_EQ(layout.columnIndex("struck"), Struck);
    EXPECT_EQ(layout.columnIndex("MINT"), -1);
    EXPECT_EQ(table.readRecordCount(), 0u);
}

TEST_F(DbfFileTest, RecordsOfEveryTypeRoundTrip)
{
    createCatalogue();
    {
        DbfFile table(path, true);
        RecordBuffer first(table.sharedLayout());
        first.setText(Name, QStringLiteral("Taler Zürich"));
        first.setText(Price, QStringLiteral("1250.5"));
        first.setText(Weight, QStringLiteral("27.4123"));
        first.setDate(Struck, QDate(1790, 6, 1));
        first.setLogical(Proof, true);
        first.setMemoBlock(Notes, 1);
        first.setMemoBlock(Picture, 4294967295u);
        RecordBuffer second(table.sharedLayout());
        second.setText(Name, QStringLiteral("Obol"));
        second.setLogical(Proof, false);
        second.setDeleted(true);
        table.writeRecord(1, first.bytes());
        table.writeRecord(2, second.bytes());
        table.writeRecordCount(2, QDate(2024, 3, 1));
    }

    const DbfFile table(path, false);
    ASSERT_EQ(table.readRecordCount(), 2u);
    const RecordBuffer first(table.sharedLayout(), table.readRecord(1));
    EXPECT_FALSE(first.isDeleted());
    EXPECT_EQ(first.text(Name), QStringLiteral("Taler Zürich"));
    EXPECT_EQ(first.rawField(Price), QByteArrayView("   1250.50"));
    EXPECT_EQ(first.decimal(Price), Decimal::parse("1250.5"));
    EXPECT_EQ(first.text(Weight), QStringLiteral("27.4123"));
    EXPECT_EQ(first.rawField(Struck), QByteArrayView("17900601"));
    EXPECT_EQ(first.date(Struck), QDate(1790, 6, 1));
    EXPECT_EQ(first.logical(Proof), true);
    EXPECT_EQ(first.rawField(Notes), QByteArrayView("         1"));
    EXPECT_EQ(first.memoBlock(Notes), 1u);
    EXPECT_EQ(first.memoBlock(Picture), 4294967295u);

    const RecordBuffer second(table.sharedLayout(), table.readRecord(2));
    EXPECT_TRUE(second.isDeleted());
    EXPECT_EQ(second.bytes()[0], '*');
    EXPECT_EQ(second.logical(Proof), false);
    for (int blank : {Price, Weight, Struck, Notes, Picture}) {
        EXPECT_TRUE(second.isNull(blank)) << blank;
        EXPECT_TRUE(second.text(blank).isEmpty()) << blank;
    }
    EXPECT_FALSE(second.decimal(Price));
    EXPECT_FALSE(second.date(Struck).isValid());
    EXPECT_EQ(second.memoBlock(Notes), 0u);
}

TEST_F(DbfFileTest, RecordCountAndDateAreStoredExactly)
{
    createCatalogue();
    DbfFile table(path, true);
    table.writeRecordCount(70000, QDate(2031, 12, 24));

    EXPECT_EQ(fileBytes(path).mid(1, 7), QByteArray("\x83\x0C\x18\x70\x11\x01\x00", 7));
    EXPECT_EQ(table.readRecordCount(), 70000u);
    EXPECT_EQ(table.readLastUpdate(), QDate(2031, 12, 24));
    EXPECT_THROW(table.writeRecordCount(1, QDate(1899, 12, 31)), DatabaseError);
}

TEST_F(DbfFileTest, AppendingMovesTheEndMarker)
{
    createCatalogue();
    DbfFile table(path, true);
    const int headerLength = table.layout().headerLength;
    const RecordBuffer record(table.sharedLayout());

    table.writeRecord(1, record.bytes());
    QByteArray bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), headerLength + kCatalogueRecordLength + 1);
    EXPECT_EQ(bytes.back(), '\x1A');

    table.writeRecordCount(1, QDate::currentDate());
    table.writeRecord(1, record.bytes());
    EXPECT_EQ(fileBytes(path).size(), bytes.size()) << "rewriting a record keeps the file length";

    EXPECT_THROW(table.writeRecord(3, record.bytes()), DatabaseError) << "would leave a gap";
    EXPECT_THROW(table.writeRecord(0, record.bytes()), DatabaseError);
    EXPECT_THROW(table.writeRecord(2, record.bytes().first(5)), DatabaseError);
}

TEST_F(DbfFileTest, TruncateDropsTheRecordsAfterTheCount)
{
    createCatalogue({"Obol", "Denar", "Solidus"});
    DbfFile table(path, true);
    table.truncateRecords(1);

    const QByteArray bytes = fileBytes(path);
    EXPECT_EQ(bytes.size(), table.layout().headerLength + kCatalogueRecordLength + 1);
    EXPECT_EQ(bytes.back(), '\x1A');
    EXPECT_EQ(table.readRecordCount(), 1u);
    EXPECT_EQ(RecordBuffer(table.sharedLayout(), table.readRecord(1)).text(Name), "Obol");
    EXPECT_THROW(table.readRecord(2), DatabaseError);
}

TEST_F(DbfFileTest, ReadsConsecutiveRecordsAtOnce)
{
    createCatalogue({"Obol", "Denar", "Solidus"});
    const DbfFile table(path, false);
    QByteArray bytes;
    table.readRecords(2, 2, bytes);

    ASSERT_EQ(bytes.size(), 2 * kCatalogueRecordLength);
    EXPECT_EQ(RecordBuffer(table.sharedLayout(), bytes.first(kCatalogueRecordLength)).text(Name),
              "Denar");
    EXPECT_EQ(RecordBuffer(table.sharedLayout(), bytes.sliced(kCatalogueRecordLength)).text(Name),
              "Solidus");
    EXPECT_THROW(table.readRecords(3, 2, bytes), DatabaseError);
}

TEST_F(DbfFileTest, ReadOnlyTableRefusesWrites)
{
    createCatalogue({"Obol"});
    DbfFile table(path, false);
    const RecordBuffer record(table.sharedLayout());
    EXPECT_THROW(table.writeRecord(1, record.bytes()), DatabaseError);
    EXPECT_THROW(table.writeRecordCount(0, QDate::currentDate()), DatabaseError);
    EXPECT_THROW(table.truncateRecords(0), DatabaseError);
    EXPECT_EQ(table.readRecordCount(), 1u);
}

TEST_F(DbfFileTest, MissingFileIsReported)
{
    EXPECT_THROW(DbfFile(folder.file("absent.dbf"), false), DatabaseError);
}

TEST_F(DbfFileTest, HeaderCountPastTheFileEndFailsOnlyTheMissingRecords)
{
    createCatalogue({"Obol", "Denar"});
    QByteArray bytes = fileBytes(path);
    qToLittleEndian<quint32>(5, bytes.data() + 4);
    writeFileBytes(path, bytes);

    const DbfFile table(path, false);
    EXPECT_EQ(table.readRecordCount(), 5u);
    EXPECT_EQ(RecordBuffer(table.sharedLayout(), table.readRecord(2)).text(Name), "Denar");
    EXPECT_THROW(table.readRecord(3), DatabaseError);
}

struct InvalidColumnCase {
    const char *name;
    FieldList fields;
};

class DbfFileCreateTest : public testing::TestWithParam<InvalidColumnCase> {};

TEST_P(DbfFileCreateTest, RejectsColumnsATableCannotHold)
{
    const test::TempFolder folder;
    EXPECT_THROW(DbfFile::create(folder.file("t.dbf"), GetParam().fields, TextEncoding::Utf8),
                 DatabaseError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DbfFileCreateTest,
    testing::Values(
        InvalidColumnCase{"noColumns", {}},
        InvalidColumnCase{"nameTooLong", {column("DENOMINATOR", FieldType::Character, 5)}},
        InvalidColumnCase{"nameEmpty", {column("", FieldType::Character, 5)}},
        InvalidColumnCase{"nameWithBlank", {column("MY NAME", FieldType::Character, 5)}},
        InvalidColumnCase{"nameNotAscii", {column("M\xC3\x9CNZE", FieldType::Character, 5)}},
        InvalidColumnCase{
            "sameNameTwice",
            {column("NAME", FieldType::Character, 5), column("name", FieldType::Character, 5)}},
        InvalidColumnCase{"characterZeroWide", {column("NAME", FieldType::Character, 0)}},
        InvalidColumnCase{"characterTooWide", {column("NAME", FieldType::Character, 255)}},
        InvalidColumnCase{"numericTooWide", {column("PRICE", FieldType::Numeric, 21)}},
        InvalidColumnCase{"numericDecimalsLeaveNoDigit",
                          {column("PRICE", FieldType::Numeric, 5, 4)}},
        InvalidColumnCase{"characterWithDecimals", {column("NAME", FieldType::Character, 5, 1)}},
        InvalidColumnCase{"dateNotEight", {column("STRUCK", FieldType::Date, 10)}},
        InvalidColumnCase{"logicalNotOne", {column("PROOF", FieldType::Logical, 2)}},
        InvalidColumnCase{"memoNotTen", {column("NOTES", FieldType::Memo, 4)}},
        InvalidColumnCase{"unknownType", {column("X", FieldType(char('X')), 1)}}),
    [](const testing::TestParamInfo<InvalidColumnCase> &c) {
        return std::string(c.param.name);
    });

// A small table (NAME C(10), PRICE N(6,2), two records) whose bytes each case changes.
constexpr int kSmallHeaderLength = 32 + 2 * 32 + 1;

class DbfFileDamageTest : public testing::Test {
protected:
    DbfFileDamageTest()
    {
        DbfFile::create(
            path,
            {column("NAME", FieldType::Character, 10), column("PRICE", FieldType::Numeric, 6, 2)},
            TextEncoding::Utf8);
        DbfFile table(path, true);
        for (quint32 recno : {1u, 2u}) {
            RecordBuffer record(table.sharedLayout());
            record.setText(0, recno == 1 ? QStringLiteral("Obol") : QStringLiteral("Denar"));
            table.writeRecord(recno, record.bytes());
        }
        table.writeRecordCount(2, QDate::currentDate());
    }

    void rewrite(const std::function<void(QByteArray &)> &change)
    {
        QByteArray bytes = fileBytes(path);
        change(bytes);
        writeFileBytes(path, bytes);
    }

    test::TempFolder folder;
    const QString path = folder.file("small.dbf");
};

struct DamageCase {
    const char *name;
    std::function<void(QByteArray &)> damage;
    const char *reason; // part of the error message
};

class DbfFileDamagedHeaderTest : public DbfFileDamageTest,
                                 public testing::WithParamInterface<DamageCase> {};

TEST_P(DbfFileDamagedHeaderTest, OpenSaysWhatIsWrong)
{
    rewrite(GetParam().damage);
    try {
        DbfFile table(path, false);
        FAIL() << "a damaged table opened";
    } catch (const DatabaseError &error) {
        EXPECT_TRUE(error.message().contains(QLatin1String(GetParam().reason)))
            << error.message().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DbfFileDamagedHeaderTest,
    testing::Values(
        DamageCase{"shorterThanAHeader", [](QByteArray &b) { b.truncate(20); }, "only 20 bytes"},
        DamageCase{"headerLengthTooSmall", [](QByteArray &b) { setU16At(b, 8, 32); },
                   "header length 32"},
        DamageCase{"headerLengthPastTheEnd", [](QByteArray &b) { setU16At(b, 8, 4000); },
                   "header length 4000"},
        DamageCase{"recordLengthZero", [](QByteArray &b) { setU16At(b, 10, 0); },
                   "record length is 0"},
        DamageCase{"recordLengthTooLong", [](QByteArray &b) { setU16At(b, 10, 30); },
                   "columns take 17"},
        DamageCase{"columnPastTheRecord", [](QByteArray &b) { setU16At(b, 10, 12); },
                   "\"PRICE\" ends past"},
        DamageCase{"unknownType", [](QByteArray &b) { b[32 + 32 + 11] = 'X'; }, "unknown type"},
        DamageCase{"zeroWidth", [](QByteArray &b) { b[32 + 16] = 0; }, "no width"},
        DamageCase{"noColumns", [](QByteArray &b) { b[32] = '\x0D'; }, "no columns"},
        DamageCase{"tooManyColumns",
                   [](QByteArray &b) {
                       b.insert(32, b.mid(32, 32).repeated(254));
                       setU16At(b, 8, u16At(b, 8) + 254 * 32);
                       setU16At(b, 10, u16At(b, 10) + 254 * 10);
                   },
                   "more than 255 columns"}),
    [](const testing::TestParamInfo<DamageCase> &c) { return std::string(c.param.name); });

struct VariantCase {
    const char *name;
    std::function<void(QByteArray &)> change;
};

class DbfFileVariantTest : public DbfFileDamageTest,
                           public testing::WithParamInterface<VariantCase> {};

TEST_P(DbfFileVariantTest, OtherProgramsTablesOpen)
{
    rewrite(GetParam().change);
    const DbfFile table(path, false);
    ASSERT_EQ(table.layout().fields.size(), 2u);
    EXPECT_EQ(RecordBuffer(table.sharedLayout(), table.readRecord(2)).text(0), "Denar");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DbfFileVariantTest,
    testing::Values(VariantCase{"dBase3WithMemo", [](QByteArray &b) { b[0] = '\x83'; }},
                    VariantCase{"dBase7", [](QByteArray &b) { b[0] = '\x04'; }},
                    VariantCase{"visualFoxPro", [](QByteArray &b) { b[0] = '\x30'; }},
                    VariantCase{"unknownLanguageDriver", [](QByteArray &b) { b[29] = '\xC8'; }},
                    VariantCase{"productionIndexFlagSet", [](QByteArray &b) { b[28] = 1; }},
                    VariantCase{"extraByteAfterTheHeader",
                                [](QByteArray &b) {
                                    b.insert(kSmallHeaderLength, '\0');
                                    setU16At(b, 8, kSmallHeaderLength + 1);
                                }},
                    VariantCase{"noEndMarker", [](QByteArray &b) { b.chop(1); }}),
    [](const testing::TestParamInfo<VariantCase> &c) { return std::string(c.param.name); });

// --- RecordBuffer: what each column type stores for a text and reads back.

class RecordBufferTest : public testing::Test {
protected:
    RecordBufferTest()
    {
        DbfFile::create(path, catalogueColumns(), TextEncoding::Utf8);
        layout = DbfFile(path, false).sharedLayout();
    }

    test::TempFolder folder;
    const QString path = folder.file("coins.dbf");
    std::shared_ptr<const DbfLayout> layout;
};

struct TextCase {
    const char *name;
    Column column;
    QString input;
    QByteArray stored; // the column's bytes, blank padded
    QString readBack;
};

class RecordBufferTextTest : public RecordBufferTest,
                             public testing::WithParamInterface<TextCase> {};

TEST_P(RecordBufferTextTest, StoresTheColumnsFormat)
{
    const TextCase &c = GetParam();
    RecordBuffer record(layout);
    record.setRawField(c.column, "garbage!!!garbage!!!");
    record.setText(c.column, c.input);

    EXPECT_EQ(record.rawField(c.column), c.stored);
    EXPECT_EQ(record.text(c.column), c.readBack);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordBufferTextTest,
    testing::Values(
        TextCase{"characterPadded", Name, "Obol", "Obol                ", "Obol"},
        TextCase{"characterKeepsLeadingBlanks", Name, " Obol", " Obol               ", " Obol"},
        TextCase{"characterCutToWidth", Name, "Tetradrachm of Athens", "Tetradrachm of Athen",
                 "Tetradrachm of Athen"},
        TextCase{"characterCutBeforeASplitCharacter", Name, QStringLiteral("Price in euro: 12 €"),
                 "Price in euro: 12   ", "Price in euro: 12"},
        TextCase{"characterEmptyClears", Name, "", QByteArray(20, ' '), ""},
        TextCase{"numericRightAligned", Price, "12.5", "     12.50", "12.50"},
        TextCase{"numericNegative", Price, "-3", "     -3.00", "-3.00"},
        TextCase{"numericBlankClears", Price, "   ", "          ", ""},
        TextCase{"dateIso", Struck, "2024-03-01", "20240301", "2024-03-01"},
        TextCase{"dateCompact", Struck, "17900601", "17900601", "1790-06-01"},
        TextCase{"dateAmerican", Struck, "12/31/1999", "19991231", "1999-12-31"},
        TextCase{"logicalTrue", Proof, "T", "T", "T"},
        TextCase{"logicalLowerFalse", Proof, "f", "F", "F"},
        TextCase{"memoEmptyClears", Notes, "", "          ", ""}),
    [](const testing::TestParamInfo<TextCase> &c) { return std::string(c.param.name); });

struct RejectedTextCase {
    const char *name;
    Column column;
    QString input;
};

class RecordBufferRejectTest : public RecordBufferTest,
                               public testing::WithParamInterface<RejectedTextCase> {};

TEST_P(RecordBufferRejectTest, UnreadableTextLeavesTheColumnAlone)
{
    const RejectedTextCase &c = GetParam();
    RecordBuffer record(layout);
    record.setRawField(c.column, "0000000000");
    const QByteArray before = record.bytes();

    EXPECT_THROW(record.setText(c.column, c.input), DatabaseError);
    EXPECT_EQ(record.bytes(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordBufferRejectTest,
    testing::Values(RejectedTextCase{"numericWords", Price, "twelve"},
                    RejectedTextCase{"numericComma", Price, "12,50"},
                    RejectedTextCase{"numericIntegerPartTooWide", Price, "12345678901"},
                    RejectedTextCase{"dateNoSuchDay", Struck, "2023-02-29"},
                    RejectedTextCase{"dateWords", Struck, "yesterday"},
                    RejectedTextCase{"dateDayFirst", Struck, "31.12.1999"},
                    RejectedTextCase{"logicalWord", Proof, "maybe"},
                    RejectedTextCase{"memoText", Notes, "text belongs in the memo file"}),
    [](const testing::TestParamInfo<RejectedTextCase> &c) {
        return std::string(c.param.name);
    });

struct GarbageCase {
    const char *name;
    Column column;
    QByteArray raw;
};

class RecordBufferGarbageTest : public RecordBufferTest,
                                public testing::WithParamInterface<GarbageCase> {};

// Bytes another program or a damaged file left behind read as "no value".
TEST_P(RecordBufferGarbageTest, ReadsAsNoValue)
{
    const GarbageCase &c = GetParam();
    RecordBuffer record(layout);
    record.setRawField(c.column, c.raw);

    EXPECT_FALSE(record.decimal(c.column));
    EXPECT_FALSE(record.date(c.column).isValid());
    EXPECT_FALSE(record.logical(c.column));
    EXPECT_EQ(record.memoBlock(c.column), 0u);
    if (c.column != Price) { // a numeric column shows what it holds
        EXPECT_TRUE(record.text(c.column).isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordBufferGarbageTest,
    testing::Values(GarbageCase{"numericLetters", Price, "  12a.50"},
                    GarbageCase{"numericTwoPoints", Price, "   1.2.3"},
                    GarbageCase{"numericAsterisks", Price, "**********"},
                    GarbageCase{"dateMonth13", Struck, "20241340"},
                    GarbageCase{"dateFebruary30", Struck, "20240230"},
                    GarbageCase{"dateWithDashes", Struck, "2024-3-1"},
                    GarbageCase{"dateShort", Struck, "2024031"},
                    GarbageCase{"dateBinary", Struck,
                                QByteArray("\xFF\0\x01\x80\x7F\x1A\x0D\x00", 8)},
                    GarbageCase{"logicalOther", Proof, "X"},
                    GarbageCase{"memoLetters", Notes, "      12x "},
                    GarbageCase{"memoNegative", Notes, "        -5"},
                    GarbageCase{"memoPastUint32", Picture, "9999999999"}),
    [](const testing::TestParamInfo<GarbageCase> &c) { return std::string(c.param.name); });

TEST_F(RecordBufferTest, MemoBlockIsRightAlignedDigits)
{
    RecordBuffer record(layout);
    record.setMemoBlock(Notes, 42);
    EXPECT_EQ(record.rawField(Notes), QByteArrayView("        42"));
    record.setMemoBlock(Notes, 0);
    EXPECT_TRUE(record.isNull(Notes));

    record.setRawField(Notes, "42        "); // how some programs write it
    EXPECT_EQ(record.memoBlock(Notes), 42u);
}

TEST_F(RecordBufferTest, NumberTooWideForItsColumnIsRefused)
{
    RecordBuffer record(layout);
    EXPECT_THROW(record.setDecimal(Price, Decimal::fromInteger(12345678901)), DatabaseError);
    EXPECT_THROW(record.setDecimal(Weight, Decimal::fromInteger(-100000000)), DatabaseError);
    EXPECT_TRUE(record.isNull(Price));
    EXPECT_TRUE(record.isNull(Weight));

    record.setDecimal(Price, Decimal::fromInteger(-12345678));
    EXPECT_EQ(record.rawField(Price), QByteArrayView(" -12345678")) << "decimals give way first";
}

TEST_F(RecordBufferTest, TypedSettersRefuseOtherColumns)
{
    RecordBuffer record(layout);
    EXPECT_THROW(record.setDate(Name, QDate(2024, 1, 1)), DatabaseError);
    EXPECT_THROW(record.setDecimal(Struck, Decimal::fromInteger(1)), DatabaseError);
    EXPECT_THROW(record.setLogical(Price, true), DatabaseError);
    EXPECT_THROW(record.setMemoBlock(Name, 3), DatabaseError);
    EXPECT_THROW(RecordBuffer(layout, QByteArray(5, ' ')), DatabaseError);
}

TEST(DbfFileEncodingTest, Windows1252TableStoresItsOwnBytes)
{
    const test::TempFolder folder;
    const QString path = folder.file("legacy.dbf");
    DbfFile::create(path, {column("NAME", FieldType::Character, 10)}, TextEncoding::Windows1252);
    {
        DbfFile table(path, true);
        RecordBuffer record(table.sharedLayout());
        record.setText(0, QStringLiteral("Münze €"));
        EXPECT_EQ(record.rawField(0), QByteArrayView("M\xFCnze \x80   "));
        table.writeRecord(1, record.bytes());
        table.writeRecordCount(1, QDate::currentDate());
    }

    const DbfFile table(path, false);
    EXPECT_EQ(table.layout().languageDriver, 0x57);
    EXPECT_EQ(table.layout().codec.encoding(), TextEncoding::Windows1252);
    EXPECT_EQ(RecordBuffer(table.sharedLayout(), table.readRecord(1)).text(0),
              QStringLiteral("Münze €"));
}

} // namespace
} // namespace numora::store
