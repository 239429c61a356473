#pragma once
// The product's record form layout: what the coin catalogue calls each of its 26 fields.
// The labels name the fields everywhere (list header, sort bar, dialogs) until the user
// renames them.

#include <QStringList>

namespace numora::mainwin {

inline QStringList coinFieldLabels()
{
    return {
        QStringLiteral("Coin Description:"), QStringLiteral("Country:"),
        QStringLiteral("Short Note:"),       QStringLiteral("Catalog #:"),
        QStringLiteral("Condition:"),        QStringLiteral("Coin Minted:"),
        QStringLiteral("Face Value:"),       QStringLiteral("Cost:"),
        QStringLiteral("Market Value:"),     QStringLiteral("Small Picture:"),
        QStringLiteral("Note/Variety:"),     QStringLiteral("Category:"),
        QStringLiteral("Type:"),             QStringLiteral("Mint:"),
        QStringLiteral("Metal Content:"),    QStringLiteral("Weight:"),
        QStringLiteral("Silver:"),           QStringLiteral("Gold:"),
        QStringLiteral("Custom 1:"),         QStringLiteral("Custom 2:"),
        QStringLiteral("Custom 3:"),         QStringLiteral("Custom 4:"),
        QStringLiteral("Custom 5:"),         QStringLiteral("Attachment:"),
        QStringLiteral("Notes:"),            QStringLiteral("Picture:"),
    };
}

} // namespace numora::mainwin
