// SPDX-License-Identifier: MIT
#include "FontFiles.h"
#include "Paths.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A font file of a family the system does not list, copied into folders it does not scan.
class FontFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QStringList system = TFontLookup(WineFontFolders()).Files(QStringLiteral("Tahoma"));
        if (system.isEmpty())
            GTEST_SKIP() << "needs fonts-wine";
        if (!TFontLookup({}).Files(QStringLiteral("Tahoma")).isEmpty())
            GTEST_SKIP() << "the system's font configuration lists Tahoma itself";
        m_source = system.first();
    }
    // Copies the font into `folder` (under the temporary folder) as `name`; returns the copy's path.
    QString place(const QByteArray& folder, const QByteArray& name) const
    {
        QByteArray dir = EncodePath(m_dir.path());
        for (const QByteArray& part : folder.split('/'))
            ::mkdir(dir += '/' + part, 0700);
        const QString copy = DecodePath(dir + '/' + name);
        QFile in(m_source);
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        const QByteArray data = in.readAll();
        FILE* out = std::fopen(EncodePath(copy).constData(), "wb");
        EXPECT_NE(out, nullptr);
        std::fwrite(data.constData(), 1, size_t(data.size()), out);
        std::fclose(out);
        return copy;
    }
    TempDir m_dir;
    QString m_source;
};

TEST_F(FontFilesTest, FoundByFamilyInFoldersTheSystemDoesNotList)
{
    // Named unlike the family: fontconfig reads what the file holds.
    const QString copy = place("elsewhere/deeper", "a.TTF");
    place("elsewhere", "tahoma.fon"); // not an outline font file: not read
    const QString folder = m_dir.path() + QStringLiteral("/elsewhere");
    TFontLookup lookup({ folder });
    EXPECT_EQ(lookup.Files(QStringLiteral("Tahoma")), QStringList { copy });
    EXPECT_EQ(lookup.Files(QStringLiteral("tahoma")), QStringList { copy });
    EXPECT_TRUE(lookup.Files(QStringLiteral("No Such Family")).isEmpty());
    EXPECT_TRUE(TFontLookup({ m_dir.path() + "/missing" }).Files(QStringLiteral("Tahoma")).isEmpty());
}

TEST_F(FontFilesTest, FolderNameThatIsNotUtf8)
{
    const QString copy = place("caf\xe9", "tahoma.ttf");
    const QString folder = DecodePath(EncodePath(m_dir.path()) + "/caf\xe9");
    const QStringList found = TFontLookup({ folder }).Files(QStringLiteral("Tahoma"));
    EXPECT_EQ(found, QStringList { copy });
    if (!found.isEmpty()) {
        EXPECT_EQ(EncodePath(found.first()), EncodePath(copy));
    }
    // The temporary folder's own clean-up cannot name these.
    ::unlink(EncodePath(copy).constData());
    ::rmdir(EncodePath(folder).constData());
}

TEST_F(FontFilesTest, WineFoldersFollowTheDataFoldersAndTheWineProgram)
{
    place("data/wine/fonts", "tahoma.ttf");
    place("opt/share/wine/fonts", "tahoma.ttf");
    const QString bin = m_dir.path() + QStringLiteral("/opt/bin");
    QDir().mkpath(bin);
    QFile wine(bin + QStringLiteral("/wine"));
    ASSERT_TRUE(wine.open(QIODevice::WriteOnly));
    wine.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    wine.close();

    const QByteArray oldData = qgetenv("XDG_DATA_DIRS");
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("XDG_DATA_DIRS", (m_dir.path() + "/data:" + m_dir.path() + "/data:/nowhere").toUtf8());
    qputenv("PATH", bin.toUtf8());
    const QStringList folders = WineFontFolders();
    qputenv("XDG_DATA_DIRS", oldData);
    qputenv("PATH", oldPath);
    EXPECT_EQ(
        folders, QStringList({ m_dir.path() + "/data/wine/fonts", m_dir.path() + "/opt/share/wine/fonts" }));
}

} // namespace
