#include "platform/progress_window.h"

#include "platform/percentage_bar.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace numora::platform {

namespace {

// Often enough for a bar that moves smoothly, rarely enough that a pass over many small
// records does not spend its time in the event loop.
constexpr qint64 catchUpIntervalMs = 50;

} // namespace

ProgressWindow::ProgressWindow(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowStaysOnTopHint),
      bar_(new PercentageBar(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(bar_);
    setFixedSize(sizeHint());
    setCaption(QString());
    showProgress();
}

void ProgressWindow::setCaption(const QString &caption)
{
    setWindowTitle(caption.isEmpty() ? tr("Progress") : caption);
}

void ProgressWindow::setTotal(int total)
{
    total_ = total;
    position_ = 0;
    showProgress();
}

void ProgressWindow::step()
{
    ++position_;
    showProgress();
}

void ProgressWindow::setPosition(int position)
{
    position_ = position;
    showProgress();
}

int ProgressWindow::shownPercentage() const { return bar_->percentage(); }

void ProgressWindow::begin(const QString &caption)
{
    setCaption(caption);
    setTotal(0);
    show();
    centreOnScreen();
    raise();
    sinceCatchUp_.invalidate(); // paint at once: no event loop runs during the pass
    letWindowSystemCatchUp();
}

void ProgressWindow::end() { hide(); }

// After showing, when the window system has told the size of the frame.
void ProgressWindow::centreOnScreen()
{
    QRect frame = frameGeometry();
    frame.moveCenter(screen()->availableGeometry().center());
    move(frame.topLeft());
}

void ProgressWindow::closeEvent(QCloseEvent *event) { event->ignore(); }

void ProgressWindow::showProgress()
{
    bar_->setPercentage(percentage(position_, total_));
    letWindowSystemCatchUp();
}

void ProgressWindow::letWindowSystemCatchUp()
{
    if (!isVisible())
        return;
    if (sinceCatchUp_.isValid() && sinceCatchUp_.elapsed() < catchUpIntervalMs)
        return;
    QCoreApplication::processEvents();
    sinceCatchUp_.start();
}

ProgressPass::ProgressPass(ProgressWindow &window, const QString &caption) : window_(window)
{
    window_.begin(caption);
}

ProgressPass::~ProgressPass() { window_.end(); }

} // namespace numora::platform
