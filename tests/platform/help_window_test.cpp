#include "platform/help_window.h"

#include "core/help_topics.h"
#include "support/qt_printers.h"

#include <QFile>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace numora::platform {
namespace {

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

class HelpWindowTest : public testing::Test {
protected:
    QTextBrowser &browser() { return *window.findChild<QTextBrowser *>(); }

    QStringList linksOnPage()
    {
        QStringList links;
        const QTextDocument &document = *browser().document();
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment)
                if (const QString href = fragment.fragment().charFormat().anchorHref();
                    !href.isEmpty())
                    links << browser().source().resolved(QUrl(href)).toString();
        return links;
    }

    HelpWindow window;
};

TEST_F(HelpWindowTest, EveryContextOpensItsOwnShippedPage)
{
    for (const help::Topic &topic : help::topics) {
        window.showContext(topic.context);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(browser().documentTitle(), fromView(topic.title)) << topic.context;
        EXPECT_GT(browser().toPlainText().size(), 200) << topic.context;
    }
}

TEST_F(HelpWindowTest, AContextWithoutAPageOpensTheContents)
{
    for (int context : {0, -1, 9999}) {
        window.showContext(help::SortBar);
        window.showContext(context);
        EXPECT_EQ(browser().documentTitle(), "Contents") << context;
    }
}

TEST_F(HelpWindowTest, TheContentsLinkEveryPage)
{
    window.showContext(0);
    QStringList expected;
    for (const help::Topic &topic : help::topics) {
        expected << HelpWindow::pageUrl(topic.context).toString();
        EXPECT_TRUE(browser().toPlainText().contains(fromView(topic.title))) << topic.context;
    }
    EXPECT_EQ(linksOnPage(), expected);
}

TEST_F(HelpWindowTest, EveryLinkOnAPageLeadsToAnotherPage)
{
    for (const help::Topic &topic : help::topics) {
        window.showContext(topic.context);
        const QStringList links = linksOnPage();
        EXPECT_FALSE(links.isEmpty()) << topic.context << ": no way back to the contents";
        for (const QString &link : links) {
            const QUrl url(link);
            const bool known = url == HelpWindow::contentsUrl() || QFile::exists(u':' + url.path());
            EXPECT_TRUE(known) << topic.context << " links to " << link.toStdString();
        }
    }
}

} // namespace
} // namespace numora::platform
