#include "app/entry_sequence.h"

namespace numora::app {

namespace {

void call(const std::function<void()> &hook)
{
    if (hook)
        hook();
}

} // namespace

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
    call(hooks.showSplash);

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

    call(hooks.createOwnerWindow);
    call(hooks.createActivityLog);
    call(hooks.loadReminders);
    call(hooks.constructMainWindow);
    call(hooks.closeSplash);
    if (settings.databaseOptions.displayTips)
        call(hooks.showTips);
    const int exitCode = hooks.runMessageLoop ? hooks.runMessageLoop() : 0;
    call(hooks.saveReminders);
    return exitCode;
}

} // namespace numora::app
