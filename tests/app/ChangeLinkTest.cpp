// SPDX-License-Identifier: MIT
// The "change" link, the caption from the version resource and the source field during a pass.
#include "Fakes.h"

#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The user's answer in the folder chooser: a folder, or a cancel.
class FakeFolderBrowser : public TFolderBrowser {
public:
    explicit FakeFolderBrowser(std::optional<QString> answer, QString* preselected = nullptr)
        : m_answer(std::move(answer))
        , m_preselected(preselected)
    {
    }
    std::optional<TBrowseResult> browse(const TBrowseRequest& request) override
    {
        if (m_preselected)
            *m_preselected = request.directory;
        if (!m_answer)
            return std::nullopt;
        return TBrowseResult { QUrl::fromLocalFile(*m_answer), 0 };
    }

private:
    std::optional<QString> m_answer;
    QString* m_preselected;
};

class ChangeLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = &box.start();
        source = box.files.write(QStringLiteral("report.doc"), "ab");
        box.choose(source);
        ASSERT_TRUE(form->ChangeLabel->isEnabled());
        before = box.storedPath();
    }
    void answer(std::optional<QString> folder, QString* preselected = nullptr)
    {
        form->FolderDialog->setBrowser(std::make_unique<FakeFolderBrowser>(std::move(folder), preselected));
    }

    Sandbox box;
    T_mainForm* form = nullptr;
    QString source;
    std::optional<QString> before;
};

TEST_F(ChangeLink, MovesOnlyTheFolderOfTheFixedFile)
{
    const QString name = QStringLiteral("report_r15090104012011.doc");
    ASSERT_EQ(form->FixedFile, box.files.file(name));
    QDir().mkpath(box.files.file(QStringLiteral("out")));
    QString preselected;
    answer(box.files.file(QStringLiteral("out")), &preselected);
    QTest::mouseClick(form->ChangeLabel, Qt::LeftButton);

    EXPECT_EQ(preselected, box.files.path() + QLatin1Char('/'));
    EXPECT_EQ(form->FixedFile, box.files.file(QStringLiteral("out/")) + name);
    EXPECT_EQ(form->OutputFileStaticText->text(), form->FixedFile);
    EXPECT_EQ(form->FileAdvEdit->text(), source);
    EXPECT_EQ(box.storedPath(), before);

    // "browse" now opens the newly chosen folder.
    form->BrowseLabelClick();
    ASSERT_FALSE(box.shell.opened.isEmpty());
    EXPECT_EQ(box.shell.opened.last(), box.files.file(QStringLiteral("out/")));
}

TEST_F(ChangeLink, CancelOrVanishedFolderChangesNothing)
{
    const QString fixed = form->FixedFile;
    answer(std::nullopt);
    form->ChangeLabelClick();
    EXPECT_EQ(form->FixedFile, fixed);
    answer(box.files.file(QStringLiteral("never-made")));
    form->ChangeLabelClick();
    EXPECT_EQ(form->FixedFile, fixed);
    EXPECT_EQ(form->OutputFileStaticText->text(), fixed);
}

TEST_F(ChangeLink, RootFolderGetsASingleSeparator)
{
    answer(QStringLiteral("/"));
    form->ChangeLabelClick();
    EXPECT_EQ(form->FixedFile, QStringLiteral("/report_r15090104012011.doc"));
}

TEST(Caption, ComesFromTheExecutablesVersionResource)
{
    Sandbox box;
    T_mainForm& form = box.start();
    EXPECT_EQ(form.ExeInfo->ProductName(), QStringLiteral("Quillon"));
    EXPECT_EQ(form.ExeInfo->ProductVersion(), QStringLiteral("2.1 Build 2"));
    EXPECT_EQ(form.CaptionText(), QStringLiteral("Quillon  2.1 Build 2"));
}

TEST(SourceField, GreyWhileAPassRunsAndWindowColouredAfterwards)
{
    Sandbox box;
    T_mainForm& form = box.start();
    box.choose(box.files.write(QStringLiteral("zero.bin"), QByteArray()));
    EXPECT_EQ(form.FileAdvEdit->Color(), clWindow);
    TColor during = clNone;
    QRgb pixel = 0;
    box.waiter.onStep = [&](int step) {
        if (step != 10)
            return;
        during = form.FileAdvEdit->Color();
        const QImage shot = form.FileAdvEdit->grab().toImage();
        pixel = shot.pixel(shot.width() / 2, shot.height() - 4);
    };
    form.StartBitBtnClick();
    EXPECT_EQ(during, TColor(0xC0C0C0));
    EXPECT_EQ(qRed(pixel), 0xC0);
    EXPECT_EQ(qGreen(pixel), 0xC0);
    EXPECT_EQ(qBlue(pixel), 0xC0);
    EXPECT_EQ(form.FileAdvEdit->Color(), clWindow);
    EXPECT_TRUE(form.FileAdvEdit->isReadOnly());
}

} // namespace
