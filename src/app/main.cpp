// The program: the entry sequence with the real windows plugged in, and the end sequence
// once the owner window has closed.

#include "lifecycle/end_marker.h"
#include "lifecycle/end_sequence.h"
#include "lifecycle/entry_sequence.h"
#include "app/owner_window.h"
#include "core/product_constants.h"
#include "mainwin/widgets/about_window.h"
#include "mainwin/widgets/list_header.h"
#include "mainwin/widgets/main_window.h"
#include "mainwin/widgets/record_list_pane.h"
#include "platform/message_box_prompt.h"
#include "platform/progress_window.h"
#include "platform/termination_signal.h"
#include "database/database_manager.h"
#include "database/table_templates.h"

#include <QApplication>
#include <QDir>
#include <QSessionManager>
#include <QTimer>

#include <memory>

namespace {

using namespace numora;

// Everything the run creates, in the order it is torn down (last member first).
struct Run {
    settings::RunSettings settings;
    lifecycle::RunningMarker runningMarker;
    platform::MessageBoxPrompt prompt;
    platform::ProgressWindow progress;
    std::unique_ptr<mainwin::AboutWindow> splash;
    std::unique_ptr<app::TTrayForm> owner;
    std::unique_ptr<mainwin::TForm3> mainWindow;
    platform::TerminationSignal termination;
    // Set once a termination signal or the session's end asked the program to end: from
    // then on every close request ends it.
    bool ending = false;
};

// Ends the program through the owner window, as "Terminate" in the tray menu does, so the
// end sequence runs whatever the tray option says.
void endProgram(Run &run)
{
    run.ending = true;
    run.owner->close();
}

// The session manager's question before a logout or shutdown. Where it lets us ask the
// user, the shown record is saved (or the logout cancelled); where it does not, the
// program ends as on a termination signal.
void onCommitDataRequest(Run &run, QSessionManager &manager)
{
    if (!manager.allowsInteraction()) {
        endProgram(run);
        return;
    }
    lifecycle::SessionEndHooks hooks;
    hooks.saveCurrentRecord = [&run] { return run.mainWindow->session().saveCheck(); };
    hooks.cancelSessionEnd = [&manager] { manager.cancel(); };
    hooks.endProgram = [&run] { endProgram(run); };
    lifecycle::endForSessionEnd(run.prompt, hooks);
    manager.release();
}

void showSplash(Run &run)
{
    run.splash = std::make_unique<mainwin::AboutWindow>(mainwin::AboutWindow::Use::Splash);
    run.splash->show();
    run.splash->repaint();
    QCoreApplication::processEvents();
}

void createOwnerWindow(Run &run)
{
    run.owner = std::make_unique<app::TTrayForm>(run.settings.databaseOptions);
    run.owner->closeMainWindow = [&run] {
        const auto cause = run.ending ? lifecycle::CloseCause::ProgramEnd : lifecycle::CloseCause::User;
        return !run.mainWindow
               || run.mainWindow->requestClose(cause) != lifecycle::MainWindowCloseResult::Cancelled;
    };
    run.owner->restoreMainWindow = [&run] {
        // Whatever the user answers about the shown record, the window comes back.
        [[maybe_unused]] const bool left = run.mainWindow->session().saveCheck();
        run.mainWindow->setHideTag();
        run.mainWindow->show();
    };
    run.owner->hideMainWindow = [&run] {
        if (run.mainWindow->session().saveCheck()) // No keeps the user on the record
            run.mainWindow->hide();
    };
    run.owner->mainWindowVisible = [&run] { return run.mainWindow && run.mainWindow->isVisible(); };
    QObject::connect(run.owner.get(), &app::TTrayForm::closed, qApp, &QCoreApplication::quit);
}

void constructMainWindow(Run &run)
{
    database::ensureTableTemplates(run.settings.folders.programFolder);
    run.mainWindow = std::make_unique<mainwin::TForm3>(run.settings, run.prompt, run.progress);
    mainwin::TForm3 &window = *run.mainWindow;
    window.closeHooks.markHiddenToTray = [&run] { run.owner->markHiddenToTray(); };
    window.closeHooks.closeOwnerWindow = [&run] { run.owner->close(); };
    window.exitRequested = [&run] { run.owner->close(); };
    window.trayIconShown = [&run] { return run.owner->hasTrayIcon(); };
    QObject::connect(&run.termination, &platform::TerminationSignal::requested, &window,
                     [&run] { endProgram(run); });
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &window,
                     [&run](QSessionManager &manager) { onCommitDataRequest(run, manager); });

    window.start();
    // Starting hidden: the window shows once, then its own close request puts it in the
    // tray.
    if (run.owner->startsHidden() && run.owner->hasTrayIcon())
        QTimer::singleShot(0, &window, &QWidget::close);
    // What the owner window does on its first activation; it is never on screen itself.
    QTimer::singleShot(0, &window, [&run] {
        lifecycle::checkPreviousEnd(run.runningMarker, run.settings.folders.settingsFolder,
                                    run.prompt, [] { QApplication::beep(); });
    });
}

int runMessageLoop(Run &run)
{
    const int exitCode = QApplication::exec();
    mainwin::TForm3 &window = *run.mainWindow;
    lifecycle::OwnerWindowTeardown ownerTeardown;
    ownerTeardown.closeTables = [&window] { window.database().closeAll(); };
    ownerTeardown.saveTemplateLists = [&run, &window] {
        const QString folder = run.settings.folders.settingsFolder;
        const bool headers = window.recordList()->header()->templates().saveList(
            QDir(folder).filePath(settings::kHeaderTemplatesFile));
        const bool labels =
            window.labelTemplates().saveList(QDir(folder).filePath(settings::kLabelTemplatesFile));
        return headers && labels;
    };
    const QStringList unsaved = lifecycle::runEndSequence(run.settings, run.runningMarker,
                                                          window.teardown(), ownerTeardown);
    if (!unsaved.isEmpty())
        run.prompt.inform(lifecycle::unsavedSettingsMessage(unsaved), MessageKind::Warning);
    return exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(applicationTitle());
    QApplication::setQuitOnLastWindowClosed(false);
    Run run;
    lifecycle::EntryHooks hooks;
    hooks.showSplash = [&run] { showSplash(run); };
    hooks.createOwnerWindow = [&run] { createOwnerWindow(run); };
    hooks.constructMainWindow = [&run] { constructMainWindow(run); };
    hooks.closeSplash = [&run] { run.splash.reset(); };
    hooks.runMessageLoop = [&run] { return runMessageLoop(run); };
    return lifecycle::runEntrySequence(run.settings, run.prompt, hooks);
}
