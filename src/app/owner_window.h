#pragma once
// TTrayForm, the owner window: the process's first window, never on screen, and the one
// whose close ends the program. With the tray option on it shows the tray icon (where the
// desktop offers a tray) through which the hidden main window comes back.

#include "lifecycle/close_request.h"
#include "settings/database_options.h"

#include <QWidget>

#include <functional>

class QSystemTrayIcon;

namespace numora::app {

class TTrayForm : public QWidget {
    Q_OBJECT
public:
    // `options` must outlive the window; "Hide On Startup" changes it.
    TTrayForm(settings::DatabaseOptions &options, QWidget *parent = nullptr);

    // Runs the main window's close request; true when the main window closed.
    std::function<bool()> closeMainWindow;
    std::function<void()> restoreMainWindow;
    std::function<void()> hideMainWindow;
    std::function<bool()> mainWindowVisible;

    // After the options changed: the tray icon follows the tray option.
    void applyTrayOption();
    // Whether the main window starts hidden in the tray.
    bool startsHidden() const { return startHidden_; }

    void markHiddenToTray() { hiddenToTray_ = true; }
    bool isHiddenToTray() const { return hiddenToTray_; }
    bool hasTrayIcon() const { return tray_ != nullptr; }

signals:
    // The owner window accepted its close: the message loop may end.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createTrayIcon();
    void restoreFromTray();
    void showOrHide();
    void prepareTrayMenu();

    settings::DatabaseOptions &options_;
    lifecycle::OwnerWindowClose close_;
    QSystemTrayIcon *tray_ = nullptr;
    QAction *showHide_ = nullptr;
    QAction *terminate_ = nullptr;
    QAction *hideOnStartup_ = nullptr;
    bool hiddenToTray_ = false;
    bool startHidden_ = false;
};

} // namespace numora::app
