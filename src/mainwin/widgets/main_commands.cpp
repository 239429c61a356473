#include "mainwin/widgets/main_commands.h"

#include <QIcon>
#include <QStandardPaths>

namespace numora::mainwin {

QString menuTitle(Menu menu)
{
    switch (menu) {
    case Menu::File: return QStringLiteral("&File");
    case Menu::Search: return QStringLiteral("&Search");
    case Menu::Options: return QStringLiteral("&Options");
    case Menu::Move: return QStringLiteral("&Move");
    case Menu::Advanced: return QStringLiteral("&Advanced");
    case Menu::Help: return QStringLiteral("&Help");
    }
    return {};
}

QStringList speedBarPageTitles()
{
    return {QStringLiteral("Standard"), QStringLiteral("Advanced")};
}

const QList<MenuItem> &menuItems()
{
    using C = Command;
    using M = Menu;
    static const QList<MenuItem> items{
        {M::File, C::NewRecord, "&New Record", "Add New Record [Ctrl+N]", "document-new"},
        {M::File, C::LoadDatabase, "&Load Database", "Load Another Database", "document-open"},
        {M::File, C::Print, "&Print", "Print Reports Or Labels [Ctrl+P]", "document-print", true},
        {M::File, C::TableView, "&Table View", "View Database As A Table", "x-office-spreadsheet"},
        {M::File, C::HtmlReport, "&HTML Report", "Create HTML Report", "text-html"},
        {M::File, C::Exit, "&Exit", "Exit Program", "application-exit", true},
        {M::Search, C::Find, "&Find", "Find Records [Ctrl+F]", "edit-find"},
        {M::Search, C::Replace, "&Replace", "Replace Field Values", "edit-find-replace"},
        {M::Options, C::Options, "&Options", "Program Options [Ctrl+O]", "preferences-system"},
        {M::Move, C::First, "&First", "GoTo First Page [Ctrl+Home]", "go-first"},
        {M::Move, C::PageUp, "Page &Up", "GoTo Previous Page [Ctrl+PgUp]", "go-up"},
        {M::Move, C::PageDown, "Page &Down", "GoTo Next Page [Ctrl+PgDn]", "go-down"},
        {M::Move, C::Last, "&Last", "GoTo Last Page [Ctrl+End]", "go-last"},
        {M::Move, C::Previous, "&Previous", "GoTo Previous Record [Alt+PgUp]", "go-previous", true},
        {M::Move, C::Next, "&Next", "GoTo Next Record [Alt+PgDn]", "go-next"},
        {M::Advanced, C::Export, "&Export", "Export Records", "document-send"},
        {M::Advanced, C::Import, "&Import", "Import Records", "insert-object"},
        {M::Advanced, C::Password, "&Password", "Change Password", "dialog-password", true},
        {M::Advanced, C::Maintenance, "&Maintenance", "Database Maintenance", "system-run"},
        {M::Advanced, C::Filter, "&Filter", "Set Filter", "system-search", true},
        {M::Advanced, C::Sort, "&Sort", "Sort Options", "view-sort-ascending"},
        {M::Advanced, C::Summary, "S&ummary", "Database Summary", "document-properties"},
        {M::Help, C::HelpContents, "&Help Contents", "Help Contents", "help-contents"},
        {M::Help, C::Tips, "&Tips", "Display Tips", "dialog-information"},
        {M::Help, C::Manual, "&Manual", "Open The Manual", "help-browser"},
        {M::Help, C::HomePage, "Home &Page", "Visit Home Page [Ctrl+G]", "go-home", true},
        {M::Help, C::OnlineFaq, "&Online FAQ", "Frequently Asked Questions", "help-faq"},
        {M::Help, C::EmailSupport, "&Email Support", "Send Email To Support", "mail-send"},
        {M::Help, C::About, "&About", "About This Program", "help-about", true},
    };
    return items;
}

const QList<SpeedButton> &speedButtons()
{
    using C = Command;
    static const QList<SpeedButton> buttons{
        {0, C::NewRecord, "New", "Add New Record [Ctrl+N]"},
        {0, C::Find, "Find", "Find Records [Ctrl+F]"},
        {0, C::Replace, "Replace", "Replace Field Values"},
        {0, C::Print, "Print", "Print Reports Or Labels [Ctrl+P]"},
        {0, C::Options, "Options", "Program Options [Ctrl+O]"},
        {0, C::LoadDatabase, "Load", "Load Another Database"},
        {0, C::Exit, "Exit", "Exit Program"},
        {1, C::TableView, "Table", "View Database As A Table"},
        {1, C::HtmlReport, "HTML", "Create HTML Report"},
        {1, C::Filter, "Filter", "Set Filter"},
        {1, C::Sort, "Sort", "Sort Options"},
        {1, C::Summary, "Summary", "Database Summary"},
        {1, C::Export, "Export", "Export Records"},
        {1, C::Import, "Import", "Import Records"},
        {1, C::Maintenance, "Maintenance", "Database Maintenance"},
        {1, C::Password, "Password", "Change Password"},
    };
    return buttons;
}

const QList<CommandKey> &commandKeys()
{
    using C = Command;
    static const QList<CommandKey> keys{
        {Qt::CTRL | Qt::Key_PageUp, C::PageUp},  {Qt::CTRL | Qt::Key_PageDown, C::PageDown},
        {Qt::CTRL | Qt::Key_End, C::Last},       {Qt::CTRL | Qt::Key_Home, C::First},
        {Qt::CTRL | Qt::Key_F, C::Find},         {Qt::CTRL | Qt::Key_G, C::HomePage},
        {Qt::CTRL | Qt::Key_N, C::NewRecord},    {Qt::CTRL | Qt::Key_O, C::Options},
        {Qt::CTRL | Qt::Key_P, C::Print},        {Qt::ALT | Qt::Key_PageUp, C::Previous},
        {Qt::ALT | Qt::Key_PageDown, C::Next},
    };
    return keys;
}

QString commandIcon(Command command)
{
    for (const MenuItem &item : menuItems())
        if (item.command == command)
            return item.icon;
    return {};
}

void useFallbackIconTheme()
{
    // The first command's icon stands for the whole family: a theme has all or none.
    if (QIcon::hasThemeIcon(menuItems().front().icon))
        return;
    // Without a desktop's platform theme Qt knows neither a theme nor the system's icon
    // folders.
    QStringList folders = QIcon::themeSearchPaths();
    const QStringList system =
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                  QStandardPaths::LocateDirectory);
    for (const QString &folder : system)
        if (!folders.contains(folder))
            folders << folder;
    QIcon::setThemeSearchPaths(folders);
    const QString fallback = QStringLiteral("Adwaita");
    if (QIcon::themeName().isEmpty())
        QIcon::setThemeName(fallback);
    else
        QIcon::setFallbackThemeName(fallback);
}

bool isAvailable(Command command)
{
    switch (command) {
    case Command::Exit:
    case Command::NewRecord:
    case Command::Previous:
    case Command::Next:
    case Command::First:
    case Command::PageUp:
    case Command::PageDown:
    case Command::Last:
    case Command::HelpContents:
    case Command::Manual:
    case Command::HomePage:
    case Command::OnlineFaq:
    case Command::EmailSupport:
    case Command::About:
        return true;
    default:
        return false;
    }
}

} // namespace numora::mainwin
