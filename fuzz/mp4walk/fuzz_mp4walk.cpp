// SPDX-License-Identifier: MIT
#include "AtomicSink.h"
#include "Mp4Boxes.h"
#include "Mp4MovieRescue.h"
#include "Mp4NalUnits.h"
#include "Mp4Repairer.h"
#include "Progress.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

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

// The fixed files go to a folder of their own; never committed, they leave nothing there.
const std::string& Folder()
{
    static const std::string folder = [] {
        std::string pattern = "/tmp/fuzz-mp4walk-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryReader reader(data, size);
    const repair::Mp4Level top = repair::Mp4Boxes::TopLevel(reader);
    uint64_t covered = 0;
    for (const repair::Mp4Box& box : top.Boxes) {
        covered += box.Size;
        if (box.End() > size)
            __builtin_trap(); // a box never reaches past the file
        if (box.Type == repair::Mp4Type("moov")) {
            int dropped = 0, kept = 0;
            const auto movie = repair::Mp4MovieRescue::Rebuild(reader, box, dropped, kept);
            if (movie.size() > box.Size)
                __builtin_trap(); // a rescued movie header is never longer than the damaged one
        }
    }
    for (const repair::Mp4Gap& gap : top.Gaps)
        covered += gap.End - gap.Begin;
    if (covered != size)
        __builtin_trap(); // boxes and gaps cover the file exactly
    if (size > 0)
        (void)repair::CheckNalUnits(data + 1, size - 1, data[0] % 5);

    repair::Mp4Repairer repairer;
    repair::Progress progress;
    std::optional<repair::AtomicSink> sink;
    const auto open = [&]() -> repair::AtomicSink& {
        sink.emplace(Folder() + "/fixed.mp4");
        return *sink;
    };
    try {
        (void)repairer.Repair(reader, open, progress);
    } catch (const std::exception&) {
    }
    return 0;
}
