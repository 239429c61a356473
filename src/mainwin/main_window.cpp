#include "mainwin/main_window.h"

namespace numora {

TForm1::TForm1(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Brenlow Numora"));
    resize(800, 600);
}

} // namespace numora
