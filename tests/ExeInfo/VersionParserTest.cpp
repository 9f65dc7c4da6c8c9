// SPDX-License-Identifier: MIT
#include "PeBuilder.h"
#include "VersionInfoParser.h"

#include <gtest/gtest.h>

namespace {

QByteArray sample()
{
    return ToBytes(WriteVersionResource(SampleDefinition()));
}

TEST(VersionParser, RoundTripOfWrittenResource)
{
    const auto info = ParseVersionInfo(sample());
    ASSERT_TRUE(info);
    ASSERT_TRUE(info->fixed);
    EXPECT_EQ(info->fixed->fileVersionMS, 0x00030004u);
    EXPECT_EQ(info->fixed->fileVersionLS, 0x00050006u);
    EXPECT_EQ(info->fixed->fileOS, 0x40004u);
    ASSERT_EQ(info->translations.size(), 1u);
    EXPECT_EQ(TranslationName(info->translations[0]), "040904E4");
    EXPECT_EQ(info->value("040904e4", "LegalTradeMarks"), QString("TM"));
    EXPECT_EQ(info->value("040904E4", "Comments"), QString::fromUtf8("Größe"));
    EXPECT_FALSE(info->value("040904E4", "InternalName"));
    EXPECT_FALSE(info->value("04070000", "ProductName"));
}

TEST(VersionParser, TranslationWordsAtOrAbove0x8000KeepEightDigits)
{
    struct Case {
        std::uint16_t lang, cp;
        const char* name;
    };
    const Case cases[] = { { 0x8000, 0x8000, "80008000" }, { 0xFFFF, 0x04B0, "FFFF04B0" },
        { 0x0409, 0xFFFF, "0409FFFF" }, { 0, 0, "00000000" } };
    for (const Case& c : cases) {
        TVersionDefinition d = SampleDefinition();
        d.language = c.lang;
        d.codePage = c.cp;
        const auto info = ParseVersionInfo(ToBytes(WriteVersionResource(d)));
        ASSERT_TRUE(info);
        ASSERT_EQ(info->translations.size(), 1u);
        EXPECT_EQ(TranslationName(info->translations[0]), c.name);
        EXPECT_EQ(info->value(c.name, "ProductName"), QString("Sample"));
    }
}

TEST(VersionParser, EveryTruncationIsSafe)
{
    const QByteArray full = sample();
    for (qsizetype n = 0; n < full.size(); ++n) {
        const auto info = ParseVersionInfo(QByteArrayView(full).first(n));
        if (n < 6) {
            EXPECT_FALSE(info);
        }
        if (info) { // whatever is left must be a prefix of the truth
            for (const auto& t : info->tables) {
                for (const auto& s : t.strings)
                    EXPECT_TRUE(s.key.size() <= 16);
            }
        }
    }
}

TEST(VersionParser, LyingLengthsDoNotLoopOrOverread)
{
    QByteArray data = sample();
    // Root claims more than there is; fixed value claims huge size; first child claims zero length.
    put16(data, 0, 0xFFFF);
    put16(data, 2, 0xFFFF);
    EXPECT_TRUE(ParseVersionInfo(data));

    QByteArray zeroChild = sample();
    const qsizetype sfi = zeroChild.indexOf(QByteArray("S\0t\0r\0i\0n\0g\0F", 13)) - 6;
    ASSERT_GT(sfi, 0);
    put16(zeroChild, int(sfi), 0);
    const auto info = ParseVersionInfo(zeroChild);
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->tables.empty());

    // A key with no terminating zero up to the end.
    QByteArray noZero(64, 'A');
    put16(noZero, 0, 64);
    EXPECT_FALSE(ParseVersionInfo(noZero)); // key is not VS_VERSION_INFO

    EXPECT_FALSE(ParseVersionInfo(QByteArray(6, '\0')));
}

TEST(VersionParser, MissingFixedBlockOrBadSignature)
{
    QByteArray data = sample();
    const qsizetype sig = data.indexOf(QByteArray("\xBD\x04\xEF\xFE", 4));
    ASSERT_GT(sig, 0);
    data[sig] = 0;
    const auto info = ParseVersionInfo(data);
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->fixed);
    EXPECT_EQ(info->value("040904E4", "ProductName"), QString("Sample"));
}

TEST(VersionDefinition, ParsesAndReportsBadLines)
{
    TVersionDefinition d;
    EXPECT_EQ(ParseVersionDefinition(
                  "# c\nFILEVERSION = 2.1.0.0\nFILEOS = 4\nLANGUAGE = 8000\nProductName = A \"B\"\n", d),
        "");
    EXPECT_EQ(d.fileVersion, (std::array<std::uint16_t, 4> { 2, 1, 0, 0 }));
    EXPECT_EQ(d.fileOS, 4u);
    EXPECT_EQ(d.language, 0x8000);
    ASSERT_EQ(d.strings.size(), 1u);
    EXPECT_EQ(d.strings[0].second, "A \"B\"");
    const std::string rc = VersionDefinitionToRc(d);
    EXPECT_NE(rc.find("FILEVERSION 2,1,0,0"), std::string::npos);
    EXPECT_NE(rc.find("BLOCK \"800004E4\""), std::string::npos);
    EXPECT_NE(rc.find("VALUE \"ProductName\", \"A \"\"B\"\"\\0\""), std::string::npos);

    for (const char* bad : { "FILEVERSION = 2.1.0\n", "FILEVERSION = 2.1.0.0.0\n",
             "FILEVERSION = 70000.0.0.0\n", "FILEOS = x\n", "no equals sign\n" }) {
        TVersionDefinition e;
        EXPECT_NE(ParseVersionDefinition(bad, e), "") << bad;
    }
}

} // namespace
