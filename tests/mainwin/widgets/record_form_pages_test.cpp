// The record form over a real database folder, as the user sees it: values moving between
// a record and the controls, what counts as an empty record, Tab across the pages, the
// label menu's refusals and the page order kept beside the database.

#include "editors/widgets/currency_edit.h"
#include "editors/widgets/date_edit.h"
#include "editors/widgets/lookup.h"
#include "editors/widgets/multi_img_control.h"
#include "mainwin/page_order.h"
#include "mainwin/widgets/record_form_pages.h"
#include "platform/progress_window.h"
#include "settings/colour_scheme.h"
#include "settings/startup_settings.h"
#include "settings/template_list.h"
#include "database/database_manager.h"
#include "database/record_schema.h"
#include "editors/widgets/editor_events.h"
#include "mainwin/session_fakes.h"
#include "support/catalogue_folders.h"
#include "support/scripted_prompt.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace numora;
using namespace numora::mainwin;
using database::record_column::fieldColumn;

namespace {

constexpr int Description = 1, Country = 2, Cost = 8, MarketValue = 9, SmallPicture = 10, Weight = 16, Custom2 = 20,
              Notes = 25, Picture = 26;

QByteArray bitmapBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

QImage redSquare()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
}

class RecordFormPagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        settings.folders = folders.folders();
        settings.fieldNames.fillIfEmpty(coinFieldLabels());
        database.programFolder = folders.programFolder();
        database.location.folder = folders.databaseFolder();
        folders.writeList("list1.dbf", {"France", "Spain"});
        folders.writeDescriptions({"Sestertius"});
    }

    RecordFormPages &form()
    {
        if (!form_) {
            form_ = std::make_unique<RecordFormPages>(
                RecordFormContext{settings, prompt, progress, colours, database, templates});
            form_->attachDatabase();
        }
        return *form_;
    }

    template <typename Control>
    Control *control(int fieldNumber)
    {
        return static_cast<Control *>(form().fieldControl(fieldNumber - 1));
    }

    // Record 1 of data.dbf holding a value in each kind of field.
    void writeFullRecord()
    {
        store::Table table;
        folders.open(table, "data.dbf");
        table.first();
        table.edit();
        table.setText(fieldColumn(Country), "Spain");
        table.setNumber(fieldColumn(Cost), 12.5);
        table.setNumber(fieldColumn(Weight), 3.1416);
        table.setDate(fieldColumn(Custom2), QDate(2021, 3, 14));
        table.setText(fieldColumn(Notes), "Bought at auction.\nCleaned once.");
        table.setBytes(fieldColumn(Picture), bitmapBytes(redSquare()));
        table.post();
    }

    void openRecords(store::Table &table)
    {
        folders.open(table, "data.dbf");
        table.first();
    }

    test::CatalogueFolders folders;
    settings::RunSettings settings;
    test::ScriptedPrompt prompt;
    platform::ProgressWindow progress;
    settings::ColourScheme colours;
    database::DatabaseManager database{prompt, progress};
    settings::LabelTemplateList templates{settings.fieldNames};
    std::unique_ptr<RecordFormPages> form_;
};

TEST_F(RecordFormPagesTest, BuildsFourPagesWithLabelsAndControlsByFieldNumber)
{
    ASSERT_EQ(form().count(), 4);
    EXPECT_EQ(form().tabText(0), "Part 1");
    EXPECT_EQ(form().tabText(3), "Part 4");
    ASSERT_EQ(form().fieldCount(), 26);
    for (int position = 0; position < 26; ++position) {
        EXPECT_EQ(form().field(position).number, position + 1);
        EXPECT_EQ(form().fieldControl(position)->property("Tag").toInt(), position + 1);
        EXPECT_EQ(form().fieldLabel(position)->text(), coinFieldLabels()[position]);
    }
    EXPECT_EQ(form().fieldCountOnPage(0), 10);
    EXPECT_EQ(form().fieldCountOnPage(1), 14);
    EXPECT_EQ(form().dateControls().size(), 1);
    EXPECT_EQ(form().lookupSource(Country - 1), "list1.dbf");
    EXPECT_EQ(form().lookupSource(Description - 1), "");
}

