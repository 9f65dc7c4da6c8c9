// SPDX-License-Identifier: MIT
#pragma once

#include "Canvas.h"

#include <QHash>
#include <QString>

// A canvas that measures through another one and remembers single-line measurements, so that
// laying out the same text again (every mouse move over a label) does not shape it again.
// Drawing calls pass straight through. Only for canvases whose measurements do not depend on
// where the text stands.
class THTMLabelMeasureCache final : public TCanvas {
public:
    explicit THTMLabelMeasureCache(TCanvas& measure);

    QSize TextExtent(QStringView text) override;
    int DrawText(QStringView text, TRect& rect, unsigned format) override;
    void LineTo(int x, int y) override;
    void Rectangle(const TRect& r) override;
    void FillRect(const TRect& r) override;
    void FrameRect(const TRect& r) override;
    void DrawFocusRect(const TRect& r) override;
    void Draw(int x, int y, const QImage& picture) override;
    void StretchDraw(const TRect& r, const QImage& picture) override;
    void CopyScaled(const TRect& r, const QImage& picture) override;
    void SetClipRect(const TRect& r) override;
    void ClearClipRect() override;
    int PixelsPerInchX() const override;
    int PixelsPerInchY() const override;

    int Size() const { return int(m_extents.size() + m_calcs.size()); }

private:
    // What a measurement depends on. Looked up by hash, so a hit needs no copy of the text.
    struct Entry {
        QString text;
        QString fontName;
        int fontHeight = 0;
        int fontStyle = 0; // bold, italic, underline, strike-out, escapement
        unsigned format = 0;
        int width = -1; // box width where the result depends on it (end ellipsis)
        QSize extent; // TextExtent
        int calcWidth = 0; // DrawText with DT::CalcRect: the measured width
        int calcResult = 0;
    };

    int FontStyle() const;
    size_t Hash(QStringView text, unsigned format, int width) const;
    bool Matches(const Entry& e, QStringView text, unsigned format, int width) const;
    Entry MakeEntry(QStringView text, unsigned format, int width) const;
    void Sync();
    void Trim();

    TCanvas& m_measure;
    QHash<size_t, Entry> m_extents;
    QHash<size_t, Entry> m_calcs;
};
