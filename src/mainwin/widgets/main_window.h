#pragma once
// The catalogue's main window (the engine's TForm1) and its product form TForm3. It owns
// the database manager, the colour scheme and the areas (speed bar, record list pane,
// letter tab bar, record form pane, splitter grip), places the areas with layoutPanes(),
// builds every menu and speed button from the command tables and sees every key before
// the focused control does.
//
// Construction builds the window; start() loads what the window shows from the settings
// folder, opens the database and shows the window. The engine's form pages hold no fields;
// TForm3 installs the coin layout's form, and a RecordSession moves records between it
// and the tables. Commands whose work is not built yet stay disabled.

#include "lifecycle/close_request.h"
#include "lifecycle/end_sequence.h"
#include "lifecycle/window_placement.h"
#include "mainwin/widgets/main_commands.h"
#include "mainwin/record_session.h"
#include "mainwin/search_hooks.h"
#include "settings/colour_scheme.h"
#include "settings/startup_settings.h"
#include "database/sort_keys.h"

#include "platform/busy_cursor.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QMenu;
class QTabWidget;

namespace numora {
class Prompt;
class Progress;
} // namespace numora
namespace numora::platform {
class ProgressWindow;
}
namespace numora::settings {
class LabelTemplateList;
}
namespace numora::database {
class DatabaseManager;
}

namespace numora::mainwin {

class ListRecordBrowser;
class RecordFormPages;
class RecordListPane;
class RecordSpeedBar;
enum class RecordButton;
class SpeedBar;

enum class RecordStatus { NewRecord, ReadOnly, ReadWrite, InUse };
QString recordStatusText(RecordStatus status);

// The product name, the database name and, in the read-only state, a mark of it.
QString databaseCaption(const QString &databaseName, bool readOnly);

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // All three must outlive the window; the display options are read from `settings`,
    // messages and long passes go through `prompt` and `progress`.
    TForm1(settings::RunSettings &settings, Prompt &prompt, Progress &progress,
           QWidget *parent = nullptr);
    ~TForm1() override;

    // Loads the colour scheme and the list header from the settings folder, opens the
    // database, applies the stored placement and shows the window. When the database
    // cannot be opened the window asks to be closed as soon as the event loop runs, and
    // false is returned.
    bool start();
    // What the end sequence asks of this window as it is destroyed.
    lifecycle::MainWindowTeardown teardown();

    // What a close request runs besides hiding the window; see closeMainWindow().
    lifecycle::MainWindowCloseHooks closeHooks;
    // "Exit": closes the owner window. Without it the window closes itself.
    std::function<void()> exitRequested;
    // Whether a tray icon can bring the window back; without one a close never hides the
    // window to the tray, where nothing could restore it.
    std::function<bool()> trayIconShown;

    // Every close request runs this: the window hides, then either stays in the tray or
    // has the owner window closed. A request with CloseCause::ProgramEnd always closes it.
    lifecycle::MainWindowCloseResult requestClose(
        lifecycle::CloseCause cause = lifecycle::CloseCause::User);

    QAction *action(Command command) const;
    SpeedBar *speedBar() const { return speedBar_; }
    RecordListPane *recordList() const { return recordList_; }
    QWidget *listPane() const;
    QWidget *letterTabBar() const;
    RecordSpeedBar *recordSpeedBar() const { return recordSpeedBar_; }
    database::DatabaseManager &database() { return *database_; }
    RecordSession &session() { return *session_; }
    // What the find, replace and report windows call around their work.
    SearchHooks &searchHooks() { return *searchHooks_; }
    // The next show only clears the tag instead of showing the first record again.
    void setHideTag() { hideTag_ = true; }
    const settings::ColourScheme &colours() const { return colours_; }
    QWidget *recordFormPane() const { return recordFormPane_; }
    QWidget *grip() const { return grip_; }
    QTabWidget *formPages() const { return formPages_; }
    QWidget *clientArea() const { return client_; }

    void setDatabaseCaption(const QString &databaseName, bool readOnly);
    void setRecordStatus(RecordStatus status);