// Numbers the layout skips leave no gap in the positions, and a page without controls
// is not shown.
TEST_F(RecordFormPagesTest, SkippedNumbersAndEmptyPagesLeaveNoTrace)
{
    FormLayout layout;
    layout.pageCaptions = {"Part 1", "Part 2", "Part 3"};
    layout.designPageSize = {272, 326};
    FieldLayout first;
    first.number = 1;
    first.page = 1;
    first.label = "First:";
    first.box = {6, 20, 100, 24};
    FieldLayout third = first;
    third.number = 3;
    third.label = "Third:";
    third.box = {6, 60, 100, 24};
    layout.fields = {third, first};

    RecordFormPages sparse(RecordFormContext{settings, prompt, progress, colours, database, templates}, layout);
    ASSERT_EQ(sparse.count(), 1);
    EXPECT_EQ(sparse.tabText(0), "Part 2");
    ASSERT_EQ(sparse.fieldCount(), 2);
    EXPECT_EQ(sparse.field(0).number, 1);
    EXPECT_EQ(sparse.field(1).number, 3);
    EXPECT_EQ(sparse.fieldLabel(1), nullptr);
    EXPECT_NE(sparse.fieldLabel(2), nullptr);
}

TEST_F(RecordFormPagesTest, LoadsEveryKindOfFieldFromTheRecord)
{
    writeFullRecord();
    store::Table table;
    openRecords(table);
    ASSERT_TRUE(form().loadFrom(table));

    EXPECT_EQ(control<QLineEdit>(Description)->text(), "Sestertius");
    EXPECT_EQ(control<editors::TLookup>(Country)->text(), "Spain");
    EXPECT_DOUBLE_EQ(control<editors::TCurrencyEdit>(Cost)->value(), 12.5);
    EXPECT_EQ(control<editors::TCurrencyEdit>(Cost)->text(), "12.50");
    EXPECT_EQ(control<editors::TCurrencyEdit>(Weight)->text(), "3.1416");
    EXPECT_EQ(control<editors::TDateEdit>(Custom2)->date(), QDate(2021, 3, 14));
    EXPECT_EQ(control<QPlainTextEdit>(Notes)->toPlainText(), "Bought at auction.\nCleaned once.");
    EXPECT_FALSE(control<editors::TDbMultiImgControl>(Picture)->isEmpty());
    EXPECT_TRUE(control<editors::TDbMultiImgControl>(SmallPicture)->isEmpty());
    EXPECT_TRUE(prompt.shown.empty());
}

