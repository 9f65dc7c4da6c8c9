// SPDX-License-Identifier: MIT
#include "PackageRules.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using repair::PackagePart;
using repair::PackagePlan;
using repair::PackageRules;
using repair::PartState;
using repair::PlannedPart;

const std::string kRels
    = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
const std::string kType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

struct Package {
    std::vector<PackagePart> parts;
    std::map<size_t, std::string> texts;
    void Add(const std::string& name, PartState state = PartState::Whole, const std::string& text = "")
    {
        if (!text.empty())
            texts[parts.size()] = text;
        parts.push_back({ name, state });
    }
    PackagePlan Plan(const std::string& extension = "") const
    {
        return PackageRules::Plan(
            parts,
            [&](size_t i) -> std::optional<std::string> {
                const auto it = texts.find(i);
                return it == texts.end() ? std::nullopt : std::optional<std::string>(it->second);
            },
            extension);
    }
};

const PlannedPart* Find(const PackagePlan& plan, const std::string& name)
{
    for (const PlannedPart& p : plan.Parts) {
        if (p.Name == name)
            return &p;
    }
    return nullptr;
}

TEST(PackageRules, MacrosAndTemplatesDecideTheFormatWhereContentTypesAreLost)
{
    Package macros;
    macros.Add("[Content_Types].xml", PartState::Lost);
    macros.Add("word/document.xml");
    macros.Add("word/vbaProject.bin");
    const PackagePlan plan = macros.Plan("docx");
    EXPECT_EQ(plan.Format, "docm");
    const PlannedPart* types = Find(plan, "[Content_Types].xml");
    ASSERT_NE(types, nullptr);
    EXPECT_NE(types->Bytes.find("PartName=\"/word/document.xml\" "
                                "ContentType=\"application/vnd.ms-word.document.macroEnabled.main+xml\""),
        std::string::npos);
    EXPECT_NE(types->Bytes.find("/word/vbaProject.bin"), std::string::npos);
    EXPECT_NE(Find(plan, "_rels/.rels"), nullptr);
    EXPECT_EQ(plan.Lost, std::vector<std::string>({ "[Content_Types].xml" }));

    Package hinted;
    hinted.Add("word/document.xml");
    EXPECT_EQ(hinted.Plan("dotx").Format, "dotx");

    Package typed;
    typed.Add("[Content_Types].xml", PartState::Whole,
        "<Types><Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml\"/></"
        "Types>");
    typed.Add("_rels/.rels", PartState::Whole,
        kRels + "<Relationship Id=\"rId1\" Type=\"" + kType
            + "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    typed.Add("xl/workbook.xml");
    EXPECT_EQ(typed.Plan("xlsx").Format, "xltx");
}

TEST(PackageRules, RelationshipsToLostPartsGoAndTheirReferencesAreFiltered)
{
    Package doc;
    doc.Add("word/document.xml");
    doc.Add("word/_rels/document.xml.rels", PartState::Whole,
        kRels + "<Relationship Id=\"rId1\" Type=\"" + kType + "styles\" Target=\"styles.xml\"/>"
            + "<Relationship Id=\"rId2\" Type=\"" + kType + "image\" Target=\"media/image1.png\"/>"
            + "<Relationship Id=\"rId3\" Type=\"" + kType
            + "hyperlink\" Target=\"http://example.org/\" TargetMode=\"External\"/></Relationships>");
    doc.Add("word/styles.xml");
    doc.Add("word/media/image1.png", PartState::Lost);
    doc.Add("word/_rels/header1.xml.rels");
    doc.Add("word/header1.xml", PartState::Lost);
    const PackagePlan plan = doc.Plan();
    const PlannedPart* main = Find(plan, "word/document.xml");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->How, PlannedPart::Action::Close);
    EXPECT_TRUE(main->Filter.Active);
    EXPECT_EQ(main->Filter.Known, std::set<std::string>({ "rId1", "rId3" }));
    const PlannedPart* rels = Find(plan, "word/_rels/document.xml.rels");
    ASSERT_NE(rels, nullptr);
    EXPECT_EQ(rels->Bytes.find("image1.png"), std::string::npos);
    EXPECT_EQ(Find(plan, "word/_rels/header1.xml.rels"), nullptr);
    EXPECT_EQ(plan.Lost,
        std::vector<std::string>(
            { "word/media/image1.png", "word/_rels/header1.xml.rels", "word/header1.xml" }));
    EXPECT_EQ(Find(plan, "word/styles.xml")->How, PlannedPart::Action::Copy);
}

TEST(PackageRules, RequiredPartsAreCreatedWhenLost)
{
    Package book;
    book.Add("xl/workbook.xml", PartState::Lost);
    book.Add("xl/styles.xml");
    const PackagePlan plan = book.Plan("xlsx");
    EXPECT_EQ(plan.Family, "excel");
    const PlannedPart* workbook = Find(plan, "xl/workbook.xml");
    ASSERT_NE(workbook, nullptr);
    EXPECT_NE(
        workbook->Bytes.find("<sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/>"), std::string::npos);
    EXPECT_NE(Find(plan, "xl/worksheets/sheet1.xml"), nullptr);
    const PlannedPart* rels = Find(plan, "xl/_rels/workbook.xml.rels");
    ASSERT_NE(rels, nullptr);
    EXPECT_NE(
        rels->Bytes.find("Id=\"rId1\" Type=\"" + kType + "worksheet\" Target=\"worksheets/sheet1.xml\""),
        std::string::npos);
    EXPECT_NE(rels->Bytes.find("Target=\"styles.xml\""), std::string::npos);

    Package nothing;
    nothing.Add("docProps/core.xml");
    EXPECT_EQ(nothing.Plan("zip").Family, "");
}

} // namespace
