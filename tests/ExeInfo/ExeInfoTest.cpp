// SPDX-License-Identifier: MIT
#include "ExeInfo.h"
#include "ExeInfoSystem.h"
#include "PeBuilder.h"
#include "PropertyNotify.h"
#include "TempDir.h"

#include <QDir>
#include <QSysInfo>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ExeInfo, ReadsTheRunningExecutablesOwnResource)
{
    TExeInfo info;
    EXPECT_EQ(info.ProductName(), "Quillon");
    EXPECT_EQ(info.ProductVersion(), "2.1 Build 2");
    EXPECT_EQ(info.ProductName() + "  " + info.ProductVersion(), "Quillon  2.1 Build 2");
    EXPECT_EQ(info.FileVersion(), "2.1.0.0");
    EXPECT_EQ(info.FileVersionInt(), 2010000);
    EXPECT_EQ(info.FileOS(), 4);
    EXPECT_EQ(info.FileType(), 1);
    EXPECT_EQ(info.FileFlags(), 0);
    EXPECT_FALSE(info.CompanyName().isEmpty());
    EXPECT_FALSE(info.LegalTradeMark().isEmpty()); // filled from the key "LegalTradeMarks"
    EXPECT_DOUBLE_EQ(info.FileCreation(), -109205.0); // zero date: 1601-01-01
    EXPECT_EQ(info.Version(), "1.2.2.0");
    info.setVersion("9.9.9.9");
    EXPECT_EQ(info.Version(), "1.2.2.0");
}

TEST(ExeInfo, ReadsGeneratedPeFiles)
{
    TempDir dir;
    for (bool is64 : { false, true }) {
        const QString path = dir.write(
            is64 ? "a64.dll" : "a32.exe", BuildPe(is64, ToBytes(WriteVersionResource(SampleDefinition()))));
        TExeInfo info;
        info.GetVersionInfoOfApp(path);
        EXPECT_EQ(info.ProductName(), "Sample");
        EXPECT_EQ(info.ProductVersion(), "3.4 Beta");
        EXPECT_EQ(info.LegalTradeMark(), "TM");
        EXPECT_EQ(info.Comments(), QString::fromUtf8("Größe"));
        EXPECT_EQ(info.InternalName(), ""); // missing key
        EXPECT_EQ(info.FileFlags(), 0x2B);
        EXPECT_EQ(info.FileOS(), 0x40004);
        EXPECT_EQ(info.FileType(), 2);
        EXPECT_EQ(info.FileVersionInt(), 3040506);
    }
}

TEST(ExeInfo, VersionTextsNotifyOnceAndTheSameValueNever)
{
    TExeInfo info;
    for (const char* name :
        { "CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright", "LegalTradeMark",
            "OriginalFileName", "ProductName", "ProductVersion", "Comments" })
        ExpectNotifiesOnChangeOnly(info, name, QStringLiteral("written"));
    // Reading a file changes several texts at once: one notification; reading it again, none.
    TempDir dir;
    const QString path
        = dir.write("a.exe", BuildPe(false, ToBytes(WriteVersionResource(SampleDefinition()))));
    QSignalSpy spy(&info, &TExeInfo::versionInfoChanged);
    info.GetVersionInfoOfApp(path);
    EXPECT_EQ(spy.count(), 1);
    info.GetVersionInfoOfApp(path);
    EXPECT_EQ(spy.count(), 1);
    // The machine's answers are read live, not stored: writing them changes nothing to report.
    EXPECT_EQ(PropertiesWithoutNotify(info),
        QStringList({ "ComputerName", "OSName", "WindowsDir", "SystemDir", "TempDir", "Version" }));
}

TEST(ExeInfo, AMultiLanguageFileReadsInTheUsersLanguage)
{
    // Arabic first, as such files often list it; each language names the product in its own way.
    auto resource = [](std::uint16_t language, const char* name) {
        TVersionDefinition d = SampleDefinition();
        d.language = language;
        d.strings = { { "ProductName", name } };
        return ToBytes(WriteVersionResource(d));
    };
    TempDir dir;
    const QString path = dir.write("multi.dll",
        BuildPeLanguages(true,
            { { 0x0401, resource(0x0401, "Arabic") }, { 0x0407, resource(0x0407, "German") },
                { 0x0409, resource(0x0409, "English") } }));
    TExeInfo info;
    const std::pair<std::uint16_t, const char*> cases[]
        = { { 0x0407, "German" }, { 0x0807, "German" }, { 0x0419, "English" }, { 0x0401, "Arabic" } };
    for (const auto& [ui, name] : cases) {
        info.setUserInterfaceLanguage(ui);
        EXPECT_EQ(info.UserInterfaceLanguage(), ui);
        info.GetVersionInfoOfApp(path);
        EXPECT_EQ(info.ProductName(), name) << ui;
    }
}

