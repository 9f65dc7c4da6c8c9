// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstdint>
#include <string>

namespace repair {

// The file to repair, opened read-only so that neither its bytes nor its times (access time included,
// where the system allows) change. Counts the bytes read. Throws ReadError when it cannot be opened or read.
class Source : public ByteReader {
public:
    explicit Source(const std::string& path);
    ~Source() override;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    uint64_t Size() const override { return m_size; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override;
    uint64_t BytesRead() const { return m_bytesRead; }

private:
    int m_fd = -1;
    uint64_t m_size = 0;
    uint64_t m_bytesRead = 0;
    std::string m_path;
};

} // namespace repair
