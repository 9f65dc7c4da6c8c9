// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace repair {

// The XML parts whose content the closer knows how to cut back and resume.
enum class XmlPartKind {
    Generic, // any part: its root is kept, its children are the units
    WordDocument, // w:document / w:body: paragraphs and tables
    Worksheet, // worksheet / sheetData: rows
    SharedStrings, // sst: string items
    Slide, // p:sld / p:cSld / p:spTree: shapes
};

// A namespace declaration: prefix (empty for the default namespace) and URI.
struct XmlNamespace {
    std::string Prefix;
    std::string Uri;
};

// One element of a part's spine (the root and the ancestors of its units), in standard prefixes.
struct XmlSpineElement {
    std::string Name;
    std::string Filler; // children written after it when it is rebuilt (elements readers require)
};

// The shape of a kind of part: the spine from the root down to the element whose children are the
// units, the names of the units worth resuming at, and the standard declarations a rebuilt root gets.
struct XmlPartShape {
    std::vector<XmlSpineElement> Spine;
    std::vector<std::string> Units;
    std::vector<XmlNamespace> Namespaces;
    std::string RootAttributes; // written after the declarations of a rebuilt root

    static const XmlPartShape& For(XmlPartKind kind);
    // The kind of a part from its name inside the package ("word/document.xml", "xl/worksheets/sheet1.xml").
    static XmlPartKind KindOfPart(std::string_view partName, std::string_view mainPartName);
    // Alternative URIs that stand for the same namespace in the strict variant of the format.
    static std::string_view StrictAlias(std::string_view uri);
};

} // namespace repair
