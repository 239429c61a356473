#include "editors/currency_value.h"

namespace numora::editors {

std::optional<double> readCurrencyText(const QString &text, const NumberSeparators &separators)
{
    const bool oneSeparator = separators.decimal == separators.thousands;
    QString kept;
    bool separatorKept = false;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const QChar c = text.at(i);
        if (c >= u'0' && c <= u'9') {
            kept.prepend(c);
        } else if (c == separators.decimal && !(oneSeparator && separatorKept)) {
            kept.prepend(u'.');
            separatorKept = true;
        }
    }
    if (kept.isEmpty())
        return 0.0;
    bool ok = false;
    const double magnitude = kept.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return showsNegative(text) ? -magnitude : magnitude;
}

bool currencyEditAccepts(QChar character, const NumberSeparators &separators)
{
    return (character >= u'0' && character <= u'9') || character == u'-' ||
           character == separators.decimal || character == u'\b';
}

bool showsNegative(const QString &text) { return text.contains(u'-') || text.contains(u'('); }

CurrencyValue::CurrencyValue(NumberSeparators separators)
    : separators_(separators), displayFormat_(QString::fromLatin1(kDefaultCurrencyFormat)),
      format_(displayFormat_)
{
}

void CurrencyValue::setDisplayFormat(const QString &notation)
{
    displayFormat_ = notation.left(kMaxDisplayFormatLength);
    format_ = NumberFormat(displayFormat_);
}

bool CurrencyValue::read(const QString &text)
{
    const std::optional<double> read = readCurrencyText(text, separators_);
    if (!read)
        return false;
    value_ = *read;
    return true;
}

QString CurrencyValue::shownText() const { return format_.format(value_, separators_); }

} // namespace numora::editors
