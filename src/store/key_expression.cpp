#include "store/key_expression.h"

#include "store/decimal.h"
#include "store/store_error.h"

#include <QDate>
#include <algorithm>
#include <optional>
#include <variant>
#include <vector>

namespace numora::store {

namespace {

// ---- Evaluation tree ------------------------------------------------------------
// Compiled expressions are trees of typed nodes. Text nodes append their bytes to the
// key being built, so a key costs one buffer however many parts it has.

class TextNode {
public:
    virtual ~TextNode() = default;
    virtual void appendTo(QByteArray &key, const KeyRecordSource &record) const = 0;
};

class NumberNode {
public:
    virtual ~NumberNode() = default;
    virtual Decimal valueOf(const KeyRecordSource &record) const = 0;
};

// A date is its Julian day, always within years 1..9999 so DTOS gives eight digits;
// a blank date has no day.
using Day = std::optional<qint64>;

class DateNode {
public:
    virtual ~DateNode() = default;
    virtual Day dayOf(const KeyRecordSource &record) const = 0;
};

using TextPtr = std::unique_ptr<TextNode>;
using NumberPtr = std::unique_ptr<NumberNode>;
using DatePtr = std::unique_ptr<DateNode>;

Day dayIfWritable(qint64 julianDay)
{
    static const qint64 firstDay = QDate(1, 1, 1).toJulianDay();
    static const qint64 lastDay = QDate(9999, 12, 31).toJulianDay();
    if (julianDay < firstDay || julianDay > lastDay)
        return std::nullopt;
    return julianDay;
}

bool isContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Byte position `count` characters after `pos`, or the end. A UTF-8 character is a
// byte and its continuation bytes, so damaged text still advances.
qsizetype skipCharacters(QByteArrayView bytes, qsizetype pos, qsizetype count,
                         TextEncoding encoding)
{
    if (encoding == TextEncoding::Windows1252)
        return std::min(bytes.size(), pos + count);
    for (; count > 0 && pos < bytes.size(); --count) {
        ++pos;
        while (pos < bytes.size() && isContinuationByte(bytes[pos]))
            ++pos;
    }
    return pos;
}

// The 1-based `line` of a memo; lines end at CR LF, LF or CR. Empty when missing.
QByteArrayView memoLine(QByteArrayView text, int line)
{
    const auto lineEnd = [text](qsizetype from) {
        const auto end = std::find_if(text.begin() + from, text.end(),
                                      [](char c) { return c == '\r' || c == '\n'; });
        return qsizetype(end - text.begin());
    };
    qsizetype begin = 0;
    for (int i = 1; i < line; ++i) {
        const qsizetype end = lineEnd(begin);
        if (end == text.size())
            return {};
        const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        begin = end + (crLf ? 2 : 1);
    }
    return text.sliced(begin, lineEnd(begin) - begin);
}

// Appends `value` as exactly `count` (at most 4) digits.
void appendDigits(QByteArray &key, int value, int count)
{
    char digits[4];
    for (int i = count - 1; i >= 0; --i, value /= 10)
        digits[i] = char('0' + value % 10);
    key.append(digits, count);
}

// -- Text nodes

class ColumnText : public TextNode {
public:
    explicit ColumnText(int column) : column_(column) {}
    void appendTo(QByteArray &key, const KeyRecordSource &record) const override
    {
        key.append(record.rawField(column_)); // full width: keys rely on fixed widths
    }

private:
    int column_;
};

class MemoText : public TextNode {
public:
    explicit MemoText(int column) : column_(column) {}
    void appendTo(QByteArray &key, const KeyRecordSource &record) const override
    {
        key.append(record.memoBytes(column_));
    }

private:
    int column_;
};

class ConstantText : public TextNode {
public:
    explicit ConstantText(QByteArray bytes) : bytes_(std::move(bytes)) {}
    void appendTo(QByteArray &key, const KeyRecordSource &) const override { key.append(bytes_); }

private:
    QByteArray bytes_;
};

class Concatenation : public TextNode {
public:
    Concatenation(TextPtr left, TextPtr right) : left_(std::move(left)), right_(std::move(right)) {}
    void appendTo(QByteArray &key, const KeyRecordSource &record) const override
    {
        left_->appendTo(key, record);
        right_->appendTo(key, record);
    }

private:
    TextPtr left_;
    TextPtr right_;
};

// Folds case and accents for ordering, keeping the byte width of its argument: keys
// join parts at fixed offsets (a text column, then a date), so a part that shrank
// ("é" to "E") is padded with blanks and one that grew ("ß" to "SS" in Windows-1252)
// loses whole characters at its end.
class UpperCase : public TextNode {
public:
    UpperCase(TextPtr text, TextCodec codec) : text_(std::move(text)), codec_(codec) {}
    void appendTo(QByteArray &key, const KeyRecordSource &record) const override
    {
        const qsizetype start = key.size();
        text_->appendTo(key, record);
        // ASCII is upper-cased in place; the codec folds the rest from the first byte
        // that is not ASCII.
        char *const data = key.data();
        for (qsizetype pos = start; pos < key.size(); ++pos) {
            const char byte = data[pos];
            if (static_cast<unsigned char>(byte) >= 0x80) {
                foldRest(key, start, pos);
                return;
            }
            if (byte >= 'a' && byte <= 'z')
                data[pos] = char(byte - 'a' + 'A');
        }
    }

private:
    void foldRest(QByteArray &key, qsizetype start, qsizetype from) const
    {
        const qsizetype width = key.size() - start;
        const QByteArray rest = codec_.foldBytesForOrder(QByteArrayView(key).sliced(from));
        key.truncate(from);
        key.append(rest);
        key.truncate(start + codec_.cutAtBoundary(QByteArrayView(key).sliced(start), int(width)).size());
        key.append(width - (key.size() - start), ' ');
    }

