// The main window's side of a search: the letter tabs walked by the find window, the
// shown record before and after, and the window's input switched off meanwhile.

#include "mainwin/record_session.h"
#include "mainwin/search_hooks.h"
#include "core/progress.h"
#include "session_fakes.h"
#include "support/catalogue_folders.h"
#include "support/scripted_prompt.h"

#include <gtest/gtest.h>

using namespace numora;
using namespace numora::mainwin;
using namespace numora::test;

namespace {

class SearchHooksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        collection.writeDescriptions({"Caesar", "Eagle", "Eagle II"});
        manager.programFolder = collection.programFolder();
        manager.location.folder = collection.databaseFolder();
        ASSERT_TRUE(manager.openDatabase());
        ASSERT_TRUE(manager.changeSort(database::SortDescriptor{kDescrColumn, false, 0, false}));
        browser.recount();
        session.reload();
    }

    CatalogueFolders collection;
    ScriptedPrompt prompt;
    NoProgress progress;
    database::DatabaseManager manager{prompt, progress};
    OneFieldForm form;
    LetterBrowser browser{manager};
    RecordSession session{manager, prompt, form, browser};
    QList<bool> inputStates;
    QList<QChar> toldLetters;
    bool letterTabsEnabled = true;
    SearchHooks hooks{session, browser,
                      SearchWindowSide{[this](bool on) { inputStates << on; }, {}, {}, {},
                                       [this](bool on) { letterTabsEnabled = on; }}};
    TellLetter tell = [this](QChar letter) { toldLetters << letter; };
};

TEST_F(SearchHooksTest, RangeEndStepsOverEmptyLettersUntilTheyRunOut)
{
    struct Case {
        QChar from;
        bool forward;
        bool over;
        QChar letterAfter;
    };
    const Case cases[] = {
        {'C', true, false, 'E'}, {'E', true, true, 'E'},  {'Z', true, true, 'Z'},
        {'E', false, false, 'C'}, {'C', false, true, 'C'}, {'A', false, true, 'A'},
    };
    for (const Case &c : cases) {
        browser.selectLetter(c.from);
        toldLetters.clear();
        EXPECT_EQ(hooks.rangeEnd(c.forward, tell), c.over) << c.from.toLatin1() << c.forward;
        EXPECT_EQ(browser.currentLetter(), c.letterAfter) << c.from.toLatin1() << c.forward;
        EXPECT_EQ(toldLetters, c.over ? QList<QChar>() : QList<QChar>{c.letterAfter});
    }
}

TEST_F(SearchHooksTest, AStepSearchStartsAtTheFirstLetterAndComesBackWhenNothingIsFound)
{
    browser.selectLetter('E');
    ASSERT_TRUE(hooks.beforeFind(true, tell));
    EXPECT_EQ(browser.currentLetter(), QChar('A'));
    EXPECT_EQ(toldLetters, QList<QChar>{'A'});
    EXPECT_EQ(inputStates, QList<bool>{false});

    EXPECT_FALSE(hooks.rangeEnd(true, tell));
    EXPECT_EQ(browser.currentLetter(), QChar('C'));
    hooks.notFound(false);
    EXPECT_EQ(browser.currentLetter(), QChar('A')) << "back to where the search began";
    EXPECT_EQ(inputStates, (QList<bool>{false, true}));
}

TEST_F(SearchHooksTest, AHitIsShownAndItsLetterBecomesTheSearchLetter)
{
    browser.selectLetter('E');
    hooks.found(1, 0);
    EXPECT_EQ(form.description, "Eagle II");
    EXPECT_EQ(hooks.searchLetter(), QChar('E'));
}

TEST_F(SearchHooksTest, AWholeDatabaseReportDropsTheLetterRangeAndRestoresIt)
{
    browser.selectLetter('E');
    hooks.dropLetterRange();
    EXPECT_FALSE(letterTabsEnabled);
    EXPECT_EQ(browser.currentLetter(), QChar('A'));
    hooks.restoreLetterRange();
    EXPECT_TRUE(letterTabsEnabled);
    EXPECT_EQ(browser.currentLetter(), QChar('E'));
}

} // namespace
