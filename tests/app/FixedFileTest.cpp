// SPDX-License-Identifier: MIT
#include "FixedFile.h"
#include "Fakes.h"

#include <gtest/gtest.h>

namespace {

const QString kWin = QStringLiteral("\\:");
const QString kPosix = QStringLiteral("/");

struct PartsCase {
    QString path;
    QString delimiters;
    QString folder;
    QString name;
    QString extension;
};

TEST(PathParts, FolderNameAndExtension)
{
    const PartsCase cases[] = {
        { QStringLiteral("C:\\docs\\report.doc"), kWin, QStringLiteral("C:\\docs\\"),
            QStringLiteral("report.doc"), QStringLiteral(".doc") },
        { QStringLiteral("C:report.doc"), kWin, QStringLiteral("C:"), QStringLiteral("report.doc"),
            QStringLiteral(".doc") },
        { QStringLiteral("C:\\a.b\\README"), kWin, QStringLiteral("C:\\a.b\\"), QStringLiteral("README"),
            QString() },
        { QStringLiteral("C:\\x\\.doc"), kWin, QStringLiteral("C:\\x\\"), QStringLiteral(".doc"),
            QStringLiteral(".doc") },
        { QStringLiteral("C:\\x\\a.tar.gz"), kWin, QStringLiteral("C:\\x\\"), QStringLiteral("a.tar.gz"),
            QStringLiteral(".gz") },
        { QStringLiteral("/home/u/a:b.doc"), kPosix, QStringLiteral("/home/u/"), QStringLiteral("a:b.doc"),
            QStringLiteral(".doc") },
        { QStringLiteral("/home/u/"), kPosix, QStringLiteral("/home/u/"), QString(), QString() },
        { QStringLiteral("name.txt"), kPosix, QString(), QStringLiteral("name.txt"), QStringLiteral(".txt") },
    };
    for (const PartsCase& c : cases) {
        EXPECT_EQ(FolderPart(c.path, c.delimiters), c.folder) << c.path.toStdString();
        EXPECT_EQ(FileNamePart(c.path, c.delimiters), c.name) << c.path.toStdString();
        EXPECT_EQ(ExtensionPart(c.path, c.delimiters), c.extension) << c.path.toStdString();
    }
}

TEST(FixedName, StampIsHourMinuteSecondDayMonthYear)
{
    const QDateTime at(QDate(2011, 1, 4), QTime(15, 9, 1));
    EXPECT_EQ(MakeFixedName(QStringLiteral("C:\\d\\report.doc"), at, kWin),
        QStringLiteral("C:\\d\\report_r15090104012011.doc"));
    EXPECT_EQ(MakeFixedName(QStringLiteral("C:\\a.b\\README"), at, kWin),
        QStringLiteral("C:\\a.b\\README_r15090104012011"));
    EXPECT_EQ(
        MakeFixedName(QStringLiteral("/d/.doc"), at, kPosix), QStringLiteral("/d/_r15090104012011.doc"));
    const QDateTime late(QDate(1999, 12, 31), QTime(23, 59, 58));
    EXPECT_EQ(
        MakeFixedName(QStringLiteral("/d/x.zip"), late, kPosix), QStringLiteral("/d/x_r23595831121999.zip"));
}

TEST(ShortenForDisplay, LimitAndShares)
{
    const QString hundred(100, QLatin1Char('a'));
    EXPECT_EQ(ShortenForDisplay(hundred, 100, 45, 45), hundred);
    QString long101 = QString(50, QLatin1Char('h')) + QLatin1Char('m') + QString(50, QLatin1Char('t'));
    const QString shown = ShortenForDisplay(long101, 100, 45, 45);
    EXPECT_EQ(shown.size(), 95);
    EXPECT_EQ(shown, QString(45, QLatin1Char('h')) + QStringLiteral(" ... ") + QString(45, QLatin1Char('t')));
    // Other limits scale the shares, halves rounding to even: 45*100/40 = 112.5 -> 112; 9*100/40 = 22.5
    // -> 22.
    const QString x(200, QLatin1Char('x'));
    EXPECT_EQ(ShortenForDisplay(x, 40, 45, 9).size(), 112 + 5 + 22);
    EXPECT_EQ(ShortenForDisplay(x, 0, 45, 45), x);
}

TEST(ReduceDoubledSeparators, PairsFromTheLeft)
{
    EXPECT_EQ(ReduceDoubledSeparators(QStringLiteral("C:\\\\x\\\\\\y"), QLatin1Char('\\')),
        QStringLiteral("C:\\x\\\\y"));
    EXPECT_EQ(ReduceDoubledSeparators(QStringLiteral("/a//b"), QLatin1Char('/')), QStringLiteral("/a/b"));
}

TEST(SetFixedFile, StoresReducedPathAndShowsShortenedIncomingPath)
{
    Sandbox box;
    T_mainForm& form = box.start();
    const QString at100 = QStringLiteral("/") + QString(99, QLatin1Char('a'));
    EXPECT_EQ(form.set_fixed_file(at100, 100, 45, 45), at100);
    EXPECT_EQ(form.FixedFile, at100);

    const QString at101 = QStringLiteral("/") + QString(100, QLatin1Char('b'));
    const QString shown = form.set_fixed_file(at101, 100, 45, 45);
    EXPECT_EQ(shown, at101.left(45) + QStringLiteral(" ... ") + at101.right(45));
    EXPECT_EQ(form.FixedFile, at101);

    // 101 characters with one doubled separator: shortened, although the stored path has 100.
    const QString doubled = QStringLiteral("/d//") + QString(97, QLatin1Char('c'));
    ASSERT_EQ(doubled.size(), 101);
    EXPECT_EQ(form.set_fixed_file(doubled, 100, 45, 45),
        doubled.left(45) + QStringLiteral(" ... ") + doubled.right(45));
    EXPECT_EQ(form.FixedFile, QStringLiteral("/d/") + QString(97, QLatin1Char('c')));
    EXPECT_EQ(form.FixedFile.size(), 100);
}

TEST(SetFixedFile, MakeFixedNameUsesTheClock)
{
    Sandbox box;
    T_mainForm& form = box.start();
    EXPECT_EQ(form.make_fixed_name(QStringLiteral("/w/report.doc")),
        QStringLiteral("/w/report_r15090104012011.doc"));
    EXPECT_EQ(
        form.make_fixed_name(QStringLiteral("/w/Makefile")), QStringLiteral("/w/Makefile_r15090104012011"));
    EXPECT_EQ(
        form.make_fixed_name(QStringLiteral("/w/.profile")), QStringLiteral("/w/_r15090104012011.profile"));
}

} // namespace
