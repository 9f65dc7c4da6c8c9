// SPDX-License-Identifier: MIT
#include "XmlCloser.h"
#include "FixtureParts.h"
#include "WellFormed.h"
#include "XmlSyntax.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using repair::XmlCloser;
using repair::XmlPartKind;

struct StringSink : repair::ContentSink {
    std::string bytes;
    void Data(const uint8_t* b, size_t n) override { bytes.append(reinterpret_cast<const char*>(b), n); }
    void Hole(uint64_t) override { ADD_FAILURE() << "the closer wrote a hole"; }
};

enum class Damage { None, Cut, Hole, Unsure, UnsureZeroed, UnsureFromStart, Empty };

struct Case {
    const char* name;
    const char* fixture;
    const char* member;
    XmlPartKind kind;
    const char* label; // the numbered text that tells the units apart
    Damage damage;
    const char* from; // damage begins four bytes into this text (empty: at the start)
    const char* to; // and ends four bytes into this one (empty: at the end)
    const char* kept; // numbers of the units expected back, in order: "0-99,111-600"
    bool rebuilt;
};

const Case kCases[] = {
    { "Intact", "text.docx", "word/document.xml", XmlPartKind::WordDocument, "Paragraph ", Damage::None, "",
        "", "0-600", false },
    { "CutInParagraph", "text.docx", "word/document.xml", XmlPartKind::WordDocument, "Paragraph ",
        Damage::Cut, "Paragraph 250", "", "0-249", false },
    { "CutInTable", "text.docx", "word/document.xml", XmlPartKind::WordDocument, "Paragraph ", Damage::Cut,
        "cell 11", "", "0-300", false },
    { "CutInHeadTag", "text.docx", "word/document.xml", XmlPartKind::WordDocument, "Paragraph ", Damage::Cut,
        "xmlns:mc", "", "", true },
    { "HoleBetweenParagraphs", "text.docx", "word/document.xml", XmlPartKind::WordDocument, "Paragraph ",
        Damage::Hole, "Paragraph 100", "Paragraph 110", "0-99,111-600", false },
    { "HoleAcrossTable", "text.docx", "word/document.xml", XmlPartKind::WordDocument, "Paragraph ",
        Damage::Hole, "cell 01", "cell 21", "0-600", false },
    { "HeadLost", "text.docx", "word/document.xml", XmlPartKind::WordDocument, "Paragraph ", Damage::Hole, "",
        "Paragraph 005", "6-600", true },
    { "UnsureRight", "text.docx", "word/document.xml", XmlPartKind::WordDocument, "Paragraph ",
        Damage::Unsure, "Paragraph 200", "Paragraph 210", "0-199,201-209,211-600", false },
    { "UnsureWrongInside", "text.docx", "word/document.xml", XmlPartKind::WordDocument, "Paragraph ",
        Damage::UnsureZeroed, "Paragraph 200", "Paragraph 210", "0-199,201-204,211-600", false },
    { "UnsureFromStartWrongInside", "text.docx", "word/document.xml", XmlPartKind::WordDocument, "Paragraph ",
        Damage::UnsureFromStart, "Paragraph 300", "", "0-299", false },
    { "NothingAtAll", "text.docx", "word/document.xml", XmlPartKind::WordDocument, "Paragraph ",
        Damage::Empty, "", "", "", true },
    { "SheetCutInRow", "table.xlsx", "xl/worksheets/sheet1.xml", XmlPartKind::Worksheet, "Row ", Damage::Cut,
        "Row 200", "", "1-199", false },
    { "SheetHole", "table.xlsx", "xl/worksheets/sheet1.xml", XmlPartKind::Worksheet, "Row ", Damage::Hole,
        "Row 050", "Row 060", "1-49,61-400", false },
    { "SheetHeadLost", "table.xlsx", "xl/worksheets/sheet1.xml", XmlPartKind::Worksheet, "Row ", Damage::Hole,
        "", "Row 010", "11-400", true },
    { "SlideCutInShape", "slides.pptx", "ppt/slides/slide2.xml", XmlPartKind::Slide, "Slide 2 text ",
        Damage::Cut, "Slide 2 text 2", "", "1", false },
    { "SlideHeadLost", "slides.pptx", "ppt/slides/slide2.xml", XmlPartKind::Slide, "Slide 2 text ",
        Damage::Hole, "", "Slide 2 text 1", "2-3", true },
};

