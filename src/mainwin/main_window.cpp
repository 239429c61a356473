#include "mainwin/main_window.h"

#include "platform/product_name.h"

namespace numora {

TForm1::TForm1(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(platform::productFullName());
    resize(800, 600);
}

} // namespace numora
