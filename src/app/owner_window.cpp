#include "app/owner_window.h"

#include "core/product_constants.h"
#include "lifecycle/tray_rules.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QStyle>
#include <QSystemTrayIcon>

namespace numora::app {

TTrayForm::TTrayForm(settings::DatabaseOptions &options, QWidget *parent)
    : QWidget(parent), options_(options)
{
    setWindowTitle(applicationTitle());
    move(-5000, 0);
    hide();
    const bool trayOption = options.displayTrayIcon;
    if (trayOption && QSystemTrayIcon::isSystemTrayAvailable())
        createTrayIcon();
    startHidden_ = lifecycle::startsHidden(trayOption, options.startHidden);
    hiddenToTray_ = startHidden_;
}

// Where the desktop has no tray the option has nothing to show: the main window then
// closes the program as it would with the option off.
void TTrayForm::createTrayIcon()
{
    tray_ = new QSystemTrayIcon(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon), this);
    tray_->setToolTip(applicationTitle());
    auto *menu = new QMenu(this);
    showHide_ = menu->addAction(lifecycle::trayShowHideCaption(true), this, &TTrayForm::showOrHide);
    terminate_ = menu->addAction(lifecycle::trayTerminateCaption(), this, &QWidget::close);
    hideOnStartup_ = menu->addAction(QStringLiteral("Hide On Startup"), this, [this] {
        options_.startHidden = lifecycle::toggledStartHidden(startHidden_);
        startHidden_ = !startHidden_;
    });
    hideOnStartup_->setCheckable(true);
    connect(menu, &QMenu::aboutToShow, this, &TTrayForm::prepareTrayMenu);
    tray_->setContextMenu(menu);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
        if (why != QSystemTrayIcon::Trigger)
            return;
        if (hiddenToTray_)
            restoreFromTray();
        else if (QWidget *active = QApplication::activeWindow())
            active->raise();
    });
    tray_->show();
}

void TTrayForm::prepareTrayMenu()
{
    const bool visible = mainWindowVisible && mainWindowVisible();
    showHide_->setText(lifecycle::trayShowHideCaption(visible));
    // A modal window of the program has to be closed before the program can end.
    terminate_->setEnabled(QApplication::activeModalWidget() == nullptr);
    hideOnStartup_->setChecked(startHidden_);
}

void TTrayForm::showOrHide()
{
    if (mainWindowVisible && mainWindowVisible()) {
        if (hideMainWindow)
            hideMainWindow();
        hiddenToTray_ = true;
    } else {
        restoreFromTray();
    }
}

void TTrayForm::applyTrayOption()
{
    const bool wanted = options_.displayTrayIcon && QSystemTrayIcon::isSystemTrayAvailable();
    if (wanted && !tray_)
        createTrayIcon();
    else if (tray_)
        tray_->setVisible(wanted);
    if (!options_.displayTrayIcon)
        startHidden_ = false;
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
