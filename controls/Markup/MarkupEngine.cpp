// SPDX-License-Identifier: MIT
#include "MarkupEngine.h"

#include "MarkupLayout.h"
#include "MarkupValues.h"

#include <algorithm>
#include <utility>

bool DrawMarkup(TCanvas& canvas, QStringView text, const TMarkupParams& params, TMarkupResult& result)
{
    Markup::TLayout layout(canvas, params, result);
    layout.Run(text);
    return result.Hit;
}

namespace Markup {

namespace {

// Single line, bottom-aligned, tabs expanded, external leading.
constexpr unsigned kRunFlags = DT::SingleLine | DT::Bottom | DT::ExpandTabs | DT::ExternalLeading;

// Every CR becomes "<BR>" and every LF goes, in one pass however many there are.
void ExpandLineBreaks(QString& text)
{
    // Most texts have neither; the library's character search tells that fastest.
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return;
    const qsizetype crs = text.count(u'\r');
    QString out;
    out.reserve(text.size() + 3 * crs);
    for (const QChar c : std::as_const(text)) {
        if (c == u'\r')
            out += QLatin1StringView("<BR>");
        else if (c != u'\n')
            out += c;
    }
    text = std::move(out);
}

// The text as the layout reads it: entities decoded, the first "<#...>" shown as text, line breaks
// made tags.
void PrepareText(QString& text)
{
    if (text.contains(u'&'))
        DecodeTextEntities(text);
    // "<#...>" shows its inner text after "#" instead of acting as a tag (first occurrence only).
    // Found from the few "<" rather than searched for as a pair in every character.
    qsizetype hash = text.indexOf(u'<');
    while (hash >= 0 && (hash + 1 >= text.size() || text[hash + 1] != u'#'))
        hash = text.indexOf(u'<', hash + 1);
    if (hash >= 0) {
        text.remove(hash, 1);
        if (const qsizetype close = text.indexOf(u'>', hash); close >= 0)
            text.remove(close, 1);
    }
    ExpandLineBreaks(text);
}

} // namespace

TLayout::TLayout(TCanvas& canvas, const TMarkupParams& params, TMarkupResult& result)
    : m_canvas(canvas)
    , m_params(params)
    , m_result(result)
{
}

void TLayout::Run(QStringView markup)
{
    const TFont savedFont = m_canvas.Font;
    const TBrush savedBrush = m_canvas.Brush;
    const TBkMode savedBkMode = m_canvas.BkMode;
    const TPen savedPen = m_canvas.Pen;
    // Words come one call each; the canvas may put a line's worth on the device at once.
    const bool wasBatching = m_canvas.BatchText(true);

    m_baseFont = m_canvas.Font;
    m_entryBackground = m_canvas.Brush.Color;
    m_canvas.Brush.Color = clNone;
    m_canvas.BkMode = TBkMode::Transparent;

    m_flags = kRunFlags;
    if (markup.contains(u'&') && markup.contains(u" & "))
        m_flags |= DT::NoPrefix;
    if (!m_params.WordWrap)
        m_flags |= DT::EndEllipsis;

    m_text = markup.toString();
    PrepareText(m_text);
    m_textHasAmp = m_text.contains(u'&');
    if (!m_textHasAmp)
        m_flags |= DT::NoPrefix; // nothing for the prefix rule to find

    m_rect = m_params.Rect;
    m_rect.Left += 1;
    m_result.XSize = 0;
    m_result.YSize = 0;
    m_result.AnchorCount = 0;
    m_result.HitAnchor = -1;
    m_result.FocusValue.clear();
    m_result.Hit = false;

    m_layoutFlow.font = m_baseFont;
    // Colours a closing tag restores when its opening tag never remembered one.
    m_layoutFlow.anchorFontColor = m_layoutFlow.hiliteFontColor = m_baseFont.Color;
    m_drawFlow = m_layoutFlow;
    m_line.top = m_params.Rect.Top;

    m_pos = 0;
    while (m_pos < m_text.size()) {
        if (!RunLine())
            break;
    }

    if (m_result.YSize == 0) {
        m_canvas.Font = m_baseFont;
        m_result.YSize = GhHeight();
    }
    m_result.Hit = m_hit;

    m_canvas.Font = savedFont;
    m_canvas.Brush = savedBrush;
    m_canvas.BkMode = savedBkMode;
    m_canvas.Pen = savedPen;
    m_canvas.BatchText(wasBatching);
}

bool TLayout::RunLine()
{
    m_canvas.Font = m_layoutFlow.font;
    const int gh = GhHeight();
    const int top = m_line.top;
    m_line = Line {};
    m_line.top = top;
    m_line.height = gh;
    m_layoutFlow.subscript = m_layoutFlow.superscript = false;
    m_drawFlow.subscript = m_drawFlow.superscript = false;

    PassState layout;
    layout.pass = Pass::Layout;
    layout.flow = &m_layoutFlow;
    layout.box = TRect(m_rect.Left, top, m_rect.Right, m_params.Rect.Bottom);
    layout.x = layout.box.Left;
    const qsizetype start = m_pos;
    m_measured.clear();
    m_measuredNext = 0;
    LinePass(layout, m_text.size());
    m_layoutFlow.font = m_canvas.Font;
    const qsizetype end = m_pos;
    if (end == start) {
        // Every line takes at least one run or tag; anything else would loop for ever.
        m_pos = m_text.size();
        return false;
    }
    m_line.width = layout.width;
    m_line.height = Add(m_line.height, m_params.LineSpacing);

    int startX = m_rect.Left;
    if (m_align == Align::Right) {
        if (m_rect.Right - m_line.width > m_rect.Left)
            startX = m_rect.Right - m_line.width;
    } else if (m_align == Align::Center) {
        const int room = m_rect.Right - m_rect.Left - m_line.width;
        if (room > 0)
            startX = m_rect.Left + room / 2;
    }
    startX = Add(startX, m_indent);
    m_line.startX = startX;
    const int fullHeight = Add(Add(m_line.height, m_line.subRoom), m_line.supRoom);
    m_line.box = TRect(startX, top, m_rect.Right, Add(top, fullHeight));

    if (!m_params.HeightOnly) {
        PassState second;
        second.pass = m_params.HitTestOnly ? Pass::HitTest : Pass::Draw;
        second.flow = &m_drawFlow;
        second.box = m_line.box;
        second.box.Left += m_lineOffset;
        second.box.Bottom -= m_line.subRoom;
        second.x = second.box.Left;
        m_canvas.Font = m_drawFlow.font;
        if (second.drawing()) {
            ApplyBackground(m_drawFlow.background);
            if (m_drawFlow.paraBackground)
                FillBackgroundRect(m_drawFlow.background,
                    TRect(m_params.Rect.Left, top, m_params.Rect.Right, top + m_line.height));
        }
        if (m_focusContinues) {
            m_focusRect.Left = m_line.box.Left + 1;
            m_focusOpen = true;
            m_focusContinues = false;
        }
        m_anchorStartedOnLine = false;
        m_pos = start;
        LinePass(second, end);
        m_pos = end;
        m_drawFlow.font = m_canvas.Font;
    }
    m_lineOffset = m_nextLineOffset;

    m_line.top = Add(m_line.top, fullHeight);
    m_result.YSize = Add(m_result.YSize, fullHeight);
    if (!m_params.HeightOnly && m_line.top + gh > m_params.Rect.Bottom) {
        m_pos = m_text.size();
        return false;
    }
    return true;
}

void TLayout::LinePass(PassState& ps, qsizetype end)
{
    while (m_pos < end && !ps.lineFull && !ps.breakBefore && !ps.lineEnded) {
        if (m_text[m_pos] != u'<') {
            HandleRun(ps, end);
            continue;
        }
        const qsizetype left = end - m_pos;
        if (left <= 2) {
            m_pos = end;
            break;
        }
        const QStringView rest = QStringView(m_text).mid(m_pos, left);
        const TMarkupTagToken token = ReadMarkupTag(rest);
        const QStringView tag = rest.left(token.length);
        if (bool* on = SwitchOf(ps, token.tag))
            *on = !token.closing;
        else if (token.closing)
            ClosingTag(ps, token.tag);
        else
            OpeningTag(ps, token.tag, tag);
        if (ps.breakBefore)
            break;
        m_pos += token.length;
    }

    ps.width -= ps.trailingBlank;
    ps.trailingBlank = 0;
    if (ps.width > m_result.XSize)
        m_result.XSize = ps.width + 2;

    if (ps.drawing() && m_focusOpen && ps.flow->inAnchor) {
        // The focus anchor goes on past this line: close this part, the next starts on the next line.
        FocusPartDone(ps.x, TextBottom());
        m_focusRect.Top = TextBottom();
        m_focusContinues = true;
    }
}

void TLayout::HandleRun(PassState& ps, qsizetype end)
{
    const QStringView input = QStringView(m_text).mid(m_pos, end - m_pos);
    // A run ends before the next tag or, when wrapping, after its first blank; scanning only that far
    // keeps long untagged text linear.
    // The second pass takes the run the layout pass found here.
    const MeasuredRun* kept = ps.pass == Pass::Layout ? nullptr : KeptRun();
    qsizetype runLength = kept && kept->length <= input.size() ? kept->length : -1;
    if (runLength < 0) {
        runLength = 0;
        while (runLength < input.size()) {
            const char16_t c = input[runLength].unicode();
            if (c == u'<')
                break;
            ++runLength;
            if (c == u' ' && m_params.WordWrap)
                break;
        }
    }
    const QStringView raw = input.left(runLength);
    const bool decoded = m_textHasAmp && DecodeRunEntities(raw, m_decodedRun);
    const QStringView run = decoded ? QStringView(m_decodedRun) : raw;
    Flow& flow = *ps.flow;

    const QSize extent = MeasureRun(ps, run, runLength, kept);
    if (ps.pass == Pass::Layout) {
        m_line.height = std::max(m_line.height, extent.height());
        if (flow.subscript)
            m_line.subRoom = std::max(m_line.subRoom, extent.height() / 4);
        if (flow.superscript)
            m_line.supRoom = std::max(m_line.supRoom, extent.height() / 4);
    }
    if (flow.hidden) {
        m_pos += runLength;
        return;
    }

    int width = (m_flags & DT::NoPrefix) || !m_textHasAmp || !run.contains(u'&') ? extent.width()
                                                                                 : PrefixedWidth(run);
    const int trailingBlank = run.endsWith(u' ') && !decoded ? BlankWidth() : 0;

    if (ps.pass == Pass::Layout) {
        if (!m_params.WordWrap)
            width = std::min(width, std::max(0, ps.box.Width()));
        const int available = Add(ps.box.Right, -qint64(ps.box.Left) - m_lineOffset);
        const int before = ps.width;
        ps.width = Add(ps.width, width);
        // A word wider than the whole line is placed alone on a line of its own.
        const bool fits = !m_params.WordWrap || ps.width < available || (width >= available && !ps.runPlaced);
        if (!fits) {
            ps.width = before;
            ps.lineFull = true;
            return;
        }
        ps.x = Add(ps.x, width);
        ps.runPlaced = true;
        ps.trailingBlank = trailingBlank;
        m_pos += runLength;
        return;
    }

    // Second pass: everything the layout pass placed is drawn or hit-tested where it lies.
    TRect box(ps.x, ps.box.Top, ps.box.Right, ps.box.Bottom);
    if (flow.subscript)
        box.Bottom = Add(box.Bottom, m_line.subRoom);
    if (flow.superscript)
        box.Bottom = Add(box.Bottom, -m_line.supRoom);
    box.Bottom = Add(box.Bottom, -m_line.lift);
    if (!m_params.WordWrap)
        width = std::min(width, std::max(0, Add(box.Right, -qint64(box.Left))));

    if (ps.drawing())
        DrawRun(ps, run, box, width);
    if (flow.inAnchor) {
        if (m_params.FocusAnchor >= 0 && flow.anchorCounter - 1 == m_params.FocusAnchor)
            m_result.FocusValue = flow.anchorTarget.toString();
        TestRunHit(ps, box.Left, box.Left + width);
    }
    ps.x = Add(ps.x, width);
    ps.width = Add(ps.width, width);
    ps.trailingBlank = trailingBlank;
    m_pos += runLength;
}

int TLayout::BlankWidth()
{
    if (m_blankWidth < 0 || !(m_blankFont == m_canvas.Font)) {
        m_blankFont = m_canvas.Font;
        m_blankWidth = m_canvas.TextWidth(u" ");
    }
    return m_blankWidth;
}

const TLayout::MeasuredRun* TLayout::KeptRun()
{
    for (; m_measuredNext < m_measured.size(); ++m_measuredNext) {
        const MeasuredRun& kept = m_measured[m_measuredNext];
        if (kept.pos > m_pos)
            break;
        if (kept.pos == m_pos)
            return &kept;
    }
    return nullptr;
}

QSize TLayout::MeasureRun(const PassState& ps, QStringView run, qsizetype length, const MeasuredRun* kept)
{
    if (kept && kept->length == length && kept->font == m_canvas.Font)
        return kept->extent;
    const QSize extent = m_canvas.TextExtent(run);
    if (ps.pass == Pass::Layout)
        m_measured.push_back({ m_pos, length, m_canvas.Font, extent });
    return extent;
}

void TLayout::DrawRun(PassState& ps, QStringView run, const TRect& box, int width)
{
    if (!m_params.WordWrap && box.Left >= box.Right - m_canvas.TextWidth(u"w"))
        return;
    const unsigned flags = m_flags & ~DT::ExternalLeading;
    TRect measured(box.Left, box.Top, box.Left + width, box.Bottom);
    if (ps.flow->shadow) {
        const TColor color = m_canvas.Font.Color;
        m_canvas.Font.Color = m_params.ShadowColor;
        TRect shadow = measured;
        const int offset = std::clamp(m_params.ShadowOffset, -4096, 4096);
        shadow.Offset(offset, offset);
        m_canvas.DrawText(run, shadow, flags);
        m_canvas.Font.Color = color;
    }
    m_canvas.DrawText(run, measured, flags);
    if (ps.flow->errorMark)
        DrawErrorMark(measured.Left, measured.Right, TextBottom());
}

void TLayout::DrawErrorMark(int left, int right, int base)
{
    const TPen pen = m_canvas.Pen;
    m_canvas.Pen = TPen { TColor(0xff), 1 };
    int x = left / 2 * 2;
    int phase = x % 4 == 0 ? 2 : 0;
    m_canvas.MoveTo(x, base + phase - 1);
    while (x < right) {
        phase = 2 - phase;
        m_canvas.LineTo(x + 2, base + phase - 1);
        x += 2;
    }
    m_canvas.Pen = pen;
}

void TLayout::TestRunHit(PassState& ps, int left, int right)
{
    if (m_params.HitX < left || m_params.HitX > right)
        return;
    const int bottom = m_line.box.Bottom - m_line.lift;
    if (m_params.HitY <= bottom - GhHeight() || m_params.HitY >= bottom)
        return;
    Flow& flow = *ps.flow;
    m_hit = true;
    m_result.AnchorValue = flow.anchorTarget.toString();
    m_result.HitAnchor = flow.anchorCounter;
    m_markedAnchor = flow.anchorCounter;
    // Until the anchor's end completes it, the rectangle covers the anchor up to this run.
    m_result.HitRect
        = TRect(m_anchorStartedOnLine ? m_anchorLineStart : ps.box.Left, m_line.top, right, TextBottom());
}

void TLayout::FocusPartDone(int right, int bottom)
{
    TRect part(m_focusRect.Left - 1, m_focusRect.Top, right + 1, bottom);
    if (!part.IsEmpty())
        m_canvas.DrawFocusRect(part);
    m_focusOpen = false;
}

int TLayout::TextBottom() const
{
    return m_line.box.Bottom - m_line.subRoom;
}

int TLayout::GhHeight()
{
    return m_canvas.TextExtent(u"gh").height();
}

int TLayout::PrefixedWidth(QStringView run)
{
    TRect r(0, 0, 0x3FFFFFFF, 0x3FFFFFFF);
    m_canvas.DrawText(run, r, (m_flags | DT::CalcRect) & ~DT::EndEllipsis);
    return r.Width();
}

void TLayout::ApplyBackground(TColor color)
{
    m_canvas.Brush.Color = color;
    m_canvas.Brush.Clear = color == clNone;
    m_canvas.BkMode = color == clNone ? TBkMode::Transparent : TBkMode::Opaque;
}

void TLayout::SetBackground(PassState& ps, TColor color)
{
    ps.flow->background = color;
    if (ps.drawing())
        ApplyBackground(color);
}

void TLayout::FillBackgroundRect(TColor color, const TRect& r)
{
    if (color == clNone || r.IsEmpty())
        return;
    const TPen pen = m_canvas.Pen;
    const TBrush brush = m_canvas.Brush;
    m_canvas.Pen = TPen { color, 1 };
    m_canvas.Brush = TBrush { color, false };
    m_canvas.Rectangle(r);
    m_canvas.Pen.Width = pen.Width;
    m_canvas.Brush = brush;
}

int TLayout::ScaleX(int v) const
{
    return int((qint64(v) * m_canvas.PixelsPerInchX() + 48) / 96);
}

int TLayout::ScaleY(int v) const
{
    return int((qint64(v) * m_canvas.PixelsPerInchY() + 48) / 96);
}

} // namespace Markup

bool MarkupHasTag(QStringView markup, std::initializer_list<TMarkupTag> tags)
{
    QString text = markup.toString();
    Markup::PrepareText(text);
    // Text runs end at every "<", so every "<" outside a tag starts one.
    for (qsizetype i = text.indexOf(u'<'); i >= 0 && text.size() - i > 2;) {
        const TMarkupTagToken token = ReadMarkupTag(QStringView(text).mid(i));
        if (!token.closing && std::find(tags.begin(), tags.end(), token.tag) != tags.end())
            return true;
        i = text.indexOf(u'<', i + token.length);
    }
    return false;
}
