// SPDX-License-Identifier: MIT
// The image tag and the page tag's pictures.
#include "HTMLPicture.h"
#include "ImageList.h"
#include "MarkupLayout.h"
#include "MarkupValues.h"
#include "SystemIcons.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace Markup {

namespace {

// A small picture repeated into one of at least 256 pixels a side, so that tiling a large
// rectangle takes a handful of draws.
QImage TileImage(const QImage& picture)
{
    if (picture.width() >= 256 && picture.height() >= 256)
        return picture;
    const int across = (255 + picture.width()) / picture.width();
    const int down = (255 + picture.height()) / picture.height();
    QImage tile(picture.width() * across, picture.height() * down, QImage::Format_ARGB32_Premultiplied);
    tile.fill(Qt::transparent);
    QPainter painter(&tile);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int y = 0; y < down; ++y)
        for (int x = 0; x < across; ++x)
            painter.drawImage(x * picture.width(), y * picture.height(), picture);
    return tile;
}

} // namespace

TLayout::Picture TLayout::ResolvePicture(QStringView source, int displayWidth, int displayHeight)
{
    Picture result;
    QStringView value = source;
    // The prefix tests look anywhere in the value, then drop its first characters; what is left
    // goes on through the later tests too.
    if (value.contains(u"IDX:", Qt::CaseInsensitive)) {
        value = value.mid(std::min<qsizetype>(4, value.size()));
        const int index = ReadNumber(value).value;
        const TImageList* images = m_params.Images;
        if (images && index >= 0 && index < images->Count()) {
            result = Picture {};
            result.kind = PictureKind::List;
            result.image = images->Image(index);
            result.natural = QSize(images->Width(), images->Height());
            result.size = QSize(ScaleX(images->Width()), ScaleY(images->Height()));
        }
    }
    const bool small = value.contains(u"SSYS:", Qt::CaseInsensitive);
    if (small || value.contains(u"LSYS:", Qt::CaseInsensitive)) {
        value = value.mid(std::min<qsizetype>(5, value.size()));
        const int base = SystemIconBaseSize(!small);
        const QSize size(ScaleX(base), ScaleY(base));
        const Number number = ReadNumber(value);
        const QImage icon = number.clean ? SystemIconByIndex(number.value, !small, size)
                                         : SystemIconForPath(value.toString(), !small, size);
        if (!icon.isNull()) {
            result = Picture {};
            result.kind = PictureKind::System;
            result.image = icon;
            result.natural = QSize(base, base);
            result.size = size;
        }
    }
    THTMLPicture* picture = nullptr;
    if (!value.contains(u':') && m_params.PictureContainer)
        picture = m_params.PictureContainer->FindPicture(value.toString());
    if (value.contains(u"://") && m_params.PictureCache) {
        const QString address = value.toString();
        THTMLPicture* cached = m_params.PictureCache->Find(address);
        if (!cached) {
            m_params.PictureCache->Add(address)->LoadFromAddress(address);
            cached = m_params.PictureCache->Find(address);
        }
        if (cached)
            picture = cached;
    }
    if (picture && !picture->Empty()) {
        result = Picture {};
        result.kind = PictureKind::Picture;
        result.picture = picture;
        result.natural = displayWidth > 0 && displayHeight > 0 ? QSize(displayWidth, displayHeight)
                                                               : picture->MaxFrameSize();
        result.size = QSize(ScaleX(result.natural.width()), ScaleY(result.natural.height()));
        result.stretch = displayWidth > 0 && displayHeight > 0;
    }
    return result;
}

