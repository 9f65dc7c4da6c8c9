// SPDX-License-Identifier: MIT
#pragma once

#include "MarkupEngine.h"

#include <QString>
#include <QStringView>
#include <vector>

class THTMLPicture;

namespace Markup {

// Widths and positions add up with this bound, so that no text, tag value or rectangle can overflow them.
constexpr int kCoordinateLimit = 1 << 28;
inline int Add(int a, qint64 b)
{
    const qint64 sum = qint64(a) + b;
    return int(sum > kCoordinateLimit ? kCoordinateLimit : sum < -kCoordinateLimit ? -kCoordinateLimit : sum);
}

// One DrawMarkup call: lays the text out line by line, each line twice (a layout pass that decides
// what fits, then a pass that draws or hit-tests what was placed).
class TLayout {
public:
    TLayout(TCanvas& canvas, const TMarkupParams& params, TMarkupResult& result);
    void Run(QStringView markup);

private:
    enum class Pass { Layout, HitTest, Draw };
    enum class Align { Left, Right, Center };

    // State that tags switch and that carries from line to line. The layout pass and the second
    // pass each carry their own copy, so both passes of a line start from the same state.
    struct Flow {
        TFont font;
        TFont beforeRotation;
        bool rotated = false;
        TColor background = clNone; // clNone: transparent
        int anchorCounter = 0;
        bool inAnchor = false;
        QStringView anchorTarget;
        int listLevel = 0;
        int imageCounter = 0;
        bool subscript = false;
        bool superscript = false;
        bool shadow = false;
        bool hidden = false;
        bool errorMark = false;
        bool paraBackground = false;
        TColor anchorBackground = clNone;
        TColor anchorFontColor = clNone;
        TColor fontBackground = clNone;
        TColor hiliteFontColor = clNone;
        TColor hiliteBackground = clNone;
        TColor paraBackgroundColor = clNone;
    };

    // What one line measures; the layout pass fills it, the second pass reads it.
    struct Line {
        int top = 0;
        int height = 0;
        int subRoom = 0;
        int supRoom = 0;
        int lift = 0;
        int width = 0;
        int startX = 0;
        TRect box; // line box
    };

    // The state of one pass over one line.
    struct PassState {
        Pass pass = Pass::Layout;
        Flow* flow = nullptr;
        TRect box; // drawing box
        int x = 0; // drawing position
        int width = 0; // line width so far
        int trailingBlank = 0;
        bool lineFull = false;
        bool breakBefore = false;
        bool lineEnded = false;
        bool listItemPlaced = false;
        bool runPlaced = false;
        bool measuring() const { return pass != Pass::Draw; }
        bool drawing() const { return pass == Pass::Draw; }
    };

    bool RunLine();
    void LinePass(PassState& ps, qsizetype end);
    void HandleRun(PassState& ps, qsizetype end);
    void DrawRun(PassState& ps, QStringView run, const TRect& box, int width);
    void DrawErrorMark(int left, int right, int base);
    void TestRunHit(PassState& ps, int left, int right);

    // The piece of state a plain on/off tag switches; null for the tags that do more, which the
    // two below handle.
    bool* SwitchOf(PassState& ps, TMarkupTag kind);
    void OpeningTag(PassState& ps, TMarkupTag kind, QStringView tag);
    void ClosingTag(PassState& ps, TMarkupTag kind);
    void AnchorStart(PassState& ps, QStringView tag);
    void AnchorEnd(PassState& ps);
    void FontTag(PassState& ps, QStringView tag);
    void ParagraphTag(PassState& ps, QStringView tag);
    void ListItem(PassState& ps);
    void HorizontalRule(PassState& ps);

    // Pictures of the image and page tags.
    enum class PictureKind { None, List, System, Picture };
    enum class PagePicture { Tiled, TopLeft, TopRight };
    struct Picture {
        PictureKind kind = PictureKind::None;
        QImage image; // list and system pictures
        THTMLPicture* picture = nullptr; // container and cache pictures
        QSize natural { 0, 0 }; // size at 96 dots per inch
        QSize size { 0, 0 }; // layout size on the device
        bool stretch = false; // WIDTH and HEIGHT given
    };
    Picture ResolvePicture(QStringView source, int displayWidth, int displayHeight);
    void DrawPicture(const Picture& picture, int x, int y);
    void ImageTag(PassState& ps, QStringView tag);
    void PageTag(PassState& ps, QStringView tag);
    void DrawPageBackground(PassState& ps, QStringView source, PagePicture placement);

    void FocusPartDone(int right, int bottom);
    int TextBottom() const;
    int GhHeight();
    int PrefixedWidth(QStringView run);
    void ApplyBackground(TColor color);
    void SetBackground(PassState& ps, TColor color);
    void FillBackgroundRect(TColor color, const TRect& r);
    int ScaleX(int v) const;
    int ScaleY(int v) const;

    TCanvas& m_canvas;
    const TMarkupParams& m_params;
    TMarkupResult& m_result;

    QString m_text; // working copy after entity decoding and line-break rewriting
    qsizetype m_pos = 0; // input position
    TRect m_rect; // working rectangle (layout rectangle, left edge + 1)
    unsigned m_flags = 0; // DT flags for runs
    TFont m_baseFont;
    TColor m_entryBackground = clNone;

    Flow m_layoutFlow;
    Flow m_drawFlow;
    Line m_line;
    Align m_align = Align::Left;
    int m_indent = 0;
    int m_lineOffset = 0;
    int m_nextLineOffset = 0;
    int m_hoveredImage = -1;
    QString m_decodedRun; // scratch for runs with "&nbsp;", "&lt;", "&gt;"
    bool m_textHasAmp = true; // runs without "&" need no decoding and no prefix rule

    // The runs the layout pass of the current line measured, which its second pass meets again in
    // the same order and font: measured once per line, not once per pass.
    struct MeasuredRun {
        qsizetype pos;
        qsizetype length;
        TFont font;
        QSize extent;
    };
    std::vector<MeasuredRun> m_measured;
    size_t m_measuredNext = 0;
    // The run the layout pass measured at the current position, if any.
    const MeasuredRun* KeptRun();
    QSize MeasureRun(const PassState& ps, QStringView run, qsizetype length, const MeasuredRun* kept);
    // The width of a blank in the canvas font, which most runs end in.
    int BlankWidth();
    TFont m_blankFont;
    int m_blankWidth = -1;

    // Hit testing of the second pass.
    int m_markedAnchor = -1; // 1-based anchor whose rectangle is captured at its end
    int m_anchorLineStart = 0; // x where the open anchor starts on this line
    bool m_anchorStartedOnLine = false;
    bool m_hit = false;

    // Focus rectangle.
    bool m_focusOpen = false;
    bool m_focusContinues = false;
    TRect m_focusRect;
};

} // namespace Markup
