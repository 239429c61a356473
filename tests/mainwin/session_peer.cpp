// A second user for the multi-process editing test: opens the database of the program
// folder it is given, shows the first record of the description order (holding its lock)
// and prints "shown <description>". Each "next" line on stdin moves to the next record
// and prints the same; it ends when its stdin closes.

#include "mainwin/record_session.h"
#include "core/progress.h"
#include "session_fakes.h"
#include "database/database_manager.h"
#include "support/scripted_prompt.h"

#include <QCoreApplication>
#include <QDir>

#include <iostream>
#include <string>

using namespace numora;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    test::ScriptedPrompt prompt;
    NoProgress progress;
    database::DatabaseManager manager(prompt, progress);
    manager.programFolder = QString::fromLocal8Bit(argv[1]);
    manager.location.folder = QDir(manager.programFolder).filePath(QStringLiteral("DATA"));
    if (!manager.openDatabase()
        || !manager.changeSort(database::SortDescriptor{test::kDescrColumn, false, 0, false}))
        return 1;
    test::OneFieldForm form;
    test::LetterBrowser browser(manager);
    browser.recount();
    mainwin::RecordSession session(manager, prompt, form, browser);
    session.reload();
    std::cout << "shown " << form.description.toStdString() << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line == "next") {
            session.next();
            std::cout << "shown " << form.description.toStdString() << std::endl;
        }
    }
    return 0;
}
