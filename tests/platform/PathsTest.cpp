// SPDX-License-Identifier: MIT
#include "Paths.h"
#include "TempDir.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct RoundTrip {
    const char* name;
    QByteArray bytes;
};

const RoundTrip kRoundTrips[] = {
    { "ascii", QByteArray("/tmp/report.doc") },
    { "utf8",
        QByteArray("/tmp/\xc3\x9c"
                   "bung \xd1\x84\xd0\xb0\xd0\xb9\xd0\xbb.doc") },
    { "four-byte utf8", QByteArray("/tmp/\xf0\x9f\x93\x84.pdf") },
    { "latin1 bytes", QByteArray("/tmp/bad\xff\xfename.doc") },
    { "truncated sequence", QByteArray("/tmp/x\xc3") },
    { "overlong slash", QByteArray("/tmp/\xc0\xaf") },
    { "encoded surrogate", QByteArray("/tmp/\xed\xa0\x80") },
    { "lone continuation", QByteArray("\x80\x80/a") },
};

TEST(Paths, EveryByteSequenceSurvivesDecodingAndEncoding)
{
    for (const RoundTrip& c : kRoundTrips)
        EXPECT_EQ(EncodePath(DecodePath(c.bytes)), c.bytes) << c.name;
}

TEST(Paths, ValidUtf8DecodesAsText)
{
    EXPECT_EQ(DecodePath(QByteArray("/tmp/\xc3\x9c"
                                    "bung")),
        QStringLiteral("/tmp/\u00DCbung"));
    EXPECT_EQ(EncodePath(QStringLiteral("/tmp/\u00DCbung")),
        QByteArray("/tmp/\xc3\x9c"
                   "bung"));
}

TEST(Paths, InvalidBytesBecomeEscapesOneEach)
{
    const QString s = DecodePath(QByteArray("a\xff"
                                            "b"));
    ASSERT_EQ(s.size(), 3);
    EXPECT_EQ(s.at(1).unicode(), 0xDCFF);
}

TEST(Paths, ProgramArgumentsKeepEveryByte)
{
    char program[] = "quillon";
    char odd[] = "/tmp/caf\xe9.doc";
    char* argv[] = { program, odd };
    const QStringList arguments = ProgramArguments(2, argv);
    ASSERT_EQ(arguments.size(), 2);
    EXPECT_EQ(arguments.at(0), QStringLiteral("quillon"));
    EXPECT_EQ(EncodePath(arguments.at(1)), QByteArray(odd));
}

TEST(Paths, AbsolutePathInACurrentFolderThatIsNotUtf8)
{
    TempDir dir;
    const QByteArray folder = EncodePath(dir.path()) + "/caf\xe9";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    const QByteArray before = EncodePath(QDir::currentPath());
    ASSERT_EQ(::chdir(folder.constData()), 0);
    const QString relative = AbsolutePath(QStringLiteral("a/../b.doc"));
    const QString dotted = AbsolutePath(QStringLiteral("./b.doc"));
    ASSERT_EQ(::chdir(before.constData()), 0);
    ::rmdir(folder.constData());
    EXPECT_EQ(EncodePath(relative), folder + "/b.doc");
    EXPECT_EQ(EncodePath(dotted), folder + "/b.doc");
    EXPECT_EQ(AbsolutePath(QStringLiteral("/x/./y/../z.doc")), QStringLiteral("/x/z.doc"));
}

TEST(Paths, HostDelimiters)
{
    EXPECT_EQ(PathDelimiters(), QStringLiteral("/"));
    EXPECT_EQ(PathSeparator(), QLatin1Char('/'));
}

} // namespace
