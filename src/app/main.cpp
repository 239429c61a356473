#include "mainwin/main_window.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Numora"));
    numora::TForm1 window;
    window.show();
    return QApplication::exec();
}
