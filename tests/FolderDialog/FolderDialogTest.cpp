// SPDX-License-Identifier: MIT
#include "FolderDialog.h"
#include "PropertyNotify.h"
#include "TempDir.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Stands in for the user: records the request, lets the dialog place a real window, answers.
struct FakeBrowser : TFolderBrowser {
    std::optional<TBrowseResult> answer;
    bool fail = false;
    TBrowseRequest seen;
    QPoint placedAt;
    QString windowTitle;
    std::optional<TBrowseResult> browse(const TBrowseRequest& request) override
    {
        seen = request;
        QWidget window;
        window.setWindowTitle("shell title");
        window.setGeometry(30, 40, 300, 200);
        if (request.initialized)
            request.initialized(&window);
        placedAt = window.pos();
        windowTitle = window.windowTitle();
        if (fail)
            throw std::runtime_error("browser failed");
        return answer;
    }
};

FakeBrowser* install(TFolderDialog& dialog)
{
    auto fake = std::make_unique<FakeBrowser>();
    FakeBrowser* raw = fake.get();
    dialog.setBrowser(std::move(fake));
    return raw;
}

TBrowseResult chosen(const QString& path, int image = 4)
{
    return { QUrl::fromLocalFile(path), image };
}

TEST(FolderDialog, Defaults)
{
    TFolderDialog d;
    EXPECT_EQ(d.Directory(), QDir::currentPath());
    EXPECT_EQ(d.Options(), TFolderOptions(fdoNewDialogStyle));
    EXPECT_EQ(d.DialogPosition(), TDialogPosition::fdpDefault);
    EXPECT_EQ(d.Caption(), "");
    EXPECT_EQ(d.Version(), "1.1.0.1");
    d.setVersion("2.0.0.0");
    EXPECT_EQ(d.Version(), "1.1.0.1");
}

TEST(FolderDialog, ChangesNotifyOnceAndTheSameValueNever)
{
    TFolderDialog dialog;
    const struct {
        const char* name;
        QVariant value;
    } changes[] = {
        { "Caption", QStringLiteral("Pick") },
        { "Title", QStringLiteral("Where to?") },
        { "Directory", QStringLiteral("/tmp") },
        { "DialogX", 40 },
        { "DialogY", -3 },
    };
    for (const auto& c : changes)
        ExpectNotifiesOnChangeOnly(dialog, c.name, c.value);
    EXPECT_EQ(PropertiesWithoutNotify(dialog), QStringList { "Version" });
}

TEST(FolderDialog, OptionFlags)
{
    EXPECT_EQ(BrowseFlags(fdoNewDialogStyle), 0x40u);
    EXPECT_EQ(BrowseFlags({}), 0u);
    EXPECT_EQ(
        BrowseFlags(fdoBrowseForComputer | fdoBrowseForPrinter | fdoDontgoBelowDomain | fdoReturnFSAncestors
            | fdoReturnOnlyFSDirs | fdoStatusText | fdoNewDialogStyle | fdoNoNewFolderButton | fdoEditBox),
        0x1000u | 0x2000u | 0x2u | 0x8u | 0x1u | 0x4u | 0x40u | 0x200u | 0x10u);
}

TEST(FolderDialog, Placement)
{
    const QSize desk(1920 + 1280, 1080);
    const QPoint cur(30, 40);
    const QSize win(301, 201);
    EXPECT_EQ(FolderDialogTopLeft(TDialogPosition::fdpDefault, cur, win, desk, 5, 5), cur);
    EXPECT_EQ(FolderDialogTopLeft(TDialogPosition::fdpScreenCenter, cur, win, desk, 5, 5),
        QPoint(1600 - 150, 540 - 100));
    EXPECT_EQ(FolderDialogTopLeft(TDialogPosition::fdpXY, cur, win, desk, -5, 10), QPoint(0, 10));
    EXPECT_EQ(FolderDialogTopLeft(TDialogPosition::fdpXY, cur, win, desk, 7, -1), QPoint(7, 0));
}

