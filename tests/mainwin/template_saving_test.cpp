// "Save As Template" for labels and the list header: a failure is told with its reason
// and leaves the templates, their list file and the settings files as they were.

#include "mainwin/template_saving.h"
#include "settings/settings_messages.h"
#include "settings/template_list.h"
#include "support/file_bytes.h"
#include "support/scripted_prompt.h"
#include "support/temp_folder.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace numora;

namespace {

class TemplateSavingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        names.setNames({"Description", "Country"});
        templates.setSettingsFolder(folder.path());
        ASSERT_TRUE(mainwin::saveAsTemplate(templates, "Coins", listPath(), prompt));
        listBefore = test::fileBytes(listPath());
        filesBefore = QDir(folder.path()).entryList(QDir::Files);
    }

    QString listPath() const { return folder.file(settings::kLabelTemplatesFile); }

    void expectUnchanged()
    {
        EXPECT_EQ(templates.count(), 1);
        EXPECT_EQ(test::fileBytes(listPath()), listBefore);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), filesBefore);
    }

    test::TempFolder folder;
    settings::FieldNameList names;
    settings::LabelTemplateList templates{names};
    test::ScriptedPrompt prompt;
    QByteArray listBefore;
    QStringList filesBefore;
};

TEST_F(TemplateSavingTest, ASavedTemplateIsListedAtOnce)
{
    EXPECT_TRUE(prompt.shown.empty());
    settings::LabelTemplateList reread{names};
    reread.loadList(listPath());
    ASSERT_EQ(reread.count(), 1);
    EXPECT_EQ(reread.item(0).name, "Coins");
}

TEST_F(TemplateSavingTest, ADuplicateNameIsRefused)
{
    EXPECT_FALSE(mainwin::saveAsTemplate(templates, "Coins", listPath(), prompt));
    EXPECT_EQ(prompt.texts(), QStringList{"Duplicate name - Template Not Saved!"});
    expectUnchanged();
}

TEST_F(TemplateSavingTest, ASettingsFileThatCannotBeWrittenIsToldWithItsPath)
{
    templates.setSettingsFolder(folder.file("unplugged"));
    EXPECT_FALSE(mainwin::saveAsTemplate(templates, "Tokens", listPath(), prompt));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Could not Save the Template!");
    EXPECT_EQ(prompt.shown[0].detail, "Cannot write " + folder.file("unplugged/tml2.lab"));
    expectUnchanged();
}

TEST_F(TemplateSavingTest, AListThatCannotBeWrittenTakesTheNewTemplateBack)
{
    const QString unwritableList = folder.file("unplugged/labels.tml");
    EXPECT_FALSE(mainwin::saveAsTemplate(templates, "Tokens", unwritableList, prompt));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, settings::message::kCouldNotSaveTemplateList);
    EXPECT_EQ(prompt.shown[0].detail, unwritableList);
    expectUnchanged();
}

} // namespace
