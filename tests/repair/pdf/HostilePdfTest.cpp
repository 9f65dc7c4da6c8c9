// SPDX-License-Identifier: MIT
#include "PdfRepairer.h"
#include "Progress.h"
#include "RepairFile.h"
#include "RepairTestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace repair;
using namespace repairtest;

namespace {

const char* const kPage = "<</Type/Page/Parent 2 0 R/MediaBox[0 0 200 200]/Contents 4 0 R>>";
const char* const kContents = "<</Length 31>>\nstream\nBT /F1 9 Tf 5 5 Td (one) Tj ET\n\nendstream";

std::string Objects(const std::vector<std::pair<int, std::string>>& objects)
{
    std::string pdf = "%PDF-1.4\n";
    for (const auto& [num, body] : objects)
        pdf += std::to_string(num) + " 0 obj\n" + body + "\nendobj\n";
    return pdf;
}

struct Case {
    const char* name;
    std::string pdf; // no cross-reference table: every case is damaged
    Verdict verdict;
    uint64_t pages;
};

const Case kCases[] = {
    { "a page tree that holds itself",
        Objects({ { 1, "<</Type/Catalog/Pages 2 0 R>>" }, { 2, "<</Type/Pages/Kids[2 0 R 3 0 R]/Count 1>>" },
            { 3, kPage }, { 4, kContents } }),
        Verdict::Repaired, 1 },
    { "catalog and tree lost", Objects({ { 3, kPage }, { 4, kContents } }), Verdict::Partial, 1 },
    { "an object number far beyond the rest",
        Objects({ { 1, "<</Type/Catalog/Pages 2 0 R>>" }, { 2, "<</Type/Pages/Kids[3 0 R]/Count 1>>" },
            { 3, "<</Type/Page/Parent 2 0 R/MediaBox[0 0 200 200]/Contents 4 0 R/Annots 8000000 0 R>>" },
            { 4, kContents }, { 8000000, "<</Subtype/Text>>" } }),
        Verdict::Repaired, 1 },
    { "a stream whose length is wrong and whose end is lost",
        Objects({ { 1, "<</Type/Catalog/Pages 2 0 R>>" }, { 2, "<</Type/Pages/Kids[3 0 R]/Count 1>>" },
            { 3, kPage } })
            + "4 0 obj\n<</Length 999999>>\nstream\nBT 1 0 0 1 5 5 Tm\n(cut",
        Verdict::Partial, 0 },
    { "a dictionary that never closes",
        Objects({ { 1, "<</Type/Catalog/Pages 2 0 R>>" }, { 2, "<</Type/Pages/Kids[3 0 R]/Count 1>>" },
            { 3, kPage }, { 4, kContents } })
            + "5 0 obj\n<</A [[[[[[ (x" + std::string(100000, '[') + "\n",
        Verdict::Repaired, 1 },
    { "no page at all", Objects({ { 1, "<</Type/Catalog/Pages 2 0 R>>" }, { 7, "(text)" } }),
        Verdict::Unrecoverable, 0 },
};

TEST(HostilePdf, EndsSoundly)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteFile(dir.Path("damaged.pdf"), Bytes(c.pdf.begin(), c.pdf.end()));
        std::vector<std::unique_ptr<Repairer>> families;
        families.push_back(std::make_unique<PdfRepairer>());
        Progress progress;
        const Report report = RepairFile(families, dir.Path("damaged.pdf"), dir.Path("fixed.pdf"), progress);
        EXPECT_EQ(report.Outcome, c.verdict) << (report.Messages.empty() ? "" : report.Messages.back());
        EXPECT_EQ(report.PartsRecovered, c.pages);
        if (c.verdict == Verdict::Unrecoverable) {
            EXPECT_FALSE(Exists(dir.Path("fixed.pdf")));
            continue;
        }
        const std::string command = "qpdf --check '" + dir.Path("fixed.pdf") + "' >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << "the fixed file does not read cleanly";
    }
}

} // namespace
