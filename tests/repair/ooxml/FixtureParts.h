// SPDX-License-Identifier: MIT
#pragma once

// Reads the fixtures: whole files, and one member of a sound archive (inflated with zlib).

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace fixtures {

inline std::string Path(const std::string& name)
{
    return std::string(QUILLON_FIXTURES) + "/ooxml/" + name;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return { std::istreambuf_iterator<char>(in), {} };
}

inline uint32_t Le(const std::string& s, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int k = bytes; k-- > 0;)
        v = v << 8 | static_cast<uint8_t>(s.at(at + k));
    return v;
}

// Where a member's local header starts, from the central directory.
inline size_t LocalHeaderOf(const std::string& zip, const std::string& member)
{
    const size_t eocd = zip.rfind(std::string("PK\5\6", 4));
    size_t at = Le(zip, eocd + 16, 4);
    for (uint32_t n = Le(zip, eocd + 10, 2); n-- > 0;) {
        const uint32_t nameLength = Le(zip, at + 28, 2);
        if (zip.compare(at + 46, nameLength, member) == 0)
            return Le(zip, at + 42, 4);
        at += 46 + nameLength + Le(zip, at + 30, 2) + Le(zip, at + 32, 2);
    }
    throw std::runtime_error("no member " + member);
}

// The member's compressed data: offset and length in the archive.
inline std::pair<size_t, size_t> DataOf(const std::string& zip, const std::string& member)
{
    const size_t local = LocalHeaderOf(zip, member);
    const size_t eocd = zip.rfind(std::string("PK\5\6", 4));
    size_t at = Le(zip, eocd + 16, 4);
    uint32_t compressed = 0;
    for (uint32_t n = Le(zip, eocd + 10, 2); n-- > 0;) {
        if (Le(zip, at + 42, 4) == local)
            compressed = Le(zip, at + 20, 4);
        at += 46 + Le(zip, at + 28, 2) + Le(zip, at + 30, 2) + Le(zip, at + 32, 2);
    }
    return { local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2), compressed };
}

// A member's content, or only what its first `upTo` compressed bytes decode to.
inline std::string Member(const std::string& zip, const std::string& member, size_t upTo = SIZE_MAX)
{
    const size_t local = LocalHeaderOf(zip, member);
    auto [offset, length] = DataOf(zip, member);
    const bool whole = upTo >= length;
    length = std::min(length, upTo);
    if (Le(zip, local + 8, 2) == 0)
        return zip.substr(offset, length);
    z_stream z {};
    inflateInit2(&z, -MAX_WBITS);
    std::string out;
    char buffer[65536];
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + offset));
    z.avail_in = static_cast<uInt>(length);
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - z.avail_out);
    }
    inflateEnd(&z);
    if (rc != Z_STREAM_END && !(rc == Z_BUF_ERROR && !whole))
        throw std::runtime_error("cannot inflate " + member);
    return out;
}

} // namespace fixtures