// What the user typed reaches the record; a new lookup value is learned; the picture is
// written once it changed, and copying writes it whatever happened to it.
TEST_F(RecordFormPagesTest, WritesTheControlsBackIntoTheRecord)
{
    writeFullRecord();
    {
        store::Table table;
        openRecords(table);
        form().loadFrom(table);
        control<QLineEdit>(Description)->setText("Denarius");
        control<editors::TLookup>(Country)->setText("Narnia");
        control<editors::TCurrencyEdit>(Cost)->setValue(-7.25);
        control<editors::TDateEdit>(Custom2)->setDate({});
        control<QPlainTextEdit>(Notes)->setPlainText("Sold.");
        QImage blue(4, 4, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        control<editors::TDbMultiImgControl>(SmallPicture)->setPicture(blue);
        table.edit();
        ASSERT_TRUE(form().writeTo(table));
        table.post();

        table.append();
        ASSERT_TRUE(form().copyTo(table));
        table.post();
    }
    store::Table stored;
    openRecords(stored);
    for (int record = 0; record < 2; ++record, stored.next()) {
        SCOPED_TRACE(record);
        EXPECT_EQ(stored.text(fieldColumn(Description)), "Denarius");
        EXPECT_EQ(stored.text(fieldColumn(Country)), "Narnia");
        EXPECT_DOUBLE_EQ(stored.number(fieldColumn(Cost)), -7.25);
        EXPECT_DOUBLE_EQ(stored.number(fieldColumn(Weight)), 3.1416);
        EXPECT_TRUE(stored.isNull(fieldColumn(Custom2)));
        EXPECT_EQ(stored.text(fieldColumn(Notes)), "Sold.");
        EXPECT_FALSE(stored.isNull(fieldColumn(SmallPicture)));
        EXPECT_FALSE(stored.isNull(fieldColumn(Picture)));
    }
    EXPECT_TRUE(folders.storedItems("list1.dbf").contains("Narnia"));
}

// The damaged notes are reported once and left empty; no other field keeps what the
// previous record showed.
TEST_F(RecordFormPagesTest, DamagedNotesAreReportedAndTheRestIsStillShown)
{
    writeFullRecord();
    {
        store::Table table;
        openRecords(table);
        table.edit();
        table.setText(fieldColumn(Notes), QString(3000, u'x'));
        table.post();
    }
    const QString memoFile = folders.databaseFile("data.dbt");
    QFile::resize(memoFile, QFileInfo(memoFile).size() - 2000);
    control<QPlainTextEdit>(Notes)->setPlainText("the record shown before");
    control<QLineEdit>(Description)->setText("the record shown before");

    store::Table table;
    openRecords(table);
    EXPECT_FALSE(form().loadFrom(table));
    ASSERT_EQ(prompt.shown.size(), 1u);
    const test::ShownMessage &message = prompt.shown.front();
    EXPECT_EQ(message.text, "Corrupt Memo Field!!! You should delete record: Spain\r"
                            "You may have to use Advanced/Maintenance/Repair Data File function.");
    EXPECT_EQ(message.kind, MessageKind::Error);
    EXPECT_EQ(message.buttons, Button::Ok | Button::Help);
    EXPECT_EQ(message.helpContext, 62);
    EXPECT_EQ(control<QPlainTextEdit>(Notes)->toPlainText(), "");
    EXPECT_EQ(control<QLineEdit>(Description)->text(), "Sestertius");
    EXPECT_FALSE(control<editors::TDbMultiImgControl>(Picture)->isEmpty());
}

TEST_F(RecordFormPagesTest, PastTheLastRecordTextFieldsAreEmptied)
{
    store::Table table;
    openRecords(table);
    form().loadFrom(table);
    table.next();
    ASSERT_TRUE(table.eof());
    ASSERT_TRUE(form().loadFrom(table));
    EXPECT_EQ(control<QLineEdit>(Description)->text(), "");
}

TEST_F(RecordFormPagesTest, ARecordIsEmptyWhenNoControlHoldsAValue)
{
    struct Case {
        const char *what;
        std::function<void(RecordFormPages &)> fill;
        bool empty;
    };
    const Case cases[] = {
        {"nothing", [](RecordFormPages &) {}, true},
        {"only a picture",
         [](RecordFormPages &form) {
             static_cast<editors::TDbMultiImgControl *>(form.fieldControl(Picture - 1))->setPicture(redSquare());
         },
         true},
        {"a currency of 0",
         [](RecordFormPages &form) { static_cast<editors::TCurrencyEdit *>(form.fieldControl(Cost - 1))->setValue(0); },
         true},
        {"a currency of 0.01",
         [](RecordFormPages &form) {
             static_cast<editors::TCurrencyEdit *>(form.fieldControl(Cost - 1))->setValue(0.01);
         },
         false},
        {"a date",
         [](RecordFormPages &form) {
             static_cast<editors::TDateEdit *>(form.fieldControl(Custom2 - 1))->setDate(QDate(2020, 1, 1));
         },
         false},
        {"notes",
         [](RecordFormPages &form) {
             static_cast<QPlainTextEdit *>(form.fieldControl(Notes - 1))->setPlainText("x");
         },
         false},
        {"a lookup", [](RecordFormPages &form) {
             static_cast<editors::TLookup *>(form.fieldControl(Country - 1))->setText("Spain");
         },
         false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        form().clear();
        c.fill(form());
        EXPECT_EQ(form().isEmpty(), c.empty);
    }
    form().clear();
    EXPECT_TRUE(form().isEmpty());
}

TEST_F(RecordFormPagesTest, RequiredFieldsMustHoldAValue)
{
    EXPECT_TRUE(form().requiredFieldsFilled()); // none in this product
    form().requiredFields = {Description - 1, Custom2 - 1, 99};
    control<QLineEdit>(Description)->setText("Aureus");
    EXPECT_FALSE(form().requiredFieldsFilled());
    control<editors::TDateEdit>(Custom2)->setDate(QDate(2020, 1, 1));
    EXPECT_TRUE(form().requiredFieldsFilled());
}

// What is typed into a text or lookup field is what is stored: the field takes no more
// than its column's bytes hold, counted in UTF-8.
TEST_F(RecordFormPagesTest, TypedTextStopsAtTheColumnsWidthInUtf8Bytes)
{
    ASSERT_TRUE(database.openDatabase());
    const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E"); // one key, two UTF-16 units
    for (const int number : {Description, Country}) {
        SCOPED_TRACE(number);
        const int width = database.recordTable().fields()[size_t(fieldColumn(number))].width;
        QLineEdit *edit = number == Country ? control<editors::TLookup>(number)->lineEdit() : control<QLineEdit>(number);
        const auto filler = [](int count) { return QStringList(count, QStringLiteral("a")); };
        const struct {
            QStringList keys; // after `fill` letters
            int fill;
            QString kept;
        } cases[] = {
            {{"a", "b"}, width - 1, "a"},
            {{"é", "b"}, width - 1, "b"},
            {{"€", "é"}, width - 2, "é"},
            {{clef, "b", "c"}, width - 3, "bc"},
            {{clef}, width - 4, clef},
        };
        for (const auto &c : cases) {
            edit->clear();
            for (const QString &key : filler(c.fill) + c.keys)
                test::pressKey(edit, 0, key);
            EXPECT_EQ(edit->text(), QString(c.fill, u'a') + c.kept) << c.keys.join(' ').toStdString();
        }
    }
}

class RecordFormFocusTest : public RecordFormPagesTest {
protected:
    void SetUp() override
    {
        RecordFormPagesTest::SetUp();
        form().resize(300, 380);
        form().show();
        form().activateWindow();
        QApplication::processEvents();
    }

    void press(Qt::Key key)
    {
        QKeyEvent event(QEvent::KeyPress, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &event);
        QApplication::processEvents();
    }

    bool focused(int fieldNumber)
    {
        QWidget *control = form().fieldControl(fieldNumber - 1);
        QWidget *focus = QApplication::focusWidget();
        return focus && (focus == control || control->isAncestorOf(focus));
    }
};

QAction *menuItem(editors::TDateEdit *date, const QString &caption)
{
    for (QAction *item : date->menu()->actions())
        if (item->text() == caption)
            return item;
    return nullptr;
}

// "Invalid Date!" on Tab, then the user leaves the record from the keyboard: the record
// waits, unsaved, with the focus in the date field, until the date is mended or emptied.
TEST_F(RecordFormFocusTest, AnInvalidDateKeepsTheRecordUnsavedUntilItIsMendedOrEmptied)
{
    const struct {
        const char *name;
        std::function<void(editors::TDateEdit *)> mend;
        QDate stored;
    } cases[] = {
        {"mended with Today", [](editors::TDateEdit *date) { menuItem(date, "&Today")->trigger(); },
         QDate::currentDate()},
        {"emptied with Clear", [](editors::TDateEdit *date) { menuItem(date, "&Clear")->trigger(); }, QDate()},
    };
    ASSERT_TRUE(database.openDatabase());
    test::LetterBrowser browser{database};
    RecordSession session{database, prompt, form(), browser};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        prompt.shown.clear();
        session.reload();
        const quint32 before = database.recordCount();
        session.newRecord();
        control<QLineEdit>(Description)->setText(QStringLiteral("Aureus %1").arg(c.name));
        auto *date = control<editors::TDateEdit>(Custom2);
        form().showField(Custom2 - 1)->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        test::typeText(date, "02312020");
        press(Qt::Key_Tab);
        ASSERT_EQ(prompt.texts(), QStringList{"Invalid Date!"});
        ASSERT_TRUE(focused(Custom2));

        session.next();
        QApplication::processEvents();
        EXPECT_EQ(prompt.texts(), QStringList({"Invalid Date!", "Invalid Date!"}));
        EXPECT_TRUE(session.isNewRecord()) << "not saved";
        EXPECT_TRUE(focused(Custom2));
        EXPECT_EQ(database.recordCount(), before);

        c.mend(date);
        session.next();
        EXPECT_EQ(database.recordCount(), before + 1);
        store::Table stored;
        folders.open(stored, "data.dbf");
        stored.last();
        EXPECT_EQ(stored.text(fieldColumn(Description)), QStringLiteral("Aureus %1").arg(c.name));
        EXPECT_EQ(stored.date(fieldColumn(Custom2)), c.stored);
    }
}

TEST_F(RecordFormFocusTest, TabWrapsFromTheLastPageToTheFirstField)
{
    form().showField(Picture - 1)->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(focused(Picture));

    press(Qt::Key_Tab);
    EXPECT_EQ(form().currentIndex(), 0);
    EXPECT_TRUE(focused(Description));

    press(Qt::Key_Backtab);
    EXPECT_EQ(form().currentIndex(), 3);
    EXPECT_TRUE(focused(Picture));
}

// Tab passes the small picture by and goes on to the next page after the amounts.
TEST_F(RecordFormFocusTest, TabFollowsTheFieldNumbersWithinAndAcrossPages)
{
    form().showField(Country - 1)->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    press(Qt::Key_Tab);
    EXPECT_TRUE(focused(Country + 1));

    form().showField(9 - 1)->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    press(Qt::Key_Tab);
    EXPECT_EQ(form().currentIndex(), 1);
    EXPECT_TRUE(focused(11));
}

// Qt takes the focus off a field it hides or disables; the form must not turn the page
// then, or the tab bar shows one page and the form another.
TEST_F(RecordFormFocusTest, TheHighlightedTabAlwaysNamesThePageShown)
{
    const auto clickTab = [this](const QString &caption) {
        QTabBar *tabs = form().tabBar();
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == caption)
                QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(i).center());
    };
    const struct {
        const char *name;
        std::function<void()> act;
        int shownField; // a field of the page that must show
    } cases[] = {
        {"a click on the last tab", [&] { clickTab(QStringLiteral("Part 4")); }, Picture},
        {"a click on the second tab", [&] { clickTab(QStringLiteral("Part 2")); }, SmallPicture + 1},
        {"the record goes into use", [this] { form().setEditable(false); }, MarketValue},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        form().setEditable(true);
        form().setCurrentIndex(0);
        QWidget *marketValue = form().fieldControl(MarketValue - 1);
        QTest::mouseClick(marketValue, Qt::LeftButton, {}, QPoint(10, marketValue->height() / 2));
        QApplication::processEvents();
        ASSERT_TRUE(focused(MarketValue));

        c.act();
        QApplication::processEvents();
        auto *stack = form().findChild<QStackedWidget *>();
        QWidget *expected = form().fieldControl(c.shownField - 1)->parentWidget();
        EXPECT_EQ(stack->currentWidget(), expected);
        EXPECT_EQ(form().tabBar()->currentIndex(), form().indexOf(expected));
        EXPECT_TRUE(expected->isVisible());
    }
}

