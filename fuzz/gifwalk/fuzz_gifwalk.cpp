// SPDX-License-Identifier: MIT
#include "GifWalk.h"
#include "Progress.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

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
    progress.SetTotal(2 * size + 1);
    repair::GifWalk walk(reader, progress);
    const repair::GifFindings found = walk.Run();
    if (found.RowsKept > found.Rows || found.WholeFrames > found.Frames)
        __builtin_trap();
    if (found.TooLarge || found.FramesWritten == 0)
        return 0;
    uint64_t written = 0;
    walk.Emit([&](const uint8_t*, size_t n) { written += n; });
    if (written == 0)
        __builtin_trap();
    return 0;
}
