// SPDX-License-Identifier: MIT
#include "DeflateSalvage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>
#include <zlib.h>

using namespace repair;

namespace {

using Bytes = std::vector<uint8_t>;

class MemoryReader : public ByteReader {
public:
    explicit MemoryReader(const Bytes& bytes)
        : m_bytes(bytes)
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
    const Bytes& m_bytes;
};

// Keeps what the salvage hands over, adjacent pieces of one kind merged.
struct Recorded : ContentSink {
    enum Kind { DataRun, HoleRun, UnsureRun };
    struct Piece {
        Kind kind;
        Bytes bytes;
        uint64_t count = 0; // holes
    };
    std::vector<Piece> pieces;

    void Add(Kind kind, const uint8_t* b, size_t n)
    {
        if (pieces.empty() || pieces.back().kind != kind || kind == HoleRun)
            pieces.push_back({ kind, {}, 0 });
        pieces.back().bytes.insert(pieces.back().bytes.end(), b, b + n);
    }
    void Data(const uint8_t* b, size_t n) override { Add(DataRun, b, n); }
    void Unsure(const uint8_t* b, size_t n) override { Add(UnsureRun, b, n); }
    void Hole(uint64_t n) override
    {
        Add(HoleRun, nullptr, 0);
        pieces.back().count = n;
    }
    Bytes AllData() const
    {
        Bytes all;
        for (const Piece& p : pieces)
            if (p.kind == DataRun)
                all.insert(all.end(), p.bytes.begin(), p.bytes.end());
        return all;
    }
};

// Text like a word processor's main part: several hundred KB, so a stream has many blocks, of words
// varied enough that a fair share of it is sent as literals.
std::string DocumentXml(size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<std::string> words(4000);
    for (std::string& w : words)
        for (unsigned i = 0, n = 2 + rng() % 9; i < n; ++i)
            w += char('a' + rng() % 26);
    std::string xml = "<?xml version=\"1.0\"?><w:document><w:body>";
    unsigned paragraph = 0;
    while (xml.size() < size) {
        xml += "<w:p w:rsidR=\"00" + std::to_string(rng() % 100000) + "\"><w:r><w:t>";
        xml += "Paragraph " + std::to_string(++paragraph) + ":";
        for (unsigned i = 0, n = 5 + rng() % 30; i < n; ++i) {
            xml += ' ';
            // Common words often, rare ones now and then.
            xml += words[rng() % (rng() % 2 ? 100 : words.size())];
        }
        xml += "</w:t></w:r></w:p>\n";
    }
    return xml + "</w:body></w:document>";
}

Bytes Deflate(const Bytes& plain, int level, int strategy = Z_DEFAULT_STRATEGY)
{
    z_stream z {};
    EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy), Z_OK);
    Bytes out(deflateBound(&z, plain.size()) + 64);
    z.next_in = const_cast<uint8_t*>(plain.data());
    z.avail_in = uInt(plain.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// (compressed bit, output so far) at every block boundary of an undamaged stream.
std::vector<std::pair<uint64_t, uint64_t>> Boundaries(const Bytes& stream, size_t plainSize)
{
    std::vector<std::pair<uint64_t, uint64_t>> found;
    z_stream z {};
    inflateInit2(&z, -15);
    Bytes out(plainSize + 1);
    z.next_in = const_cast<uint8_t*>(stream.data());
    z.avail_in = uInt(stream.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    for (int rc = Z_OK; rc == Z_OK;) {
        rc = inflate(&z, Z_BLOCK);
        if (z.data_type & 128)
            found.push_back({ z.total_in * 8 - (z.data_type & 7), z.total_out });
    }
    inflateEnd(&z);
    return found;
}

// How much zlib decodes from the stream's first `bytes` bytes.
uint64_t DecodablePrefix(const Bytes& stream, size_t bytes)
{
    z_stream z {};
    inflateInit2(&z, -15);
    Bytes out(1 << 20);
    z.next_in = const_cast<uint8_t*>(stream.data());
    z.avail_in = uInt(bytes);
    uint64_t total = 0;
    for (int rc = Z_OK; rc == Z_OK;) {
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
        rc = inflate(&z, Z_SYNC_FLUSH);
        total += out.size() - z.avail_out;
        if (z.avail_out != 0)
            break;
    }
    inflateEnd(&z);
    return total;
}

Bytes Plain(size_t size = 700 * 1024, unsigned seed = 7)
{
    const std::string xml = DocumentXml(size, seed);
    return Bytes(xml.begin(), xml.end());
}

uint32_t Crc(const Bytes& b)
{
    return uint32_t(crc32(0, b.data(), uInt(b.size())));
}

// Every data piece is a part of the original, in order; pieces between two stretches of unknown length lie
// exactly as far apart as the holes between them say. Returns how many data bytes came after damage.
uint64_t CheckDataIsOriginal(const Recorded& got, const Bytes& original)
{
    struct Placed {
        uint64_t offset; // from the stretch's start
        const Bytes* bytes;
    };
    uint64_t at = 0;
    uint64_t afterDamage = 0;
    bool anchored = true; // the stretch starts at `at` exactly
    std::vector<Placed> stretch;
    uint64_t length = 0;
    auto matches = [&](uint64_t start) {
        for (const Placed& p : stretch)
            if (start + p.offset + p.bytes->size() > original.size()
                || !std::equal(p.bytes->begin(), p.bytes->end(), original.begin() + start + p.offset))
                return false;
        return true;
    };
    auto close = [&] {
        if (!stretch.empty()) {
            uint64_t start = at;
            if (!anchored) {
                // Try each place of the stretch's longest piece.
                const Placed& longest = *std::max_element(stretch.begin(), stretch.end(),
                    [](const Placed& x, const Placed& y) { return x.bytes->size() < y.bytes->size(); });
                start = original.size();
                for (auto it = original.begin() + std::min<uint64_t>(at + longest.offset, original.size());;
                     ++it) {
                    it = std::search(it, original.end(), longest.bytes->begin(), longest.bytes->end());
                    if (it == original.end())
                        break;
                    const uint64_t candidate = uint64_t(it - original.begin()) - longest.offset;
                    if (matches(candidate)) {
                        start = candidate;
                        break;
                    }
                }
            }
            EXPECT_TRUE(start < original.size() && matches(start))
                << "a stretch of " << stretch.size() << " data pieces is not the original's";
            at = start;
        }
        at += length;
        stretch.clear();
        length = 0;
    };
    bool damaged = false;
    for (const Recorded::Piece& p : got.pieces) {
        if (p.kind == Recorded::DataRun) {
            stretch.push_back({ length, &p.bytes });
            length += p.bytes.size();
            if (damaged)
                afterDamage += p.bytes.size();
        } else if (p.kind == Recorded::HoleRun && p.count > 0) {
            length += p.count;
            damaged = true;
        } else {
            close();
            anchored = false;
            damaged = true;
        }
    }
    close();
    return afterDamage;
}

uint64_t LeadingData(const Recorded& got)
{
    return !got.pieces.empty() && got.pieces.front().kind == Recorded::DataRun
        ? got.pieces.front().bytes.size()
        : 0;
}

} // namespace

TEST(DeflateSalvage, UndamagedStreamsGiveExactlyTheContent)
{
    Bytes zeros(300 * 1024, 0);
    struct Case {
        const char* name;
        Bytes plain;
        int level;
        int strategy;
    } cases[] = {
        { "level 1", Plain(), 1, Z_DEFAULT_STRATEGY },
        { "level 6", Plain(), 6, Z_DEFAULT_STRATEGY },
        { "level 9", Plain(), 9, Z_DEFAULT_STRATEGY },
        { "stored blocks, zero runs in them", zeros, 0, Z_DEFAULT_STRATEGY },
        { "fixed blocks", Plain(100 * 1024), 6, Z_FIXED },
        { "literals only", Plain(100 * 1024), 6, Z_HUFFMAN_ONLY },
        { "long runs, blocks over a megabyte of output", Bytes(20 * 1024 * 1024, 'a'), 9, Z_RLE },
        { "empty", {}, 6, Z_DEFAULT_STRATEGY },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes stream = Deflate(c.plain, c.level, c.strategy);
        // Bytes around the stream: the archive's header before it, the next member after it.
        Bytes file(17, 'H');
        file.insert(file.end(), stream.begin(), stream.end());
        file.insert(file.end(), 40, 'N');
        MemoryReader reader(file);
        Recorded got;
        DeflateSalvageLimits limits;
        limits.ExpectedCrc = Crc(c.plain);
        const DeflateSalvageResult r = SalvageDeflate(reader, 17, file.size(), got, limits);
        EXPECT_TRUE(r.Complete);
        EXPECT_EQ(r.Consumed, stream.size());
        EXPECT_EQ(r.Produced, c.plain.size());
        EXPECT_EQ(r.Resyncs, 0u);
        EXPECT_TRUE(got.AllData() == c.plain);
        EXPECT_LE(got.pieces.size(), 1u);
    }
}

TEST(DeflateSalvage, DamageKeepsWhatPrecedesItAndResumesAfterIt)
{
    // Damage inside compressed data often decodes without a fault (only the checksum tells, and then
    // nothing is vouched for): the flip and the garbage hit a block's header, where it shows.
    enum Damage { ZeroedSector, FlippedByte, InsertedGarbage, Cut };
    struct Case {
        const char* name;
        Damage damage;
        bool resumes; // later blocks come back
    } cases[] = {
        { "zeroed 4 KB", ZeroedSector, true },
        { "flipped byte in a block header", FlippedByte, true },
        { "garbage inserted before a block", InsertedGarbage, true },
        { "cut in the middle", Cut, false },
    };
    const Bytes plain = Plain();
    for (int level : { 1, 6, 9 }) {
        const Bytes stream = Deflate(plain, level);
        const auto bounds = Boundaries(stream, plain.size());
        ASSERT_GE(bounds.size(), 4u) << bounds.size();
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", level " + std::to_string(level));
            Bytes damaged = stream;
            const size_t at = c.damage == FlippedByte ? size_t(bounds[1].first / 8 + 3)
                : c.damage == InsertedGarbage         ? size_t(bounds[1].first / 8)
                                                      : stream.size() * 2 / 5;
            size_t damageEnd = at + 1;
            if (c.damage == ZeroedSector) {
                std::fill(damaged.begin() + at, damaged.begin() + at + 4096, 0);
                damageEnd = at + 4096;
            } else if (c.damage == FlippedByte) {
                damaged[at] ^= 0x5a;
            } else if (c.damage == InsertedGarbage) {
                std::mt19937 rng(3);
                Bytes garbage(700);
                for (uint8_t& b : garbage)
                    b = uint8_t(rng());
                damaged.insert(damaged.begin() + at, garbage.begin(), garbage.end());
            } else {
                damaged.resize(at);
            }
            MemoryReader reader(damaged);
            Recorded got;
            DeflateSalvageLimits limits;
            limits.ExpectedCrc = Crc(plain);
            const DeflateSalvageResult r = SalvageDeflate(reader, 0, damaged.size(), got, limits);
            const uint64_t later = CheckDataIsOriginal(got, plain);

            // Blocks whose end and next header lie before the damage come back whole.
            uint64_t before = 0;
            uint64_t nextBlockOut = plain.size();
            for (const auto& [bit, out] : bounds) {
                if (bit + 2400 <= at * 8)
                    before = out;
                if (bit >= damageEnd * 8 && nextBlockOut == plain.size())
                    nextBlockOut = out;
            }
            EXPECT_GE(LeadingData(got), before);
            if (c.damage == ZeroedSector || c.damage == Cut) {
                // Here the damage is located: all up to the symbols that read it is kept.
                EXPECT_GE(LeadingData(got) + 300, DecodablePrefix(stream, at));
            }
            EXPECT_FALSE(r.Complete && c.damage == Cut);
            if (c.resumes) {
                EXPECT_GE(r.Resyncs, 1u);
                EXPECT_TRUE(r.Complete);
                EXPECT_EQ(r.Consumed, damaged.size());
                // Matches into the lost stretch leave holes, fewer and fewer as known bytes spread.
                EXPECT_GE(later, (plain.size() - nextBlockOut) / 4);
            }
        }
    }
}

