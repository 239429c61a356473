// The record list pane over a real database in a temporary folder, as the user sees it:
// row texts, letter tabs, the header's popup and paging across letter pages.

#include "mainwin/widgets/letter_tab_bar.h"
#include "mainwin/widgets/list_header.h"
#include "mainwin/widgets/record_list_pane.h"

#include "mainwin/pane_layout.h"
#include "mainwin/widgets/record_row_button.h"
#include "settings/colour_scheme.h"
#include "database/database_manager.h"
#include "database/table_templates.h"
#include "support/file_bytes.h"
#include "support/qt_printers.h"
#include "support/scripted_prompt.h"
#include "support/temp_folder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace numora;
using namespace numora::mainwin;
using settings::LetterTabState;
using database::SortDescriptor;

namespace {

constexpr int Descr = 2, Country = 3, Cost = 9;

struct Coin {
    QString description;
    QString country;
    double cost = 0;
};

class RecordListPaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const QString programFolder = folder.file("program");
        databaseFolder = folder.file("program/DATA");
        QDir().mkpath(databaseFolder);
        database::ensureTableTemplates(programFolder);
        manager.programFolder = programFolder;
        manager.location.folder = databaseFolder;
    }

    // Opens a database of `coins` sorted by description and shows it in the pane.
    void showCoins(const QList<Coin> &coins, bool descending = false)
    {
        manager.createTable(QDir(databaseFolder).filePath("data.dbf"), true);
        {
            store::Table table;
            table.open({.folder = databaseFolder, .fileName = "data.dbf"});
            for (int i = 0; i < coins.size(); ++i) {
                table.append();
                table.setInteger(0, i + 1);
                table.setText(1, "0");
                table.setText(Descr, coins[i].description);
                table.setText(Country, coins[i].country);
                table.setNumber(Cost, coins[i].cost);
                table.post();
            }
        }
        ASSERT_TRUE(manager.openDatabase());
        ASSERT_TRUE(manager.changeSort(SortDescriptor{Descr, descending, 0, false}));
        pane.resize(326, 400);
        pane.show();
        pane.setDatabase(&manager, &scheme);
        ASSERT_GT(pane.rowsPerPage(), 3);
    }

    QList<QStringList> shownRows() const
    {
        QList<QStringList> rows;
        for (TFormatedButton *row : pane.rows())
            if (!row->texts().isEmpty())
                rows << row->columnTexts();
        return rows;
    }

    QStringList shownDescriptions() const
    {
        QStringList descriptions;
        for (const QStringList &row : shownRows())
            descriptions << row.value(0);
        return descriptions;
    }

    test::TempFolder folder;
    QString databaseFolder;
    test::ScriptedPrompt prompt;
    NoProgress progress;
    database::DatabaseManager manager{prompt, progress};
    settings::ColourScheme scheme;
    RecordListPane pane{prompt};
};

QAction *findItem(const QMenu &menu, const QString &caption)
{
    for (QAction *item : menu.actions())
        if (item->text() == caption)
            return item;
    return nullptr;
}

TEST_F(RecordListPaneTest, FirstPageShowsTheDefaultColumnsOfTheFirstLetter)
{
    showCoins({{"denarius", "Rome", 1}, {"aureus", "Rome", 2}, {"as", "Italy", 3}});
    EXPECT_EQ(pane.currentLetter(), QChar('A'));
    EXPECT_EQ(shownRows(), (QList<QStringList>{{"as", " Italy"}, {"aureus", " Rome"}}))
        << "every column after the first starts with a space";
    EXPECT_EQ(pane.sortButton(0)->text(), "DESCR");
    EXPECT_EQ(pane.sortButton(1)->text(), "NONE");
    EXPECT_EQ(pane.sortButton(2)->text(), "All Records");
}

TEST_F(RecordListPaneTest, NumberColumnIsRightAlignedWithSeparatorsAndTwoDecimals)
{
    showCoins({{"aureus", "Rome", 1234.5}});
    ASSERT_TRUE(pane.headerModel().insertField(Cost - 2, pane.header()->width()));
    pane.header()->showSections();
    emit pane.header()->changed();
    const QList<RowColumnText> texts = pane.rows().at(0)->texts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[2], (RowColumnText{" 1,234.50 ", true}));
    EXPECT_FALSE(texts[0].rightAligned);
}