void TLayout::DrawPicture(const Picture& picture, int x, int y)
{
    if (picture.kind == PictureKind::None)
        return;
    const QImage& image = picture.kind == PictureKind::Picture ? picture.picture->Image() : picture.image;
    if (image.isNull())
        return;
    if (m_params.PrintMode) {
        // A scale no printer needs (or not a number at all) would only make a picture nobody can see.
        const double factor
            = std::isfinite(m_params.ResFactor) ? std::clamp(m_params.ResFactor, 0.0, 64.0) : 1.0;
        const int w = int(std::lround(picture.natural.width() * factor));
        const int h = int(std::lround(picture.natural.height() * factor));
        m_canvas.CopyScaled(TRect::FromSize(x, y, w, h), image);
        return;
    }
    if (picture.kind == PictureKind::Picture && !picture.stretch) {
        const QPoint offset = picture.picture->FrameOffset();
        if (picture.size == picture.natural) {
            m_canvas.Draw(x + offset.x(), y + offset.y(), image);
        } else {
            const QSize frame = picture.picture->Size();
            m_canvas.StretchDraw(TRect::FromSize(x + ScaleX(offset.x()), y + ScaleY(offset.y()),
                                     ScaleX(frame.width()), ScaleY(frame.height())),
                image);
        }
        return;
    }
    if (image.size() == picture.size)
        m_canvas.Draw(x, y, image);
    else
        m_canvas.StretchDraw(TRect::FromSize(x, y, picture.size.width(), picture.size.height()), image);
}

void TLayout::ImageTag(PassState& ps, QStringView tag)
{
    Flow& flow = *ps.flow;
    const int number = ++flow.imageCounter;
    const QStringView part = TagPart(tag, 2);
    const QString upper = AsciiUpper(part);

    QStringView source = AttributeValue(part, u"SRC", Qt::CaseInsensitive);
    if (upper.contains(u"ALT") && m_hoveredImage == number)
        source = AttributeValue(upper, u"ALT");
    // Bounded like the pictures themselves, which are refused beyond 16384 pixels a side.
    const int displayWidth = std::min(ReadNumber(AttributeValue(upper, u"WIDTH")).value, 16384);
    const int displayHeight = std::min(ReadNumber(AttributeValue(upper, u"HEIGHT")).value, 16384);
    const Picture picture = ResolvePicture(source, displayWidth, displayHeight);
    const int width = picture.size.width();
    const int height = picture.size.height();

    if (ps.drawing())
        DrawPicture(picture, ps.x, ps.box.Top);

    const int hitX = Add(m_params.HitX, -qint64(ps.box.Left));
    if (flow.inAnchor && hitX > ps.width && hitX < Add(ps.width, width) && m_params.HitY > ps.box.Top
        && m_params.HitY < Add(ps.box.Top, height)) {
        m_hoveredImage = number;
        if (ps.pass != Pass::Layout) {
            m_hit = true;
            m_result.AnchorValue = flow.anchorTarget.toString();
            m_result.HitAnchor = flow.anchorCounter;
            m_markedAnchor = flow.anchorCounter;
        }
    }

    if (ps.pass == Pass::Layout && Add(ps.width, width) > ps.box.Width() && width < ps.box.Width()) {
        // The tag is read again on the next line.
        --flow.imageCounter;
        ps.breakBefore = true;
        return;
    }
    ps.width = Add(ps.width, width);
    ps.x = Add(ps.x, width);
    if (ps.pass != Pass::Layout)
        return;
    m_line.height = std::max(m_line.height, height);
    if (upper.contains(u"ALIGN")) {
        const int gh = GhHeight();
        if (upper.contains(u"\"TOP"))
            m_line.lift = std::max(0, m_line.height - gh);
        else if (upper.contains(u"\"MIDDLE"))
            m_line.lift = std::max(0, (m_line.height - gh) / 2);
    }
    if (upper.contains(u"WRAP")) {
        m_line.height = GhHeight();
        m_line.lift = 0;
    }
}

