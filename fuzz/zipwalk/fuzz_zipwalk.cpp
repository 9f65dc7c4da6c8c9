// SPDX-License-Identifier: MIT
#include "Progress.h"
#include "ZipArchive.h"

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

// Counts what a member's decoding hands over, reading its ends so that a bad span shows.
struct CountingSink : repair::ContentSink {
    uint64_t bytes = 0;
    uint8_t mix = 0;
    void Data(const uint8_t* b, size_t n) override
    {
        if (n)
            mix ^= b[0] ^ b[n - 1];
        bytes += n;
    }
    void Unsure(const uint8_t* b, size_t n) override { Data(b, n); }
    void Hole(uint64_t) override { }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryReader reader(data, size);
    repair::Progress progress;
    progress.SetTotal(2 * size + 1);
    repair::ZipSalvage salvage(reader, progress);
    for (const repair::SalvagedEntry& entry : salvage.Analyse()) {
        CountingSink sink;
        salvage.Decode(entry, sink);
        const uint64_t declared = entry.Info.UncompressedSize;
        if (entry.State == repair::ZipEntryState::Whole && sink.bytes != declared)
            __builtin_trap(); // a whole member decodes to exactly its size
    }
    return 0;
}
