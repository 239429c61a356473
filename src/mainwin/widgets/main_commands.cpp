#include "mainwin/widgets/main_commands.h"

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
        {M::File, C::NewRecord, "&New Record", "Add New Record [Ctrl+N]"},
        {M::File, C::LoadDatabase, "&Load Database", "Load Another Database"},
        {M::File, C::Print, "&Print", "Print Reports Or Labels [Ctrl+P]", true},
        {M::File, C::TableView, "&Table View", "View Database As A Table"},
        {M::File, C::HtmlReport, "&HTML Report", "Create HTML Report"},
        {M::File, C::Exit, "&Exit", "Exit Program", true},
        {M::Search, C::Find, "&Find", "Find Records [Ctrl+F]"},
        {M::Search, C::Replace, "&Replace", "Replace Field Values"},
        {M::Options, C::Options, "&Options", "Program Options [Ctrl+O]"},
        {M::Move, C::First, "&First", "GoTo First Page [Ctrl+Home]"},
        {M::Move, C::PageUp, "Page &Up", "GoTo Previous Page [Ctrl+PgUp]"},
        {M::Move, C::PageDown, "Page &Down", "GoTo Next Page [Ctrl+PgDn]"},
        {M::Move, C::Last, "&Last", "GoTo Last Page [Ctrl+End]"},
        {M::Move, C::Previous, "&Previous", "GoTo Previous Record [Alt+PgUp]", true},
        {M::Move, C::Next, "&Next", "GoTo Next Record [Alt+PgDn]"},
        {M::Advanced, C::Export, "&Export", "Export Records"},
        {M::Advanced, C::Import, "&Import", "Import Records"},
        {M::Advanced, C::Password, "&Password", "Change Password", true},
        {M::Advanced, C::Maintenance, "&Maintenance", "Database Maintenance"},
        {M::Advanced, C::Filter, "&Filter", "Set Filter", true},
        {M::Advanced, C::Sort, "&Sort", "Sort Options"},
        {M::Advanced, C::Summary, "S&ummary", "Database Summary"},
        {M::Help, C::HelpContents, "&Help Contents", "Help Contents"},
        {M::Help, C::Tips, "&Tips", "Display Tips"},
        {M::Help, C::Manual, "&Manual", "Open The Manual"},
        {M::Help, C::HomePage, "Home &Page", "Visit Home Page [Ctrl+G]", true},
        {M::Help, C::OnlineFaq, "&Online FAQ", "Frequently Asked Questions"},
        {M::Help, C::EmailSupport, "&Email Support", "Send Email To Support"},
        {M::Help, C::About, "&About", "About This Program", true},
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
