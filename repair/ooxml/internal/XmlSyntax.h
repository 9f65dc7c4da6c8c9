// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace repair {

// One attribute of a parsed tag; Begin/End span it in the tag's text, leading white space included.
struct XmlAttribute {
    std::string_view Name;
    std::string_view Value; // as written, references not expanded
    size_t Begin = 0;
    size_t End = 0;
};

// A start or end tag, viewing the text it was parsed from.
struct XmlTag {
    bool End = false;
    bool SelfClosing = false;
    std::string_view Name;
    std::vector<XmlAttribute> Attributes;
};

// The lexical rules of well-formed XML 1.0 (with namespaces) that the closer checks, on complete pieces
// of text held in memory. Every function also rejects bytes that are not UTF-8.
class XmlSyntax {
public:
    // A qualified name: one or two non-empty parts joined by a colon.
    static bool IsQName(std::string_view name);
    // Character data: allowed characters, only predefined or character references, no '<', no "]]>".
    static bool IsText(std::string_view text);
    // A whole "<...>" start or end tag; names, attributes and their values checked, no attribute twice.
    static bool ParseTag(std::string_view token, XmlTag& tag);
    // Contents of a comment, CDATA section or processing instruction: allowed characters only.
    static bool IsChars(std::string_view text);
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    static std::string_view PrefixOf(std::string_view qname);
    static std::string_view LocalOf(std::string_view qname);
    // Every start or empty-element tag of a part's text that parses, in order; what does not is passed over
    // (the package's small parts are read this way, damage and all).
    template <class Visit> static void ForEachStartTag(std::string_view xml, Visit visit)
    {
        for (size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
            const size_t end = xml.find('>', at);
            if (end == std::string_view::npos)
                return;
            XmlTag tag;
            if (ParseTag(xml.substr(at, end - at + 1), tag) && !tag.End)
                visit(tag);
        }
    }
};

} // namespace repair
