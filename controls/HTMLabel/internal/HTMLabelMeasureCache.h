// SPDX-License-Identifier: MIT
#pragma once

#include "ForwardingCanvas.h"

#include <QHash>
#include <QString>
#include <vector>

// A canvas that measures through another one and remembers single-line measurements, so that
// laying out the same text again (every mouse move over a label) does not shape it again.
// Drawing calls pass straight through. Only for canvases whose measurements do not depend on
// where the text stands.
class THTMLabelMeasureCache final : public TForwardingCanvas {
public:
    explicit THTMLabelMeasureCache(TCanvas& measure);

    QSize TextExtent(QStringView text) override;
    int DrawText(QStringView text, TRect& rect, unsigned format) override;

    int Size() const { return int(m_extents.size() + m_calcs.size()); }

private:
    // The parts of a font that shape text.
    struct FontKey {
        QString name;
        int height = 0;
        int style = 0; // bold, italic, underline, strike-out, escapement
        bool operator==(const FontKey&) const = default;
    };
    // What a measurement depends on. Looked up by hash, so a hit needs no copy of the text.
    struct Entry {
        QString text;
        int font = -1; // index into m_fonts
        unsigned format = 0;
        int width = -1; // box width where the result depends on it (end ellipsis)
        QSize extent; // TextExtent
        int calcWidth = 0; // DrawText with DT::CalcRect: the measured width
        int calcResult = 0;
    };

    int FontStyle() const;
    // Index of the canvas font among the fonts seen; comparing it with the last one found is
    // cheaper than hashing its name on every measurement.
    int FontIndex();
    size_t Hash(QStringView text, int font, unsigned format, int width) const;
    static bool Matches(const Entry& e, QStringView text, int font, unsigned format, int width);
    static Entry MakeEntry(QStringView text, int font, unsigned format, int width);
    void Trim();

    QHash<size_t, Entry> m_extents;
    QHash<size_t, Entry> m_calcs;
    std::vector<FontKey> m_fonts;
    int m_lastFont = -1;
};
