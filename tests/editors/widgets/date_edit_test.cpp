// The date field as the user meets it: typing into the pattern, leaving it, its menu,
// the calendar's date, and the field disabled by the form.

#include "editors/widgets/calendar_popup.h"
#include "editors/widgets/date_edit.h"
#include "editors/widgets/edit_button.h"
#include "editors/widgets/editor_events.h"
#include "support/qt_printers.h"
#include "support/scripted_prompt.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>

#include <gtest/gtest.h>

using namespace numora;
using namespace numora::editors;
using numora::test::enterField;
using numora::test::leaveField;
using numora::test::pressKey;
using numora::test::typeText;
using settings::DateFormat;

namespace {

class DateEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        edit = std::make_unique<TDateEdit>();
        edit->setDateFormat(DateFormat::MonthDayYear);
        edit->setPrompt(&prompt);
        QObject::connect(edit.get(), &TMyBtnEdit::changedByUser, [this] { ++changes; });
    }

    QAction *menuItem(const QString &caption) const
    {
        for (QAction *action : edit->menu()->findChildren<QAction *>())
            if (action->text() == caption)
                return action;
        return nullptr;
    }

    test::ScriptedPrompt prompt;
    std::unique_ptr<TDateEdit> edit;
    int changes = 0;
};

TEST_F(DateEditTest, ANewFieldTakesTheSystemShortDateFormat)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // dd.MM.yy
    TDateEdit german;
    EXPECT_EQ(german.datePattern(), DatePattern::DayMonthShortYear);
    EXPECT_EQ(german.text(), u"__.__.__");
    EXPECT_EQ(german.dateFormat(), DateFormat::DayMonthYear);
}

