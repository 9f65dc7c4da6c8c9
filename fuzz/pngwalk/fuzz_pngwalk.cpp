// SPDX-License-Identifier: MIT
#include "AtomicSink.h"
#include "PngRepairer.h"
#include "Progress.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>

namespace {

class MemoryReader : public repair::ByteReader {
public:
    MemoryReader(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    uint64_t Size() const override { return m_size; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override
    {
        if (offset >= m_size)
            return 0;
        count = std::min<size_t>(count, m_size - offset);
        std::memcpy(buffer, m_data + offset, count);
        return count;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryReader reader(data, size);
    repair::Progress progress;
    repair::PngRepairer png;
    // Never committed: the unnamed temporary file goes with the sink.
    const std::string path = (std::filesystem::temp_directory_path() / "quillon-fuzz-pngwalk.png").string();
    std::optional<repair::AtomicSink> sink;
    if (png.Recognise(reader, "png").Score == 0)
        __builtin_trap(); // the extension alone makes it a candidate
    const repair::Report report = png.Repair(
        reader,
        [&]() -> repair::AtomicSink& {
            if (!sink)
                sink.emplace(path);
            return *sink;
        },
        progress);
    if (report.PartsRecovered > report.PartsTotal)
        __builtin_trap();
    if (report.Outcome == repair::Verdict::Intact && sink)
        __builtin_trap(); // an intact image is never written
    return 0;
}
