// SPDX-License-Identifier: MIT
// Saved panel positions and the panel group.
#include "AdvPanelGroup.h"
#include "Loadable.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QUuid>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>

using namespace AdvPanel;

namespace {

// A panel that keeps its position in `key`, created through a form load so that its Loaded runs.
std::unique_ptr<TAdvPanel> LoadedPanel(const QString& key, TPanelPositionLocation location)
{
    std::unique_ptr<TAdvPanel> panel;
    LoadForm([&] {
        panel = std::make_unique<TAdvPanel>();
        panel->setCollapsSteps(0);
        panel->Caption()->setVisible(true);
        panel->setGeometry(1, 2, 100, 80);
        panel->Position()->setSave(true);
        panel->Position()->setKey(key);
        panel->Position()->setSection(QStringLiteral("Panel"));
        panel->Position()->setLocation(location);
    });
    return panel;
}

TEST(PanelPosition, RoundTripsThroughTheStore)
{
    TempDir dir;
    // A key of this run only, in the test area of the user's store, removed afterwards.
    const QString organisation = QStringLiteral("quillon-test-") + QUuid::createUuid().toString(QUuid::Id128);
    const auto cleanup = qScopeGuard([&] {
        QSettings store(QSettings::IniFormat, QSettings::UserScope, organisation, QStringLiteral("panel"));
        QFile::remove(store.fileName());
        QDir().rmdir(QFileInfo(store.fileName()).path());
    });
    struct Case {
        const char* name;
        QString key;
        TPanelPositionLocation location;
    };
    const Case cases[] = {
        { "INI file", dir.file(QStringLiteral("panel.ini")), clInifile },
        { "user settings store", QStringLiteral("SOFTWARE\\%1\\panel").arg(organisation), clRegistry },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            auto panel = LoadedPanel(c.key, c.location);
            EXPECT_EQ(panel->geometry(), QRect(1, 2, 100, 80)); // nothing stored yet
            panel->SetBounds(30, 40, 150, 90);
            panel->setHeight(90);
            panel->setCollaps(true);
        } // saved as the panel goes
        auto again = LoadedPanel(c.key, c.location);
        EXPECT_EQ(again->pos(), QPoint(30, 40));
        EXPECT_EQ(again->size(), QSize(150, 18));
        EXPECT_TRUE(again->Collaps());
        EXPECT_EQ(again->FullHeight(), 90);
        again->setCollaps(false);
        EXPECT_EQ(again->height(), 90);
    }
    QFile ini(cases[0].key);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(ini.readAll()).simplified(),
        QStringLiteral("[Panel] Top=40 Left=30 Height=90 FullHeight=90 Width=150 Collaps=0"));
}

TEST(PanelPosition, DamagedOrMissingStoresLoadNothing)
{
    TempDir dir;
    const QString cases[] = {
        dir.write(QStringLiteral("binary.ini"), QByteArray("\xFF\xFE\x00\xD8garbage\x00\x01", 13)),
        dir.write(QStringLiteral("words.ini"), "[Panel]\nTop=high\nLeft=\nHeight=-500\nWidth=99999999999\n"),
        dir.file(QStringLiteral("missing/none.ini")),
    };
    for (const QString& key : cases) {
        SCOPED_TRACE(key.toStdString());
        auto panel = LoadedPanel(key, clInifile);
        EXPECT_EQ(panel->pos(), QPoint(1, 2));
        EXPECT_FALSE(panel->Collaps());
        panel->Position()->setSave(false); // leave the files as they are
    }
    // Without a section nothing is written.
    const QString key = dir.file(QStringLiteral("nosection.ini"));
    {
        auto panel = LoadedPanel(key, clInifile);
        panel->Position()->setSection(QString());
    }
    EXPECT_FALSE(QFile::exists(key));
}