TEST_F(RecordFormPagesTest, LabelTextsThatAreBlankOrTakenAreRefused)
{
    int labelsChanged = 0;
    QObject::connect(&form(), &RecordFormPages::labelsChanged, [&] { ++labelsChanged; });
    struct Case {
        QString answer;
        QString message;
    };
    const Case cases[] = {
        {" ", "Empty Labels are not Allowed!"},
        {"country:", "Duplicate Labels are not Allowed!"},
        {"Short Note:", "Duplicate Labels are not Allowed!"}, // its own text
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        prompt.shown.clear();
        form().askText = [&](const QString &caption, const QString &label, const QString &text) {
            EXPECT_EQ(caption, "Change Label Text");
            EXPECT_EQ(label, "Enter New Text:");
            EXPECT_EQ(text, "Short Note:");
            return std::optional<QString>(c.answer);
        };
        form().changeLabelText(3);
        ASSERT_EQ(prompt.texts(), QStringList{c.message});
        EXPECT_EQ(prompt.shown.front().kind, MessageKind::Error);
        EXPECT_EQ(form().fieldLabel(2)->text(), "Short Note:");
    }
    EXPECT_EQ(labelsChanged, 0);

    form().askText = [](const QString &, const QString &, const QString &) { return std::optional<QString>("Remark:"); };
    form().changeLabelText(3);
    EXPECT_EQ(form().fieldLabel(2)->text(), "Remark:");
    EXPECT_EQ(labelsChanged, 1);
    settings::FieldNameList saved;
    saved.loadLabels(settings.folders.settingsFolder);
    EXPECT_EQ(saved.names().value(2), "Remark:");
}

