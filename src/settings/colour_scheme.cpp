#include "settings/colour_scheme.h"

#include "core/log_categories.h"
#include "core/value_stream.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace numora::settings {

namespace {

// 0x00BBGGRR, in palette order.
constexpr std::array<quint32, kPaletteSize> kPalette = {
    0xFFFFFF, // white
    0xC0C0C0, // silver
    0xFFFF00, // aqua
    0x00FFFF, // yellow
    0x00FF00, // lime
    0x0000FF, // red
    0xFF0000, // blue
    0xFF00FF, // fuchsia
    0x000080, // maroon
    0x008080, // olive
    0x008000, // green
    0x808000, // teal
    0x800000, // navy
    0x800080, // purple
    0x808080, // gray
    0x000000, // black
};

struct ElementEntry {
    const char *caption;
    quint8 defaultIndex;
};

constexpr std::array<ElementEntry, kSchemeElementCount> kElements = {{
    {"TofC - Record Button Text", 6},
    {"TofC - Record Button Background", 1},
    {"TofC - Selected Record Button Text", 0},
    {"TofC - Selected Record Button Background", 14},
    {"TofC - Not Empty Letter Tab Text", 6},
    {"TofC - Not Empty Letter Tab Background", 1},
    {"TofC - Empty Letter Tab Text", 14},
    {"TofC - Empty Letter Tab Background", 1},
    {"TofC - Selected Letter Tab Text", 0},
    {"TofC - Selected Letter Tab Background", 14},
    {"TofC - Labels Text", 6},
    {"TofC - Labels Background", 1},
    {"TofC - Pages", 1},
    {"TofC - Speed Bar", 1},
    {"TofC - Window Background", 1},
    {"DW   - Text Fields Text", 15},
    {"DW   - Text Fields Background", 0},
    {"DW   - Multi-line Fields Text", 15},
    {"DW   - Multi-line Fields Background", 0},
    {"DW   - Labels Text", 12},
    {"DW   - Labels Background", 1},
    {"DW   - Currency Text (>0)", 6},
    {"DW   - Currency Text (<0)", 5},
    {"DW   - Currency Background", 0},
    {"DW   - Pages", 1},
    {"DW   - Speed Bar", 1},
    {"DW   - Window Background", 1},
}};

bool isPaletteIndex(int index)
{
    return index >= 0 && index < kPaletteSize;
}

void requireValidScheme(const SchemeIndexes &indexes)
{
    if (!isValidScheme(indexes))
        throw std::out_of_range("A colour scheme index lies outside the palette.");
}

SchemeIndexes schemeFromBytes(const QByteArray &bytes)
{
    SchemeIndexes indexes{};
    std::copy_n(bytes.begin(), kSchemeElementCount, indexes.begin());
    return indexes;
}

QByteArray bytesOfScheme(const SchemeIndexes &indexes)
{
    return QByteArray(reinterpret_cast<const char *>(indexes.data()), kSchemeElementCount);
}

ColourTemplate readTemplate(ValueReader &reader)
{
    ColourTemplate item;
    item.name = reader.readShortText();
    item.indexes = schemeFromBytes(reader.readRaw(kSchemeElementCount));
    if (!isValidScheme(item.indexes))
        throw StreamError(QStringLiteral("A colour template holds a colour outside the palette."));
    return item;
}

} // namespace

QString elementCaption(SchemeElement element)
{
    return QString::fromLatin1(kElements.at(size_t(element)).caption);
}

QColor Colour::toQColor(const QPalette &palette) const
{
    if (!isSystem())
        return qColorFromBgr(value_);
    switch (SystemColour(value_ & ~kSystemFlag)) {
    case SystemColour::Window:
        return palette.color(QPalette::Active, QPalette::Base);
    case SystemColour::GrayText:
        return palette.color(QPalette::Disabled, QPalette::Text);
    }
    return palette.color(QPalette::Active, QPalette::Base);
}

QColor qColorFromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

Colour paletteColour(int index)
{
    return Colour::fromBgr(kPalette.at(size_t(index)));
}

bool isValidScheme(const SchemeIndexes &indexes)
{
    return std::all_of(indexes.begin(), indexes.end(), isPaletteIndex);
}

// ColourScheme

ColourScheme::ColourScheme() : indexes_(defaultIndexes()) {}

const SchemeIndexes &ColourScheme::defaultIndexes()
{
    static const SchemeIndexes defaults = [] {
        SchemeIndexes indexes{};
        std::transform(kElements.begin(), kElements.end(), indexes.begin(),
                       [](const ElementEntry &entry) { return entry.defaultIndex; });
        return indexes;
    }();
    return defaults;
}

