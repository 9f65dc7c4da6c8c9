// SPDX-License-Identifier: MIT
#include "PdfRepairer.h"
#include "Progress.h"
#include "RepairFile.h"
#include "RepairTestFiles.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <functional>
#include <map>
#include <sstream>

using namespace repair;
using namespace repairtest;

namespace {

using Damage = std::function<Bytes(Bytes)>;
using PageWords = std::vector<std::vector<std::string>>;

std::string Quote(const std::string& path)
{
    return "'" + path + "'";
}

std::string Shell(const std::string& command, int* status = nullptr)
{
    std::string out;
    if (FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[65536];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        const int rc = ::pclose(pipe);
        if (status)
            *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    return out;
}

// The words of every page, as the text extractor reads them.
PageWords Words(const std::string& path)
{
    PageWords pages;
    std::istringstream text(Shell("pdftotext -layout " + Quote(path) + " -"));
    std::string page;
    while (std::getline(text, page, '\f')) {
        std::istringstream in(page);
        std::vector<std::string> words;
        for (std::string w; in >> w;)
            words.push_back(w);
        if (!words.empty())
            pages.push_back(std::move(words));
    }
    return pages;
}

size_t PagesBack(const PageWords& original, const PageWords& fixed)
{
    size_t n = 0;
    for (const auto& page : original)
        n += std::find(fixed.begin(), fixed.end(), page) != fixed.end();
    return n;
}

Report RepairPdf(const std::string& source, const std::string& output)
{
    std::vector<std::unique_ptr<Repairer>> families;
    families.push_back(std::make_unique<PdfRepairer>());
    Progress progress;
    return RepairFile(families, source, output, progress);
}

const Damage kAsIs = [](Bytes b) { return b; };
const Damage kCut80 = [](Bytes b) { return Bytes(b.begin(), b.begin() + b.size() * 8 / 10); };
const Damage kEndLost = [](Bytes b) { return Bytes(b.begin(), b.end() - 100); };
const Damage kZeroedSector = [](Bytes b) {
    std::fill(b.begin() + 8192, b.begin() + 12288, 0);
    return b;
};
const Damage kFlippedBytes = [](Bytes b) {
    for (size_t at : { 3000, 9000, 15000 })
        b[at] ^= 0x55;
    return b;
};
const Damage kHeadLost = [](Bytes b) { return Bytes(b.begin() + 1000, b.end()); };
const Damage kGarbageInserted = [](Bytes b) {
    Bytes garbage(1024);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = uint8_t(i * 31 + 7);
    b.insert(b.begin() + 12000, garbage.begin(), garbage.end());
    return b;
};
const Damage kTextTransfer = [](const Bytes& b) {
    Bytes out;
    for (uint8_t c : b) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(c);
    }
    return out;
};

struct Case {
    const char* fixture;
    const char* damage;
    Damage apply;
    Verdict verdict;
    size_t pages; // pages expected back with every word in order (of 7)
    bool checked = true; // the fixed file must read cleanly (not so where damage hides in encrypted data)
};

const Case kCases[] = {
    { "libreoffice", "intact", kAsIs, Verdict::Intact, 0 },
    { "qpdf-objstm", "intact", kAsIs, Verdict::Intact, 0 },
    { "ghostscript", "intact", kAsIs, Verdict::Intact, 0 },
    { "encrypted", "intact", kAsIs, Verdict::Intact, 0 },
    // Needs its password to be read: its structure alone is checked, and repaired.
    { "locked", "intact", kAsIs, Verdict::Intact, 0 },
    { "locked", "end lost", kEndLost, Verdict::Repaired, 0, false },
    // Every page object and the fonts lie in the last fifth.
    { "libreoffice", "cut at 80 %", kCut80, Verdict::Unrecoverable, 0 },
    { "ghostscript", "cut at 80 %", kCut80, Verdict::Partial, 7 },
    // The text's character map lies after the cut: the pages come back, their words cannot.
    { "qpdf-objstm", "cut at 80 %", kCut80, Verdict::Partial, 0 },
    { "encrypted", "cut at 80 %", kCut80, Verdict::Partial, 0, false },
    { "libreoffice", "end lost", kEndLost, Verdict::Repaired, 7 },
    { "qpdf-objstm", "end lost", kEndLost, Verdict::Repaired, 7 },
    { "ghostscript", "end lost", kEndLost, Verdict::Repaired, 7 },
    { "libreoffice", "zeroed sector", kZeroedSector, Verdict::Partial, 3 },
    { "qpdf-objstm", "zeroed sector", kZeroedSector, Verdict::Partial, 5 },
    { "ghostscript", "zeroed sector", kZeroedSector, Verdict::Partial, 5 },
    { "libreoffice", "flipped bytes", kFlippedBytes, Verdict::Partial, 5 },
    { "qpdf-objstm", "flipped bytes", kFlippedBytes, Verdict::Partial, 5 },
    { "ghostscript", "flipped bytes", kFlippedBytes, Verdict::Partial, 4 },
    { "libreoffice", "head lost", kHeadLost, Verdict::Partial, 6 },
    { "ghostscript", "head lost", kHeadLost, Verdict::Partial, 6 },
    { "encrypted", "head lost", kHeadLost, Verdict::Partial, 6 },
    // The object stream at the head held every page object.
    { "qpdf-objstm", "head lost", kHeadLost, Verdict::Unrecoverable, 0 },
    { "libreoffice", "garbage inserted", kGarbageInserted, Verdict::Partial, 6 },
    { "qpdf-objstm", "garbage inserted", kGarbageInserted, Verdict::Partial, 7 },
    { "ghostscript", "garbage inserted", kGarbageInserted, Verdict::Partial, 6 },
    { "encrypted", "garbage inserted", kGarbageInserted, Verdict::Partial, 6, false },
    { "libreoffice", "text-mode transfer", kTextTransfer, Verdict::Repaired, 7 },
    { "qpdf-objstm", "text-mode transfer", kTextTransfer, Verdict::Repaired, 7 },
    { "ghostscript", "text-mode transfer", kTextTransfer, Verdict::Repaired, 7 },
    { "encrypted", "text-mode transfer", kTextTransfer, Verdict::Repaired, 7 },
};

TEST(PdfRepair, EveryKindOfDamage)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.fixture) + ", " + c.damage);
        const std::string fixture = std::string(QUILLON_FIXTURES "/pdf/") + c.fixture + ".pdf";
        static std::map<std::string, PageWords> originals;
        if (!originals.count(fixture))
            originals[fixture] = Words(fixture);
        ASSERT_EQ(originals[fixture].size(), c.fixture == std::string("locked") ? 0u : 7u);
        TempDir dir;
        const std::string source = dir.Path("damaged.pdf");
        const std::string output = dir.Path("fixed.pdf");
        WriteFile(source, c.apply(ReadFile(fixture)));
        const Snapshot before = Snap(source);

        const Report report = RepairPdf(source, output);

        EXPECT_EQ(report.Outcome, c.verdict) << (report.Messages.empty() ? "" : report.Messages.back());
        EXPECT_EQ(report.Family, "pdf");
        EXPECT_EQ(Snap(source), before) << "the source changed";
        const bool written = c.verdict == Verdict::Repaired || c.verdict == Verdict::Partial;
        EXPECT_EQ(List(dir.Path()).size(), written ? 2u : 1u) << "a file was left, or none written";
        if (!written)
            continue;
        EXPECT_EQ(report.Lost.empty(), c.verdict == Verdict::Repaired);
        int status = -1;
        if (c.checked) {
            Shell("qpdf --check " + Quote(output), &status);
            EXPECT_EQ(status, 0) << "the fixed file does not read cleanly";
        }
        // Without its password a locked document cannot be rendered; its structure alone was repaired.
        const std::string password = c.fixture == std::string("locked") ? "-upw secret " : "";
        Shell("pdftoppm -r 8 -png " + password + Quote(output) + " " + Quote(dir.Path("page")), &status);
        EXPECT_EQ(status, 0) << "the fixed file does not render";
        if (!password.empty()) {
            Shell("qpdf --password=secret --check " + Quote(output), &status);
            EXPECT_EQ(status, 0) << "the fixed file does not read cleanly with its password";
        }
        EXPECT_GE(PagesBack(originals[fixture], Words(output)), c.pages);
    }
}

