// SPDX-License-Identifier: MIT
// The panel's renderer without a widget: hit tests answer from the kept layout as the engine
// would, and every change that moves the text makes it lay the text out again.
#include "AdvPanelRenderer.h"
#include "MeasureCanvas.h"
#include "PanelCaption.h"
#include "PanelStatusBar.h"

#include <gtest/gtest.h>

using namespace AdvPanel;

namespace {

const QString kText = QStringLiteral("Some words before <A href=\"one\">the first anchor</A> and more words "
                                     "after it, then <A href=\"two\">a second one</A> at the end");

// A 200 x 120 panel look with a top caption bar that is hidden unless shown.
struct LookRig {
    TPanelCaption caption;
    TPanelStatusBar status;
    TAdvPanelLook look;
    LookRig()
    {
        caption.setText(QStringLiteral("<A href=\"cap\">caption link</A> title"));
        look.layout.text = kText;
        look.layout.geometry.client = QSize(200, 120);
        look.outer = look.layout.geometry.client;
        look.caption = &caption;
        look.statusBar = &status;
    }
    void Sync()
    {
        look.layout.geometry.captionVisible = caption.Visible();
        look.layout.geometry.captionPosition = caption.Position();
        look.layout.geometry.captionHeight = caption.Height();
    }
};

using Answers = std::vector<std::tuple<QString, int, TRect>>;

Answers Sweep(TAdvPanelRenderer& renderer, const TAdvPanelLook& look)
{
    Answers answers;
    for (int y = 0; y < 120; y += 3) {
        for (int x = 0; x < 200; x += 3) {
            const TAdvPanelRenderer::Hit hit = renderer.AnchorAt(look, x, y);
            answers.emplace_back(hit.target, hit.number, hit.rect);
        }
    }
    return answers;
}

int Hits(const Answers& answers)
{
    return int(
        std::count_if(answers.begin(), answers.end(), [](const auto& a) { return std::get<1>(a) > 0; }));
}

TEST(AdvPanelRenderer, KeptAnchorsAnswerAsTheEngine)
{
    LookRig rig;
    TAdvPanelRenderer renderer;
    const Answers kept = Sweep(renderer, rig.look);
    EXPECT_TRUE(renderer.TextAnsweredFromMap());
    ASSERT_GT(Hits(kept), 10);
    // The engine's own answers on the text area (the top alignment measures nothing).
    TMeasureCanvas canvas;
    canvas.Font = rig.look.layout.font;
    size_t i = 0;
    for (int y = 0; y < 120; y += 3) {
        for (int x = 0; x < 200; x += 3, ++i) {
            TMarkupParams params;
            params.Rect = PanelGeometry::TextArea(rig.look.layout.geometry);
            params.HitTestOnly = true;
            params.HitX = x;
            params.HitY = y;
            TMarkupResult result;
            const bool hit = DrawMarkup(canvas, kText, params, result);
            ASSERT_EQ(std::get<1>(kept[i]), hit ? result.HitAnchor : -1) << x << "," << y;
            if (hit) {
                ASSERT_EQ(std::get<0>(kept[i]), result.AnchorValue);
                ASSERT_EQ(std::get<2>(kept[i]), result.HitRect);
            }
        }
    }
    // Scripts leave the answers to the engine.
    rig.look.layout.text = QStringLiteral("x<SUB>2</SUB> <A href=\"a\">anchor</A>");
    renderer.AnchorAt(rig.look, 10, 10);
    EXPECT_FALSE(renderer.TextAnsweredFromMap());
}

// A renderer that has answered for one look answers for a changed one as a new renderer does.
TEST(AdvPanelRenderer, EveryChangeThatMovesTheTextIsFollowed)
{
    struct Case {
        const char* name;
        std::function<void(LookRig&)> change;
        bool caption = false; // the caption bar shows before the change
        TTextVAlignment valign = tvaTop; // before the change
    };
    const Case cases[] = {
        { "text", [](LookRig& r) { r.look.layout.text = QStringLiteral("A longer start: ") + kText; } },
        { "font", [](LookRig& r) { r.look.layout.font.SetSize(14); } },
        { "width", [](LookRig& r) { r.look.layout.geometry.client.setWidth(150); } },
        { "indent", [](LookRig& r) { r.look.layout.geometry.indent = 17; } },
        { "top indent", [](LookRig& r) { r.look.layout.geometry.topIndent = 9; } },
        { "border width", [](LookRig& r) { r.look.layout.geometry.borderWidth = 5; } },
        { "centred", [](LookRig& r) { r.look.layout.valign = tvaCenter; } },
        { "centred in a lower panel", [](LookRig& r) { r.look.layout.geometry.client.setHeight(90); }, false,
            tvaCenter },
        { "centred, one line more",
            [](LookRig& r) { r.look.layout.text += QStringLiteral("<BR>and a last line"); }, false,
            tvaCenter },
        { "at the bottom, a larger font", [](LookRig& r) { r.look.layout.font.SetSize(12); }, false,
            tvaBottom },
        { "line spacing", [](LookRig& r) { r.look.layout.lineSpacing = 6; } },
        { "one line per break", [](LookRig& r) { r.look.layout.ellipsis = true; } },
        { "caption shown",
            [](LookRig& r) {
                r.caption.setVisible(true);
                r.Sync();
            } },
        { "caption text",
            [](LookRig& r) { r.caption.setText(QStringLiteral("title <A href=\"cap\">caption link</A>")); },
            true },
        { "caption indent", [](LookRig& r) { r.caption.setIndent(30); }, true },
        { "caption font",
            [](LookRig& r) {
                TFont font = r.caption.Font();
                font.SetSize(14);
                r.caption.setFont(font);
            },
            true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LookRig rig;
        rig.caption.setVisible(c.caption);
        rig.look.layout.valign = c.valign;
        rig.Sync();
        TAdvPanelRenderer renderer;
        const Answers before = Sweep(renderer, rig.look);
        c.change(rig);
        TAdvPanelRenderer fresh;
        const Answers expected = Sweep(fresh, rig.look);
        EXPECT_TRUE(expected != before) << "the change moves nothing";
        EXPECT_TRUE(Sweep(renderer, rig.look) == expected);
    }
}

} // namespace
