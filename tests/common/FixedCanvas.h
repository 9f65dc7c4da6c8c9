// SPDX-License-Identifier: MIT
#pragma once

#include "NullCanvas.h"

#include <QString>
#include <algorithm>
#include <vector>

// A canvas with fixed metrics, independent of the installed fonts: every character is `charWidth`
// pixels wide (`boldWidth` in bold), every line `lineHeight` high, at 96 dots per inch. It counts
// measurements and records the text it is asked to draw, drawing nothing.
class TFixedCanvas : public TNullCanvas {
public:
    struct Call {
        QString text;
        TRect rect;
        unsigned format;
    };

    explicit TFixedCanvas(int charWidth = 6, int boldWidth = 6, int lineHeight = 13)
        : m_charWidth(charWidth)
        , m_boldWidth(boldWidth)
        , m_lineHeight(lineHeight)
    {
    }

    int measured = 0; // TextExtent and CalcRect calls
    std::vector<Call> drawn;

    int Width(QStringView text) const { return int(text.size()) * (Font.Bold ? m_boldWidth : m_charWidth); }
    QSize TextExtent(QStringView text) override
    {
        ++measured;
        return QSize(Width(text), m_lineHeight);
    }
    int DrawText(QStringView text, TRect& rect, unsigned format) override
    {
        if (!(format & DT::CalcRect)) {
            drawn.push_back({ text.toString(), rect, format });
            return m_lineHeight;
        }
        ++measured;
        int w = Width(text);
        if (format & DT::EndEllipsis)
            w = std::min(w, rect.Width());
        rect.Right = rect.Left + w;
        return m_lineHeight;
    }
    int PixelsPerInchX() const override { return 96; }
    int PixelsPerInchY() const override { return 96; }

private:
    int m_charWidth;
    int m_boldWidth;
    int m_lineHeight;
};
