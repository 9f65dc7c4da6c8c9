// SPDX-License-Identifier: MIT
#include "MarkupHitMap.h"

#include "NullCanvas.h"

namespace {

// A text run as the drawing pass placed it: its cell and the height of "gh" in its font, which
// bounds the band where it can be hit.
struct Run {
    int left;
    int right;
    int bottom;
    int gh;
};

// Measures through another canvas, draws nothing and keeps the place of every text run.
class TRunRecorder final : public TMeasuringNullCanvas {
public:
    using TMeasuringNullCanvas::TMeasuringNullCanvas;
    std::vector<Run> runs;

    int DrawText(QStringView text, TRect& rect, unsigned format) override
    {
        if (format & DT::CalcRect)
            return TMeasuringNullCanvas::DrawText(text, rect, format);
        // Runs are single-line; list bullets are drawn without that flag.
        if ((format & DT::SingleLine) && !text.isEmpty())
            runs.push_back({ rect.Left, rect.Right, rect.Bottom, TextExtent(u"gh").height() });
        return TextExtent(text).height();
    }
};

} // namespace

bool TMarkupHitMap::Suits(QStringView markup)
{
    return !MarkupHasTag(markup,
        { TMarkupTag::Subscript, TMarkupTag::Superscript, TMarkupTag::Shadow, TMarkupTag::Rotation,
            TMarkupTag::Image, TMarkupTag::Page });
}

void TMarkupHitMap::Clear()
{
    m_regions.clear();
    m_probe = nullptr;
    m_usable = false;
}

void TMarkupHitMap::Build(TCanvas& measure, const Draw& draw, Probe probe)
{
    Clear();
    TRunRecorder recorder(measure);
    draw(recorder);
    for (const Run& run : recorder.runs) {
        // A band of one pixel or less holds no point strictly inside it.
        if (run.right >= run.left && run.gh >= 2) {
            Region r;
            r.left = run.left;
            r.right = run.right;
            r.top = run.bottom - run.gh;
            r.bottom = run.bottom;
            m_regions.push_back(std::move(r));
        }
    }
    m_probe = std::move(probe);
    m_usable = true;
}

void TMarkupHitMap::Classify(Region& r)
{
    r.classified = true;
    const TMarkupResult result = m_probe(r.left + (r.right - r.left) / 2, r.bottom - 1);
    if (!result.Hit)
        return;
    r.anchor = true;
    r.target = result.AnchorValue;
    r.number = result.HitAnchor;
    r.rect = result.HitRect;
}

void TMarkupHitMap::Verify(Region& r)
{
    r.verified = true;
    const int left = r.left, right = r.right, top = r.top, bottom = r.bottom;
    const int midX = left + (right - left) / 2;
    const int midY = top + (bottom - top) / 2;
    const int points[][2] = { { left, top + 1 }, { right, top + 1 }, { left, bottom - 1 },
        { right, bottom - 1 }, { left - 1, midY }, { right + 1, midY }, { midX, top }, { midX, bottom } };
    for (const auto& p : points) {
        if (!m_usable || !Agrees(p[0], p[1])) {
            m_usable = false;
            return;
        }
    }
}

const TMarkupHitMap::Region* TMarkupHitMap::RegionAt(int x, int y, bool verify)
{
    const Region* found = nullptr;
    for (size_t i = 0; i < m_regions.size() && m_usable; ++i) {
        Region& r = m_regions[i];
        if (x < r.left || x > r.right || y <= r.top || y >= r.bottom)
            continue;
        if (!r.classified)
            Classify(r);
        if (r.anchor && verify && !r.verified)
            Verify(r); // may give up on the map
        if (r.anchor)
            found = &r;
    }
    return m_usable ? found : nullptr;
}

bool TMarkupHitMap::Agrees(int x, int y)
{
    const TMarkupResult result = m_probe(x, y);
    // Neighbours met here are only classified: checking their edges too would walk the whole line,
    // each step asking the layout again. They are checked when the mouse comes onto them.
    const Region* r = RegionAt(x, y, false);
    if (!m_usable)
        return false;
    if (!result.Hit || !r)
        return !result.Hit && !r;
    return result.AnchorValue == r->target && result.HitAnchor == r->number && result.HitRect == r->rect;
}

TMarkupHitMap::Answer TMarkupHitMap::Find(int x, int y, QString& target, int& number, TRect& rect)
{
    if (!m_usable)
        return Answer::Unknown;
    const Region* r = RegionAt(x, y, true);
    if (!m_usable)
        return Answer::Unknown;
    if (!r)
        return Answer::Miss;
    target = r->target;
    number = r->number;
    rect = r->rect;
    return Answer::Hit;
}
