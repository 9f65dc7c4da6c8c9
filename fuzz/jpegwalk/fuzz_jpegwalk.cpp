// SPDX-License-Identifier: MIT
#include "JpegCheck.h"
#include "JpegWalk.h"
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

size_t ReadPlan(void* context, unsigned char* buffer, size_t size)
{
    return static_cast<repair::JpegPlan::Cursor*>(context)->Read(buffer, size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryReader reader(data, size);
    repair::Progress progress;
    progress.SetTotal(3 * size + 1);
    repair::JpegWalk walk(reader, progress);
    const repair::JpegFindings found = walk.Run();
    if (found.Kept > found.Mcus)
        __builtin_trap();
    if (found.Kept == 0 || found.TooMuchLost || found.Unsupported)
        return 0;
    // The planned fix is read through and decoded as the repair would check it.
    repair::JpegPlan::Cursor cursor(walk.Plan(), reader);
    QuillonJpegCheck check {};
    QuillonCheckJpeg(&ReadPlan, &cursor, 16L * 1024 * 1024, &check);
    return 0;
}
