// SPDX-License-Identifier: MIT
// Attached label, lookup list, persistence and drag and drop of the edit field.
#include "AdvEddd.h"
#include "AdvEdit.h"
#include "EditForm.h"
#include "TempDir.h"

#include <QFile>
#include <QListWidget>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

TEST(AdvEditLabel, ThirteenPlacements)
{
    using namespace AdvEditLabels;
    struct Case {
        TLabelPosition position;
        // expected top-left from the field (L, T, W, H), label (lw, lh), caption width tw, margin M
        std::function<QPoint(int L, int T, int W, int H, int lw, int lh, int tw, int M)> place;
    };
    auto middle = [](int T, int H, int lh) { return H > lh ? T + (H - lh) / 2 : T - (lh - H) / 2; };
    auto centre = [](int L, int W, int lw) { return W > lw ? L + (W - lw) / 2 : L - (lw - W) / 2; };
    const Case cases[] = {
        { lpLeftTop, [](int L, int T, int, int, int, int, int tw, int M) { return QPoint(L - tw - M, T); } },
        { lpLeftCenter,
            [&](int L, int T, int, int H, int, int lh, int tw, int M) {
                return QPoint(L - tw - M, middle(T, H, lh));
            } },
        { lpLeftBottom,
            [](int L, int T, int, int H, int, int lh, int tw, int M) {
                return QPoint(L - tw - M, T + H - lh);
            } },
        { lpTopLeft, [](int L, int T, int, int, int, int lh, int, int M) { return QPoint(L, T - lh - M); } },
        { lpBottomLeft, [](int L, int T, int, int H, int, int, int, int M) { return QPoint(L, T + H + M); } },
        { lpLeftTopLeft, [](int L, int T, int, int, int, int, int, int M) { return QPoint(L - M, T); } },
        { lpLeftCenterLeft,
            [&](int L, int T, int, int H, int, int lh, int, int M) {
                return QPoint(L - M, middle(T, H, lh));
            } },
        { lpLeftBottomLeft,
            [](int L, int T, int, int H, int, int lh, int, int M) { return QPoint(L - M, T + H - lh); } },
        { lpTopCenter,
            [&](int L, int T, int W, int, int lw, int lh, int, int M) {
                return QPoint(centre(L, W, lw), T - lh - M);
            } },
        { lpBottomCenter,
            [&](int L, int T, int W, int H, int lw, int, int, int M) {
                return QPoint(centre(L, W, lw), T + H + M);
            } },
        { lpRightTop, [](int L, int T, int W, int, int, int, int, int M) { return QPoint(L + W + M, T); } },
        { lpRightCenter,
            [&](int L, int T, int W, int H, int, int lh, int, int M) {
                return QPoint(L + W + M, middle(T, H, lh));
            } },
        { lpRighBottom,
            [](int L, int T, int W, int H, int, int lh, int, int M) {
                return QPoint(L + W + M, T + H - lh);
            } },
    };
    QWidget parent;
    auto* e = new TAdvEdit(&parent);
    for (const QRect field : { QRect(200, 100, 120, 21), QRect(200, 100, 20, 8) }) { // wider and narrower
        e->setGeometry(field);
        for (const int margin : { 4, 9 }) {
            for (const Case& c : cases) {
                SCOPED_TRACE(
                    testing::Message() << c.position << " margin " << margin << " width " << field.width());
                e->setLabelMargin(margin);
                e->setLabelPosition(c.position);
                e->setLabelCaption("Customer name:");
                const QLabel* l = e->EditLabel();
                ASSERT_NE(l, nullptr);
                const int tw = l->fontMetrics().horizontalAdvance(l->text());
                EXPECT_EQ(l->pos(),
                    c.place(field.x(), field.y(), field.width(), field.height(), l->width(), l->height(), tw,
                        margin));
            }
        }
    }
}

