// SPDX-License-Identifier: MIT
// The first byte chooses the run. Even: the rest is taken for a raw deflate stream, damaged or not, and
// salvaged; what comes out must stay within the output limit and the input's bounds. Odd: the rest is
// content, deflated by zlib at a level the byte gives, and must come back exactly, whole and as data.
#include "DeflateSalvage.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

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
        count = count < m_size - offset ? count : size_t(m_size - offset);
        std::memcpy(buffer, m_data + offset, count);
        return count;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
};

class Collect : public repair::ContentSink {
public:
    std::vector<uint8_t> data;
    uint64_t total = 0;
    void Data(const uint8_t* bytes, size_t count) override
    {
        data.insert(data.end(), bytes, bytes + count);
        total += count;
    }
    void Hole(uint64_t count) override { total += count; }
    void Unsure(const uint8_t*, size_t count) override { total += count; }
};

constexpr uint64_t kMaxOutput = 1 << 18;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t control = data[0];
    ++data;
    --size;
    repair::DeflateSalvageLimits limits;
    limits.MaxOutput = kMaxOutput;
    if ((control & 1) == 0) {
        MemoryReader reader(data, size);
        Collect out;
        const repair::DeflateSalvageResult r = repair::SalvageDeflate(reader, 0, size, out, limits);
        if (r.Consumed > size || r.Produced != out.data.size() || out.total > kMaxOutput + (1 << 16))
            abort();
        return 0;
    }
    z_stream z {};
    if (deflateInit2(&z, (control >> 1) % 10, Z_DEFLATED, -15, 8, (control >> 5) % 5) != Z_OK)
        return 0;
    std::vector<uint8_t> stream(deflateBound(&z, size) + 16);
    z.next_in = const_cast<uint8_t*>(data);
    z.avail_in = uInt(size);
    z.next_out = stream.data();
    z.avail_out = uInt(stream.size());
    const int rc = deflate(&z, Z_FINISH);
    stream.resize(z.total_out);
    deflateEnd(&z);
    if (rc != Z_STREAM_END)
        return 0;
    MemoryReader reader(stream.data(), stream.size());
    Collect out;
    limits.ExpectedCrc = uint32_t(crc32(0, data, uInt(size)));
    const repair::DeflateSalvageResult r = repair::SalvageDeflate(reader, 0, stream.size(), out, limits);
    if (!r.Complete || r.Consumed != stream.size() || out.data.size() != size
        || (size > 0 && std::memcmp(out.data.data(), data, size) != 0))
        abort();
    return 0;
}
