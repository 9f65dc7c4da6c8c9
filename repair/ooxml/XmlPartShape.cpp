// SPDX-License-Identifier: MIT
#include "XmlPartShape.h"

#include <array>
#include <utility>

namespace repair {

namespace {

constexpr std::string_view kWordMain = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr std::string_view kSheetMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr std::string_view kSlideMain = "http://schemas.openxmlformats.org/presentationml/2006/main";
constexpr std::string_view kDrawing = "http://schemas.openxmlformats.org/drawingml/2006/main";
constexpr std::string_view kRelations = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr std::string_view kWordDrawing
    = "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing";
constexpr std::string_view kPicture = "http://schemas.openxmlformats.org/drawingml/2006/picture";
constexpr std::string_view kMath = "http://schemas.openxmlformats.org/officeDocument/2006/math";
constexpr std::string_view kCompat = "http://schemas.openxmlformats.org/markup-compatibility/2006";

constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kStrict { {
    { kWordMain, "http://purl.oclc.org/ooxml/wordprocessingml/main" },
    { kSheetMain, "http://purl.oclc.org/ooxml/spreadsheetml/main" },
    { kSlideMain, "http://purl.oclc.org/ooxml/presentationml/main" },
    { kDrawing, "http://purl.oclc.org/ooxml/drawingml/main" },
    { kRelations, "http://purl.oclc.org/ooxml/officeDocument/relationships" },
    { kWordDrawing, "http://purl.oclc.org/ooxml/drawingml/wordprocessingDrawing" },
    { kPicture, "http://purl.oclc.org/ooxml/drawingml/picture" },
    { kMath, "http://purl.oclc.org/ooxml/officeDocument/math" },
} };

XmlNamespace Ns(std::string_view prefix, std::string_view uri)
{
    return { std::string(prefix), std::string(uri) };
}

bool IsDirectChild(std::string_view name, std::string_view folder)
{
    if (!name.starts_with(folder) || !name.ends_with(".xml"))
        return false;
    return name.substr(folder.size()).find('/') == std::string_view::npos;
}

} // namespace

const XmlPartShape& XmlPartShape::For(XmlPartKind kind)
{
    static const XmlPartShape generic {};
    static const XmlPartShape word {
        { { "w:document", "" }, { "w:body", "" } },
        { "w:p", "w:tbl" },
        { Ns("w", kWordMain), Ns("r", kRelations), Ns("wp", kWordDrawing), Ns("a", kDrawing),
            Ns("pic", kPicture), Ns("m", kMath), Ns("mc", kCompat) },
        "",
    };
    static const XmlPartShape sheet {
        { { "worksheet", "" }, { "sheetData", "" } },
        { "row" },
        { Ns("", kSheetMain), Ns("r", kRelations), Ns("mc", kCompat) },
        "",
    };
    static const XmlPartShape strings {
        { { "sst", "" } },
        { "si" },
        { Ns("", kSheetMain) },
        "",
    };
    static const XmlPartShape slide {
        { { "p:sld", "" }, { "p:cSld", "" },
            { "p:spTree",
                "<p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr>"
                "<p:grpSpPr/>" } },
        { "p:sp", "p:pic", "p:grpSp", "p:graphicFrame", "p:cxnSp" },
        { Ns("a", kDrawing), Ns("r", kRelations), Ns("p", kSlideMain) },
        "",
    };
    switch (kind) {
    case XmlPartKind::WordDocument:
        return word;
    case XmlPartKind::Worksheet:
        return sheet;
    case XmlPartKind::SharedStrings:
        return strings;
    case XmlPartKind::Slide:
        return slide;
    case XmlPartKind::Generic:
        break;
    }
    return generic;
}

XmlPartKind XmlPartShape::KindOfPart(std::string_view partName, std::string_view mainPartName)
{
    if (partName.starts_with("word/") && (partName == mainPartName || partName == "word/document.xml"))
        return XmlPartKind::WordDocument;
    if (IsDirectChild(partName, "xl/worksheets/"))
        return XmlPartKind::Worksheet;
    if (partName == "xl/sharedStrings.xml")
        return XmlPartKind::SharedStrings;
    if (IsDirectChild(partName, "ppt/slides/"))
        return XmlPartKind::Slide;
    return XmlPartKind::Generic;
}

std::string_view XmlPartShape::StrictAlias(std::string_view uri)
{
    for (const auto& [transitional, strict] : kStrict) {
        if (uri == transitional)
            return strict;
        if (uri == strict)
            return transitional;
    }
    return {};
}

} // namespace repair
