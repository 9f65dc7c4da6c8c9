// SPDX-License-Identifier: MIT
#include "Mp4Boxes.h"
#include "Mp4CutView.h"
#include "Mp4LineEndView.h"
#include "Mp4NalUnits.h"
#include "Mp4PatchedView.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace repair;

namespace {

using Bytes = std::vector<uint8_t>;

class MemoryReader : public ByteReader {
public:
    explicit MemoryReader(Bytes bytes)
        : m_bytes(std::move(bytes))
    {
    }
    uint64_t Size() const override { return m_bytes.size(); }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override
    {
        if (offset >= m_bytes.size())
            return 0;
        count = std::min<size_t>(count, m_bytes.size() - offset);
        std::memcpy(buffer, m_bytes.data() + offset, count);
        return count;
    }

private:
    Bytes m_bytes;
};

Bytes Box(const char* type, size_t payload, uint8_t fill = 0x11)
{
    const uint32_t size = uint32_t(8 + payload);
    Bytes b(size, fill);
    for (int i = 0; i < 4; ++i) {
        b[size_t(i)] = uint8_t(size >> (24 - 8 * i));
        b[size_t(4 + i)] = uint8_t(type[i]);
    }
    return b;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes Head(Bytes b, size_t n)
{
    b.resize(n);
    return b;
}

// A picture unit of 100 bytes with single zero bytes all through, and a start code at `at` when given.
Bytes LongUnit(size_t at = 0)
{
    Bytes u(100);
    u[0] = 0x41;
    for (size_t i = 1; i < u.size(); ++i)
        u[i] = i % 2 ? 0 : 0x5a;
    u.back() = 0x80;
    if (at) {
        u[at] = u[at + 1] = 0;
        u[at + 2] = 1;
    }
    return u;
}

// NAL units each after a 4-byte length.
Bytes Units(std::initializer_list<Bytes> units)
{
    Bytes all;
    for (const Bytes& u : units) {
        const uint32_t n = uint32_t(u.size());
        all.insert(all.end(), { uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n) });
        all.insert(all.end(), u.begin(), u.end());
    }
    return all;
}

} // namespace

TEST(Mp4Walk, NalUnitsOfASample)
{
    const Bytes idr = { 0x65, 0x88, 0x84, 0x00, 0x00, 0x03, 0x01, 0x7f };
    const Bytes reference = { 0x41, 0x9a, 0x22, 0x10 };
    const Bytes disposable = { 0x01, 0x9e, 0x41, 0x80 };
    const Bytes sei = { 0x06, 0x05, 0x10, 0x80 };
    struct Row {
        const char* what;
        Bytes sample;
        bool sound, reference, idr;
    };
    const Row rows[] = {
        { "key picture after SEI", Units({ sei, idr }), true, true, true },
        { "reference picture", Units({ reference }), true, true, false },
        { "disposable picture", Units({ disposable }), true, false, false },
        { "zeroed length", Bytes(12, 0), false, false, false },
        { "length past the sample", Bytes { 0, 0, 1, 0, 0x41, 0x9a }, false, false, false },
        { "forbidden bit set", Units({ { 0xc1, 0x9a, 0x10 } }), false, false, false },
        { "reserved type", Units({ { 0x1e, 0x9a, 0x10 } }), false, false, false },
        { "zero run inside a unit", Units({ { 0x41, 0x9a, 0x00, 0x00, 0x00, 0x10 } }), false, true, false },
        { "start code inside a unit", Units({ { 0x41, 0x9a, 0x00, 0x00, 0x01, 0x10 } }), false, true, false },
        { "unit ending in a zero", Units({ { 0x41, 0x9a, 0x10, 0x00 } }), false, true, false },
        { "long unit with single zeros", Units({ LongUnit() }), true, true, false },
        { "start code across sixteen bytes", Units({ LongUnit(16) }), false, true, false },
        { "start code deep in a unit", Units({ LongUnit(61) }), false, true, false },
        { "start code at a unit's end", Units({ LongUnit(96) }), false, true, false },
        { "bytes left over", Join({ Units({ reference }), Bytes { 0, 0 } }), false, true, false },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const Mp4NalSample s = CheckNalUnits(r.sample.data(), r.sample.size(), 4);
        EXPECT_EQ(s.Sound, r.sound);
        if (r.sound) {
            EXPECT_EQ(s.Reference, r.reference);
            EXPECT_EQ(s.Idr, r.idr);
        }
    }
    const Bytes avcC = { 1, 0x64, 0, 0x1e, 0xff, 0xe1 };
    EXPECT_EQ(AvcLengthSize(avcC.data(), avcC.size()), 0) << "too short";
    const Bytes avcC2 = { 1, 0x64, 0, 0x1e, 0xfd, 0xe1, 0 };
    EXPECT_EQ(AvcLengthSize(avcC2.data(), avcC2.size()), 2);
}

