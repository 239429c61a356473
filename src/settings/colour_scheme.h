#pragma once
// The colour scheme of the main window: each of 27 screen elements (the record
// list side and the record form side) holds an index into a fixed palette of 16
// colours. The scheme lives per database folder in color.lst; named copies of
// it, the colour templates, live in color_t.tml. Also the rules that pick an
// element's colours for a control, so the windows only paint what they are
// given.
//
// Colours are kept as the settings files write them: 0x00BBGGRR, or one of the
// window system's own colours, which a control resolves through its palette
// when it paints.

#include <QColor>
#include <QPalette>
#include <QString>
#include <array>
#include <vector>

namespace numora::settings {

inline constexpr char kColourSchemeFile[] = "color.lst";
inline constexpr char kColourTemplatesFile[] = "color_t.tml";

constexpr int kPaletteSize = 16;
constexpr int kSchemeElementCount = 27;

// In the order of the scheme and of color.lst.
enum class SchemeElement : int {
    RecordButtonText,
    RecordButtonBackground,
    SelectedRecordButtonText,
    SelectedRecordButtonBackground,
    LetterTabText,
    LetterTabBackground,
    EmptyLetterTabText,
    EmptyLetterTabBackground,
    SelectedLetterTabText,
    SelectedLetterTabBackground,
    ListLabelsText,
    ListLabelsBackground,
    ListPages,
    ListSpeedBar,
    ListWindowBackground,
    TextFieldText,
    TextFieldBackground,
    MultiLineFieldText,
    MultiLineFieldBackground,
    FormLabelsText,
    FormLabelsBackground,
    PositiveCurrencyText,
    NegativeCurrencyText,
    CurrencyBackground,
    FormPages,
    FormSpeedBar,
    FormWindowBackground,
};

// The element's name as the Options window lists it.
QString elementCaption(SchemeElement element);

// The window system's own colours, numbered as the window system numbers them;
// each maps to a role of the control's palette.
enum class SystemColour : quint8 {
    Window = 5,    // background of edit controls
    GrayText = 17, // text of disabled controls
};

class Colour {
public:
    static constexpr Colour fromBgr(quint32 bgr) { return Colour(bgr & 0x00FFFFFF); }
    static constexpr Colour system(SystemColour colour)
    {
        return Colour(kSystemFlag | quint32(colour));
    }

    bool isSystem() const { return (value_ & kSystemFlag) != 0; }
    // 0x00BBGGRR; meaningless for a system colour.
    quint32 bgr() const { return value_; }
    // A system colour comes from `palette`, as the control shows it.
    QColor toQColor(const QPalette &palette) const;

    bool operator==(const Colour &) const = default;

private:
    static constexpr quint32 kSystemFlag = 0x80000000;
    constexpr explicit Colour(quint32 value) : value_(value) {}
    quint32 value_;
};

QColor qColorFromBgr(quint32 bgr);

// Palette entry `index` (0..15).
Colour paletteColour(int index);

using SchemeIndexes = std::array<quint8, kSchemeElementCount>;

class ColourScheme {
public:
    // Starts as the default scheme.
    ColourScheme();

    static const SchemeIndexes &defaultIndexes();

    int index(SchemeElement element) const { return indexes_[size_t(element)]; }
    // `paletteIndex` must be 0..15.
    void setIndex(SchemeElement element, int paletteIndex);
    const SchemeIndexes &indexes() const { return indexes_; }
    // Every index must be 0..15.
    void setIndexes(const SchemeIndexes &indexes);

    Colour colour(SchemeElement element) const { return paletteColour(index(element)); }

    // Reads color.lst: 27 index bytes. A missing or short file, or one with an
    // index outside the palette, keeps the current scheme and gives false; bytes
    // after the 27th are not looked at.
    [[nodiscard]] bool load(const QString &path);
    [[nodiscard]] bool save(const QString &path) const;

    bool operator==(const ColourScheme &) const = default;

private:
    SchemeIndexes indexes_;
};

// Whether every index is a palette index.
bool isValidScheme(const SchemeIndexes &indexes);

struct ColourPair {
    Colour text;
    Colour background;
    bool operator==(const ColourPair &) const = default;
};

enum class LetterTabState { Selected, HasRecords, Empty };
ColourPair letterTabColours(const ColourScheme &scheme, LetterTabState state);

// The contrast ratio of two colours by their relative luminance, from 1 (the same
// luminance) to 21 (black on white).
double contrastRatio(const QColor &first, const QColor &second);
// Text that has to be read on a filled face (the selected letter tab): `text` when it
// reaches 4.5:1 against `face`, otherwise black or white, whichever contrasts more.
QColor readableTextOn(const QColor &text, const QColor &face);

enum class FieldStyle { OneLine, MultiLine, Currency };
// Field controls; a currency field's text colour follows the sign of its value.
// While the record cannot be edited (read-only use, or in use elsewhere) every
// field shows the system's edit background and grey text instead of the scheme.
ColourPair fieldColours(const ColourScheme &scheme, FieldStyle style, bool negative, bool editable);

// A colour template ("TColorRec"): a name and a scheme.
struct ColourTemplate {
    QString name;
    SchemeIndexes indexes{};
    bool operator==(const ColourTemplate &) const = default;
};

// The colour templates of color_t.tml ("TColorList"), in file order. File: a list container;
// per template the name as short text and the 27 indexes as raw bytes.
class ColourTemplateList {
public:
    // Replaces the templates with those of the file. A missing file gives none;
    // damage ends the reading silently, keeping the templates before it.
    void load(const QString &path);
    [[nodiscard]] bool save(const QString &path) const;

    // Appends a template; false, with nothing changed, when one of exactly that
    // name (letter case included) exists. The name is kept as the file keeps it:
    // cut to 255 bytes, so a name compares the same before and after a save.
    [[nodiscard]] bool add(const QString &name, const SchemeIndexes &indexes);
    // Index of the first template called `name`, or -1.
    int find(const QString &name) const;
    // An index outside the list does nothing.
    void remove(int index);

    const ColourTemplate &item(int index) const { return items_.at(size_t(index)); }
    int count() const { return int(items_.size()); }

private:
    std::vector<ColourTemplate> items_;
};

} // namespace numora::settings
