// The real main window, offscreen: its layout under resizes, splitter drags and display
// option changes, its commands and the keys it takes from the focused control.

#include "mainwin/widgets/hot_button.h"
#include "mainwin/widgets/letter_tab_bar.h"
#include "mainwin/widgets/main_window.h"
#include "mainwin/widgets/record_form_pages.h"
#include "mainwin/pane_layout.h"
#include "mainwin/widgets/record_list_pane.h"
#include "mainwin/widgets/record_speed_bar.h"
#include "mainwin/widgets/speed_bar.h"
#include "core/progress.h"
#include "support/catalogue_folders.h"
#include "support/scripted_prompt.h"
#include "database/database_manager.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSet>
#include <QSignalSpy>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QTest>
#include <gtest/gtest.h>

namespace numora::mainwin {
namespace {

// Stands in for the desktop's browser: Qt hands it every file address the program opens.
class FileOpener : public QObject {
    Q_OBJECT
public:
    FileOpener() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~FileOpener() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

// A window started on a small collection sorted by description, so letter tabs are in use.
class MainWindowTest : public testing::Test {
protected:
    MainWindowTest()
        : settings(startedSettings(collection)), window(settings, prompt, progress)
    {
        window.start();
        emit window.recordList()->sortRequested(database::SortDescriptor{2, false, 0, false});
        settle();
    }

    static settings::RunSettings startedSettings(const test::CatalogueFolders &collection)
    {
        collection.writeDescriptions({"Aureus", "Denarius", "Sestertius", "Solidus"});
        settings::RunSettings settings;
        settings.folders = collection.folders();
        return settings;
    }

    static void settle() { QApplication::processEvents(); }

    void resizeTo(int width, int height)
    {
        window.resize(width, height);
        settle();
    }