TEST(ExeInfo, LocalesMapToWindowsLanguages)
{
    const std::pair<const char*, std::uint16_t> cases[]
        = { { "de_DE", 0x0407 }, { "de_AT", 0x0C07 }, { "en_US", 0x0409 }, { "en_GB", 0x0809 },
              { "zh_CN", 0x0804 }, { "zh_TW", 0x0404 }, { "pt_BR", 0x0416 }, { "pt_PT", 0x0816 },
              { "ar_EG", 0x0C01 }, { "sr_Latn_RS", 0x081A }, { "C", 0x0409 }, { "zu_ZA", 0 } };
    for (const auto& [name, id] : cases)
        EXPECT_EQ(WindowsLanguageId(QLocale(QString::fromLatin1(name))), id) << name;
}

TEST(ExeInfo, FileWithoutResourceLeavesEverythingAlone)
{
    TempDir dir;
    TExeInfo info;
    info.setProductName("kept");
    for (const QString& path :
        { dir.write("plain.txt", "hello"), dir.write("nores.exe", BuildPe(false, {}, nullptr, false)),
            dir.file("missing.exe"), dir.path() }) {
        info.GetVersionInfoOfApp(path);
        EXPECT_EQ(info.ProductName(), "kept") << path.toStdString();
        EXPECT_EQ(info.FileOS(), 4);
    }
}

TEST(ExeInfo, FileDateAndTranslationAbove0x8000)
{
    TVersionDefinition d = SampleDefinition();
    d.language = 0x8001;
    d.codePage = 0xFDE9;
    // 2011-01-04 12:00 UTC as a file time.
    const std::uint64_t ft = 129386160000000000ull;
    d.fileDateMS = std::uint32_t(ft >> 32);
    d.fileDateLS = std::uint32_t(ft);
    TempDir dir;
    TExeInfo info;
    info.GetVersionInfoOfApp(dir.write("x.exe", BuildPe(true, ToBytes(WriteVersionResource(d)))));
    EXPECT_EQ(info.ProductName(), "Sample");
    EXPECT_DOUBLE_EQ(info.FileCreation(), 40547.5);
}

TEST(ExeInfo, FileVersionInt)
{
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[]
        = { { "2.1.0.0", 2010000 }, { "1", 1 }, { "12.345.6", 123406 }, { "", -1 }, { "1..2", 10002 } };
    for (const Case& c : cases)
        EXPECT_EQ(PackedFileVersion(c.text), c.value) << c.text;
    EXPECT_THROW(PackedFileVersion("2.x"), std::invalid_argument);
    EXPECT_THROW(PackedFileVersion("99.99.99.99.99.99"), std::invalid_argument);
}

TEST(ExeInfo, MachineQuestions)
{
    TExeInfo info;
    EXPECT_LE(info.ReadComputerName().size(), 15);
    EXPECT_EQ(info.storedComputerName(), info.ReadComputerName());
    info.setOSName("ignored");
    info.setTempDir("ignored");
    info.setWindowsDir("ignored");
#ifndef Q_OS_WIN
    EXPECT_EQ(info.GetOperatingSystem(), QSysInfo::prettyProductName());
    EXPECT_EQ(info.WindowsDir(), "");
    EXPECT_EQ(info.SystemDir(), "");
    EXPECT_EQ(info.TempDir(), QDir::tempPath() + "/");
#endif
    EXPECT_FALSE(ExeInfoSystem::setComputerName("a-name-of-16-chr"));
}

TEST(ExeInfo, WindowsNameTable)
{
    struct Case {
        unsigned id, major, minor;
        const char* sp;
        const char* name;
    };
    const Case cases[] = { { 1, 4, 0, "", "Windows 95" }, { 1, 4, 10, " A", "Windows 98 SE" },
        { 1, 4, 10, "A", "Windows 98" }, { 1, 4, 90, "", "Windows ME" }, { 2, 3, 51, "", "Windows NT" },
        { 2, 4, 0, "", "Windows NT" }, { 2, 5, 0, "", "Windows 2000" }, { 2, 5, 1, "", "Windows XP" },
        { 2, 5, 2, "", "Windows 2003" }, { 2, 6, 0, "", "Windows Vista" }, { 2, 6, 1, "", "Windows 7" },
        { 2, 6, 2, "", "Unknown" }, { 2, 10, 0, "", "Unknown" }, { 1, 4, 20, "", "Unknown" },
        { 0, 3, 1, "", "Unknown" } };
    for (const Case& c : cases)
        EXPECT_EQ(WindowsVersionName(c.id, c.major, c.minor, c.sp), c.name) << c.name;
}

} // namespace
