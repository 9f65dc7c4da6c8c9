// SPDX-License-Identifier: MIT
#pragma once

// Files for the engine's tests: a temporary folder removed with everything in it, whole-file reads and
// writes, the folder's listing, and a file's content and times to prove a source unchanged.

#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace repairtest {

using Bytes = std::vector<uint8_t>;

// Read without touching the access time, so that a test can tell whether the code under test did.
inline Bytes ReadFile(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOATIME);
    if (fd < 0)
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("cannot read " + path);
    Bytes bytes;
    uint8_t chunk[65536];
    for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + n);
    ::close(fd);
    return bytes;
}

inline void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

inline bool Exists(const std::string& path)
{
    struct stat st { };
    return ::lstat(path.c_str(), &st) == 0;
}

// Every name in a folder, hidden ones included.
inline std::vector<std::string> List(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(d);
    }
    return names;
}

class TempDir {
public:
    TempDir()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/quillon-repair-test-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a temporary folder");
        m_path = pattern;
    }
    ~TempDir() { Remove(m_path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string Path(const std::string& name) const { return m_path + "/" + name; }

private:
    static void Remove(const std::string& path)
    {
        struct stat st { };
        if (::lstat(path.c_str(), &st) != 0)
            return;
        if (S_ISDIR(st.st_mode)) {
            ::chmod(path.c_str(), 0700);
            for (const auto& name : List(path))
                Remove(path + "/" + name);
            ::rmdir(path.c_str());
        } else {
            ::unlink(path.c_str());
        }
    }
    std::string m_path;
};

// What must not change in a source: its bytes and its times.
struct Snapshot {
    Bytes content;
    int64_t modified = 0, modifiedNs = 0, accessed = 0, accessedNs = 0;
    bool operator==(const Snapshot&) const = default;
};

inline Snapshot Snap(const std::string& path)
{
    struct stat st { };
    ::stat(path.c_str(), &st);
    return { ReadFile(path), st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_atim.tv_sec, st.st_atim.tv_nsec };
}

} // namespace repairtest
