#include "mainwin/field_label_rules.h"

#include <algorithm>

namespace numora::mainwin {

LabelCheck checkLabelText(const QString &text, const QStringList &labels)
{
    // Control characters count as blank as well as spaces.
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= u' '; }))
        return LabelCheck::Empty;
    if (labels.contains(text, Qt::CaseInsensitive))
        return LabelCheck::Duplicate;
    return LabelCheck::Accepted;
}

QString labelRefusalMessage(LabelCheck check)
{
    switch (check) {
    case LabelCheck::Empty: return QStringLiteral("Empty Labels are not Allowed!");
    case LabelCheck::Duplicate: return QStringLiteral("Duplicate Labels are not Allowed!");
    case LabelCheck::Accepted: break;
    }
    return {};
}

} // namespace numora::mainwin