TEST(DeflateSalvage, DataIsNeverWrongWhateverTheDamage)
{
    const Bytes plain = Plain(200 * 1024, 11);
    std::mt19937 rng(2024);
    for (int level : { 1, 6, 9 }) {
        const Bytes stream = Deflate(plain, level);
        for (int i = 0; i < 60; ++i) {
            Bytes damaged = stream;
            const size_t at = rng() % stream.size();
            const unsigned kind = rng() % 4;
            if (kind == 0) {
                std::fill(damaged.begin() + at, damaged.begin() + std::min(damaged.size(), at + 4096), 0);
            } else if (kind == 1) {
                damaged[at] ^= uint8_t(1 + rng() % 255);
            } else if (kind == 2) {
                Bytes garbage(1 + rng() % 2000);
                for (uint8_t& b : garbage)
                    b = uint8_t(rng());
                damaged.insert(damaged.begin() + at, garbage.begin(), garbage.end());
            } else {
                for (size_t j = at; j < std::min(damaged.size(), at + 1 + rng() % 64); ++j)
                    damaged[j] = uint8_t(rng());
            }
            SCOPED_TRACE("level " + std::to_string(level) + ", damage " + std::to_string(kind) + " at "
                + std::to_string(at));
            MemoryReader reader(damaged);
            Recorded got;
            DeflateSalvageLimits limits;
            limits.ExpectedCrc = Crc(plain);
            const DeflateSalvageResult r = SalvageDeflate(reader, 0, damaged.size(), got, limits);
            CheckDataIsOriginal(got, plain);
            EXPECT_LE(r.Consumed, damaged.size());
        }
    }
}

