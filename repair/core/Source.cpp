// SPDX-License-Identifier: MIT
#include "Source.h"

#include "Errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace repair {

namespace {

std::string Reason(const std::string& what, const std::string& path, int error)
{
    return what + " " + path + ": " + std::strerror(error);
}

} // namespace

Source::Source(const std::string& path)
    : m_path(path)
{
    // O_NOATIME is refused (EPERM) on files the caller does not own; the source is then read without it.
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOATIME);
    if (m_fd < 0 && errno == EPERM)
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        throw ReadError(Reason("cannot open", path, errno));
    struct stat st { };
    if (::fstat(m_fd, &st) != 0) {
        const int error = errno;
        ::close(m_fd);
        throw ReadError(Reason("cannot examine", path, error));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(m_fd);
        throw ReadError("cannot read " + path + ": not a regular file");
    }
    m_size = uint64_t(st.st_size);
}

Source::~Source()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

size_t Source::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    if (offset >= m_size)
        return 0;
    if (count > m_size - offset)
        count = size_t(m_size - offset);
    size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < count) {
        const ssize_t n = ::pread(m_fd, out + done, count - done, off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw ReadError(Reason("cannot read", m_path, errno));
        }
        if (n == 0)
            break; // the file shrank while being read
        done += size_t(n);
    }
    m_bytesRead += done;
    return done;
}

} // namespace repair
