// SPDX-License-Identifier: MIT
#pragma once

// What the audio tests share: decoding a file to samples with ffmpeg (an independent reader), the repair
// of one file by one family, and the checks every repair must pass.

#include "Progress.h"
#include "RepairFile.h"
#include "RepairTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

namespace audiotest {

using repairtest::Bytes;

struct Decoded {
    Bytes Pcm; // 16-bit samples, interleaved
    std::string Errors; // what the decoder complained of: empty for a clean file
    bool Ok = false;
};

inline Decoded Decode(const std::string& path)
{
    Decoded d;
    const std::string errors = path + ".errors";
    const std::string command = "ffmpeg -nostdin -v error -i '" + path + "' -f s16le - 2>'" + errors + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return d;
    uint8_t chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        d.Pcm.insert(d.Pcm.end(), chunk, chunk + n);
    d.Ok = ::pclose(pipe) == 0;
    const Bytes text = repairtest::ReadFile(errors);
    d.Errors.assign(text.begin(), text.end());
    ::unlink(errors.c_str());
    return d;
}

inline std::string Fixture(const std::string& name)
{
    return std::string(QUILLON_FIXTURES "/audio/") + name;
}

// Repairs `damaged` (written into a fresh folder) with the one family given; checks the source is unchanged
// and that a file is left exactly when one was written.
template <typename Family>
repair::Report RepairBytes(const repairtest::TempDir& dir, const Bytes& damaged, const std::string& extension)
{
    const std::string source = dir.Path("damaged." + extension);
    const std::string output = dir.Path("fixed." + extension);
    repairtest::WriteFile(source, damaged);
    const repairtest::Snapshot before = repairtest::Snap(source);
    std::vector<std::unique_ptr<repair::Repairer>> families;
    families.push_back(std::make_unique<Family>());
    repair::Progress progress;
    repair::Report report = repair::RepairFile(families, source, output, progress);
    EXPECT_EQ(repairtest::Snap(source), before) << "the source changed";
    const bool written
        = report.Outcome == repair::Verdict::Repaired || report.Outcome == repair::Verdict::Partial;
    EXPECT_EQ(repairtest::List(dir.Path()).size(), written ? 2u : 1u) << "a file was left, or none written";
    EXPECT_EQ(report.Family, "music");
    return report;
}

inline std::string FirstMessage(const repair::Report& r)
{
    return r.Messages.empty() ? "" : r.Messages[0];
}

} // namespace audiotest
