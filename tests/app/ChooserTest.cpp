// SPDX-License-Identifier: MIT
// The source chooser's size and columns: fitted to the folder it opens in, then kept as the user
// leaves them, between uses and between runs.
#include "Fakes.h"
#include "OpenDialog.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

// Long, but as ordinary names go: the chooser shows it whole beside the other columns.
const QString kLongName = QStringLiteral("Quarterly report for the board, final.docx");

QTreeView* DetailView(QFileDialog& dialog)
{
    return dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
}

// The widest each column's content is, title included.
int ContentWidth(QTreeView& view, int column)
{
    const QAbstractItemView& items = view; // the hint is public there
    return qMax(items.sizeHintForColumn(column), view.header()->sectionSizeHint(column));
}

// Every column from `first` on shows its content whole, and all of them fit the view.
bool ColumnsWhole(QFileDialog& dialog, int first = 0)
{
    QTreeView* view = DetailView(dialog);
    if (!view || view->model()->rowCount(view->rootIndex()) < 2)
        return false;
    int total = 0;
    for (int c = 0; c < 4; ++c) {
        if (c < first) {
            total += view->header()->sectionSize(c);
            continue;
        }
        if (view->header()->sectionSize(c) < ContentWidth(*view, c))
            return false;
        total += view->header()->sectionSize(c);
    }
    return total <= view->viewport()->width();
}

// Listed rows, whatever the column widths.
bool Listed(QFileDialog& dialog)
{
    QTreeView* view = DetailView(dialog);
    return view && view->model()->rowCount(view->rootIndex()) >= 2;
}

// A screen narrow in layout pixels (offscreen at twice the density) has no room for the columns
// whatever the dialog does.
#define SKIP_ON_A_NARROW_SCREEN()                                                                            \
    if (QGuiApplication::primaryScreen()->availableGeometry().width() < 700)                                 \
    GTEST_SKIP() << "screen too narrow for the columns"

class ChooserLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        files.write(kLongName, QByteArray(30000, 'x'));
        files.write(QStringLiteral("notes.txt"), "ab");
        chooser.InitialDir = files.path();
        chooser.Filter = QStringLiteral("Any File|*.*");
    }

    TempDir files;
    TOpenDialog chooser;
};

TEST_F(ChooserLayout, OpensWithEveryColumnWhole)
{
    SKIP_ON_A_NARROW_SCREEN();
    QFileDialog dialog;
    chooser.Configure(dialog);
    dialog.show();
    ASSERT_NE(DetailView(dialog), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ColumnsWhole(dialog); }, 5000))
        << "dialog " << dialog.width() << " x " << dialog.height();
    EXPECT_LE(dialog.width(), dialog.screen()->availableGeometry().width());
}

// A name wider than the screen leaves room for the other columns; the dialog stays on the screen.
TEST_F(ChooserLayout, NameBeyondTheScreenGivesWay)
{
    SKIP_ON_A_NARROW_SCREEN();
    files.write(QString(200, QLatin1Char('n')) + QStringLiteral(".doc"), "ab");
    QFileDialog dialog;
    chooser.Configure(dialog);
    dialog.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ColumnsWhole(dialog, 1); }, 5000));
    EXPECT_TRUE(dialog.screen()->availableGeometry().contains(dialog.frameGeometry()));
    EXPECT_GT(DetailView(dialog)->header()->sectionSize(0), 100);
}

TEST_F(ChooserLayout, KeepsSizeSplitterAndColumns)
{
    QSize size;
    QList<int> splitter;
    std::vector<int> columns;
    QString elsewhere;
    {
        QFileDialog dialog;
        chooser.Configure(dialog);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Listed(dialog); }, 5000));
        QTest::qWait(50); // past the fit
        // The user's own layout.
        dialog.resize(dialog.screen()->availableGeometry().size() * 0.9);
        auto* split = dialog.findChild<QSplitter*>(QStringLiteral("splitter"));
        ASSERT_NE(split, nullptr);
        split->setSizes({ 90, split->width() - 90 - split->handleWidth() });
        DetailView(dialog)->header()->resizeSection(1, 111);
        size = dialog.size();
        splitter = split->sizes();
        for (int c = 0; c < 3; ++c)
            columns.push_back(DetailView(dialog)->header()->sectionSize(c));
        elsewhere = QDir::tempPath();
        dialog.setDirectory(elsewhere);
        chooser.KeepState(dialog);
    }
    ASSERT_FALSE(chooser.State.isEmpty());
    QFileDialog again;
    chooser.Configure(again);
    again.show();
    QTest::qWait(100); // a fit, if one came, would have come
    EXPECT_EQ(again.size(), size);
    EXPECT_EQ(again.findChild<QSplitter*>(QStringLiteral("splitter"))->sizes(), splitter);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(DetailView(again)->header()->sectionSize(c), columns[size_t(c)]) << "column " << c;
    // The folder is the one asked for, not the one the last run ended in.
    EXPECT_EQ(again.directory().absolutePath(), files.path());
}

TEST_F(ChooserLayout, StateThatIsNotOursIsIgnored)
{
    SKIP_ON_A_NARROW_SCREEN();
    for (const QByteArray& bytes :
        { QByteArray("junk"), QByteArray(3, '\0'), QByteArray::fromHex("514f4431") }) {
        chooser.State = bytes;
        QFileDialog dialog;
        chooser.Configure(dialog);
        dialog.show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return ColumnsWhole(dialog); }, 5000)) << bytes.toHex().constData();
        EXPECT_EQ(dialog.directory().absolutePath(), files.path());
    }
}

// The main window keeps the chooser's layout in its settings, beside the remembered folder and
// without touching it.
TEST(ChooserSettings, LayoutOutlivesTheRun)
{
    Sandbox box;
    T_mainForm& form = box.start();
    EXPECT_TRUE(form.OpenDialog->State.isEmpty());
    const QString source = box.files.write(QStringLiteral("report.doc"), "ab");
    const QByteArray layout("\x01\x02 any layout \xff", 16);
    box.dialogs.answers.push_back(source);
    form.OpenDialog->State = layout; // as a run of the real dialog leaves it
    form.ChangeSpeedButtonClick();
    const std::optional<QString> path = box.storedPath();
    ASSERT_TRUE(path.has_value());

    T_mainForm& next = box.start();
    EXPECT_EQ(next.OpenDialog->State, layout);
    EXPECT_EQ(box.storedPath(), path);
    EXPECT_EQ(next.FileAdvEdit->text(), *path);

    // A value damaged in the file is no layout; the chooser fits itself again.
    QSettings(box.iniFile(), QSettings::IniFormat).setValue(QStringLiteral("chooser"), QStringLiteral("%%%"));
    EXPECT_TRUE(box.start().OpenDialog->State.isEmpty());
}

} // namespace
