#pragma once
// The main window's side of the find, replace and report windows: what happens to the
// shown record, the letter tabs and the window's input before, during and after they walk
// the records. Those windows call these operations at the moments they define.

#include "database/sort_state.h"

#include <QChar>

#include <functional>

namespace numora::mainwin {

class RecordBrowser;
class RecordSession;

// What the hooks need of the window itself.
struct SearchWindowSide {
    std::function<void(bool)> enableInput;
    // Sets the sort bar's filter state and applies it.
    std::function<void(database::FilterState)> applyFilterState;
    std::function<database::FilterState()> filterState;
    std::function<void(int fieldPosition)> highlightFoundField;
    // Letter tabs off while a report prints the whole database, and on again afterwards.
    std::function<void(bool)> setLetterTabsEnabled;
};

using TellLetter = std::function<void(QChar)>;

class SearchHooks {
public:
    // All must outlive the hooks.
    SearchHooks(RecordSession &session, RecordBrowser &browser, SearchWindowSide window);

    bool beforeNonStop();
    void afterNonStop(bool foundRecords);
    bool beforeFind(bool forward, const TellLetter &tellLetter);
    // True when the search is over: no letter with records is left in that direction.
    bool rangeEnd(bool forward, const TellLetter &tellLetter);
    void found(int index, int fieldPosition);
    void notFound(bool nonStopSelected);
    bool beforeContinue(bool nonStopSelected);
    bool beforeReplace(const std::function<void(database::FilterState)> &tellFilterState);
    void afterReplace();

    // Before and after a report of the whole database.
    void dropLetterRange();
    void restoreLetterRange();

    QChar searchLetter() const { return searchLetter_; }

private:
    void call(const std::function<void(bool)> &hook, bool value) const;

    RecordSession &session_;
    RecordBrowser &browser_;
    SearchWindowSide window_;
    QChar searchLetter_;
    QChar reportLetter_;
};

} // namespace numora::mainwin
