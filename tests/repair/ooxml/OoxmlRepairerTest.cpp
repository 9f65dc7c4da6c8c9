// SPDX-License-Identifier: MIT
#include "OoxmlRepairer.h"
#include "AtomicSink.h"
#include "FixtureParts.h"
#include "Progress.h"
#include "Source.h"
#include "WellFormed.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

namespace {

using repair::Verdict;

struct Outcome {
    repair::Report report;
    std::string fixed; // the fixed file's bytes, empty when none was written
    std::string path;
    std::vector<std::string> leftovers; // files in the folder besides the source and the fixed file
    bool sourceUnchanged = false;
};

class Folder {
public:
    Folder()
    {
        char pattern[] = "/tmp/ooxml-test-XXXXXX";
        m_path = mkdtemp(pattern);
    }
    ~Folder()
    {
        std::error_code ignored;
        if (!std::getenv("QUILLON_KEEP_TEST_FILES"))
            std::filesystem::remove_all(m_path, ignored);
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

std::vector<std::string> Listing(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    while (dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

Outcome Repair(const std::string& damaged, const std::string& extension, const Folder& folder)
{
    const std::string in = folder.Path() + "/damaged." + extension;
    const std::string out = folder.Path() + "/fixed." + extension;
    {
        FILE* f = std::fopen(in.c_str(), "wb");
        std::fwrite(damaged.data(), 1, damaged.size(), f);
        std::fclose(f);
    }
    Outcome o;
    o.path = out;
    {
        repair::Source source(in);
        repair::Progress progress;
        std::optional<repair::AtomicSink> sink;
        repair::OoxmlRepairer repairer;
        EXPECT_GE(repairer.Recognise(source, extension).Score, 105);
        o.report = repairer.Repair(
            source, [&]() -> repair::AtomicSink& { return sink.emplace(out); }, progress);
        if (sink && (o.report.Outcome == Verdict::Repaired || o.report.Outcome == Verdict::Partial))
            sink->Commit();
    }
    o.sourceUnchanged = fixtures::ReadFile(in) == damaged;
    for (const std::string& name : Listing(folder.Path())) {
        if (name != "damaged." + extension && name != "fixed." + extension)
            o.leftovers.push_back(name);
    }
    if (access(out.c_str(), F_OK) == 0)
        o.fixed = fixtures::ReadFile(out);
    return o;
}

std::string Python()
{
    return access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
}

bool HasModule(const std::string& module)
{
    return std::system((Python() + " -c 'import " + module + "' >/dev/null 2>&1").c_str()) == 0;
}

// Runs a reader on the fixed file; its output, or "FAILED" when it could not open it.
std::string Read(const std::string& script, const std::string& path)
{
    const std::string command = Python() + " -c '" + script + "' '" + path + "' 2>&1; echo \"exit=$?\"";
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (size_t n = std::fread(buffer, 1, sizeof buffer, p))
            out.append(buffer, n);
        pclose(p);
    }
    return out.ends_with("exit=0\n") ? out : "FAILED: " + out;
}

constexpr const char* kWordText
    = "import sys, docx\nfor p in docx.Document(sys.argv[1]).paragraphs: print(p.text)";
constexpr const char* kExcelRows
    = "import sys, openpyxl\n"
      "for row in openpyxl.load_workbook(sys.argv[1]).worksheets[0].iter_rows(values_only=True): "
      "print(row[0])";

std::vector<int> Numbers(const std::string& text, const std::string& label)
{
    std::vector<int> out;
    for (size_t at = text.find(label); at != std::string::npos; at = text.find(label, at + 1)) {
        size_t end = at + label.size();
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
            ++end;
        if (end > at + label.size())
            out.push_back(std::stoi(text.substr(at + label.size(), end - at - label.size())));
    }
    return out;
}

// The damage done to a fixture, and the member it aims at.
enum class Damage { None, CutBeforeDirectory, CutInMember, ZeroSectorInMember, MemberLost };

// Where the damage begins in the member's compressed data.
size_t DamageAt(const std::string& zip, Damage damage, const std::string& member)
{
    const auto [offset, length] = fixtures::DataOf(zip, member);
    if (damage == Damage::CutInMember)
        return length / 2;
    if (damage == Damage::ZeroSectorInMember)
        return (offset + length * 2 / 5) / 4096 * 4096 - offset;
    return 0;
}

std::string Damaged(const std::string& zip, Damage damage, const std::string& member)
{
    std::string bytes = zip;
    switch (damage) {
    case Damage::None:
        break;
    case Damage::CutBeforeDirectory: {
        const size_t eocd = zip.rfind(std::string("PK\5\6", 4));
        bytes.resize(fixtures::Le(zip, eocd + 16, 4));
        break;
    }
    case Damage::CutInMember:
        bytes.resize(fixtures::DataOf(zip, member).first + DamageAt(zip, damage, member));
        break;
    case Damage::ZeroSectorInMember: {
        const size_t sector = fixtures::DataOf(zip, member).first + DamageAt(zip, damage, member);
        std::fill(bytes.begin() + sector, bytes.begin() + sector + 4096, '\0');
        break;
    }
    case Damage::MemberLost: {
        // The member's header and data zeroed: the directory still names it, nothing of it is left.
        const size_t local = fixtures::LocalHeaderOf(zip, member);
        const auto [offset, length] = fixtures::DataOf(zip, member);
        std::fill(bytes.begin() + local, bytes.begin() + offset + length, '\0');
        break;
    }
    }
    return bytes;
}

struct Case {
    const char* name;
    const char* fixture;
    Damage damage;
    const char* member;
    Verdict verdict;
    const char* lost; // a member the report must name as lost or damaged, or ""
    // What the reader gives back: every unit, or every unit that lay wholly before the damage and then
    // only units in order, none twice.
    enum { All, Before } kept;
};

const Case kCases[] = {
    { "DocxIntact", "text.docx", Damage::None, "", Verdict::Intact, "", Case::All },
    { "DocxCutBeforeDirectory", "text.docx", Damage::CutBeforeDirectory, "", Verdict::Repaired, "",
        Case::All },
    { "DocxCutInDocument", "text.docx", Damage::CutInMember, "word/document.xml", Verdict::Partial,
        "word/document.xml", Case::Before },
    { "DocxZeroedSectorInDocument", "text.docx", Damage::ZeroSectorInMember, "word/document.xml",
        Verdict::Partial, "word/document.xml", Case::Before },
    { "DocxContentTypesLost", "text.docx", Damage::MemberLost, "[Content_Types].xml", Verdict::Partial,
        "[Content_Types].xml", Case::All },
    { "DocxDocumentRelationshipsLost", "text.docx", Damage::MemberLost, "word/_rels/document.xml.rels",
        Verdict::Partial, "word/_rels/document.xml.rels", Case::All },
    { "DocxDocumentLost", "text.docx", Damage::MemberLost, "word/document.xml", Verdict::Partial,
        "word/document.xml", Case::Before },
    { "XlsxIntact", "table.xlsx", Damage::None, "", Verdict::Intact, "", Case::All },
    { "XlsxCutBeforeDirectory", "table.xlsx", Damage::CutBeforeDirectory, "", Verdict::Repaired, "",
        Case::All },
    { "XlsxCutInSheet", "table.xlsx", Damage::CutInMember, "xl/worksheets/sheet1.xml", Verdict::Partial,
        "xl/worksheets/sheet1.xml", Case::Before },
    { "XlsxZeroedSectorInSheet", "table.xlsx", Damage::ZeroSectorInMember, "xl/worksheets/sheet1.xml",
        Verdict::Partial, "xl/worksheets/sheet1.xml", Case::Before },
    { "XlsxContentTypesLost", "table.xlsx", Damage::MemberLost, "[Content_Types].xml", Verdict::Partial,
        "[Content_Types].xml", Case::All },
    { "XlsxWorkbookRelationshipsLost", "table.xlsx", Damage::MemberLost, "xl/_rels/workbook.xml.rels",
        Verdict::Partial, "xl/_rels/workbook.xml.rels", Case::All },
    { "XlsxWorkbookLost", "table.xlsx", Damage::MemberLost, "xl/workbook.xml", Verdict::Partial,
        "xl/workbook.xml", Case::All },
    { "PptxIntact", "slides.pptx", Damage::None, "", Verdict::Intact, "", Case::All },
    { "PptxCutBeforeDirectory", "slides.pptx", Damage::CutBeforeDirectory, "", Verdict::Repaired, "",
        Case::All },
    { "PptxContentTypesLost", "slides.pptx", Damage::MemberLost, "[Content_Types].xml", Verdict::Partial,
        "[Content_Types].xml", Case::All },
    { "PptxSlideRelationshipsLost", "slides.pptx", Damage::MemberLost, "ppt/slides/_rels/slide2.xml.rels",
        Verdict::Partial, "ppt/slides/_rels/slide2.xml.rels", Case::All },
    { "PptxPresentationLost", "slides.pptx", Damage::MemberLost, "ppt/presentation.xml", Verdict::Partial,
        "ppt/presentation.xml", Case::All },
    { "PptxMasterLost", "slides.pptx", Damage::MemberLost, "ppt/slideMasters/slideMaster1.xml",
        Verdict::Partial, "ppt/slideMasters/slideMaster1.xml", Case::All },
};

class OoxmlRepairerCases : public testing::TestWithParam<Case> { };

TEST_P(OoxmlRepairerCases, RepairsTheDamageAndTheReaderOpensTheResult)
{
    const Case& c = GetParam();
    const std::string original = fixtures::ReadFile(fixtures::Path(c.fixture));
    const std::string extension = std::string(c.fixture).substr(std::string(c.fixture).rfind('.') + 1);
    Folder folder;
    const Outcome o = Repair(Damaged(original, c.damage, c.member), extension, folder);

    EXPECT_EQ(o.report.Outcome, c.verdict);
    EXPECT_EQ(o.report.Format, extension);
    EXPECT_TRUE(o.sourceUnchanged);
    EXPECT_TRUE(o.leftovers.empty());
    if (*c.lost) {
        EXPECT_NE(std::find(o.report.Lost.begin(), o.report.Lost.end(), c.lost), o.report.Lost.end());
    }
    if (c.verdict == Verdict::Intact) {
        EXPECT_TRUE(o.fixed.empty());
        return;
    }
    ASSERT_FALSE(o.fixed.empty());
    if (extension == "pptx") {
        // No reader of ours opens presentations in the tests (the fixture script's LibreOffice does):
        // the slides' texts, the presentation's list of them and its master must be there.
        std::string texts;
        for (int n = 1; n <= 3; ++n)
            texts += fixtures::Member(o.fixed, "ppt/slides/slide" + std::to_string(n) + ".xml");
        EXPECT_EQ(Numbers(texts, "Slide "), std::vector<int>({ 1, 1, 1, 2, 2, 2, 3, 3, 3 }));
        const std::string presentation = fixtures::Member(o.fixed, "ppt/presentation.xml");
        EXPECT_EQ(wellformed::Check(presentation), "");
        EXPECT_EQ(Numbers(presentation, "<p:sldId id=\"").size(), 3u);
        const std::string rels = fixtures::Member(o.fixed, "ppt/slides/_rels/slide2.xml.rels");
        EXPECT_NE(rels.find("slideLayout"), std::string::npos);
        EXPECT_EQ(wellformed::Check(fixtures::Member(o.fixed, "ppt/slideMasters/slideMaster1.xml")), "");
        return;
    }
    const bool word = extension == "docx";
    const std::string member = word ? "word/document.xml" : "xl/worksheets/sheet1.xml";
    EXPECT_EQ(wellformed::Check(fixtures::Member(o.fixed, member)), "");
    EXPECT_EQ(wellformed::Check(fixtures::Member(o.fixed, "[Content_Types].xml")), "");

    if (!HasModule(word ? "docx" : "openpyxl"))
        GTEST_SKIP() << "the reader's module is not installed";
    const std::string read = Read(word ? kWordText : kExcelRows, o.path);
    ASSERT_FALSE(read.starts_with("FAILED")) << read;
    const std::vector<int> found = Numbers(read, word ? "Paragraph " : "Row ");
    const int first = word ? 0 : 1;
    const int last = word ? 600 : 400;
    std::vector<int> all;
    for (int n = first; n <= last; ++n)
        all.push_back(n);
    if (c.kept == Case::All) {
        EXPECT_EQ(found, all);
        return;
    }
    std::string before = fixtures::Member(original, member, DamageAt(original, c.damage, c.member));
    before.resize(before.empty() ? 0 : before.rfind(word ? "</w:p>" : "</row>") + 1);
    const std::vector<int> expected = Numbers(before, word ? "Paragraph " : "Row ");
    ASSERT_GE(found.size(), expected.size());
    EXPECT_EQ(std::vector<int>(found.begin(), found.begin() + expected.size()), expected);
    EXPECT_LT(found.size(), all.size());
    EXPECT_TRUE(std::is_sorted(found.begin(), found.end()));
    EXPECT_EQ(std::adjacent_find(found.begin(), found.end()), found.end());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, OoxmlRepairerCases, testing::ValuesIn(kCases),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

struct MemoryReader : repair::ByteReader {
    std::string bytes;
    uint64_t Size() const override { return bytes.size(); }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override
    {
        const size_t n = offset >= bytes.size() ? 0 : std::min<size_t>(count, bytes.size() - offset);
        std::memcpy(buffer, bytes.data() + offset, n);
        return n;
    }
};

// Recognition by content: the names outrank the extension, which is only a hint.
TEST(OoxmlRepairer, RecognisesDocumentsByTheirMemberNames)
{
    struct Row {
        const char* fixture;
        const char* extension;
        bool headZeroed;
        int score;
        const char* format;
    };
    const Row rows[] = {
        { "text.docx", "zip", false, 110, "docx" },
        { "text.docx", "", true, 110, "docx" },
        { "table.xlsx", "docx", false, 110, "xlsx" },
        { "slides.pptx", "zip", false, 110, "pptx" },
        { "", "xlsm", false, 10, "xlsm" },
        { "", "zip", false, 0, "" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.fixture) + " ." + row.extension);
        MemoryReader reader;
        reader.bytes = *row.fixture ? fixtures::ReadFile(fixtures::Path(row.fixture)) : std::string(100, 'x');
        if (row.headZeroed)
            std::fill(reader.bytes.begin(), reader.bytes.begin() + 4096, '\0');
        const repair::Recognition r = repair::OoxmlRepairer().Recognise(reader, row.extension);
        EXPECT_EQ(r.Score, row.score);
        EXPECT_EQ(r.Format, row.format);
    }
}

} // namespace
