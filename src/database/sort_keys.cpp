#include "database/sort_keys.h"

#include <algorithm>

namespace numora::database {

namespace {

constexpr int PrimaryWidthLimit = 59;
constexpr int KeyWidthLimit = 99;

const QString kEighteenNines = QStringLiteral("999999999999999999");
const QString kLastDate = QStringLiteral("{12/31/3099}");

bool isTextLike(store::FieldType type) { return type == store::FieldType::Character || type == store::FieldType::Memo; }
bool hasKey(store::FieldType type) { return isTextLike(type) || type == store::FieldType::Numeric || type == store::FieldType::Date; }

QString descendingNumber(const QString &name) { return QStringLiteral("STR(%1-%2,20,4)").arg(kEighteenNines, name); }
QString descendingDate(const QString &name) { return QStringLiteral("STR(%1-%2,10,0)").arg(kLastDate, name); }

SortKey singleFieldKey(const store::FieldDescriptor &field, bool descending)
{
    const QString &name = field.name;
    switch (field.type) {
    case store::FieldType::Character:
        return {field.width < 100 ? QStringLiteral("UPPER(%1)").arg(name) : QStringLiteral("UPPER(SUBSTR(%1,1,99))").arg(name), descending};
    case store::FieldType::Memo:
        return {QStringLiteral("UPPER(MLINE(%1,1))").arg(name), descending};
    case store::FieldType::Numeric:
        return {descending ? descendingNumber(name) : QStringLiteral("STR(%1,20,4)").arg(name), false};
    default: // date
        return {descending ? descendingDate(name) : QStringLiteral("DTOS(%1)").arg(name), false};
    }
}

struct KeyPart {
    QString expression;
    int width = 0; // what the part reports, which limits the part after it
};

KeyPart keyPart(const store::FieldDescriptor &field, int limit, bool descending)
{
    const QString &name = field.name;
    switch (field.type) {
    case store::FieldType::Character:
        // Upper-cased like every other text key, so a record sorts under the same
        // letter tab as its initial says.
        if (field.width <= limit)
            return {QStringLiteral("UPPER(%1)").arg(name), field.width};
        return {QStringLiteral("UPPER(SUBSTR(%1,1,%2))").arg(name).arg(limit), limit};
    case store::FieldType::Memo:
        return {QStringLiteral("UPPER(SUBSTR(MLINE(%1,1),1,%2))").arg(name).arg(limit), limit};
    case store::FieldType::Numeric: {
        const int width = std::min(limit, 20);
        return {descending ? descendingNumber(name) : QStringLiteral("STR(%1,%2,4)").arg(name).arg(width), width};
    }
    default: // date
        return {descending ? descendingDate(name) : QStringLiteral("DTOS(%1)").arg(name), 0};
    }
}

// Text parts follow the tag option; a numeric or date part beside a text part is
// built inverted when that option reverses the whole key.
SortKey twoFieldKey(const store::FieldDescriptor &primary, bool primaryDescending, const store::FieldDescriptor &secondary, bool secondaryDescending)
{
    const bool primaryText = isTextLike(primary.type);
    const bool secondaryText = isTextLike(secondary.type);
    bool tagDescending = false;
    bool primaryPart = primaryDescending;
    bool secondaryPart = secondaryDescending;
    if (primaryText) {
        tagDescending = primaryDescending;
        primaryPart = false;
        secondaryPart = secondaryText ? false : secondaryDescending != primaryDescending;
    } else if (secondaryText) {
        tagDescending = secondaryDescending;
        primaryPart = primaryDescending != secondaryDescending;
        secondaryPart = false;
    }
    const KeyPart first = keyPart(primary, PrimaryWidthLimit, primaryPart);
    const KeyPart second = keyPart(secondary, KeyWidthLimit - first.width, secondaryPart);
    return {first.expression + QLatin1Char('+') + second.expression, tagDescending};
}

} // namespace

std::optional<SortKey> plainSortKey(const store::FieldList &fields, const SortDescriptor &descriptor)
{
    auto column = [&](int index) -> const store::FieldDescriptor * {
        if (index < 0 || index >= int(fields.size()) || !hasKey(fields[size_t(index)].type))
            return nullptr;
        return &fields[size_t(index)];
    };
    const store::FieldDescriptor *primary = column(descriptor.primary);
    if (!primary)
        return std::nullopt;
    if (!descriptor.hasSecondary())
        return singleFieldKey(*primary, descriptor.primaryDescending);
    const store::FieldDescriptor *secondary = column(descriptor.secondary);
    if (!secondary)
        return std::nullopt;
    return twoFieldKey(*primary, descriptor.primaryDescending, *secondary, descriptor.secondaryDescending);
}

SortKey markedSortKey(const store::FieldList &fields, const SortKey &plain)
{
    return {fields.at(1).name + QLatin1Char('+') + plain.expression, plain.descending};
}

} // namespace numora::database
