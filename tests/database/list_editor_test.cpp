// The Edit Lists operations on real list tables and a real record table: items in key
// order, adding, changing and deleting with their messages, filling the lists from the
// records, and packing on close.

#include "database/list_editor.h"
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

constexpr int CountryField = 2, ConditionField = 5;

class CountingProgress : public Progress {
public:
    void setCaption(const QString &) override {}
    void setTotal(int value) override
    {
        total = value;
        position = 0;
    }
    void step() override { ++position; }
    void setPosition(int value) override { position = value; }
    int total = -1;
    int position = 0;
};

class ListEditorTest : public ::testing::Test {
protected:
    QStringList shownItems() const
    {
        QStringList texts;
        for (const ListItem &item : editor.items())
            texts << item.text;
        return texts;
    }

    test::CatalogueFolders folders;
    test::ScriptedPrompt prompt;
    CountingProgress progress;
    ListEditor editor{prompt, progress, folders.databaseFolder(),
                      {{CountryField, "Country:", "list1.dbf"}, {ConditionField, "Condition:", "list2.dbf"}}};
};

TEST(ListChoicesTest, OneChoicePerFieldWithAList)
{
    const QStringList names{"Coin Description:", "Country:", "Short Note:", "Catalog #:", "Condition:"};
    const QStringList sources{"", "list1.dbf", "", "", "list2.dbf", "list3.dbf"};
    const std::vector<ListChoice> expected{
        {2, "Country:", "list1.dbf"},
        {5, "Condition:", "list2.dbf"},
        {6, "list3.dbf", "list3.dbf"}, // no name for field 6: the file names it
    };
    EXPECT_EQ(listChoices(names, sources), expected);
}

TEST_F(ListEditorTest, ShowsTheItemsInKeyOrder)
{
    folders.writeList("list1.dbf", {"Zeta", "alpha", "Beta"});
    EXPECT_TRUE(editor.show(0));
    EXPECT_EQ(shownItems(), (QStringList{"Beta", "Zeta", "alpha"}));
    EXPECT_EQ(editor.shownList(), 0);
}

TEST_F(ListEditorTest, AListThatCannotBeOpenedIsReported)
{
    EXPECT_FALSE(editor.show(1));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Cannot open the file: list2.dbf");
    EXPECT_EQ(prompt.shown[0].kind, MessageKind::Error);
    EXPECT_TRUE(editor.items().empty());

    EXPECT_FALSE(editor.addItem("Fine"));
    EXPECT_EQ(prompt.texts().back(), "Could not Add the Item!");
}

TEST_F(ListEditorTest, AddsChangesAndDeletesItems)
{
    folders.writeList("list1.dbf", {"France", "Spain"});
    editor.show(0);

    EXPECT_TRUE(editor.addItem("Austria"));
    EXPECT_EQ(shownItems(), (QStringList{"Austria", "France", "Spain"}));
    EXPECT_EQ(editor.rowOf("Spain"), 2);

    EXPECT_TRUE(editor.modifyItem(1, "Peru"));
    EXPECT_EQ(shownItems(), (QStringList{"Austria", "Peru", "Spain"}));

    prompt.answer(Button::No);
    EXPECT_FALSE(editor.deleteItem(0));
    prompt.answer(Button::Yes);
    EXPECT_TRUE(editor.deleteItem(0));
    EXPECT_EQ(shownItems(), (QStringList{"Peru", "Spain"}));

    ASSERT_EQ(prompt.shown.size(), 2u);
    for (const test::ShownMessage &question : prompt.shown) {
        EXPECT_EQ(question.text, "Are you sure you want to Delete this Item?");
        EXPECT_EQ(question.kind, MessageKind::Warning);
        EXPECT_EQ(question.buttons, Button::Yes | Button::No);
    }
}

// Another user editing the item holds its lock: changing or deleting it must fail
// visibly and leave the list as it was.
TEST_F(ListEditorTest, AnItemInUseIsNeitherChangedNorDeleted)
{
    folders.writeList("list1.dbf", {"France"});
    editor.show(0);
    Table other;
    folders.open(other, "list1.dbf");
    other.edit();

    EXPECT_FALSE(editor.modifyItem(0, "Peru"));
    prompt.answer(Button::Yes);
    EXPECT_FALSE(editor.deleteItem(0));
    EXPECT_EQ(prompt.texts(), (QStringList{"Could not Modify the Item!", "Are you sure you want to Delete this Item?",
                                           "Could not Delete the Item!"}));
    EXPECT_EQ(shownItems(), QStringList{"France"});
}

TEST_F(ListEditorTest, UpdateListsAddsTheMissingValuesOfEachField)
{
    folders.writeList("list1.dbf", {"France"});
    folders.writeList("list2.dbf", {"Fine"});
    folders.writeRecords({
        {{CountryField, "France"}, {ConditionField, "Fine"}},
        {{CountryField, "Fr"}},
        {{ConditionField, "VF"}},
        {{CountryField, "france"}, {ConditionField, "VF"}},
        {{CountryField, "Peru"}, {ConditionField, "Fine"}},
    });
    editor.show(1);

    EXPECT_TRUE(editor.updateLists("data.dbf"));
    EXPECT_TRUE(prompt.shown.empty());
    // "Fr" is a value of its own although "France" begins with it.
    EXPECT_EQ(shownItems(), (QStringList{"Fr", "France", "Peru", "france"}));
    EXPECT_EQ(editor.shownList(), 0);
    editor.show(1);
    EXPECT_EQ(shownItems(), (QStringList{"Fine", "VF"}));
    EXPECT_EQ(progress.position, progress.total);
}

TEST_F(ListEditorTest, UpdateListsGoesOnPastAListThatCannotBeOpened)
{
    folders.writeList("list2.dbf", {});
    folders.writeRecords({{{CountryField, "Peru"}, {ConditionField, "VF"}}});

    editor.updateLists("data.dbf");
    EXPECT_EQ(prompt.texts(), (QStringList{"Could not open file: list1.dbf", "Cannot open the file: list1.dbf"}));
    editor.show(1);
    EXPECT_EQ(shownItems(), QStringList{"VF"});
}

TEST_F(ListEditorTest, ClosingPacksEveryList)
{
    folders.writeList("list1.dbf", {"France", "Spain", "Peru"});
    folders.writeList("list2.dbf", {"Fine"});
    editor.show(0);
    prompt.answer(Button::Yes);
    editor.deleteItem(editor.rowOf("Peru"));
    const qint64 before = QFileInfo(folders.databaseFile("list1.dbf")).size();

    EXPECT_TRUE(editor.packLists());
    EXPECT_LT(QFileInfo(folders.databaseFile("list1.dbf")).size(), before);
    EXPECT_EQ(prompt.shown.size(), 1u); // the delete question only
    EXPECT_TRUE(editor.show(0));
    EXPECT_EQ(shownItems(), (QStringList{"France", "Spain"}));
}

TEST_F(ListEditorTest, AListInUseElsewhereIsNotPacked)
{
    folders.writeList("list1.dbf", {"France"});
    folders.writeList("list2.dbf", {"Fine"});
    Table other;
    folders.open(other, "list2.dbf");

    EXPECT_FALSE(editor.packLists());
    EXPECT_EQ(prompt.texts(),
              QStringList{"Function Failed!\rDatabase may be used by someone else - this function requires Exclusive Database Use."});
}

} // namespace