TEST_F(RecordListPaneTest, DigitsAndLowerCaseInitialsFallUnderTheirCapitals)
{
    showCoins({{"1 cent", "USA", 1},
               {"as", "Rome", 1},
               {"Denarius", "Rome", 1},
               {"dupondius", "Rome", 1},
               {"Zloty", "Poland", 1}});
    struct Case {
        QChar letter;
        QStringList descriptions;
    };
    const QList<Case> cases = {
        {'A', {"1 cent", "as"}},
        {'D', {"Denarius", "dupondius"}},
        {'Z', {"Zloty"}},
        {'B', {}},
    };
    for (const Case &c : cases) {
        pane.setLetter(c.letter);
        QStringList shown = shownDescriptions();
        shown.sort(Qt::CaseInsensitive);
        EXPECT_EQ(shown, c.descriptions) << "letter " << c.letter.toLatin1();
    }
}

TEST_F(RecordListPaneTest, DescendingSortKeepsEachLetterOnItsOwnPage)
{
    showCoins({{"as", "Rome", 1}, {"aureus", "Rome", 1}, {"Zloty", "Poland", 1}}, true);
    EXPECT_EQ(pane.sortButton(0)->text(), "DESCR");
    EXPECT_EQ(shownDescriptions(), QStringList({"aureus", "as"}))
        << "A first, its records descending";
    pane.setLetter('Z');
    EXPECT_EQ(shownDescriptions(), QStringList({"Zloty"}));
    EXPECT_EQ(pane.letterTabBar()->tab('Z')->count(), 1u);
}

TEST_F(RecordListPaneTest, LetterTabsShowCountsInTheColoursOfTheirState)
{
    showCoins({{"as", "Rome", 1}, {"aureus", "Rome", 1}, {"denarius", "Rome", 1}});
    struct Case {
        QChar letter;
        quint32 count;
        LetterTabState state;
    };
    const QList<Case> cases = {
        {'A', 2, LetterTabState::Selected},
        {'B', 0, LetterTabState::Empty},
        {'D', 1, LetterTabState::HasRecords},
    };
    for (const Case &c : cases) {
        const TColorButton *tab = pane.letterTabBar()->tab(c.letter);
        EXPECT_EQ(tab->count(), c.count) << "letter " << c.letter.toLatin1();
        EXPECT_EQ(tab->colours(), settings::letterTabColours(scheme, c.state))
            << "letter " << c.letter.toLatin1();
    }
    const TColorButton *selected = pane.letterTabBar()->tab('A');
    EXPECT_GE(settings::contrastRatio(selected->letterColour(), selected->faceColour()), 4.5)
        << "the selected letter is read on its filled face";
    pane.setLetter('D');
    EXPECT_EQ(pane.letterTabBar()->tab('A')->colours(),
              settings::letterTabColours(scheme, LetterTabState::HasRecords))
        << "selecting another letter gives up the selected colours";
}

// At its least width the pane cuts no caption off: paging buttons keep theirs (the sponsor
// button gives way), and sort captions too wide for their third are elided.
TEST_F(RecordListPaneTest, AtItsLeastWidthNoCaptionIsCutOff)
{
    showCoins({{"as", "Rome", 1}});
    ASSERT_TRUE(manager.changeSort(SortDescriptor{}));
    pane.recountLetters();
    pane.resize(kMinimumListPaneWidth, 300);
    QApplication::processEvents();

    const QList<std::pair<QPushButton *, QString>> paging = {{pane.firstButton(), "First"},
                                                             {pane.pageUpButton(), "PgUp"},
                                                             {pane.pageDownButton(), "PgDn"},
                                                             {pane.lastButton(), "Last"}};
    for (const auto &[button, caption] : paging) {
        EXPECT_EQ(button->text(), caption);
        EXPECT_GT(button->width(), button->fontMetrics().horizontalAdvance(caption)) << caption.toStdString();
    }
    for (int part = 0; part < 3; ++part) {
        const QPushButton *button = pane.sortButton(part);
        const int textRoom = button->width() - button->iconSize().width();
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), textRoom) << part;
        if (button->text() != pane.sortCaption(part)) {
            EXPECT_TRUE(button->text().endsWith(QChar(0x2026))) << button->text().toStdString();
            EXPECT_EQ(button->toolTip(), pane.sortCaption(part));
        }
    }
    EXPECT_EQ(pane.sortCaption(0), "Entry Order");
}

