#include "mainwin/field_fonts.h"

namespace numora::mainwin {

namespace {

struct StyleFlag {
    quint8 flag;
    bool (QFont::*get)() const;
    void (QFont::*set)(bool);
};

constexpr StyleFlag kStyleFlags[] = {
    {settings::font_style::Bold, &QFont::bold, &QFont::setBold},
    {settings::font_style::Italic, &QFont::italic, &QFont::setItalic},
    {settings::font_style::Underline, &QFont::underline, &QFont::setUnderline},
    {settings::font_style::StrikeOut, &QFont::strikeOut, &QFont::setStrikeOut},
};

} // namespace

QFont toQFont(const settings::FontSetting &setting)
{
    QFont font(setting.name);
    if (setting.pointSize > 0)
        font.setPointSize(setting.pointSize);
    for (const StyleFlag &style : kStyleFlags)
        (font.*style.set)((setting.style & style.flag) != 0);
    return font;
}

settings::FontSetting toFontSetting(const QFont &font)
{
    settings::FontSetting setting;
    setting.name = font.family();
    setting.pointSize = font.pointSize();
    setting.style = 0;
    for (const StyleFlag &style : kStyleFlags)
        if ((font.*style.get)())
            setting.style |= style.flag;
    return setting;
}

} // namespace numora::mainwin