    void dragGrip(int distance)
    {
        QWidget *grip = window.grip();
        const QPointF start = grip->rect().center();
        const QPointF end = start + QPointF(distance, 0);
        auto send = [grip](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
            QMouseEvent event(type, at, grip->mapToGlobal(at), Qt::LeftButton, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(grip, &event);
        };
        send(QEvent::MouseButtonPress, start, Qt::LeftButton);
        send(QEvent::MouseMove, end, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, end, Qt::NoButton);
        settle();
    }

    bool allButtons(bool compactLook)
    {
        for (const auto &page : window.speedBar()->buttons())
            for (QToolButton *button : page)
                if ((button->toolButtonStyle() == Qt::ToolButtonIconOnly) != compactLook
                    || (compactLook && button->width() != button->height()))
                    return false;
        return true;
    }

    test::CatalogueFolders collection;
    settings::RunSettings settings;
    test::ScriptedPrompt prompt;
    NoProgress progress;
    TForm3 window;
};

TEST_F(MainWindowTest, TheSplitterGripStandsOutFromTheWindow)
{
    const QImage grip = window.grip()->grab().toImage();
    ASSERT_FALSE(grip.isNull());
    const QColor windowColour = window.palette().color(QPalette::Window);
    QSet<QRgb> colours;
    for (int y = 0; y < grip.height(); ++y)
        for (int x = 0; x < grip.width(); ++x)
            colours.insert(grip.pixel(x, y));
    colours.remove(windowColour.rgb());
    EXPECT_GE(colours.size(), 2) << "a raised frame has a light and a dark edge";
}

TEST_F(MainWindowTest, NeverGetsSmallerThanItsMinimum)
{
    // 400 x 300 at least; and the width the list pane, the letter tabs and the narrowest
    // record form pane need together.
    resizeTo(300, 200);
    EXPECT_EQ(window.size(),
              QSize(kMinimumListPaneWidth + kLetterTabBarWidth + kMinimumRecordFormWidth, 300));
}

TEST_F(MainWindowTest, TheRecordFormPaneStartsAtItsDesignWidth)
{
    EXPECT_EQ(window.recordFormPane()->width(), kInitialRecordFormWidth);
}

TEST_F(MainWindowTest, SplitterDragKeepsTheListPaneWideEnough)
{
    struct Case {
        int distance;
        int expectedFormWidth;
    };
    // 640 - 24 (letter tabs) - 180 (least list width) leaves at most 436 for the form.
    const Case cases[] = {{-100, 380}, {-1000, 436}, {1000, kMinimumRecordFormWidth}};
    for (const Case &c : cases) {
        resizeTo(640, 480);
        dragGrip(1000);                          // the least width
        dragGrip(kMinimumRecordFormWidth - 280); // back to 280
        ASSERT_EQ(window.recordFormPane()->width(), 280);
        dragGrip(c.distance);
        EXPECT_EQ(window.recordFormPane()->width(), c.expectedFormWidth) << c.distance;
        EXPECT_GE(window.listPane()->width(), kMinimumListPaneWidth) << c.distance;
    }
}

TEST_F(MainWindowTest, SwitchingTheMenuBarKeepsTheClientHeight)
{
    const int clientHeight = window.clientArea()->height();
    window.setMenusAndSpeedBars(settings::MenusAndSpeedBars::OnlySpeedBars);
    settle();
    EXPECT_FALSE(window.menuBar()->isVisible());
    EXPECT_EQ(window.clientArea()->height(), clientHeight);

    window.setMenusAndSpeedBars(settings::MenusAndSpeedBars::Both);
    settle();
    EXPECT_TRUE(window.menuBar()->isVisible());
    EXPECT_EQ(window.clientArea()->height(), clientHeight);
}

TEST_F(MainWindowTest, HidingTheSpeedBarKeepsThePaneHeight)
{
    const int paneHeight = window.listPane()->height();
    window.setMenusAndSpeedBars(settings::MenusAndSpeedBars::OnlyMenus);
    settle();
    EXPECT_FALSE(window.speedBar()->isVisible());
    EXPECT_EQ(window.listPane()->height(), paneHeight);
}

TEST_F(MainWindowTest, SpeedBarCompactsWhenNarrowAndRestoresWhenWide)
{
    resizeTo(1600, 600);
    ASSERT_TRUE(allButtons(false));
    resizeTo(400, 600);
    EXPECT_TRUE(window.speedBar()->isCompact());
    EXPECT_TRUE(allButtons(true));
    resizeTo(1600, 600);
    EXPECT_FALSE(window.speedBar()->isCompact());
    EXPECT_TRUE(allButtons(false));
}

TEST_F(MainWindowTest, CommandsOfLaterWorkAreDisabledInMenusAndSpeedBar)
{
    struct Case {
        Command command;
        bool enabled;
    };
    const Case cases[] = {{Command::Find, false},  {Command::Print, false},
                          {Command::Sort, false},  {Command::Maintenance, false},
                          {Command::Exit, true},   {Command::About, true},
                          {Command::HelpContents, true}};
    for (const Case &c : cases)
        EXPECT_EQ(window.action(c.command)->isEnabled(), c.enabled);
    for (const auto &page : window.speedBar()->buttons()) {
        for (QToolButton *button : page) {
            const bool available = button->text() == QStringLiteral("Exit")
                                   || button->text() == QStringLiteral("New");
            EXPECT_EQ(button->isEnabled(), available) << button->text().toStdString();
        }
    }
}

TEST(DatabaseCaption, NamesTheProductAndTheDatabase)
{
    EXPECT_EQ(databaseCaption(QStringLiteral("data.dbf"), false),
              QStringLiteral("Brenlow Numora - Database: data.dbf"));
    EXPECT_EQ(databaseCaption(QStringLiteral("data.dbf"), true),
              QStringLiteral("Brenlow Numora - Database: data.dbf [Read Only Mode]"));
}

// A control of the window that notes whether a key press reached it.
struct KeyRecorder : QWidget {
    using QWidget::QWidget;
    bool reached = false;
    void keyPressEvent(QKeyEvent *) override { reached = true; }
};

// A key the window takes never reaches the focused control.
TEST_F(MainWindowTest, WindowTakesItsKeysBeforeTheFocusedControl)
{
    struct Case {
        settings::LetterTabs letterTabs;
        QKeyCombination key;
        bool reachesControl;
    };
    const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    const Case cases[] = {
        {settings::LetterTabs::Use, ctrlAlt | Qt::Key_5, true},
        {settings::LetterTabs::DontUse, ctrlAlt | Qt::Key_5, false},
        {settings::LetterTabs::Use, QKeyCombination(Qt::AltModifier, Qt::Key_U), false},
        {settings::LetterTabs::Use, QKeyCombination(Qt::ControlModifier, Qt::Key_F), false},
        {settings::LetterTabs::Use, QKeyCombination(Qt::ControlModifier, Qt::Key_Home), false},
        {settings::LetterTabs::Use, QKeyCombination(Qt::ControlModifier, Qt::Key_End), false},
        {settings::LetterTabs::Use, QKeyCombination(Qt::Key_X), true},
    };
    KeyRecorder control(window.formPages()->widget(0));
    for (const Case &c : cases) {
        settings.databaseOptions.letterTabs = c.letterTabs;
        control.reached = false;
        QKeyEvent press(QEvent::KeyPress, c.key.key(), c.key.keyboardModifiers());
        QApplication::sendEvent(&control, &press);
        EXPECT_EQ(control.reached, c.reachesControl) << c.key.toCombined();
    }
}

TEST_F(MainWindowTest, CtrlAltLetterJumpsToThatLetterWhileLetterTabsAreInUse)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    QApplication::sendEvent(window.listPane(), &press);
    EXPECT_EQ(window.recordList()->currentLetter(), QChar('S'));
    EXPECT_EQ(window.recordList()->letterTabBar()->selectedLetter(), QChar('S'));
}

TEST_F(MainWindowTest, PagingKeysTurnTheListPages)
{
    // Denarius is alone under "D": Ctrl+PgDn moves on to "E", Ctrl+PgUp comes back.
    window.recordList()->setLetter('D');
    QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::ControlModifier);
    QApplication::sendEvent(window.listPane(), &press);
    EXPECT_EQ(window.recordList()->currentLetter(), QChar('E'));
    QKeyEvent back(QEvent::KeyPress, Qt::Key_PageUp, Qt::ControlModifier);
    QApplication::sendEvent(window.listPane(), &back);
    EXPECT_EQ(window.recordList()->currentLetter(), QChar('D'));
}

TEST_F(MainWindowTest, CaptionNamesTheOpenDatabase)
{
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Brenlow Numora - Database: data.dbf"));
}

QMenu *submenu(const QMenu &menu, const QString &title)
{
    for (QAction *item : menu.actions())
        if (item->menu() && item->text() == title)
            return item->menu();
    return nullptr;
}

QStringList tickedItems(const QMenu &menu)
{
    QStringList ticked;
    for (QAction *item : menu.actions())
        if (item->isChecked())
            ticked << item->text();
    return ticked;
}

TEST_F(MainWindowTest, BackgroundMenuTicksTheCurrentDisplayOptions)
{
    settings.databaseOptions.speedBarLocation = settings::SpeedBarLocation::Top;
    settings.databaseOptions.letterTabsLocation = settings::LetterTabsLocation::Right;
    settings.databaseOptions.recordDeleteMode = settings::RecordDeleteMode::Immediate;
    const auto menu = window.createBackgroundMenu();
    struct Case {
        QString submenu;
        QStringList ticked;
    };
    const Case cases[] = {
        {"&Menus And SpeedBars", {"Show Both", "Speed Bar At The Top"}},
        {"&Letter Tabs", {"Enabled", "Display On Right Side"}},
        {"H&int Messages", {"Show"}},
        {"&Record Delete Mode", {"Immediate Delete"}},
    };
    for (const Case &c : cases) {
        QMenu *items = submenu(*menu, c.submenu);
        ASSERT_NE(items, nullptr) << c.submenu.toStdString();
        EXPECT_EQ(tickedItems(*items), c.ticked) << c.submenu.toStdString();
    }
}

TEST_F(MainWindowTest, DisablingLetterTabsFromTheBackgroundMenu)
{
    auto menu = window.createBackgroundMenu();
    for (QAction *item : submenu(*menu, "&Letter Tabs")->actions())
        if (item->text() == "Disabled")
            item->trigger();
    EXPECT_EQ(settings.databaseOptions.letterTabs, settings::LetterTabs::DontUse);
    EXPECT_FALSE(window.recordList()->letterTabsInUse());
    EXPECT_FALSE(window.recordList()->letterTabBar()->tab('A')->isEnabled());
}

TEST_F(MainWindowTest, ColoursOfTheSchemeReachTheAreas)
{
    using E = settings::SchemeElement;
    window.applyColours();
    const auto expected = [this](E element) {
        return window.colours().colour(element).toQColor(window.palette());
    };
    EXPECT_EQ(window.listPane()->palette().color(QPalette::Window), expected(E::ListPages));
    EXPECT_EQ(window.clientArea()->palette().color(QPalette::Window),
              expected(E::ListWindowBackground));
    EXPECT_EQ(window.recordFormPane()->palette().color(QPalette::Window),
              expected(E::FormWindowBackground));
}

TEST_F(MainWindowTest, TeardownWritesTheListHeaderTheUserChanged)
{
    const QString headerFile = QDir(collection.databaseFolder()).filePath("header.dat");
    const lifecycle::MainWindowTeardown teardown = window.teardown();
    ASSERT_TRUE(teardown.saveListHeader());
    EXPECT_FALSE(QFile::exists(headerFile)) << "the default sections keep following the pane";
    ASSERT_TRUE(window.recordList()->headerModel().resizeSection(1, 150));
    ASSERT_TRUE(teardown.saveListHeader());
    EXPECT_TRUE(QFile::exists(headerFile));
}

TEST_F(MainWindowTest, AWindowMaximisedAtExitStartsMaximised)
{
    window.showMaximized();
    settle();
    ASSERT_TRUE(lifecycle::writeWindowPlacement(settings.folders.settingsFolder, window.placementToSave()));
    TForm3 next(settings, prompt, progress);
    next.start();
    settle();
    EXPECT_TRUE(next.isMaximized());
}

TEST(HotButton, CaptionIsRedWhileTheMouseIsOverAnEnabledButton)
{
    QToolButton button;
    makeHotButton(&button, HotButtonKind::SpeedButton);
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &enter);
    EXPECT_TRUE(isLit(&button));
    QApplication::sendEvent(&button, &leave);
    EXPECT_FALSE(isLit(&button));
    button.setEnabled(false);
    QApplication::sendEvent(&button, &enter);
    EXPECT_FALSE(isLit(&button));
}

TEST_F(MainWindowTest, StatusLineAndCountersFollowTheShownRecord)
{
    const auto statusText = [this] {
        return window.recordFormPane()->findChild<QLabel *>(QString(), Qt::FindDirectChildrenOnly)
            ->text();
    };
    RecordSpeedBar *bar = window.recordSpeedBar();
    EXPECT_EQ(statusText(), "Read/Write Access");
    EXPECT_EQ(bar->positionCounter()->text(), "1") << "Aureus, alone under A";
    EXPECT_EQ(bar->percentCounter()->text(), "100%");
    EXPECT_FALSE(bar->button(RecordButton::Previous)->isEnabled());
    EXPECT_TRUE(bar->button(RecordButton::Next)->isEnabled()) << "D and S follow";

    window.action(Command::NewRecord)->trigger();
    EXPECT_EQ(statusText(), "New Record");
    EXPECT_EQ(bar->positionCounter()->text(), "");

    window.action(Command::Next)->trigger();
    EXPECT_EQ(statusText(), "Read/Write Access");
    EXPECT_EQ(window.session().recordNumber(), 2) << "Denarius, the next letter with records";
}

// F4 opens the record form popup; `whileOpen` sees it as the user does and may pick an
// item from it.
void withRecordFormPopup(TForm1 &window, const std::function<void(QMenu &)> &whileOpen)
{
    QTimer::singleShot(0, [&] {
        auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        EXPECT_NE(popup, nullptr);
        if (!popup)
            return;
        whileOpen(*popup);
        if (popup->isVisible())
            popup->close();
    });
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F4, Qt::NoModifier);
    QApplication::sendEvent(window.listPane(), &press);
}

