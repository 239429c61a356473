// The number field as the user meets it: typing and leaving, the colours of positive
// and negative amounts, and the pop-up calculator's OK and Cancel.

#include "editors/widgets/calculator_dialog.h"
#include "editors/widgets/currency_edit.h"
#include "editors/widgets/edit_button.h"
#include "editors/widgets/editor_events.h"
#include "support/qt_printers.h"

#include <QLocale>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace numora;
using namespace numora::editors;
using numora::test::leaveField;
using numora::test::typeText;

namespace {

class CurrencyEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        edit = std::make_unique<TCurrencyEdit>();
        QObject::connect(edit.get(), &TMyBtnEdit::changedByUser, [this] { ++changes; });
    }

    void typeAndLeave(const QString &typed)
    {
        edit->clear();
        typeText(edit.get(), typed);
        leaveField(edit.get());
    }

    // Presses calculator keys while the calculator is open, then closes it with
    // `close`; `shown` gets the field's text and colour just before closing.
    void calculate(const QString &keys, QPushButton *(TCalcDlg::*close)() const)
    {
        test::whileModal(
            [&] {
                auto *calculator = edit->findChild<TCalcDlg *>();
                ASSERT_NE(calculator, nullptr);
                openedWith = edit->text();
                for (QChar key : keys)
                    calculator->keyButton(key)->click();
                shownWhileOpen = edit->text();
                colourWhileOpen = edit->shownTextColour();
                (calculator->*close)()->click();
            },
            [&] { edit->button()->click(); });
    }

    std::unique_ptr<TCurrencyEdit> edit;
    int changes = 0;
    QString openedWith, shownWhileOpen;
    QColor colourWhileOpen;
};

TEST_F(CurrencyEditTest, LeavingShowsTheAmountInTheColourOfItsSign)
{
    struct Case {
        const char *typed;
        const char *shown;
        Qt::GlobalColor colour;
        double value;
    };
    const Case cases[] = {
        {"1234.5", "1,234.50", Qt::blue, 1234.5},
        {"-3", "-3.00", Qt::red, -3},
        {"", "0.00", Qt::blue, 0},
        {"12a.b5", "12.50", Qt::blue, 12.5}, // letters are not taken
    };
    for (const Case &c : cases) {
        typeAndLeave(QString::fromLatin1(c.typed));
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.shown)) << c.typed;
        EXPECT_EQ(edit->shownTextColour(), QColor(c.colour)) << c.typed;
        EXPECT_EQ(edit->value(), c.value) << c.typed;
    }
}

TEST_F(CurrencyEditTest, AnUnreadableTextKeepsTheValue)
{
    edit->setValue(7);
    typeAndLeave(QStringLiteral("1.2.3"));
    EXPECT_EQ(edit->value(), 7);
    EXPECT_EQ(edit->text(), u"7.00");
}

TEST_F(CurrencyEditTest, ColoursFollowTheShownSignWhateverSetsTheValue)
{
    edit->setPlusColour(Qt::darkGreen);
    edit->setNegColour(Qt::magenta);
    edit->setDisplayFormat(QStringLiteral(",0.00;(,0.00)"));
    edit->setValue(-3);
    EXPECT_EQ(edit->text(), u"(3.00)");
    EXPECT_EQ(edit->shownTextColour(), QColor(Qt::magenta));
    edit->setValue(3);
    EXPECT_EQ(edit->shownTextColour(), QColor(Qt::darkGreen));

    edit->setReadOnlyColours(Qt::gray, Qt::lightGray);
    edit->setFieldReadOnly(true);
    EXPECT_EQ(edit->shownTextColour(), QColor(Qt::gray));
    EXPECT_EQ(edit->shownBackgroundColour(), QColor(Qt::lightGray));
}

TEST_F(CurrencyEditTest, ZeroCountsAsEmptyAndClearingShowsIt)
{
    edit->setDisplayFormat(QStringLiteral(",0.0000"));
    edit->setValue(31.1035);
    EXPECT_EQ(edit->text(), u"31.1035");
    EXPECT_FALSE(edit->isEmpty());
    edit->clearValue();
    EXPECT_EQ(edit->text(), u"0.0000");
    EXPECT_TRUE(edit->isEmpty());
    EXPECT_EQ(changes, 0); // the program's changes are not the user's
}

TEST_F(CurrencyEditTest, CalculatorOkWritesTheResult)
{
    edit->setValue(-12);
    calculate(QStringLiteral("5+3="), &TCalcDlg::okButton);
    EXPECT_EQ(openedWith, u"0");
    EXPECT_EQ(shownWhileOpen, u"8");
    EXPECT_EQ(colourWhileOpen, QColor(Qt::black));
    EXPECT_EQ(edit->text(), u"8.00");
    EXPECT_EQ(edit->value(), 8);
    EXPECT_EQ(edit->shownTextColour(), QColor(Qt::blue));
    EXPECT_EQ(changes, 1);
}

TEST_F(CurrencyEditTest, CalculatorCancelOrAnErrorLeavesTheFormerText)
{
    edit->setValue(-12);
    calculate(QStringLiteral("200+10%"), &TCalcDlg::cancelButton);
    EXPECT_EQ(shownWhileOpen, u"220");
    EXPECT_EQ(edit->text(), u"-12.00");
    EXPECT_EQ(edit->shownTextColour(), QColor(Qt::red));

    calculate(QStringLiteral("7/0="), &TCalcDlg::okButton);
    EXPECT_EQ(shownWhileOpen, u"Error");
    EXPECT_EQ(edit->value(), -12);
    EXPECT_EQ(edit->text(), u"-12.00");
    EXPECT_EQ(changes, 0);
}

TEST_F(CurrencyEditTest, TypedKeysWorkTheCalculator)
{
    TCalcDlg calculator;
    QString shown;
    QObject::connect(&calculator, &TCalcDlg::displayChanged,
                     [&](const QString &text) { shown = text; });
    for (const auto &[key, text] : {std::pair{Qt::Key_5, "5"}, {Qt::Key_Asterisk, "*"},
                                    {Qt::Key_1, "1"}, {Qt::Key_0, "0"}, {Qt::Key_Percent, "%"}})
        test::pressKey(calculator.okButton(), key, QString::fromLatin1(text));
    EXPECT_EQ(shown, u"0.5");
    test::pressKey(calculator.okButton(), Qt::Key_C, QStringLiteral("c"));
    EXPECT_EQ(shown, u"0");
    EXPECT_EQ(calculator.result(), 0); // Enter and keys never close it
}

TEST_F(CurrencyEditTest, AReadOnlyFieldOpensNoCalculator)
{
    edit->setValue(5);
    edit->setFieldReadOnly(true);
    bool opened = false;
    test::whileModal(
        [&] {
            if (auto *calculator = edit->findChild<TCalcDlg *>()) {
                opened = true;
                calculator->reject();
            }
        },
        [&] { edit->button()->click(); });
    QApplication::processEvents();
    EXPECT_FALSE(opened);
    EXPECT_EQ(edit->text(), u"5.00");
}

} // namespace
