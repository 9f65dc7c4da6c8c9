// SPDX-License-Identifier: MIT
#include "LineEndView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

using namespace repair;

namespace {

class StringReader : public ByteReader {
public:
    explicit StringReader(std::string s)
        : m_s(std::move(s))
    {
    }
    uint64_t Size() const override { return m_s.size(); }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override
    {
        if (offset >= m_s.size())
            return 0;
        count = std::min<size_t>(count, m_s.size() - offset);
        std::memcpy(buffer, m_s.data() + offset, count);
        return count;
    }

private:
    std::string m_s;
};

std::string ReadAll(ByteReader& r)
{
    std::string s(r.Size(), '\0');
    EXPECT_EQ(r.ReadAt(0, s.data(), s.size()), s.size());
    return s;
}

TEST(LineEndView, UndoesExactlyOneCrBeforeEachLf)
{
    const struct {
        std::string damaged, undone;
        bool looksConverted;
    } cases[] = {
        { "a\r\nb\r\n", "a\nb\n", true },
        { "\r\r\n", "\r\n", true }, // a CR LF that was there before the transfer
        { "lone\rcr\r\n", "lone\rcr\n", true }, { "no line ends", "no line ends", false },
        { "a\nb\r\n", "a\nb\n", false }, // an LF without its CR: not this damage
    };
    for (const auto& c : cases) {
        StringReader source(c.damaged);
        LineEndView view(source);
        EXPECT_EQ(ReadAll(view), c.undone) << c.damaged;
        EXPECT_EQ(LineEndView::LooksConverted(source), c.looksConverted) << c.damaged;
    }
}

TEST(LineEndView, RandomReadsAcrossBlocks)
{
    std::mt19937 rng(7);
    std::string original(300000, '\0');
    for (char& c : original)
        c = char(rng() % 16 == 0 ? '\n' : rng() % 16 == 0 ? '\r' : rng());
    std::string damaged;
    for (char c : original) {
        if (c == '\n')
            damaged += '\r';
        damaged += c;
    }
    StringReader source(damaged);
    LineEndView view(source);
    ASSERT_EQ(view.Size(), original.size());
    for (int i = 0; i < 200; ++i) {
        const size_t at = rng() % original.size();
        const size_t count = rng() % 150000;
        std::string got(count, '\0');
        got.resize(view.ReadAt(at, got.data(), count));
        ASSERT_EQ(got, original.substr(at, count)) << at << " " << count;
    }
}

} // namespace
