#pragma once
// The main window's commands as data: where each one sits in the menus and on the two
// speed bar pages, with its caption, hint and key. The window builds one action per
// command from these tables, so a menu item, its speed button and its key always agree.

#include <QKeyCombination>
#include <QList>
#include <QString>

namespace numora::mainwin {

enum class Command {
    NewRecord, LoadDatabase, Print, TableView, HtmlReport, Exit,
    Find, Replace, Options,
    First, PageUp, PageDown, Last, Previous, Next,
    Export, Import, Password, Maintenance, Filter, Sort, Summary,
    HelpContents, Tips, Manual, HomePage, OnlineFaq, EmailSupport, About,
};

// "Options" is an item of the menu bar itself, not a menu.
enum class Menu { File, Search, Options, Move, Advanced, Help };

struct MenuItem {
    Menu menu;
    Command command;
    QString caption;
    QString hint;
    QString icon; // a freedesktop icon name; the speed button shows the same icon
    bool separatorBefore = false;
};

struct SpeedButton {
    int page; // 0 "Standard", 1 "Advanced"
    Command command;
    QString caption;
    QString hint;
};

struct CommandKey {
    QKeyCombination key;
    Command command;
};

QString menuTitle(Menu menu);
QStringList speedBarPageTitles();

// In menu order; the menus appear in the order of their first item.
const QList<MenuItem> &menuItems();
// Per page, in tab order.
const QList<SpeedButton> &speedButtons();
// Keys the window takes before the focused control and turns into commands.
const QList<CommandKey> &commandKeys();

// The icon name of the command's menu item.
QString commandIcon(Command command);

// Icons come from the desktop's icon theme by their freedesktop names. Where that theme
// lacks them (a desktop without one, the offscreen platform) the Adwaita theme installed
// with the program stands in, so no button is left blank.
void useFallbackIconTheme();

// The commands that work in this build; the others wait for the work that builds them and
// stay disabled.
bool isAvailable(Command command);

} // namespace numora::mainwin
