#include "mainwin/widgets/main_window.h"

#include "core/log_categories.h"
#include "core/product_constants.h"
#include "mainwin/widgets/about_window.h"
#include "mainwin/coin_layout.h"
#include "mainwin/widgets/delete_dialog.h"
#include "mainwin/field_fonts.h"
#include "mainwin/widgets/hot_button.h"
#include "mainwin/widgets/letter_tab_bar.h"
#include "mainwin/widgets/list_record_browser.h"
#include "mainwin/widgets/list_header.h"
#include "mainwin/menus_and_speed_bars.h"
#include "mainwin/pane_layout.h"
#include "mainwin/widgets/record_form_pages.h"
#include "mainwin/widgets/record_list_pane.h"
#include "mainwin/widgets/record_row_button.h"
#include "mainwin/widgets/record_speed_bar.h"
#include "mainwin/widgets/speed_bar.h"
#include "mainwin/splitter.h"
#include "mainwin/store_reads.h"
#include "platform/busy_cursor.h"
#include "core/help_topics.h"
#include "platform/help_window.h"
#include "core/product_name.h"
#include "platform/progress_window.h"
#include "core/prompt.h"
#include "platform/shell.h"
#include "settings/folders.h"
#include "settings/template_list.h"
#include "database/database_manager.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QIcon>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
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

// Disabled captions in the window system's grey text colour: the silver faces of the
// scheme would swallow a lighter grey.
void useGreyTextWhenDisabled(QWidget *widget)
{
    QPalette palette = widget->palette();
    const QColor grey(0x80, 0x80, 0x80);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(QPalette::Disabled, role, grey);
    widget->setPalette(palette);
}

void paint(QWidget *widget, const QColor &background)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Button, background);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void paint(QWidget *widget, const QColor &text, const QColor &background)
{
    paint(widget, background);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
}


// The engine's form before a product layout is installed: it has no fields, so every
// record it shows counts as empty and leaving it writes nothing.
class NoFieldsForm : public RecordForm {
public:
    bool loadFrom(const store::Table &) override { return true; }
    bool writeTo(store::Table &) override { return true; }
    void clear() override {}
    bool isEmpty() const override { return true; }
    bool requiredFieldsFilled() const override { return true; }
    bool checkValues() override { return true; }
    void setEditable(bool) override {}
    void focusFirstField() override {}
};

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
    QString caption = productFullName() + QStringLiteral(" - Database: ") + databaseName;
    if (readOnly)
        caption += QStringLiteral(" [Read Only Mode]");
    return caption;
}

TForm1::TForm1(settings::RunSettings &settings, Prompt &prompt, Progress &progress,
               QWidget *parent)
    : QMainWindow(parent), settings_(settings), prompt_(prompt),
      database_(std::make_unique<database::DatabaseManager>(prompt, progress)),
      client_(new QWidget(this)), recordFormWidth_(kInitialRecordFormWidth),
      minimumRecordFormWidth_(kInitialRecordFormWidth)
{
    setWindowTitle(productFullName());
    setMinimumSize(kMinimumWindowSize);
    setCentralWidget(client_);
    setContextMenuPolicy(Qt::NoContextMenu);
    useGreyTextWhenDisabled(this);
    useFallbackIconTheme();
    buildAreas();
    buildCommands();
    wireRecordList();
    wireRecordEditing();
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
    recordList_ = new RecordListPane(prompt_, client_);
    recordList_->letterTabBar()->setParent(client_);
    recordFormPane_ = new QWidget(client_);
    recordFormPane_->setObjectName(QStringLiteral("recordFormPane"));

    recordStatusLine_ = new QLabel(recordFormPane_);
    formPages_ = new QTabWidget(recordFormPane_);
    for (int page = 1; page <= kFormPageCount; ++page)
        formPages_->addTab(placeholder(QStringLiteral("formPage%1Placeholder").arg(page), formPages_),
                           QStringLiteral("Part %1").arg(page));
    recordSpeedBar_ = new RecordSpeedBar(recordFormPane_);
    auto *formLayout = new QVBoxLayout(recordFormPane_);
    formLayout->setContentsMargins(0, 0, 0, 0);
    formLayout->addWidget(recordStatusLine_);
    formLayout->addWidget(formPages_, 1);
    formLayout->addWidget(recordSpeedBar_);
    setRecordStatus(RecordStatus::ReadWrite);
    recordFormPane_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(recordFormPane_, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        createRecordFormMenu()->exec(recordFormPane_->mapToGlobal(at));
    });

    // A raised nub: a bare widget of the window's colour left nothing to find and drag.
    auto *grip = new QFrame(client_);
    grip->setFrameStyle(QFrame::Panel | QFrame::Raised);
    grip->setAutoFillBackground(true);
    grip->setBackgroundRole(QPalette::Button);
    grip_ = grip;
    grip_->setObjectName(QStringLiteral("splitterGrip"));
    grip_->setToolTip(QStringLiteral("Resize Left and Right Pages"));
    grip_->setCursor(Qt::SplitHCursor);
    dragLine_ = new QWidget(client_);
    dragLine_->setAutoFillBackground(true);
    dragLine_->setBackgroundRole(QPalette::WindowText);
    dragLine_->hide();
}

