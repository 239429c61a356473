#pragma once
// "Save As Template" for the list header and the field labels: the current settings
// become a new named template, and the list file is written at once so the new settings
// file is never left unlisted.

#include <QString>

namespace numora {
class Prompt;
}
namespace numora::settings {
class SettingsTemplateList;
}

namespace numora::mainwin {

// Saves the current settings as template `name` and writes the list to `listPath`. A
// failure is told to the user with its reason and leaves the templates, the list file
// and the settings files as they were. True when the template was saved.
bool saveAsTemplate(settings::SettingsTemplateList &templates, const QString &name, const QString &listPath,
                    Prompt &prompt);

} // namespace numora::mainwin
