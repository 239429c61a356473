#pragma once
// Messages the settings layer shows itself, worded as the user sees them.

#include <QString>

namespace numora::settings::message {

inline const QString kCouldNotSaveOptions = QStringLiteral("Could not Save Options to a File!");
inline const QString kCouldNotSaveTemplateList = QStringLiteral("Could not Save the Template List!");
inline const QString kCouldNotCreateDataDirectory =
    QStringLiteral("Could not Create Data Directory!");

} // namespace numora::settings::message
