#include "platform/help_window.h"

#include "core/help_topics.h"
#include "core/product_name.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace numora::platform {

namespace {

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString contentsPage()
{
    QString html = QStringLiteral("<html><head><title>Contents</title></head><body>"
                                  "<h1>%1 Help</h1><ul>")
                       .arg(productFullName());
    for (const help::Topic &topic : help::topics)
        html += QStringLiteral("<li><a href=\"%1\">%2</a></li>")
                    .arg(fromView(topic.page), fromView(topic.title).toHtmlEscaped());
    return html + QStringLiteral("</ul></body></html>");
}

// Serves the contents page, which exists only in memory, beside the shipped pages.
class HelpBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl &name) override
    {
        if (type == QTextDocument::HtmlResource && name == HelpWindow::contentsUrl())
            return contentsPage();
        return QTextBrowser::loadResource(type, name);
    }
};

} // namespace

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), browser_(new HelpBrowser(this))
{
    setWindowTitle(productFullName() + QStringLiteral(" Help"));
    resize(560, 480);

    auto *contents = new QPushButton(tr("&Contents"), this);
    auto *back = new QPushButton(tr("&Back"), this);
    auto *forward = new QPushButton(tr("&Forward"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(contents, &QPushButton::clicked, this, [this] { browser_->setSource(contentsUrl()); });
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
}

void HelpWindow::showContext(int context)
{
    browser_->setSource(pageUrl(context));
    show();
    raise();
    activateWindow();
}

QUrl HelpWindow::contentsUrl() { return QUrl(QStringLiteral("qrc:/help/index.html")); }

QUrl HelpWindow::pageUrl(int context)
{
    const help::Topic *topic = help::findTopic(context);
    if (!topic)
        return contentsUrl();
    return QUrl(QStringLiteral("qrc:/help/") + fromView(topic->page));
}

} // namespace numora::platform