// A document updated in place: the update appended after the original with its own cross-reference
// section. Intact as it stands; with its last section lost, the update's definition still wins.
TEST(PdfRepair, IncrementalUpdate)
{
    Bytes pdf = ReadFile(QUILLON_FIXTURES "/pdf/libreoffice.pdf");
    const std::string text(pdf.begin(), pdf.end());
    const size_t startxref = text.rfind("startxref");
    const size_t root = text.find("/Root", text.rfind("trailer"));
    ASSERT_NE(startxref, std::string::npos);
    ASSERT_NE(root, std::string::npos);
    const std::string previous = std::to_string(std::stoull(text.substr(startxref + 9)));
    const std::string rootRef = text.substr(root, text.find(" R", root) + 2 - root);
    const size_t object = pdf.size() + 1;
    std::string update = "\n900 0 obj\n<</Title (Updated in place)>>\nendobj\n";
    const size_t xref = pdf.size() + update.size();
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", object);
    update += "xref\n900 1\n" + std::string(entry) + "trailer\n<</Size 901 " + rootRef
        + " /Info 900 0 R /Prev " + previous + ">>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    pdf.insert(pdf.end(), update.begin(), update.end());

    TempDir dir;
    WriteFile(dir.Path("updated.pdf"), pdf);
    EXPECT_EQ(RepairPdf(dir.Path("updated.pdf"), dir.Path("fixed.pdf")).Outcome, Verdict::Intact);
    EXPECT_FALSE(Exists(dir.Path("fixed.pdf")));

    // The old document's info dictionary is redefined too, so that the last definition must win.
    const std::string redefined = "\n32 0 obj\n<</Title (Second thoughts)>>\nendobj\n";
    Bytes cut(pdf.begin(), pdf.begin() + ptrdiff_t(xref));
    cut.insert(cut.end(), redefined.begin(), redefined.end());
    WriteFile(dir.Path("cut.pdf"), cut);
    const Report report = RepairPdf(dir.Path("cut.pdf"), dir.Path("fixed.pdf"));
    EXPECT_EQ(report.Outcome, Verdict::Repaired);
    const std::string fixed = Shell("qpdf --show-object=32 " + Quote(dir.Path("fixed.pdf")));
    EXPECT_NE(fixed.find("Second thoughts"), std::string::npos) << fixed;
    int status = -1;
    Shell("qpdf --check " + Quote(dir.Path("fixed.pdf")), &status);
    EXPECT_EQ(status, 0);
}

