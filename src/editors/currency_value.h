#pragma once
// What a currency edit holds and shows, apart from its window: a floating-point value,
// the number format it is shown through, how typed text is read back, which of the
// two text colours the shown text takes, and when the field counts as empty (its
// value is 0: a cleared currency field still shows "0.00").

#include "editors/number_format.h"

#include <QString>

#include <optional>

namespace numora::editors {

inline constexpr char kDefaultCurrencyFormat[] = ",0.00";
inline constexpr int kMaxDisplayFormatLength = 20;

// Reads the text of a currency field: only digits and the decimal separator count
// (when the decimal separator is also the thousands separator, only the rightmost
// one), an empty result is 0, and a "-" or "(" anywhere makes the value negative.
// No value when the digits kept do not form a number, e.g. "1.2.3".
std::optional<double> readCurrencyText(const QString &text, const NumberSeparators &separators);

// Keys the field takes: digits, "-", the decimal separator and backspace.
bool currencyEditAccepts(QChar character, const NumberSeparators &separators);

// A text shown with "-" or "(" is a negative amount and takes the negative colour.
bool showsNegative(const QString &text);

class CurrencyValue {
public:
    explicit CurrencyValue(NumberSeparators separators = {});

    double value() const { return value_; }
    void setValue(double value) { value_ = value; }
    const QString &displayFormat() const { return displayFormat_; }
    // Cut to 20 characters.
    void setDisplayFormat(const QString &notation);

    // Reads `text` into the value; false, with the value kept, when it cannot be read.
    bool read(const QString &text);
    // The value through the display format.
    QString shownText() const;

    bool countsAsEmpty() const { return value_ == 0; }

    const NumberSeparators &separators() const { return separators_; }

private:
    NumberSeparators separators_;
    double value_ = 0;
    QString displayFormat_;
    NumberFormat format_;
};

} // namespace numora::editors
