// SPDX-License-Identifier: MIT
#include "AtomicSink.h"
#include "FlvRepairer.h"
#include "Progress.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
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

std::string Output()
{
    const char* base = std::getenv("TMPDIR");
    return std::string(base && *base ? base : "/tmp") + "/fuzz-flvwalk-" + std::to_string(::getpid())
        + ".flv";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryReader reader(data, size);
    repair::Progress progress;
    repair::FlvRepairer repairer;
    repairer.Recognise(reader, "flv");
    // The fixed file is written but never committed: it vanishes with the sink.
    std::unique_ptr<repair::AtomicSink> sink;
    const auto open = [&]() -> repair::AtomicSink& {
        sink = std::make_unique<repair::AtomicSink>(Output());
        return *sink;
    };
    const repair::Report report = repairer.Repair(reader, open, progress);
    const bool written
        = report.Outcome == repair::Verdict::Repaired || report.Outcome == repair::Verdict::Partial;
    if (written != bool(sink) || report.PartsRecovered > report.PartsTotal)
        __builtin_trap(); // the sink is opened exactly when a file is written; no more recovered than there
                          // was
    return 0;
}
