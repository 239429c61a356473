#pragma once
// The about window: the product's name, its version and the program icon. Opened from the
// Help menu it lets the icon grow from a single pixel to its natural size; the start of
// the program shows it as the splash window instead, icon at full size and no OK button.

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

namespace numora::mainwin {

class AboutWindow : public QDialog {
    Q_OBJECT
public:
    enum class Use { About, Splash };
    explicit AboutWindow(Use use, QWidget *parent = nullptr);

    QSize iconSize() const;

private:
    void growIcon();

    QLabel *icon_;
    QPushButton *ok_;
    QTimer *growth_;
    QSize shownIconSize_;
};

} // namespace numora::mainwin
