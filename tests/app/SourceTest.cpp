// SPDX-License-Identifier: MIT
#include "Fakes.h"
#include "FixedFile.h"
#include "Paths.h"

#include <QDir>
#include <QSettings>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void WriteIni(const Sandbox& box, const QByteArray& content)
{
    QDir().mkpath(box.configFolder() + QStringLiteral("/quillon"));
    QFile f(box.iniFile());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

TEST(StartUp, WithoutRememberedFolderShowsDocuments)
{
    Sandbox box;
    T_mainForm& form = box.start();
    EXPECT_EQ(form.FileAdvEdit->text(), box.documents());
    EXPECT_EQ(form.FixedFile, box.documents() + QStringLiteral("/no.file"));
    EXPECT_EQ(form.OutputFileStaticText->text(), box.documents() + QStringLiteral("/no.file"));
    EXPECT_EQ(form.OpenDialog->InitialDir, box.documents());
    EXPECT_EQ(form.DocumentsFolder, box.documents());
    EXPECT_EQ(form.LogMemo->toPlainText(), QStringLiteral("Ready"));
    EXPECT_EQ(form.AdvProgress->value(), 100);
    EXPECT_FALSE(form.ChangeLabel->isEnabled());
    EXPECT_FALSE(form.OpenLabel->isEnabled());
    EXPECT_FALSE(form.BrowseLabel->isEnabled());
    EXPECT_TRUE(form.StartBitBtn->isEnabled());
    EXPECT_EQ(form.StartBitBtn->text(), QStringLiteral("Start Repair"));
}

TEST(StartUp, RememberedFolderLosesItsDoubledSeparator)
{
    Sandbox box;
    WriteIni(box, "[General]\npath=/srv/damaged/\n");
    T_mainForm& form = box.start();
    EXPECT_EQ(form.FileAdvEdit->text(), QStringLiteral("/srv/damaged/"));
    EXPECT_EQ(form.FixedFile, QStringLiteral("/srv/damaged/no.file"));
    EXPECT_EQ(form.OutputFileStaticText->text(), QStringLiteral("/srv/damaged/no.file"));
}

TEST(StartUp, BadSettingsCountAsAbsent)
{
    const QByteArray contents[] = {
        "[General]\npath=a,b\n", // a list, not text
        "[General]\npath=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n", // a number
        QByteArray("\x00\xff\xfe[[[\n=\x01\x02", 10), // not a settings file at all
    };
    for (const QByteArray& content : contents) {
        Sandbox box;
        WriteIni(box, content);
        T_mainForm& form = box.start();
        EXPECT_EQ(form.FileAdvEdit->text(), box.documents()) << content.toStdString();
        EXPECT_EQ(form.LogMemo->toPlainText(), QStringLiteral("Ready"));
    }
    Sandbox box;
    QDir().mkpath(box.iniFile()); // a folder where the file belongs
    EXPECT_EQ(box.start().FileAdvEdit->text(), box.documents());
}

TEST(Chooser, CancelOrMissingChoiceChangesNothing)
{
    Sandbox box;
    T_mainForm& form = box.start();
    box.dialogs.answers = { std::nullopt, box.files.file(QStringLiteral("gone.doc")), box.files.path() };
    for (int i = 0; i < 3; ++i)
        form.ChangeSpeedButtonClick();
    EXPECT_EQ(form.FileAdvEdit->text(), box.documents());
    EXPECT_EQ(form.FixedFile, box.documents() + QStringLiteral("/no.file"));
    EXPECT_FALSE(form.ChangeLabel->isEnabled());
    EXPECT_FALSE(box.storedPath().has_value());
    EXPECT_FALSE(QFile::exists(box.iniFile()));
}

TEST(Chooser, ChoiceShowsSourceAndFixedNameAndEnablesLinks)
{
    Sandbox box;
    T_mainForm& form = box.start();
    const QString source = box.files.write(QStringLiteral("report.doc"), "data");
    box.choose(source);
    EXPECT_EQ(box.dialogs.initialDirs.value(0), box.documents()); // an existing folder is used as is
    EXPECT_EQ(form.FileAdvEdit->text(), source);
    const QString fixed = box.files.path() + QStringLiteral("/report_r15090104012011.doc");
    EXPECT_EQ(form.FixedFile, fixed);
    EXPECT_EQ(form.OutputFileStaticText->text(),
        fixed.size() <= 100 ? fixed : fixed.left(45) + QStringLiteral(" ... ") + fixed.right(45));
    EXPECT_TRUE(form.ChangeLabel->isEnabled());
    EXPECT_TRUE(form.BrowseLabel->isEnabled());
    EXPECT_FALSE(form.OpenLabel->isEnabled());
    EXPECT_FALSE(QFile::exists(fixed)); // only proposed

    // The next choice starts in the folder of the file shown.
    box.choose(source);
    EXPECT_EQ(box.dialogs.initialDirs.value(1), box.files.path() + QStringLiteral("/"));

    form.BrowseLabelClick();
    EXPECT_EQ(box.shell.opened, QStringList { box.files.path() + QStringLiteral("/") });
}

TEST(Chooser, RememberedFolderAcrossTwoStarts)
{
    Sandbox box;
    box.start();
    // A sub-folder of Documents counts as outside it.
    QDir().mkpath(box.documents() + QStringLiteral("/sub"));
    const QString inSub = box.documents() + QStringLiteral("/sub/a.xls");
    QFile(inSub).open(QIODevice::WriteOnly);
    box.choose(inSub);
    EXPECT_EQ(box.storedPath(), box.documents() + QStringLiteral("/sub/"));

    T_mainForm& second = box.start();
    EXPECT_EQ(second.FileAdvEdit->text(), box.documents() + QStringLiteral("/sub/"));
    EXPECT_EQ(second.OutputFileStaticText->text(), box.documents() + QStringLiteral("/sub/no.file"));

    // A file directly in Documents removes it.
    const QString inDocs = box.documents() + QStringLiteral("/b.xls");
    QFile(inDocs).open(QIODevice::WriteOnly);
    box.choose(inDocs);
    EXPECT_FALSE(box.storedPath().has_value());

    T_mainForm& third = box.start();
    EXPECT_EQ(third.FileAdvEdit->text(), box.documents());
    EXPECT_TRUE(third.OutputFileStaticText->text().endsWith(QStringLiteral("/no.file")));
}

TEST(Chooser, RememberedFolderNotUtf8IsKeptByteForByte)
{
    Sandbox box;
    box.start();
    const QByteArray folder = EncodePath(box.files.path()) + "/dir_\xff\xfe";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    const int fd = ::open((folder + "/a.doc").constData(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    box.choose(DecodePath(folder + "/a.doc"));
    QFile ini(box.iniFile());
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("\n"); // read from disk again, not from the process's cache
    ini.close();

    T_mainForm& second = box.start();
    EXPECT_EQ(EncodePath(second.FileAdvEdit->text()), folder + "/");
    EXPECT_EQ(EncodePath(second.OpenDialog->InitialDir), folder + "/");
    // The temporary folder's own clean-up cannot name it.
    ::unlink((folder + "/a.doc").constData());
    ::rmdir(folder.constData());
}

TEST(Chooser, FolderDifferingOnlyInCaseIsStored)
{
    Sandbox box;
    box.start();
    const QString upper = box.documents().left(box.documents().size() - 9) + QStringLiteral("DOCUMENTS");
    QDir().mkpath(upper);
    const QString file = upper + QStringLiteral("/c.pdf");
    QFile(file).open(QIODevice::WriteOnly);
    box.choose(file);
    EXPECT_EQ(box.storedPath(), upper + QStringLiteral("/"));
}

TEST(Chooser, SettingThatCannotBeWrittenRaisesAfterTheChoice)
{
    Sandbox box;
    T_mainForm& form = box.start();
    QDir(box.configFolder()).removeRecursively();
    QFile(box.configFolder()).open(QIODevice::WriteOnly); // a file where the folder belongs
    const QString source = box.files.write(QStringLiteral("x.doc"), "12");
    box.dialogs.answers = { source };
    EXPECT_THROW(form.ChangeSpeedButtonClick(), ESettingsError);
    EXPECT_EQ(form.FileAdvEdit->text(), source); // the choice itself is complete
}

TEST(Chooser, NamesThatAreNotAsciiOrNotUtf8)
{
    Sandbox box;
    T_mainForm& form = box.start();
    const QString unicode = box.files.write(QStringLiteral("\u00DCbung \u0444\u0430\u0439\u043B.doc"), "ab");
    box.choose(unicode);
    EXPECT_EQ(form.FileAdvEdit->text(), unicode);
    EXPECT_EQ(FileNamePart(form.FixedFile, QStringLiteral("/")),
        QStringLiteral("\u00DCbung \u0444\u0430\u0439\u043B_r15090104012011.doc"));

    const QString raw = DecodePath(EncodePath(box.files.path()) + "/bad\xff.doc");
    const int fd = ::open(EncodePath(raw).constData(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "ab", 2), 2);
    ::close(fd);
    box.choose(raw);
    EXPECT_EQ(form.FileAdvEdit->text(), raw);
    EXPECT_EQ(EncodePath(form.FileAdvEdit->text()), EncodePath(box.files.path()) + "/bad\xff.doc");
}

} // namespace
