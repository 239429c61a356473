#pragma once
// The number field of the record form: a right-aligned button edit that keeps a
// floating-point value, shows it through its display format (",0.00" unless the layout
// says otherwise) in one colour for positive amounts and another for negative ones,
// and opens the pop-up calculator from its button. A value of 0 counts as an empty
// field; clearing the field shows 0 through the format.

#include "editors/currency_value.h"
#include "editors/widgets/my_btn_edit.h"

namespace numora::editors {

class TCurrencyEdit : public TMyBtnEdit {
    Q_OBJECT
public:
    explicit TCurrencyEdit(QWidget *parent = nullptr);

    double value() const { return value_.value(); }
    // Stores and shows a value.
    void setValue(double value);
    // Empties the field: the value becomes 0, shown through the format.
    void clearValue();
    bool isEmpty() const { return value_.countsAsEmpty(); }
    // Reads the text into the value (a beep and the old value when it cannot be
    // read) and shows the value; the form calls it after filling the field's text.
    void refresh();

    QString displayFormat() const { return value_.displayFormat(); }
    // Cut to 20 characters; the value is shown again.
    void setDisplayFormat(const QString &notation);

    QColor plusColour() const { return plusColour_; }
    void setPlusColour(const QColor &colour);
    QColor negColour() const { return negColour_; }
    void setNegColour(const QColor &colour);

protected:
    bool acceptsCharacter(QChar character) const override;
    void buttonClicked() override;
    QColor normalTextColour() const override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showValue();

    CurrencyValue value_;
    QColor plusColour_ = Qt::blue;
    QColor negColour_ = Qt::red;
    bool negativeShown_ = false;
    bool calculatorOpen_ = false;
};

} // namespace numora::editors
