#include "editors/widgets/currency_edit.h"

#include "editors/widgets/calculator_dialog.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLocale>

namespace numora::editors {

TCurrencyEdit::TCurrencyEdit(QWidget *parent)
    : TMyBtnEdit(parent), value_(NumberSeparators::of(QLocale()))
{
    setAlignment(Qt::AlignRight);
    resize(120, 22);
    setToolTip(QStringLiteral("Numeric Field - Enter Number Here"));
    setButtonHint(QStringLiteral("Click here to display a Calculator"));
    showValue();
}

void TCurrencyEdit::setValue(double value)
{
    value_.setValue(value);
    showValue();
}

void TCurrencyEdit::clearValue() { setValue(0); }

void TCurrencyEdit::refresh()
{
    if (!value_.read(text()))
        QApplication::beep();
    showValue();
}

void TCurrencyEdit::setDisplayFormat(const QString &notation)
{
    value_.setDisplayFormat(notation);
    showValue();
}

void TCurrencyEdit::setPlusColour(const QColor &colour)
{
    plusColour_ = colour;
    applyColours();
}

void TCurrencyEdit::setNegColour(const QColor &colour)
{
    negColour_ = colour;
    applyColours();
}

bool TCurrencyEdit::acceptsCharacter(QChar character) const
{
    return currencyEditAccepts(character, value_.separators());
}

QColor TCurrencyEdit::normalTextColour() const
{
    if (calculatorOpen_)
        return Qt::black;
    return negativeShown_ ? negColour_ : plusColour_;
}

void TCurrencyEdit::showValue()
{
    // The colour follows the text as it is shown, so a value set by the program is
    // coloured by its own sign.
    setText(value_.shownText());
    negativeShown_ = showsNegative(text());
    applyColours();
}

void TCurrencyEdit::focusOutEvent(QFocusEvent *event)
{
    TMyBtnEdit::focusOutEvent(event);
    if (movesBetweenControls(event->reason()))
        refresh();
}

void TCurrencyEdit::buttonClicked()
{
    // The calculator writes into the field, which a read-only field must not allow.
    if (isFieldReadOnly())
        return;
    const QString before = text();
    calculatorOpen_ = true;
    applyColours();
    TCalcDlg calculator(this);
    connect(&calculator, &TCalcDlg::displayChanged, this, &QLineEdit::setText);
    const bool taken = calculator.exec() == QDialog::Accepted &&
                       calculator.calculator().mode() != Calculator::Mode::Error;
    calculatorOpen_ = false;
    if (!taken) {
        setText(before);
        applyColours();
        return;
    }
    setText(calculator.calculator().fieldText(value_.separators().decimal));
    refresh();
    emit changedByUser();
}

} // namespace numora::editors
