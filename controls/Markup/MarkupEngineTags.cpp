// SPDX-License-Identifier: MIT
// The tags: each switches a piece of state on or off; there is no nesting.
#include "MarkupLayout.h"
#include "MarkupValues.h"

#include <algorithm>
#include <optional>

namespace Markup {

namespace {

TColor ColorOrNone(QStringView value)
{
    return value.isEmpty() ? clNone : ReadColor(value);
}

int PointsToHeight(int points, int dpi)
{
    // Far beyond any readable size; keeps glyph rendering bounded.
    const qint64 height = -(qint64(points) * dpi + (points >= 0 ? 36 : -36)) / 72;
    return int(std::clamp<qint64>(height, -1000, 1000));
}

} // namespace

bool* TLayout::SwitchOf(PassState& ps, TMarkupTag kind)
{
    switch (kind) {
    case TMarkupTag::Bold:
        return &m_canvas.Font.Bold;
    case TMarkupTag::Italic:
        return &m_canvas.Font.Italic;
    case TMarkupTag::StrikeOut:
        return &m_canvas.Font.StrikeOut;
    case TMarkupTag::Underline:
        return &m_canvas.Font.Underline;
    case TMarkupTag::ErrorMark:
        return &ps.flow->errorMark;
    case TMarkupTag::Shadow:
        return &ps.flow->shadow;
    case TMarkupTag::Hidden:
        return &ps.flow->hidden;
    default:
        return nullptr;
    }
}

void TLayout::OpeningTag(PassState& ps, TMarkupTag kind, QStringView tag)
{
    Flow& flow = *ps.flow;
    TFont& font = m_canvas.Font;
    switch (kind) {
    case TMarkupTag::Anchor:
        AnchorStart(ps, tag);
        break;
    case TMarkupTag::Blink:
        if (ps.drawing() && !m_params.BlinkOn)
            font.Color = m_entryBackground;
        break;
    case TMarkupTag::Page:
        PageTag(ps, tag);
        break;
    case TMarkupTag::LineBreak:
        ps.lineEnded = true;
        break;
    case TMarkupTag::Font:
        FontTag(ps, tag);
        break;
    case TMarkupTag::Highlight:
        if (ps.drawing()) {
            flow.hiliteFontColor = font.Color;
            flow.hiliteBackground = flow.background;
            SetBackground(ps, clHighlight);
            font.Color = clHighlightText;
        }
        break;
    case TMarkupTag::Rule:
        HorizontalRule(ps);
        break;
    case TMarkupTag::IndentTo: {
        const Number x = ReadNumber(AttributeValue(TagPart(tag, 2), u"x", Qt::CaseInsensitive));
        if (x.clean && x.value > ps.width) {
            ps.width = Add(0, x.value);
            ps.x = Add(m_params.Rect.Left, x.value);
        }
        break;
    }
    case TMarkupTag::Image:
        ImageTag(ps, tag);
        break;
    case TMarkupTag::ListItem:
        ListItem(ps);
        break;
    case TMarkupTag::Offset: {
        const int x = Add(0, ReadNumber(AttributeValue(TagPart(tag, 2), u"x", Qt::CaseInsensitive)).value);
        m_nextLineOffset = x;
        ps.x = x;
        ps.width = x;
        break;
    }
    case TMarkupTag::Paragraph:
        ParagraphTag(ps, tag);
        break;
    case TMarkupTag::Rotation: {
        const int degrees
            = ReadNumber(AttributeValue(TagPart(tag, 2), u"a", Qt::CaseInsensitive)).value % 360;
        flow.beforeRotation = font;
        flow.rotated = true;
        font.Escapement = font.Orientation = degrees * 10;
        break;
    }
    case TMarkupTag::Subscript:
        flow.subscript = true;
        break;
    case TMarkupTag::Superscript:
        flow.superscript = true;
        break;
    case TMarkupTag::ListLevel:
        flow.listLevel = std::min(flow.listLevel + 1, 1 << 16);
        ps.lineEnded = true;
        break;
    default: // the on/off tags, switched above, and unknown ones
        break;
    }
}

void TLayout::ClosingTag(PassState& ps, TMarkupTag kind)
{
    Flow& flow = *ps.flow;
    TFont& font = m_canvas.Font;
    switch (kind) {
    case TMarkupTag::Anchor:
        AnchorEnd(ps);
        break;
    case TMarkupTag::Blink:
        font.Color = m_baseFont.Color;
        break;
    case TMarkupTag::Font:
        font.Name = m_baseFont.Name;
        font.Height = m_baseFont.Height;
        if (ps.drawing() && !m_params.FixedColors) {
            font.Color = m_baseFont.Color;
            SetBackground(ps, flow.fontBackground);
        }
        break;
    case TMarkupTag::Highlight:
        if (ps.drawing()) {
            font.Color = flow.hiliteFontColor;
            SetBackground(ps, flow.hiliteBackground);
        }
        break;
    case TMarkupTag::ListItem:
        ps.lineEnded = true;
        break;
    case TMarkupTag::Offset:
        m_nextLineOffset = 0;
        break;
    case TMarkupTag::Paragraph:
        ps.lineEnded = true;
        if (ps.drawing() && flow.paraBackground) {
            SetBackground(ps, flow.paraBackgroundColor);
            flow.paraBackground = false;
        }
        break;
    case TMarkupTag::Rotation:
        if (flow.rotated) {
            font = flow.beforeRotation;
            flow.rotated = false;
        }
        break;
    case TMarkupTag::Subscript:
    case TMarkupTag::Superscript:
        flow.subscript = flow.superscript = false;
        break;
    case TMarkupTag::ListLevel:
        if (flow.listLevel > 0)
            --flow.listLevel;
        else
            font.Underline = false;
        break;
    default: // the on/off tags, switched above, and the tags that only open
        break;
    }
}

void TLayout::AnchorStart(PassState& ps, QStringView tag)
{
    Flow& flow = *ps.flow;
    TFont& font = m_canvas.Font;
    ++flow.anchorCounter;
    m_result.AnchorCount = std::max(m_result.AnchorCount, flow.anchorCounter);
    flow.anchorTarget = FirstQuoted(TagPart(tag, 2));
    flow.inAnchor = true;
    if (ps.pass != Pass::Layout) {
        m_anchorLineStart = ps.x;
        m_anchorStartedOnLine = true;
    }
    if (!ps.drawing())
        return;

    const bool hovered = flow.anchorCounter == m_params.HoverAnchor;
    if (!m_params.Hover || hovered) {
        font.Underline = true;
        if (m_params.HoverColor != clNone) {
            flow.anchorBackground = flow.background;
            SetBackground(ps, m_params.HoverColor);
        }
        if (m_params.HoverFontColor != clNone) {
            flow.anchorFontColor = font.Color;
            font.Color = m_params.HoverFontColor;
        }
    }
    if (m_params.FocusAnchor >= 0 && flow.anchorCounter - 1 == m_params.FocusAnchor) {
        m_focusOpen = true;
        m_focusRect.Left = ps.x;
        m_focusRect.Top = ps.box.Top;
    }
    if (!m_params.FixedColors && !(m_params.Hover && hovered && m_params.HoverFontColor != clNone))
        font.Color = m_params.URLColor;
}

void TLayout::AnchorEnd(PassState& ps)
{
    Flow& flow = *ps.flow;
    TFont& font = m_canvas.Font;
    if (ps.drawing()) {
        if (!m_params.Hover || flow.anchorCounter == m_params.HoverAnchor) {
            font.Underline = false;
            if (m_params.HoverColor != clNone)
                SetBackground(ps, flow.anchorBackground);
            if (m_params.HoverFontColor != clNone)
                font.Color = flow.anchorFontColor;
        }
        if (!m_params.FixedColors)
            font.Color = m_baseFont.Color;
        if (m_focusOpen && flow.inAnchor && flow.anchorCounter - 1 == m_params.FocusAnchor) {
            const int bottom = TextBottom() - m_line.lift;
            m_focusRect.Top = bottom - GhHeight();
            FocusPartDone(ps.x, bottom);
        }
    }
    if (ps.pass != Pass::Layout && flow.inAnchor && m_markedAnchor == flow.anchorCounter) {
        m_result.HitRect
            = TRect(m_anchorStartedOnLine ? m_anchorLineStart : ps.box.Left, m_line.top, ps.x, TextBottom());
        m_markedAnchor = -1;
    }
    flow.inAnchor = false;
    m_anchorStartedOnLine = false;
}

void TLayout::FontTag(PassState& ps, QStringView tag)
{
    Flow& flow = *ps.flow;
    TFont& font = m_canvas.Font;
    const QString part = AsciiUpper(TagPart(tag, 5));

    bool found = false;
    const QStringView face = AttributeValue(part, u"FACE", Qt::CaseSensitive, &found);
    if (found && !face.isEmpty())
        font.Name = face.toString();
    const QStringView color = AttributeValue(part, u" COLOR", Qt::CaseSensitive, &found);
    if (found && !color.isEmpty() && !m_params.FixedColors)
        font.Color = ReadColor(color);
    if (ps.drawing() && !m_params.FixedColors) {
        const QStringView background = AttributeValue(part, u"BGCOLOR", Qt::CaseSensitive, &found);
        flow.fontBackground = flow.background;
        if (found && !background.isEmpty())
            SetBackground(ps, ReadColor(background));
    }
    int points = 0;
    if (FontSizeValue(part, points))
        font.Height = PointsToHeight(points, m_canvas.PixelsPerInchY());
}

void TLayout::ParagraphTag(PassState& ps, QStringView tag)
{
    Flow& flow = *ps.flow;
    const QString part = AsciiUpper(TagPart(tag, 2));
    bool found = false;
    const QStringView align = AttributeValue(part, u"ALIGN", Qt::CaseSensitive, &found);
    if (found) {
        if (align.contains(u"RIGHT"))
            m_align = Align::Right;
        if (align.contains(u"LEFT"))
            m_align = Align::Left;
        if (align.contains(u"CENTER"))
            m_align = Align::Center;
    }
    const QStringView indent = AttributeValue(part, u"INDENT", Qt::CaseSensitive, &found);
    if (found)
        m_indent = Add(0, ReadNumber(indent).value);
    if (!ps.drawing())
        return;

    bool hasColor = false;
    bool hasColorTo = false;
    const TColor color = ColorOrNone(AttributeValue(part, u"BGCOLOR", Qt::CaseSensitive, &hasColor));
    const TColor colorTo = ColorOrNone(AttributeValue(part, u"BGCOLORTO", Qt::CaseSensitive, &hasColorTo));
    if (!hasColor)
        return;
    flow.paraBackground = true;
    flow.paraBackgroundColor = flow.background;
    if (hasColorTo) {
        if (color != clNone && colorTo != clNone) {
            DrawGradient(m_canvas, color, colorTo, 64,
                TRect(m_params.Rect.Left, m_line.top, m_params.Rect.Right, TextBottom() + 2), true);
        }
        SetBackground(ps, clNone);
        return;
    }
    SetBackground(ps, color);
    if (color != clNone) {
        m_canvas.Pen.Color = color;
        FillBackgroundRect(color, TRect(m_params.Rect.Left, m_line.top, m_params.Rect.Right, TextBottom()));
    }
}

void TLayout::ListItem(PassState& ps)
{
    Flow& flow = *ps.flow;
    ps.width = Add(ps.width, 12 * qint64(flow.listLevel));
    ps.x = Add(ps.x, 12 * (qint64(flow.listLevel) - 1));
    if (ps.listItemPlaced) {
        ps.breakBefore = true;
        return;
    }
    ps.listItemPlaced = true;
    if (ps.drawing() && !flow.hidden) {
        // The bullets the symbol face would show (a round bullet, a small circle), drawn in the text's
        // own face: the Symbol faces available outside Windows do not hold them at the symbol codes.
        const QChar bullet = flow.listLevel % 2 != 0 ? QChar(0x2022) : QChar(u'o');
        TRect r(ps.x, ps.box.Top, std::max(ps.box.Right, ps.x + 1), ps.box.Bottom);
        m_canvas.DrawText(QStringView(&bullet, 1), r, DT::NoPrefix);
    }
    ps.x = Add(ps.x, 12);
}

void TLayout::HorizontalRule(PassState& ps)
{
    ps.lineEnded = true;
    if (!ps.drawing())
        return;
    const TColor color = m_canvas.Pen.Color;
    m_canvas.Pen.Color = clBlack;
    const int y = TextBottom() + 1;
    m_canvas.MoveTo(ps.box.Left, y);
    m_canvas.LineTo(m_params.Rect.Right, y);
    m_canvas.Pen.Color = color;
}

} // namespace Markup

