#include "mainwin/main_window.h"

#include "mainwin/about_window.h"
#include "mainwin/menus_and_speed_bars.h"
#include "mainwin/pane_layout.h"
#include "mainwin/speed_bar.h"
#include "mainwin/splitter.h"
#include "platform/help_topics.h"
#include "platform/help_window.h"
#include "platform/product_name.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace numora::mainwin {

namespace {

constexpr int kFormPageCount = 4;

QWidget *placeholder(const QString &name, QWidget *parent)
{
    auto *widget = new QWidget(parent);
    widget->setObjectName(name);
    widget->setAutoFillBackground(true);
    return widget;
}

bool isLetterKey(int key)
{
    return key >= Qt::Key_A && key <= Qt::Key_Z;
}

} // namespace

QString recordStatusText(RecordStatus status)
{
    switch (status) {
    case RecordStatus::NewRecord: return QStringLiteral("New Record");
    case RecordStatus::ReadOnly: return QStringLiteral("Read Only Access");
    case RecordStatus::ReadWrite: return QStringLiteral("Read/Write Access");
    case RecordStatus::InUse: return QStringLiteral("Read Only Access - Record In Use");
    }
    return {};
}

QString databaseCaption(const QString &databaseName, bool readOnly)
{
    QString caption = platform::productFullName() + QStringLiteral(" - Database: ") + databaseName;
    if (readOnly)
        caption += QStringLiteral(" [Read Only Mode]");
    return caption;
}

TForm1::TForm1(settings::RunSettings &settings, QWidget *parent)
    : QMainWindow(parent), settings_(settings), client_(new QWidget(this)),
      recordFormWidth_(kInitialRecordFormWidth), minimumRecordFormWidth_(kInitialRecordFormWidth)
{
    setWindowTitle(platform::productFullName());
    setMinimumSize(kMinimumWindowSize);
    setCentralWidget(client_);
    buildAreas();
    buildCommands();
    client_->installEventFilter(this);
    grip_->installEventFilter(this);
    qApp->installEventFilter(this);
    resize(638, 519);
    placeDefault();
    layoutSuppressed_ = false;
    applyDisplayOptions();
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
}

void TForm1::buildAreas()
{
    speedBar_ = new SpeedBar(speedBarPageTitles(), client_);
    listPane_ = placeholder(QStringLiteral("listPanePlaceholder"), client_);
    letterTabBar_ = placeholder(QStringLiteral("letterTabBarPlaceholder"), client_);
    recordFormPane_ = new QWidget(client_);
    recordFormPane_->setObjectName(QStringLiteral("recordFormPane"));

    recordStatusLine_ = new QLabel(recordFormPane_);
    formPages_ = new QTabWidget(recordFormPane_);
    for (int page = 1; page <= kFormPageCount; ++page)
        formPages_->addTab(placeholder(QStringLiteral("formPage%1Placeholder").arg(page), formPages_),
                           QStringLiteral("Part %1").arg(page));
    auto *formLayout = new QVBoxLayout(recordFormPane_);
    formLayout->setContentsMargins(0, 0, 0, 0);
    formLayout->addWidget(recordStatusLine_);
    formLayout->addWidget(formPages_, 1);
    setRecordStatus(RecordStatus::ReadWrite);

    grip_ = new QWidget(client_);
    grip_->setObjectName(QStringLiteral("splitterGrip"));
    grip_->setToolTip(QStringLiteral("Resize Left and Right Pages"));
    grip_->setCursor(Qt::SplitHCursor);
    dragLine_ = new QWidget(client_);
    dragLine_->setAutoFillBackground(true);
    dragLine_->setBackgroundRole(QPalette::WindowText);
    dragLine_->hide();
}

void TForm1::attachRecordList(QWidget *listPane, QWidget *letterTabBar)
{
    delete listPane_;
    delete letterTabBar_;
    listPane_ = listPane;
    letterTabBar_ = letterTabBar;
    listPane_->setParent(client_);
    letterTabBar_->setParent(client_);
    listPane_->show();
    letterTabBar_->show();
    layOutPanes();
}