TEST_F(RecordListPaneTest, EntryOrderDisablesTheLetterTabs)
{
    showCoins({{"as", "Rome", 1}, {"denarius", "Rome", 1}});
    ASSERT_TRUE(manager.changeSort(SortDescriptor{}));
    pane.recountLetters();
    const TColorButton *tabA = pane.letterTabBar()->tab('A');
    EXPECT_FALSE(tabA->isEnabled());
    EXPECT_NE(tabA->state(), LetterTabState::Selected)
        << "a disabled tab with the selected face and the disabled letter colour is a blank box";
    EXPECT_EQ(tabA->faceColour(), pane.letterTabBar()->tab('B')->faceColour());
    EXPECT_EQ(shownDescriptions(), QStringList({"as", "denarius"}))
        << "the whole table, in entry order";
    EXPECT_EQ(pane.sortButton(0)->text(), "Entry Order");
}

// A header template that cannot be read leaves the header as it was and says so.
TEST_F(RecordListPaneTest, AHeaderTemplateThatCannotBeReadIsReported)
{
    showCoins({{"as", "Rome", 1}});
    TBrenlowHeader *header = pane.header();
    header->setSettingsFolder(folder.file("program"));
    ASSERT_TRUE(header->templates().add("Plain"));
    test::writeFileBytes(QDir(folder.file("program")).filePath(header->templates().item(0).fileName), "\x01\x06");
    header->resizeSection(1, 60);
    const QList<HeaderSection> before = header->model().sections();
    prompt.shown.clear();

    auto menu = header->createPopupMenu();
    QAction *plain = findItem(*findItem(*menu, "&Load From Template")->menu(), "Plain");
    ASSERT_NE(plain, nullptr);
    plain->trigger();
    EXPECT_EQ(prompt.texts(), QStringList{"Error Loading Template."});
    EXPECT_EQ(prompt.shown.front().kind, MessageKind::Error);
    EXPECT_EQ(header->model().sections(), before);
}

TEST_F(RecordListPaneTest, RemoveFieldIsOfferedWhileMoreThanOneColumnIsLeft)
{
    showCoins({{"as", "Rome", 1}});
    auto menu = pane.header()->createPopupMenu();
    QAction *remove = findItem(*menu, "&Remove Field");
    ASSERT_NE(remove, nullptr);
    EXPECT_TRUE(remove->isEnabled());
    QAction *country = findItem(*remove->menu(), "COUNTRY");
    ASSERT_NE(country, nullptr);
    country->trigger();
    EXPECT_EQ(shownRows(), (QList<QStringList>{{"as"}})) << "the rows lose the removed column";

    menu = pane.header()->createPopupMenu();
    EXPECT_FALSE(findItem(*menu, "&Remove Field")->isEnabled()) << "the last column stays";
    QAction *insert = findItem(*menu, "&Insert New Field");
    EXPECT_NE(findItem(*insert->menu(), "COUNTRY"), nullptr);
    EXPECT_EQ(findItem(*insert->menu(), "NOTES"), nullptr) << "memo fields cannot be columns";
}

TEST_F(RecordListPaneTest, DraggingAndResizingSectionsReachTheRows)
{
    showCoins({{"as", "Rome", 1}});
    TBrenlowHeader *header = pane.header();
    header->moveSection(1, 0);
    EXPECT_EQ(shownRows(), (QList<QStringList>{{"Rome", " as"}}))
        << "the dragged column comes first";
    EXPECT_EQ(header->model().sections().at(0).text, "COUNTRY");

    header->resizeSection(1, 2);
    EXPECT_EQ(header->model().sections().at(1).width, kMinSectionWidth);
    EXPECT_EQ(header->sectionSize(1), kMinSectionWidth);
    EXPECT_EQ(pane.rows().at(0)->columnShares(), header->model().shares(header->width()));
}

