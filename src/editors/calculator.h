#pragma once
// The pop-up calculator of currency fields as a state machine: keys in, display text
// out. The calculator window turns buttons and typed keys into press() calls and
// copies text() into the field after each one.
//
// Keys: '0'..'9', '.', '\b' (backspace), '_' (switch sign), 'C' (clear), and the
// operators '=', '+', '-', '*', '/', '%' and '\r' (Enter, which acts like '=').
// An operator applies the operator pending before it, so "5 + 3 =" shows 8, and "%"
// turns the number entered into a percentage of the stored operand for "+" and "-"
// (200 + 10 % shows 220) or into a fraction for "*" and "/" (50 * 10 % shows 5).

#include <QChar>
#include <QString>

namespace numora::editors {

inline constexpr int kCalculatorMaxDigits = 15;
inline constexpr char kCalculatorError[] = "Error";

class Calculator {
public:
    enum class Mode { Ready, Entering, Error };

    Calculator() { clear(); }

    // Keys it does not know are ignored; in the error mode only 'C' is taken.
    void press(QChar key);

    // The display with a leading "-" while the negative flag is on.
    QString text() const;
    Mode mode() const { return mode_; }

    // The text in the notation of a field whose decimal separator is `decimal`.
    QString fieldText(QChar decimal) const;

private:
    void clear();
    void startNumber();
    void typeDigit(QChar digit);
    void typePoint();
    void backspace();
    void applyOperator(QChar key);
    void show(double result);
    void fail();
    double entered() const;

    QString display_;
    bool negative_ = false;
    QChar pending_;
    double stored_ = 0;
    Mode mode_ = Mode::Ready;
};

} // namespace numora::editors
