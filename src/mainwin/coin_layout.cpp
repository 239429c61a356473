#include "mainwin/coin_layout.h"

namespace numora::mainwin {

namespace {

FieldLayout field(int number, int page, const char *label, QPoint labelAt, ControlKind kind, QRect box)
{
    FieldLayout layout;
    layout.number = number;
    layout.page = page;
    layout.label = QString::fromLatin1(label);
    layout.labelAt = labelAt;
    layout.kind = kind;
    layout.box = box;
    return layout;
}

FieldLayout lookup(int number, int page, const char *label, QPoint labelAt, QRect box, int list)
{
    FieldLayout layout = field(number, page, label, labelAt, ControlKind::Lookup, box);
    layout.listSource = QStringLiteral("list%1.dbf").arg(list);
    return layout;
}

FieldLayout currency(int number, int page, const char *label, QPoint labelAt, QRect box,
                     const char *format)
{
    FieldLayout layout = field(number, page, label, labelAt, ControlKind::Currency, box);
    layout.numberFormat = QString::fromLatin1(format);
    return layout;
}

FieldLayout picture(int number, int page, const char *label, QPoint labelAt, QRect box, bool toolBar)
{
    FieldLayout layout = field(number, page, label, labelAt, ControlKind::Picture, box);
    layout.pictureToolBar = toolBar;
    // The small picture sits beside the amounts; Tab passes it by. The large one has a
    // page of its own and is reached by Tab like any field.
    layout.takesTabFocus = toolBar;
    return layout;
}

constexpr const char *kAmount = ",0.00";
constexpr const char *kWeight = ",0.0000";

FormLayout buildCoinLayout()
{
    using K = ControlKind;
    FormLayout layout;
    layout.pageCaptions = {QStringLiteral("Part 1"), QStringLiteral("Part 2"), QStringLiteral("Part 3"),
                           QStringLiteral("Part 4")};
    layout.designPageSize = QSize(272, 326);
    layout.fields = {
        field(1, 0, "Coin Description:", {6, 6}, K::Text, {6, 20, 257, 24}),
        lookup(2, 0, "Country:", {6, 59}, {70, 54, 193, 24}, 1),
        field(3, 0, "Short Note:", {6, 93}, K::Text, {70, 88, 193, 24}),
        field(4, 0, "Catalog #:", {6, 115}, K::Text, {6, 129, 115, 24}),
        lookup(5, 0, "Condition:", {126, 115}, {126, 129, 137, 24}, 2),
        lookup(6, 0, "Coin Minted:", {6, 155}, {6, 169, 115, 24}, 3),
        field(7, 0, "Face Value:", {6, 195}, K::Text, {6, 209, 115, 24}),
        currency(8, 0, "Cost:", {6, 235}, {6, 249, 115, 24}, kAmount),
        currency(9, 0, "Market Value:", {6, 275}, {6, 289, 115, 24}, kAmount),
        picture(10, 0, "Small Picture:", {125, 156}, {126, 169, 137, 145}, false),
        field(11, 1, "Note/Variety:", {6, 15}, K::Text, {74, 10, 190, 24}),
        lookup(12, 1, "Category:", {6, 45}, {74, 40, 190, 24}, 4),
        lookup(13, 1, "Type:", {6, 75}, {74, 70, 190, 24}, 5),
        lookup(14, 1, "Mint:", {6, 105}, {74, 100, 190, 24}, 6),
        lookup(15, 1, "Metal Content:", {6, 135}, {74, 130, 190, 24}, 7),
        currency(16, 1, "Weight:", {6, 156}, {6, 170, 83, 21}, kWeight),
        currency(17, 1, "Silver:", {94, 156}, {94, 170, 82, 21}, kWeight),
        currency(18, 1, "Gold:", {180, 156}, {181, 170, 83, 21}, kWeight),
        currency(19, 1, "Custom 1:", {6, 196}, {6, 210, 126, 24}, kAmount),
        field(20, 1, "Custom 2:", {137, 196}, K::Date, {138, 210, 126, 24}),
        lookup(21, 1, "Custom 3:", {6, 236}, {6, 250, 126, 24}, 8),
        lookup(22, 1, "Custom 4:", {137, 236}, {138, 250, 126, 24}, 9),
        field(23, 1, "Custom 5:", {6, 276}, K::Text, {6, 290, 126, 24}),
        field(24, 1, "Attachment:", {137, 276}, K::Attachment, {138, 290, 126, 24}),
        field(25, 2, "Notes:", {8, 2}, K::Memo, {6, 16, 257, 302}),
        picture(26, 3, "Picture:", {8, 2}, {6, 16, 260, 305}, true),
    };
    return layout;
}

} // namespace

const FormLayout &coinLayout()
{
    static const FormLayout layout = buildCoinLayout();
    return layout;
}

QStringList coinFieldLabels()
{
    QStringList labels;
    for (const FieldLayout &field : coinLayout().fields)
        labels << field.label;
    return labels;
}

} // namespace numora::mainwin
