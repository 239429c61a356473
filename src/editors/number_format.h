#pragma once
// Number formats of the currency edit, in the usual notation: "0" a digit always
// shown, "#" a digit shown when significant, "," before the point turns on thousands
// separators, "." the decimal point. Up to three sections separated by ";" give the
// texts of positive, negative and zero values, so ",0.00;(,0.00)" puts negatives in
// parentheses; a value without a section of its own uses the first one, a negative
// value then with a leading "-". Other characters, and text in quotes, are copied as
// they stand before or after the number.

#include <QChar>
#include <QLocale>
#include <QString>

#include <array>

namespace numora::editors {

// The system's separators, as numbers are shown and read.
struct NumberSeparators {
    QChar decimal = u'.';
    QChar thousands = u',';
    static NumberSeparators of(const QLocale &locale);
};

class NumberFormat {
public:
    explicit NumberFormat(const QString &notation = QString());

    // An empty notation shows the value with up to 15 significant digits.
    QString format(double value, const NumberSeparators &separators) const;

private:
    struct Section {
        QString prefix;
        QString suffix;
        int minIntegerDigits = 0;
        int minDecimals = 0;
        int maxDecimals = 0;
        bool thousands = false;
        bool present = false;
    };
    static Section parseSection(const QString &text);
    static QString render(const Section &section, double magnitude,
                          const NumberSeparators &separators);

    // Positive, negative, zero.
    std::array<Section, 3> sections_;
};

} // namespace numora::editors
