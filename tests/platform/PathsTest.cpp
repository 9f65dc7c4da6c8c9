// SPDX-License-Identifier: MIT
#include "Paths.h"

#include <gtest/gtest.h>

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

TEST(Paths, HostDelimiters)
{
    EXPECT_EQ(PathDelimiters(), QStringLiteral("/"));
    EXPECT_EQ(PathSeparator(), QLatin1Char('/'));
}

} // namespace
