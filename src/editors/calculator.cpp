#include "editors/calculator.h"

#include <cmath>

namespace numora::editors {

namespace {

bool isOperator(QChar key)
{
    return key == u'=' || key == u'+' || key == u'-' || key == u'*' || key == u'/' ||
           key == u'%' || key == u'\r';
}

// A result longer than this cannot be shown.
constexpr int kLongestResult = 26;

} // namespace

void Calculator::press(QChar key)
{
    key = key.toUpper();
    if (key == u'C') {
        clear();
        return;
    }
    if (mode_ == Mode::Error)
        return;
    if (key >= u'0' && key <= u'9')
        typeDigit(key);
    else if (key == u'.')
        typePoint();
    else if (key == u'\b')
        backspace();
    else if (key == u'_')
        negative_ = !negative_;
    else if (isOperator(key))
        applyOperator(key);
}

QString Calculator::text() const { return negative_ ? u'-' + display_ : display_; }

QString Calculator::fieldText(QChar decimal) const
{
    QString text = this->text();
    return text.replace(u'.', decimal);
}

void Calculator::clear()
{
    display_ = QStringLiteral("0");
    negative_ = false;
    pending_ = u'=';
    mode_ = Mode::Ready;
}

void Calculator::startNumber()
{
    if (mode_ != Mode::Ready)
        return;
    display_ = QStringLiteral("0");
    negative_ = false;
    mode_ = Mode::Entering;
}

void Calculator::typeDigit(QChar digit)
{
    startNumber();
    if (display_ == u"0")
        display_ = digit;
    else if (display_.size() < kCalculatorMaxDigits)
        display_ += digit;
}

void Calculator::typePoint()
{
    startNumber();
    if (!display_.contains(u'.'))
        display_ += u'.';
}

void Calculator::backspace()
{
    startNumber();
    if (display_.size() <= 1)
        display_ = QStringLiteral("0");
    else
        display_.chop(1);
}

double Calculator::entered() const { return text().toDouble(); }

void Calculator::applyOperator(QChar key)
{
    if (mode_ == Mode::Entering) {
        mode_ = Mode::Ready;
        double x = entered();
        if (key == u'%' && (pending_ == u'*' || pending_ == u'/'))
            x = x / 100;
        else if (key == u'%' && (pending_ == u'+' || pending_ == u'-'))
            x = stored_ * x / 100;

        if (pending_ == u'*')
            x = stored_ * x;
        else if (pending_ == u'+')
            x = stored_ + x;
        else if (pending_ == u'-')
            x = stored_ - x;
        else if (pending_ == u'/' && x == 0)
            return fail();
        else if (pending_ == u'/')
            x = stored_ / x;
        show(x);
        if (mode_ == Mode::Error)
            return;
    }
    pending_ = key;
    stored_ = entered();
}

void Calculator::show(double result)
{
    if (!std::isfinite(result))
        return fail();
    QString text = QString::number(result, 'f', 10);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    negative_ = text.startsWith(u'-');
    if (negative_)
        text.remove(0, 1);
    // A tiny negative result rounds to "-0", which is no negative number.
    negative_ = negative_ && text != u"0";
    if (text.size() > kLongestResult)
        return fail();
    display_ = text;
}

void Calculator::fail()
{
    display_ = QString::fromLatin1(kCalculatorError);
    negative_ = false;
    mode_ = Mode::Error;
}

} // namespace numora::editors
