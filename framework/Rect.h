// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// The largest width, height, offset or coordinate a control keeps; far beyond any screen, it keeps
// the arithmetic of nested frames and indents within int range, and is the room given to text that
// may take any size.
inline constexpr int kMaxExtent = 65535;

// A rectangle with Windows semantics: right and bottom are exclusive, so Width = Right - Left.
// Qt's QRect counts right() inclusively; convert only through toQRect/fromQRect.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b)
        : Left(l)
        , Top(t)
        , Right(r)
        , Bottom(b)
    {
    }

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    constexpr void Offset(int dx, int dy)
    {
        Left += dx;
        Right += dx;
        Top += dy;
        Bottom += dy;
    }
    constexpr void Inflate(int dx, int dy)
    {
        Left -= dx;
        Right += dx;
        Top -= dy;
        Bottom += dy;
    }
    constexpr bool operator==(const TRect&) const = default;

    QRect toQRect() const { return QRect(QPoint(Left, Top), QSize(Width(), Height())); }
    static TRect fromQRect(const QRect& r)
    {
        return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    }
    static constexpr TRect FromSize(int l, int t, int w, int h) { return TRect(l, t, l + w, t + h); }
};