std::vector<int> Numbers(const std::string& ranges)
{
    std::vector<int> out;
    std::stringstream in(ranges);
    std::string range;
    while (std::getline(in, range, ',')) {
        const size_t dash = range.find('-');
        const int first = std::stoi(range.substr(0, dash));
        const int last = dash == std::string::npos ? first : std::stoi(range.substr(dash + 1));
        for (int n = first; n <= last; ++n)
            out.push_back(n);
    }
    return out;
}

std::vector<int> Found(const std::string& xml, const std::string& label)
{
    std::vector<int> out;
    for (size_t at = xml.find(label); at != std::string::npos; at = xml.find(label, at + 1)) {
        size_t end = at + label.size();
        while (end < xml.size() && std::isdigit(static_cast<unsigned char>(xml[end])))
            ++end;
        if (end > at + label.size())
            out.push_back(std::stoi(xml.substr(at + label.size(), end - at - label.size())));
    }
    return out;
}

size_t Marker(const std::string& part, const std::string& text, size_t otherwise)
{
    if (text.empty())
        return otherwise;
    const size_t at = part.find(text);
    EXPECT_NE(at, std::string::npos) << text;
    return at + 4;
}

void Feed(XmlCloser& closer, const std::string& part, size_t from, size_t to, Damage damage)
{
    const auto bytes = [&](size_t at) { return reinterpret_cast<const uint8_t*>(part.data() + at); };
    // Small pieces, so that tokens straddle the calls as they do behind a decoder.
    const auto data = [&](size_t a, size_t b) {
        for (size_t at = a; at < b; at += 777)
            closer.Data(bytes(at), std::min<size_t>(777, b - at));
    };
    switch (damage) {
    case Damage::None:
        data(0, part.size());
        break;
    case Damage::Cut:
        data(0, from);
        break;
    case Damage::Hole:
        data(0, from);
        closer.Hole(to - from);
        data(to, part.size());
        break;
    case Damage::Unsure:
    case Damage::UnsureZeroed: {
        data(0, from);
        std::string unsure = part.substr(from, to - from);
        if (damage == Damage::UnsureZeroed)
            unsure[unsure.size() / 2] = '\0';
        closer.Unsure(reinterpret_cast<const uint8_t*>(unsure.data()), unsure.size());
        data(to, part.size());
        break;
    }
    case Damage::UnsureFromStart: {
        std::string unsure = part;
        unsure[from] = '\0';
        closer.Unsure(reinterpret_cast<const uint8_t*>(unsure.data()), unsure.size());
        break;
    }
    case Damage::Empty:
        break;
    }
}

class XmlCloserCases : public testing::TestWithParam<Case> { };

TEST_P(XmlCloserCases, KeepsEveryCompleteUnitAndClosesTheRest)
{
    const Case& c = GetParam();
    const std::string part = fixtures::Member(fixtures::ReadFile(fixtures::Path(c.fixture)), c.member);
    StringSink out;
    XmlCloser closer(c.kind, out);
    Feed(closer, part, Marker(part, c.from, 0), Marker(part, c.to, part.size()), c.damage);
    closer.Finish();

    EXPECT_EQ(wellformed::Check(out.bytes), "") << out.bytes.substr(0, 400);
    EXPECT_EQ(Found(out.bytes, c.label), Numbers(c.kept));
    EXPECT_EQ(closer.Outcome().RootRebuilt, c.rebuilt);
    if (c.damage == Damage::None) {
        EXPECT_EQ(out.bytes, part);
    }
}

