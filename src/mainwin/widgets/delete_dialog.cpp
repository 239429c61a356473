#include "mainwin/widgets/delete_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace numora::mainwin {

TDeleteDlg1::TDeleteDlg1(QWidget *parent) : QDialog(parent), entry_(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Confirm Action"));
    entry_->setMaxLength(3);
    auto *warning = new QLabel(QStringLiteral("WARNING! Record Deletion cannot be Undone!"), this);
    warning->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("If you want to Delete the selected Record please"), this));
    layout->addWidget(new QLabel(QStringLiteral("type in 'YES':"), this));
    layout->addWidget(entry_);
    layout->addWidget(warning);
    layout->addWidget(buttons);
}

std::optional<QString> TDeleteDlg1::ask(QWidget *parent)
{
    TDeleteDlg1 dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.entry()->text();
}

} // namespace numora::mainwin