TEST(FolderDialog, ExecutePlacesPreselectsAndReturnsChoice)
{
    TempDir tmp;
    QDir(tmp.path()).mkdir("pick");
    TFolderDialog d;
    d.setTitle("Please, select the fixed file folder.");
    d.setDirectory(tmp.path());
    d.setDialogPosition(TDialogPosition::fdpXY);
    d.setDialogX(-5);
    d.setDialogY(10);
    d.setCaption("Choose");
    FakeBrowser* fake = install(d);
    fake->answer = chosen(tmp.path() + "/pick", 7);
    QSignalSpy directory(&d, &TFolderDialog::directoryChanged);
    QSignalSpy image(&d, &TFolderDialog::imageIndexChanged);
    EXPECT_TRUE(d.Execute());
    ASSERT_EQ(directory.size(), 1);
    EXPECT_EQ(directory.at(0).at(0).toString(), QDir::toNativeSeparators(tmp.path() + "/pick"));
    ASSERT_EQ(image.size(), 1);
    EXPECT_EQ(image.at(0).at(0).toInt(), 7);
    EXPECT_EQ(fake->seen.title, "Please, select the fixed file folder.");
    EXPECT_EQ(fake->seen.directory, tmp.path());
    EXPECT_EQ(fake->seen.flags, 0x40u);
    EXPECT_EQ(fake->placedAt, QPoint(0, 10));
    EXPECT_EQ(fake->windowTitle, "Choose");
    EXPECT_EQ(d.Directory(), QDir::toNativeSeparators(tmp.path() + "/pick"));
    EXPECT_EQ(d.ImageIndex(), 7);
}

TEST(FolderDialog, DefaultPlacementAndEmptyCaptionKeepTheWindowsOwn)
{
    TFolderDialog d;
    FakeBrowser* fake = install(d);
    EXPECT_FALSE(d.Execute());
    EXPECT_EQ(fake->placedAt, QPoint(30, 40));
    EXPECT_EQ(fake->windowTitle, "shell title");
}

TEST(FolderDialog, CancelWithMissingDirectoryLeavesCurrentDirectory)
{
    TFolderDialog d;
    d.setDirectory("/no/such/folder/anywhere");
    FakeBrowser* fake = install(d);
    QSignalSpy directory(&d, &TFolderDialog::directoryChanged);
    EXPECT_FALSE(d.Execute());
    EXPECT_EQ(fake->seen.directory, QDir::currentPath());
    EXPECT_EQ(d.Directory(), QDir::currentPath());
    EXPECT_EQ(directory.size(), 1) << "replaced by the current directory";
}

TEST(FolderDialog, VirtualItemOrBrowserErrorGiveFalse)
{
    TempDir tmp;
    TFolderDialog d;
    d.setDirectory(tmp.path());
    FakeBrowser* fake = install(d);
    fake->answer = TBrowseResult { QUrl("network:///"), 3 };
    EXPECT_FALSE(d.Execute());
    EXPECT_EQ(d.Directory(), tmp.path());
    EXPECT_EQ(d.ImageIndex(), 0);
    fake->answer = chosen(tmp.path());
    fake->fail = true;
    EXPECT_FALSE(d.Execute());
}

TEST(FolderDialog, PathParts)
{
    struct Case {
        const char* path;
        const char* seps;
        const char* folder;
        const char* name;
    };
    const Case cases[] = {
        { "C:\\dir\\file.doc", "\\:", "C:\\dir\\", "file.doc" },
        { "C:file.doc", "\\:", "C:", "file.doc" },
        { "file.doc", "\\:", "", "file.doc" },
        { "/home/u/a:b.doc", "/", "/home/u/", "a:b.doc" },
        { "/x", "/", "/", "x" },
        { "dir/", "/", "dir/", "" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FolderPart(c.path, c.seps), c.folder) << c.path;
        EXPECT_EQ(FileNamePart(c.path, c.seps), c.name) << c.path;
    }
}

