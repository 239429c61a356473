#pragma once
// The pop-up calculator of a currency field ("Calculator"): buttons and typed keys go
// to a Calculator, and every change of its text is announced so the field can show it
// while the calculator is open. The field decides what OK and Cancel do with it.

#include "editors/calculator.h"

#include <QDialog>
#include <QMap>

class QAbstractButton;
class QPushButton;

namespace numora::editors {

class TMyBtnEdit;

class TCalcDlg : public QDialog {
    Q_OBJECT
public:
    // Opens below `field` (when given).
    explicit TCalcDlg(TMyBtnEdit *field = nullptr);

    const Calculator &calculator() const { return calculator_; }
    // The button of a calculator key ('0'..'9', '.', '\b', '_', 'C', operators).
    QAbstractButton *keyButton(QChar key) const { return keys_.value(key); }
    QPushButton *okButton() const { return ok_; }
    QPushButton *cancelButton() const { return cancel_; }

signals:
    void displayChanged(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void press(QChar key);
    void addKey(const char *caption, QChar key, const char *hint, int row, int column);
    // The calculator key of a typed key, a null character for none.
    static QChar keyOf(const QKeyEvent &event);

    Calculator calculator_;
    QMap<QChar, QAbstractButton *> keys_;
    QPushButton *ok_;
    QPushButton *cancel_;
};

} // namespace numora::editors
