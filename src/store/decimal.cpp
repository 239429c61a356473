#include "store/decimal.h"

#include "store/store_error.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

namespace numora::store {

namespace {

__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;

// Keeps every parsed value below 10^37 units, so adding two of them cannot overflow.
constexpr int MaxIntegerDigits = 27;

constexpr Int128 powerOfTen(int exponent)
{
    Int128 result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= 10;
    return result;
}

constexpr Int128 UnitsPerOne = powerOfTen(Decimal::Scale);

bool isDigit(char c) { return c >= '0' && c <= '9'; }

UInt128 magnitudeOf(Int128 units)
{
    // Negating in unsigned arithmetic is defined even for the most negative value.
    return units < 0 ? UInt128(0) - UInt128(units) : UInt128(units);
}

// Reads [sign] digits [. digits] with at least one digit, rounding half away from zero
// to `decimals` places. No value for any other text or too many integer digits.
std::optional<Int128> unitsFromText(std::string_view text, int decimals)
{
    size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        ++pos;

    Int128 kept = 0; // the value in units of 10^-decimals
    int digits = 0;
    int integerDigits = 0; // without leading zeros
    for (; pos < text.size() && isDigit(text[pos]); ++pos, ++digits) {
        kept = kept * 10 + (text[pos] - '0');
        if (kept != 0 && ++integerDigits > MaxIntegerDigits)
            return std::nullopt;
    }

    int fractionDigits = 0;
    bool roundUp = false;
    if (pos < text.size() && text[pos] == '.') {
        for (++pos; pos < text.size() && isDigit(text[pos]); ++pos, ++digits) {
            if (fractionDigits < decimals)
                kept = kept * 10 + (text[pos] - '0');
            else if (fractionDigits == decimals)
                roundUp = text[pos] >= '5'; // only the first dropped digit decides
            ++fractionDigits;
        }
    }
    if (digits == 0 || pos != text.size())
        return std::nullopt;

    if (roundUp)
        ++kept;
    const Int128 units = kept * powerOfTen(Decimal::Scale - std::min(fractionDigits, decimals));
    return negative ? -units : units;
}

std::string_view trimBlanks(std::string_view text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Writes `value` as at least `minDigits` decimal digits ending just before `end`;
// returns where the digits begin.
char *writeDigits(std::uint64_t value, char *end, int minDigits)
{
    char *pos = end;
    while (value > 0 || end - pos < minDigits) {
        *--pos = char('0' + value % 10);
        value /= 10;
    }
    return pos;
}

// The digits of a magnitude in units: the integer digits without leading zeros (at
// least one), then exactly Scale fraction digits, no point.
class UnitDigits {
public:
    explicit UnitDigits(UInt128 magnitude)
    {
        // Two 64-bit halves avoid a 128-bit division per digit. The magnitude of a
        // signed 128-bit value is at most 2^127, so the high half fits 64 bits.
        constexpr std::uint64_t TenToThe19 = 10'000'000'000'000'000'000ULL;
        const auto high = std::uint64_t(magnitude / TenToThe19);
        const auto low = std::uint64_t(magnitude - UInt128(high) * TenToThe19);
        char *const end = buffer_.data() + buffer_.size();
        char *begin = writeDigits(low, end, high > 0 ? 19 : Decimal::Scale + 1);
        if (high > 0)
            begin = writeDigits(high, begin, 1);
        digits_ = std::string_view(begin, size_t(end - begin));
    }

    int integerDigits() const { return int(digits_.size()) - Decimal::Scale; }
    std::string_view integerPart() const { return digits_.substr(0, integerDigits()); }
    std::string_view fractionPart() const { return digits_.substr(integerDigits()); }

private:
    std::array<char, 40> buffer_; // 2^127 has 39 digits
    std::string_view digits_;
};

// A short number text built on the stack.
class NumberText {
public:
    void append(char c) { chars_[size_++] = c; }
    void append(std::string_view text)
    {
        std::copy(text.begin(), text.end(), chars_.begin() + size_);
        size_ += int(text.size());
    }
    int size() const { return size_; }
    std::string_view view() const { return {chars_.data(), size_t(size_)}; }

private:
    std::array<char, 48> chars_;
    int size_ = 0;
};

// [-]integer[.fraction] with `decimals` places, rounded half away from zero, without
// leading zeros in the integer part and without the sign when the result is zero.
NumberText roundedText(bool negative, const UnitDigits &digits, int decimals)
{
    // One leading '0' leaves room for a carry out of the top digit.
    std::array<char, 42> kept;
    kept[0] = '0';
    const std::string_view integer = digits.integerPart();
    const std::string_view fraction = digits.fractionPart().substr(0, decimals);
    std::copy(integer.begin(), integer.end(), kept.begin() + 1);
    std::copy(fraction.begin(), fraction.end(), kept.begin() + 1 + integer.size());
    const int keptSize = 1 + int(integer.size() + fraction.size());

    if (decimals < Decimal::Scale && digits.fractionPart()[decimals] >= '5') {
        int pos = keptSize - 1;
        for (; kept[pos] == '9'; --pos)
            kept[pos] = '0';
        ++kept[pos];
    }

    const int integerEnd = 1 + int(integer.size());
    int first = 0;
    while (first < integerEnd - 1 && kept[first] == '0')
        ++first;
    const std::string_view keptDigits(kept.data() + first, size_t(keptSize - first));
    const bool isZero = keptDigits.find_first_not_of('0') == std::string_view::npos;

    NumberText text;
    if (negative && !isZero)
        text.append('-');
    text.append(keptDigits.substr(0, integerEnd - first));
    if (decimals > 0) {
        text.append('.');
        text.append(keptDigits.substr(integerEnd - first));
    }
    return text;
}

} // namespace

Decimal Decimal::fromInteger(long long value) { return Decimal(Int128(value) * UnitsPerOne); }

Decimal Decimal::fromDouble(double value, int decimals)
{
    // The shortest text that reads back as the same double is what the user typed or
    // saw, so 0.1 stays 0.1 instead of 0.1000000000000000055...
    std::array<char, 512> buffer; // enough for any double in fixed notation
    std::optional<Int128> units;
    if (std::isfinite(value)) {
        const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                          std::chars_format::fixed);
        if (result.ec == std::errc()) {
            const std::string_view text(buffer.data(), size_t(result.ptr - buffer.data()));
            units = unitsFromText(text, std::clamp(decimals, 0, Scale));
        }
    }
    if (!units)
        throw DatabaseError(
            QStringLiteral("The number %1 is too large to be stored exactly.").arg(value));
    return Decimal(*units);
}

std::optional<Decimal> Decimal::parse(QByteArrayView text)
{
    const std::string_view trimmed = trimBlanks(std::string_view(text.data(), size_t(text.size())));
    if (const std::optional<Int128> units = unitsFromText(trimmed, Scale))
        return Decimal(*units);
    return std::nullopt;
}

Decimal Decimal::operator+(Decimal other) const
{
    Units sum = 0;
    if (__builtin_add_overflow(units_, other.units_, &sum))
        throw DatabaseError(
            QStringLiteral("A sum of numbers is too large to be computed exactly."));
    return Decimal(sum);
}

Decimal Decimal::operator-(Decimal other) const
{
    Units difference = 0;
    if (__builtin_sub_overflow(units_, other.units_, &difference))
        throw DatabaseError(
            QStringLiteral("A difference of numbers is too large to be computed exactly."));
    return Decimal(difference);
}

double Decimal::toDouble() const
{
    // Reading the exact decimal text back rounds once, to the nearest double.
    const UnitDigits digits(magnitudeOf(units_));
    NumberText text;
    if (units_ < 0)
        text.append('-');
    text.append(digits.integerPart());
    text.append('.');
    text.append(digits.fractionPart());
    double value = 0;
    std::from_chars(text.view().data(), text.view().data() + text.size(), value);
    return value;
}

long long Decimal::toInteger() const
{
    // Values beyond the range of long long saturate.
    const UInt128 rounded = (magnitudeOf(units_) + UnitsPerOne / 2) / UnitsPerOne;
    const auto limit = UInt128(std::numeric_limits<long long>::max());
    const auto magnitude = static_cast<long long>(std::min(rounded, limit));
    return units_ < 0 ? -magnitude : magnitude;
}

QByteArray Decimal::toFixed(int width, int decimals) const
{
    const UnitDigits digits(magnitudeOf(units_));
    // Start with the most decimals that could fit beside the integer digits and a point;
    // rounding can only widen the text, so fewer are tried when it does.
    const int room = width - digits.integerDigits() - 1;
    for (int shown = std::clamp(std::min(decimals, room), 0, Scale); shown >= 0; --shown) {
        const NumberText text = roundedText(units_ < 0, digits, shown);
        if (text.size() <= width) {
            QByteArray aligned(width, ' ');
            std::copy(text.view().begin(), text.view().end(), aligned.end() - text.size());
            return aligned;
        }
    }
    return QByteArray(std::max(width, 0), '*');
}

} // namespace numora::store