TEST(AdvEditLabel, FollowsTheField)
{
    QWidget first, second;
    first.show();
    auto* e = new TAdvEdit(&first);
    e->setGeometry(100, 40, 120, 21);
    EXPECT_EQ(e->EditLabel(), nullptr);
    EXPECT_EQ(e->LabelCaption(), "");
    e->setLabelCaption("Name:");
    QPointer<QLabel> label = e->EditLabel();
    ASSERT_TRUE(label);
    EXPECT_EQ(label->parentWidget(), &first);
    EXPECT_EQ(label->buddy(), e);

    struct Step {
        const char* name;
        std::function<void()> act;
        std::function<bool()> holds;
    };
    int clicks = 0, doubles = 0;
    e->OnLabelClick = [&](TAdvEdit*) { ++clicks; };
    e->OnLabelDblClick = [&](TAdvEdit*) { ++doubles; };
    const Step steps[] = {
        { "hidden with the field", [&] { e->hide(); }, [&] { return label->isHidden(); } },
        { "shown with the field", [&] { e->show(); }, [&] { return !label->isHidden(); } },
        { "disabled with the field", [&] { e->setEnabled(false); }, [&] { return !label->isEnabled(); } },
        { "enabled at once when always enabled", [&] { e->setLabelAlwaysEnabled(true); },
            [&] { return label->isEnabled(); } },
        { "enabled with the field", [&] { e->setLabelAlwaysEnabled(false), e->setEnabled(true); },
            [&] { return label->isEnabled(); } },
        { "moved with the field", [&] { e->move(150, 70); }, [&] { return label->y() == 70; } },
        { "reparented with the field", [&] { second.show(), e->setParent(&second), e->show(); },
            [&] { return label->parentWidget() == &second && !label->isHidden(); } },
        { "clicks reported",
            [&] {
                QTest::mouseClick(label, Qt::LeftButton);
                QTest::mouseDClick(label, Qt::LeftButton);
            },
            [&] { return clicks >= 1 && doubles == 1; } },
        { "removed with the field", [&] { delete e; }, [&] { return label.isNull(); } },
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.act();
        EXPECT_TRUE(s.holds());
    }
}

TEST(AdvEditLabel, BoldWhileFocusedWithFocusLabel)
{
    Form f;
    f.edit->setLabelCaption("Name:");
    f.edit->setFocusLabel(true);
    f.focusEdit();
    EXPECT_TRUE(f.edit->EditLabel()->font().bold());
    f.focusOther();
    EXPECT_FALSE(f.edit->EditLabel()->font().bold());
}

QListWidget* dropDown(TAdvEdit* e)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* list = qobject_cast<TLookupList*>(w); list && list->parentWidget() == e)
            return list->List();
    return nullptr;
}

QStringList rowsShown(TAdvEdit* e)
{
    QStringList rows;
    if (!e->LookupShown())
        return rows;
    for (int i = 0; i < dropDown(e)->count(); ++i)
        rows << dropDown(e)->item(i)->text();
    return rows;
}

struct LookupForm : Form {
    LookupForm()
    {
        TLookupSettings* l = edit->Lookup();
        l->setEnabled(true);
        l->setDisplayList({ "banana", "apple", "Apricot", "apex", "APPLE", "cherry", "apse", "appendix" });
        l->setValueList({ "v0", "v1", "v2" });
        focusEdit();
    }
};