QAction *menuItem(const QMenu &menu, const QString &caption)
{
    for (QAction *item : menu.actions())
        if (item->text() == caption)
            return item;
    return nullptr;
}

// Undo, Delete and Synchronize are the record speed bar's buttons: enabled with them.
TEST_F(MainWindowTest, RecordFormPopupItemsFollowTheRecordSpeedBar)
{
    const struct {
        const char *caption;
        RecordButton button;
    } items[] = {{"&Undo Changes", RecordButton::Undo},
                 {"&Delete Record", RecordButton::Delete},
                 {"S&ynchronize", RecordButton::Synchronize}};
    for (bool enabled : {true, false}) {
        for (const auto &item : items)
            window.recordSpeedBar()->button(item.button)->setEnabled(enabled);
        withRecordFormPopup(window, [&](QMenu &popup) {
            for (const auto &item : items) {
                const QAction *action = menuItem(popup, item.caption);
                ASSERT_NE(action, nullptr) << item.caption;
                EXPECT_EQ(action->isEnabled(), enabled) << item.caption;
            }
            for (const char *later : {"&Paste Record", "&Copy Record", "P&rint Record"})
                EXPECT_FALSE(menuItem(popup, later)->isEnabled()) << later;
        });
    }
}

TEST_F(MainWindowTest, RecordFormPopupRunsTheRecordCommands)
{
    auto *description = qobject_cast<QLineEdit *>(
        qobject_cast<RecordFormPages *>(window.formPages())->fieldControl(0));
    ASSERT_NE(description, nullptr);
    ASSERT_EQ(description->text(), "Aureus");

    description->setText(QStringLiteral("Aureus of Nero"));
    withRecordFormPopup(window, [](QMenu &popup) { QTest::keyClick(&popup, Qt::Key_U); });
    settle();
    EXPECT_EQ(description->text(), "Aureus") << "Undo Changes";

    settings.databaseOptions.recordDeleteMode = settings::RecordDeleteMode::Immediate;
    const quint32 before = window.database().recordCount();
    withRecordFormPopup(window, [](QMenu &popup) { QTest::keyClick(&popup, Qt::Key_D); });
    settle();
    EXPECT_EQ(window.database().recordCount(), before - 1) << "Delete Record";
}