TEST(FolderDialog, MoveToFolderRules)
{
    struct Case {
        const char* fixed;
        const char* folder;
        const char* seps;
        const char* result;
    };
    const Case cases[] = {
        { "C:\\src\\report_r1.doc", "D:\\out", "\\:", "D:\\out\\report_r1.doc" },
        { "C:\\src\\report_r1.doc", "D:\\", "\\:", "D:\\report_r1.doc" }, // drive root: one separator
        { "/home/u/report_r1.doc", "/tmp/out", "/", "/tmp/out/report_r1.doc" },
        { "/home/u/report_r1.doc", "/", "/", "/report_r1.doc" },
        { "/home/u/a:b.doc", "/mnt", "/", "/mnt/a:b.doc" }, // ':' is ordinary here
    };
    for (const Case& c : cases)
        EXPECT_EQ(MoveToFolder(c.fixed, c.folder, c.seps), c.result) << c.fixed << " " << c.folder;
}

TEST(FolderDialog, ChangeLinkFlow)
{
    TempDir tmp;
    QDir(tmp.path()).mkdir("src");
    QDir(tmp.path()).mkdir("dest");
    const QString fixed = tmp.path() + "/src/report_r15090104012011.doc";
    TFolderDialog d;
    FakeBrowser* fake = install(d);

    fake->answer = chosen(tmp.path() + "/dest");
    EXPECT_EQ(ChooseFixedFileFolder(d, fixed, "/"), tmp.path() + "/dest/report_r15090104012011.doc");
    EXPECT_EQ(fake->seen.directory, tmp.path() + "/src/");

    fake->answer = chosen("/");
    EXPECT_EQ(ChooseFixedFileFolder(d, fixed, "/"), QString("/report_r15090104012011.doc"));

    fake->answer.reset(); // cancel
    EXPECT_FALSE(ChooseFixedFileFolder(d, fixed, "/"));

    const QString gone = tmp.path() + "/gone";
    QDir(tmp.path()).mkdir("gone");
    fake->answer = chosen(gone);
    QDir(gone).removeRecursively(); // vanishes before the path is built
    EXPECT_FALSE(ChooseFixedFileFolder(d, fixed, "/"));
}

TEST(FolderDialog, QtBrowserRefusesComputersAndPrinters)
{
    TQtFolderBrowser browser;
    TBrowseRequest request;
    request.flags = 0x1000;
    EXPECT_FALSE(browser.browse(request));
}

TEST(FolderDialog, QtBrowserPreselectsPlacesAndReturnsTheFolder)
{
    TempDir tmp;
    QDir(tmp.path()).mkdir("inner");
    TFolderDialog d;
    d.setTitle("Please, select the fixed file folder.");
    d.setDirectory(tmp.path() + "/inner");
    d.setDialogPosition(TDialogPosition::fdpXY);
    d.setDialogX(12);
    d.setDialogY(-3);
    d.setCaption("Folder");
    QString shownDirectory, shownTitle;
    QPoint shownAt;
    bool readOnly = true;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shownDirectory = dialog->directory().absolutePath();
        shownTitle = dialog->windowTitle();
        shownAt = dialog->pos();
        readOnly = dialog->testOption(QFileDialog::ReadOnly);
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_TRUE(d.Execute());
    EXPECT_EQ(shownDirectory, tmp.path() + "/inner");
    EXPECT_EQ(shownTitle, "Folder");
    EXPECT_EQ(shownAt, QPoint(12, 0));
    EXPECT_FALSE(readOnly);
    EXPECT_EQ(QDir::fromNativeSeparators(d.Directory()), tmp.path() + "/inner");

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_FALSE(d.Execute());
    EXPECT_EQ(QDir::fromNativeSeparators(d.Directory()), tmp.path() + "/inner");
}

} // namespace