TEST(Mp4Walk, TopLevelBoxes)
{
    Bytes large = { 0, 0, 0, 1, 'm', 'd', 'a', 't', 0, 0, 0, 0, 0, 0, 0, 40 };
    large.resize(40, 0x22);
    Bytes toEnd = { 0, 0, 0, 0, 'm', 'd', 'a', 't' };
    toEnd.resize(100, 0x33);
    struct Row {
        const char* what;
        Bytes file;
        std::vector<std::string> types;
        size_t gaps;
        bool truncated;
    };
    const Row rows[] = {
        { "plain", Join({ Box("ftyp", 12), Box("mdat", 50), Box("moov", 30) }), { "ftyp", "mdat", "moov" }, 0,
            false },
        { "64-bit size", Join({ Box("ftyp", 12), large, Box("moov", 30) }), { "ftyp", "mdat", "moov" }, 0,
            false },
        { "size 0 runs to the end", Join({ Box("ftyp", 12), toEnd }), { "ftyp", "mdat" }, 0, false },
        { "cut short", Join({ Box("ftyp", 12), Head(Box("mdat", 500), 60) }), { "ftyp", "mdat" }, 0, true },
        { "garbage between", Join({ Box("ftyp", 12), Bytes(37, 0x01), Box("mdat", 50), Box("moov", 30) }),
            { "ftyp", "mdat", "moov" }, 1, false },
        { "zeroed head", Join({ Bytes(20, 0), Box("mdat", 50), Box("moov", 30) }), { "mdat", "moov" }, 1,
            false },
        { "no box at all", Bytes(300, 0x41), {}, 1, false },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        MemoryReader in(r.file);
        const Mp4Level level = Mp4Boxes::TopLevel(in);
        std::vector<std::string> types;
        for (const Mp4Box& b : level.Boxes)
            types.push_back(Mp4TypeName(b.Type));
        EXPECT_EQ(types, r.types);
        EXPECT_EQ(level.Gaps.size(), r.gaps);
        EXPECT_EQ(!level.Boxes.empty() && level.Boxes.back().Truncated, r.truncated);
        uint64_t covered = 0;
        for (const Mp4Box& b : level.Boxes)
            covered += b.Size;
        for (const Mp4Gap& g : level.Gaps)
            covered += g.End - g.Begin;
        EXPECT_EQ(covered, r.file.size()) << "boxes and gaps cover the file";
    }
}

