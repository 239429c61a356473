#pragma once
// The record list pane and its letter tabs as the editing rules see them. What the rules
// report about the shown record (status, counters, enabling) goes to the window through
// `showState`.

#include "mainwin/record_session.h"

#include <functional>

namespace numora {
class Prompt;
}
namespace numora::database {
class DatabaseManager;
}

namespace numora::mainwin {

class RecordListPane;

class ListRecordBrowser : public RecordBrowser {
public:
    // `prompt` tells of a range that cannot be read; all must outlive the browser.
    ListRecordBrowser(RecordListPane &list, database::DatabaseManager &database, Prompt &prompt,
                      std::function<void(const RecordDisplay &)> showState);

    bool letterTabsInUse() const override;
    QChar currentLetter() const override;
    void selectLetterRange(QChar letter) override;
    void selectLetter(QChar letter) override;
    quint32 letterCount(QChar letter) const override;
    void moveLetterCount(QChar from, QChar to) override;
    int rowsPerPage() const override;
    void setPageOffset(int offset) override;
    void setShownRecord(quint32 recordNumber) override;
    void refresh() override;
    void focusSelectedRow() override;
    void showRecordState(const RecordDisplay &display) override;

private:
    RecordListPane &list_;
    database::DatabaseManager &database_;
    Prompt &prompt_;
    std::function<void(const RecordDisplay &)> showState_;
};

} // namespace numora::mainwin
