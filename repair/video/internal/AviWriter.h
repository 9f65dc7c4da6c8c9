// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstdint>
#include <vector>

namespace repair {

class AtomicSink;
class Progress;

// Writes the fixed file: the head as given, the data chunks copied from the source in bounded pieces, a
// fresh index, and RIFF and list sizes that tell the truth. Past about 1 GiB the data goes on in
// extension RIFFs, as large files do; the index covers the first.
class AviWriter {
public:
    AviWriter(AtomicSink& sink, ByteReader& source, Progress& progress);
    // Everything before the first data list, its counts already corrected.
    void Begin(const std::vector<uint8_t>& head);
    // A chunk copied from the source at `at`.
    void Copy(uint32_t id, uint64_t at, uint32_t size, bool key);
    // A chunk with the given bytes (a stand-in).
    void Put(uint32_t id, const uint8_t* data, uint32_t size, bool key);
    void Finish();

private:
    void Header(uint32_t id, uint32_t size);
    void Entry(uint32_t id, uint32_t size, bool key);
    void CloseRiff();
    void OpenExtension();

    AtomicSink& m_sink;
    ByteReader& m_source;
    Progress& m_progress;
    std::vector<uint8_t> m_buffer;
    std::vector<uint8_t> m_index;
    uint64_t m_riff = 0; // where the current RIFF starts
    uint64_t m_movi = 0; // where its data list starts
    bool m_first = true;
};

} // namespace repair
