// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace repair {

// The fixed file, written to a temporary file in its destination folder and put at its path only by
// Commit(): flushed, synced and linked into place without ever replacing an existing file. Destroyed
// without Commit() it leaves nothing behind. Every failure throws WriteError with the system's reason.
class AtomicSink {
public:
    explicit AtomicSink(const std::string& path);
    ~AtomicSink();
    AtomicSink(const AtomicSink&) = delete;
    AtomicSink& operator=(const AtomicSink&) = delete;

    // Appends at the end of what was written.
    void Write(const void* bytes, size_t count);
    // Overwrites bytes already written (a header patched once its sizes are known).
    void WriteAt(uint64_t offset, const void* bytes, size_t count);
    // Bytes written so far: the offset of the next Write().
    uint64_t Size() const { return m_size; }
    void Commit();
    const std::string& Path() const { return m_path; }

private:
    void Flush();
    void Fail(const std::string& what, int error) const;

    std::string m_path;
    std::string m_tempPath; // empty while the temporary file has no name
    int m_fd = -1;
    bool m_committed = false;
    uint64_t m_size = 0;
    uint64_t m_flushed = 0;
    std::vector<char> m_buffer;
};

} // namespace repair
