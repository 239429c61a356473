#include "mainwin/widgets/main_window.h"

#include "mainwin/widgets/record_form_pages.h"
#include "mainwin/widgets/record_list_pane.h"
#include "mainwin/widgets/record_row_button.h"
#include "mainwin/widgets/record_speed_bar.h"
#include "mainwin/widgets/list_header.h"
#include "core/help_topics.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMap>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>
#include <optional>

// The window's popups and the keys it takes before the focused control.

namespace numora::mainwin {

namespace {

bool isLetterKey(int key)
{
    return key >= Qt::Key_A && key <= Qt::Key_Z;
}

// A ticked choice among `captions`; `choose` gets the index of the item chosen.
void addChoices(QMenu &menu, const QStringList &captions, int current,
                const std::function<void(int)> &choose)
{
    for (int i = 0; i < captions.size(); ++i) {
        QAction *item = menu.addAction(captions[i], [choose, i] { choose(i); });
        item->setCheckable(true);
        item->setChecked(i == current);
    }
}

// Ctrl+Home and Ctrl+End move to the start and end of the text in every editor; inside a
// multi-line text field they stay there instead of paging the list.
bool isMultiLineTextKey(const QWidget *receiver, QKeyCombination key)
{
    static const QKeyCombination textKeys[] = {QKeyCombination(Qt::ControlModifier, Qt::Key_Home),
                                               QKeyCombination(Qt::ControlModifier, Qt::Key_End)};
    const bool multiLine = qobject_cast<const QPlainTextEdit *>(receiver) || qobject_cast<const QTextEdit *>(receiver);
    return multiLine && std::find(std::begin(textKeys), std::end(textKeys), key) != std::end(textKeys);
}

// The record form popup. An item with a record speed bar button is that button: enabled
// with it, running its command; the copy buffer, the templates and printing come with
// their own work, so those items stay disabled until then.
struct RecordFormMenuItem {
    QString caption;
    std::optional<RecordButton> button;
    bool submenu = false;
};

const RecordFormMenuItem kRecordFormMenuItems[] = {
    {QStringLiteral("R&eplace Record With Template"), std::nullopt, true},
    {QStringLiteral("&Save Record To Template"), std::nullopt},
    {QStringLiteral("&View Copy Buffer"), std::nullopt, true},
    {QStringLiteral("&Paste Record"), std::nullopt},
    {QStringLiteral("&Copy Record"), std::nullopt},
    {QStringLiteral("&Undo Changes"), RecordButton::Undo},
    {QStringLiteral("&Delete Record"), RecordButton::Delete},
    {QStringLiteral("P&rint Record"), std::nullopt},
    {QStringLiteral("S&ynchronize"), RecordButton::Synchronize},
};

} // namespace

std::unique_ptr<QMenu> TForm1::createBackgroundMenu()
{
    settings::DatabaseOptions &options = settings_.databaseOptions;
    auto menu = std::make_unique<QMenu>(this);
    QMenu *bars = menu->addMenu(QStringLiteral("&Menus And SpeedBars"));
    addChoices(*bars,
               {QStringLiteral("Show Both"), QStringLiteral("Show Only Menus"),
                QStringLiteral("Show Only Speed Bars")},
               int(options.menusAndSpeedBars), [this](int mode) {
                   setMenusAndSpeedBars(settings::MenusAndSpeedBars(mode));
               });
    bars->addSeparator();
    addChoices(*bars,
               {QStringLiteral("Speed Bar At The Top"), QStringLiteral("Speed Bar At The Bottom")},
               int(options.speedBarLocation), [this, &options](int location) {
                   options.speedBarLocation = settings::SpeedBarLocation(location);
                   layOutPanes();
               });
    QMenu *letters = menu->addMenu(QStringLiteral("&Letter Tabs"));
    addChoices(*letters, {QStringLiteral("Enabled"), QStringLiteral("Disabled")},
               int(options.letterTabs),
               [this](int mode) { setLetterTabsMode(settings::LetterTabs(mode)); });
    letters->addSeparator();
    addChoices(*letters,
               {QStringLiteral("Display In Center"), QStringLiteral("Display On Right Side")},
               int(options.letterTabsLocation), [this, &options](int location) {
                   options.letterTabsLocation = settings::LetterTabsLocation(location);
                   layOutPanes();
               });
    addChoices(*menu->addMenu(QStringLiteral("H&int Messages")),
               {QStringLiteral("Show"), QStringLiteral("Hide")}, int(options.hintMessages),
               [&options](int hints) { options.hintMessages = settings::HintMessages(hints); });
    addChoices(*menu->addMenu(QStringLiteral("&Record Delete Mode")),
               {QStringLiteral("Ask User To Confirm"), QStringLiteral("Immediate Delete")},
               int(options.recordDeleteMode), [&options](int mode) {
                   options.recordDeleteMode = settings::RecordDeleteMode(mode);
               });
    menu->addAction(QStringLiteral("&Help"), this, [this] { showHelp(help::DisplayOptions); });
    return menu;
}

std::unique_ptr<QMenu> TForm1::createRecordFormMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    for (const RecordFormMenuItem &entry : kRecordFormMenuItems) {
        QAction *item = entry.submenu ? menu->addMenu(entry.caption)->menuAction() : menu->addAction(entry.caption);
        if (!entry.button) {
            item->setEnabled(false);
            continue;
        }
        item->setEnabled(recordSpeedBar_->button(*entry.button)->isEnabled());
        connect(item, &QAction::triggered, this, [this, button = *entry.button] { runRecordButton(button); });
    }
    menu->addAction(QStringLiteral("&Help"), this, [this] { showHelp(help::RecordFormMenu); });
    return menu;
}

