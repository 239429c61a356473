#include "settings/startup_settings.h"

#include "settings/settings_messages.h"

#include <QDir>

namespace numora::settings {

namespace {

void call(const std::function<void(const QString &)> &hook, const QString &settingsFolder)
{
    if (hook)
        hook(settingsFolder);
}

} // namespace

bool loadDatabaseSettings(RunSettings &settings, const SettingsListHooks &lists)
{
    const bool read = loadDatabaseOptions(settings.databaseOptions, settings.folders,
                                          settings.recordTableFileName, settings.login);
    call(lists.loadTemplateLists, settings.folders.settingsFolder);
    call(lists.loadReportList, settings.folders.settingsFolder);
    return read;
}

StartupSettings::StartupSettings(Prompt &prompt, LoginGate loginGate, SettingsListHooks lists)
    : prompt_(prompt), loginGate_(std::move(loginGate)), lists_(std::move(lists))
{
}

StartupSettings::Outcome StartupSettings::operator()(RunSettings &settings) const
{
    Outcome outcome;
    settings.folders = Folders::forProgramFolder(setUpProgramFolder());
    outcome.programOptions = loadProgramOptions(settings.programOptions, settings.folders);
    // Told before anything is made in the program folder, so the user knows why the
    // collection about to open is not the usual one.
    if (!outcome.programOptions.missingDataRoot.isEmpty())
        prompt_.inform(message::dataFolderMissing(
                           QDir::toNativeSeparators(outcome.programOptions.missingDataRoot),
                           QDir::toNativeSeparators(settings.folders.programFolder)),
                       MessageKind::Warning);

    settings.folders.databaseFolder = settings.folders.publicDatabaseFolder();
    ensureDataFolders(settings.folders, prompt_);

    outcome.loginAccepted = !outcome.programOptions.read || loginGate_(settings);
    if (!outcome.loginAccepted)
        return outcome;

    outcome.databaseOptionsRead = loadDatabaseSettings(settings, lists_);
    settings.fieldNames.loadLabels(settings.folders.settingsFolder);
    settings.dateFormats.load(settings.folders.settingsFolder);
    return outcome;
}

} // namespace numora::settings
