// SPDX-License-Identifier: MIT
#pragma once

// What a video file holds, as the ffmpeg command decodes it: one line per picture or block of sound
// (stream, time, checksum), and whether decoding reported any error.

#include "RepairTestFiles.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace videotest {

struct Decoded {
    std::vector<std::string> items; // "stream, time, ..., checksum", in order
    std::string errors; // what the decoder said at level "error"
};

inline Decoded Decode(const std::string& path)
{
    Decoded d;
    const std::string errors = path + ".errors";
    const std::string command = "ffmpeg -nostdin -v error -i '" + path + "' -f framemd5 - 2>'" + errors + "'";
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, pipe))
            if (line[0] != '#')
                d.items.emplace_back(line);
        ::pclose(pipe);
    }
    const repairtest::Bytes said = repairtest::ReadFile(errors);
    d.errors.assign(said.begin(), said.end());
    ::unlink(errors.c_str());
    return d;
}

// An item without its times: the stream and the checksum.
inline std::string Untimed(const std::string& item)
{
    return item.substr(0, item.find(',')) + item.substr(item.rfind(','));
}

// How many of `original`'s items `fixed` holds, the same at the same time (or anywhere, untimed).
inline size_t Kept(
    const std::vector<std::string>& original, std::vector<std::string> fixed, bool timed = true)
{
    std::vector<std::string> a = original;
    if (!timed) {
        std::transform(a.begin(), a.end(), a.begin(), Untimed);
        std::transform(fixed.begin(), fixed.end(), fixed.begin(), Untimed);
    }
    std::sort(a.begin(), a.end());
    std::sort(fixed.begin(), fixed.end());
    std::vector<std::string> both;
    std::set_intersection(a.begin(), a.end(), fixed.begin(), fixed.end(), std::back_inserter(both));
    return both.size();
}

} // namespace videotest
