#include "mainwin/template_saving.h"

#include "core/prompt.h"
#include "settings/settings_messages.h"
#include "settings/template_list.h"

#include <QDir>

namespace numora::mainwin {

namespace {

const QString kCouldNotSaveTemplate = QStringLiteral("Could not Save the Template!");

} // namespace

bool saveAsTemplate(settings::SettingsTemplateList &templates, const QString &name, const QString &listPath,
                    Prompt &prompt)
{
    if (templates.find(name) >= 0) {
        prompt.inform(QStringLiteral("Duplicate name - Template Not Saved!"), MessageKind::Error);
        return false;
    }
    const std::optional<QString> fileName = templates.freeFileName();
    if (!fileName) {
        prompt.inform(kCouldNotSaveTemplate, MessageKind::Error,
                      QStringLiteral("Every template file name is in use. Delete a template first."));
        return false;
    }
    if (!templates.add(name)) {
        prompt.inform(kCouldNotSaveTemplate, MessageKind::Error,
                      QStringLiteral("Cannot write %1").arg(QDir(templates.settingsFolder()).filePath(*fileName)));
        return false;
    }
    if (templates.saveList(listPath))
        return true;
    // Unlisted, the new settings file would be found by no one and overwritten later.
    templates.remove(templates.find(name));
    prompt.inform(settings::message::kCouldNotSaveTemplateList, MessageKind::Error, listPath);
    return false;
}

} // namespace numora::mainwin
