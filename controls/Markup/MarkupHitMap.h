// SPDX-License-Identifier: MIT
#pragma once

#include "Canvas.h"
#include "MarkupEngine.h"
#include "Rect.h"

#include <QString>
#include <functional>
#include <vector>

// Where the anchors of one laid-out text can be hit, so that mouse moves over an unchanged label or panel
// need no new layout. Built from one drawing pass (the place of every text run); whether a run
// belongs to an anchor is asked of the engine the first time the mouse comes onto the run, and the
// engine must then agree at the corners of the anchor's region and just outside its edges, or the
// map gives up and leaves every later answer to the engine.
class TMarkupHitMap {
public:
    // One engine hit test at a point.
    using Probe = std::function<TMarkupResult(int x, int y)>;
    // One drawing pass on the given canvas (which records the runs).
    using Draw = std::function<void(TCanvas& canvas)>;

    // Markup whose runs do not all sit on their line's text bottom (scripts, shadows, rotation) or
    // whose pictures follow the mouse is left to the engine.
    static bool Suits(QStringView markup);

    void Build(TCanvas& measure, const Draw& draw, Probe probe);
    void Clear();
    bool Usable() const { return m_usable; }

    enum class Answer { Miss, Hit, Unknown };
    // Same outputs as a hit test of the engine; Unknown when the engine has to answer.
    Answer Find(int x, int y, QString& target, int& number, TRect& rect);

private:
    struct Region {
        int left = 0; // both ends hit
        int right = 0;
        int top = 0; // both ends do not hit
        int bottom = 0;
        bool classified = false; // asked of the layout at its middle
        bool verified = false; // an anchor whose edges the layout confirmed
        bool anchor = false;
        QString target;
        int number = -1;
        TRect rect;
    };
    // The anchor region at the point; `verify` checks its edges first (Find's answers).
    const Region* RegionAt(int x, int y, bool verify);
    void Classify(Region& region);
    void Verify(Region& region);
    bool Agrees(int x, int y);

    std::vector<Region> m_regions; // every run in text order: a later anchor wins where two meet
    Probe m_probe;
    bool m_usable = false;
};