QWidget *TForm1::listPane() const { return recordList_; }
QWidget *TForm1::letterTabBar() const { return recordList_->letterTabBar(); }

void TForm1::wireRecordList()
{
    for (QPushButton *button : {recordList_->firstButton(), recordList_->pageUpButton(),
                                recordList_->pageDownButton(), recordList_->lastButton()})
        makeHotButton(button, HotButtonKind::PagingButton);
    connect(recordList_, &RecordListPane::sortRequested, this, &TForm1::applySort);
    connect(recordList_, &RecordListPane::sponsorClicked, action(Command::HomePage),
            &QAction::trigger);
    connect(recordList_, &RecordListPane::helpRequested, this, &TForm1::showHelp);
    connect(recordList_, &RecordListPane::rowFontChanged, this, [this](const QFont &font) {
        settings_.databaseOptions.recordButtonFont = toFontSetting(font);
    });
    // Long passes of the database layer show the hourglass and hold the painting until
    // they are done, so a half-changed list never shows.
    database_->hooks.busy = [this](bool on) {
        if (on)
            busyCursors_.push_back(std::make_unique<platform::BusyCursor>());
        else if (!busyCursors_.empty())
            busyCursors_.pop_back();
    };
    database_->hooks.displayUpdates = [this](bool on) { setUpdatesEnabled(on); };
    // Recounting after a new sort index also selects "A" and updates the sort bar.
    database_->hooks.letterTabsOn = [this] {
        return settings_.databaseOptions.letterTabs == settings::LetterTabs::Use;
    };
}

void TForm1::wireRecordEditing()
{
    noFields_ = std::make_unique<NoFieldsForm>();
    recordForm_ = noFields_.get();
    browser_ = std::make_unique<ListRecordBrowser>(
        *recordList_, *database_, prompt_, [this](const RecordDisplay &display) { showRecordState(display); });
    makeSession();
    connect(recordList_, &RecordListPane::rowChosen, this,
            [this](int position) { session_->showRecord(position); });
    connect(recordList_, &RecordListPane::deleteRowRequested, this, [this](int position) {
        session_->immediateDelete =
            settings_.databaseOptions.recordDeleteMode == settings::RecordDeleteMode::Immediate;
        session_->deleteRow(0, position);
    });
    connect(recordSpeedBar_, &RecordSpeedBar::clicked, this, &TForm1::runRecordButton);
    connect(recordList_, &RecordListPane::filterStateRequested, this, [this](database::FilterState state) {
        if (!session_->commit())
            return;
        applyFilterState(state);
        session_->reload();
    });
}

void TForm1::installRecordForm(RecordFormPages *pages)
{
    auto *layout = static_cast<QVBoxLayout *>(recordFormPane_->layout());
    pages->setParent(recordFormPane_);
    delete layout->replaceWidget(formPages_, pages); // the old page's layout item is ours
    delete formPages_;
    formPages_ = pages;
    recordFormPages_ = pages;
    recordForm_ = pages;
    makeSession();
    wireRecordForm();
}

