#pragma once
// The folder path edit of the Options window: its button opens a folder chooser that
// starts at the typed path, and leaving it with a path that is no existing folder is
// refused ("Invalid directory!") while validation is on.

#include "editors/widgets/my_btn_edit.h"
#include "core/prompt.h"

#include <memory>

namespace numora::editors {

inline constexpr char kInvalidDirectory[] = "Invalid directory!";

// Whether `path` names an existing folder; the process's current folder is not used
// to decide it, so a relative path is refused.
bool isExistingFolder(const QString &path);

class TDirEdit : public TMyBtnEdit {
    Q_OBJECT
public:
    explicit TDirEdit(QWidget *parent = nullptr);
    ~TDirEdit() override;

    bool validates() const { return validate_; }
    void setValidate(bool validate) { validate_ = validate; }
    // Messages go here instead of message boxes (tests).
    void setPrompt(Prompt *prompt) { prompt_ = prompt; }

protected:
    void buttonClicked() override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool validate_ = true;
    std::unique_ptr<Prompt> ownPrompt_;
    Prompt *prompt_;
};

} // namespace numora::editors
