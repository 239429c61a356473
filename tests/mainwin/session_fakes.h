#pragma once
// A record form that edits one field (the description) and a record browser over the
// database manager's letter ranges, for the editing rules without widgets.

#include "mainwin/record_session.h"
#include "database/database_manager.h"

#include <array>

namespace numora::test {

constexpr int kDescrColumn = 2;

class OneFieldForm : public mainwin::RecordForm {
public:
    bool loadFrom(const store::Table &table) override
    {
        description = table.text(kDescrColumn);
        return true;
    }
    bool writeTo(store::Table &table) override
    {
        table.setText(kDescrColumn, description);
        ++writes;
        return !damaged;
    }
    void clear() override { description.clear(); }
    bool isEmpty() const override { return description.isEmpty(); }
    bool requiredFieldsFilled() const override { return true; }
    bool checkValues() override { return true; }
    void setEditable(bool value) override { editable = value; }
    void focusFirstField() override {}

    QString description;
    bool editable = true;
    bool damaged = false;
    int writes = 0;
};

class LetterBrowser : public mainwin::RecordBrowser {
public:
    explicit LetterBrowser(database::DatabaseManager &database) : database_(database) {}

    // Counts the letters again and selects "A", as a new sort does.
    void recount()
    {
        database_.countLetters();
        for (int i = 0; i < 26; ++i)
            counts_[size_t(i)] = database_.letterCount(QChar(u'A' + i));
        selectLetter(u'A');
    }

    bool letterTabsInUse() const override { return database_.letterTabsUsable(); }
    QChar currentLetter() const override { return letter_; }
    void selectLetterRange(QChar letter) override { database_.viewRange(letter); }
    void selectLetter(QChar letter) override
    {
        letter_ = letter;
        pageOffset = 0;
        database_.viewRange(letter);
    }
    quint32 letterCount(QChar letter) const override
    {
        return slot(letter) ? counts_[size_t(*slot(letter))] : 0;
    }
    void moveLetterCount(QChar from, QChar to) override
    {
        if (const auto s = slot(from); s && counts_[size_t(*s)] > 0)
            --counts_[size_t(*s)];
        if (const auto s = slot(to))
            ++counts_[size_t(*s)];
    }
    int rowsPerPage() const override { return 10; }
    void setPageOffset(int offset) override { pageOffset = offset; }
    void setShownRecord(quint32 recordNumber) override { shownRecord = recordNumber; }
    void refresh() override { ++refreshes; }
    void focusSelectedRow() override {}
    void showRecordState(const mainwin::RecordDisplay &display) override { state = display; }

    int pageOffset = 0;
    quint32 shownRecord = 0;
    int refreshes = 0;
    mainwin::RecordDisplay state;

private:
    static std::optional<int> slot(QChar letter)
    {
        if (letter < u'A' || letter > u'Z')
            return std::nullopt;
        return letter.unicode() - u'A';
    }

    database::DatabaseManager &database_;
    QChar letter_ = u'A';
    std::array<quint32, 26> counts_{};
};

} // namespace numora::test
