#include "app/owner_window.h"

#include "app/product_constants.h"
#include "app/tray_rules.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QStyle>
#include <QSystemTrayIcon>

namespace numora::app {

TTrayForm::TTrayForm(const settings::DatabaseOptions &options, QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(applicationTitle());
    move(-5000, 0);
    hide();
    const bool trayOption = options.displayTrayIcon;
    if (trayOption && QSystemTrayIcon::isSystemTrayAvailable())
        createTrayIcon();
    hiddenToTray_ = startsHidden(trayOption, options.startHidden);
}

void TTrayForm::createTrayIcon()
{
    tray_ = new QSystemTrayIcon(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon), this);
    tray_->setToolTip(applicationTitle());
    auto *menu = new QMenu(this);
    QAction *terminate = menu->addAction(trayTerminateCaption());
    connect(terminate, &QAction::triggered, this, &QWidget::close);
    tray_->setContextMenu(menu);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
        if (why == QSystemTrayIcon::Trigger)
            restoreFromTray();
    });
    tray_->show();
}

void TTrayForm::restoreFromTray()
{
    if (hiddenToTray_ && restoreMainWindow)
        restoreMainWindow();
    hiddenToTray_ = false;
}

void TTrayForm::closeEvent(QCloseEvent *event)
{
    const bool mayClose = close_.request([this] { return !closeMainWindow || closeMainWindow(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

} // namespace numora::app
