// SPDX-License-Identifier: MIT
#include "Id3Tags.h"
#include "InfoFrame.h"
#include "Mp3Walk.h"

#include <algorithm>
#include <array>
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
    // A small window, so that frames and tags straddle its refills.
    repair::ByteWindow window(reader, 8192);
    const repair::Id3v2Check tag = repair::CheckId3v2(window, 0);
    if (tag.Length > size)
        __builtin_trap();
    if (size >= 128)
        (void)repair::Id3v1Sound(data + size - 128);
    const uint64_t start = tag.Length;
    const auto stream = repair::Mp3Walk::FindStream(window, start, size);
    if (!stream)
        return 0;
    // Two walks keep the same frames: the repair counts with the first and writes with the second.
    repair::Mp3Walk first(window, start, size, *stream);
    repair::Mp3Walk second(window, start, size, *stream);
    repair::Mp3Frame a, b;
    while (first.Next(a)) {
        if (!second.Next(b) || a.Offset != b.Offset || a.Silenced != b.Silenced || a.Present != b.Present)
            __builtin_trap();
        const uint64_t present = a.Present ? a.Present : a.Header.Length;
        if (a.Offset < start || a.Offset + present > size)
            __builtin_trap();
        if (a.Info && !a.Present) {
            if (const auto info = repair::InfoFrame::Find(a.Header, data + a.Offset)) {
                std::array<uint64_t, 100> offsets {};
                if (info->Rewritten(3, 1000, offsets, 0, true).size() != a.Header.Length)
                    __builtin_trap();
            }
        }
    }
    if (second.Next(b))
        __builtin_trap();
    return 0;
}
