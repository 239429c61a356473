#pragma once
// TDeleteDlg1: the confirmation a record deletion needs unless the delete mode is
// immediate. The user has to type "YES"; what was typed is handed back and judged by the
// editing rules.

#include <QDialog>

#include <optional>

class QLineEdit;

namespace numora::mainwin {

class TDeleteDlg1 : public QDialog {
    Q_OBJECT
public:
    explicit TDeleteDlg1(QWidget *parent = nullptr);

    QLineEdit *entry() const { return entry_; }
    // Shows the dialog modally: the text typed on OK, nothing on Cancel.
    static std::optional<QString> ask(QWidget *parent);

private:
    QLineEdit *entry_;
};

} // namespace numora::mainwin
