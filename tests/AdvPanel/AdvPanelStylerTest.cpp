// SPDX-License-Identifier: MIT
// The styler and its settings: notification rules, presets, loading order, bound panels, themes;
// walks of every property of the panel, its settings and their parts through copying, applying,
// comparing and change signals.
#include "AdvPanelStyler.h"
#include "AdvPanel.h"
#include "AdvPanelGroup.h"
#include "AdvPanelPresets.h"

#include <QApplication>
#include <QMetaProperty>
#include <QSet>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace AdvPanel;

namespace {

TEST(AdvPanelSettings, WhichSettersNotify)
{
    struct Case {
        const char* name;
        std::function<void(TAdvPanelSettings&)> set;
        int notifications;
    };
    const Case cases[] = {
        { "BevelOuter always", [](auto& s) { s.setBevelOuter(s.BevelOuter()); }, 1 },
        { "ColorTo unchanged", [](auto& s) { s.setColorTo(s.ColorTo()); }, 0 },
        { "ColorTo changed", [](auto& s) { s.setColorTo(clRed); }, 1 },
        { "ColorMirrorTo changed", [](auto& s) { s.setColorMirrorTo(clRed); }, 1 },
        { "Color silently", [](auto& s) { s.setColor(clRed); }, 0 },
        { "ShadowOffset silently", [](auto& s) { s.setShadowOffset(5); }, 0 },
        { "FixedWidth silently", [](auto& s) { s.setFixedWidth(true); }, 0 },
        { "Font copied and notifies", [](auto& s) { s.setFont(TFont {}); }, 1 },
        { "StatusBar copied and notifies", [](auto& s) { s.setStatusBar(TPanelStatusBar {}); }, 1 },
        { "inside the caption", [](auto& s) { s.Caption()->setColor(clRed); }, 1 },
        { "inside the status bar", [](auto& s) { s.StatusBar()->setColor(clRed); }, 0 },
        { "inside the font", [](auto& s) { s.FontRef().Color = clRed; }, 0 },
        { "three setters in one update",
            [](auto& s) {
                s.BeginUpdate();
                s.setIndent(3);
                s.setHover(true);
                s.BeginUpdate();
                s.setCanMove(true);
                s.EndUpdate();
                s.setTopIndent(2);
                s.EndUpdate();
            },
            1 },
        { "EndUpdate without BeginUpdate", [](auto& s) { s.EndUpdate(); }, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TAdvPanelSettings settings;
        int count = 0;
        settings.OnChange = [&count] { ++count; };
        c.set(settings);
        EXPECT_EQ(count, c.notifications);
        EXPECT_EQ(settings.UpdateCount(), 0);
    }
}

TEST(AdvPanelSettings, CreationValues)
{
    TAdvPanelSettings s;
    EXPECT_EQ(s.BevelOuter(), bvNone);
    EXPECT_EQ(s.BorderStyle(), bsSingle);
    EXPECT_EQ(s.Height(), 120);
    EXPECT_EQ(s.Width(), 0);
    EXPECT_EQ(s.CollapsColor(), clBtnFace);
    EXPECT_EQ(s.ShadowColor(), clBlack);
    EXPECT_EQ(s.ShadowOffset(), 0);
    EXPECT_EQ(s.URLColor(), clBlue);
}

TEST(PanelPresets, FirstTableAndDerivedPresets)
{
    const auto classic = *PanelPreset(psClassic);
    EXPECT_EQ(classic.BevelOuter, bvRaised);
    EXPECT_EQ(classic.BorderColor, clGray);
    EXPECT_EQ(*classic.CaptionVisible, false);
    EXPECT_TRUE(classic.StatusBarBevelInner);
    EXPECT_FALSE(classic.CaptionHeight.has_value());
    const auto xp = *PanelPreset(psXP);
    EXPECT_FALSE(xp.FontColor.has_value());
    EXPECT_EQ(xp.ColorTo, 0xE3F0F2u);
    EXPECT_TRUE(xp.BorderShadow);
    EXPECT_EQ(*xp.CaptionHeight, 20);
    const auto luna = *PanelPreset(psOffice2007Luna);
    EXPECT_EQ(luna.ColorMirrorTo, 0xFFF2E7u);
    EXPECT_EQ(*luna.StatusBarGradientDirection, gdVertical);

    const auto windowsXP = *PanelPreset(psWindowsXP);
    EXPECT_EQ(windowsXP.CaptionFontColor, clHighlightText);
    EXPECT_EQ(windowsXP.BevelOuter, bvRaised);
    EXPECT_EQ(PanelPreset(psOffice2003Classic)->ColorTo, xp.ColorTo);
    EXPECT_FALSE(PanelPreset(psCustom).has_value());

    struct Main {
        TAdvPanelStyle style;
        TColor color, colorTo, mirror, border;
        bool shadow;
        TColor caption, captionTo;
    };
    const Main mains[] = {
        { psOffice2003Olive, 0xCFF0EA, 0x8CC0B1, clNone, clGray, false, 0xC6EFE7, 0x94BDB5 },
        { psOffice2003Silver, 0xECE2E1, 0xB39698, clNone, clGray, false, 0xEFE7E7, 0xAA8888 },
        { psOffice2007Obsidian, 0xCFC6C1, 0xC5BBB4, 0xC5BBB4, 0xFFD2AF, false, 0xB8B8B6, 0xA0A09E },
        { psOffice2007Silver, 0xF9F5F3, 0xE7DCD5, 0xE7DCD5, 0xFFD2AF, false, 0xF8F7F6, 0xE8E0DB },
        { psWhidbey, clWhite, 0xE3F0F2, clNone, clGray, true, 0xF3F7F8, 0xACC3C3 },
        { psWindowsVista, 0xFDF8F1, 0xFCEFD5, clNone, 0xFDDE99, false, 0xFDF8F1, 0xFCEFD5 },
        { psWindows7, 0xFDFBFA, 0xFDF3EB, clNone, 0xFFD2AF, false, 0xFCEBDC, 0xFCDBC1 },
        { psTerminal, clBtnFace, clNone, clNone, clGray, false, clSilver, clNone },
        { psOrvane, clWhite, 0xE4E4E4, clNone, clGray, true, clWhite, clNone },
    };
    for (const Main& m : mains) {
        SCOPED_TRACE(int(m.style));
        const TPanelPreset p = *PanelPreset(m.style);
        EXPECT_EQ(p.Color, m.color);
        EXPECT_EQ(p.ColorTo, m.colorTo);
        EXPECT_EQ(p.ColorMirror, m.mirror);
        EXPECT_EQ(p.BorderColor, m.border);
        EXPECT_EQ(p.BorderShadow, m.shadow);
        EXPECT_EQ(p.CaptionColor, m.caption);
        EXPECT_EQ(p.CaptionColorTo, m.captionTo);
        const bool vertical = m.style == psOffice2007Obsidian || m.style == psOffice2007Silver
            || m.style == psWindowsVista || m.style == psWindows7 || m.style == psTerminal;
        EXPECT_EQ(p.StatusBarGradientDirection.has_value(), vertical);
    }
    const auto orvane = *PanelPreset(psOrvane);
    EXPECT_EQ(orvane.CaptionShadeType, stRMetal);
    EXPECT_EQ(*orvane.CaptionIndent, 4);
    EXPECT_TRUE(*orvane.CaptionVisible);
    const auto terminal = *PanelPreset(psTerminal);
    EXPECT_EQ(*terminal.FontColor, clBlack);
    EXPECT_EQ(terminal.CollapsColor, clHighlight);
}

TEST(AdvPanelStyler, PresetWritesOnlyItsSettingsInOneUpdate)
{
    TAdvPanelStyler styler;
    EXPECT_EQ(styler.Style(), psXP);
    EXPECT_EQ(styler.Settings()->Color(), clWhite);
    styler.Settings()->setIndent(7);
    styler.Settings()->FontRef().Color = clRed;
    int count = 0;
    styler.Settings()->OnChange = [&count] { ++count; };
    styler.setStyle(psClassic);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(styler.Settings()->Indent(), 7);
    EXPECT_EQ(styler.Settings()->Font().Color, clWindowText);
    EXPECT_EQ(styler.Settings()->Caption()->Height(), 20); // kept from psXP
    styler.setStyle(psXP);
    EXPECT_EQ(styler.Settings()->Font().Color, clWindowText); // psXP leaves the font colour
    styler.setStyle(psCustom);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(styler.Settings()->Color(), clWhite);
}

TEST(AdvPanelStyler, ComponentStyleInterface)
{
    TAdvPanelStyler styler;
    auto* style = qobject_cast<IComponentStyle*>(&styler);
    ASSERT_NE(style, nullptr);
    style->SetComponentStyle(tsWhidbey);
    EXPECT_EQ(styler.Style(), psWhidbey);
    style->SetComponentStyle(tsCustom);
    EXPECT_EQ(styler.Style(), psWhidbey);
    style->SetComponentStyle(tsOffice2003Olive);
    EXPECT_EQ(styler.Style(), psOffice2003Olive);
}

TEST(AdvPanelStyler, UpdatesOnlyThePanelsOfItsOwnerThatNameIt)
{
    QWidget form;
    auto* styler = new TAdvPanelStyler(&form);
    auto* other = new TAdvPanelStyler(&form);
    auto* a = new TAdvPanel(&form);
    auto* b = new TAdvPanel(a); // nested panels belong to the same window
    auto* c = new TAdvPanel(&form);
    a->SetStyler(styler);
    b->SetStyler(styler);
    c->SetStyler(other);
    EXPECT_EQ(a->Color(), clWhite); // psXP applied at once outside loading
    styler->setStyle(psOffice2003Blue);
    EXPECT_EQ(a->Color(), 0xFDEADAu);
    EXPECT_EQ(b->Color(), 0xFDEADAu);
    EXPECT_EQ(c->Color(), clWhite);
    styler->Settings()->setColor(clRed); // stored without notification
    EXPECT_EQ(a->Color(), 0xFDEADAu);
    styler->Settings()->setIndent(3);
    EXPECT_EQ(a->Color(), clRed);
}

struct CountingPanel : TAdvPanel {
    using TAdvPanel::TAdvPanel;
    std::vector<bool> appliedWhileStylerLoads; // one entry per ApplySettings
    void ApplySettings(const TAdvPanelSettings& settings) override
    {
        appliedWhileStylerLoads.push_back(Styler()->Settings()->Indent() == 4);
        TAdvPanel::ApplySettings(settings);
    }
};

TEST(AdvPanelStyler, LoadingOrderAppliesInThePanelsLoadedAndOnceMore)
{
    QWidget form;
    CountingPanel* panel = nullptr;
    LoadForm([&] {
        panel = new CountingPanel(&form);
        auto* styler = new TAdvPanelStyler(&form);
        styler->Settings()->setIndent(4);
        styler->setStyle(psOffice2003Blue);
        panel->SetStyler(styler);
        EXPECT_EQ(panel->Color(), clBtnFace); // nothing before the panel's Loaded
        EXPECT_TRUE(panel->appliedWhileStylerLoads.empty());
    });
    // Once in the panel's Loaded, once more in the styler's.
    EXPECT_EQ(panel->appliedWhileStylerLoads.size(), 2u);
    EXPECT_EQ(panel->Color(), 0xFDEADAu);
    EXPECT_EQ(panel->Indent(), 4);
}

TEST(AdvPanelStyler, AssignTakesSettingsCommentsAndStyle)
{
    TAdvPanelStyler source;
    source.setStyle(psOffice2007Luna);
    source.setComments(QStringLiteral("c"));
    source.setAutoThemeAdapt(true);
    source.Settings()->setIndent(9);
    TAdvPanelStyler target;
    target.Assign(&source);
    EXPECT_EQ(target.Style(), psOffice2007Luna);
    EXPECT_EQ(target.Comments(), QStringLiteral("c"));
    EXPECT_TRUE(target.AutoThemeAdapt());
    EXPECT_EQ(target.Settings()->Indent(), 9);
    QObject notAStyler;
    target.Assign(&notAStyler);
    EXPECT_EQ(target.Style(), psOffice2007Luna);
}

TEST(AdvPanelStyler, ThemeChangesFollowTheSchemeOnlyWithAutoThemeAdapt)
{
    QWidget form;
    TAdvPanelStyler styler(&form);
    EXPECT_EQ(styler.NotifierWindow()->parentWidget(), &form);
    TThemeScheme scheme = TThemeScheme::Olive;
    styler.ThemeQuery = [&scheme] { return scheme; };
    styler.setStyle(psFlat);
    QApplication::setPalette(QApplication::palette()); // no change, no event
    QPalette changed = QApplication::palette();
    changed.setColor(QPalette::Window, Qt::darkGreen);
    const QPalette saved = QApplication::palette();
    QApplication::setPalette(changed);
    EXPECT_EQ(styler.Style(), psFlat);
    styler.setAutoThemeAdapt(true);
    QApplication::setPalette(saved);
    EXPECT_EQ(styler.Style(), psOffice2003Olive);
    scheme = TThemeScheme::None;
    styler.ThemeChanged();
    EXPECT_EQ(styler.Style(), psXP);
    scheme = TThemeScheme::Blue;
    styler.ThemeChanged();
    EXPECT_EQ(styler.Style(), psOffice2003Blue);
}

// ---- property walks

// The properties an object declares beyond Qt's own classes.
QList<QMetaProperty> OwnProperties(const QObject& object)
{
    QList<QMetaProperty> list;
    const QMetaObject* meta = object.metaObject();
    const QMetaObject& base = object.isWidgetType() ? QWidget::staticMetaObject : QObject::staticMetaObject;
    for (int i = base.propertyCount(); i < meta->propertyCount(); ++i)
        list << meta->property(i);
    return list;
}

// Objects for the properties that hold a reference to one.
struct Referents {
    TImageList images;
    TPictureContainer container;
    TAdvPanelStyler styler;
};

// A value for `property` other than `avoid`, one per `seed`, so that a value copied into the wrong
// property shows as well as one not copied at all.
QVariant Other(const QMetaProperty& property, const QVariant& avoid, int seed, Referents& referents)
{
    const QMetaType type = property.metaType();
    seed %= 40;
    if (property.isEnumType()) {
        const QMetaEnum e = property.enumerator();
        for (int i = 0; i < e.keyCount(); ++i) {
            const int value = e.value((seed + 1 + i) % e.keyCount());
            if (value != avoid.toInt())
                return QVariant(type, &value);
        }
    }
    switch (type.id()) {
    case QMetaType::Bool:
        return !avoid.toBool();
    case QMetaType::Int: {
        // A small step, away from the top of the narrowest range (200 to 255).
        const int step = seed % 5 + 1;
        return avoid.toInt() < 250 ? avoid.toInt() + step : avoid.toInt() - step;
    }
    case QMetaType::UInt: {
        const uint colour = 0x010305u * uint(seed + 1);
        return colour == avoid.toUInt() ? colour + 1 : colour;
    }
    case QMetaType::QString:
        return avoid.toString() + QStringLiteral("x%1").arg(seed);
    case QMetaType::QCursor: {
        const int shape = seed % 9 + 1; // an arrow stands for "none" on a panel
        return QCursor(Qt::CursorShape(shape == avoid.value<QCursor>().shape() ? shape + 1 : shape));
    }
    case QMetaType::QImage: {
        QImage image(seed + 1, 2, QImage::Format_RGB32);
        image.fill(QColor(seed * 5, 0, 0));
        if (image == avoid.value<QImage>())
            image.fill(Qt::blue);
        return image;
    }
    default:
        break;
    }
    if (type == QMetaType::fromType<TFont>()) {
        TFont font = avoid.value<TFont>();
        font.Height -= seed + 1;
        font.Bold = !font.Bold;
        return QVariant::fromValue(font);
    }
    if (type == QMetaType::fromType<TImageList*>())
        return QVariant::fromValue(&referents.images);
    if (type == QMetaType::fromType<TPictureContainer*>())
        return QVariant::fromValue(&referents.container);
    if (type == QMetaType::fromType<TAdvPanelStyler*>())
        return QVariant::fromValue(&referents.styler);
    ADD_FAILURE() << "no other value for " << property.name();
    return {};
}

// Gives each writable property of `object` not in `skip` another value (other than its own, or
// than the same-named property of `avoid` when there is one).
void SetOthers(QObject& object, int& seed, Referents& referents, const QSet<QByteArray>& skip = {},
    const QObject* avoid = nullptr)
{
    for (const QMetaProperty& p : OwnProperties(object)) {
        if (!p.isWritable() || skip.contains(p.name()))
            continue;
        const QVariant against = avoid && avoid->metaObject()->indexOfProperty(p.name()) >= 0
            ? avoid->property(p.name())
            : p.read(&object);
        EXPECT_TRUE(p.write(&object, Other(p, against, seed++, referents))) << p.name();
    }
}

// Names of the writable properties not in `skip` whose values differ between two objects.
std::string Differences(const QObject& a, const QObject& b, const QSet<QByteArray>& skip = {})
{
    std::string names;
    for (const QMetaProperty& p : OwnProperties(a)) {
        if (p.isWritable() && !skip.contains(p.name()) && p.read(&a) != b.property(p.name()))
            names += std::string(p.name()) + ' ';
    }
    return names;
}

TEST(PropertyWalk, SettingsAssignCopiesAndSameAsComparesEveryProperty)
{
    Referents referents;
    TAdvPanelSettings source;
    int seed = 0;
    SetOthers(source, seed, referents);
    SetOthers(*source.Caption(), seed, referents);
    SetOthers(*source.StatusBar(), seed, referents);
    TAdvPanelSettings target;
    int notifications = 0;
    target.OnChange = [&notifications] { ++notifications; };
    target.Assign(source);
    EXPECT_EQ(Differences(target, source), "");
    EXPECT_EQ(Differences(*target.Caption(), *source.Caption()), "");
    EXPECT_EQ(Differences(*target.StatusBar(), *source.StatusBar()), "");
    EXPECT_EQ(notifications, 1);
    ASSERT_TRUE(target.SameAs(source));

    // Any one property changed, in the settings or in a part of them, makes them differ.
    for (QObject* part : { static_cast<QObject*>(&target), static_cast<QObject*>(target.Caption()),
             static_cast<QObject*>(target.StatusBar()) }) {
        for (const QMetaProperty& p : OwnProperties(*part)) {
            if (!p.isWritable())
                continue;
            SCOPED_TRACE(p.name());
            const QVariant kept = p.read(part);
            p.write(part, Other(p, kept, seed++, referents));
            EXPECT_FALSE(target.SameAs(source));
            p.write(part, kept);
            EXPECT_TRUE(target.SameAs(source));
        }
    }
}

TEST(PropertyWalk, ApplySettingsTakesEveryStyledPropertyAndLeavesTheRest)
{
    Referents referents;
    TAdvPanelSettings settings;
    int seed = 0;
    SetOthers(settings, seed, referents);
    SetOthers(*settings.Caption(), seed, referents);
    SetOthers(*settings.StatusBar(), seed, referents);

    // What a styler never gives: the panel's size, text, hint and state, its caption's text, place
    // and buttons, and of the status bar everything but its look.
    const QSet<QByteArray> panelKeeps { "Collaps", "Height", "Hint", "Text", "Width" };
    const QSet<QByteArray> captionKeeps { "Text", "Visible", "Position", "TopIndent", "MinMaxCaption",
        "CloseButton", "MinMaxButton" };
    const QSet<QByteArray> statusBarTakes { "Color", "ColorTo", "GradientDirection", "BorderStyle",
        "BorderColor", "Font" };
    QSet<QByteArray> statusBarKeeps;
    for (const QMetaProperty& p : OwnProperties(*settings.StatusBar())) {
        if (!statusBarTakes.contains(p.name()))
            statusBarKeeps << p.name();
    }

    TAdvPanel panel;
    SetOthers(panel, seed, referents,
        panelKeeps + QSet<QByteArray> { "Styler", "Align", "Left", "Top", "FullHeight", "Version" },
        &settings);
    SetOthers(*panel.Caption(), seed, referents, {}, settings.Caption());
    SetOthers(*panel.StatusBar(), seed, referents, {}, settings.StatusBar());
    struct Part {
        const char* name;
        QObject* panel;
        QObject* settings;
        QSet<QByteArray> keeps;
    };
    const Part parts[] = {
        { "panel", &panel, &settings, panelKeeps },
        { "caption", panel.Caption(), settings.Caption(), captionKeeps },
        { "status bar", panel.StatusBar(), settings.StatusBar(), statusBarKeeps },
    };
    QList<QVariantList> before;
    for (const Part& part : parts) {
        QVariantList values;
        for (const QMetaProperty& p : OwnProperties(*part.settings))
            values << part.panel->property(p.name());
        before << values;
    }

    panel.ApplySettings(settings);

    for (int i = 0; i < 3; ++i) {
        const Part& part = parts[i];
        SCOPED_TRACE(part.name);
        const QList<QMetaProperty> properties = OwnProperties(*part.settings);
        for (int j = 0; j < properties.size(); ++j) {
            const QMetaProperty& p = properties[j];
            if (!p.isWritable())
                continue;
            SCOPED_TRACE(p.name());
            ASSERT_GE(part.panel->metaObject()->indexOfProperty(p.name()), 0);
            // Each value tells the two outcomes apart.
            EXPECT_NE(before[i][j], p.read(part.settings));
            const QVariant expected = part.keeps.contains(p.name()) ? before[i][j] : p.read(part.settings);
            EXPECT_EQ(part.panel->property(p.name()), expected);
        }
    }
}

TEST(PropertyWalk, PanelAssignCopiesEveryPropertyButPlaceWidthAndState)
{
    Referents referents;
    // The docking, place, width, collapsed state and styler belong to the panel where it is; the frame
    // width, indents and text flow stay its own too.
    const QSet<QByteArray> notCopied { "Align", "Left", "Top", "Width", "FullHeight", "Collaps", "Styler",
        "Version", "BorderWidth", "Indent", "TopIndent", "GradientDirection", "LineSpacing", "Ellipsis",
        "Buffered" };
    TAdvPanel source;
    int seed = 0;
    SetOthers(source, seed, referents, notCopied);
    SetOthers(*source.Caption(), seed, referents);
    SetOthers(*source.StatusBar(), seed, referents);
    SetOthers(*source.Position(), seed, referents);
    TAdvPanel target;
    target.Assign(source);
    EXPECT_EQ(Differences(target, source, notCopied), "");
    EXPECT_EQ(Differences(*target.Caption(), *source.Caption()), "");
    EXPECT_EQ(Differences(*target.StatusBar(), *source.StatusBar()), "");
    EXPECT_EQ(Differences(*target.Position(), *source.Position()), "");
    source.Position()->setSave(false); // nothing stored on the way out
    target.Position()->setSave(false);

    TAdvPanel other;
    other.setBorderWidth(4);
    other.setIndent(5);
    other.setTopIndent(6);
    other.setGradientDirection(gdHorizontal);
    other.setLineSpacing(7);
    other.setEllipsis(true);
    other.setBuffered(false);
    TAdvPanel fresh;
    target.Assign(other);
    EXPECT_EQ(Differences(target, fresh, notCopied), Differences(other, fresh, notCopied));
    for (const char* name :
        { "BorderWidth", "Indent", "TopIndent", "GradientDirection", "LineSpacing", "Ellipsis", "Buffered" })
        EXPECT_EQ(target.property(name), fresh.property(name)) << name;
}

// The objects whose properties a user or the program changes, on a panel of their own.
struct Notifying {
    Referents referents;
    QWidget form;
    TAdvPanel* panel = new TAdvPanel(&form);
    TAdvPanelStyler* styler = new TAdvPanelStyler(&form);
    TAdvPanelGroup* group = new TAdvPanelGroup(&form);
    QList<QPair<const char*, QObject*>> Objects()
    {
        return { { "panel", panel }, { "caption", panel->Caption() }, { "status bar", panel->StatusBar() },
            { "position", panel->Position() }, { "auto size", panel->AutoSize() }, { "styler", styler },
            { "settings", styler->Settings() }, { "settings caption", styler->Settings()->Caption() },
            { "settings status bar", styler->Settings()->StatusBar() }, { "group", group },
            { "group's default panel", group->DefaultPanel() } };
    }
};

TEST(PropertyWalk, EveryChangeSignalsOnceAndTheSameValueNever)
{
    Notifying n;
    int seed = 0;
    for (const auto& [name, object] : n.Objects()) {
        SCOPED_TRACE(name);
        for (const QMetaProperty& p : OwnProperties(*object)) {
            SCOPED_TRACE(p.name());
            if (!p.isWritable()) {
                // Sub-objects: owned for the owner's life.
                EXPECT_TRUE(p.isConstant());
                continue;
            }
            if (qstrcmp(p.name(), "Version") == 0)
                continue; // reads the same whatever is written
            ASSERT_TRUE(p.hasNotifySignal());
            QSignalSpy spy(object, p.notifySignal());
            const QVariant value = Other(p, p.read(object), seed++, n.referents);
            p.write(object, value);
            EXPECT_EQ(spy.count(), 1);
            EXPECT_EQ(p.read(object), value);
            p.write(object, value);
            EXPECT_EQ(spy.count(), 1);
        }
    }
    n.panel->Position()->setSave(false);
    n.group->Position()->setSave(false);
}

TEST(PropertyWalk, ChangesMadeUnderThePanelAreSignalled)
{
    Notifying n;
    n.form.resize(300, 200);
    n.panel->Caption()->setVisible(true);
    n.panel->setAlign(alClient);
    n.styler->setStyle(psOffice2003Blue);
    n.form.show();
    QSignalSpy width(n.panel, &TCustomAdvPanel::widthChanged);
    QSignalSpy height(n.panel, &TCustomAdvPanel::heightChanged);
    QSignalSpy collapsed(n.panel, &TCustomAdvPanel::collapsChanged);
    QSignalSpy captionColour(n.panel->Caption(), &TPanelCaption::colorChanged);
    QSignalSpy statusFont(n.panel->StatusBar(), &TPanelBand::fontChanged);
    QSignalSpy style(n.styler, &TAdvPanelStyler::styleChanged);
    n.form.resize(400, 200); // the parent's layout
    EXPECT_EQ(width.count(), 1);
    EXPECT_EQ(height.count(), 0);
    n.panel->setAlign(alNone);
    n.panel->setCollaps(true); // as a click on the caption does
    EXPECT_EQ(collapsed.count(), 1);
    EXPECT_EQ(height.count(), 1);
    // A styler's look copied into the caption and status bar, then a theme's.
    n.panel->SetStyler(n.styler);
    EXPECT_EQ(captionColour.count(), 1);
    EXPECT_EQ(statusFont.count(), 1);
    n.styler->ThemeQuery = [] { return TThemeScheme::Olive; };
    n.styler->setAutoThemeAdapt(true);
    n.styler->ThemeChanged();
    EXPECT_EQ(style.count(), 1);
    EXPECT_EQ(captionColour.count(), 2);
    EXPECT_EQ(statusFont.count(), 2);
    // QWidget's own setters, as a form's design values use them.
    QSignalSpy hint(n.panel, &TCustomAdvPanel::hintChanged);
    QSignalSpy font(n.panel, &TCustomAdvPanel::fontChanged);
    n.panel->setToolTip(QStringLiteral("tip"));
    n.panel->QWidget::setFont(QFont(QStringLiteral("Courier"), 31));
    EXPECT_EQ(hint.count(), 1);
    EXPECT_EQ(font.count(), 1);
    EXPECT_EQ(n.panel->Hint(), QStringLiteral("tip"));
}

} // namespace
