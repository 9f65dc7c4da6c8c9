// SPDX-License-Identifier: MIT
#include "Shell.h"
#include "Documents.h"
#include "Paths.h"

#include <QDesktopServices>
#include <QObject>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST(ShellOpen, TargetsBecomeTheirUrls)
{
    EXPECT_EQ(
        ShellTargetUrl(QStringLiteral("mailto:a@b.example")), QUrl(QStringLiteral("mailto:a@b.example")));
    EXPECT_EQ(
        ShellTargetUrl(QStringLiteral("https://x.example/p")), QUrl(QStringLiteral("https://x.example/p")));
    EXPECT_EQ(ShellTargetUrl(QStringLiteral("www.x.example")), QUrl(QStringLiteral("http://www.x.example")));
    EXPECT_EQ(ShellTargetUrl(QStringLiteral("/tmp/a b/")), QUrl::fromLocalFile(QStringLiteral("/tmp/a b/")));
    // A folder whose name is not UTF-8 keeps its bytes.
    const QUrl raw = ShellTargetUrl(DecodePath(QByteArray("/tmp/x\xff/")));
    EXPECT_EQ(raw.toEncoded(), QByteArray("file:///tmp/x%FF/"));
}

TEST(ShellOpen, HandsTheUrlToTheDesktop)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
    ShellOpen(QStringLiteral("mailto:support@quillon.example"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].toString(), QStringLiteral("mailto:support@quillon.example"));
}

TEST(DocumentsFolder, HasNoTrailingSeparator)
{
    const QString folder = DocumentsFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_FALSE(folder.size() > 1 && folder.endsWith(QLatin1Char('/')));
}

} // namespace

#include "ShellTest.moc"
