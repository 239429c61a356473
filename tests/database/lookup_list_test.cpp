// Lookup lists on real list tables in a temporary database folder: binding makes a
// missing list from the template but never replaces one, learning compares values as
// the table keeps them, and Auto-Fill completes from the items in their order.

#include "database/lookup_list.h"
#include "store/store_error.h"
#include "support/catalogue_folders.h"
#include "support/qt_printers.h"
#include "support/scripted_prompt.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace numora;
using namespace numora::database;
using namespace numora::store;

namespace {

class LookupListTest : public ::testing::Test {
protected:
    void bind(LookupList &list, const QString &source = "list1.dbf")
    {
        list.bind(folders.databaseFolder(), folders.programFolder(), source);
    }

    test::CatalogueFolders folders;
    test::ScriptedPrompt prompt;
};

TEST_F(LookupListTest, BindingAMissingListCopiesTheTemplate)
{
    LookupList list(prompt);
    bind(list, "list3.dbf");

    EXPECT_TRUE(QFileInfo::exists(folders.databaseFile("list3.dbf")));
    EXPECT_TRUE(QFileInfo::exists(folders.databaseFile("list3.mdx")));
    EXPECT_TRUE(list.items().isEmpty());
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_TRUE(list.learn("1921"));
    EXPECT_EQ(folders.storedItems("list3.dbf"), QStringList{"1921"});
}

TEST_F(LookupListTest, ATemplateThatCannotBeCopiedIsReported)
{
    QDir(folders.programFolder()).remove("list.dbf");
    LookupList list(prompt);
    bind(list, "list2.dbf");

    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text,
              "Error! Could not create a list file: \r" + QDir::toNativeSeparators(folders.databaseFile("list2.dbf")));
    EXPECT_EQ(prompt.shown[0].kind, MessageKind::Error);
    EXPECT_TRUE(list.items().isEmpty());
}

// A list another user holds exclusively must come through untouched: making it anew
// from the template would lose every learned value.
TEST_F(LookupListTest, AListThatFailsToOpenIsNeverReplaced)
{
    folders.writeList("list1.dbf", {"France", "Spain"});
    {
        Table holder;
        folders.open(holder, "list1.dbf", true);

        LookupList list(prompt);
        bind(list);
        EXPECT_TRUE(list.items().isEmpty());
        EXPECT_TRUE(prompt.shown.empty());
    }
    EXPECT_EQ(folders.storedItems("list1.dbf"), (QStringList{"France", "Spain"}));
}

TEST_F(LookupListTest, ItemsComeInDropDownOrder)
{
    folders.writeList("list1.dbf", {"spain", "France", "Austria", "france", "Spain"});
    LookupList list(prompt);
    bind(list);
    EXPECT_EQ(list.items(), (QStringList{"Austria", "France", "france", "Spain", "spain"}));
}

struct LearnCase {
    const char *name;
    QString typed;
    bool changed;
    QStringList stored; // list1.dbf afterwards, in entry order
};

void PrintTo(const LearnCase &c, std::ostream *out) { *out << c.name; }

class LearnTest : public LookupListTest, public ::testing::WithParamInterface<LearnCase> {};

TEST_P(LearnTest, StoresOnlyValuesTheListLacks)
{
    const LearnCase &c = GetParam();
    folders.writeList("list1.dbf", {"France"});
    LookupList list(prompt);
    bind(list);

    EXPECT_EQ(list.learn(c.typed), c.changed);
    EXPECT_EQ(folders.storedItems("list1.dbf"), c.stored);
    QStringList expected = c.stored;
    std::sort(expected.begin(), expected.end(), lookupItemLess);
    EXPECT_EQ(list.items(), expected);
}

const QString kLong = QString(60, 'a');

INSTANTIATE_TEST_SUITE_P(Values, LearnTest,
    ::testing::Values(
        LearnCase{"New", "Spain", true, {"France", "Spain"}},
        LearnCase{"Known", "France", false, {"France"}},
        LearnCase{"OtherCase", "france", true, {"France", "france"}},
        LearnCase{"Empty", "", false, {"France"}},
        LearnCase{"OnlyBlanks", "   ", false, {"France"}},
        LearnCase{"TrailingBlanks", "France  ", false, {"France"}},
        LearnCase{"TooLong", kLong + "b", true, {"France", kLong}}),
    [](const auto &c) { return std::string(c.param.name); });

// Leaving the field again and again with a value longer than the item column must not
// add a copy of its stored part each time.
TEST_F(LookupListTest, ALongValueIsLearnedOnce)
{
    folders.writeList("list1.dbf", {});
    LookupList list(prompt);
    bind(list);
    const QString typed = QString(70, 'x');
    EXPECT_TRUE(list.learn(typed));
    EXPECT_FALSE(list.learn(typed));
    EXPECT_EQ(folders.storedItems("list1.dbf"), QStringList{QString(60, 'x')});
}

TEST_F(LookupListTest, APostedValueReachesTheTwin)
{
    folders.writeList("list1.dbf", {"France"});
    LookupList list(prompt);
    LookupList twin(prompt);
    bind(list);
    bind(twin);
    int posts = 0;
    list.afterPost = [&] {
        ++posts;
        twin.reload();
    };

    list.learn("Peru");
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(twin.items(), (QStringList{"France", "Peru"}));
}

TEST_F(LookupListTest, WithoutASourceAValueStaysInTheItems)
{
    LookupList list(prompt);
    bind(list, QString());
    EXPECT_FALSE(list.isBound());
    EXPECT_TRUE(list.learn("Peru"));
    EXPECT_EQ(list.items(), QStringList{"Peru"});
    EXPECT_TRUE(QDir(folders.databaseFolder()).entryList(QDir::Files).isEmpty());
}

struct AutoFillCase {
    const char *name;
    QString beforeCaret;
    QChar typed;
    QString shown; // empty: the key goes through
    int selectionStart;
    int selectionLength;
};

void PrintTo(const AutoFillCase &c, std::ostream *out) { *out << c.name; }

class AutoFillTest : public ::testing::TestWithParam<AutoFillCase> {};

TEST_P(AutoFillTest, CompletesFromTheFirstMatchingItem)
{
    const AutoFillCase &c = GetParam();
    const QStringList items{"Austria", "Fiji", "France", "Frankreich", "fr"};
    const auto completion = autoFill(items, c.beforeCaret, c.typed);
    if (c.shown.isEmpty()) {
        EXPECT_FALSE(completion);
        return;
    }
    ASSERT_TRUE(completion);
    EXPECT_EQ(completion->text, c.shown);
    EXPECT_EQ(items[completion->item], c.shown);
    EXPECT_EQ(completion->selectionStart, c.selectionStart);
    EXPECT_EQ(completion->selectionLength, c.selectionLength);
}

INSTANTIATE_TEST_SUITE_P(Cases, AutoFillTest,
    ::testing::Values(
        AutoFillCase{"FirstLetter", "", 'F', "Fiji", 1, 3},
        AutoFillCase{"Narrows", "F", 'r', "France", 2, 4},
        AutoFillCase{"NarrowsFurther", "Fran", 'k', "Frankreich", 5, 5},
        AutoFillCase{"WholeItem", "Fij", 'i', "Fiji", 4, 0},
        AutoFillCase{"LetterCaseCounts", "", 'f', "fr", 1, 1},
        AutoFillCase{"NoMatch", "Fr", 'x', "", 0, 0}),
    [](const auto &c) { return std::string(c.param.name); });

} // namespace
