#include "settings/field_names.h"

#include "settings/settings_messages.h"
#include "settings/text_lines.h"
#include "store/folder_lookup.h"
#include "database/record_schema.h"

namespace numora::settings {

bool FieldNameList::readFrom(const QString &path)
{
    const std::optional<QStringList> lines = readTextLines(path);
    names_ = lines.value_or(QStringList());
    return lines.has_value();
}

bool FieldNameList::writeTo(const QString &path) const { return writeTextLines(path, names_); }

void FieldNameList::loadLabels(const QString &settingsFolder)
{
    readFrom(store::resolveInFolder(settingsFolder, kFieldNamesFile));
}

bool FieldNameList::saveLabels(const QString &settingsFolder, Prompt &prompt) const
{
    if (writeTo(store::resolveInFolder(settingsFolder, kFieldNamesFile)))
        return true;
    prompt.inform(message::kCouldNotSaveOptions, MessageKind::Error);
    return false;
}

void FieldNameList::fillIfEmpty(const QStringList &captions)
{
    if (names_.isEmpty())
        names_ = captions;
}

int FieldNameList::columnOf(const QString &name) const
{
    const qsizetype index = names_.indexOf(name);
    return index < 0 ? -1 : database::record_column::fieldColumn(int(index) + 1);
}

} // namespace numora::settings
