#pragma once
// The date field: a button edit whose text is a fixed date pattern (DateEditText), a
// menu of its own (Undo, Today, Clear, font, colour, date format, help) and a button
// that opens the pop-up calendar. The record form reads and writes it as a QDate, a
// null date standing for an empty field.
//
// It keeps itself readable: disabled by the form it still shows its date in its normal
// colours, but takes no input and opens no menu.

#include "editors/date_edit_text.h"
#include "editors/widgets/my_btn_edit.h"
#include "core/prompt.h"

#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace numora::editors {

class TDateEdit : public TMyBtnEdit {
    Q_OBJECT
public:
    // Starts empty in the system's short date format.
    explicit TDateEdit(QWidget *parent = nullptr);
    ~TDateEdit() override;

    // Null while the field is empty. A text that cannot be read (only possible while
    // the user is still typing) gives the date the field had when the user entered it,
    // so a half-typed date is never stored as some other day.
    QDate date() const;
    // A null date empties the field. Also the text Undo goes back to.
    void setDate(const QDate &date);
    // An empty text empties the field; a text that is a date in the field's pattern
    // replaces the shown one; anything else is refused and changes nothing.
    bool setDateText(const QString &text);
    bool isEmpty() const { return text_.isEmpty(); }
    // False while the text is no date and not empty (the user is typing, or typed an
    // impossible date such as 02/31/2020).
    bool isReadable() const { return text_.reading() != DateEditText::Reading::Invalid; }

    settings::DateFormat dateFormat() const { return formatOf(text_.pattern()); }
    // Keeps the date shown.
    void setDateFormat(settings::DateFormat format);
    DatePattern datePattern() const { return text_.pattern(); }
    void setDatePattern(DatePattern pattern);

    // For the form's save check while the focus is still in the field: reports
    // "Invalid Date!" and returns false for a text that cannot be read.
    bool checkDate();

    // Filter windows offer no font or colour for their date fields.
    void hideFontAndColourItems();
    QMenu *menu() const { return menu_; }

    void setHelpContext(int context) { helpContext_ = context; }
    // Messages go here instead of message boxes (tests).
    void setPrompt(Prompt *prompt) { prompt_ = prompt; }

    // What the calendar does with the date the user took: writes it unless the field is
    // read-only, then gives the field the focus with the caret at the start.
    void takeCalendarDate(const QDate &date);

signals:
    void OnSetFont(QMenu *menu);
    void OnSetColor(QMenu *menu);
    // The user chose a format from the menu; the main window keeps it in date.dat.
    void OnSetFormat(settings::DateFormat format);
    void helpRequested(int context);

protected:
    void buttonClicked() override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void buildMenu();
    void updateMenu();
    void showText();
    void focusAtStart();
    // After a change the user made: shows it and tells the form.
    void userChanged();
    // Runs a key's change and tells the form only when the text did change.
    void changeText(const std::function<void()> &change);
    void remember() { remembered_ = text_.text(); }

    DateEditText text_;
    QString remembered_;
    bool returningAfterError_ = false;
    int helpContext_ = 0;
    QMenu *menu_ = nullptr;
    QAction *undo_ = nullptr, *today_ = nullptr, *clear_ = nullptr;
    QAction *font_ = nullptr, *colour_ = nullptr;
    QList<QAction *> formatItems_;
    std::unique_ptr<Prompt> ownPrompt_;
    Prompt *prompt_;
};

} // namespace numora::editors