TEST(Mp4Walk, PatchedViewKeepsLaterOffsets)
{
    const Bytes movie = Box("moov", 20, 0x66);
    {
        // A movie first: a free box fills what it no longer needs, and the media data stays in place.
        MemoryReader in(Join({ Box("ftyp", 12), Box("moov", 100, 0x44), Box("mdat", 50, 0x55) }));
        Mp4PatchedView view(in, 20, 128, movie);
        EXPECT_EQ(view.Size(), in.Size());
        Bytes seen(size_t(view.Size()));
        ASSERT_EQ(view.ReadAt(0, seen.data(), seen.size()), seen.size());
        EXPECT_TRUE(std::equal(movie.begin(), movie.end(), seen.begin() + 20));
        const Mp4Level level = Mp4Boxes::TopLevel(view);
        ASSERT_EQ(level.Boxes.size(), 4u);
        EXPECT_EQ(Mp4TypeName(level.Boxes[2].Type), "free");
        EXPECT_EQ(Mp4TypeName(level.Boxes[3].Type), "mdat");
        EXPECT_EQ(level.Boxes[3].Offset, 128u);
        EXPECT_TRUE(level.Sound());
    }
    {
        // A movie cut short at the end: a rest too small for a box is cut off.
        Bytes file = Join({ Box("ftyp", 12), Box("mdat", 50, 0x55), Box("moov", 100, 0x44) });
        file.resize(78 + 28 + 5);
        MemoryReader in(file);
        Mp4PatchedView view(in, 78, file.size(), movie);
        EXPECT_EQ(view.Size(), 78u + 28u);
        const Mp4Level level = Mp4Boxes::TopLevel(view);
        EXPECT_TRUE(level.Sound());
        ASSERT_EQ(level.Boxes.size(), 3u);
        EXPECT_EQ(level.Boxes[2].Size, 28u);
    }
}

TEST(Mp4Walk, CutViewTakesBytesOut)
{
    Bytes file(100);
    for (size_t i = 0; i < file.size(); ++i)
        file[i] = uint8_t(i);
    MemoryReader in(file);
    Mp4CutView view(in, 10, 5);
    EXPECT_EQ(view.Size(), 95u);
    struct Row {
        uint64_t offset;
        size_t count;
        Bytes expected;
    };
    for (const Row& r : { Row { 8, 4, { 8, 9, 15, 16 } }, Row { 0, 2, { 0, 1 } }, Row { 93, 10, { 98, 99 } },
             Row { 95, 4, {} } }) {
        Bytes got(r.count);
        got.resize(view.ReadAt(r.offset, got.data(), got.size()));
        EXPECT_EQ(got, r.expected) << "at " << r.offset;
    }
    Mp4CutView pastEnd(in, 90, 50);
    EXPECT_EQ(pastEnd.Size(), 90u);
}

TEST(Mp4Walk, LineEndViewUndoesATransfer)
{
    // CR LF pairs everywhere, one split by the end of the view's first 64 KB block, one CR LF that was
    // in the original (now CR CR LF), and a lone CR.
    Bytes original(200000);
    for (size_t i = 0; i < original.size(); ++i)
        original[i] = uint8_t(i >= 100000 && i % 1000 == 0 ? '\n' : 'a' + i % 13);
    original[1000] = '\r';
    original[1001] = '\n';
    original[3000] = '\r';
    original[65534] = '\n'; // after the one line feed before it, its CR is the block's last byte
    Bytes sent;
    for (uint8_t c : original) {
        if (c == '\n')
            sent.push_back('\r');
        sent.push_back(c);
    }
    ASSERT_EQ(sent[65535], '\r');
    MemoryReader in(sent);
    Mp4LineEndView view(in);
    EXPECT_TRUE(view.Transferred());
    ASSERT_EQ(view.Size(), original.size());
    for (const uint64_t offset : { 0u, 999u, 65000u, 65533u, 65534u, 65535u, 131071u, 199990u }) {
        Bytes got(100);
        got.resize(view.ReadAt(offset, got.data(), got.size()));
        const Bytes expected(original.begin() + long(offset),
            original.begin() + long(std::min<uint64_t>(offset + 100, original.size())));
        EXPECT_EQ(got, expected) << "at " << offset;
    }
    MemoryReader plain(original);
    EXPECT_FALSE(Mp4LineEndView(plain).Transferred()) << "lone line feeds: no transfer";
}