void TForm1::wireRecordForm()
{
    RecordFormPages *form = recordFormPages_;
    connect(form, &RecordFormPages::labelsChanged, this, &TForm1::refreshLabels);
    connect(form, &RecordFormPages::fontsChanged, this, &TForm1::layOutPanes);
    connect(form, &RecordFormPages::coloursChanged, this, &TForm1::applyColours);
    connect(form, &RecordFormPages::listRefreshRequested, recordList_, &RecordListPane::refresh);
    connect(form, &RecordFormPages::helpRequested, this, &TForm1::showHelp);
    database_->hooks.formatDate = [form](int column, QDate date) {
        return form->dateText(column, date);
    };
}

// The field labels name the list's columns and the sort bar's fields too.
void TForm1::refreshLabels()
{
    recordList_->setFieldLabels(settings_.fieldNames.names());
}

void TForm1::makeSession()
{
    searchHooks_.reset();
    session_ = std::make_unique<RecordSession>(*database_, prompt_, *recordForm_, *browser_);
    session_->confirmDelete = [this] { return TDeleteDlg1::ask(this); };
    SearchWindowSide side;
    side.enableInput = [this](bool enabled) {
        client_->setEnabled(enabled);
        menuBar()->setEnabled(enabled);
    };
    side.applyFilterState = [this](database::FilterState state) { applyFilterState(state); };
    side.filterState = [this] { return database_->filterState(); };
    side.highlightFoundField = [this](int position) {
        if (recordFormPages_)
            recordFormPages_->highlightFoundField(position);
    };
    side.setLetterTabsEnabled = [this](bool enabled) {
        settings_.databaseOptions.letterTabs =
            enabled ? settings::LetterTabs::Use : settings::LetterTabs::DontUse;
    };
    searchHooks_ = std::make_unique<SearchHooks>(*session_, *browser_, side);
}

// Hands a web address to the desktop's browser; a desktop with none is told so.
void TForm1::openAddress(const QString &address)
{
    if (!platform::openInBrowser(address))
        prompt_.inform(QStringLiteral("Could not open the web browser!\r") + address, MessageKind::Error);
}

// The sort bar's filter state, applied to the browse table; the previous state stays
// when the table cannot take the new one.
void TForm1::applyFilterState(database::FilterState state)
{
    platform::BusyCursor busy;
    session_->closeFormTable();
    if (!database_->setFilterState(state))
        qCInfo(lcDatabase) << "the filter state stays as it was";
    recordList_->recountLetters();
}

void TForm1::runRecordButton(RecordButton button)
{
    const StoreReadAction action;
    switch (button) {
    case RecordButton::Synchronize: session_->synchronize(); break;
    case RecordButton::Delete:
        session_->immediateDelete =
            settings_.databaseOptions.recordDeleteMode == settings::RecordDeleteMode::Immediate;
        session_->deleteShown();
        break;
    case RecordButton::Undo: session_->undo(); break;
    case RecordButton::Previous: session_->previous(); break;
    case RecordButton::Next: session_->next(); break;
    default: break; // printing and the copy buffer come with their own work
    }
}

// The status line, the counters and what may be done with the record shown.
void TForm1::showRecordState(const RecordDisplay &display)
{
    const bool viewOnly = display.readOnly || display.inUse;
    setRecordStatus(display.newRecord  ? RecordStatus::NewRecord
                    : display.readOnly ? RecordStatus::ReadOnly
                    : display.inUse    ? RecordStatus::InUse
                                       : RecordStatus::ReadWrite);
    recordSpeedBar_->setCounters(recordCounters(display.position, display.count, display.newRecord));
    action(Command::NewRecord)->setEnabled(!display.readOnly);
    recordSpeedBar_->button(RecordButton::Synchronize)->setEnabled(true);
    recordSpeedBar_->button(RecordButton::Undo)->setEnabled(!viewOnly);
    recordSpeedBar_->button(RecordButton::Delete)->setEnabled(!viewOnly);
    recordSpeedBar_->button(RecordButton::Previous)->setEnabled(display.previousEnabled);
    recordSpeedBar_->button(RecordButton::Next)->setEnabled(display.nextEnabled);
    recordList_->setReadOnly(display.readOnly);
}

