// SPDX-License-Identifier: MIT
#include "FlateReader.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

namespace repair {

FlateResult InflateRange(ByteReader& source, uint64_t begin, uint64_t length, uint64_t limit,
    const std::function<void(const uint8_t*, size_t)>& out)
{
    FlateResult result;
    z_stream z {};
    if (inflateInit(&z) != Z_OK)
        return result;
    std::vector<uint8_t> in(size_t(std::min<uint64_t>(length, 64 * 1024)) + 1), buffer(64 * 1024);
    uint64_t at = begin;
    const uint64_t end = begin + length;
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (z.avail_in == 0) {
            if (at >= end)
                break;
            const size_t n = source.ReadAt(at, in.data(), size_t(std::min<uint64_t>(in.size(), end - at)));
            if (n == 0)
                break;
            at += n;
            z.next_in = in.data();
            z.avail_in = uInt(n);
        }
        z.next_out = buffer.data();
        z.avail_out = uInt(buffer.size());
        rc = inflate(&z, Z_NO_FLUSH);
        size_t got = buffer.size() - z.avail_out;
        if (result.produced + got > limit) {
            got = size_t(limit - result.produced);
            result.overLimit = true;
        }
        if (got) {
            out(buffer.data(), got);
            result.produced += got;
        }
        if (result.overLimit)
            break;
        // No progress with input at hand means a fault the next call would repeat.
        if (rc == Z_BUF_ERROR && z.avail_in != 0)
            break;
        if (rc == Z_BUF_ERROR)
            rc = Z_OK;
    }
    result.complete = rc == Z_STREAM_END;
    inflateEnd(&z);
    return result;
}

} // namespace repair
