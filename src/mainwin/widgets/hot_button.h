#pragma once
// Buttons that light up: while the mouse is over an enabled button its caption is red,
// and black again once the mouse has left. Buttons of the paging row also check again
// half a second after lighting up, since a fast move off the button may leave no leave
// event behind.

class QAbstractButton;

namespace numora::mainwin {

enum class HotButtonKind { SpeedButton, PagingButton };

// The button keeps the behaviour for its life.
void makeHotButton(QAbstractButton *button, HotButtonKind kind);

// Whether the button's caption is lit now.
bool isLit(const QAbstractButton *button);

} // namespace numora::mainwin
