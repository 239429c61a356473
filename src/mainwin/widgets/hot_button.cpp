#include "mainwin/widgets/hot_button.h"

#include <QAbstractButton>
#include <QEvent>
#include <QTimer>

namespace numora::mainwin {

namespace {

constexpr int kRecheckMilliseconds = 500;

void light(QAbstractButton *button, bool lit)
{
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, lit ? QColor(Qt::red) : QColor(Qt::black));
    button->setPalette(palette);
}

class HotButtonFilter : public QObject {
public:
    HotButtonFilter(QAbstractButton *button, HotButtonKind kind) : QObject(button), kind_(kind) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *button = static_cast<QAbstractButton *>(watched);
        if (event->type() == QEvent::Enter && button->isEnabled()) {
            light(button, true);
            if (kind_ == HotButtonKind::PagingButton)
                QTimer::singleShot(kRecheckMilliseconds, button, [button] {
                    if (!button->underMouse())
                        light(button, false);
                });
        } else if (event->type() == QEvent::Leave) {
            light(button, false);
        }
        return false;
    }

private:
    HotButtonKind kind_;
};

} // namespace

void makeHotButton(QAbstractButton *button, HotButtonKind kind)
{
    button->installEventFilter(new HotButtonFilter(button, kind));
}

bool isLit(const QAbstractButton *button)
{
    return button->palette().color(QPalette::ButtonText) == QColor(Qt::red);
}

} // namespace numora::mainwin