// Without a stored header the description takes what the country leaves, at every pane
// width; widths the user set that no longer fit keep every section in sight.
TEST_F(RecordListPaneTest, HeaderSectionsFitThePane)
{
    showCoins({{"1976 Bolivia 50 centavos", "Bolivia", 1}});
    TBrenlowHeader *header = pane.header();
    const auto shownWidths = [header] {
        QList<int> widths;
        for (int i = 0; i < header->count(); ++i)
            widths << header->sectionSize(i);
        return widths;
    };
    for (const int paneWidth : {326, 600, 250}) {
        pane.resize(paneWidth, 400);
        QApplication::processEvents();
        EXPECT_EQ(shownWidths(), (QList<int>{header->width() - 100, 100})) << paneWidth;
        EXPECT_EQ(pane.rows().at(0)->columnShares(), header->model().shares(header->width())) << paneWidth;
    }

    header->resizeSection(0, 400); // the user's widths, wider than the pane
    pane.resize(300, 400);
    QApplication::processEvents();
    EXPECT_EQ(header->model().widths(), (QList<int>{400, 100}));
    EXPECT_EQ(shownWidths(), (QList<int>{header->width() - kReachableSectionWidth, kReachableSectionWidth}));
    EXPECT_EQ(header->sectionViewportPosition(1) + header->sectionSize(1), header->width());
}

TEST_F(RecordListPaneTest, PagingCrossesIntoNeighbouringLetters)
{
    QList<Coin> coins = {{"as", "Rome", 1}};
    for (int i = 0; i < 25; ++i)
        coins << Coin{QString("coin %1").arg(i, 2, 10, QChar('0')), "Rome", 1};
    showCoins(coins);
    const int rows = pane.rowsPerPage();
    const int lastOfC = rows * ((25 - 1) / rows);

    enum class Start { FirstPage, LastPage };
    struct Case {
        QChar letter;
        Start start;
        void (RecordListPane::*command)();
        QChar expectedLetter;
        int expectedOffset;
    };
    const QList<Case> cases = {
        {'C', Start::LastPage, &RecordListPane::nextPage, 'D', 0}, // D is empty
        {'A', Start::FirstPage, &RecordListPane::previousPage, 'A', 0},
        {'D', Start::FirstPage, &RecordListPane::previousPage, 'C', lastOfC},
        {'Z', Start::FirstPage, &RecordListPane::nextPage, 'Z', 0},
    };
    for (const Case &c : cases) {
        pane.setLetter(c.letter);
        if (c.start == Start::LastPage)
            pane.lastPage();
        (pane.*c.command)();
        EXPECT_EQ(pane.currentLetter(), c.expectedLetter) << "from " << c.letter.toLatin1();
        EXPECT_EQ(pane.letterTabBar()->selectedLetter(), c.expectedLetter)
            << "from " << c.letter.toLatin1();
        EXPECT_EQ(pane.pageOffset(), c.expectedOffset) << "from " << c.letter.toLatin1();
    }
}

TEST_F(RecordListPaneTest, PagingButtonsFollowThePageAndTheLetter)
{
    QList<Coin> coins;
    for (int i = 0; i < 30; ++i)
        coins << Coin{QString("coin %1").arg(i, 2, 10, QChar('0')), "Rome", 1};
    showCoins(coins);
    pane.setLetter('A');
    EXPECT_FALSE(pane.pageUpButton()->isEnabled()) << "nothing before the first page of A";
    EXPECT_TRUE(pane.pageDownButton()->isEnabled()) << "B follows";
    pane.setLetter('C');
    EXPECT_FALSE(pane.firstButton()->isEnabled());
    EXPECT_TRUE(pane.lastButton()->isEnabled());
    EXPECT_TRUE(pane.pageUpButton()->isEnabled()) << "B comes before";
    pane.nextPage();
    EXPECT_EQ(shownDescriptions().value(0),
              QString("coin %1").arg(pane.rowsPerPage(), 2, 10, QChar('0')));
    EXPECT_TRUE(pane.firstButton()->isEnabled());
}

TEST_F(RecordListPaneTest, ClickingARowChoosesItsPositionInTheRange)
{
    QList<Coin> coins;
    for (int i = 0; i < 30; ++i)
        coins << Coin{QString("coin %1").arg(i, 2, 10, QChar('0')), "Rome", 1};
    showCoins(coins);
    pane.setLetter('C');
    pane.nextPage();
    QList<int> chosen;
    QObject::connect(&pane, &RecordListPane::rowChosen, [&](int position) { chosen << position; });
    pane.rows().at(1)->click();
    EXPECT_EQ(chosen, QList<int>({pane.rowsPerPage() + 1}));
}