struct Group : ::testing::Test {
    TAdvPanelGroup group;
    Group()
    {
        group.resize(300, 400);
        group.DefaultPanel()->setHeight(60);
        group.setCollapsSteps(0);
    }
    QList<QRect> Geometries() const
    {
        QList<QRect> list;
        for (TCustomAdvPanel* p : group.Panels())
            list << p->geometry();
        return list;
    }
};

TEST_F(Group, ArrangesInOneOrTwoColumnsAndInARow)
{
    for (int i = 0; i < 3; ++i)
        group.AddPanel();
    // Inside the raised edge (1 pixel), 8 pixels apart.
    EXPECT_EQ(
        Geometries(), (QList<QRect> { QRect(9, 9, 282, 60), QRect(9, 77, 282, 60), QRect(9, 145, 282, 60) }));
    group.setColumns(2);
    EXPECT_EQ(
        Geometries(), (QList<QRect> { QRect(9, 9, 137, 60), QRect(154, 9, 137, 60), QRect(9, 77, 137, 60) }));
    group.setColumns(1);
    group.setGroupStyle(gsHorizontal);
    group.Panels()[0]->resize(50, 10);
    group.UpdateGroup();
    EXPECT_EQ(Geometries()[1].topLeft(), QPoint(9 + 50 + 8, 9));
    EXPECT_EQ(Geometries()[1].height(), 398 - 16);
}

TEST_F(Group, OperationsKeepTheOrder)
{
    group.DefaultPanel()->setHint(QStringLiteral("new"));
    TAdvPanel* a = group.AddPanel();
    TAdvPanel* b = group.AppendPanel();
    TAdvPanel* c = group.InsertPanel(0);
    EXPECT_EQ(group.Panels(), (QList<TCustomAdvPanel*> { c, a, b }));
    EXPECT_EQ(a->Hint(), QStringLiteral("new"));
    EXPECT_EQ(a->height(), 60);
    group.MovePanel(0, 2);
    EXPECT_EQ(group.Panels(), (QList<TCustomAdvPanel*> { a, b, c }));
    EXPECT_EQ(c->y(), 145);
    group.MovePanel(5, 0); // out of range: nothing
    group.RemovePanel(1);
    EXPECT_EQ(group.Panels(), (QList<TCustomAdvPanel*> { a, c }));
    EXPECT_EQ(c->y(), 77);
    // A panel moved by hand takes its place by position.
    c->move(c->x(), 0);
    group.ChildPanelChanged(c);
    EXPECT_EQ(group.Panels(), (QList<TCustomAdvPanel*> { c, a }));
    group.Clear();
    EXPECT_EQ(group.PanelCount(), 0);
}

TEST_F(Group, CollapsingAPanelMovesTheOnesBelow)
{
    for (int i = 0; i < 3; ++i) {
        TAdvPanel* p = group.AddPanel();
        p->setCollapsSteps(0);
        p->Caption()->setVisible(true);
    }
    group.Panels()[0]->setCollaps(true);
    // The default panel has a window frame: 18 + 2 high collapsed.
    EXPECT_EQ(Geometries()[1].top(), 9 + 20 + 8);
    group.CloseAllPanels();
    EXPECT_EQ(Geometries()[2].top(), 9 + 2 * (20 + 8));
    group.OpenAllPanels();
    EXPECT_EQ(Geometries()[2].top(), 145);
    // A closed panel leaves its place.
    group.Panels()[0]->hide();
    group.Panels()[0]->Synchronize();
    EXPECT_EQ(Geometries()[1].top(), 9);
}

TEST_F(Group, ScrollsWhenThePanelsDoNotFit)
{
    for (int i = 0; i < 8; ++i)
        group.AddPanel();
    group.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&group));
    QScrollBar* bar = group.ScrollBar();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->maximum(), 8 + 8 * 68 - 398);
    EXPECT_EQ(bar->pageStep(), 20);
    EXPECT_EQ(bar->singleStep(), 2);
    const QPoint at(100, 100);
    QWheelEvent wheel(at, group.mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
        Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&group, &wheel);
    EXPECT_EQ(bar->value(), 20);
    EXPECT_EQ(group.Panels()[0]->y(), 9 - 20);
    group.setScrollSmooth(true);
    QCoreApplication::sendEvent(&group, &wheel);
    EXPECT_EQ(bar->value(), 22);
    while (group.PanelCount() > 2)
        group.RemovePanel(0);
    EXPECT_FALSE(bar->isVisible());
}