TEST_F(DateEditTest, TypingFillsThePatternUpToItsEnd)
{
    enterField(edit.get());
    typeText(edit.get(), QStringLiteral("122519990"));
    EXPECT_EQ(edit->text(), u"12/25/1999");
    EXPECT_EQ(edit->cursorPosition(), 10);
    EXPECT_EQ(edit->date(), QDate(1999, 12, 25));
    EXPECT_EQ(changes, 8); // the ninth digit changed nothing

    typeText(edit.get(), QStringLiteral("a/"));
    pressKey(edit.get(), Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(edit->text(), u"12/25/1999");

    pressKey(edit.get(), Qt::Key_Backspace, QStringLiteral("\b"));
    pressKey(edit.get(), Qt::Key_Home);
    typeText(edit.get(), QStringLiteral("0"));
    EXPECT_EQ(edit->text(), u"02/25/199_");
    EXPECT_EQ(edit->cursorPosition(), 1);
}

TEST_F(DateEditTest, LeavingReadsThePaddedDateOrReportsAnInvalidOne)
{
    enterField(edit.get());
    pressKey(edit.get(), Qt::Key_Right);
    typeText(edit.get(), QStringLiteral("5"));
    pressKey(edit.get(), Qt::Key_Right);
    typeText(edit.get(), QStringLiteral("71999"));
    ASSERT_EQ(edit->text(), u"_5/_7/1999");
    leaveField(edit.get());
    EXPECT_EQ(edit->text(), u"05/07/1999");
    EXPECT_TRUE(prompt.shown.empty());

    edit->setDate(QDate());
    enterField(edit.get());
    typeText(edit.get(), QStringLiteral("1"));
    leaveField(edit.get());
    EXPECT_EQ(prompt.texts(), QStringList{"Invalid Date!"});
    EXPECT_EQ(prompt.shown.front().kind, MessageKind::Error);
    EXPECT_EQ(edit->text(), u"1_/__/____");
}

TEST_F(DateEditTest, AnInvalidDateTakesTheFocusBack)
{
    QWidget window;
    auto *field = new TDateEdit(&window);
    field->setPrompt(&prompt);
    auto *next = new QLineEdit(&window);
    next->move(0, 40);
    window.show();
    window.activateWindow();
    field->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(field->hasFocus());

    typeText(field, QStringLiteral("1"));
    next->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(prompt.texts(), QStringList{"Invalid Date!"});
    EXPECT_TRUE(field->hasFocus());
}

TEST_F(DateEditTest, AHalfTypedDateIsNeverStoredAsAnotherDay)
{
    edit->setDate(QDate(1999, 12, 25));
    enterField(edit.get());
    pressKey(edit.get(), Qt::Key_End);
    pressKey(edit.get(), Qt::Key_Backspace, QStringLiteral("\b"));
    ASSERT_EQ(edit->text(), u"12/25/199_");
    EXPECT_EQ(edit->date(), QDate(1999, 12, 25));
    EXPECT_FALSE(edit->checkDate());
    EXPECT_EQ(prompt.texts(), QStringList{"Invalid Date!"});
}

TEST_F(DateEditTest, TheFormatItemsSwitchTheFormatAndKeepTheDate)
{
    std::vector<DateFormat> chosen;
    QObject::connect(edit.get(), &TDateEdit::OnSetFormat,
                     [&](DateFormat format) { chosen.push_back(format); });
    edit->setDate(QDate(1999, 12, 25));
    menuItem(QStringLiteral("YYYY"))->trigger();
    EXPECT_EQ(edit->text(), u"1999");
    menuItem(QStringLiteral("MMDDYYYY"))->trigger();
    EXPECT_EQ(edit->text(), u"01/01/1999");
    EXPECT_EQ(chosen, (std::vector{DateFormat::Year, DateFormat::MonthDayYear}));
}

TEST_F(DateEditTest, ClearAndUndoGoBackToTheDateOnEntry)
{
    edit->setDate(QDate(1999, 12, 25));
    menuItem(QStringLiteral("&Clear"))->trigger();
    EXPECT_EQ(edit->text(), u"__/__/____");
    EXPECT_EQ(edit->date(), QDate());
    menuItem(QStringLiteral("&Undo"))->trigger();
    EXPECT_EQ(edit->text(), u"12/25/1999");
    EXPECT_EQ(changes, 2);

    menuItem(QStringLiteral("&Today"))->trigger();
    EXPECT_EQ(edit->date(), QDate::currentDate());
}

TEST_F(DateEditTest, FilterWindowsHideTheFontAndColourItems)
{
    edit->hideFontAndColourItems();
    EXPECT_FALSE(menuItem(QStringLiteral("&Font..."))->isVisible());
    EXPECT_FALSE(menuItem(QStringLiteral("C&olor..."))->isVisible());
    EXPECT_TRUE(menuItem(QStringLiteral("&Today"))->isVisible());
}

TEST_F(DateEditTest, ACalendarDateIsWrittenUnlessTheFieldIsReadOnly)
{
    edit->takeCalendarDate(QDate(2000, 3, 2));
    EXPECT_EQ(edit->text(), u"03/02/2000");
    EXPECT_EQ(changes, 1);
    edit->setFieldReadOnly(true);
    edit->takeCalendarDate(QDate(2001, 1, 1));
    EXPECT_EQ(edit->text(), u"03/02/2000");
}

TEST_F(DateEditTest, DisabledByTheFormItStaysReadableButTakesNothing)
{
    edit->setNormalColours(Qt::black, Qt::white);
    edit->setDate(QDate(1999, 12, 25));
    edit->setFieldEnabled(false);
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_TRUE(edit->isFieldReadOnly());
    EXPECT_EQ(edit->shownTextColour(), QColor(Qt::black));
    EXPECT_EQ(edit->shownBackgroundColour(), QColor(Qt::white));

    enterField(edit.get());
    typeText(edit.get(), QStringLiteral("1"));
    pressKey(edit.get(), Qt::Key_Backspace, QStringLiteral("\b"));
    menuItem(QStringLiteral("&Clear"))->trigger();
    EXPECT_EQ(edit->text(), u"12/25/1999");

    bool menuOpened = false;
    test::whileModal(
        [&] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                menuOpened = true;
                popup->close();
            }
        },
        [&] {
            QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5),
                                         edit->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(edit.get(), &rightClick);
        });
    QApplication::processEvents();
    EXPECT_FALSE(menuOpened);

    edit->setFieldEnabled(true);
    EXPECT_FALSE(edit->isFieldReadOnly());
}

