// SPDX-License-Identifier: MIT
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace repair {

// The package's [Content_Types].xml: types by extension and by part name. Part names are kept without
// their leading '/' and compared without regard to case, as the package's names are.
class ContentTypes {
public:
    // Reads every complete Default and Override element; the rest is ignored.
    static ContentTypes Parse(std::string_view xml);
    std::string Serialize() const;

    // The part's type: its override, else the default of its extension; empty when neither.
    std::string TypeOf(std::string_view part) const;
    void SetDefault(std::string_view extension, std::string_view type);
    void SetOverride(std::string_view part, std::string_view type);
    void RemoveOverride(std::string_view part);
    bool HasDefault(std::string_view extension) const;
    const std::map<std::string, std::pair<std::string, std::string>>& Overrides() const
    {
        return m_overrides;
    }

    // The type a part of this name has in the family's packages; empty when the name tells nothing.
    // `mainType` is the type the main part gets.
    static std::string WellKnown(std::string_view part, std::string_view mainPart, std::string_view mainType);
    // The usual default type of an extension ("png", "rels", "xml"); empty when unknown.
    static std::string ForExtension(std::string_view extension);

private:
    std::map<std::string, std::pair<std::string, std::string>>
        m_defaults; // lower-case key -> (as written, type)
    std::map<std::string, std::pair<std::string, std::string>> m_overrides;
};

} // namespace repair
