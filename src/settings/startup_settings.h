#pragma once
// The settings half of the start-up sequence, kept in one place because later steps rely
// on what earlier ones set:
//   1. set up the folders: the program folder, which is also the data root and current;
//   2. load the program-wide options chain (it may name another data root); a data root
//      that is not there is reported, and the program folder serves for this run;
//   3. make the public database folder the database folder and ensure it and its BACKUP
//      exist; then the login gate runs, when the program-wide options were read, and may
//      choose another database folder;
//   4. load the database options (the settings folder becomes the database folder), then
//      the template lists and the report list from that settings folder;
//   5. load labels.dat, then date.dat, from that settings folder.

#include "settings/database_options.h"
#include "settings/date_formats.h"
#include "settings/field_names.h"
#include "settings/folders.h"
#include "settings/login_state.h"
#include "settings/program_options.h"

#include <functional>

namespace numora::settings {

// What the settings files tell the run, and where it works.
struct RunSettings {
    Folders folders;
    ProgramOptions programOptions;
    LoginState login;
    DatabaseOptions databaseOptions;
    QString recordTableFileName = QStringLiteral("data.dbf");
    FieldNameList fieldNames;
    DateFormatList dateFormats;
};

// The lists loaded from the settings folder together with the database options. Their
// owners plug in here: the filter, header and field-name template lists (filters.tml,
// headers.tml, labels.tml) and the report list. An empty hook loads nothing.
struct SettingsListHooks {
    std::function<void(const QString &settingsFolder)> loadTemplateLists;
    std::function<void(const QString &settingsFolder)> loadReportList;
};

// Step 4: the database options of the database folder, then the lists beside them.
// Opening another database folder later repeats it. True when options.dat was read.
bool loadDatabaseSettings(RunSettings &settings, const SettingsListHooks &lists);

class StartupSettings {
public:
    // Decides whether the user may go on; it fills settings.login and may set another
    // database folder.
    using LoginGate = std::function<bool(RunSettings &settings)>;

    struct Outcome {
        ProgramOptionsLoad programOptions;
        // False when the login gate turned the user away: the later steps did not run
        // and the program ends.
        bool loginAccepted = false;
        bool databaseOptionsRead = false;
    };

    StartupSettings(Prompt &prompt, LoginGate loginGate, SettingsListHooks lists);

    // Runs the five steps on `settings`, taking the program folder from setUpProgramFolder().
    Outcome operator()(RunSettings &settings) const;

private:
    Prompt &prompt_;
    LoginGate loginGate_;
    SettingsListHooks lists_;
};

} // namespace numora::settings