void ColourScheme::setIndex(SchemeElement element, int paletteIndex)
{
    if (!isPaletteIndex(paletteIndex))
        throw std::out_of_range("A colour index lies outside the palette.");
    indexes_.at(size_t(element)) = quint8(paletteIndex);
}

void ColourScheme::setIndexes(const SchemeIndexes &indexes)
{
    requireValidScheme(indexes);
    indexes_ = indexes;
}

bool ColourScheme::load(const QString &path)
{
    const std::optional<QByteArray> bytes = readSettingsFile(path);
    if (!bytes || bytes->size() < kSchemeElementCount)
        return false;
    const SchemeIndexes indexes = schemeFromBytes(*bytes);
    if (!isValidScheme(indexes))
        return false;
    indexes_ = indexes;
    return true;
}

bool ColourScheme::save(const QString &path) const
{
    return writeSettingsFile(path, bytesOfScheme(indexes_));
}

// Applying the scheme

ColourPair letterTabColours(const ColourScheme &scheme, LetterTabState state)
{
    switch (state) {
    case LetterTabState::Selected:
        return {scheme.colour(SchemeElement::SelectedLetterTabText),
                scheme.colour(SchemeElement::SelectedLetterTabBackground)};
    case LetterTabState::HasRecords:
        return {scheme.colour(SchemeElement::LetterTabText),
                scheme.colour(SchemeElement::LetterTabBackground)};
    case LetterTabState::Empty:
        break;
    }
    return {scheme.colour(SchemeElement::EmptyLetterTabText),
            scheme.colour(SchemeElement::EmptyLetterTabBackground)};
}

namespace {

double linearChannel(double channel)
{
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double relativeLuminance(const QColor &colour)
{
    return 0.2126 * linearChannel(colour.redF()) + 0.7152 * linearChannel(colour.greenF())
           + 0.0722 * linearChannel(colour.blueF());
}

constexpr double kReadableContrast = 4.5;

} // namespace

double contrastRatio(const QColor &first, const QColor &second)
{
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor readableTextOn(const QColor &text, const QColor &face)
{
    if (contrastRatio(text, face) >= kReadableContrast)
        return text;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(black, face) >= contrastRatio(white, face) ? black : white;
}

ColourPair fieldColours(const ColourScheme &scheme, FieldStyle style, bool negative, bool editable)
{
    if (!editable)
        return {Colour::system(SystemColour::GrayText), Colour::system(SystemColour::Window)};
    switch (style) {
    case FieldStyle::OneLine:
        return {scheme.colour(SchemeElement::TextFieldText),
                scheme.colour(SchemeElement::TextFieldBackground)};
    case FieldStyle::MultiLine:
        return {scheme.colour(SchemeElement::MultiLineFieldText),
                scheme.colour(SchemeElement::MultiLineFieldBackground)};
    case FieldStyle::Currency:
        break;
    }
    // The currency background element is edited but not applied: currency fields
    // are one-line fields and share their background.
    return {scheme.colour(negative ? SchemeElement::NegativeCurrencyText
                                   : SchemeElement::PositiveCurrencyText),
            scheme.colour(SchemeElement::TextFieldBackground)};
}

// ColourTemplateList

void ColourTemplateList::load(const QString &path)
{
    items_.clear();
    const bool whole = readListFile(path, [this](ValueReader &r) { items_.push_back(readTemplate(r)); });
    if (!whole && QFileInfo::exists(path)) // a missing list is no damage: there are no templates yet
        qCInfo(lcSettings) << "damage ends the templates of" << path << "after" << items_.size();
}

bool ColourTemplateList::save(const QString &path) const
{
    return writeListFile(path, [this](ValueWriter &writer) {
        for (const ColourTemplate &item : items_) {
            writer.writeShortText(item.name);
            writer.writeRaw(bytesOfScheme(item.indexes));
        }
    });
}

bool ColourTemplateList::add(const QString &name, const SchemeIndexes &indexes)
{
    requireValidScheme(indexes);
    const QString storedName = QString::fromUtf8(shortTextBytes(name));
    if (find(storedName) >= 0)
        return false;
    items_.push_back(ColourTemplate{storedName, indexes});
    return true;
}

int ColourTemplateList::find(const QString &name) const
{
    const auto found = std::find_if(items_.begin(), items_.end(),
                                    [&name](const ColourTemplate &item) { return item.name == name; });
    return found == items_.end() ? -1 : int(found - items_.begin());
}

void ColourTemplateList::remove(int index)
{
    if (index < 0 || index >= count())
        return;
    items_.erase(items_.begin() + index);
}

} // namespace numora::settings