void TLayout::PageTag(PassState& ps, QStringView tag)
{
    if (!ps.drawing() || m_params.FixedColors)
        return;
    // Picture sources keep their case, so that file names load on case-sensitive systems.
    const QStringView part = TagPart(tag, 5);
    const QString upper = AsciiUpper(part);
    bool found = false;
    QStringView source = AttributeValue(part, u"BACKGROUND", Qt::CaseInsensitive, &found);
    if (found)
        DrawPageBackground(ps, source, PagePicture::Tiled);
    source = AttributeValue(part, u"BGTOPLEFT", Qt::CaseInsensitive, &found);
    if (found)
        DrawPageBackground(ps, source, PagePicture::TopLeft);
    source = AttributeValue(part, u"BGTOPRIGHT", Qt::CaseInsensitive, &found);
    if (found)
        DrawPageBackground(ps, source, PagePicture::TopRight);

    bool hasColor = false;
    bool hasColorTo = false;
    const QStringView colorValue = AttributeValue(upper, u"BGCOLOR", Qt::CaseSensitive, &hasColor);
    const QStringView colorToValue = AttributeValue(upper, u"BGCOLORTO", Qt::CaseSensitive, &hasColorTo);
    if (!hasColor)
        return;
    const TColor color = colorValue.isEmpty() ? clNone : ReadColor(colorValue);
    const TColor colorTo = colorToValue.isEmpty() ? clNone : ReadColor(colorToValue);
    const TRect& r = m_params.Rect;
    if (hasColorTo) {
        bool hasDir = false;
        const QStringView dir = AttributeValue(upper, u"DIR", Qt::CaseSensitive, &hasDir);
        if (color != clNone && colorTo != clNone) {
            const TPen pen = m_canvas.Pen;
            const TBrush brush = m_canvas.Brush;
            DrawGradient(m_canvas, color, colorTo, 64, r, !hasDir || dir == u"H");
            m_canvas.Pen = pen;
            m_canvas.Brush = brush;
        }
        SetBackground(ps, clNone);
        return;
    }
    SetBackground(ps, color);
    const TColor pen = m_canvas.Pen.Color;
    FillBackgroundRect(color, TRect(r.Left - 2, r.Top, r.Right, r.Bottom));
    m_canvas.Pen.Color = pen;
}

void TLayout::DrawPageBackground(PassState& ps, QStringView source, PagePicture placement)
{
    const Picture picture = ResolvePicture(source, 0, 0);
    if (picture.kind == PictureKind::None)
        return;
    const TRect& r = m_params.Rect;
    if (picture.kind != PictureKind::Picture) {
        // List and system pictures are drawn once where the text starts.
        int x = ps.x;
        if (placement == PagePicture::TopRight)
            x = ps.box.Right - (m_params.Images ? m_params.Images->Width() : picture.size.width());
        DrawPicture(picture, x, ps.box.Top);
        return;
    }
    if (!picture.picture)
        return;
    QImage image = picture.picture->Image();
    if (picture.size != image.size())
        image = image.scaled(picture.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (image.isNull() || r.IsEmpty())
        return;
    if (placement == PagePicture::TopLeft) {
        m_canvas.Draw(r.Left, r.Top, image);
        return;
    }
    if (placement == PagePicture::TopRight) {
        m_canvas.Draw(r.Right - image.width(), r.Top, image);
        return;
    }
    const QImage tile = TileImage(image);
    // No screen or page is wider than this; a larger rectangle is tiled as far as anyone can see.
    const qint64 right = std::min<qint64>(r.Right, qint64(r.Left) + 32768);
    const qint64 bottom = std::min<qint64>(r.Bottom, qint64(r.Top) + 32768);
    for (qint64 y = r.Top; y < bottom; y += tile.height()) {
        for (qint64 x = r.Left; x < right; x += tile.width()) {
            const int w = int(std::min<qint64>(tile.width(), right - x));
            const int h = int(std::min<qint64>(tile.height(), bottom - y));
            m_canvas.Draw(
                int(x), int(y), w == tile.width() && h == tile.height() ? tile : tile.copy(0, 0, w, h));
        }
    }
}

} // namespace Markup
