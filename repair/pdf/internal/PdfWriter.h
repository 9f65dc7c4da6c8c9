// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace repair {

class AtomicSink;

// Writes a new PDF file front to back: the header, objects one after the other, then a cross-reference
// table that lists where each was put, and the trailer.
class PdfWriter {
public:
    PdfWriter(AtomicSink& sink, const std::string& version);

    void Begin(uint32_t num, uint16_t gen);
    void Write(std::string_view text);
    void Write(const void* bytes, size_t count);
    void End();
    uint64_t Offset() const;
    void Patch(uint64_t at, std::string_view text);
    // `entries`: the trailer's entries other than /Size.
    void Finish(const std::string& entries);

private:
    AtomicSink& m_sink;
    std::vector<std::tuple<uint32_t, uint16_t, uint64_t>> m_offsets;
};

} // namespace repair
