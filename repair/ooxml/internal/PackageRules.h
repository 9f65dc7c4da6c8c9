// SPDX-License-Identifier: MIT
#pragma once

#include "XmlCloser.h"
#include "XmlPartShape.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace repair {

enum class PartState { Whole, Partial, Lost };

// A member of the damaged package as the archive salvage found it.
struct PackagePart {
    std::string Name;
    PartState State = PartState::Whole;
};

// What to write for one part of the fixed package.
struct PlannedPart {
    enum class Action {
        Copy, // the member as it stands
        Close, // its decoded content through the XML closer (damaged, or pointing at lost parts)
        Recode, // its decoded content as it comes (damaged, not XML)
        Write, // `Bytes`: a package part rebuilt or a required part created
    };
    std::string Name;
    Action How = Action::Copy;
    size_t Source = static_cast<size_t>(-1); // index of the member it comes from, if any
    XmlPartKind Kind = XmlPartKind::Generic;
    XmlReferenceFilter Filter;
    std::string Bytes;
};

// The fixed package: its parts in order, and what was lost and rebuilt.
struct PackagePlan {
    std::string Family; // empty: not an Office Open XML package
    std::string Format;
    std::string MainPart;
    std::vector<PlannedPart> Parts;
    std::vector<std::string> Lost; // parts that are gone
    std::vector<std::string> Damaged; // parts kept in part
    std::vector<std::string> Rebuilt; // package parts fixed or rebuilt, and required parts created
};

// The package-level rules: content types and relationships true to the parts that exist (rebuilt from
// the parts found when lost), relationships to lost parts removed and the references to them dropped,
// and the parts the readers require created when lost.
class PackageRules {
public:
    // The decoded text of a member (damaged package parts: what of them checks); nullopt if unreadable.
    using PartText = std::function<std::optional<std::string>(size_t index)>;

    static PackagePlan Plan(
        const std::vector<PackagePart>& parts, const PartText& text, std::string_view extension);
    // The family's folder ("word/", "xl/", "ppt/") that the member names show, or empty.
    static std::string_view FolderOf(const std::vector<std::string>& names);
};

} // namespace repair