TEST_F(RecordFormPagesTest, LabelTemplatesKeepWholeSetsOfLabels)
{
    QString answer = "Roman";
    form().askText = [&](const QString &caption, const QString &, const QString &) {
        EXPECT_EQ(caption, "Save Labels As Template");
        return std::optional<QString>(answer);
    };
    form().saveLabelsAsTemplate();
    form().saveLabelsAsTemplate();
    EXPECT_EQ(prompt.texts(), QStringList{"Duplicate name - Template Not Saved!"});

    settings.fieldNames.setNames(QStringList(coinFieldLabels()).replaceInStrings("Coin", "Token"));
    form().applyLabels();
    form().chooseLabelTemplate = [](const QStringList &names) {
        EXPECT_EQ(names, QStringList{"Roman"});
        return std::optional<QString>("Roman");
    };
    form().loadLabelsFromTemplate();
    EXPECT_EQ(form().fieldLabel(0)->text(), "Coin Description:");
    EXPECT_EQ(prompt.shown.size(), 1u);
}

// A template whose file is gone cannot be loaded: the user is told, and the form shows
// the labels stored for the database instead of those it showed before.
TEST_F(RecordFormPagesTest, ALabelTemplateThatCannotBeReadIsReported)
{
    form().askText = [](const QString &, const QString &, const QString &) { return std::optional<QString>("Roman"); };
    form().saveLabelsAsTemplate();
    ASSERT_EQ(templates.count(), 1);
    ASSERT_TRUE(QFile::remove(QDir(settings.folders.settingsFolder).filePath(templates.item(0).fileName)));
    settings.fieldNames.saveLabels(settings.folders.settingsFolder, prompt);
    const QString stored = form().fieldLabel(0)->text();

    settings.fieldNames.setNames(QStringList(coinFieldLabels()).replaceInStrings("Coin", "Token"));
    form().applyLabels();
    form().chooseLabelTemplate = [](const QStringList &) { return std::optional<QString>("Roman"); };
    prompt.shown.clear();
    form().loadLabelsFromTemplate();
    EXPECT_EQ(prompt.texts(), QStringList{"Error Loading Template."});
    EXPECT_EQ(prompt.shown.front().kind, MessageKind::Error);
    EXPECT_EQ(form().fieldLabel(0)->text(), stored);
}

