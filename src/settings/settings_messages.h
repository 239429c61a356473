#pragma once
// Messages the settings layer shows itself, worded as the user sees them.

#include <QString>

namespace numora::settings::message {

inline const QString kCouldNotSaveOptions = QStringLiteral("Could not Save Options to a File!");
inline const QString kCouldNotSaveTemplateList = QStringLiteral("Could not Save the Template List!");
inline const QString kCouldNotCreateDataDirectory =
    QStringLiteral("Could not Create Data Directory!");

// The data root the options name is not there (an unplugged network drive, say). The run
// goes on in the program folder; the stored setting stays, so the next start looks again.
inline QString dataFolderMissing(const QString &missingFolder, const QString &programFolder)
{
    return QStringLiteral("Could not find the data folder:\r%1\rThis time the program folder is "
                          "used instead:\r%2\rThe data folder setting is kept, so the next "
                          "start looks for it again.")
        .arg(missingFolder, programFolder);
}

} // namespace numora::settings::message
