#pragma once
// The record form's lookup field: an editable drop-down whose items are the values
// learned so far for one field, kept in a list table of the database folder (see
// database::LookupList). A value typed and left behind is learned; with Auto-Fill on,
// typing completes the text from the items. Two controls on the same list are twins:
// a value learned in one shows up in both.
//
// The layout gives each control its `Source` (list1.dbf ...); the form attaches the
// controls to the open database, which binds the list tables.

#include "database/lookup_list.h"

#include <QComboBox>
#include <QPointer>

#include <functional>
#include <memory>

namespace numora::editors {

// Where the lists live and what the control asks of the program.
struct LookupEnvironment {
    QString databaseFolder;
    QString programFolder;
    Prompt *prompt = nullptr;
    std::function<bool()> autoFill; // the database option "Auto-Fill"; none means off
};

class TLookup : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QString Source READ source WRITE setSource)
    Q_PROPERTY(bool AskUser READ askUser WRITE setAskUser)

public:
    static const QString DefaultHint;

    explicit TLookup(QWidget *parent = nullptr);
    ~TLookup() override;

    // Before the control is attached the name is only remembered; afterwards a new name
    // binds the new list at once.
    QString source() const { return source_; }
    void setSource(const QString &source);
    bool askUser() const { return askUser_; }
    void setAskUser(bool askUser) { askUser_ = askUser; }
    TLookup *twin() const { return twin_; }
    void setTwin(TLookup *twin) { twin_ = twin; }

    // Binds the list table of the database (making it from the template when missing)
    // and loads the items. Called again when another database folder opens.
    void attach(const LookupEnvironment &environment);

    QString text() const { return currentText(); }
    void setText(const QString &text) { setEditText(text); }

    // Empties the items and reads them again from the list table; the text stays.
    void reloadItems();
    // Learns the text when it is new; the form also calls this when it writes the record.
    void learnTypedValue();

    const database::LookupList *list() const { return list_.get(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool autoFillOn() const;
    bool tryAutoFill(QChar typed);
    void showItems();
    void bind();

    QString source_;
    bool askUser_ = true;
    QPointer<TLookup> twin_;
    LookupEnvironment environment_;
    std::unique_ptr<database::LookupList> list_;
};

} // namespace numora::editors
