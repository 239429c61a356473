#pragma once
// The program's help: a browser over the HTML pages shipped inside the program (Qt
// resources under :/help), one page per help context, with a contents page built from
// the topic table so that it always lists every page. A context without a page opens
// the contents.

#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace numora::platform {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // A separate window even with a parent; the parent only ties their lifetimes.
    explicit HelpWindow(QWidget *parent = nullptr);

    // Shows the page of `context` (the contents for an unknown one) and brings the
    // window to the front.
    void showContext(int context);

    static QUrl contentsUrl();
    static QUrl pageUrl(int context);

private:
    QTextBrowser *browser_;
};

} // namespace numora::platform
