// SPDX-License-Identifier: MIT
#include "SystemIcons.h"
#include "TempDir.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

bool HasVisiblePixels(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
    return false;
}

TEST(SystemIcons, NumbersInTheListGiveIconsOfTheRequestedSize)
{
    EXPECT_EQ(SystemIconBaseSize(false), 16);
    EXPECT_EQ(SystemIconBaseSize(true), 32);
    for (const int index : { 0, 3, 8, 15, 31, 34 }) {
        const QImage small = SystemIconByIndex(index, false, QSize(16, 16));
        const QImage large = SystemIconByIndex(index, true, QSize(48, 48));
        EXPECT_EQ(small.size(), QSize(16, 16)) << index;
        EXPECT_EQ(large.size(), QSize(48, 48)) << index;
        EXPECT_TRUE(HasVisiblePixels(small)) << index;
    }
    EXPECT_EQ(SystemIconByIndex(3, true, QSize()).size(), QSize(32, 32)) << "no size: the base size";
    EXPECT_NE(SystemIconByIndex(3, false, QSize(16, 16)), SystemIconByIndex(0, false, QSize(16, 16)))
        << "a folder does not look like a document";
}

TEST(SystemIcons, NumbersOutsideTheListGiveNothing)
{
    for (const int index : { -1, 35, 1000, INT_MIN, INT_MAX })
        EXPECT_TRUE(SystemIconByIndex(index, false, QSize(16, 16)).isNull()) << index;
}

TEST(SystemIcons, PathsGiveTheirOwnIconOrTheOneForTheirExtension)
{
    TempDir dir;
    const QString file = dir.write(QStringLiteral("notes.txt"), "text");
    const QString paths[] = { dir.path(), file, dir.file(QStringLiteral("absent.pdf")),
        QStringLiteral("/no/such/folder/archive.zip"), QStringLiteral("no-extension-at-all") };
    for (const QString& path : paths) {
        const QImage icon = SystemIconForPath(path, false, QSize(16, 16));
        EXPECT_EQ(icon.size(), QSize(16, 16)) << path.toStdString();
        EXPECT_TRUE(HasVisiblePixels(icon)) << path.toStdString();
    }
    if (QFileInfo::exists(QStringLiteral("/dev/null"))) {
        EXPECT_EQ(SystemIconForPath(QStringLiteral("/dev/null"), false, QSize(16, 16)).size(), QSize(16, 16))
            << "a device gets the generic icon";
    }
    EXPECT_NE(
        SystemIconForPath(dir.path(), false, QSize(16, 16)), SystemIconForPath(file, false, QSize(16, 16)))
        << "a folder's icon is not a file's";
    EXPECT_TRUE(SystemIconForPath(QString(), true, QSize(32, 32)).isNull());
}

TEST(SystemIcons, APathEndsAtItsFirstNul)
{
    const QString cut = QStringLiteral("report") + QString(6, QChar(u'\0')) + QStringLiteral(".pdf");
    EXPECT_EQ(SystemIconForPath(cut, false, QSize(16, 16)),
        SystemIconForPath(QStringLiteral("report"), false, QSize(16, 16)));
    EXPECT_TRUE(SystemIconForPath(QString(3, QChar(u'\0')), false, QSize(16, 16)).isNull());
}

} // namespace
