// SPDX-License-Identifier: MIT
// Arbitrary bytes through the XML closer, cut into data, holes and unsure pieces; whatever comes in, what
// comes out must be well-formed XML with every prefix bound (or nothing, for a part of unknown kind).
#include "WellFormed.h"
#include "XmlCloser.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct StringSink : repair::ContentSink {
    std::string bytes;
    void Data(const uint8_t* b, size_t n) override { bytes.append(reinterpret_cast<const char*>(b), n); }
    void Hole(uint64_t) override { std::abort(); }
};

} // namespace

// Input: one byte choosing the kind of part, the unit limit and the relationship filter; then pieces of
// a control byte (what: data, hole or unsure; how long) and the bytes of data and unsure pieces.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t setup = data[0];
    const auto kind = static_cast<repair::XmlPartKind>(setup % 5);
    repair::XmlReferenceFilter filter;
    if (setup & 0x08)
        filter = { true, { "rId1", "rId3" } };
    StringSink out;
    {
        repair::XmlCloser closer(kind, out, filter, setup & 0x10 ? 64 : size_t(4) << 20);
        size_t at = 1;
        while (at < size) {
            const uint8_t control = data[at++];
            const size_t length = std::min<size_t>(size - at, control >> 2 ? (control >> 2) * 8 : size - at);
            switch (control & 3) {
            case 0:
            case 1:
                closer.Data(data + at, length);
                at += length;
                break;
            case 2:
                closer.Hole(length);
                break;
            case 3:
                closer.Unsure(data + at, length);
                at += length;
                break;
            }
        }
        closer.Finish();
        if (closer.Outcome().Empty != out.bytes.empty())
            std::abort();
    }
    if (out.bytes.empty()) {
        if (kind != repair::XmlPartKind::Generic)
            std::abort();
        return 0;
    }
    const std::string problem = wellformed::Check(out.bytes);
    if (!problem.empty()) {
        std::fprintf(stderr, "not well-formed (%s):\n%s\n", problem.c_str(), out.bytes.c_str());
        std::abort();
    }
    return 0;
}
