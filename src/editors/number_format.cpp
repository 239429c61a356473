#include "editors/number_format.h"

#include <QStringList>

#include <cmath>

namespace numora::editors {

NumberSeparators NumberSeparators::of(const QLocale &locale)
{
    // Qt 6.4 gives the separators as text; the edits work with one character each.
    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    return {decimal.isEmpty() ? QChar(u'.') : decimal.at(0),
            group.isEmpty() ? QChar(u',') : group.at(0)};
}

namespace {

// Splits at ";" outside quotes.
QStringList splitSections(const QString &notation)
{
    QStringList sections(1);
    QChar quote;
    for (QChar c : notation) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            sections.append(QString());
            continue;
        }
        sections.last() += c;
    }
    return sections;
}

bool isPlaceholder(QChar c) { return c == u'0' || c == u'#' || c == u',' || c == u'.'; }

QString groupThousands(const QString &digits, QChar separator)
{
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits.at(i);
    }
    return grouped;
}

} // namespace

NumberFormat::NumberFormat(const QString &notation)
{
    const QStringList texts = splitSections(notation);
    for (qsizetype i = 0; i < texts.size() && i < qsizetype(sections_.size()); ++i)
        sections_[size_t(i)] = parseSection(texts.at(i));
}

NumberFormat::Section NumberFormat::parseSection(const QString &text)
{
    Section section;
    bool inNumber = false, afterNumber = false, afterPoint = false;
    QChar quote;
    for (QChar c : text) {
        if (quote.isNull() && (c == u'"' || c == u'\'')) {
            quote = c;
            continue;
        }
        if (!quote.isNull() && c == quote) {
            quote = QChar();
            continue;
        }
        if (quote.isNull() && isPlaceholder(c) && !afterNumber) {
            inNumber = true;
            section.present = true;
            if (c == u'.') {
                afterPoint = true;
            } else if (c == u',') {
                section.thousands = section.thousands || !afterPoint;
            } else if (afterPoint) {
                ++section.maxDecimals;
                if (c == u'0')
                    section.minDecimals = section.maxDecimals;
            } else if (c == u'0') {
                ++section.minIntegerDigits;
            }
            continue;
        }
        afterNumber = afterNumber || inNumber;
        (afterNumber ? section.suffix : section.prefix) += c;
        section.present = true;
    }
    return section;
}

QString NumberFormat::render(const Section &section, double magnitude,
                             const NumberSeparators &separators)
{
    // Halves round up, as people expect of amounts; printf would round 2.5 to 2.
    const double scale = std::pow(10.0, section.maxDecimals);
    const double rounded = std::round(magnitude * scale) / scale;
    const QString fixed = QString::number(std::isfinite(rounded) ? rounded : magnitude, 'f',
                                          section.maxDecimals);
    const qsizetype point = fixed.indexOf(u'.');
    QString integer = point < 0 ? fixed : fixed.left(point);
    QString decimals = point < 0 ? QString() : fixed.mid(point + 1);

    while (integer.startsWith(u'0'))
        integer.remove(0, 1);
    if (integer.size() < section.minIntegerDigits)
        integer = QString(section.minIntegerDigits - integer.size(), u'0') + integer;
    while (decimals.size() > section.minDecimals && decimals.endsWith(u'0'))
        decimals.chop(1);

    QString number = section.thousands ? groupThousands(integer, separators.thousands) : integer;
    if (!decimals.isEmpty())
        number += separators.decimal + decimals;
    return section.prefix + number + section.suffix;
}

QString NumberFormat::format(double value, const NumberSeparators &separators) const
{
    const Section &positive = sections_[0];
    if (!positive.present) {
        QString text = QString::number(value, 'g', 15);
        return text.replace(u'.', separators.decimal);
    }
    // A value that the format rounds to zero is zero: "-0.00" would be shown as a
    // negative amount.
    const double scale = std::pow(10.0, positive.maxDecimals);
    if (std::round(std::fabs(value) * scale) == 0)
        value = 0;

    if (value < 0 && sections_[1].present)
        return render(sections_[1], -value, separators);
    if (value == 0 && sections_[2].present)
        return render(sections_[2], 0, separators);
    const QString text = render(positive, std::fabs(value), separators);
    return value < 0 ? u'-' + text : text;
}

} // namespace numora::editors
