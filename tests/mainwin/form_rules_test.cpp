// The record form's rules that need no widgets: numbers typed as text, label texts and
// the page order file.

#include "mainwin/field_label_rules.h"
#include "mainwin/number_text.h"
#include "mainwin/page_order.h"
#include "support/temp_folder.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace numora::mainwin;

namespace {

TEST(NumberFromText, KeepsOnlyDigitsAndTheRightmostSeparator)
{
    struct Case {
        const char *text;
        char separator;
        double expected;
    };
    const Case cases[] = {
        {"1234.5", '.', 1234.5},
        {"1,234.50 $", '.', 1234.5},
        {"1.234,5", ',', 1234.5},
        {"1.2.3", '.', 12.3}, // only the rightmost separator counts
        {"-12", '.', 12},     // signs are dropped with everything else
        {"abc", '.', 0},
        {"", '.', 0},
        {".", '.', 0},
        {"7.", '.', 7},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(numberFromText(QString::fromLatin1(c.text), QChar(c.separator)), c.expected) << c.text;
}

TEST(FieldLabelRules, RefusesBlankAndTakenTexts)
{
    const QStringList labels = {"Coin Description:", "Country:", "Short Note:"};
    struct Case {
        QString text;
        LabelCheck expected;
    };
    const Case cases[] = {
        {"", LabelCheck::Empty},
        {"  \t", LabelCheck::Empty},
        {"country:", LabelCheck::Duplicate},   // another field's label in other letter case
        {"Short Note:", LabelCheck::Duplicate}, // its own current text
        {"Nation:", LabelCheck::Accepted},
        {" Country:", LabelCheck::Accepted},
    };
    for (const Case &c : cases)
        EXPECT_EQ(checkLabelText(c.text, labels), c.expected) << c.text.toStdString();
    EXPECT_EQ(labelRefusalMessage(LabelCheck::Empty), "Empty Labels are not Allowed!");
    EXPECT_EQ(labelRefusalMessage(LabelCheck::Duplicate), "Duplicate Labels are not Allowed!");
}

const QStringList kPages = {"Part 1", "Part 2", "Part 3", "Part 4"};

TEST(PageOrder, LineRearrangesThePages)
{
    struct Case {
        const char *line;
        QStringList expected;
    };
    const Case cases[] = {
        {"2134", {"Part 2", "Part 1", "Part 3", "Part 4"}},
        {"4321", {"Part 4", "Part 3", "Part 2", "Part 1"}},
        {"", kPages},
        {"9x", kPages},                                       // names no page
        {"43", {"Part 4", "Part 3", "Part 1", "Part 2"}},     // a short line moves what it names
        {"123412", kPages},                                   // characters past the last page
    };
    for (const Case &c : cases)
        EXPECT_EQ(orderedPageCaptions(kPages, QString::fromLatin1(c.line)), c.expected) << c.line;
    EXPECT_EQ(pageOrderLine({"Part 3", "Part 1", "Part 4", "Part 2"}), "3142");
}

TEST(PageOrder, FileIsNamedAfterTheRecordTableAndRoundTrips)
{
    numora::test::TempFolder folder;
    EXPECT_EQ(pageOrderFileName("data.dbf"), "data.tab");
    EXPECT_EQ(pageOrderFileName("data_12.dbf"), "data_12.tab");
    EXPECT_FALSE(readPageOrder(folder.path(), "data.dbf"));

    ASSERT_TRUE(writePageOrder(folder.path(), "data_12.dbf", "2134"));
    EXPECT_TRUE(QFile::exists(folder.file("data_12.tab")));
    EXPECT_EQ(readPageOrder(folder.path(), "data_12.dbf"), "2134");
    EXPECT_FALSE(readPageOrder(folder.path(), "data.dbf"));
}

} // namespace
