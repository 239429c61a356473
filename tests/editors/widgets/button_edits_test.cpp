// The common button edit and the click and folder edits built on it: the button, the
// refused line breaks, the read-only rules and the folder check on leaving.

#include "editors/widgets/click_edit.h"
#include "editors/widgets/dir_edit.h"
#include "editors/widgets/edit_button.h"
#include "editors/widgets/editor_events.h"
#include "support/qt_printers.h"
#include "support/scripted_prompt.h"
#include "support/temp_folder.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace numora;
using namespace numora::editors;
using numora::test::leaveField;
using numora::test::pressKey;
using numora::test::typeText;

namespace {

TEST(ButtonEditTest, TheButtonSitsAtTheRightAndTheTextStopsBeforeIt)
{
    TClickEdit edit;
    edit.resize(120, 24);
    edit.show();
    const QRect button = edit.button()->geometry();
    EXPECT_EQ(button.width(), TEditButton::kWidth);
    EXPECT_LE(button.right(), edit.width() - 1);
    EXPECT_GE(button.right(), edit.width() - 3);
    EXPECT_EQ(edit.textMargins().right(), TEditButton::kWidth + 1);
    edit.setButtonVisible(false);
    EXPECT_EQ(edit.textMargins().right(), 0);
}

TEST(ButtonEditTest, TheClickEditRunsItsOwnersActionAndRefusesLineBreaks)
{
    TClickEdit edit;
    int clicks = 0, changes = 0;
    QObject::connect(&edit, &TClickEdit::BtnClick, [&] { ++clicks; });
    QObject::connect(&edit, &TMyBtnEdit::changedByUser, [&] { ++changes; });
    edit.button()->click();
    EXPECT_EQ(clicks, 1);

    typeText(&edit, QStringLiteral("ab"));
    pressKey(&edit, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(edit.text(), u"ab");
    EXPECT_EQ(changes, 2);
}

TEST(ButtonEditTest, AReadOnlyEditDropsKeysButADisabledOneIsGreyed)
{
    TClickEdit edit;
    edit.setText(QStringLiteral("kept"));
    edit.setFieldReadOnly(true);
    typeText(&edit, QStringLiteral("x"));
    EXPECT_EQ(edit.text(), u"kept");
    edit.setFieldReadOnly(false);

    // Only the date edit keeps itself readable; the others are plainly disabled.
    edit.setFieldEnabled(false);
    EXPECT_FALSE(edit.isEnabled());
    EXPECT_TRUE(edit.isFieldReadOnly());
}

TEST(DirEditTest, LeavingWithAPathThatIsNoFolderIsReported)
{
    test::TempFolder folder;
    TDirEdit edit;
    test::ScriptedPrompt prompt;
    edit.setPrompt(&prompt);
    EXPECT_EQ(edit.buttonHint(), u"Click here to select a directory");

    struct Case {
        QString path;
        bool validate;
        bool reported;
    };
    const Case cases[] = {
        {folder.path(), true, false},
        {QDir(folder.path()).filePath(QStringLiteral("missing")), true, true},
        {QStringLiteral("relative"), true, true},
        {QString(), true, true},
        {QDir(folder.path()).filePath(QStringLiteral("missing")), false, false},
    };
    for (const Case &c : cases) {
        prompt.shown.clear();
        edit.setValidate(c.validate);
        edit.setText(c.path);
        leaveField(&edit);
        EXPECT_EQ(prompt.texts(),
                  c.reported ? QStringList{"Invalid directory!"} : QStringList())
            << c.path.toStdString();
    }
}

} // namespace