TEST(DeflateSalvage, ResumedMatchesIntoLostBytesBecomeHolesOfTheirLength)
{
    // The later blocks refer back into the first, which is lost.
    const Bytes plain = Plain(400 * 1024, 5);
    Bytes stream = Deflate(plain, 6);
    const auto bounds = Boundaries(stream, plain.size());
    ASSERT_GE(bounds.size(), 2u);
    // Damage the first block's header: nothing before the second block can be decoded.
    Bytes damaged = stream;
    damaged[0] = 0xff;
    MemoryReader reader(damaged);
    Recorded got;
    const DeflateSalvageResult r = SalvageDeflate(reader, 0, damaged.size(), got);
    CheckDataIsOriginal(got, plain);
    EXPECT_EQ(r.Resyncs, 1u);
    EXPECT_TRUE(r.Complete);
    EXPECT_GT(r.Lost, 0u);
    EXPECT_GT(r.Produced, 0u);
    // Holes of known length plus data cover exactly the blocks after the resumption.
    EXPECT_EQ(r.Produced + r.Lost, plain.size() - bounds[0].second);
}

TEST(DeflateSalvage, StreamThatDecodesButFailsItsChecksumIsUnsure)
{
    const Bytes plain = Plain(50 * 1024, 9);
    Bytes stream = Deflate(plain, 0); // stored: a changed byte still decodes
    stream[stream.size() / 2] ^= 1;
    MemoryReader reader(stream);
    Recorded got;
    DeflateSalvageLimits limits;
    limits.ExpectedCrc = Crc(plain);
    const DeflateSalvageResult r = SalvageDeflate(reader, 0, stream.size(), got, limits);
    EXPECT_TRUE(r.Complete);
    EXPECT_EQ(r.Produced, 0u);
    EXPECT_EQ(r.Unsure, plain.size());
}

