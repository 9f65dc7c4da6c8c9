// SPDX-License-Identifier: MIT
#pragma once

// What the image tests share: damage applied to a file's bytes, repair through the command's own path,
// and the checks every repair must pass.

#include "Progress.h"
#include "RepairFile.h"
#include "RepairTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace imagetest {

using repairtest::Bytes;
using Damage = std::function<Bytes(Bytes)>;

inline Damage Cut(double fraction)
{
    return [fraction](Bytes b) { return Bytes(b.begin(), b.begin() + std::ptrdiff_t(b.size() * fraction)); };
}
inline Damage Flip(const std::vector<size_t>& at)
{
    return [at](Bytes b) {
        for (size_t i : at)
            b[i] ^= 0x5a;
        return b;
    };
}
inline Damage Zero(size_t at, size_t count)
{
    return [at, count](Bytes b) {
        std::fill(
            b.begin() + std::ptrdiff_t(at), b.begin() + std::ptrdiff_t(std::min(b.size(), at + count)), 0);
        return b;
    };
}
inline Damage Insert(size_t at, size_t count)
{
    return [at, count](Bytes b) {
        Bytes garbage(count);
        for (size_t i = 0; i < count; ++i)
            garbage[i] = uint8_t(i * 37 + 11);
        b.insert(b.begin() + std::ptrdiff_t(at), garbage.begin(), garbage.end());
        return b;
    };
}
inline Damage HeadLost(size_t count)
{
    return [count](Bytes b) { return Bytes(b.begin() + std::ptrdiff_t(count), b.end()); };
}
inline Damage EndLost(size_t count)
{
    return [count](Bytes b) { return Bytes(b.begin(), b.end() - std::ptrdiff_t(count)); };
}
inline const Damage kAsIs = [](Bytes b) { return b; };
inline const Damage kTextTransfer = [](const Bytes& b) {
    Bytes out;
    for (uint8_t c : b) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(c);
    }
    return out;
};

inline bool Accepted(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

struct Outcome {
    repair::Report Report;
    bool Written = false;
};

// Repairs `bytes` as the file `name` with `family`, checking that the source stays unchanged and that
// only a complete fixed file is left, and only when the verdict says one was written.
inline Outcome RepairBytes(const repairtest::TempDir& dir, const std::string& name, const Bytes& bytes,
    std::unique_ptr<repair::Repairer> family, const std::string& output)
{
    const std::string source = dir.Path(name);
    repairtest::WriteFile(source, bytes);
    const repairtest::Snapshot before = repairtest::Snap(source);
    std::vector<std::unique_ptr<repair::Repairer>> families;
    families.push_back(std::move(family));
    repair::Progress progress;
    Outcome o;
    o.Report = repair::RepairFile(families, source, output, progress);
    EXPECT_EQ(repairtest::Snap(source), before) << "the source changed";
    o.Written = o.Report.Outcome == repair::Verdict::Repaired || o.Report.Outcome == repair::Verdict::Partial;
    EXPECT_EQ(repairtest::List(dir.Path()).size(), o.Written ? 2u : 1u) << "a file was left, or none written";
    return o;
}

} // namespace imagetest