bool TForm1::start()
{
    const QString settingsFolder = settings_.folders.settingsFolder;
    if (!colours_.load(QDir(settings_.folders.databaseFolder).filePath(QStringLiteral("color.lst"))))
        qCInfo(lcSettings) << "no usable color.lst: the default colours stay";
    recordList_->header()->setSettingsFolder(settingsFolder);
    settings_.fieldNames.fillIfEmpty(layoutLabels());
    recordList_->setFieldLabels(settings_.fieldNames.names());

    database_->programFolder = settings_.folders.programFolder;
    database_->location.folder = settings_.folders.databaseFolder;
    database_->location.tableFileName = settings_.recordTableFileName;
    const bool opened = database_->openDatabase();
    if (recordFormPages_) {
        settings_.dateFormats.fillIfEmpty(int(recordFormPages_->dateControls().size()));
        recordFormPages_->applyLabels();
        recordFormPages_->applyDateFormats();
        recordFormPages_->applyFieldFonts();
    }
    if (opened) {
        if (recordFormPages_) {
            recordFormPages_->attachDatabase();
            recordFormPages_->readPageOrder();
        }
        recordList_->setDatabase(database_.get(), &colours_);
        recordList_->headerModel().loadHeaderFile(QDir(settingsFolder).filePath(kHeaderFile));
        recordList_->header()->showSections();
        QString name = database_->location.tableFileName;
        if (!readStore(prompt_, [&] { name = database_->databaseName(); }))
            qCInfo(lcDatabase) << "the caption names the record table's file";
        setDatabaseCaption(name, false);
    } else {
        QTimer::singleShot(0, this, &QWidget::close);
    }
    applyDisplayOptions();
    applyColours();
    applyStoredPlacement();
    applyFonts();
    layOutPanes();
    show();
    return opened;
}

lifecycle::MainWindowTeardown TForm1::teardown()
{
    lifecycle::MainWindowTeardown steps;
    steps.suppressLayout = [this] { suppressLayout(); };
    steps.currentPlacement = [this] { return placementToSave(); };
    steps.saveSortDescriptor = [this] { return database_->saveSort(); };
    steps.saveListHeader = [this] {
        const QString path = QDir(settings_.folders.settingsFolder).filePath(kHeaderFile);
        return recordList_->headerModel().saveHeaderFile(path);
    };
    steps.savePageOrder = [this] { return !recordFormPages_ || recordFormPages_->writePageOrder(); };
    steps.closeTables = [this] {
        session_->closeFormTable();
        database_->closeAll();
    };
    return steps;
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
            menuBar()->addAction(action); // with an icon the bar would show it instead of the caption
            continue;
        }
        action->setIcon(QIcon::fromTheme(item.icon));
        if (!menus.contains(item.menu))
            menus.insert(item.menu, menuBar()->addMenu(menuTitle(item.menu)));
        if (item.separatorBefore)
            menus[item.menu]->addSeparator();
        menus[item.menu]->addAction(action);
    }
    showCommandKeysInMenus();
    for (const SpeedButton &entry : speedButtons()) {
        QAction *action = actions_.value(entry.command);
        QToolButton *button = speedBar_->addButton(entry.page, entry.caption, entry.hint,
                                                   QIcon::fromTheme(commandIcon(entry.command)));
        makeHotButton(button, HotButtonKind::SpeedButton);
        button->setEnabled(action->isEnabled());
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, button, [button, action] {
            button->setEnabled(action->isEnabled());
        });
    }
}

// The window's key filter runs the command keys (see handleKey); the actions carry them
// only so the menus show them. Bound to the menu widget alone, such a shortcut can fire
// only while its menu has the keyboard, where the window's filter does not look, so no
// key runs its command twice.
void TForm1::showCommandKeysInMenus()
{
    for (const CommandKey &entry : commandKeys()) {
        QAction *command = actions_.value(entry.command);
        command->setShortcut(entry.key);
        command->setShortcutContext(Qt::WidgetShortcut);
    }
}