TEST_F(RecordFormPagesTest, PageOrderLineShowsItsFirstPageFirst)
{
    ASSERT_TRUE(writePageOrder(settings.folders.settingsFolder, "data.dbf", "2134"));
    form().setCurrentIndex(2);
    form().readPageOrder();
    EXPECT_EQ(form().tabText(0), "Part 2");
    EXPECT_EQ(form().tabText(1), "Part 1");
    EXPECT_EQ(form().currentIndex(), 0);

    form().tabBar()->moveTab(3, 0);
    ASSERT_TRUE(form().writePageOrder());
    EXPECT_EQ(readPageOrder(settings.folders.settingsFolder, "data.dbf"), "4213");
}

TEST_F(RecordFormPagesTest, DateFormatChosenFromTheMenuIsKept)
{
    int refreshes = 0;
    QObject::connect(&form(), &RecordFormPages::listRefreshRequested, [&] { ++refreshes; });
    auto *date = control<editors::TDateEdit>(Custom2);
    emit date->OnSetFormat(settings::DateFormat::YearMonthDay);
    EXPECT_EQ(date->dateFormat(), settings::DateFormat::YearMonthDay);
    settings::DateFormatList saved;
    saved.load(settings.folders.settingsFolder);
    EXPECT_EQ(saved.formats(), QList<settings::DateFormat>{settings::DateFormat::YearMonthDay});
    EXPECT_EQ(refreshes, 1);
}