TEST_F(RecordListPaneTest, ShownRecordIsTheSelectedRow)
{
    showCoins({{"as", "Rome", 1}, {"aureus", "Rome", 1}});
    pane.setShownRecord(2); // "aureus"
    pane.refresh();
    EXPECT_FALSE(pane.rows().at(0)->isSelected());
    EXPECT_TRUE(pane.rows().at(1)->isSelected());
    pane.setShownRecord(1);
    pane.refresh();
    EXPECT_TRUE(pane.rows().at(0)->isSelected());
    EXPECT_FALSE(pane.rows().at(1)->isSelected()) << "one selected row at a time";
}

TEST_F(RecordListPaneTest, SortMenusAskForTheChangedDescriptor)
{
    showCoins({{"as", "Rome", 1}});
    struct Case {
        const char *name;
        std::unique_ptr<QMenu> (RecordListPane::*menu)();
        QString submenu;
        QString item;
        SortDescriptor expected;
    };
    const QList<Case> cases = {
        {"entry order",
         &RecordListPane::createPrimarySortMenu,
         "&Primary Sort Field",
         "Entry Order",
         {}},
        {"descending",
         &RecordListPane::createPrimarySortMenu,
         "&Sort Direction",
         "Descending",
         {Descr, true, 0, false}},
        {"secondary text field",
         &RecordListPane::createSecondarySortMenu,
         "&Secondary Sort Field",
         "COUNTRY",
         {Descr, false, Country, false}},
    };
    for (const Case &c : cases) {
        QList<SortDescriptor> requested;
        const QMetaObject::Connection connection = QObject::connect(
            &pane, &RecordListPane::sortRequested, [&](SortDescriptor sort) { requested << sort; });
        auto menu = (pane.*c.menu)();
        QAction *submenu = findItem(*menu, c.submenu);
        ASSERT_NE(submenu, nullptr) << c.name;
        QAction *item = findItem(*submenu->menu(), c.item);
        ASSERT_NE(item, nullptr) << c.name;
        item->trigger();
        QObject::disconnect(connection);
        EXPECT_EQ(requested, QList<SortDescriptor>({c.expected})) << c.name;
    }
}

TEST_F(RecordListPaneTest, RowMenuWaitsForCopyPasteAndPrint)
{
    showCoins({{"as", "Rome", 1}});
    auto menu = pane.createRowMenu(0);
    for (const char *caption : {"&Copy Record", "&Paste Record", "P&rint Record"}) {
        QAction *item = findItem(*menu, caption);
        ASSERT_NE(item, nullptr) << caption;
        EXPECT_FALSE(item->isEnabled()) << caption;
    }
    EXPECT_FALSE(findItem(*menu, "&Go To Web Page")->isVisible());
    EXPECT_TRUE(findItem(*menu, "&Quick View")->isEnabled()) << "the row shows a record";
    EXPECT_FALSE(findItem(*pane.createRowMenu(3), "&Quick View")->isEnabled()) << "an empty row";
}

// A quick view of a record whose notes cannot be read says so once, with a Help button
// for the page on damaged memos, and still lists the record's other fields.
TEST_F(RecordListPaneTest, QuickViewOfDamagedNotesOffersItsHelpPage)
{
    constexpr int Notes = 26;
    showCoins({{"as", "Rome", 1}});
    {
        store::Table table;
        table.open({.folder = databaseFolder, .fileName = "data.dbf"});
        table.first();
        table.edit();
        table.setText(Notes, QString(3000, u'x'));
        table.post();
    }
    const QString memoFile = QDir(databaseFolder).filePath("data.dbt");
    ASSERT_TRUE(QFile::resize(memoFile, QFileInfo(memoFile).size() - 2000));
    prompt.shown.clear();

    const auto menu = pane.createRowMenu(0);
    ASSERT_EQ(prompt.shown.size(), 1u);
    const test::ShownMessage &message = prompt.shown.front();
    EXPECT_EQ(message.text, "Corrupt Memo Field!!! You should delete record: \rRome");
    EXPECT_EQ(message.kind, MessageKind::Error);
    EXPECT_EQ(message.buttons, Button::Ok | Button::Help);
    EXPECT_EQ(message.helpContext, 2);
    QAction *quickView = findItem(*menu, "&Quick View");
    ASSERT_TRUE(quickView->isEnabled());
    EXPECT_EQ(quickView->menu()->actions().first()->text(), "as");
}

