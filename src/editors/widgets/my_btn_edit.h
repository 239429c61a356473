#pragma once
// The one-line edit with a button at its right end that the record form's special
// fields are built on: the button opens an assistant (calendar, calculator, folder
// chooser ...). Subclasses decide which characters the edit takes and what the button
// does. The base also keeps the read-only rules and the colours every field shows,
// so the form sets them the same way on every editor.
//
// Read-only: the edit counts as read-only while it is disabled or its read-only state
// is set. An edit that keeps itself readable (the date edit) is not greyed out when the
// form disables it: it stays enabled on screen in the read-only state, and its menu no
// longer opens by right click.

#include "editors/popup_placement.h"

#include <QColor>
#include <QLineEdit>

namespace numora::editors {

class TEditButton;

class TMyBtnEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TMyBtnEdit(QWidget *parent = nullptr);

    TEditButton *button() const { return button_; }
    bool buttonVisible() const { return buttonVisible_; }
    void setButtonVisible(bool visible);
    void setButtonHint(const QString &hint);
    QString buttonHint() const;

    // Select the whole text when the focus arrives by keyboard.
    bool autoSelect() const { return autoSelect_; }
    void setAutoSelect(bool autoSelect) { autoSelect_ = autoSelect; }

    // The form's enabled state. A keep-readable edit stays enabled on screen.
    void setFieldEnabled(bool enabled);
    bool isFieldEnabled() const;
    // The read-only state of its own, e.g. for a record another user holds.
    void setFieldReadOnly(bool readOnly);
    // Disabled or in the read-only state: typing and changes through the menu or the
    // button are ignored; copying still works.
    bool isFieldReadOnly() const;

    // The colours of the field while it can be changed; invalid colours keep the
    // style's own.
    void setNormalColours(const QColor &text, const QColor &background);
    // The colours while it is read-only; invalid ones fall back to the normal colours.
    void setReadOnlyColours(const QColor &text, const QColor &background);
    // The text colour the field shows now.
    QColor shownTextColour() const;
    QColor shownBackgroundColour() const;

    // Where a pop-up of `size` opens below this field, on its screen.
    QPoint popupPosition(const QSize &size, PopupAlignment alignment) const;

signals:
    // The user changed the text (typing, the menu, the button's assistant); never
    // raised when the program sets the value.
    void changedByUser();

protected:
    // Whether a typed character is taken; refused characters are dropped.
    virtual bool acceptsCharacter(QChar character) const;
    virtual void buttonClicked() {}
    // The text colour while the field can be changed.
    virtual QColor normalTextColour() const { return normalText_; }
    void setKeepReadable(bool keepReadable) { keepReadable_ = keepReadable; }
    // Paints the colours of the current state; call when they may have changed.
    void applyColours();
    // Whether a focus change is a real move to or from another control rather than a
    // menu, a pop-up or another window coming and going.
    static bool movesBetweenControls(Qt::FocusReason reason);

    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void placeButton();
    int minimumEditHeight() const;

    TEditButton *button_;
    bool buttonVisible_ = true;
    bool autoSelect_ = true;
    bool keepReadable_ = false;
    bool disabledButReadable_ = false;
    bool readOnlyState_ = false;
    QColor normalText_, normalBackground_;
    QColor readOnlyText_, readOnlyBackground_;
};

} // namespace numora::editors