void TForm1::buildCommands()
{
    QMap<Menu, QMenu *> menus;
    for (const MenuItem &item : menuItems()) {
        auto *action = new QAction(item.caption, this);
        action->setStatusTip(item.hint);
        action->setToolTip(item.hint);
        action->setEnabled(isAvailable(item.command));
        connect(action, &QAction::triggered, this, [this, command = item.command] {
            runCommand(command);
        });
        actions_.insert(item.command, action);
        if (item.menu == Menu::Options) {
            menuBar()->addAction(action);
            continue;
        }
        if (!menus.contains(item.menu))
            menus.insert(item.menu, menuBar()->addMenu(menuTitle(item.menu)));
        if (item.separatorBefore)
            menus[item.menu]->addSeparator();
        menus[item.menu]->addAction(action);
    }
    const QIcon icon = style()->standardIcon(QStyle::SP_ArrowRight);
    for (const SpeedButton &entry : speedButtons()) {
        QAction *action = actions_.value(entry.command);
        QToolButton *button = speedBar_->addButton(entry.page, entry.caption, entry.hint, icon);
        button->setEnabled(action->isEnabled());
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, button, [button, action] {
            button->setEnabled(action->isEnabled());
        });
    }
}

QAction *TForm1::action(Command command) const
{
    return actions_.value(command);
}

void TForm1::runCommand(Command command)
{
    switch (command) {
    case Command::Exit:
        if (exitRequested)
            exitRequested();
        else
            close();
        break;
    case Command::HelpContents: {
        auto *help = new platform::HelpWindow(this);
        help->setAttribute(Qt::WA_DeleteOnClose);
        help->showContext(help::MainWindow);
        break;
    }
    case Command::About: {
        AboutWindow about(AboutWindow::Use::About, this);
        about.exec();
        break;
    }
    default:
        break; // not available yet: its action is disabled
    }
}

void TForm1::setDatabaseCaption(const QString &databaseName, bool readOnly)
{
    setWindowTitle(databaseCaption(databaseName, readOnly));
}

void TForm1::setRecordStatus(RecordStatus status)
{
    recordStatusLine_->setText(recordStatusText(status));
}

void TForm1::switchWebFeaturesOff()
{
    minimumRecordFormWidth_ = kMinimumRecordFormWidth;
}

void TForm1::setMenusAndSpeedBars(settings::MenusAndSpeedBars mode)
{
    const BarsChange change{settings_.databaseOptions.menusAndSpeedBars, mode, kSpeedBarHeight,
                            menuBar()->sizeHint().height()};
    settings_.databaseOptions.menusAndSpeedBars = mode;
    menuBar()->setVisible(showsMenuBar(mode));
    if (showsSpeedBar(mode) && !showsSpeedBar(change.from))
        speedBar_->showPage(0);
    resize(width(), height() + windowHeightChange(change));
    layOutPanes();
}

void TForm1::applyDisplayOptions()
{
    const settings::MenusAndSpeedBars mode = settings_.databaseOptions.menusAndSpeedBars;
    menuBar()->setVisible(showsMenuBar(mode));
    setWindowFlag(Qt::WindowStaysOnTopHint, settings_.databaseOptions.stayOnTop);
    layOutPanes();
}

void TForm1::layOutPanes()
{
    if (layoutSuppressed_)
        return;
    const settings::DatabaseOptions &options = settings_.databaseOptions;
    PaneLayoutInput input;
    input.clientSize = client_->size();
    input.speedBarVisible = showsSpeedBar(options.menusAndSpeedBars);
    input.speedBarLocation = options.speedBarLocation;
    input.letterTabsLocation = options.letterTabsLocation;
    input.recordFormWidth = recordFormWidth_;
    input.minimumRecordFormWidth = minimumRecordFormWidth_;
    const PaneLayout layout = layoutPanes(input);

    speedBar_->setVisible(input.speedBarVisible);
    if (input.speedBarVisible)
        speedBar_->placeAt(layout.speedBar);
    listPane_->setGeometry(layout.listPane);
    letterTabBar_->setGeometry(layout.letterTabBar);
    recordFormPane_->setGeometry(layout.recordFormPane);
    grip_->setGeometry(layout.grip);
    recordFormWidth_ = layout.recordFormPane.width();
    // Widen to the laid-out client width plus what is missing, so a second layout before
    // the resize lands asks for the same width; never narrower than the window is, since
    // before the first show the client area may still be smaller than the window.
    if (layout.windowGrowth > 0)
        resize(std::max(width(), input.clientSize.width() + layout.windowGrowth), height());
}

void TForm1::placeDefault()
{
    const QRect screen = QApplication::primaryScreen()->availableGeometry();
    move(screen.right() - frameGeometry().width() + 1, screen.top());
}

