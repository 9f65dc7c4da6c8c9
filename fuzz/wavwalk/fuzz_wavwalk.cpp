// SPDX-License-Identifier: MIT
#include "WavLayout.h"

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
    // A small window, so that chunks straddle its refills.
    const repair::WavLayout layout = repair::WavWalk(reader, 8192).Run();
    if (!layout.Unrecoverable.empty())
        return 0;
    // What the repair will copy lies in the file, and holds whole sample frames only.
    if (!layout.Format || layout.Format->BlockAlign == 0 || layout.DataSize % layout.Format->BlockAlign != 0
        || layout.DataBody + layout.DataSize > size)
        __builtin_trap();
    for (const auto* list : { &layout.Before, &layout.After })
        for (const repair::WavChunk& c : *list)
            if (c.Body + c.Size > size)
                __builtin_trap();
    return 0;
}
