#pragma once
// Exact decimal arithmetic for numeric columns and key expressions. A double cannot
// hold eighteen nines minus a cost exactly (its spacing there is 128), so keys are
// computed in fixed point over a 128-bit integer.

#include <QByteArray>
#include <QByteArrayView>
#include <compare>
#include <optional>

namespace numora::store {

class Decimal {
public:
    static constexpr int Scale = 10; // digits after the point that are kept exactly

    Decimal() = default;
    static Decimal fromInteger(long long value);
    // Rounds half away from zero to `decimals` places (0 .. Scale). Throws DatabaseError
    // for NaN, infinity and values of 10^27 or more, which cannot be held exactly.
    static Decimal fromDouble(double value, int decimals);
    // dBASE numeric text: optional blanks, sign, digits, point, digits. Anything else,
    // including an all-blank field or more than 27 integer digits, gives no value.
    // Digits beyond Scale decimals are rounded.
    static std::optional<Decimal> parse(QByteArrayView text);

    // Exact; throw DatabaseError rather than overflow.
    Decimal operator+(Decimal other) const;
    Decimal operator-(Decimal other) const;
    auto operator<=>(const Decimal &) const = default;

    double toDouble() const;
    long long toInteger() const; // rounds half away from zero
    // dBASE STR(): right aligned in `width`. When the decimals do not fit, fewer are
    // shown (rounded); only an integer part wider than `width` gives asterisks.
    QByteArray toFixed(int width, int decimals) const;

private:
    // __extension__ keeps -Wpedantic quiet about the compiler's 128-bit integer.
    __extension__ typedef __int128 Units;
    explicit Decimal(Units units) : units_(units) {}
    Units units_ = 0; // value * 10^Scale
};

} // namespace numora::store
