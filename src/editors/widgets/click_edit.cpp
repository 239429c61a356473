#include "editors/widgets/click_edit.h"

namespace numora::editors {

TClickEdit::TClickEdit(QWidget *parent) : TMyBtnEdit(parent) { setAutoSelect(false); }

} // namespace numora::editors