// Cuts the data file in the middle of record `recno` (1-based, entry order), as a
// failing disk or another program could while the list shows it.
void cutInsideRecord(const QString &dataFile, int recno)
{
    const QByteArray bytes = test::fileBytes(dataFile);
    const auto word = [&bytes](int at) { return int(quint8(bytes[at])) | int(quint8(bytes[at + 1])) << 8; };
    const int headerLength = word(8), recordLength = word(10);
    ASSERT_TRUE(QFile::resize(dataFile, headerLength + (recno - 1) * recordLength + recordLength / 2));
}

TEST_F(RecordListPaneTest, ADamagedDataFileShowsTheRowsBeforeTheDamageAndSaysWhy)
{
    showCoins({{"aa", "Rome", 1}, {"ab", "Rome", 2}, {"ac", "Rome", 3}, {"ad", "Rome", 4}});
    cutInsideRecord(QDir(databaseFolder).filePath("data.dbf"), 3);
    prompt.shown.clear();

    pane.letterTabBar()->tab('A')->click();
    EXPECT_EQ(shownDescriptions(), QStringList({"aa", "ab"}));
    ASSERT_EQ(prompt.shown.size(), 1u) << "one click, one message";
    EXPECT_EQ(prompt.shown[0].text, "Could not read the records of this database!\rYou may have to use "
                                    "Advanced/Maintenance/Repair Data File function.");
    EXPECT_TRUE(prompt.shown[0].detail.contains("ends inside record 3")) << prompt.shown[0].detail.toStdString();
    EXPECT_EQ(pane.letterCount('A'), 4u) << "the count from before stays";

    EXPECT_FALSE(pane.letterTabBar()->tab('A')->isEnabled()) << "no letter range can be read";
    pane.setLetter('A');
    EXPECT_EQ(prompt.shown.size(), 2u) << "each later action is told again";
    EXPECT_TRUE(findItem(*pane.createRowMenu(1), "&Quick View")->isEnabled()) << "a row read whole";
}

TEST(LetterTabBarTest, ScrollButtonsMoveTheTabsWhenTheBarIsTooLow)
{
    LetterTabBar bar;
    bar.resize(24, 200);
    bar.show();
    const int topOfA = bar.tab('A')->y();
    EXPECT_FALSE(bar.scrollUpButton()->isEnabled());
    ASSERT_TRUE(bar.scrollDownButton()->isEnabled()) << "26 tabs of at least 14 pixels do not fit";
    bar.scrollDownButton()->click();
    EXPECT_LT(bar.tab('A')->y(), topOfA);
    EXPECT_TRUE(bar.scrollUpButton()->isEnabled());
    bar.scrollUpButton()->click();
    EXPECT_EQ(bar.tab('A')->y(), topOfA);
}

TEST(LetterTabBarTest, ClickingATabChoosesItsLetter)
{
    LetterTabBar bar;
    QList<QChar> chosen;
    QObject::connect(&bar, &LetterTabBar::letterChosen, [&](QChar letter) { chosen << letter; });
    bar.tab('Q')->click();
    bar.setTabsEnabled(false);
    bar.tab('R')->click();
    EXPECT_EQ(chosen, QList<QChar>({'Q'})) << "a disabled tab does nothing";
}

TEST(CutToWidthTest, DropsCharactersFromTheEndUntilTheTextFits)
{
    const QFontMetrics metrics(QFont("Liberation Sans", 10));
    const QString text = "Sestertius of Hadrian";
    struct Case {
        int width;
        QString expected;
    };
    const QList<Case> cases = {
        {metrics.horizontalAdvance(text), text},
        {metrics.horizontalAdvance("Sestertius") + 1, "Sestertius"},
        {0, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(cutToWidth(text, metrics, c.width), c.expected) << "width " << c.width;
}

} // namespace
