#include "mainwin/main_window.h"
#include "platform/termination_signal.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Numora"));
    numora::TForm1 window;
    numora::platform::TerminationSignal termination;
    QObject::connect(&termination, &numora::platform::TerminationSignal::requested, &window, &QWidget::close);
    window.show();
    return QApplication::exec();
}
