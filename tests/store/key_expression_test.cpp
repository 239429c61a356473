#include "store/key_expression.h"
#include "store/store_error.h"

#include <gtest/gtest.h>

#include <QMap>
#include <algorithm>
#include <vector>

using namespace numora::store;

// Keys in failure messages: printable bytes as they are, the rest as %XX.
void PrintTo(const QByteArray &bytes, std::ostream *out)
{
    *out << '"' << bytes.toPercentEncoding(" !\"#$&'()*+,-./:;<=>?@[]^_`{|}").toStdString() << '"';
}

namespace {

FieldList itemFields()
{
    FieldList fields = {
        {"DESCR", FieldType::Character, 60, 0, 0}, {"COST", FieldType::Numeric, 20, 4, 0},
        {"QTY", FieldType::Numeric, 5, 0, 0},      {"CUSTOM2", FieldType::Date, 8, 0, 0},
        {"NOTES", FieldType::Memo, 10, 0, 0},      {"MARK", FieldType::Character, 1, 0, 0},
        {"SOLD", FieldType::Logical, 1, 0, 0},     {"PICTURE", FieldType::Binary, 10, 0, 0},
    };
    int offset = 0;
    for (FieldDescriptor &field : fields) {
        field.offset = offset;
        offset += field.width;
    }
    return fields;
}

struct Value {
    const char *column;
    QByteArray raw; // memo: the whole text
};

// One record's bytes laid out by the columns' offsets, plus memo texts, as the table
// would hand them to an expression.
class FakeRecord : public KeyRecordSource {
public:
    FakeRecord(const FieldList &fields, const std::vector<Value> &values) : fields_(fields)
    {
        const FieldDescriptor &last = fields.back();
        bytes_ = QByteArray(last.offset + last.width, ' ');
        for (const Value &value : values)
            set(value);
    }

    QByteArrayView rawField(int column) const override
    {
        const FieldDescriptor &field = fields_[column];
        return QByteArrayView(bytes_).sliced(field.offset, field.width);
    }

    QByteArray memoBytes(int column) const override { return memos_.value(column); }

private:
    void set(const Value &value)
    {
        const auto field =
            std::find_if(fields_.begin(), fields_.end(), [&](const FieldDescriptor &f) {
                return f.name == QLatin1String(value.column);
            });
        ASSERT_NE(field, fields_.end()) << value.column;
        const int column = int(field - fields_.begin());
        if (field->type == FieldType::Memo) {
            memos_[column] = value.raw;
            return;
        }
        ASSERT_LE(value.raw.size(), field->width) << value.column;
        // Numbers are right-aligned in their field, everything else left-aligned.
        const QByteArray padded = field->type == FieldType::Numeric
                                      ? value.raw.rightJustified(field->width, ' ')
                                      : value.raw.leftJustified(field->width, ' ');
        bytes_.replace(field->offset, field->width, padded);
    }

    const FieldList &fields_;
    QByteArray bytes_;
    QMap<int, QByteArray> memos_;
};

class KeyExpressionTest : public ::testing::Test {
protected:
    QByteArray keyOf(const QString &expression, const std::vector<Value> &values,
                     TextEncoding encoding = TextEncoding::Utf8) const
    {
        const KeyExpression compiled = KeyExpression::compile(expression, fields_, encoding);
        return compiled.evaluate(FakeRecord(fields_, values));
    }

