// SPDX-License-Identifier: MIT
#include "Mp4MovieRescue.h"

#include <algorithm>
#include <iterator>

namespace repair {

namespace {

const Mp4Box* Find(const std::vector<Mp4Box>& boxes, uint32_t type)
{
    for (const Mp4Box& box : boxes)
        if (box.Type == type)
            return &box;
    return nullptr;
}

} // namespace

bool Mp4MovieRescue::TrackSound(ByteReader& in, const Mp4Box& box, int depth)
{
    static constexpr uint32_t kContainers[]
        = { Mp4Type("trak"), Mp4Type("mdia"), Mp4Type("minf"), Mp4Type("stbl"), Mp4Type("edts") };
    if (box.Truncated)
        return false;
    if (std::find(std::begin(kContainers), std::end(kContainers), box.Type) == std::end(kContainers))
        return true;
    if (depth > 8)
        return false;
    const Mp4Level level = Mp4Boxes::Children(in, box);
    if (!level.Sound())
        return false;
    for (const Mp4Box& child : level.Boxes)
        if (!TrackSound(in, child, depth + 1))
            return false;
    if (box.Type == Mp4Type("stbl")) {
        const auto has = [&](const char(&t)[5]) { return Find(level.Boxes, Mp4Type(t)) != nullptr; };
        return has("stsd") && has("stts") && has("stsc") && (has("stsz") || has("stz2"))
            && (has("stco") || has("co64"));
    }
    if (box.Type == Mp4Type("trak"))
        return Find(level.Boxes, Mp4Type("mdia")) != nullptr;
    return true;
}

std::vector<uint8_t> Mp4MovieRescue::Rebuild(
    ByteReader& in, const Mp4Box& moov, int& tracksDropped, int& tracksKept)
{
    const Mp4Level level = Mp4Boxes::Children(in, moov);
    std::vector<const Mp4Box*> keep;
    for (const Mp4Box& child : level.Boxes) {
        const bool track = child.Type == Mp4Type("trak");
        const bool sound = track ? TrackSound(in, child) : !child.Truncated;
        if (track)
            ++(sound ? tracksKept : tracksDropped);
        if (sound)
            keep.push_back(&child);
    }
    if (!tracksKept || !Find(level.Boxes, Mp4Type("mvhd")))
        return {};
    std::vector<uint8_t> movie(8);
    for (const Mp4Box* child : keep) {
        const size_t at = movie.size();
        movie.resize(at + child->Size);
        if (in.ReadAt(child->Offset, movie.data() + at, child->Size) != child->Size)
            return {};
    }
    const uint32_t size = uint32_t(movie.size());
    const uint8_t header[8]
        = { uint8_t(size >> 24), uint8_t(size >> 16), uint8_t(size >> 8), uint8_t(size), 'm', 'o', 'o', 'v' };
    std::copy(header, header + 8, movie.begin());
    return movie;
}

} // namespace repair