    // Shows or hides the menu bar and the speed bar as `mode` says, keeping the height of
    // the panes.
    void setMenusAndSpeedBars(settings::MenusAndSpeedBars mode);
    void applyDisplayOptions();
    void applyColours();
    void applyFonts();
    void layOutPanes();

    // The popups as they open now; the caller runs them.
    std::unique_ptr<QMenu> createBackgroundMenu();
    std::unique_ptr<QMenu> createRecordFormMenu();

    // wnd.dat of the settings folder, read at construction and written at the end.
    void applyStoredPlacement();
    lifecycle::WindowPlacement placementToSave() const;
    // Set while the window is torn down: resizes no longer lay the panes out.
    void suppressLayout() { layoutSuppressed_ = true; }

protected:
    // With the web features off the record form pane may be narrower.
    void switchWebFeaturesOff();
    // The labels of the product layout's fields, field 1 first; they fill an empty
    // field-name list.
    virtual QStringList layoutLabels() const { return {}; }

    // The product's form pages take the place of the placeholder pages; the window owns
    // them from now on.
    void installRecordForm(RecordFormPages *pages);

    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildAreas();
    void buildCommands();
    void runCommand(Command command);
    void placeDefault();
    void wireRecordList();
    void wireRecordEditing();
    void makeSession();
    void wireRecordForm();
    void refreshLabels();
    void applyFilterState(database::FilterState state);
    void openAddress(const QString &address);
    void showRecordState(const RecordDisplay &display);
    void runRecordButton(RecordButton button);
    bool handleRecordKey(int key);
    void applySort(const database::SortDescriptor &descriptor);
    void setLetterTabsMode(settings::LetterTabs mode);
    bool handleKey(const QWidget &receiver, const QKeyEvent &event);
    void showCommandKeysInMenus();
    bool handleCtrlAltKey(int key);
    bool handleFunctionKey(int key);
    bool handleGripMouse(QEvent *event);
    void showHelp(int context);
    void popUp(std::unique_ptr<QMenu> menu, QPoint windowOffset);

    settings::RunSettings &settings_;
    Prompt &prompt_;
    std::unique_ptr<database::DatabaseManager> database_;
    settings::ColourScheme colours_;
    QWidget *client_;
    SpeedBar *speedBar_ = nullptr;
    RecordListPane *recordList_ = nullptr;
    QWidget *recordFormPane_ = nullptr;
    RecordSpeedBar *recordSpeedBar_ = nullptr;
    std::unique_ptr<RecordForm> noFields_;
    RecordFormPages *recordFormPages_ = nullptr;
    RecordForm *recordForm_ = nullptr;
    std::unique_ptr<ListRecordBrowser> browser_;
    std::unique_ptr<RecordSession> session_;
    std::unique_ptr<SearchHooks> searchHooks_;
    std::vector<std::unique_ptr<platform::BusyCursor>> busyCursors_; // nested passes stack
    bool hideTag_ = false;
    QLabel *recordStatusLine_ = nullptr;
    QTabWidget *formPages_ = nullptr;
    QWidget *grip_ = nullptr;
    QWidget *dragLine_ = nullptr;
    QMap<Command, QAction *> actions_;
    int recordFormWidth_;
    int minimumRecordFormWidth_;
    int dragStartX_ = 0;
    bool dragging_ = false;
    bool layoutSuppressed_ = true;
};

// The product's main window: the engine's window with the web features switched off.
class TForm3 : public TForm1 {
    Q_OBJECT
public:
    TForm3(settings::RunSettings &settings, Prompt &prompt, Progress &progress,
           QWidget *parent = nullptr);
    ~TForm3() override;

    settings::LabelTemplateList &labelTemplates() { return *labelTemplates_; }

protected:
    QStringList layoutLabels() const override;

private:
    std::unique_ptr<settings::LabelTemplateList> labelTemplates_;
    std::unique_ptr<platform::ProgressWindow> listsProgress_;
};

} // namespace numora::mainwin