void TForm1::applyStoredPlacement()
{
    const app::PlannedPlacement plan =
        app::planPlacement(app::readWindowPlacement(settings_.folders.settingsFolder),
                           recordFormWidth_);
    recordFormWidth_ = plan.formPaneWidth;
    if (plan.action == app::PlannedPlacement::Action::Apply)
        setGeometry(plan.geometry);
    else if (plan.action == app::PlannedPlacement::Action::Maximise)
        setWindowState(windowState() | Qt::WindowMaximized);
    layOutPanes();
}

app::WindowPlacement TForm1::placementToSave() const
{
    return app::placementToSave(isMaximized(), geometry(), recordFormPane_->width());
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == client_ && event->type() == QEvent::Resize) {
        layOutPanes();
        return false;
    }
    if (watched == grip_)
        return handleGripMouse(event);
    if (event->type() == QEvent::KeyPress) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this)
            return handleKey(*static_cast<QKeyEvent *>(event));
    }
    return QMainWindow::eventFilter(watched, event);
}

// The keys the window takes from the focused control. A key that stands for a command is
// consumed even while the command is disabled.
bool TForm1::handleKey(const QKeyEvent &event)
{
    const QKeyCombination combination = event.keyCombination();
    for (const CommandKey &entry : commandKeys()) {
        if (entry.key == combination) {
            action(entry.command)->trigger();
            return true;
        }
    }
    const Qt::KeyboardModifiers modifiers =
        combination.keyboardModifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
    const int key = combination.key();
    if (modifiers == (Qt::ControlModifier | Qt::AltModifier))
        return handleCtrlAltKey(key);
    if (modifiers == Qt::AltModifier) {
        if (key >= Qt::Key_1 && key <= Qt::Key_9) {
            const int page = key - Qt::Key_1;
            if (page < formPages_->count())
                formPages_->setCurrentIndex(page);
            return true;
        }
        // The record speed bar's keys; its buttons arrive with the record form.
        return key == Qt::Key_Delete || key == Qt::Key_C || key == Qt::Key_T || key == Qt::Key_U
               || key == Qt::Key_P || key == Qt::Key_Y;
    }
    // The popups of the list, the sort bar and the record form arrive with those areas.
    return modifiers == Qt::NoModifier && key >= Qt::Key_F2 && key <= Qt::Key_F8;
}

// With letter tabs in use a letter jumps to its tab and any other key passes on; without
// them every Ctrl+Alt key is swallowed.
bool TForm1::handleCtrlAltKey(int key) const
{
    if (settings_.databaseOptions.letterTabs != settings::LetterTabs::Use)
        return true;
    return isLetterKey(key); // the jump arrives with the letter tab bar
}

bool TForm1::handleGripMouse(QEvent *event)
{
    const auto *mouse = static_cast<QMouseEvent *>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() != Qt::LeftButton || mouse->modifiers() != Qt::NoModifier)
            return false;
        dragging_ = true;
        dragStartX_ = qRound(mouse->globalPosition().x());
        dragLine_->setGeometry(grip_->x(), 0, grip_->width(), client_->height());
        dragLine_->show();
        dragLine_->raise();
        return true;
    case QEvent::MouseMove:
        if (dragging_)
            dragLine_->move(grip_->x() + qRound(mouse->globalPosition().x()) - dragStartX_, 0);
        return dragging_;
    case QEvent::MouseButtonRelease: {
        if (!dragging_)
            return false;
        dragging_ = false;
        dragLine_->hide();
        const SplitterDrag drag{recordFormWidth_, qRound(mouse->globalPosition().x()) - dragStartX_,
                                client_->width(), kLetterTabBarWidth, minimumRecordFormWidth_};
        recordFormWidth_ = recordFormWidthAfterDrag(drag);
        layOutPanes();
        return true;
    }
    default:
        return false;
    }
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // The window never closes by itself: the request either hides it or closes the owner
    // window, whose end destroys this one.
    event->ignore();
    requestClose();
}

app::MainWindowCloseResult TForm1::requestClose()
{
    app::MainWindowCloseHooks hooks = closeHooks;
    if (!hooks.hideMainWindow)
        hooks.hideMainWindow = [this] { hide(); };
    const app::CloseSettings settings{false, settings_.databaseOptions.displayTrayIcon};
    return app::closeMainWindow(settings, hooks);
}

TForm3::TForm3(settings::RunSettings &settings, QWidget *parent) : TForm1(settings, parent)
{
    switchWebFeaturesOff();
}

} // namespace numora::mainwin
