// SPDX-License-Identifier: MIT
#include "ErrorBox.h"
#include "Fakes.h"
#include "OpenDialog.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

TEST(OpenDialog, SourceChooserAsTheMainWindowSetsIt)
{
    Sandbox box;
    T_mainForm& form = box.start();
    const TOpenDialog& d = *form.OpenDialog;
    EXPECT_EQ(d.Title, QStringLiteral("Please, select the file to be repaired."));
    EXPECT_EQ(d.FilterIndex, 10);
    const QStringList filters = d.NameFilters();
    ASSERT_EQ(filters.size(), 10);
    EXPECT_EQ(filters[0], QStringLiteral("Word documents (*.doc *.docx *.docm *.rtf)"));
    EXPECT_EQ(filters[1], QStringLiteral("Excel spreadsheets (*.xls *.xla *.xlsx)")); // leading blank dropped
    EXPECT_EQ(filters[7], QStringLiteral("PowerPoint presentations (*.ppt *.pps *.pptx)"));
    EXPECT_EQ(filters[9], QStringLiteral("Any File (*)")); // also names without a dot

    QFileDialog dialog;
    TOpenDialog copy;
    copy.Title = d.Title;
    copy.Filter = d.Filter;
    copy.FilterIndex = d.FilterIndex;
    copy.InitialDir = box.files.path();
    copy.Options = d.Options;
    copy.Configure(dialog);
    EXPECT_EQ(dialog.windowTitle(), d.Title);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog.selectedNameFilter(), QStringLiteral("Any File")); // listed by name only
    EXPECT_EQ(dialog.directory().absolutePath(), box.files.path());
    EXPECT_TRUE(dialog.testOption(QFileDialog::HideNameFilterDetails));
    EXPECT_TRUE(dialog.isSizeGripEnabled());
}

TEST(OpenDialog, FilterIndexOutOfRangeSelectsTheFirst)
{
    TOpenDialog d;
    d.Filter = QStringLiteral("A|*.a|B|*.b");
    d.FilterIndex = 7;
    QFileDialog dialog;
    d.Configure(dialog);
    EXPECT_EQ(dialog.selectedNameFilter(), QStringLiteral("A"));
}

TEST(ErrorBox, ErrorIconOneOkCentredOnTheScreen)
{
    QMessageBox box;
    PrepareMessageBox(box, QStringLiteral("Your file is empty. No data in it and nothing to repair."), {},
        TMessageKind::Error);
    EXPECT_EQ(box.icon(), QMessageBox::Critical);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Error"));
    EXPECT_EQ(box.text(), QStringLiteral("Your file is empty. No data in it and nothing to repair."));
    EXPECT_EQ(box.buttons().size(), 1);
    EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((box.geometry().center() - centre).manhattanLength(), 2);
}

} // namespace
