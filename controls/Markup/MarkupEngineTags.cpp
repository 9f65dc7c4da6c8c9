// SPDX-License-Identifier: MIT
// The tags: each switches a piece of state on or off; there is no nesting.
#include "MarkupLayout.h"
#include "MarkupValues.h"

#include <algorithm>

namespace Markup {

namespace {

QChar UpperAscii(QChar c)
{
    const char16_t u = c.unicode();
    return QChar(u >= 'a' && u <= 'z' ? char16_t(u - 32) : u);
}

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

void TLayout::HandleTag(PassState& ps, QStringView rest, QStringView tag)
{
    if (rest[1] == u'/') {
        if (rest.size() > 3)
            ClosingTag(ps, rest, tag, UpperAscii(rest[2]), UpperAscii(rest[3]));
        return;
    }
    OpeningTag(ps, rest, tag, UpperAscii(rest[1]), UpperAscii(rest[2]));
}

void TLayout::OpeningTag(PassState& ps, QStringView rest, QStringView tag, QChar first, QChar second)
{
    Flow& flow = *ps.flow;
    TFont& font = m_canvas.Font;
    switch (first.unicode()) {
    case 'A':
        AnchorStart(ps, tag);
        break;
    case 'B':
        if (second == u'>') {
            font.Bold = true;
        } else if (second == u'L') {
            if (ps.drawing() && !m_params.BlinkOn)
                font.Color = m_entryBackground;
        } else if (second == u'O') {
            PageTag(ps, tag);
        } else if (second == u'R') {
            ps.lineEnded = true;
        }
        break;
    case 'E':
        flow.errorMark = true;
        break;
    case 'F':
        if (tag.endsWith(u'>'))
            FontTag(ps, tag);
        break;
    case 'H':
        if (second == u'I') {
            if (ps.drawing()) {
                flow.hiliteFontColor = font.Color;
                flow.hiliteBackground = flow.background;
                SetBackground(ps, clHighlight);
                font.Color = clHighlightText;
            }
        } else if (second == u'R') {
            HorizontalRule(ps);
        }
        break;
    case 'I':
        if (second == u'>') {
            font.Italic = true;
        } else if (second == u'N') {
            const Number x = ReadNumber(AttributeValue(TagPart(tag, 2), u"x", Qt::CaseInsensitive));
            if (x.clean && x.value > ps.width) {
                ps.width = Add(0, x.value);
                ps.x = Add(m_params.Rect.Left, x.value);
            }
        } else if (second == u'M') {
            ImageTag(ps, tag);
        }
        break;
    case 'L':
        ListItem(ps);
        break;
    case 'O':
        if (second == u'F') {
            const int x
                = Add(0, ReadNumber(AttributeValue(TagPart(tag, 2), u"x", Qt::CaseInsensitive)).value);
            m_nextLineOffset = x;
            ps.x = x;
            ps.width = x;
        }
        break;
    case 'P':
        ParagraphTag(ps, tag);
        break;
    case 'R': {
        const int degrees
            = ReadNumber(AttributeValue(TagPart(tag, 2), u"a", Qt::CaseInsensitive)).value % 360;
        flow.beforeRotation = font;
        flow.rotated = true;
        font.Escapement = font.Orientation = degrees * 10;
        break;
    }
    case 'S':
        if (second == u'>')
            font.StrikeOut = true;
        else if (second == u'H')
            flow.shadow = true;
        else if (rest.startsWith(u"<SUB>", Qt::CaseInsensitive))
            flow.subscript = true;
        else if (rest.startsWith(u"<SUP>", Qt::CaseInsensitive))
            flow.superscript = true;
        break;
    case 'U':
        if (second == u'>') {
            font.Underline = true;
        } else {
            flow.listLevel = std::min(flow.listLevel + 1, 1 << 16);
            ps.lineEnded = true;
        }
        break;
    case 'Z':
        flow.hidden = true;
        break;
    default:
        break;
    }
}

void TLayout::ClosingTag(PassState& ps, QStringView, QStringView, QChar first, QChar second)
{
    Flow& flow = *ps.flow;
    TFont& font = m_canvas.Font;
    switch (first.unicode()) {
    case 'A':
        AnchorEnd(ps);
        break;
    case 'B':
        if (second == u'>')
            font.Bold = false;
        else
            font.Color = m_baseFont.Color;
        break;
    case 'E':
        flow.errorMark = false;
        break;
    case 'F':
        font.Name = m_baseFont.Name;
        font.Height = m_baseFont.Height;
        if (ps.drawing() && !m_params.FixedColors) {
            font.Color = m_baseFont.Color;
            SetBackground(ps, flow.fontBackground);
        }
        break;
    case 'H':
        if (ps.drawing()) {
            font.Color = flow.hiliteFontColor;
            SetBackground(ps, flow.hiliteBackground);
        }
        break;
    case 'I':
        font.Italic = false;
        break;
    case 'L':
        ps.lineEnded = true;
        break;
    case 'O':
        m_nextLineOffset = 0;
        break;
    case 'P':
        ps.lineEnded = true;
        if (ps.drawing() && flow.paraBackground) {
            SetBackground(ps, flow.paraBackgroundColor);
            flow.paraBackground = false;
        }
        break;
    case 'R':
        if (flow.rotated) {
            font = flow.beforeRotation;
            flow.rotated = false;
        }
        break;
    case 'S':
        if (second == u'U')
            flow.subscript = flow.superscript = false;
        else if (second == u'H')
            flow.shadow = false;
        else
            font.StrikeOut = false;
        break;
    case 'U':
        if (second == u'>')
            font.Underline = false;
        else if (flow.listLevel > 0)
            --flow.listLevel;
        else
            font.Underline = false;
        break;
    case 'Z':
        flow.hidden = false;
        break;
    default:
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
