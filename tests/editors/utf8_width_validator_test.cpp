// A text control's limit counts the UTF-8 bytes its column holds, not UTF-16 units.

#include "editors/utf8_width_validator.h"

#include <gtest/gtest.h>

using numora::editors::Utf8WidthValidator;

namespace {

TEST(Utf8WidthValidator, TakesTheTextsThatFitTheColumnsBytes)
{
    const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E"); // 4 bytes, 2 UTF-16 units
    const struct {
        QString text;
        QValidator::State state;
    } cases[] = {
        {QString(10, u'a'), QValidator::Acceptable},
        {QString(11, u'a'), QValidator::Invalid},
        {QString(8, u'a') + u'é', QValidator::Acceptable},       // 8 + 2
        {QString(9, u'a') + u'é', QValidator::Invalid},          // 9 + 2
        {QString(7, u'a') + u'€', QValidator::Acceptable},       // 7 + 3
        {QString(8, u'a') + u'€', QValidator::Invalid},          // 8 + 3
        {QString(6, u'a') + clef, QValidator::Acceptable},       // 6 + 4
        {QString(7, u'a') + clef, QValidator::Invalid},          // 7 + 4: 9 UTF-16 units
        {QString(5, u'é'), QValidator::Acceptable},
        {QString(), QValidator::Acceptable},
    };
    const Utf8WidthValidator validator(10);
    for (const auto &c : cases) {
        QString text = c.text;
        int pos = int(text.size());
        EXPECT_EQ(validator.validate(text, pos), c.state) << c.text.toStdString();
    }
}

} // namespace
