#include "lifecycle/entry_sequence.h"

#include "lifecycle/named_steps.h"

namespace numora::lifecycle {

bool loginGateSkipped(const settings::ProgramOptions &options)
{
    const bool noPasswordAsked = options.passwordMode == settings::PasswordMode::NotRequired
                                 || options.supervisorPassword.isEmpty();
    return noPasswordAsked && options.usersCount == settings::UsersCount::SingleUser;
}

QString loginFailureMessage(LoginOutcome outcome)
{
    return outcome == LoginOutcome::AccountDeactivated
               ? QStringLiteral("Your acount has been disactivated! Please, contact the "
                                "System Supervisor.")
               : QStringLiteral("Incorrect Login!");
}

int runEntrySequence(settings::RunSettings &settings, Prompt &prompt, const EntryHooks &hooks)
{
    callIfSet(hooks.showSplash);

    LoginOutcome login = LoginOutcome::Accepted;
    const settings::StartupSettings loadSettings(
        prompt,
        [&](settings::RunSettings &run) {
            if (!loginGateSkipped(run.programOptions) && hooks.loginGate)
                login = hooks.loginGate(run);
            return login == LoginOutcome::Accepted;
        },
        hooks.lists);
    if (!loadSettings(settings).loginAccepted) {
        prompt.inform(loginFailureMessage(login), MessageKind::Error);
        return kLoginFailedExitCode;
    }

    callIfSet(hooks.createOwnerWindow);
    callIfSet(hooks.createActivityLog);
    callIfSet(hooks.loadReminders);
    callIfSet(hooks.constructMainWindow);
    callIfSet(hooks.closeSplash);
    if (settings.databaseOptions.displayTips)
        callIfSet(hooks.showTips);
    const int exitCode = hooks.runMessageLoop ? hooks.runMessageLoop() : 0;
    callIfSet(hooks.saveReminders);
    return exitCode;
}

} // namespace numora::lifecycle
