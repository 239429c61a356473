// The Edit Lists window over real list tables, as the user sees it: its choices and
// buttons, the input boxes' captions and prompts, the grid after each change, and the
// return to the first list after Update Lists.

#include "editors/widgets/edit_lists_window.h"
#include "platform/progress_window.h"
#include "support/catalogue_folders.h"
#include "support/qt_printers.h"
#include "support/scripted_prompt.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace numora;
using namespace numora::editors;

namespace {

struct Question {
    QString caption;
    QString label;
    QString text;
};

class EditListsWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folders.writeList("list1.dbf", {"France", "Spain"});
        folders.writeList("list2.dbf", {"Fine"});
    }

    std::unique_ptr<EditListsWindow> openWindow()
    {
        auto window = std::make_unique<EditListsWindow>(
            prompt, progress, folders.databaseFolder(), "data.dbf",
            std::vector<database::ListChoice>{{2, "Country:", "list1.dbf"}, {5, "Condition:", "list2.dbf"}});
        window->askText = [this](const QString &caption, const QString &label, const QString &text) {
            questions.push_back({caption, label, text});
            return answer;
        };
        return window;
    }

    static QStringList gridTexts(const EditListsWindow &window)
    {
        QStringList texts;
        for (int row = 0; row < window.grid()->rowCount(); ++row)
            texts << window.grid()->item(row, 0)->text();
        return texts;
    }

    static QString selectedText(const EditListsWindow &window)
    {
        const QList<QTableWidgetItem *> selected = window.grid()->selectedItems();
        return selected.isEmpty() ? QString() : selected.front()->text();
    }

    test::CatalogueFolders folders;
    test::ScriptedPrompt prompt;
    platform::ProgressWindow progress;
    std::vector<Question> questions;
    std::optional<QString> answer;
};

TEST_F(EditListsWindowTest, OffersOneChoicePerListAndShowsTheFirst)
{
    auto window = openWindow();
    EXPECT_EQ(window->windowTitle(), "Edit Lists");
    QStringList captions;
    for (const QRadioButton *choice : window->findChildren<QRadioButton *>())
        captions << choice->text();
    EXPECT_EQ(captions, (QStringList{"Country:", "Condition:"}));
    QStringList buttons;
    for (const QPushButton *button : window->findChildren<QPushButton *>())
        buttons << button->text();
    EXPECT_EQ(buttons, (QStringList{"&New", "&Edit", "&Delete", "&Update Lists", "&Close"}));

    EXPECT_EQ(window->chosenList(), 0);
    EXPECT_TRUE(window->findChildren<QRadioButton *>().front()->isChecked());
    EXPECT_EQ(gridTexts(*window), (QStringList{"France", "Spain"}));
    EXPECT_EQ(selectedText(*window), "France");
    EXPECT_EQ(window->grid()->editTriggers(), QAbstractItemView::NoEditTriggers);

    window->findChildren<QRadioButton *>().back()->click();
    EXPECT_EQ(gridTexts(*window), QStringList{"Fine"});
}

TEST_F(EditListsWindowTest, NewEditAndDeleteAskTheirQuestions)
{
    auto window = openWindow();

    answer = "Austria";
    window->newButton()->click();
    EXPECT_EQ(gridTexts(*window), (QStringList{"Austria", "France", "Spain"}));
    EXPECT_EQ(selectedText(*window), "Austria");

    window->grid()->selectRow(1);
    answer = "Peru";
    window->editButton()->click();
    EXPECT_EQ(gridTexts(*window), (QStringList{"Austria", "Peru", "Spain"}));
    EXPECT_EQ(selectedText(*window), "Peru");

    answer.reset(); // Cancel changes nothing
    window->newButton()->click();
    EXPECT_EQ(gridTexts(*window), (QStringList{"Austria", "Peru", "Spain"}));

    ASSERT_EQ(questions.size(), 3u);
    EXPECT_EQ(questions[0].caption, "Add New Item");
    EXPECT_EQ(questions[0].label, "New List Item:");
    EXPECT_EQ(questions[0].text, "");
    EXPECT_EQ(questions[1].caption, "Edit Item");
    EXPECT_EQ(questions[1].label, "Modify List Item:");
    EXPECT_EQ(questions[1].text, "France");

    prompt.answer(Button::Yes);
    window->deleteButton()->click();
    EXPECT_EQ(prompt.texts(), QStringList{"Are you sure you want to Delete this Item?"});
    EXPECT_EQ(gridTexts(*window), (QStringList{"Austria", "Spain"}));
}

TEST_F(EditListsWindowTest, UpdateListsShowsTheFirstListAgain)
{
    folders.writeRecords({{{2, "Peru"}, {5, "VF"}}});
    auto window = openWindow();
    window->chooseList(1);

    window->updateButton()->click();
    EXPECT_EQ(window->chosenList(), 0);
    EXPECT_TRUE(window->findChildren<QRadioButton *>().front()->isChecked());
    EXPECT_EQ(gridTexts(*window), (QStringList{"France", "Peru", "Spain"}));
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_FALSE(progress.isVisible());
}

} // namespace
