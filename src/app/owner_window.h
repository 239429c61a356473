#pragma once
// TTrayForm, the owner window: the process's first window, never on screen, and the one
// whose close ends the program. With the tray option on it shows the tray icon (where the
// desktop offers a tray) through which the hidden main window comes back.

#include "app/close_request.h"
#include "settings/database_options.h"

#include <QWidget>

#include <functional>

class QSystemTrayIcon;

namespace numora::app {

class TTrayForm : public QWidget {
    Q_OBJECT
public:
    TTrayForm(const settings::DatabaseOptions &options, QWidget *parent = nullptr);

    // Runs the main window's close request; true when the main window closed.
    std::function<bool()> closeMainWindow;
    std::function<void()> restoreMainWindow;

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

    OwnerWindowClose close_;
    QSystemTrayIcon *tray_ = nullptr;
    bool hiddenToTray_ = false;
};

} // namespace numora::app