TEST_F(RecordFormPagesTest, TheListShowsADateAsItsFieldDoes)
{
    const QDate date(1999, 12, 25);
    struct Case {
        settings::DateFormat format;
        QString shown;
    };
    const Case cases[] = {{settings::DateFormat::MonthDayYear, "12/25/1999"},
                          {settings::DateFormat::DayMonthYear, "25/12/1999"},
                          {settings::DateFormat::Year, "1999"}};
    for (const Case &c : cases) {
        emit control<editors::TDateEdit>(Custom2)->OnSetFormat(c.format);
        EXPECT_EQ(form().dateText(fieldColumn(Custom2), date), c.shown);
    }
    EXPECT_EQ(form().dateText(fieldColumn(Custom2), QDate()), "") << "an empty date";
}

TEST_F(RecordFormPagesTest, FindMarksOneFieldAtATime)
{
    control<QPlainTextEdit>(Notes)->setPlainText("Bought at auction in Rome.");
    const QColor notesBase = control<QWidget>(Notes)->palette().color(QPalette::Base);
    form().highlightFoundField(Notes - 1, "auction");
    EXPECT_EQ(form().currentIndex(), 2);
    EXPECT_EQ(control<QPlainTextEdit>(Notes)->textCursor().selectedText(), "auction");
    EXPECT_EQ(control<QWidget>(Notes)->palette().color(QPalette::Base), QColor(Qt::red));
    EXPECT_EQ(control<QWidget>(Notes)->palette().color(QPalette::Text), QColor(Qt::yellow));

    form().highlightFoundField(Description - 1);
    EXPECT_EQ(form().currentIndex(), 0);
    EXPECT_EQ(control<QWidget>(Description)->palette().color(QPalette::Base), QColor(Qt::red));
    EXPECT_EQ(control<QWidget>(Notes)->palette().color(QPalette::Base), notesBase);
}

// A record another user holds, or a read-only database: nothing takes input and Find
// leaves its mark off.
TEST_F(RecordFormPagesTest, NotEditableFormTakesNoInput)
{
    form().setEditable(false);
    const QColor greyText = QApplication::palette(control<QWidget>(Description)).color(QPalette::Disabled, QPalette::Text);
    EXPECT_EQ(control<QWidget>(Description)->palette().color(QPalette::Disabled, QPalette::Text), greyText)
        << "the fields of a record in use are greyed";
    EXPECT_FALSE(control<QLineEdit>(Description)->isEnabled());
    EXPECT_FALSE(control<editors::TLookup>(Country)->isEnabled());
    EXPECT_TRUE(control<editors::TDateEdit>(Custom2)->isFieldReadOnly());
    EXPECT_TRUE(control<editors::TCurrencyEdit>(Cost)->isFieldReadOnly());
    EXPECT_TRUE(control<editors::TDbMultiImgControl>(Picture)->isReadOnly());
    const QColor base = control<QWidget>(Description)->palette().color(QPalette::Base);
    form().highlightFoundField(Description - 1);
    EXPECT_EQ(control<QWidget>(Description)->palette().color(QPalette::Base), base);

    form().setEditable(true);
    EXPECT_TRUE(control<QLineEdit>(Description)->isEnabled());
    EXPECT_FALSE(control<editors::TDateEdit>(Custom2)->isFieldReadOnly());
    EXPECT_FALSE(control<editors::TDbMultiImgControl>(Picture)->isReadOnly());
}

QAction *menuItem(QMenu &menu, const char *name)
{
    for (QAction *item : menu.actions())
        if (item->objectName() == QLatin1String(name))
            return item;
    return nullptr;
}

