#pragma once
// A button edit whose button runs whatever its owner connects to BtnClick, with a hint
// of the owner's choosing (the phone, e-mail and web edits build on it).

#include "editors/widgets/my_btn_edit.h"

namespace numora::editors {

class TClickEdit : public TMyBtnEdit {
    Q_OBJECT
public:
    explicit TClickEdit(QWidget *parent = nullptr);

signals:
    void BtnClick();

protected:
    void buttonClicked() override { emit BtnClick(); }
};

} // namespace numora::editors