QAction *TForm1::action(Command command) const
{
    return actions_.value(command);
}

void TForm1::runCommand(Command command)
{
    const StoreReadAction action;
    switch (command) {
    case Command::Exit:
        if (exitRequested)
            exitRequested();
        else
            close();
        break;
    case Command::HelpContents: showHelp(help::MainWindow); break;
    case Command::About: {
        AboutWindow about(AboutWindow::Use::About, this);
        about.exec();
        break;
    }
    case Command::NewRecord: session_->newRecord(); break;
    case Command::Previous: session_->previous(); break;
    case Command::Next: session_->next(); break;
    case Command::First: recordList_->firstPage(); break;
    case Command::PageUp: recordList_->previousPage(); break;
    case Command::PageDown: recordList_->nextPage(); break;
    case Command::Last: recordList_->lastPage(); break;
    case Command::HomePage: openAddress(homePageAddress()); break;
    case Command::OnlineFaq: openAddress(faqAddress()); break;
    case Command::Manual:
        if (!platform::openWithShell(settings::locateResource(
                manualFileName(), settings_.folders.programFolder, QCoreApplication::applicationDirPath())))
            prompt_.inform(QStringLiteral("Could not load Manual.rtf file!\rTry to load Manual.rtf file into your word processor."),
                           MessageKind::Error);
        break;
    case Command::EmailSupport:
        if (!platform::openMailTo(supportMailAddress()))
            prompt_.inform(QStringLiteral("Could not locate your email client software!\rMake sure you have selected Email software in Internet Properties (Programs page)."),
                           MessageKind::Error);
        break;
    default:
        break; // not available yet: its action is disabled
    }
}

void TForm1::showHelp(int context)
{
    auto *help = new platform::HelpWindow(this);
    help->setAttribute(Qt::WA_DeleteOnClose);
    help->showContext(context);
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
    recordSpeedBar_->hideWebButtons();
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
    const settings::DatabaseOptions &options = settings_.databaseOptions;
    menuBar()->setVisible(showsMenuBar(options.menusAndSpeedBars));
    if (options.stayOnTop != bool(windowFlags() & Qt::WindowStaysOnTopHint))
        setWindowFlag(Qt::WindowStaysOnTopHint, options.stayOnTop);
    layOutPanes();
}

void TForm1::applyColours()
{
    using E = settings::SchemeElement;
    const auto colour = [this](E element) { return colours_.colour(element).toQColor(palette()); };
    recordList_->applyColours();
    if (recordFormPages_)
        recordFormPages_->applyColours();
    paint(recordList_, colour(E::ListPages));
    paint(speedBar_, colour(E::ListSpeedBar));
    paint(client_, colour(E::ListWindowBackground));
    for (QLabel *label : findChildren<QLabel *>())
        paint(label, colour(E::FormLabelsText), colour(E::FormLabelsBackground));
    paint(formPages_, colour(E::FormPages));
    paint(recordSpeedBar_, colour(E::FormSpeedBar));
    paint(recordSpeedBar_->positionCounter(), colour(E::FormSpeedBar));
    paint(recordSpeedBar_->percentCounter(), colour(E::FormSpeedBar));
    paint(recordFormPane_, colour(E::FormWindowBackground));
    speedBar_->repaint();
}

void TForm1::applyFonts()
{
    recordList_->setRowFont(toQFont(settings_.databaseOptions.recordButtonFont));
}

void TForm1::applySort(const database::SortDescriptor &descriptor)
{
    if (!session_->commit())
        return;
    platform::BusyCursor busy;
    session_->closeFormTable();
    const database::SortDescriptor before = database_->index().descriptor;
    if (!database_->changeSort(descriptor))
        database_->index().descriptor = before;
    recordList_->recountLetters();
    session_->reload();
}

