// SPDX-License-Identifier: MIT
#include "ExecutableResource.h"
#include "PeBuilder.h"
#include "VersionInfoParser.h"

#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QByteArray resource()
{
    return ToBytes(WriteVersionResource(SampleDefinition()));
}

TEST(PeReader, FindsVersionIn32And64BitImages)
{
    for (bool is64 : { false, true }) {
        const QByteArray image = BuildPe(is64, resource());
        const auto span = FindVersionResource(image);
        ASSERT_TRUE(span) << is64;
        EXPECT_EQ(QByteArrayView(image).sliced(span->offset, span->size), QByteArrayView(resource()));
    }
}

TEST(PeReader, NoResourceOrNoVersion)
{
    EXPECT_FALSE(FindVersionResource(BuildPe(false, {}, nullptr, false)));
    QByteArray image = BuildPe(true, resource());
    PeLayout l;
    BuildPe(true, resource(), &l);
    put32(image, l.rsrcOffset + 16, 3); // RT_ICON instead of RT_VERSION
    EXPECT_FALSE(FindVersionResource(image));
    EXPECT_FALSE(FindVersionResource(QByteArray("MZ")));
    EXPECT_FALSE(FindVersionResource(QByteArray("plain text file")));
}

TEST(PeReader, TruncatedAndLyingImagesAreRejected)
{
    PeLayout l;
    const QByteArray image = BuildPe(false, resource(), &l);
    for (qsizetype n = 0; n < image.size(); n += 7)
        EXPECT_FALSE(FindVersionResource(QByteArrayView(image).first(n))) << n;

    QByteArray huge = image;
    put32(huge, l.rsrcOffset + l.dataEntry + 4, 0x7FFFFFF0); // data size past the file
    EXPECT_FALSE(FindVersionResource(huge));

    QByteArray loop = image;
    put32(loop, l.rsrcOffset + 20, 0x80000000u); // name directory points back at the root
    EXPECT_FALSE(FindVersionResource(loop));

    QByteArray farHeader = image;
    put32(farHeader, 0x3C, 0xFFFFFFF0);
    EXPECT_FALSE(FindVersionResource(farHeader));

    QByteArray manySections = image;
    put16(manySections, 0x80 + 6, 0xFFFF);
    EXPECT_FALSE(FindVersionResource(manySections));
}

TEST(PeReader, LanguageIsChosenAsTheSystemWould)
{
    struct Case {
        std::vector<std::uint16_t> languages;
        std::uint16_t ui;
        int chosen;
    };
    const Case cases[] = {
        { { 0x0401, 0x0407, 0x0409 }, 0x0407, 1 }, // the user's language
        { { 0x0401, 0x0804, 0x0404 }, 0x0404, 2 }, // exactly, before another form of it
        { { 0x0401, 0x0407, 0x0409 }, 0x0C07, 1 }, // another form of the same language
        { { 0x0401, 0x0000, 0x0409 }, 0x0419, 1 }, // language-neutral
        { { 0x0401, 0x0409, 0x040C }, 0x0419, 1 }, // U.S. English
        { { 0x0401, 0x0409, 0x040C }, 0x0000, 1 }, // a neutral user has no language of their own
        { { 0x0401, 0x040C }, 0x0419, 0 }, // the first
        { {}, 0x0409, -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ui);
        EXPECT_EQ(ChooseResourceLanguage(c.languages, c.ui), c.chosen);
    }

    // In an image: each language's own bytes.
    const QByteArray arabic("arabic"), german("german!"), english("english");
    const QByteArray image
        = BuildPeLanguages(false, { { 0x0401, arabic }, { 0x0407, german }, { 0x0409, english } });
    for (const auto& [ui, expected] :
        { std::pair { 0x0407, german }, { 0x0419, english }, { 0x0401, arabic } }) {
        const auto span = FindVersionResource(image, std::uint16_t(ui));
        ASSERT_TRUE(span) << ui;
        EXPECT_EQ(QByteArrayView(image).sliced(span->offset, span->size), QByteArrayView(expected)) << ui;
    }
}

TEST(ElfReader, TestExecutableCarriesTheProgramResource)
{
    QFile self(QCoreApplication::applicationFilePath());
    ASSERT_TRUE(self.open(QIODevice::ReadOnly));
    const QByteArray image = self.readAll();
    if (image.startsWith("MZ"))
        GTEST_SKIP() << "Windows build: covered by the PE tests";
    const auto span = FindVersionResource(image);
    ASSERT_TRUE(span);
    const auto info = ParseVersionInfo(QByteArrayView(image).sliced(span->offset, span->size));
    ASSERT_TRUE(info);
    ASSERT_TRUE(info->fixed);
    EXPECT_EQ(info->fixed->fileVersionMS, 0x00020001u);
    EXPECT_EQ(info->fixed->productVersionMS, 0x00020001u);
    EXPECT_EQ(info->fixed->fileOS, 4u);
    EXPECT_EQ(info->fixed->fileType, 1u);

    // Truncated section headers: nothing found, nothing read outside.
    for (qsizetype n : { qsizetype(0), qsizetype(20), qsizetype(64), image.size() / 2 })
        EXPECT_FALSE(FindElfVersionResource(QByteArrayView(image).first(n)));
}

} // namespace