TEST_F(DateEditTest, TheButtonOpensTheCalendarOnTheFieldsDate)
{
    struct Case {
        QDate shown;
        int key;
        QDate opened;
        QDate taken;
    };
    const QDate today = QDate::currentDate();
    const Case cases[] = {
        {QDate(2000, 1, 31), Qt::Key_PageDown, QDate(2000, 1, 31), QDate(2000, 3, 2)},
        {QDate(), Qt::Key_Right, today, today.addDays(1)},
    };
    for (const Case &c : cases) {
        edit->setDate(c.shown);
        QDate opened;
        test::whileModal(
            [&] {
                auto *calendar = edit->findChild<TfrmCalPop *>();
                ASSERT_NE(calendar, nullptr);
                opened = calendar->selectedDate();
                pressKey(calendar, c.key);
                pressKey(calendar, Qt::Key_Return, QStringLiteral("\r"));
            },
            [&] { edit->button()->click(); });
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(edit->date(), c.taken);
        EXPECT_EQ(edit->cursorPosition(), 0);
    }

    edit->setDate(QDate(1999, 12, 25));
    test::whileModal([&] { pressKey(edit->findChild<TfrmCalPop *>(), Qt::Key_Escape); },
                     [&] { edit->button()->click(); });
    EXPECT_EQ(edit->date(), QDate(1999, 12, 25));
}

TEST(CalendarPopupTest, KeysMoveTheSelectionAndEnterTakesIt)
{
    TfrmCalPop calendar(QDate(2000, 1, 31));
    pressKey(&calendar, Qt::Key_PageDown);
    EXPECT_EQ(calendar.selectedDate(), QDate(2000, 3, 2));
    pressKey(&calendar, Qt::Key_Up);
    EXPECT_EQ(calendar.selectedDate(), QDate(2000, 2, 24));
    calendar.previousMonthButton()->click();
    EXPECT_EQ(calendar.selectedDate(), QDate(2000, 1, 24));
    pressKey(&calendar, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(calendar.result(), QDialog::Accepted);
}

TEST(CalendarPopupTest, PressingOnADaySelectsItAndReleasingTakesIt)
{
    TfrmCalPop calendar(QDate(2000, 2, 10)); // 1 February 2000 was a Tuesday: cell 2
    const QPoint fifteenth = calendar.cellRect(2 + 14).center();
    const QPoint blank = calendar.cellRect(0).center();

    QMouseEvent onBlank(QEvent::MouseButtonPress, blank, calendar.mapToGlobal(blank),
                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&calendar, &onBlank);
    EXPECT_EQ(calendar.selectedDate(), QDate(2000, 2, 10));

    QMouseEvent press(QEvent::MouseButtonPress, fifteenth, calendar.mapToGlobal(fifteenth),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&calendar, &press);
    EXPECT_EQ(calendar.selectedDate(), QDate(2000, 2, 15));
    QMouseEvent release(QEvent::MouseButtonRelease, fifteenth, calendar.mapToGlobal(fifteenth),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&calendar, &release);
    EXPECT_EQ(calendar.result(), QDialog::Accepted);
}

TEST(CalendarPopupTest, TodayTakesTodayAndCancelTakesNothing)
{
    TfrmCalPop calendar(QDate(2000, 2, 10));
    EXPECT_EQ(calendar.todayButton()->toolTip(), u"Set Today Date");
    calendar.todayButton()->click();
    EXPECT_EQ(calendar.result(), QDialog::Accepted);
    EXPECT_EQ(calendar.selectedDate(), QDate::currentDate());

    TfrmCalPop cancelled(QDate(2000, 2, 10));
    cancelled.cancelButton()->click();
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
}

} // namespace
