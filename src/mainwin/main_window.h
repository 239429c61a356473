#pragma once
// The catalogue's main window. For now a frame that opens and closes; the record list,
// the record form and the commands arrive with the main window work.

#include <QMainWindow>

namespace numora {

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
};

} // namespace numora