TEST(DeflateSalvage, OutputLimitStopsAnArchiveBomb)
{
    const Bytes stream = Deflate(Bytes(64 * 1024 * 1024, 0), 9);
    MemoryReader reader(stream);
    Recorded got;
    DeflateSalvageLimits limits;
    limits.MaxOutput = 3 * 1024 * 1024;
    const DeflateSalvageResult r = SalvageDeflate(reader, 0, stream.size(), got, limits);
    EXPECT_FALSE(r.Complete);
    EXPECT_GE(r.Produced, limits.MaxOutput);
    EXPECT_LT(r.Produced, limits.MaxOutput + 64 * 1024);
}

TEST(DeflateSalvage, HostileInputEndsWithoutData)
{
    struct Case {
        const char* name;
        Bytes bytes;
    } cases[] = {
        { "nothing", {} },
        { "reserved block type", { 0x07 } },
        { "stored length disagrees", { 0x01, 0x05, 0x00, 0x00, 0x00 } },
        { "distance before the start", { 0x03, 0x02, 0x00 } }, // fixed block: length 3, distance 1
        { "all ones", Bytes(3000, 0xff) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryReader reader(c.bytes);
        Recorded got;
        const DeflateSalvageResult r = SalvageDeflate(reader, 0, c.bytes.size(), got);
        EXPECT_FALSE(r.Complete);
        EXPECT_EQ(r.Produced, 0u);
    }
}
