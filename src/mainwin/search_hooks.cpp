#include "mainwin/search_hooks.h"

#include "mainwin/record_session.h"

namespace numora::mainwin {

SearchHooks::SearchHooks(RecordSession &session, RecordBrowser &browser, SearchWindowSide window)
    : session_(session), browser_(browser), window_(std::move(window))
{
}

void SearchHooks::call(const std::function<void(bool)> &hook, bool value) const
{
    if (hook)
        hook(value);
}

bool SearchHooks::beforeNonStop()
{
    if (!session_.saveCheck())
        return false;
    call(window_.enableInput, false);
    session_.closeFormTable();
    return true;
}

void SearchHooks::afterNonStop(bool foundRecords)
{
    if (window_.applyFilterState)
        window_.applyFilterState(foundRecords ? database::FilterState::Normal : database::FilterState::AllRecords);
    call(window_.enableInput, true);
    session_.reload();
}

bool SearchHooks::beforeFind(bool forward, const TellLetter &tellLetter)
{
    if (!session_.saveCheck())
        return false;
    searchLetter_ = browser_.currentLetter();
    if (browser_.letterTabsInUse()) {
        const QChar start = forward ? u'A' : u'Z';
        if (browser_.currentLetter() != start)
            browser_.selectLetter(start);
        if (tellLetter)
            tellLetter(start);
        searchLetter_ = start;
    }
    session_.showFromStart(0);
    call(window_.enableInput, false);
    return true;
}

bool SearchHooks::rangeEnd(bool forward, const TellLetter &tellLetter)
{
    if (!browser_.letterTabsInUse())
        return true;
    const QChar last = forward ? u'Z' : u'A';
    QChar letter = browser_.currentLetter();
    if (letter == last)
        return true;
    const int step = forward ? 1 : -1;
    do {
        letter = QChar(letter.unicode() + step);
    } while (letter != last && browser_.letterCount(letter) == 0);
    const bool over = browser_.letterCount(letter) == 0;
    if (!over) {
        browser_.selectLetter(letter);
        if (tellLetter)
            tellLetter(letter);
    }
    return over;
}

void SearchHooks::found(int index, int fieldPosition)
{
    call(window_.enableInput, true);
    session_.showFromStart(index);
    if (window_.highlightFoundField)
        window_.highlightFoundField(fieldPosition);
    searchLetter_ = browser_.currentLetter();
}

void SearchHooks::notFound(bool nonStopSelected)
{
    call(window_.enableInput, true);
    if (!nonStopSelected && browser_.letterTabsInUse() && !searchLetter_.isNull()
        && browser_.currentLetter() != searchLetter_)
        browser_.selectLetter(searchLetter_);
}

bool SearchHooks::beforeContinue(bool nonStopSelected)
{
    notFound(nonStopSelected);
    call(window_.enableInput, false);
    return true;
}

bool SearchHooks::beforeReplace(const std::function<void(database::FilterState)> &tellFilterState)
{
    if (!session_.saveCheck())
        return false;
    if (tellFilterState && window_.filterState)
        tellFilterState(window_.filterState());
    call(window_.enableInput, false);
    session_.moveBrowseTableToShownRecord();
    session_.closeFormTable();
    return true;
}

void SearchHooks::afterReplace()
{
    if (window_.applyFilterState && window_.filterState)
        window_.applyFilterState(window_.filterState());
    call(window_.enableInput, true);
    session_.reload();
}

void SearchHooks::dropLetterRange()
{
    if (!browser_.letterTabsInUse())
        return;
    reportLetter_ = browser_.currentLetter();
    call(window_.setLetterTabsEnabled, false);
    browser_.selectLetter(u'A');
}

void SearchHooks::restoreLetterRange()
{
    if (reportLetter_.isNull())
        return;
    call(window_.setLetterTabsEnabled, true);
    browser_.selectLetter(reportLetter_);
    reportLetter_ = QChar();
}

} // namespace numora::mainwin
