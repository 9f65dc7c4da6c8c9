// SPDX-License-Identifier: MIT
#pragma once

#include "ContentSink.h"
#include "XmlPartShape.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

namespace repair {

// Which relationships of a part still exist, when its relationships changed: references to any other
// id are dropped. Inactive: every reference is kept.
struct XmlReferenceFilter {
    bool Active = false;
    std::set<std::string> Known;
    bool Drops(const std::string& id) const { return Active && Known.count(id) == 0; }
};

// What the closer kept and dropped of one part.
struct XmlCloserOutcome {
    uint64_t UnitsKept = 0; // complete paragraphs, tables, rows, string items or shapes written
    uint64_t UnitsDropped = 0; // such units begun but cut by damage
    uint64_t ReferencesDropped = 0; // elements or attributes dropped for pointing at lost relationships
    uint32_t Damages = 0; // places where the content broke off and was resumed (or not)
    bool RootRebuilt = false; // the root and its spine were lost and written anew
    bool Empty = true; // nothing at all was written (a part of unknown kind whose root was lost)
};

// A sink that writes well-formed XML into another sink from a part's recovered content. Complete units
// (the children of the spine's innermost element, and of the elements above it) are written once they
// end and check; where the content breaks off (a hole, bytes that do not check, unsure bytes) the unit in
// progress is dropped and writing resumes at the next start of a unit, rebuilding the root and its spine
// when they were lost. Finish() closes every element still open. Elements that point at relationships the
// filter drops are left out (drawings, pictures, header references) or lose the pointing attribute.
// Memory: a unit is held until it ends, up to `unitLimit` bytes; a longer unit is written as it comes
// and, when cut, closed rather than dropped.
class XmlCloser : public ContentSink {
public:
    XmlCloser(XmlPartKind kind, ContentSink& out, XmlReferenceFilter filter = {},
        size_t unitLimit = size_t(4) << 20);
    ~XmlCloser() override;

    void Data(const uint8_t* bytes, size_t count) override;
    void Hole(uint64_t count) override;
    void Unsure(const uint8_t* bytes, size_t count) override;
    void Finish();
    const XmlCloserOutcome& Outcome() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace repair
