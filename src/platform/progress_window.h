#pragma once
// The Progress window of long passes: a small dialog, centred on the screen and always on
// top, with one percentage bar. One window serves every pass of a run (the database
// manager keeps the Progress it is given); a ProgressPass puts it on screen for the
// length of one pass. Passes run synchronously, so the window lets the window system
// catch up now and then as the pass reports, which keeps it painted and lets the user
// reach a Stop button.

#include "core/progress.h"

#include <QElapsedTimer>
#include <QWidget>

namespace numora::platform {

class PercentageBar;

class ProgressWindow : public QWidget, public Progress {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget *parent = nullptr);

    // An empty caption means the usual "Progress".
    void setCaption(const QString &caption) override;
    // A new total starts counting from position 0.
    void setTotal(int total) override;
    void step() override;
    void setPosition(int position) override;

    int shownPercentage() const;

    // Centres the window on its screen, shows it and paints it at once.
    void begin(const QString &caption);
    void end();

protected:
    // The window goes when its pass ends, not when the user closes it.
    void closeEvent(QCloseEvent *event) override;

private:
    void centreOnScreen();
    void showProgress();
    void letWindowSystemCatchUp();

    PercentageBar *bar_;
    int total_ = 0;
    int position_ = 0;
    QElapsedTimer sinceCatchUp_;
};

// Shows the window, counting from zero, for as long as it lives; hides it on every exit
// path, exceptions included.
class ProgressPass {
public:
    explicit ProgressPass(ProgressWindow &window, const QString &caption = QString());
    ~ProgressPass();
    ProgressPass(const ProgressPass &) = delete;
    ProgressPass &operator=(const ProgressPass &) = delete;

private:
    ProgressWindow &window_;
};

} // namespace numora::platform