// The hint fits every shown panel without a scroll bar, and given that size the group needs none.
TEST_F(Group, SizeHintShowsEveryPanel)
{
    struct Case {
        const char* name;
        TGroupStyle style;
        int columns, panels, hidden;
        QSize expected;
    };
    // Rows of 60-pixel panels 8 apart inside the 1-pixel edge; a row of 100-pixel-wide panels.
    const Case cases[] = {
        { "one column", gsVertical, 1, 8, 0, { 300, 2 + 8 + 8 * 68 } },
        { "two columns", gsVertical, 2, 5, 0, { 300, 2 + 8 + 3 * 68 } },
        { "a hidden panel takes no room", gsVertical, 1, 3, 1, { 300, 2 + 8 + 2 * 68 } },
        { "no panels", gsVertical, 1, 0, 0, { 300, 2 + 8 } },
        { "a row", gsHorizontal, 1, 4, 0, { 2 + 8 + 4 * 108, 400 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TAdvPanelGroup g;
        g.resize(300, 400);
        g.DefaultPanel()->setHeight(60);
        g.DefaultPanel()->setWidth(100);
        g.setGroupStyle(c.style);
        g.setColumns(c.columns);
        for (int i = 0; i < c.panels; ++i)
            g.AddPanel();
        for (int i = 0; i < c.hidden; ++i) {
            g.Panels()[i]->hide();
            g.Panels()[i]->Synchronize();
        }
        EXPECT_EQ(g.sizeHint(), c.expected);
        g.resize(g.sizeHint());
        g.UpdateGroup(); // a hidden widget's resize event waits until it shows
        EXPECT_TRUE(g.ScrollBar()->isHidden());
    }
}

// A panel collapsed to its caption and opened again keeps its frame line whole on every side, at the
// density of the screen: each device pixel of the window pixel the line takes shows the frame.
TEST_F(Group, CollapsedAndOpenedPanelKeepsItsFrame)
{
    group.setColumns(2);
    for (int i = 0; i < 4; ++i) {
        TAdvPanel* p = group.AddPanel();
        p->setCollapsSteps(0);
        p->Caption()->setVisible(true);
        p->Caption()->setMinMaxButton(true);
    }
    group.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&group));
    TCustomAdvPanel* panel = group.Panels()[1];
    const TColor frame = QColorToColor(ColorToQColor(clWindowFrame));
    for (const bool collapsed : { true, false }) {
        SCOPED_TRACE(collapsed ? "collapsed" : "opened again");
        panel->setCollaps(collapsed);
        QCoreApplication::processEvents();
        const QImage image = group.grab(panel->geometry()).toImage();
        const int scale = qRound(image.devicePixelRatio());
        const int w = image.width();
        const int h = image.height();
        int wrong[4] = {}; // top, bottom, left, right
        for (int d = 0; d < scale; ++d) {
            for (int x = 2 * scale; x < w - 2 * scale; ++x) {
                wrong[0] += QColorToColor(image.pixelColor(x, d)) != frame;
                wrong[1] += QColorToColor(image.pixelColor(x, h - 1 - d)) != frame;
            }
            for (int y = 2 * scale; y < h - 2 * scale; ++y) {
                wrong[2] += QColorToColor(image.pixelColor(d, y)) != frame;
                wrong[3] += QColorToColor(image.pixelColor(w - 1 - d, y)) != frame;
            }
        }
        EXPECT_EQ(std::vector<int>(wrong, wrong + 4), std::vector<int>(4, 0));
    }
}

} // namespace
