#pragma once
// The catalogue's main window (the engine's TForm1) and its product form TForm3. It owns
// the areas (speed bar, record list pane, letter tab bar, record form pane, splitter grip)
// and places them with layoutPanes(); it builds every menu and speed button from the
// command tables and sees every key before the focused control does.
//
// The record list pane, the letter tab bar and the form pages are plain placeholders of
// the right size until their widgets are built; commands that need them stay disabled.

#include "app/close_request.h"
#include "app/window_placement.h"
#include "mainwin/main_commands.h"
#include "settings/startup_settings.h"

#include <QMainWindow>

#include <functional>

class QLabel;
class QTabWidget;

namespace numora::mainwin {

class SpeedBar;

enum class RecordStatus { NewRecord, ReadOnly, ReadWrite, InUse };
QString recordStatusText(RecordStatus status);

// The product name, the database name and, in the read-only state, a mark of it.
QString databaseCaption(const QString &databaseName, bool readOnly);

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // `settings` must outlive the window; the display options are read from it.
    explicit TForm1(settings::RunSettings &settings, QWidget *parent = nullptr);
    ~TForm1() override;

    // What a close request runs besides hiding the window; see closeMainWindow().
    app::MainWindowCloseHooks closeHooks;
    // "Exit": closes the owner window. Without it the window closes itself.
    std::function<void()> exitRequested;

    // Every close request runs this: the window hides, then either stays in the tray or
    // has the owner window closed.
    app::MainWindowCloseResult requestClose();

    QAction *action(Command command) const;
    SpeedBar *speedBar() const { return speedBar_; }
    QWidget *listPane() const { return listPane_; }
    QWidget *letterTabBar() const { return letterTabBar_; }
    QWidget *recordFormPane() const { return recordFormPane_; }
    QWidget *grip() const { return grip_; }
    QTabWidget *formPages() const { return formPages_; }
    QWidget *clientArea() const { return client_; }

    // Puts the record list pane and its letter tab bar in the places the placeholders
    // held; the window takes ownership.
    void attachRecordList(QWidget *listPane, QWidget *letterTabBar);
    void setDatabaseCaption(const QString &databaseName, bool readOnly);
    void setRecordStatus(RecordStatus status);

    // Shows or hides the menu bar and the speed bar as `mode` says, keeping the height of
    // the panes.
    void setMenusAndSpeedBars(settings::MenusAndSpeedBars mode);
    void applyDisplayOptions();
    void layOutPanes();

    // wnd.dat of the settings folder, read at construction and written at the end.
    void applyStoredPlacement();
    app::WindowPlacement placementToSave() const;
    // Set while the window is torn down: resizes no longer lay the panes out.
    void suppressLayout() { layoutSuppressed_ = true; }

protected:
    // With the web features off the record form pane may be narrower.
    void switchWebFeaturesOff();

    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildAreas();
    void buildCommands();
    void runCommand(Command command);
    void placeDefault();
    bool handleKey(const QKeyEvent &event);
    bool handleCtrlAltKey(int key) const;
    bool handleGripMouse(QEvent *event);

    settings::RunSettings &settings_;
    QWidget *client_;
    SpeedBar *speedBar_ = nullptr;
    QWidget *listPane_ = nullptr;
    QWidget *letterTabBar_ = nullptr;
    QWidget *recordFormPane_ = nullptr;
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
    explicit TForm3(settings::RunSettings &settings, QWidget *parent = nullptr);
};

} // namespace numora::mainwin