TEST(AdvEditLookup, RowsFollowTheTypedText)
{
    struct Case {
        const char* name;
        std::function<void(TAdvEdit*)> setup;
        const char* typed;
        QStringList rows;
    };
    const Case cases[] = {
        { "shorter than NumChars", {}, "a", {} },
        { "matches without case", {}, "ap", { "apex", "appendix", "apple", "Apricot", "apse" } },
        { "no match", {}, "apz", {} },
        { "case-sensitive", [](TAdvEdit* e) { e->Lookup()->setCaseSensitive(true); }, "Ap", { "Apricot" } },
        { "NumChars 3", [](TAdvEdit* e) { e->Lookup()->setNumChars(3); }, "ap", {} },
        { "multi: the part after the last separator", [](TAdvEdit* e) { e->Lookup()->setMulti(true); },
            "x;y;ba", { "banana" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LookupForm f;
        if (c.setup)
            c.setup(f.edit);
        QTest::keyClicks(f.edit, c.typed);
        EXPECT_EQ(rowsShown(f.edit), c.rows);
        // the typing user keeps the keyboard: the field has the focus, its window stays active
        EXPECT_TRUE(f.edit->hasFocus());
        EXPECT_EQ(QApplication::activeWindow(), &f.window);
    }
    EXPECT_EQ(TLookupSettings().DisplayCount(), 4);
}

TEST(AdvEditLookup, KeysMoveAndChoose)
{
    struct Case {
        const char* name;
        int displayCount;
        QList<Qt::Key> keys;
        const char* text; // after Enter
        int index; // reported to OnLookupIndexSelect
    };
    // rows for "ap", with their DisplayList indexes: apex 0, appendix 1, apple 2, Apricot 3, apse 4
    const Case cases[] = {
        { "first row", 4, {}, "v0", 0 },
        { "down", 4, { Qt::Key_Down }, "v1", 1 },
        { "down, up, up", 4, { Qt::Key_Down, Qt::Key_Up, Qt::Key_Up }, "v0", 0 },
        { "end, down", 4, { Qt::Key_End, Qt::Key_Down }, "apse", 4 },
        { "page down", 2, { Qt::Key_PageDown }, "v2", 2 },
        { "page down past the end", 2, { Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageDown }, "apse", 4 },
        { "end, page up", 2, { Qt::Key_End, Qt::Key_PageUp }, "v2", 2 },
        { "end, page up twice", 2, { Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageUp }, "v0", 0 },
        { "end, home", 4, { Qt::Key_End, Qt::Key_Home }, "v0", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LookupForm f;
        f.edit->Lookup()->setDisplayCount(c.displayCount);
        QStringList seen;
        f.edit->OnLookupSelect = [&](TAdvEdit*, QString& v) { seen << "select:" + v; };
        f.edit->OnLookupIndexSelect
            = [&](TAdvEdit*, int i, QString& v) { seen << QString("index:%1:%2").arg(i).arg(v); };
        QTest::keyClicks(f.edit, "ap");
        for (Qt::Key k : c.keys)
            QTest::keyClick(f.edit, k);
        EXPECT_TRUE(f.edit->LookupShown());
        EXPECT_EQ(f.edit->Text(), "ap"); // the keys only move in the list
        QTest::keyClick(f.edit, Qt::Key_Return);
        EXPECT_FALSE(f.edit->LookupShown());
        EXPECT_EQ(f.edit->Text(), c.text);
        EXPECT_EQ(f.edit->selectedText(), c.text);
        EXPECT_EQ(seen,
            QStringList({ QString("select:") + c.text, QString("index:%1:%2").arg(c.index).arg(c.text) }));
    }

    // with Multi the choice and a separator follow the earlier entries; an event may change it
    LookupForm f;
    f.edit->Lookup()->setMulti(true);
    f.edit->OnLookupSelect = [](TAdvEdit*, QString& v) { v = v.toUpper(); };
    QTest::keyClicks(f.edit, "x;ban");
    QTest::keyClick(f.edit, Qt::Key_Return);
    EXPECT_EQ(f.edit->Text(), "x;BANANA;");
    EXPECT_EQ(f.edit->cursorPosition(), 9);
}

TEST(AdvEditLookup, DropDownSizeAndPlace)
{
    LookupForm f;
    QTest::keyClicks(f.edit, "ap"); // five rows, four shown
    EXPECT_EQ(dropDown(f.edit)->window()->height(), 4 * TLookupList::RowHeight + 4);
    QTest::keyClick(f.edit, Qt::Key_S); // one row
    EXPECT_EQ(dropDown(f.edit)->window()->height(), 1 * TLookupList::RowHeight + 4);
    const QPoint origin = f.edit->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(dropDown(f.edit)->window()->y(), origin.y() + f.edit->height() - 6);

    struct Case {
        const char* name;
        QPoint spot;
        QPoint expected;
    };
    const QRect screen(0, 0, 800, 600);
    const QSize size(100, 52);
    const Case cases[] = {
        { "room below", { 50, 100 }, { 50, 100 } },
        { "bottom of the screen: above the field", { 50, 570 }, { 50, 555 - 52 } },
        { "right edge", { 760, 100 }, { 700, 100 } },
        { "left of the screen", { -30, 100 }, { 0, 100 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Lookup::Place(c.spot, size, screen, 555), c.expected);
    }
}

TEST(AdvEditLookup, DropDownCloses)
{
    struct Case {
        const char* name;
        std::function<void(LookupForm&)> act;
        const char* text;
    };
    const Case cases[] = {
        { "Escape, without undoing", [](LookupForm& f) { QTest::keyClick(f.edit, Qt::Key_Escape); }, "ap" },
        { "focus loss", [](LookupForm& f) { f.focusOther(); }, "ap" },
        { "window moved", [](LookupForm& f) { f.window.move(f.window.pos() + QPoint(5, 5)); }, "ap" },
        { "lookup switched off", [](LookupForm& f) { f.edit->Lookup()->setEnabled(false); }, "ap" },
        { "click elsewhere",
            [](LookupForm& f) { QTest::mouseClick(&f.window, Qt::LeftButton, {}, QPoint(400, 5)); }, "ap" },
        { "click on a row",
            [](LookupForm& f) {
                QListWidget* list = dropDown(f.edit);
                QTest::mouseClick(
                    list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
            },
            "v2" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LookupForm f;
        QTest::keyClicks(f.edit, "ap");
        ASSERT_TRUE(f.edit->LookupShown());
        c.act(f);
        QApplication::processEvents();
        EXPECT_FALSE(f.edit->LookupShown());
        EXPECT_EQ(f.edit->Text(), c.text);
    }
}

TEST(AdvEditLookup, HistoryKeepsLeftValuesOnce)
{
    struct Case {
        const char* typed;
        int added;
    };
    const Case cases[] = { { "  kiwi  ", 1 }, { "kiwi", 0 }, { "   ", 0 }, { "KIWI", 0 } };
    Form f;
    f.edit->Lookup()->setHistory(true);
    const int before = int(f.edit->Lookup()->DisplayList().size());
    int total = before;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        f.edit->setText(c.typed);
        f.focusEdit();
        f.focusOther();
        total += c.added;
        EXPECT_EQ(f.edit->Lookup()->DisplayList().size(), total);
    }
    EXPECT_TRUE(f.edit->Lookup()->DisplayList().contains("kiwi"));
}

// A field made the way a form makes it, loading what it kept.
std::unique_ptr<QWidget> loadedField(
    const QString& name, const std::function<void(TAdvEdit*)>& settings, TAdvEdit*& field)
{
    auto form = std::make_unique<QWidget>();
    LoadForm([&] {
        field = new TAdvEdit(form.get());
        field->setObjectName(name);
        settings(field);
    });
    return form;
}

TEST(AdvEditPersist, ValueAndHistoryKeptBetweenRuns)
{
    TempDir dir;
    // the user's settings folder is never reached: the store is this test's folder, and after it a
    // folder that lives as long as the tests
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    static QTemporaryDir afterwards;
    const auto restore = qScopeGuard(
        [] { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, afterwards.path()); });
    const QString ini = dir.file("kept.ini");
    struct Case {
        const char* name;
        std::function<void(TPersistence*)> where;
        QString file; // where the entries land
    };
    const Case cases[] = {
        { "INI file", [&](TPersistence* p) { p->setKey(ini); }, ini },
        { "user store",
            [](TPersistence* p) {
                p->setLocation(TPersistence::plRegistry);
                p->setKey("SOFTWARE\\Vendor\\Program");
                p->setSection("Fields");
            },
            dir.file("Vendor/Program.ini") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto settings = [&](TAdvEdit* e) {
            e->Persistence()->setEnable(true);
            c.where(e->Persistence());
            e->setPrefix("$");
            e->Lookup()->setEnabled(true);
            e->Lookup()->setHistory(true);
        };
        TAdvEdit* e = nullptr;
        auto form = loadedField("AmountAdvEdit", settings, e);
        e->setText("12, 5 = \"x\"");
        e->Lookup()->setDisplayList({ "one", "two" });
        e->Lookup()->setValueList({ "1" });
        form.reset(); // the window goes: the field keeps its value
        ASSERT_TRUE(QFile::exists(c.file));

        form = loadedField("AmountAdvEdit", settings, e);
        EXPECT_EQ(e->text(), "$12, 5 = \"x\"");
        EXPECT_EQ(e->Lookup()->DisplayList(), QStringList({ "one", "two" }));
        EXPECT_EQ(e->Lookup()->ValueList(), QStringList({ "1" }));
    }
}

TEST(AdvEditPersist, DefaultsAndStoresThatCannotBeRead)
{
    TempDir dir;
    struct Case {
        const char* name;
        QByteArray content; // of the INI file; empty: none is written
        bool directory; // the key names a folder
        const char* loaded; // control text after loading
    };
    const Case cases[] = {
        { "value kept", "[Field]\nField=kept\n", false, "kept" },
        { "entries matched without case", "[FIELD]\nfield = \"kept\" \n", false, "kept" },
        { "a stored @ is no value", "[Field]\nField=@\n", false, "start" },
        { "garbage", QByteArray(1, '\0') + "\xff[\x01=\n==\n[Field\nField", false, "start" },
        { "huge count", "[Field]\nLOOKUPCOUNT=2000000000\nLOOKUPDISPL1=a\n", false, "start" },
        { "a folder", "", true, "start" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString key = dir.file(QString("%1.ini").arg(c.name));
        if (c.directory)
            QDir().mkpath(key);
        else if (!c.content.isEmpty())
            dir.write(QFileInfo(key).fileName(), c.content);
        TAdvEdit* e = nullptr;
        auto form = loadedField(
            "Field",
            [&](TAdvEdit* f) {
                f->setText("start");
                f->Persistence()->setEnable(true);
                f->Persistence()->setKey(key);
                f->Persistence()->setSection("Field");
                f->Lookup()->setEnabled(true);
                f->Lookup()->setHistory(true);
            },
            e);
        EXPECT_EQ(e->text(), c.loaded);
        EXPECT_LE(e->Lookup()->DisplayList().size(), 1);
        form.reset(); // saving into what cannot hold it changes nothing and throws nothing
    }

    // a password is not written to the file
    {
        TAdvEdit e;
        e.setObjectName("PinAdvEdit");
        e.setEditType(TAdvEdit::etPassword);
        e.Persistence()->setEnable(true);
        e.Persistence()->setKey(dir.file("pin.ini"));
        e.setText("secret");
    }
    EXPECT_FALSE(QFile::exists(dir.file("pin.ini")));

    // empty Key and Section: the program's own INI file, a section named after the field
    const QString programIni = Persist::DefaultIniFile();
    ASSERT_TRUE(programIni.endsWith(".INI"));
    QFile::remove(programIni);
    {
        TAdvEdit e;
        e.setObjectName("NameAdvEdit");
        e.Persistence()->setEnable(true);
        e.setText("saved");
    }
    QFile f(programIni);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "[NameAdvEdit]\nNameAdvEdit=saved\n");
    f.remove();
}

// A drag over the field carrying `data`, with or without Control.
struct Dragged {
    TAdvEdit* e;
    QMimeData* data;
    Qt::KeyboardModifiers mods;
    bool enter(const QPoint& at)
    {
        QDragEnterEvent ev(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, mods);
        QApplication::sendEvent(e, &ev);
        return ev.isAccepted();
    }
    Qt::DropAction drop(const QPoint& at)
    {
        QDropEvent ev(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, mods);
        QApplication::sendEvent(e, &ev);
        return ev.isAccepted() ? ev.dropAction() : Qt::IgnoreAction;
    }
};

QPoint at(TAdvEdit* e, int index)
{
    return e->PosFromChar(index) + QPoint(1, 3);
}

TEST(AdvEditDrop, TextDroppedAtTheCaretMark)
{
    struct Case {
        const char* name;
        bool own; // dragged from the field's own selection "bc"
        Qt::KeyboardModifiers mods;
        int index;
        const char* text;
        Qt::DropAction action;
    };
    const Case cases[] = {
        { "from outside, moved", false, Qt::NoModifier, 4, "abcdXYef", Qt::MoveAction },
        { "from outside, copied", false, Qt::ControlModifier, 0, "XYabcdef", Qt::CopyAction },
        { "own selection moved", true, Qt::NoModifier, 5, "adebcf", Qt::MoveAction },
        { "own selection copied", true, Qt::ControlModifier, 5, "abcdebcf", Qt::CopyAction },
        { "onto its own selection", true, Qt::NoModifier, 2, "abcdef", Qt::IgnoreAction },
    };
    Form f;
    TAdvEdit* e = f.edit;
    e->setOleDropTarget(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        e->setText("abcdef");
        e->setSelection(1, 2);
        std::unique_ptr<QMimeData> data(c.own ? new TEditDragData("bc", e) : new QMimeData);
        if (!c.own)
            data->setText("XY\r\nsecond line");
        Dragged d { e, data.get(), c.mods };
        ASSERT_TRUE(d.enter(at(e, c.index)));
        EXPECT_EQ(e->DropCaret(), e->PosFromChar(c.index));
        EXPECT_EQ(d.drop(at(e, c.index)), c.action);
        EXPECT_EQ(e->Text(), c.text);
        EXPECT_EQ(e->DropCaret(), QPoint(-1, -1));
    }
}

TEST(AdvEditDrop, WhatTheFieldRefuses)
{
    struct Case {
        const char* name;
        std::function<void(TAdvEdit*, QMimeData*)> setup;
        bool accepted;
    };
    const Case cases[] = {
        { "drops off", [](TAdvEdit* e, QMimeData* m) { e->setOleDropTarget(false), m->setText("x"); },
            false },
        { "read-only", [](TAdvEdit* e, QMimeData* m) { e->setReadOnly(true), m->setText("x"); }, false },
        { "nothing to read", [](TAdvEdit*, QMimeData* m) { m->setData("application/x-other", "x"); }, false },
        { "a list of files: taken, ignored",
            [](TAdvEdit*, QMimeData* m) {
                m->setUrls({ QUrl::fromLocalFile("/tmp/a.txt") });
                m->setText("/tmp/a.txt");
            },
            true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Form f;
        f.edit->setOleDropTarget(true);
        f.edit->setText("abc");
        QMimeData data;
        c.setup(f.edit, &data);
        Dragged d { f.edit, &data, Qt::NoModifier };
        EXPECT_EQ(d.enter(at(f.edit, 1)), c.accepted);
        d.drop(at(f.edit, 1));
        EXPECT_EQ(f.edit->Text(), "abc");
    }
}

} // namespace