    const FieldList fields_ = itemFields();
};

QByteArray padded(const QByteArray &text, int width) { return text.leftJustified(width, ' '); }

TEST_F(KeyExpressionTest, BuildsKeysFromColumnsFunctionsAndLiterals)
{
    struct Case {
        const char *expression;
        std::vector<Value> values;
        QByteArray expected;
    };
    const QByteArray notes = "first line\r\nsecond\nthird\rfourth";
    const Case cases[] = {
        // A character column keeps its full width.
        {"DESCR", {{"DESCR", "Abc"}}, padded("Abc", 60)},
        {"UPPER(DESCR)", {{"DESCR", "Abc def"}}, padded("ABC DEF", 60)},
        {" upper ( descr ) ", {{"DESCR", "x"}}, padded("X", 60)},
        {"MARK+UPPER(DESCR)", {{"MARK", "*"}, {"DESCR", "a"}}, "*" + padded("A", 60)},
        {"SUBSTR(DESCR,2,3)", {{"DESCR", "Abcdef"}}, "bcd"},
        {"SUBSTR(DESCR,59,5)", {{"DESCR", "Abc"}}, "  "},
        {"UPPER(SUBSTR(DESCR,1,59))+DTOS(CUSTOM2)",
         {{"DESCR", "coin"}, {"CUSTOM2", "20240131"}},
         padded("COIN", 59) + "20240131"},
        {"DESCR+STR(COST,20,4)",
         {{"DESCR", "A"}, {"COST", "12.5"}},
         padded("A", 60) + "             12.5000"},
        {"'<'+SOLD+\">\"", {{"SOLD", "T"}}, "<T>"},
        // Numbers: exact, blank or garbage counts as 0.
        {"STR(999999999999999999-COST,20,4)", {{"COST", "12.3"}}, "999999999999999986.7"},
        {"STR(COST,20,4)", {}, "              0.0000"},
        {"STR(COST,20,4)", {{"COST", "***"}}, "              0.0000"},
        {"STR(QTY+COST-1.5,8,2)", {{"QTY", "3"}, {"COST", "0.25"}}, "    1.75"},
        {"STR(QTY,3)", {{"QTY", "-42"}}, "-42"},
        {"STR((QTY+1)-(QTY-1),2)", {{"QTY", "7"}}, " 2"},
        // Dates: blank or impossible dates are blank.
        {"DTOS(CUSTOM2)", {{"CUSTOM2", "20240229"}}, "20240229"},
        {"DTOS(CUSTOM2)", {}, "        "},
        {"DTOS(CUSTOM2)", {{"CUSTOM2", "20230229"}}, "        "},
        {"DTOS(CUSTOM2)", {{"CUSTOM2", "2024ab01"}}, "        "},
        {"DTOS(CUSTOM2+1)", {{"CUSTOM2", "20241231"}}, "20250101"},
        {"DTOS(CUSTOM2-QTY)", {{"CUSTOM2", "20240301"}, {"QTY", "1"}}, "20240229"},
        {"DTOS(CUSTOM2+1)", {}, "        "},
        {"DTOS({1/2/2003})", {}, "20030102"},
        {"STR({12/31/3099}-CUSTOM2,10,0)", {{"CUSTOM2", "30991230"}}, "         1"},
        {"STR({12/31/3099}-CUSTOM2,10,0)", {}, "   2853311"},
        {"STR(CUSTOM2-CUSTOM2,3)", {{"CUSTOM2", "20240101"}}, "  0"},
        // Memos: lines split at CR LF, LF or CR; a missing line is empty.
        {"MLINE(NOTES,1)", {{"NOTES", notes}}, "first line"},
        {"UPPER(MLINE(NOTES,2))", {{"NOTES", notes}}, "SECOND"},
        {"MLINE(NOTES,3)+MLINE(NOTES,4)", {{"NOTES", notes}}, "thirdfourth"},
        {"'['+MLINE(NOTES,5)+']'", {{"NOTES", notes}}, "[]"},
        {"'['+MLINE(NOTES,2)+']'", {{"NOTES", "a\r\n\r\nc"}}, "[]"},
        {"MLINE(NOTES,1)", {}, ""},
        {"NOTES", {{"NOTES", "a\nb"}}, "a\nb"},
        {"UPPER(SUBSTR(NOTES,1,99))", {{"NOTES", "one\ntwo"}}, "ONE\nTWO"},
        {"STR(COST,20,4)+UPPER(SUBSTR(MLINE(NOTES,1),1,3))",
         {{"COST", "5"}, {"NOTES", "abcdef\nzzz"}},
         "              5.0000ABC"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(keyOf(c.expression, c.values), c.expected) << c.expression;
}

TEST_F(KeyExpressionTest, TextFunctionsFollowTheTableEncoding)
{
    struct Case {
        TextEncoding encoding;
        const char *expression;
        QByteArray descr;
        QByteArray expected;
    };
    const Case cases[] = {
        // Accents fold away; the blank keeps the four bytes "d\xc3\xa9j" took.
        {TextEncoding::Utf8, "UPPER(SUBSTR(DESCR,1,3))", "d\xc3\xa9j\xc3\xa0", "DEJ "},
        {TextEncoding::Utf8, "SUBSTR(DESCR,2,2)", "h\xc3\xa9llo", "\xc3\xa9l"},
        // Bytes that are not UTF-8 survive UPPER: range keys end in 0xFF.
        {TextEncoding::Utf8, "UPPER(SUBSTR(DESCR,1,3))", "ab\xff", "AB\xff"},
        {TextEncoding::Windows1252, "UPPER(SUBSTR(DESCR,1,3))", "d\xe9j\xe0", "DEJ"},
        {TextEncoding::Windows1252, "SUBSTR(DESCR,2,2)", "h\xe9llo", "\xe9l"},
        {TextEncoding::Windows1252, "'\xc3\xa9'+SUBSTR(DESCR,1,1)", "x", "\xe9x"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(keyOf(QString::fromUtf8(c.expression), {{"DESCR", c.descr}}, c.encoding),
                  c.expected)
            << c.expression;
}

TEST_F(KeyExpressionTest, UpperKeepsTheByteWidthOfItsArgument)
{
    // The date after the text must start at byte 60 whether folding shrank the text
    // (UTF-8 accents) or grew it (a Windows-1252 sharp s), or a record sorting by its
    // description would be ordered by its date.
    struct Case {
        const char *name;
        TextEncoding encoding;
        QByteArray descr;
        QByteArray folded;
    };
    const QByteArray fullWidth = QByteArray("Gro\xdf").leftJustified(60, 'x');
    const Case cases[] = {
        {"shrinks", TextEncoding::Utf8, "M\xc3\xa9xico", "MEXICO"},
        {"same width", TextEncoding::Utf8, "Stra\xc3\x9f" "e", "STRASSE"},
        {"grows into the blanks", TextEncoding::Windows1252, "Stra\xdf" "e", "STRASSE"},
        {"grows past the width", TextEncoding::Windows1252, fullWidth,
         "GROSS" + QByteArray(55, 'X')},
    };
    for (const Case &c : cases) {
        const QByteArray key = keyOf("UPPER(DESCR)+DTOS(CUSTOM2)",
                                     {{"DESCR", c.descr}, {"CUSTOM2", "20240102"}}, c.encoding);
        EXPECT_EQ(key, padded(c.folded, 60) + "20240102") << c.name;
    }
}

TEST_F(KeyExpressionTest, KeysAreCutToHundredBytesAtACharacterBoundary)
{
    const QByteArray eAcute = "\xc3\xa9";
    const std::vector<Value> values = {{"DESCR", eAcute.repeated(30)}};

    // 'A' then é over and over: byte 100 is the middle of an é, which must not be split.
    const QByteArray utf8Key = keyOf("'A'+DESCR+DESCR", values);
    EXPECT_EQ(utf8Key, "A" + eAcute.repeated(49));

    const QByteArray windowsKey = keyOf("'A'+DESCR+DESCR", values, TextEncoding::Windows1252);
    EXPECT_EQ(windowsKey, ("A" + eAcute.repeated(60)).left(KeyExpression::MaxTextLength));
}

TEST_F(KeyExpressionTest, KeysSortInTheIntendedOrder)
{
    // Each case lists records in the order their keys must sort, bytewise ascending.
    struct Case {
        const char *expression;
        std::vector<std::vector<Value>> records;
    };
    const Case cases[] = {
        {"STR(COST,20,4)",
         {{{"COST", "0"}}, {{"COST", "12.2"}}, {{"COST", "12.3"}}, {{"COST", "1000.25"}}}},
        // Descending by cost; values that differ only in the first decimal.
        {"STR(999999999999999999-COST,20,4)",
         {{{"COST", "1000.25"}}, {{"COST", "12.3"}}, {{"COST", "12.2"}}, {{"COST", "0"}}}},
        {"DTOS(CUSTOM2)",
         {{}, {{"CUSTOM2", "19991231"}}, {{"CUSTOM2", "20240101"}}, {{"CUSTOM2", "20240102"}}}},
        // Descending by date, blank dates last.
        {"STR({12/31/3099}-CUSTOM2,10,0)",
         {{{"CUSTOM2", "20240102"}}, {{"CUSTOM2", "20240101"}}, {{"CUSTOM2", "19991231"}}, {}}},
        // Two-part keys: padding keeps the second part aligned.
        {"DESCR+STR(COST,20,4)",
         {{{"DESCR", "AB"}, {"COST", "999"}},
          {{"DESCR", "AB"}, {"COST", "1000"}},
          {{"DESCR", "ABC"}, {"COST", "1"}}}},
        // Accents and case fold away: the date decides among these.
        {"UPPER(DESCR)+DTOS(CUSTOM2)",
         {{{"DESCR", "Mexico"}, {"CUSTOM2", "20200101"}},
          {{"DESCR", "M\xc3\xa9xico"}, {"CUSTOM2", "20210101"}},
          {{"DESCR", "mexico"}, {"CUSTOM2", "20220101"}},
          {{"DESCR", "morgan"}, {"CUSTOM2", "20190101"}},
          {{"DESCR", "R\xc3\xa9union"}, {"CUSTOM2", "20190101"}},
          {{"DESCR", "rizal"}, {"CUSTOM2", "20180101"}}}},
        {"UPPER(SUBSTR(DESCR,1,59))+DTOS(CUSTOM2)",
         {{{"DESCR", "apple"}, {"CUSTOM2", "20200101"}},
          {{"DESCR", "Apple"}, {"CUSTOM2", "20210101"}},
          {{"DESCR", "APPLES"}, {"CUSTOM2", "20190101"}}}},
        {"STR(COST,20,4)+UPPER(SUBSTR(MLINE(NOTES,1),1,40))",
         {{{"COST", "5"}, {"NOTES", "alpha\nzzz"}},
          {{"COST", "5"}, {"NOTES", "Beta"}},
          {{"COST", "6"}, {"NOTES", "aardvark"}}}},
        // Unmarked records (blank mark) before marked ones, each group by description.
        {"MARK+UPPER(DESCR)",
         {{{"DESCR", "zebra"}},
          {{"MARK", "*"}, {"DESCR", "apple"}},
          {{"MARK", "*"}, {"DESCR", "Banana"}}}},
    };
    for (const Case &c : cases) {
        for (size_t i = 1; i < c.records.size(); ++i)
            EXPECT_LT(keyOf(c.expression, c.records[i - 1]), keyOf(c.expression, c.records[i]))
                << c.expression << ", records " << i - 1 << " and " << i;
    }
}

TEST_F(KeyExpressionTest, ReportsWhatIsWrongWithAnExpression)
{
    struct Case {
        QString expression;
        const char *problem; // part of the message
    };
    const Case cases[] = {
        {"", "empty"},
        {"   ", "empty"},
        {QString(101, u'A'), "longer than 100"},
        {"NOPE", "no column NOPE"},
        {"UPPER(nope)", "no column nope"},
        {"LOWER(DESCR)", "no function LOWER"},
        {"PICTURE", "binary"},
        {"COST", "must be text"},
        {"CUSTOM2", "must be text"},
        {"DESCR+COST", "text + a number"},
        {"DESCR-DESCR", "text - text"},
        {"CUSTOM2+CUSTOM2", "a date + a date"},
        {"STR(COST-CUSTOM2,10)", "a number - a date"},
        {"UPPER(COST)", "UPPER needs text"},
        {"DTOS(DESCR)", "DTOS needs a date"},
        {"STR(DESCR,10)", "STR needs a number"},
        {"MLINE(DESCR,1)", "not a memo column"},
        {"MLINE(PICTURE,1)", "not a memo column"},
        {"UPPER(DESCR,1)", "too many arguments"},
        {"SUBSTR(DESCR,1)", "too few arguments"},
        {"STR(COST)", "too few arguments"},
        {"STR(COST,10,2,1)", "too many arguments"},
        {"SUBSTR(DESCR,QTY,2)", "start of SUBSTR must be a whole number"},
        {"SUBSTR(DESCR,0,2)", "start of SUBSTR must be a whole number"},
        {"SUBSTR(DESCR,1,2.5)", "length of SUBSTR must be a whole number"},
        {"STR(COST,0)", "width of STR must be a whole number from 1 to 100"},
        {"STR(COST,20,11)", "decimals of STR must be a whole number from 0 to 10"},
        {"MLINE(NOTES,0)", "line of MLINE"},
        {"UPPER(DESCR", "\")\" expected"},
        {"(DESCR", "\")\" expected"},
        {"DESCR)", "unexpected \")\""},
        {"DESCR DESCR", "unexpected \"DESCR\""},
        {"DESCR++DESCR", "a column, function or literal expected"},
        {"DESCR+", "a column, function or literal expected"},
        {"UPPER()", "a column, function or literal expected"},
        {"DESCR # 1", "unexpected character \"#\""},
        {"STR(1.2.3,5)", "\"1.2.3\" is not a valid number"},
        {"'abc", "not closed"},
        {"DESCR+\"abc", "not closed"},
        {"DTOS({12/31/3099)", "not closed"},
        {"DTOS({02/30/2024})", "not a valid date"},
        {"DTOS({2024-01-01})", "not a valid date"},
        {"DTOS({1/1/99})", "not a valid date"},
        {"DTOS({})", "not a valid date"},
    };
    for (const Case &c : cases) {
        try {
            KeyExpression::compile(c.expression, fields_, TextEncoding::Utf8);
            ADD_FAILURE() << "compiled: " << c.expression.toStdString();
        } catch (const DatabaseError &error) {
            EXPECT_TRUE(error.message().contains(QLatin1String(c.problem)))
                << c.expression.toStdString() << ": " << error.what();
            EXPECT_TRUE(error.message().contains(c.expression))
                << c.expression.toStdString() << ": " << error.what();
        }
    }
}

TEST_F(KeyExpressionTest, KnowsWhetherItReadsTheMemo)
{
    const std::pair<const char *, bool> cases[] = {
        {"UPPER(DESCR)", false},         {"STR(COST,20,4)+DTOS(CUSTOM2)", false},
        {"UPPER(MLINE(NOTES,1))", true}, {"UPPER(SUBSTR(NOTES,1,99))", true},
        {"DESCR+NOTES", true},
    };
    for (const auto &[expression, readsMemo] : cases)
        EXPECT_EQ(KeyExpression::compile(expression, fields_, TextEncoding::Utf8).readsMemo(),
                  readsMemo)
            << expression;
}

} // namespace
