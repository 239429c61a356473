#include "mainwin/widgets/about_window.h"

#include "core/product_constants.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace numora::mainwin {

namespace {

constexpr QSize kNaturalIconSize{48, 48};
constexpr int kGrowthIntervalMs = 20;

QPixmap programIcon(QSize size)
{
    return QApplication::style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(kNaturalIconSize)
        .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

AboutWindow::AboutWindow(Use use, QWidget *parent)
    : QDialog(parent), icon_(new QLabel(this)), ok_(new QPushButton(tr("OK"), this)),
      growth_(new QTimer(this))
{
    setWindowTitle(use == Use::Splash ? QStringLiteral("Welcome") : QStringLiteral("About"));
    icon_->setFixedSize(kNaturalIconSize);
    icon_->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(icon_, 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel(productFullName(), this), 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel(versionText(), this), 0, Qt::AlignHCenter);
    layout->addWidget(ok_, 0, Qt::AlignHCenter);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(growth_, &QTimer::timeout, this, &AboutWindow::growIcon);

    if (use == Use::Splash) {
        ok_->hide();
        shownIconSize_ = kNaturalIconSize;
    } else {
        shownIconSize_ = QSize(1, 1);
        growth_->start(kGrowthIntervalMs);
    }
    icon_->setPixmap(programIcon(shownIconSize_));
}

QSize AboutWindow::iconSize() const
{
    return shownIconSize_;
}

void AboutWindow::growIcon()
{
    shownIconSize_ = shownIconSize_.grownBy(QMargins(0, 0, 1, 1)).boundedTo(kNaturalIconSize);
    icon_->setPixmap(programIcon(shownIconSize_));
    if (shownIconSize_ == kNaturalIconSize)
        growth_->stop();
}

} // namespace numora::mainwin