void TForm1::popUp(std::unique_ptr<QMenu> menu, QPoint windowOffset)
{
    menu->exec(geometry().topLeft() + windowOffset);
}

// The keys the window takes from the focused control. A key that stands for a command is
// consumed even while the command is disabled.
bool TForm1::handleKey(const QWidget &receiver, const QKeyEvent &event)
{
    const QKeyCombination combination = event.keyCombination();
    if (isMultiLineTextKey(&receiver, combination))
        return false;
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
        return handleRecordKey(key);
    }
    return modifiers == Qt::NoModifier && handleFunctionKey(key);
}

// The record speed bar's keys: each acts only while its button is enabled, and is taken
// from the focused control either way.
bool TForm1::handleRecordKey(int key)
{
    static const QMap<int, RecordButton> buttons = {
        {Qt::Key_Delete, RecordButton::Delete}, {Qt::Key_C, RecordButton::Copy},
        {Qt::Key_T, RecordButton::Paste},       {Qt::Key_U, RecordButton::Undo},
        {Qt::Key_P, RecordButton::Print},       {Qt::Key_Y, RecordButton::Synchronize},
    };
    const auto found = buttons.find(key);
    if (found == buttons.end())
        return false;
    if (recordSpeedBar_->button(*found)->isEnabled())
        runRecordButton(*found);
    return true;
}

// The popups, each at its fixed place relative to the window.
bool TForm1::handleFunctionKey(int key)
{
    constexpr int kLeft = 50;
    constexpr int kBelowTop = 10;
    const auto below = [this](const QWidget *widget, int dx) {
        return QPoint(kLeft + dx, widget->mapTo(this, QPoint(0, 0)).y() + kBelowTop);
    };
    const int sortBarWidth = recordList_->sortButton(0)->width() * 3;
    switch (key) {
    case Qt::Key_F2: popUp(createBackgroundMenu(), {kLeft, 100}); return true;
    case Qt::Key_F3: {
        const QList<TFormatedButton *> &rows = recordList_->rows();
        if (rows.isEmpty())
            return true;
        int row = int(rows.indexOf(qobject_cast<TFormatedButton *>(QApplication::focusWidget())));
        if (row < 0) {
            row = 0;
            rows[0]->setFocus();
        }
        popUp(recordList_->createRowMenu(row), below(rows[row], 0));
        return true;
    }
    case Qt::Key_F4: popUp(createRecordFormMenu(), {width() / 2 + kLeft, 200}); return true;
    case Qt::Key_F5:
        popUp(recordList_->header()->createPopupMenu(), below(recordList_->header(), 0));
        return true;
    case Qt::Key_F6:
        popUp(recordList_->createPrimarySortMenu(), below(recordList_->sortButton(0), 0));
        return true;
    case Qt::Key_F7:
        popUp(recordList_->createSecondarySortMenu(),
              below(recordList_->sortButton(1), sortBarWidth / 3));
        return true;
    case Qt::Key_F8:
        popUp(recordList_->createFilterMenu(),
              below(recordList_->sortButton(2), sortBarWidth * 2 / 3));
        return true;
    default: return false;
    }
}

// With letter tabs in use a letter jumps to its tab and any other key passes on; without
// them every Ctrl+Alt key is swallowed.
bool TForm1::handleCtrlAltKey(int key)
{
    if (!recordList_->letterTabsInUse())
        return true;
    if (!isLetterKey(key))
        return false;
    recordList_->setLetter(QChar(u'A' + (key - Qt::Key_A)));
    return true;
}

} // namespace numora::mainwin