namespace {

QChar UpperAscii(QChar c)
{
    const char16_t u = c.unicode();
    return QChar(u >= 'a' && u <= 'z' ? char16_t(u - 32) : u);
}

// The tags that their first letter names alone, opening and closing alike.
std::optional<TMarkupTag> LetterKind(QChar first, QChar second)
{
    switch (first.unicode()) {
    case 'A':
        return TMarkupTag::Anchor;
    case 'E':
        return TMarkupTag::ErrorMark;
    case 'L':
        return TMarkupTag::ListItem;
    case 'P':
        return TMarkupTag::Paragraph;
    case 'R':
        return TMarkupTag::Rotation;
    case 'U':
        return second == u'>' ? TMarkupTag::Underline : TMarkupTag::ListLevel;
    case 'Z':
        return TMarkupTag::Hidden;
    default:
        return std::nullopt;
    }
}

TMarkupTag OpeningKind(QStringView rest, QChar first, QChar second, bool closed)
{
    if (const std::optional<TMarkupTag> kind = LetterKind(first, second))
        return *kind;
    switch (first.unicode()) {
    case 'B':
        return second == u'>' ? TMarkupTag::Bold
            : second == u'L'  ? TMarkupTag::Blink
            : second == u'O'  ? TMarkupTag::Page
            : second == u'R'  ? TMarkupTag::LineBreak
                              : TMarkupTag::Ignored;
    case 'F':
        return closed ? TMarkupTag::Font : TMarkupTag::Ignored;
    case 'H':
        return second == u'I' ? TMarkupTag::Highlight
            : second == u'R'  ? TMarkupTag::Rule
                              : TMarkupTag::Ignored;
    case 'I':
        return second == u'>' ? TMarkupTag::Italic
            : second == u'N'  ? TMarkupTag::IndentTo
            : second == u'M'  ? TMarkupTag::Image
                              : TMarkupTag::Ignored;
    case 'O':
        return second == u'F' ? TMarkupTag::Offset : TMarkupTag::Ignored;
    case 'S':
        if (second == u'>')
            return TMarkupTag::StrikeOut;
        if (second == u'H')
            return TMarkupTag::Shadow;
        if (rest.startsWith(u"<SUB>", Qt::CaseInsensitive))
            return TMarkupTag::Subscript;
        if (rest.startsWith(u"<SUP>", Qt::CaseInsensitive))
            return TMarkupTag::Superscript;
        return TMarkupTag::Ignored;
    default:
        return TMarkupTag::Ignored;
    }
}

TMarkupTag ClosingKind(QChar first, QChar second)
{
    if (const std::optional<TMarkupTag> kind = LetterKind(first, second))
        return *kind;
    switch (first.unicode()) {
    case 'B':
        return second == u'>' ? TMarkupTag::Bold : TMarkupTag::Blink;
    case 'F':
        return TMarkupTag::Font;
    case 'H':
        return TMarkupTag::Highlight;
    case 'I':
        return TMarkupTag::Italic;
    case 'O':
        return TMarkupTag::Offset;
    case 'S':
        return second == u'U' ? TMarkupTag::Subscript
            : second == u'H'  ? TMarkupTag::Shadow
                              : TMarkupTag::StrikeOut;
    default:
        return TMarkupTag::Ignored;
    }
}

} // namespace

TMarkupTagToken ReadMarkupTag(QStringView rest)
{
    TMarkupTagToken token;
    const qsizetype close = rest.indexOf(u'>');
    token.length = close < 0 ? rest.size() : close + 1;
    if (rest.size() < 3)
        return token;
    if (rest[1] == u'/') {
        token.closing = true;
        if (rest.size() > 3)
            token.tag = ClosingKind(UpperAscii(rest[2]), UpperAscii(rest[3]));
        return token;
    }
    token.tag = OpeningKind(rest, UpperAscii(rest[1]), UpperAscii(rest[2]), close >= 0);
    return token;
}