// A picture of noise compresses to stored blocks: a flipped byte in it leaves a stream that inflates,
// with a wrong checksum that the library passes over. It is damage all the same.
TEST(PdfRepair, ChecksumOnlyDamage)
{
    std::string picture(64 * 48 * 3, '\0');
    uint32_t seed = 1;
    for (char& c : picture)
        c = char((seed = seed * 1103515245 + 12345) >> 16);
    std::string packed(compressBound(uLong(picture.size())), '\0');
    uLongf packedSize = uLongf(packed.size());
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
        reinterpret_cast<const Bytef*>(picture.data()), uLong(picture.size()));
    packed.resize(packedSize);
    const std::vector<std::string> objects
        = { "<</Type/Catalog/Pages 2 0 R>>", "<</Type/Pages/Kids[3 0 R]/Count 1>>",
              "<</Type/Page/Parent 2 0 R/MediaBox[0 0 200 200]/Resources<</XObject<</Im1 4 0 R>>>>/Contents "
              "5 0 R>>",
              "<</Type/XObject/Subtype/Image/Width 64/Height 48/ColorSpace/DeviceRGB/BitsPerComponent 8"
              "/Filter/FlateDecode/Length "
                  + std::to_string(packed.size()) + ">>\nstream\n" + packed + "\nendstream",
              "<</Length 30>>\nstream\nq 64 0 0 48 10 10 cm /Im1 Do Q\nendstream" };
    std::string pdf = "%PDF-1.4\n";
    std::string xref = "xref\n0 6\n0000000000 65535 f \n";
    for (size_t i = 0; i < objects.size(); ++i) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", pdf.size());
        xref += entry;
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t start = pdf.size();
    pdf += xref + "trailer\n<</Size 6/Root 1 0 R>>\nstartxref\n" + std::to_string(start) + "\n%%EOF\n";

    TempDir dir;
    WriteFile(dir.Path("sound.pdf"), Bytes(pdf.begin(), pdf.end()));
    EXPECT_EQ(RepairPdf(dir.Path("sound.pdf"), dir.Path("fixed.pdf")).Outcome, Verdict::Intact);
    pdf[pdf.find("stream", pdf.find("/Subtype/Image")) + 4000] ^= 0x55;
    WriteFile(dir.Path("flipped.pdf"), Bytes(pdf.begin(), pdf.end()));
    const Report report = RepairPdf(dir.Path("flipped.pdf"), dir.Path("fixed.pdf"));
    EXPECT_EQ(report.Outcome, Verdict::Partial);
    EXPECT_EQ(report.Lost, std::vector<std::string> { "object 4 (damaged)" });
    int status = -1;
    Shell("qpdf --check " + Quote(dir.Path("fixed.pdf")), &status);
    EXPECT_EQ(status, 0);
}

TEST(PdfRepair, NotAPdf)
{
    TempDir dir;
    WriteFile(dir.Path("noise.pdf"), Bytes(5000, 'x'));
    PdfRepairer repairer;
    EXPECT_EQ(RepairPdf(dir.Path("noise.pdf"), dir.Path("fixed.pdf")).Outcome, Verdict::Unrecoverable);
    EXPECT_EQ(List(dir.Path()).size(), 1u);
}

} // namespace
