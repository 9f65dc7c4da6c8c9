// SPDX-License-Identifier: MIT
#include "AtomicSink.h"

#include "Errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace repair {

namespace {

constexpr size_t kBufferSize = 1 << 20;

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

AtomicSink::AtomicSink(const std::string& path)
    : m_path(path)
{
    const std::string folder = FolderOf(path);
    m_fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (m_fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL || errno == ENOENT)) {
        // Some file systems refuse unnamed files: a hidden name of our own, removed unless committed.
        // (ENOENT also comes from kernels without O_TMPFILE; a folder that is truly missing fails below.)
        std::random_device random;
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, "%08x", unsigned(random()));
            m_tempPath = folder + "/." + NameOf(path) + "." + suffix + ".part";
            m_fd = ::open(m_tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd < 0 && errno != EEXIST)
                break;
        }
        if (m_fd < 0)
            m_tempPath.clear();
    }
    if (m_fd < 0)
        Fail("cannot create a file in " + folder, errno);
    m_buffer.reserve(kBufferSize);
}

AtomicSink::~AtomicSink()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed && !m_tempPath.empty())
        ::unlink(m_tempPath.c_str());
}

void AtomicSink::Fail(const std::string& what, int error) const
{
    throw WriteError(what + ": " + std::strerror(error));
}

void AtomicSink::Write(const void* bytes, size_t count)
{
    const auto* in = static_cast<const char*>(bytes);
    m_size += count;
    while (count > 0) {
        const size_t room = kBufferSize - m_buffer.size();
        const size_t n = count < room ? count : room;
        m_buffer.insert(m_buffer.end(), in, in + n);
        in += n;
        count -= n;
        if (m_buffer.size() == kBufferSize)
            Flush();
    }
}

void AtomicSink::Flush()
{
    size_t done = 0;
    while (done < m_buffer.size()) {
        const ssize_t n
            = ::pwrite(m_fd, m_buffer.data() + done, m_buffer.size() - done, off_t(m_flushed + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail("cannot write " + m_path, errno);
        }
        done += size_t(n);
    }
    m_flushed += done;
    m_buffer.clear();
}

void AtomicSink::WriteAt(uint64_t offset, const void* bytes, size_t count)
{
    if (offset + count > m_size)
        throw WriteError("cannot write " + m_path + ": patch beyond the end");
    Flush();
    const auto* in = static_cast<const char*>(bytes);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pwrite(m_fd, in + done, count - done, off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail("cannot write " + m_path, errno);
        }
        done += size_t(n);
    }
}

void AtomicSink::Commit()
{
    if (m_committed)
        return;
    Flush();
    if (::fsync(m_fd) != 0)
        Fail("cannot write " + m_path, errno);
    // link() never replaces an existing file: EEXIST is an error, unlike rename().
    if (m_tempPath.empty()) {
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, m_path.c_str(), AT_SYMLINK_FOLLOW) != 0)
            Fail("cannot save " + m_path, errno);
    } else {
        if (::link(m_tempPath.c_str(), m_path.c_str()) != 0)
            Fail("cannot save " + m_path, errno);
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
    m_committed = true;
    const int folder = ::open(FolderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

} // namespace repair
