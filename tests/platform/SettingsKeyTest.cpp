// SPDX-License-Identifier: MIT
#include "SettingsKey.h"
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
