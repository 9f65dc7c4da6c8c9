// SPDX-License-Identifier: MIT
#include "RepairFile.h"
#include "AtomicSink.h"
#include "Errors.h"
#include "Progress.h"
#include "RepairTestFiles.h"

#include <gtest/gtest.h>

using namespace repair;
using namespace repairtest;

namespace {

// A family that recognises with a fixed score and answers a fixed verdict, writing when told to.
class FakeRepairer : public Repairer {
public:
    FakeRepairer(int score, std::string format, Verdict verdict, bool write, bool throwAfterWrite = false)
        : m_score(score)
        , m_format(std::move(format))
        , m_verdict(verdict)
        , m_write(write)
        , m_throw(throwAfterWrite)
    {
    }
    Recognition Recognise(ByteReader&, std::string_view extension) override
    {
        seenExtension = std::string(extension);
        return { m_score, m_format, "archive" };
    }
    Report Repair(ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress&) override
    {
        uint8_t b[4];
        source.ReadAt(0, b, sizeof b);
        if (m_write) {
            AtomicSink& sink = openSink();
            sink.Write("fixed", 5);
        }
        if (m_throw)
            throw WriteError("disk full");
        Report r;
        r.Outcome = m_verdict;
        return r;
    }
    std::string seenExtension;

private:
    int m_score;
    std::string m_format;
    Verdict m_verdict;
    bool m_write, m_throw;
};

struct Case {
    const char* name;
    std::vector<FakeRepairer> families;
    bool outputExists;
    Verdict verdict;
    std::string format; // of the family chosen
    bool written;
};

TEST(RepairFile, ChoosesTheBestFamilyAndWritesOnlyForRepairedOrPartial)
{
    const Case cases[] = {
        { "highest score wins",
            { { 50, "zip", Verdict::Partial, true }, { 100, "docx", Verdict::Repaired, true } }, false,
            Verdict::Repaired, "docx", true },
        { "partial is written", { { 100, "zip", Verdict::Partial, true } }, false, Verdict::Partial, "zip",
            true },
        { "intact leaves nothing", { { 100, "zip", Verdict::Intact, true } }, false, Verdict::Intact, "zip",
            false },
        { "nothing recoverable leaves nothing", { { 100, "zip", Verdict::Unrecoverable, true } }, false,
            Verdict::Unrecoverable, "zip", false },
        { "unknown kind", { { 0, "zip", Verdict::Repaired, true } }, false, Verdict::Unrecoverable, "",
            false },
        { "write failure is an error", { { 100, "zip", Verdict::Repaired, true, true } }, false,
            Verdict::Error, "zip", false },
        { "repaired without writing is an error", { { 100, "zip", Verdict::Repaired, false } }, false,
            Verdict::Error, "zip", false },
        { "output exists", { { 100, "zip", Verdict::Repaired, true } }, true, Verdict::Error, "", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string source = dir.Path("damaged.ZIP");
        WriteFile(source, { 'P', 'K', 3, 4, 0 });
        const std::string output = dir.Path("fixed.zip");
        if (c.outputExists)
            WriteFile(output, { 'o' });
        std::vector<std::unique_ptr<Repairer>> families;
        for (const auto& f : c.families)
            families.push_back(std::make_unique<FakeRepairer>(f));
        Progress progress;
        const Report report = RepairFile(families, source, output, progress);
        EXPECT_EQ(report.Outcome, c.verdict);
        EXPECT_EQ(report.Format, c.format);
        if (c.verdict == Verdict::Error || c.format.empty()) {
            EXPECT_FALSE(report.Messages.empty()) << "an error or an unknown kind says why";
        }
        EXPECT_EQ(ReadFile(source), (Bytes { 'P', 'K', 3, 4, 0 }));
        const auto files = List(dir.Path());
        if (c.written) {
            EXPECT_EQ(ReadFile(output), (Bytes { 'f', 'i', 'x', 'e', 'd' }));
            EXPECT_EQ(report.BytesWritten, 5u);
            EXPECT_EQ(files.size(), 2u);
        } else {
            EXPECT_EQ(report.BytesWritten, 0u);
            EXPECT_EQ(files.size(), c.outputExists ? 2u : 1u) << "a partial file was left";
            if (c.outputExists) {
                EXPECT_EQ(ReadFile(output), (Bytes { 'o' }));
            }
        }
        if (c.verdict != Verdict::Error || !c.outputExists) {
            EXPECT_EQ(report.BytesRead, c.format.empty() ? 0u : 4u);
        }
    }
}

TEST(RepairFile, PassesTheExtensionAsAHintAndReportsAMissingSource)
{
    TempDir dir;
    const std::string source = dir.Path("Some.Name.DOCX");
    WriteFile(source, { 1, 2, 3 });
    std::vector<std::unique_ptr<Repairer>> families;
    families.push_back(std::make_unique<FakeRepairer>(10, "docx", Verdict::Intact, false));
    Progress progress;
    RepairFile(families, source, dir.Path("out.docx"), progress);
    EXPECT_EQ(static_cast<FakeRepairer&>(*families[0]).seenExtension, "docx");

    const Report missing = RepairFile(families, dir.Path("nothing.zip"), dir.Path("out.zip"), progress);
    EXPECT_EQ(missing.Outcome, Verdict::Error);
    ASSERT_FALSE(missing.Messages.empty());
    EXPECT_NE(missing.Messages[0].find("nothing.zip"), std::string::npos);
}

} // namespace
