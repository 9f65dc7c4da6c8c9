// SPDX-License-Identifier: MIT
// What a screen reader finds in both windows: each control reached through the accessibility tree
// from its window, with a role and a name the user can act on.
#include "Fakes.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

namespace {

struct Node {
    QAccessible::Role role;
    QString name;
};

// Every interface under `root`, by the object name of its widget.
void Walk(QAccessibleInterface* iface, std::map<QString, Node>& found, int depth = 0)
{
    ASSERT_LT(depth, 20) << "the tree loops";
    if (QObject* object = iface->object(); object && !object->objectName().isEmpty())
        found.emplace(object->objectName(), Node { iface->role(), iface->text(QAccessible::Name) });
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface* child = iface->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->parent()->object(), iface->object()) << "child " << i << " does not lead back";
        Walk(child, found, depth + 1);
    }
}

struct Row {
    const char* object;
    QAccessible::Role role;
    const char* name;
};

// clang-format off
const Row kMainRows[] = {
    { "_mainForm", QAccessible::Window, "Quillon  2.1 Build 2" },
    { "FileAdvEdit", QAccessible::EditableText, "File to be repaired" },
    { "ChangeSpeedButton", QAccessible::Button, "Choose the file to be repaired" },
    { "LogMemo", QAccessible::EditableText, "Process log" },
    { "StartBitBtn", QAccessible::Button, "Start Repair" },
    { "AdvProgress", QAccessible::ProgressBar, "Progress" },
    { "LogoImage", QAccessible::Graphic, "Quillon" },
    { "WordImage", QAccessible::Graphic, "Word documents" },
    { "ExcelImage", QAccessible::Graphic, "Excel spreadsheets" },
    { "ArchivesImage", QAccessible::Graphic, "Zip or RAR archives" },
    { "VideoImage", QAccessible::Graphic, "Videos" },
    { "ImagesImage", QAccessible::Graphic, "Images" },
    { "PDFImage", QAccessible::Graphic, "PDF documents" },
    { "AccessImage", QAccessible::Graphic, "Access databases" },
    { "PowerpointImage", QAccessible::Graphic, "PowerPoint presentations" },
    { "MusicImage", QAccessible::Graphic, "Music" },
    { "ChangeLabel", QAccessible::Link, "change" },
    { "OpenLabel", QAccessible::Link, "open" },
    { "BrowseLabel", QAccessible::Link, "browse" },
    { "SourceStaticText", QAccessible::StaticText, "Select the source file to be repaired:" },
};
const Row kOfferRows[] = {
    { "_manualForm", QAccessible::Dialog, "No data to recover detected, BUT " },
};
// clang-format on

void CheckWindow(QWidget& window, const Row* begin, const Row* end)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    std::map<QString, Node> found;
    Walk(QAccessible::queryAccessibleInterface(&window), found);
    for (const Row* row = begin; row != end; ++row) {
        SCOPED_TRACE(row->object);
        const auto it = found.find(QLatin1String(row->object));
        ASSERT_NE(it, found.end()) << "not in the tree";
        EXPECT_EQ(it->second.role, row->role);
        EXPECT_EQ(it->second.name, QString::fromUtf8(row->name));
    }
    // Nothing a reader stops at is left without a name; only containers may be.
    for (const auto& [object, node] : found) {
        if (node.role != QAccessible::Pane && node.role != QAccessible::Client
            && node.role != QAccessible::Grouping) {
            EXPECT_FALSE(node.name.isEmpty()) << object.toStdString();
        }
    }
}

TEST(Accessibility, MainWindowNamesAndRoles)
{
    Sandbox box;
    T_mainForm& form = box.start();
    CheckWindow(form, std::begin(kMainRows), std::end(kMainRows));
}

TEST(Accessibility, OfferDialogNamesAndRoles)
{
    Sandbox box;
    box.start();
    auto* offer = box.form().findChild<T_manualForm*>();
    ASSERT_NE(offer, nullptr);
    CheckWindow(*offer, std::begin(kOfferRows), std::end(kOfferRows));
}

// The bar says how far the pass is, not only that there is a bar.
TEST(Accessibility, ProgressReportsItsValue)
{
    Sandbox box;
    T_mainForm& form = box.start();
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(form.AdvProgress);
    ASSERT_NE(bar, nullptr);
    QAccessibleValueInterface* value = bar->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toInt(), 100);
    EXPECT_EQ(value->maximumValue().toInt(), 100);
    form.AdvProgress->setValue(42);
    EXPECT_EQ(value->currentValue().toInt(), 42);
    EXPECT_EQ(bar->text(QAccessible::Value), QStringLiteral("42"));
}

} // namespace
