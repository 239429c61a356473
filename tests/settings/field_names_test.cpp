#include "settings/date_formats.h"
#include "settings/field_names.h"

#include "core/value_stream.h"
#include "support/scripted_prompt.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace numora::settings {
namespace {

TEST(FieldNamesTest, ReadsLinesInAnyLineEndAndTheWindowsEncoding)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        QStringList names;
    };
    const std::vector<Case> cases = {
        {"unix lines", "Description\nCountry\n", {"Description", "Country"}},
        {"windows lines", "Description\r\nCountry\r\n", {"Description", "Country"}},
        {"no final line end", "Description\nCountry", {"Description", "Country"}},
        {"empty line kept in place", "A\n\nC\n", {"A", "", "C"}},
        {"utf-8", "Ann\xc3\xa9" "e\n", {"Année"}},
        {"windows-1252", "Ann\xe9" "e\n", {"Année"}},
        {"empty file", "", {}},
    };
    test::TempFolder folder;
    for (const Case &c : cases) {
        ASSERT_TRUE(writeSettingsFile(folder.file("labels.dat"), c.bytes));
        FieldNameList list;
        EXPECT_TRUE(list.readFrom(folder.file("labels.dat"))) << c.name;
        EXPECT_EQ(list.names(), c.names) << c.name;
    }
}

TEST(FieldNamesTest, LabelsRoundTripAndAreFoundWhateverTheirLetterCase)
{
    test::TempFolder folder;
    test::ScriptedPrompt prompt;
    FieldNameList saved;
    saved.setNames({"Description", "Année", ""});
    ASSERT_TRUE(saved.saveLabels(folder.path(), prompt));
    ASSERT_TRUE(QFile::rename(folder.file("labels.dat"), folder.file("LABELS.DAT")));

    FieldNameList loaded;
    loaded.loadLabels(folder.path());
    EXPECT_EQ(loaded.names(), saved.names());
    EXPECT_TRUE(prompt.shown.empty());
}

TEST(FieldNamesTest, MissingLabelsLeaveTheListEmptyUntilFilledFromCaptions)
{
    test::TempFolder folder;
    FieldNameList list;
    list.setNames({"stale"});
    list.loadLabels(folder.path());
    EXPECT_TRUE(list.names().isEmpty());

    list.fillIfEmpty({"Description", "Country"});
    EXPECT_EQ(list.names(), QStringList({"Description", "Country"}));
    list.fillIfEmpty({"Other"});
    EXPECT_EQ(list.names(), QStringList({"Description", "Country"}));
}

TEST(FieldNamesTest, ANameLeadsToTheColumnOfItsFirstField)
{
    FieldNameList list;
    list.setNames({"Description", "Country", "Note", "Country"});
    const std::vector<std::pair<QString, int>> cases = {
        {"Description", 2},
        {"Note", 4},
        {"Country", 3},
        {"country", -1},
        {"Mint", -1},
    };
    for (const auto &[name, column] : cases)
        EXPECT_EQ(list.columnOf(name), column) << name.toStdString();
}

TEST(SettingsTextFilesTest, SaveFailuresAreReported)
{
    test::TempFolder folder;
    const QString missingFolder = folder.file("no such folder");
    test::ScriptedPrompt prompt;

    FieldNameList names;
    names.setNames({"Description"});
    EXPECT_FALSE(names.saveLabels(missingFolder, prompt));
    DateFormatList formats;
    formats.fillIfEmpty(2);
    EXPECT_FALSE(formats.save(missingFolder, prompt));

    ASSERT_EQ(prompt.shown.size(), 2u);
    for (const test::ShownMessage &shown : prompt.shown) {
        EXPECT_EQ(shown.text, "Could not Save Options to a File!");
        EXPECT_EQ(shown.kind, MessageKind::Error);
    }
}

TEST(DateFormatsTest, CodesHaveTheirNamesAndPatterns)
{
    struct Case {
        DateFormat format;
        const char *name;
        const char *shown;
    };
    const QDate date(1986, 7, 4);
    const std::vector<Case> cases = {
        {DateFormat::MonthDayYear, "MM/DD/YYYY", "07/04/1986"},
        {DateFormat::DayMonthYear, "DD/MM/YYYY", "04/07/1986"},
        {DateFormat::YearMonthDay, "YYYY/MM/DD", "1986/07/04"},
        {DateFormat::Year, "YYYY", "1986"},
        {DateFormat(9), "MM/DD/YYYY", "07/04/1986"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(dateFormatName(c.format), c.name);
        EXPECT_EQ(date.toString(dateDisplayPattern(c.format)), c.shown);
    }
}

TEST(DateFormatsTest, DateDatHoldsOneCodePerDateField)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        QList<DateFormat> formats;
    };
    const std::vector<Case> cases = {
        {"every code", "0\n1\n2\n3\n",
         {DateFormat::MonthDayYear, DateFormat::DayMonthYear, DateFormat::YearMonthDay,
          DateFormat::Year}},
        {"windows lines and spaces", " 2\r\n1 \r\n",
         {DateFormat::YearMonthDay, DateFormat::DayMonthYear}},
        {"unknown codes keep their place", "7\nx\n3\n",
         {DateFormat::MonthDayYear, DateFormat::MonthDayYear, DateFormat::Year}},
        {"empty file", "", {}},
    };
    test::TempFolder folder;
    for (const Case &c : cases) {
        ASSERT_TRUE(writeSettingsFile(folder.file("date.dat"), c.bytes));
        DateFormatList list;
        list.load(folder.path());
        EXPECT_EQ(list.formats(), c.formats) << c.name;
    }
}

TEST(DateFormatsTest, AnEmptyListGetsTheFirstFormatPerDateFieldAndRoundTrips)
{
    test::TempFolder folder;
    test::ScriptedPrompt prompt;
    DateFormatList list;
    list.load(folder.path());
    EXPECT_TRUE(list.formats().isEmpty());
    list.fillIfEmpty(3);
    list.setFormat(1, DateFormat::Year);
    ASSERT_TRUE(list.save(folder.path(), prompt));

    DateFormatList loaded;
    loaded.load(folder.path());
    EXPECT_EQ(loaded.formats(),
              (QList<DateFormat>{DateFormat::MonthDayYear, DateFormat::Year,
                                 DateFormat::MonthDayYear}));
    loaded.fillIfEmpty(5);
    EXPECT_EQ(loaded.formats().size(), 3);
}

} // namespace
} // namespace numora::settings