    TextPtr text_;
    TextCodec codec_;
};

class Substring : public TextNode {
public:
    Substring(TextPtr text, int start, int length, TextEncoding encoding)
        : text_(std::move(text)), start_(start), length_(length), encoding_(encoding)
    {
    }
    void appendTo(QByteArray &key, const KeyRecordSource &record) const override
    {
        const qsizetype textStart = key.size();
        text_->appendTo(key, record);
        const QByteArrayView text = QByteArrayView(key).sliced(textStart);
        const qsizetype first = skipCharacters(text, 0, start_ - 1, encoding_);
        const qsizetype last = skipCharacters(text, first, length_, encoding_);
        key.truncate(textStart + last);
        key.remove(textStart, first);
    }

private:
    TextPtr text_;
    int start_; // 1-based, in characters
    int length_;
    TextEncoding encoding_;
};

class MemoLine : public TextNode {
public:
    MemoLine(int column, int line) : column_(column), line_(line) {}
    void appendTo(QByteArray &key, const KeyRecordSource &record) const override
    {
        key.append(memoLine(record.memoBytes(column_), line_));
    }

private:
    int column_;
    int line_; // 1-based
};

class NumberAsText : public TextNode {
public:
    NumberAsText(NumberPtr number, int width, int decimals)
        : number_(std::move(number)), width_(width), decimals_(decimals)
    {
    }
    void appendTo(QByteArray &key, const KeyRecordSource &record) const override
    {
        key.append(number_->valueOf(record).toFixed(width_, decimals_));
    }

private:
    NumberPtr number_;
    int width_;
    int decimals_;
};

class DateAsText : public TextNode {
public:
    explicit DateAsText(DatePtr date) : date_(std::move(date)) {}
    void appendTo(QByteArray &key, const KeyRecordSource &record) const override
    {
        const Day day = date_->dayOf(record);
        if (!day) {
            key.append(8, ' ');
            return;
        }
        int year = 0, month = 0, dayOfMonth = 0;
        QDate::fromJulianDay(*day).getDate(&year, &month, &dayOfMonth);
        appendDigits(key, year, 4);
        appendDigits(key, month, 2);
        appendDigits(key, dayOfMonth, 2);
    }

private:
    DatePtr date_;
};

// -- Number nodes

class ColumnNumber : public NumberNode {
public:
    explicit ColumnNumber(int column) : column_(column) {}
    Decimal valueOf(const KeyRecordSource &record) const override
    {
        return Decimal::parse(record.rawField(column_)).value_or(Decimal()); // blank or garbage: 0
    }

private:
    int column_;
};

class ConstantNumber : public NumberNode {
public:
    explicit ConstantNumber(Decimal value) : value_(value) {}
    Decimal valueOf(const KeyRecordSource &) const override { return value_; }

private:
    Decimal value_;
};

class NumberSum : public NumberNode {
public:
    NumberSum(NumberPtr left, NumberPtr right, bool subtract)
        : left_(std::move(left)), right_(std::move(right)), subtract_(subtract)
    {
    }
    Decimal valueOf(const KeyRecordSource &record) const override
    {
        const Decimal left = left_->valueOf(record);
        const Decimal right = right_->valueOf(record);
        return subtract_ ? left - right : left + right;
    }

private:
    NumberPtr left_;
    NumberPtr right_;
    bool subtract_;
};

class DaysBetween : public NumberNode {
public:
    DaysBetween(DatePtr later, DatePtr earlier)
        : later_(std::move(later)), earlier_(std::move(earlier))
    {
    }
    Decimal valueOf(const KeyRecordSource &record) const override
    {
        // A blank date counts as day 0, so {literal}-column puts it after every real date
        // in a descending date key.
        return Decimal::fromInteger(later_->dayOf(record).value_or(0)
                                    - earlier_->dayOf(record).value_or(0));
    }

private:
    DatePtr later_;
    DatePtr earlier_;
};

// -- Date nodes

class ColumnDate : public DateNode {
public:
    explicit ColumnDate(int column) : column_(column) {}
    Day dayOf(const KeyRecordSource &record) const override
    {
        const QByteArrayView raw = record.rawField(column_);
        if (raw.size() != 8
            || !std::all_of(raw.begin(), raw.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        const auto number = [raw](int from, int count) {
            int value = 0;
            for (int i = from; i < from + count; ++i)
                value = value * 10 + (raw[i] - '0');
            return value;
        };
        const QDate date(number(0, 4), number(4, 2), number(6, 2));
        return date.isValid() ? Day(date.toJulianDay()) : std::nullopt;
    }

private:
    int column_;
};

class ConstantDate : public DateNode {
public:
    explicit ConstantDate(qint64 julianDay) : day_(julianDay) {}
    Day dayOf(const KeyRecordSource &) const override { return day_; }

private:
    qint64 day_;
};

class DateShift : public DateNode {
public:
    DateShift(DatePtr date, NumberPtr days, bool subtract)
        : date_(std::move(date)), days_(std::move(days)), subtract_(subtract)
    {
    }
    Day dayOf(const KeyRecordSource &record) const override
    {
        const Day day = date_->dayOf(record);
        if (!day)
            return std::nullopt; // a blank date stays blank
        const long long days = days_->valueOf(record).toInteger();
        qint64 shifted = 0;
        const bool overflow = subtract_ ? __builtin_sub_overflow(*day, days, &shifted)
                                        : __builtin_add_overflow(*day, days, &shifted);
        return overflow ? std::nullopt : dayIfWritable(shifted);
    }

private:
    DatePtr date_;
    NumberPtr days_;
    bool subtract_;
};

// ---- Tokens ---------------------------------------------------------------------

enum class TokenKind {
    Identifier,
    Number,
    String,
    Date,
    OpenParen,
    CloseParen,
    Comma,
    Plus,
    Minus,
    End
};

struct Token {
    TokenKind kind = TokenKind::End;
    QString text;     // identifier, number or the contents of a string or date literal
    int position = 0; // 1-based character position, for messages
};

// ---- Compiler -------------------------------------------------------------------

using Operand = std::variant<TextPtr, NumberPtr, DatePtr>;

QString typeName(const Operand &operand)
{
    static const char *const names[] = {"text", "a number", "a date"};
    return QString::fromLatin1(names[operand.index()]);
}

bool isAsciiLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

class Compiler {
public:
    Compiler(const QString &text, const FieldList &fields, TextCodec codec)
        : text_(text), fields_(fields), codec_(codec)
    {
    }

    TextPtr compile()
    {
        if (text_.size() > KeyExpression::MaxTextLength)
            fail(QStringLiteral("it is longer than %1 characters")
                     .arg(KeyExpression::MaxTextLength));
        tokenize();
        if (peek().kind == TokenKind::End)
            fail(QStringLiteral("it is empty"));
        Operand key = parseExpression();
        if (peek().kind != TokenKind::End)
            failAt(peek().position, QStringLiteral("unexpected \"%1\"").arg(peek().text));
        if (!std::holds_alternative<TextPtr>(key))
            fail(QStringLiteral("a key must be text, not %1; convert it with STR() or DTOS()")
                     .arg(typeName(key)));
        return std::get<TextPtr>(std::move(key));
    }

    bool readsMemo() const { return readsMemo_; }

private:
    [[noreturn]] void fail(const QString &problem) const
    {
        throw DatabaseError(QStringLiteral("Index expression \"%1\": %2.").arg(text_, problem));
    }

    [[noreturn]] void failAt(int position, const QString &problem) const
    {
        throw DatabaseError(QStringLiteral("Index expression \"%1\", character %2: %3.")
                                .arg(text_, QString::number(position), problem));
    }

    // -- Tokens

    void tokenize()
    {
        for (int pos = 0; pos < text_.size();) {
            if (text_[pos] == u' ' || text_[pos] == u'\t')
                ++pos;
            else
                tokens_.push_back(readToken(pos));
        }
        tokens_.push_back({TokenKind::End, QStringLiteral("end"), int(text_.size()) + 1});
    }

    // Reads the token that starts at `pos` and moves `pos` past it.
    Token readToken(int &pos) const
    {
        const int start = pos;
        const QChar c = text_[pos];
        if (c == u'"' || c == u'\'')
            return readLiteral(pos, c, TokenKind::String);
        if (c == u'{')
            return readLiteral(pos, u'}', TokenKind::Date);
        TokenKind kind = TokenKind::End;
        if (isAsciiLetter(c) || c == u'_') {
            kind = TokenKind::Identifier;
            pos =
                scan(pos, [](QChar d) { return isAsciiLetter(d) || isAsciiDigit(d) || d == u'_'; });
        } else if (isAsciiDigit(c) || c == u'.') {
            kind = TokenKind::Number;
            pos = scan(pos, [](QChar d) { return isAsciiDigit(d) || d == u'.'; });
        } else {
            kind = punctuation(c, start + 1);
            ++pos;
        }
        return {kind, text_.mid(start, pos - start), start + 1};
    }

    template <class Predicate> int scan(int pos, Predicate belongs) const
    {
        while (pos < text_.size() && belongs(text_[pos]))
            ++pos;
        return pos;
    }

    // A literal from its opening character at `pos` up to `close`; its text is what lies
    // between them.
    Token readLiteral(int &pos, QChar close, TokenKind kind) const
    {
        const int open = pos;
        const int end = text_.indexOf(close, open + 1);
        if (end < 0)
            failAt(open + 1, QStringLiteral("this literal is not closed with %1").arg(close));
        pos = end + 1;
        return {kind, text_.mid(open + 1, end - open - 1), open + 1};
    }

    TokenKind punctuation(QChar c, int position) const
    {
        switch (c.unicode()) {
        case u'(':
            return TokenKind::OpenParen;
        case u')':
            return TokenKind::CloseParen;
        case u',':
            return TokenKind::Comma;
        case u'+':
            return TokenKind::Plus;
        case u'-':
            return TokenKind::Minus;
        default:
            failAt(position, QStringLiteral("unexpected character \"%1\"").arg(c));
        }
    }

    const Token &peek() const { return tokens_[next_]; }
    const Token &take()
    {
        const Token &token = tokens_[next_];
        if (token.kind != TokenKind::End)
            ++next_;
        return token;
    }

    bool takeIf(TokenKind kind)
    {
        if (peek().kind != kind)
            return false;
        take();
        return true;
    }

    // -- Grammar

    Operand parseExpression()
    {
        Operand left = parseTerm();
        while (peek().kind == TokenKind::Plus || peek().kind == TokenKind::Minus) {
            const Token op = take();
            left = combine(std::move(left), op, parseTerm());
        }
        return left;
    }

    Operand parseTerm()
    {
        const Token token = take();
        switch (token.kind) {
        case TokenKind::Identifier:
            return peek().kind == TokenKind::OpenParen ? parseFunction(token) : column(token);
        case TokenKind::Number:
            return std::make_unique<ConstantNumber>(numberLiteral(token));
        case TokenKind::String:
            return std::make_unique<ConstantText>(codec_.encode(token.text));
        case TokenKind::Date:
            return std::make_unique<ConstantDate>(dateLiteral(token));
        case TokenKind::OpenParen: {
            Operand inner = parseExpression();
            if (!takeIf(TokenKind::CloseParen))
                failAt(peek().position, QStringLiteral("\")\" expected"));
            return inner;
        }
        default:
            failAt(token.position,
                   QStringLiteral("a column, function or literal expected, not \"%1\"")
                       .arg(token.text));
        }
    }

    Operand combine(Operand left, const Token &op, Operand right)
    {
        const bool subtract = op.kind == TokenKind::Minus;
        if (auto *text = std::get_if<TextPtr>(&left); text && !subtract) {
            if (auto *more = std::get_if<TextPtr>(&right))
                return std::make_unique<Concatenation>(std::move(*text), std::move(*more));
        }
        if (auto *number = std::get_if<NumberPtr>(&left)) {
            if (auto *other = std::get_if<NumberPtr>(&right))
                return std::make_unique<NumberSum>(std::move(*number), std::move(*other), subtract);
        }
        if (auto *date = std::get_if<DatePtr>(&left)) {
            if (auto *days = std::get_if<NumberPtr>(&right))
                return std::make_unique<DateShift>(std::move(*date), std::move(*days), subtract);
            if (auto *other = std::get_if<DatePtr>(&right); other && subtract)
                return std::make_unique<DaysBetween>(std::move(*date), std::move(*other));
        }
        failAt(op.position, QStringLiteral("cannot compute %1 %2 %3")
                                .arg(typeName(left), op.text, typeName(right)));
    }

    Operand column(const Token &name)
    {
        const int index = columnIndex(name.text);
        if (index < 0)
            failAt(name.position, QStringLiteral("there is no column %1").arg(name.text));
        switch (fields_[index].type) {
        case FieldType::Character:
        case FieldType::Logical:
            return std::make_unique<ColumnText>(index);
        case FieldType::Numeric:
            return std::make_unique<ColumnNumber>(index);
        case FieldType::Date:
            return std::make_unique<ColumnDate>(index);
        case FieldType::Memo:
            readsMemo_ = true;
            return std::make_unique<MemoText>(index);
        case FieldType::Binary:
            break;
        }
        failAt(name.position,
               QStringLiteral("column %1 holds binary data and cannot be part of a key")
                   .arg(fields_[index].name));
    }

    int columnIndex(const QString &name) const // -1 when absent
    {
        const auto found =
            std::find_if(fields_.begin(), fields_.end(), [&](const FieldDescriptor &field) {
                return field.name.compare(name, Qt::CaseInsensitive) == 0;
            });
        return found == fields_.end() ? -1 : int(found - fields_.begin());
    }

    Decimal numberLiteral(const Token &token) const
    {
        const std::optional<Decimal> value = Decimal::parse(token.text.toLatin1());
        if (!value)
            failAt(token.position, QStringLiteral("\"%1\" is not a valid number").arg(token.text));
        return *value;
    }

    qint64 dateLiteral(const Token &token) const
    {
        const QStringList parts = token.text.split(u'/');
        const auto digitsOnly = [](const QString &part, int minLength, int maxLength) {
            return part.size() >= minLength && part.size() <= maxLength
                   && std::all_of(part.begin(), part.end(), isAsciiDigit);
        };
        QDate date;
        if (parts.size() == 3) {
            const QString month = parts[0].trimmed(), day = parts[1].trimmed(),
                          year = parts[2].trimmed();
            if (digitsOnly(month, 1, 2) && digitsOnly(day, 1, 2) && digitsOnly(year, 4, 4))
                date = QDate(year.toInt(), month.toInt(), day.toInt());
        }
        if (!date.isValid())
            failAt(token.position,
                   QStringLiteral("{%1} is not a valid date; write {mm/dd/yyyy}").arg(token.text));
        return date.toJulianDay();
    }

    // -- Functions

    struct Function {
        const char *name;
        const char *usage; // shown when the arguments are wrong
        Operand (Compiler::*parse)(const Function &);
    };

    Operand parseFunction(const Token &name)
    {
        static const Function functions[] = {
            {"UPPER", "UPPER(text)", &Compiler::parseUpper},
            {"SUBSTR", "SUBSTR(text, start, length)", &Compiler::parseSubstr},
            {"MLINE", "MLINE(memo column, line)", &Compiler::parseMline},
            {"STR", "STR(number, width[, decimals])", &Compiler::parseStr},
            {"DTOS", "DTOS(date)", &Compiler::parseDtos},
        };
        for (const Function &function : functions) {
            if (name.text.compare(QLatin1String(function.name), Qt::CaseInsensitive) == 0) {
                take(); // "("
                return (this->*function.parse)(function);
            }
        }
        failAt(name.position, QStringLiteral("there is no function %1").arg(name.text));
    }

    [[noreturn]] void failArguments(const Function &function, const QString &problem) const
    {
        failAt(peek().position,
               QStringLiteral("%1; write %2").arg(problem, QLatin1String(function.usage)));
    }

    void nextArgument(const Function &function)
    {
        if (!takeIf(TokenKind::Comma))
            failArguments(function, QStringLiteral("too few arguments for %1").arg(function.name));
    }

    void closeArguments(const Function &function)
    {
        if (peek().kind == TokenKind::Comma)
            failArguments(function, QStringLiteral("too many arguments for %1").arg(function.name));
        if (!takeIf(TokenKind::CloseParen))
            failArguments(function, QStringLiteral("\")\" expected"));
    }

    template <class NodePtr> NodePtr typedArgument(const Function &function, const char *expected)
    {
        Operand argument = parseExpression();
        if (auto *node = std::get_if<NodePtr>(&argument))
            return std::move(*node);
        failArguments(
            function,
            QStringLiteral("%1 needs %2, not %3").arg(function.name, expected, typeName(argument)));
    }

    int integerArgument(const Function &function, const char *what, int min, int max)
    {
        const Token token = take();
        bool ok = token.kind == TokenKind::Number;
        const int value = ok ? token.text.toInt(&ok) : 0;
        if (!ok || value < min || value > max)
            failArguments(function,
                          QStringLiteral("the %1 of %2 must be a whole number from %3 to %4")
                              .arg(what, function.name)
                              .arg(min)
                              .arg(max));
        return value;
    }

    static constexpr int MaxPosition = 65535; // character and line numbers

    Operand parseUpper(const Function &function)
    {
        TextPtr text = typedArgument<TextPtr>(function, "text");
        closeArguments(function);
        return std::make_unique<UpperCase>(std::move(text), codec_);
    }

    Operand parseSubstr(const Function &function)
    {
        TextPtr text = typedArgument<TextPtr>(function, "text");
        nextArgument(function);
        const int start = integerArgument(function, "start", 1, MaxPosition);
        nextArgument(function);
        const int length = integerArgument(function, "length", 1, MaxPosition);
        closeArguments(function);
        return std::make_unique<Substring>(std::move(text), start, length, codec_.encoding());
    }

    Operand parseMline(const Function &function)
    {
        const Token name = take();
        const int column = name.kind == TokenKind::Identifier ? columnIndex(name.text) : -1;
        if (column < 0 || fields_[column].type != FieldType::Memo)
            failArguments(function, QStringLiteral("\"%1\" is not a memo column").arg(name.text));
        nextArgument(function);
        const int line = integerArgument(function, "line", 1, MaxPosition);
        closeArguments(function);
        readsMemo_ = true;
        return std::make_unique<MemoLine>(column, line);
    }

    Operand parseStr(const Function &function)
    {
        NumberPtr number = typedArgument<NumberPtr>(function, "a number");
        nextArgument(function);
        const int width = integerArgument(function, "width", 1, KeyExpression::MaxTextLength);
        const int decimals =
            takeIf(TokenKind::Comma) ? integerArgument(function, "decimals", 0, Decimal::Scale) : 0;
        closeArguments(function);
        return std::make_unique<NumberAsText>(std::move(number), width, decimals);
    }

    Operand parseDtos(const Function &function)
    {
        DatePtr date = typedArgument<DatePtr>(function, "a date");
        closeArguments(function);
        return std::make_unique<DateAsText>(std::move(date));
    }

    const QString &text_;
    const FieldList &fields_;
    TextCodec codec_;
    std::vector<Token> tokens_;
    size_t next_ = 0;
    bool readsMemo_ = false;
};

} // namespace

struct KeyExpression::Impl {
    QString text;
    TextCodec codec;
    TextPtr root;
    bool readsMemo = false;
};

KeyExpression KeyExpression::compile(const QString &text, const FieldList &fields,
                                     TextEncoding encoding)
{
    Compiler compiler(text, fields, TextCodec(encoding));
    TextPtr root = compiler.compile();
    return KeyExpression(std::make_unique<Impl>(
        Impl{text, TextCodec(encoding), std::move(root), compiler.readsMemo()}));
}

KeyExpression::KeyExpression(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
KeyExpression::KeyExpression(KeyExpression &&) noexcept = default;
KeyExpression &KeyExpression::operator=(KeyExpression &&) noexcept = default;
KeyExpression::~KeyExpression() = default;

const QString &KeyExpression::text() const { return impl_->text; }

bool KeyExpression::readsMemo() const { return impl_->readsMemo; }

QByteArray KeyExpression::evaluate(const KeyRecordSource &record) const
{
    QByteArray key;
    key.reserve(MaxTextLength);
    impl_->root->appendTo(key, record);
    key.truncate(impl_->codec.cutAtBoundary(key, MaxTextLength).size());
    return key;
}

} // namespace numora::store
