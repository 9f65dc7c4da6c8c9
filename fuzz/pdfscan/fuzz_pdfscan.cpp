// SPDX-License-Identifier: MIT
#include "AtomicSink.h"
#include "ContentCheck.h"
#include "PdfRebuild.h"
#include "PdfScan.h"
#include "Progress.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <unistd.h>

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
    progress.SetTotal(3 * size + 1);
    repair::PdfScan scan(reader, progress);
    scan.Run();
    repair::PdfRebuild rebuild(reader, scan, progress);
    if (rebuild.Plan()) {
        // Never committed: the temporary file goes when the sink does.
        repair::AtomicSink sink("/tmp/fuzz-pdfscan-" + std::to_string(::getpid()) + ".pdf");
        rebuild.Write(sink);
    }
    repair::SoundContent(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