INSTANTIATE_TEST_SUITE_P(Parts, XmlCloserCases, testing::ValuesIn(kCases),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// A filter that knows every id but those given.
repair::XmlReferenceFilter AllBut(const std::set<std::string>& lost)
{
    repair::XmlReferenceFilter filter { true, {} };
    for (int n = 0; n < 100; ++n) {
        if (!lost.count("rId" + std::to_string(n)))
            filter.Known.insert("rId" + std::to_string(n));
    }
    return filter;
}

std::string Close(XmlPartKind kind, const std::string& part, repair::XmlReferenceFilter filter = {},
    size_t limit = 4 << 20, size_t cut = std::string::npos)
{
    StringSink out;
    XmlCloser closer(kind, out, std::move(filter), limit);
    closer.Data(reinterpret_cast<const uint8_t*>(part.data()), std::min(cut, part.size()));
    closer.Finish();
    EXPECT_EQ(wellformed::Check(out.bytes), "");
    return out.bytes;
}

TEST(XmlCloser, DropsDrawingsOfRemovedRelationshipsAndKeepsTheirParagraphs)
{
    const std::string part
        = fixtures::Member(fixtures::ReadFile(fixtures::Path("text.docx")), "word/document.xml");
    const size_t embed = part.find("r:embed=\"");
    ASSERT_NE(embed, std::string::npos);
    const std::string id = part.substr(embed + 9, part.find('"', embed + 9) - embed - 9);
    const std::string closed = Close(XmlPartKind::WordDocument, part, AllBut({ id }));
    EXPECT_EQ(closed.find("r:embed=\"" + id), std::string::npos);
    EXPECT_EQ(closed.find("<w:drawing"), std::string::npos);
    EXPECT_EQ(Found(closed, "Paragraph "), Numbers("0-600"));
    EXPECT_NE(closed.find("cell 22"), std::string::npos);
}

TEST(XmlCloser, SlideShapesOfRemovedPicturesGoWholeAndLinksLoseTheirAttribute)
{
    const std::string ns = "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
                           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
                           "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"";
    const std::string slide = "<p:sld " + ns + "><p:cSld><p:spTree>"
        + "<p:pic><p:blipFill><a:blip r:embed=\"rId2\"/></p:blipFill></p:pic>"
        + "<p:sp><p:txBody><a:p><a:r><a:rPr><a:hlinkClick r:id=\"rId3\"/></a:rPr><a:t>kept</a:t></a:r></a:p>"
        + "</p:txBody></p:sp></p:spTree></p:cSld></p:sld>";
    const std::string closed = Close(XmlPartKind::Slide, slide, AllBut({ "rId2", "rId3" }));
    EXPECT_EQ(closed.find("p:pic"), std::string::npos);
    EXPECT_NE(closed.find("<a:hlinkClick/></a:rPr><a:t>kept</a:t>"), std::string::npos) << closed;
}

TEST(XmlCloser, UnitLongerThanItsLimitIsClosedNotDropped)
{
    const std::string part
        = fixtures::Member(fixtures::ReadFile(fixtures::Path("text.docx")), "word/document.xml");
    const std::string closed = Close(XmlPartKind::WordDocument, part, {}, 64, part.find("cell 11") + 4);
    EXPECT_EQ(Found(closed, "Paragraph "), Numbers("0-300"));
    EXPECT_NE(closed.find("cell 10</w:t>"), std::string::npos);
    EXPECT_NE(closed.find(">cell</w:t></w:r></w:p></w:tc></w:tr></w:tbl></w:body>"), std::string::npos);
}

TEST(XmlCloser, PartOfUnknownKindKeepsItsCompleteChildren)
{
    const std::string styles
        = "<?xml version=\"1.0\"?>\n<s:list xmlns:s=\"urn:x\"><s:i n=\"1\"/><s:i n=\"2\">two</s:i>"
          "<s:i n=\"3\">thr";
    EXPECT_EQ(Close(XmlPartKind::Generic, styles),
        "<?xml version=\"1.0\"?>\n<s:list xmlns:s=\"urn:x\"><s:i n=\"1\"/><s:i n=\"2\">two</s:i></s:list>");
    StringSink out;
    XmlCloser closer(XmlPartKind::Generic, out);
    closer.Hole(10);
    closer.Data(reinterpret_cast<const uint8_t*>(styles.data()) + 30, styles.size() - 30);
    closer.Finish();
    EXPECT_TRUE(closer.Outcome().Empty);
}

// One row per rule of the lexical checks that decide whether bytes after damage are kept.
TEST(XmlSyntax, TagsAndText)
{
    struct Row {
        const char* text;
        bool tag; // parsed as a tag, else checked as text
        bool ok;
    };
    const Row rows[] = {
        { "<w:p>", true, true },
        { "<w:p w:rsidR=\"00A1\" xml:space='preserve'/>", true, true },
        { "</w:p >", true, true },
        { "<w:p a=\"1\" a=\"2\">", true, false },
        { "<w:p a=\"1\"b=\"2\">", true, false },
        { "<w:p a=1>", true, false },
        { "<w:p a=\"x<y\">", true, false },
        { "<w:p a=\"&bogus;\">", true, false },
        { "<1p>", true, false },
        { "<a:b:c>", true, false },
        { "</w:p a=\"1\">", true, false },
        { "plain &amp; &#x41; &#65; text", false, true },
        { "&#0;", false, false },
        { "&#xD800;", false, false },
        { "a ]]> b", false, false },
        { "\x01", false, false },
        { "\xC0\x80", false, false },
        { "\xED\xA0\x80", false, false },
        { "\xE2\x82\xAC euro", false, true },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        repair::XmlTag tag;
        EXPECT_EQ(row.tag ? repair::XmlSyntax::ParseTag(row.text, tag) : repair::XmlSyntax::IsText(row.text),
            row.ok);
    }
}

} // namespace
