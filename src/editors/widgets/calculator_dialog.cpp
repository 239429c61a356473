#include "editors/widgets/calculator_dialog.h"

#include "editors/widgets/my_btn_edit.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <qdrawutil.h>

namespace numora::editors {

namespace {

constexpr QSize kSize(115, 176);

} // namespace

TCalcDlg::TCalcDlg(TMyBtnEdit *field) : QDialog(field, Qt::Dialog | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Calculator"));
    setFixedSize(kSize);
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(silver);
    setAutoFillBackground(true);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(2);
    addKey("C", u'C', "Clear", 0, 0);
    addKey("<-", u'\b', "Backspace", 0, 1);
    addKey("+/-", u'_', "Switch Sign", 0, 2);
    addKey("/", u'/', "Divide", 0, 3);
    addKey("*", u'*', "Multiply", 1, 3);
    addKey("-", u'-', "Subtract", 2, 3);
    addKey("+", u'+', "Add", 3, 3);
    for (int digit = 1; digit <= 9; ++digit) {
        const char caption[] = {char('0' + digit), 0};
        addKey(caption, QChar(u'0' + digit), "", 3 - (digit - 1) / 3, (digit - 1) % 3);
    }
    addKey(".", u'.', "Decimal Point", 4, 0);
    addKey("0", u'0', "", 4, 1);
    addKey("%", u'%', "Percent", 4, 2);
    addKey("=", u'=', "Equals", 4, 3);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setToolTip(QStringLiteral("Close and Update the edit field"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setToolTip(QStringLiteral("Close and don't Update the edit field"));
    grid->addWidget(ok_, 5, 0, 1, 2);
    grid->addWidget(cancel_, 5, 2, 1, 2);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    for (QPushButton *button : {ok_, cancel_})
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    ok_->installEventFilter(this);
    cancel_->installEventFilter(this);

    if (field)
        move(field->popupPosition(size(), PopupAlignment::FieldLeft));
}

void TCalcDlg::addKey(const char *caption, QChar key, const char *hint, int row, int column)
{
    auto *button = new QPushButton(QString::fromLatin1(caption), this);
    button->setToolTip(QString::fromLatin1(hint));
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    static_cast<QGridLayout *>(layout())->addWidget(button, row, column);
    connect(button, &QPushButton::clicked, this, [this, key] { press(key); });
    keys_.insert(key, button);
}

void TCalcDlg::press(QChar key)
{
    calculator_.press(key);
    emit displayChanged(calculator_.text());
    ok_->setFocus();
}

void TCalcDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    calculator_ = Calculator();
    emit displayChanged(calculator_.text());
    ok_->setFocus();
}

void TCalcDlg::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    qDrawShadePanel(&painter, rect(), palette(), false, 2);
}

QChar TCalcDlg::keyOf(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return u'\r';
    case Qt::Key_Backspace:
        return u'\b';
    default:
        break;
    }
    const QString typed = event.text().toUpper();
    if (typed.size() != 1)
        return {};
    const QChar key = typed.at(0);
    // The system's decimal separator is the point key too.
    if (key != u'.' && QLocale().decimalPoint() == QString(key))
        return u'.';
    return QStringLiteral("0123456789.C_+-*/%=").contains(key) ? key : QChar();
}

bool TCalcDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const QChar key = keyOf(*static_cast<QKeyEvent *>(event));
        if (!key.isNull()) {
            press(key);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace numora::editors