TEST_F(RecordFormPagesTest, FieldMenusFitTheirFields)
{
    auto oneLine = form().createFieldMenu(Description - 1);
    EXPECT_TRUE(menuItem(*oneLine, "Undo")->isVisible());
    EXPECT_FALSE(menuItem(*oneLine, "Load")->isVisible());
    EXPECT_FALSE(menuItem(*oneLine, "Copy")->isEnabled()); // nothing selected
    EXPECT_EQ(menuItem(*oneLine, "Edit List"), nullptr);

    control<QPlainTextEdit>(Notes)->setPlainText("Bought at auction.");
    auto notes = form().createFieldMenu(Notes - 1);
    EXPECT_TRUE(menuItem(*notes, "Load")->isVisible());
    EXPECT_TRUE(menuItem(*notes, "Select All")->isEnabled());
    menuItem(*notes, "Select All")->trigger();
    EXPECT_TRUE(control<QPlainTextEdit>(Notes)->textCursor().hasSelection());

    settings.databaseOptions.autoFill = true;
    auto lookup = form().createFieldMenu(Country - 1);
    EXPECT_FALSE(menuItem(*lookup, "Undo")->isVisible());
    ASSERT_NE(menuItem(*lookup, "Edit List"), nullptr);
    EXPECT_TRUE(menuItem(*lookup, "Auto-Fill")->isChecked());
    menuItem(*lookup, "Auto-Fill")->trigger();
    EXPECT_FALSE(settings.databaseOptions.autoFill);

    int chosenList = -1;
    form().editLists = [&](int index) { chosenList = index; };
    menuItem(*form().createFieldMenu(12 - 1), "Edit List")->trigger();
    EXPECT_EQ(chosenList, 3); // Category: the fourth lookup field
}

// A larger one-line font: the rows make room for it and no two controls overlap.
TEST_F(RecordFormPagesTest, ALargerLineFontReflowsThePages)
{
    int fontsChanged = 0;
    QObject::connect(&form(), &RecordFormPages::fontsChanged, [&] { ++fontsChanged; });
    form().chooseFont = [](const QFont &font) {
        QFont larger = font;
        larger.setPointSize(28);
        return std::optional<QFont>(larger);
    };
    menuItem(*form().createFieldMenu(Description - 1), "Font")->trigger();
    EXPECT_EQ(fontsChanged, 1);
    EXPECT_EQ(settings.databaseOptions.lineEditFont.pointSize, 28);
    for (int position = 0; position < form().fieldCount(); ++position) {
        const FormField &field = form().field(position);
        if (field.kind != ControlKind::Memo && field.kind != ControlKind::Picture) {
            EXPECT_GE(field.control->height(), field.control->sizeHint().height()) << field.number;
        }
        for (int earlier = 0; earlier < position; ++earlier) {
            const FormField &other = form().field(earlier);
            if (other.page == field.page) {
                EXPECT_FALSE(other.control->geometry().intersects(field.control->geometry()))
                    << other.number << " and " << field.number;
            }
        }
    }
}

// Widening the pane by 21 pixels: the row of three shares the width between its last two.
TEST_F(RecordFormPagesTest, StretchesWithThePane)
{
    form().resize(300, 380);
    form().show();
    QApplication::processEvents();
    const QRect silver = control<QWidget>(17)->geometry();
    const QRect gold = control<QWidget>(18)->geometry();
    const QRect notes = control<QWidget>(Notes)->geometry();
    form().resize(321, 400);
    QApplication::processEvents();
    EXPECT_EQ(control<QWidget>(17)->geometry(), silver.adjusted(0, 0, 10, 0));
    EXPECT_EQ(control<QWidget>(18)->geometry(), gold.translated(10, 0).adjusted(0, 0, 11, 0));
    EXPECT_EQ(control<QWidget>(Notes)->geometry(), notes.adjusted(0, 0, 21, 20));
}

// Hidden pages are sized 0 x 0 at times; coming back to a size gives the same places.
TEST_F(RecordFormPagesTest, AnySequenceOfResizesEndsWhereOneResizeWould)
{
    form().resize(300, 380);
    form().show();
    QApplication::processEvents();
    const QRect cost = control<QWidget>(Cost)->geometry();
    const QRect notes = control<QWidget>(Notes)->geometry();
    for (const QSize size : {QSize(0, 0), QSize(120, 90), QSize(800, 700), QSize(300, 380)}) {
        form().resize(size);
        QApplication::processEvents();
    }
    EXPECT_EQ(control<QWidget>(Cost)->geometry(), cost);
    EXPECT_EQ(control<QWidget>(Notes)->geometry(), notes);
}

} // namespace
