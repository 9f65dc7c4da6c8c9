// SPDX-License-Identifier: MIT
// Our deflate decoder (the salvage, on an undamaged stream) beside zlib's inflate on the same streams:
// XML text like a word processor's, deflated at levels 1, 6 and 9. Prints output MB/s and the ratio.
#include "DeflateSalvage.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

class MemoryReader : public repair::ByteReader {
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

// Takes the output as a writer would: touched, not kept.
class Discard : public repair::ContentSink {
public:
    uint64_t sum = 0;
    void Data(const uint8_t* bytes, size_t count) override { sum += count + bytes[count / 2]; }
    void Hole(uint64_t) override { }
};

const Bytes& Plain()
{
    static const Bytes plain = [] {
        std::mt19937 rng(1);
        std::vector<std::string> words(4000);
        for (std::string& w : words)
            for (unsigned i = 0, n = 2 + rng() % 9; i < n; ++i)
                w += char('a' + rng() % 26);
        std::string xml;
        while (xml.size() < (32u << 20)) {
            xml += "<w:p w:rsidR=\"00" + std::to_string(rng() % 100000) + "\"><w:r><w:t>";
            for (int i = 0; i < 20; ++i)
                xml += ' ' + words[rng() % (rng() % 2 ? 100 : words.size())];
            xml += "</w:t></w:r></w:p>\n";
        }
        return Bytes(xml.begin(), xml.end());
    }();
    return plain;
}

const Bytes& Stream(int level)
{
    static std::map<int, Bytes> streams;
    Bytes& s = streams[level];
    if (s.empty()) {
        z_stream z {};
        deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
        s.resize(deflateBound(&z, Plain().size()));
        z.next_in = const_cast<uint8_t*>(Plain().data());
        z.avail_in = uInt(Plain().size());
        z.next_out = s.data();
        z.avail_out = uInt(s.size());
        deflate(&z, Z_FINISH);
        s.resize(z.total_out);
        deflateEnd(&z);
    }
    return s;
}

void Ours(benchmark::State& state)
{
    const Bytes& stream = Stream(int(state.range(0)));
    for (auto _ : state) {
        MemoryReader reader(stream);
        Discard out;
        const repair::DeflateSalvageResult r = repair::SalvageDeflate(reader, 0, stream.size(), out);
        if (!r.Complete || r.Produced != Plain().size())
            state.SkipWithError("the stream did not decode");
        benchmark::DoNotOptimize(out.sum);
    }
    state.SetBytesProcessed(int64_t(state.iterations() * Plain().size()));
}

void Zlib(benchmark::State& state)
{
    const Bytes& stream = Stream(int(state.range(0)));
    Bytes chunk(256 * 1024);
    for (auto _ : state) {
        z_stream z {};
        inflateInit2(&z, -15);
        z.next_in = const_cast<uint8_t*>(stream.data());
        z.avail_in = uInt(stream.size());
        uint64_t sum = 0;
        int rc = Z_OK;
        while (rc == Z_OK) {
            z.next_out = chunk.data();
            z.avail_out = uInt(chunk.size());
            rc = inflate(&z, Z_NO_FLUSH);
            const size_t got = chunk.size() - z.avail_out;
            sum += got + (got ? chunk[got / 2] : 0);
        }
        inflateEnd(&z);
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(int64_t(state.iterations() * Plain().size()));
}

BENCHMARK(Ours)->Arg(1)->Arg(6)->Arg(9)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Zlib)->Arg(1)->Arg(6)->Arg(9)->Unit(benchmark::kMillisecond)->UseRealTime();

class Ratios : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            m_seconds[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (int level : { 1, 6, 9 }) {
            const double ours = m_seconds["Ours/" + std::to_string(level) + "/real_time"];
            const double zlib = m_seconds["Zlib/" + std::to_string(level) + "/real_time"];
            if (ours > 0 && zlib > 0)
                std::printf("level %d: ours %.0f MB/s, zlib %.0f MB/s, time ratio ours/zlib %.2f\n", level,
                    Plain().size() / (ours / 1e3) / 1e6, Plain().size() / (zlib / 1e3) / 1e6, ours / zlib);
        }
    }

private:
    std::map<std::string, double> m_seconds;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Ratios reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