void TForm1::setLetterTabsMode(settings::LetterTabs mode)
{
    if (!session_->commit())
        return;
    settings_.databaseOptions.letterTabs = mode;
    recordList_->recountLetters();
}

void TForm1::layOutPanes()
{
    if (layoutSuppressed_)
        return;
    // Before the first show the client area has not been given the window's size yet;
    // laid out at its default size, the panes would give up width they never get back.
    if (!isVisible())
        layout()->activate();
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
    recordList_->setGeometry(layout.listPane);
    letterTabBar()->setGeometry(layout.letterTabBar);
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
    const lifecycle::PlannedPlacement plan =
        lifecycle::planPlacement(lifecycle::readWindowPlacement(settings_.folders.settingsFolder),
                           recordFormWidth_);
    recordFormWidth_ = plan.formPaneWidth;
    if (plan.action == lifecycle::PlannedPlacement::Action::Apply)
        setGeometry(plan.geometry);
    else if (plan.action == lifecycle::PlannedPlacement::Action::Maximise)
        setWindowState(windowState() | Qt::WindowMaximized);
    layOutPanes();
}

lifecycle::WindowPlacement TForm1::placementToSave() const
{
    return lifecycle::placementToSave(isMaximized(), geometry(), recordFormPane_->width());
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == client_ && event->type() == QEvent::Resize) {
        layOutPanes();
        return false;
    }
    if (watched == grip_)
        return handleGripMouse(event);
    if (event->type() == QEvent::ToolTip)
        return settings_.databaseOptions.hintMessages == settings::HintMessages::Hide;
    if (event->type() == QEvent::ContextMenu && watched == client_) {
        createBackgroundMenu()->exec(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this)
            return handleKey(*widget, *static_cast<QKeyEvent *>(event));
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TForm1::handleGripMouse(QEvent *event)
{
    // The grip's filter passes every event of the grip; only mouse events drag it.
    const auto *mouse = dynamic_cast<const QMouseEvent *>(event);
    if (!mouse)
        return false;
    switch (mouse->type()) {
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

// Every show starts again from the first record, unless the window comes back from the
// tray or a tool, which marks the show with the hide tag. A show the window system makes
// (the window coming back from being minimised) changes nothing, so what the user typed
// into the shown record stays.
void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return;
    if (hideTag_) {
        hideTag_ = false;
        return;
    }
    if (database_->recordTable().isOpen())
        session_->reload();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // The window never closes by itself: the request either hides it or closes the owner
    // window, whose end destroys this one.
    event->ignore();
    requestClose();
}

lifecycle::MainWindowCloseResult TForm1::requestClose(lifecycle::CloseCause cause)
{
    lifecycle::MainWindowCloseHooks hooks = closeHooks;
    if (!hooks.saveCurrentRecord)
        hooks.saveCurrentRecord = [this] { return session_->saveCheck(); };
    if (!hooks.hideMainWindow)
        hooks.hideMainWindow = [this] { hide(); };
    const bool tray = settings_.databaseOptions.displayTrayIcon && (!trayIconShown || trayIconShown());
    const lifecycle::CloseSettings settings{false, tray, cause};
    return lifecycle::closeMainWindow(settings, hooks);
}

TForm3::TForm3(settings::RunSettings &settings, Prompt &prompt, Progress &progress,
               QWidget *parent)
    : TForm1(settings, prompt, progress, parent),
      labelTemplates_(std::make_unique<settings::LabelTemplateList>(settings.fieldNames)),
      listsProgress_(std::make_unique<platform::ProgressWindow>())
{
    switchWebFeaturesOff();
    labelTemplates_->setSettingsFolder(settings.folders.settingsFolder);
    labelTemplates_->loadList(
        QDir(settings.folders.settingsFolder).filePath(settings::kLabelTemplatesFile));
    const RecordFormContext context{settings,  prompt,     *listsProgress_,
                                    colours(), database(), *labelTemplates_};
    installRecordForm(new RecordFormPages(context, coinLayout()));
}

TForm3::~TForm3() = default;

QStringList TForm3::layoutLabels() const { return coinFieldLabels(); }

} // namespace numora::mainwin
