// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace repair {

struct Relationship {
    std::string Id;
    std::string Type;
    std::string Target; // as written (relative to the source part's folder, or absolute with a '/')
    bool External = false;
};

// The relationships of one part (or of the package): read from a relationships part, whatever of it
// checks, and written anew.
class Relationships {
public:
    // Reads every complete, well-formed Relationship element; the rest is ignored.
    static Relationships Parse(std::string_view xml);
    std::string Serialize() const;

    std::vector<Relationship>& Items() { return m_items; }
    const std::vector<Relationship>& Items() const { return m_items; }
    // Adds a relationship under a fresh id; returns the id.
    std::string Add(const std::string& type, const std::string& target);
    const Relationship* FindType(std::string_view typeSuffix) const;

    // "word/document.xml" -> "word/_rels/document.xml.rels"; the package ("") -> "_rels/.rels".
    static std::string PartOf(std::string_view source);
    // The inverse: the part whose relationships a relationships part holds; false if it is none.
    static bool SourceOf(std::string_view relsPart, std::string& source);
    // The part a target names, from the source part's folder ("media/a.png" -> "word/media/a.png").
    static std::string Resolve(std::string_view source, std::string_view target);
    // A target for `part` written relative to the folder of `source`.
    static std::string Relative(std::string_view source, std::string_view part);
    static std::string TypeUri(std::string_view name);

private:
    std::vector<Relationship> m_items;
};

} // namespace repair
