// SPDX-License-Identifier: MIT
#include "SettingsKey.h"
#include "Paths.h"
#include "TempDir.h"

#include <QDir>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

// The user's configuration folder moved into a temporary folder for each test.
class SettingsKeyTest : public ::testing::Test {
protected:
    void SetUp() override { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path()); }
    QString iniFile() const { return m_dir.file(QStringLiteral("quillon/quillon.ini")); }
    void writeIni(const QByteArray& content)
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("quillon"));
        m_dir.write(QStringLiteral("quillon/quillon.ini"), content);
    }
    TempDir m_dir;
};

TEST_F(SettingsKeyTest, AbsentKeyDoesNotOpenWithoutCreation)
{
    auto key = CreateUserSettingsKey();
    EXPECT_FALSE(key->OpenKey(false));
    EXPECT_FALSE(key->ValueExists(QStringLiteral("path")));
    EXPECT_FALSE(key->DeleteValue(QStringLiteral("path")));
    EXPECT_FALSE(QFile::exists(iniFile()));
}

TEST_F(SettingsKeyTest, WriteReadDeleteAcrossKeys)
{
    {
        auto key = CreateUserSettingsKey();
        ASSERT_TRUE(key->OpenKey(true));
        key->WriteString(QStringLiteral("path"), QStringLiteral("/home/u/\u00DCbung, a/"));
    }
    EXPECT_TRUE(QFile::exists(iniFile()));
    {
        auto key = CreateUserSettingsKey();
        ASSERT_TRUE(key->OpenKey(false));
        EXPECT_TRUE(key->ValueExists(QStringLiteral("path")));
        EXPECT_EQ(key->ReadString(QStringLiteral("path")), QStringLiteral("/home/u/\u00DCbung, a/"));
        EXPECT_EQ(key->ReadString(QStringLiteral("other")), QString());
        EXPECT_TRUE(key->DeleteValue(QStringLiteral("path")));
    }
    auto key = CreateUserSettingsKey();
    ASSERT_TRUE(key->OpenKey(false));
    EXPECT_FALSE(key->ValueExists(QStringLiteral("path")));
}

// A folder name from the system comes back byte for byte, whether or not it is valid text; one that
// is text stays readable in the file, and no text is ever read back as bytes.
TEST_F(SettingsKeyTest, NamesRoundTripByteForByte)
{
    const struct {
        const char* name;
        QString value;
        bool readable;
    } cases[] = {
        { "not UTF-8", DecodePath("/home/u/dir_\xff\xfe/"), false },
        { "lone continuation byte", DecodePath("/tmp/\x80\x61/"), false },
        { "text", QStringLiteral("/home/u/\u00DCbung/"), true },
        { "text like the byte form", QStringLiteral("@ByteArray(/x/)"), true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        {
            auto key = CreateUserSettingsKey();
            ASSERT_TRUE(key->OpenKey(true));
            key->WriteString(QStringLiteral("path"), c.value);
        }
        QFile ini(iniFile());
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
        const QString file = QString::fromUtf8(ini.readAll());
        ini.close();
        EXPECT_FALSE(file.contains(QChar(0xFFFD))) << file.toStdString();
        // A file that changed on disk is read again, not taken from the process's cache.
        ASSERT_TRUE(ini.open(QIODevice::Append));
        ini.write("\n");
        ini.close();
        auto key = CreateUserSettingsKey();
        ASSERT_TRUE(key->OpenKey(false));
        EXPECT_EQ(EncodePath(key->ReadString(QStringLiteral("path"))), EncodePath(c.value));
        EXPECT_EQ(file.contains(c.value), c.readable) << file.toStdString();
    }
}

TEST_F(SettingsKeyTest, ValueThatIsNotTextRaises)
{
    writeIni("[General]\npath=a,b\n"); // a list, not text
    auto key = CreateUserSettingsKey();
    ASSERT_TRUE(key->OpenKey(false));
    try {
        key->ReadString(QStringLiteral("path"));
        ADD_FAILURE();
    } catch (const ESettingsError& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'path'");
    }
}

TEST_F(SettingsKeyTest, UnreadableStoreDoesNotOpen)
{
    QDir(m_dir.path()).mkpath(QStringLiteral("quillon/quillon.ini")); // a folder where the file belongs
    auto key = CreateUserSettingsKey();
    EXPECT_FALSE(key->OpenKey(false));
}

TEST_F(SettingsKeyTest, ValueThatCannotBeWrittenRaises)
{
    m_dir.write(QStringLiteral("quillon"), "a file where the folder belongs");
    auto key = CreateUserSettingsKey();
    ASSERT_TRUE(key->OpenKey(true));
    try {
        key->WriteString(QStringLiteral("path"), QStringLiteral("/x/"));
        ADD_FAILURE();
    } catch (const ESettingsError& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'path'");
    }
}

} // namespace