// Inside the multi-line Notes field Ctrl+Home and Ctrl+End move within the text and the
// typing goes on there; elsewhere the window takes them for paging (see above).
TEST_F(MainWindowTest, CtrlHomeAndEndStayInsideMultiLineText)
{
    auto *form = qobject_cast<RecordFormPages *>(window.formPages());
    auto *notes = qobject_cast<QPlainTextEdit *>(form->fieldControl(24));
    ASSERT_NE(notes, nullptr);
    window.show();
    window.activateWindow();
    form->showField(24);
    notes->setFocus();
    settle();
    notes->setPlainText(QStringLiteral("struck at Lyon\nworn"));
    QTextCursor middle = notes->textCursor();
    middle.setPosition(5);
    notes->setTextCursor(middle);
    const QChar letter = window.recordList()->currentLetter();

    QTest::keyClick(notes, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(notes, QStringLiteral("."));
    QTest::keyClick(notes, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClicks(notes, QStringLiteral("Silver, "));
    EXPECT_EQ(notes->toPlainText(), QStringLiteral("Silver, struck at Lyon\nworn."));
    EXPECT_EQ(QApplication::focusWidget(), notes);
    EXPECT_EQ(window.recordList()->currentLetter(), letter);

}

// Each command of the two speed bars shows its own picture, found on any desktop through
// the fallback icon theme (the offscreen platform has no theme of its own).
TEST_F(MainWindowTest, SpeedBarCommandsEachShowTheirOwnIcon)
{
    QList<QToolButton *> buttons;
    for (const auto &page : window.speedBar()->buttons())
        buttons << page;
    for (int i = 0; i <= int(RecordButton::Next); ++i)
        buttons << window.recordSpeedBar()->button(RecordButton(i));
    QMap<QString, QImage> pictures; // by icon name
    for (QToolButton *button : buttons) {
        const QString hint = button->toolTip();
        const QIcon icon = button->icon();
        const QImage picture = icon.pixmap(24).toImage();
        ASSERT_FALSE(picture.isNull()) << hint.toStdString();
        for (auto other = pictures.cbegin(); other != pictures.cend(); ++other) {
            if (other.key() == icon.name())
                continue;
            EXPECT_NE(other.value(), picture) << hint.toStdString() << " looks like " << other.key().toStdString();
        }
        pictures.insert(icon.name(), picture);
    }
}

// The menus show the keys, and a key still runs its command once: the window's key
// filter owns it.
TEST_F(MainWindowTest, MenuItemsShowTheirKeysAndAKeyRunsItsCommandOnce)
{
    const struct {
        Command command;
        QKeySequence shown;
    } cases[] = {{Command::NewRecord, QKeySequence(Qt::CTRL | Qt::Key_N)},
                 {Command::First, QKeySequence(Qt::CTRL | Qt::Key_Home)},
                 {Command::Next, QKeySequence(Qt::ALT | Qt::Key_PageDown)}};
    for (const auto &c : cases)
        EXPECT_EQ(window.action(c.command)->shortcut(), c.shown) << c.shown.toString().toStdString();

    window.show();
    window.activateWindow();
    window.listPane()->setFocus();
    settle();
    QSignalSpy runs(window.action(Command::NewRecord), &QAction::triggered);
    QTest::keyClick(window.listPane(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(runs.count(), 1);
}

// Seen from inside each pass: the letter count asks for every letter whether letter tabs
// are on, and writing a record runs the form table's after-post hook.
TEST_F(MainWindowTest, LetterCountAndRecordWriteShowTheHourglassWhileTheyRun)
{
    using Shape = std::optional<Qt::CursorShape>;
    const auto cursorNow = []() -> Shape {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        return cursor ? Shape(cursor->shape()) : std::nullopt;
    };
    database::DatabaseManager &database = window.database();
    const auto letterTabsOn = database.hooks.letterTabsOn;
    Shape duringCount;
    database.hooks.letterTabsOn = [&] {
        duringCount = cursorNow();
        return letterTabsOn();
    };
    database.countLetters();
    database.hooks.letterTabsOn = letterTabsOn;
    EXPECT_EQ(duringCount, Qt::WaitCursor);
    EXPECT_EQ(cursorNow(), std::nullopt);

    Shape duringWrite;
    window.session().formTable().afterPost = [&](store::Table &) { duringWrite = cursorNow(); };
    ASSERT_TRUE(window.session().saveCheck()) << "the shown Aureus is written back";
    window.session().formTable().afterPost = nullptr;
    EXPECT_EQ(duringWrite, Qt::WaitCursor);
    EXPECT_EQ(cursorNow(), std::nullopt);
}

TEST_F(MainWindowTest, AltDigitShowsThatFormPage)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_3, Qt::AltModifier);
    QApplication::sendEvent(window.listPane(), &press);
    EXPECT_EQ(window.formPages()->currentIndex(), 2);
}

TEST_F(MainWindowTest, ManualOpensItsFirstPageInTheBrowserOrSaysItIsMissing)
{
    FileOpener browser;
    window.action(Command::Manual)->trigger();
    EXPECT_TRUE(browser.opened.isEmpty());
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Could not load Manual.rtf file!\rTry to load Manual.rtf file "
                                    "into your word processor.");
    EXPECT_EQ(prompt.shown[0].kind, MessageKind::Error);

    const QString pages = settings.folders.programFolder + "/manual";
    ASSERT_TRUE(QDir().mkpath(pages));
    QFile page(pages + "/index.html");
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    prompt.shown.clear();
    window.action(Command::Manual)->trigger();
    EXPECT_EQ(browser.opened, QList<QUrl>{QUrl::fromLocalFile(page.fileName())});
    EXPECT_TRUE(prompt.shown.empty());
}

} // namespace
} // namespace numora::mainwin

#include "main_window_test.moc"
