// SPDX-License-Identifier: MIT
#include "XmlCloser.h"

#include "XmlSyntax.h"

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace repair {

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);
constexpr size_t kTextChunk = 64 * 1024;
constexpr size_t kRepeatMinimum = 48;
constexpr size_t kRepeatMemory = 4096;
constexpr size_t kTokenLimit = 1 << 20;
// A start tag worth resuming at is short; garbage after a lone '<' must not be held long.
constexpr size_t kSkipTokenLimit = 64 * 1024;
constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
constexpr std::string_view kRelations = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// Elements that only show what a relationship points at: dropped whole when it is gone.
constexpr std::array<std::string_view, 15> kDroppable { "drawing", "pict", "object", "AlternateContent",
    "legacyDrawing", "legacyDrawingHF", "picture", "headerReference", "footerReference", "sheet", "sldId",
    "sldMasterId", "sldLayoutId", "notesMasterId", "handoutMasterId" };

bool IsDroppable(std::string_view qname)
{
    return std::find(kDroppable.begin(), kDroppable.end(), XmlSyntax::LocalOf(qname)) != kDroppable.end();
}

bool AllSpace(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return XmlSyntax::IsSpace(c); });
}

// Where a long run of text can be split without cutting a reference or a character in two.
size_t SafeSplit(std::string_view run)
{
    size_t pos = run.size();
    const size_t amp = run.rfind('&');
    if (amp != std::string_view::npos && run.find(';', amp) == std::string_view::npos)
        pos = amp;
    while (pos > 0 && pos < run.size() && (static_cast<uint8_t>(run[pos]) & 0xC0) == 0x80)
        --pos;
    return pos;
}

enum class Lex { Text, Markup };
enum class Token { Unknown, Tag, EndTag, Comment, CData, Pi, Bang };

struct OpenElement {
    std::string Name;
    uint64_t Offset = 0; // where its start tag begins in the unit's bytes
    size_t Declarations = 0; // namespace declarations it added
};

} // namespace

struct XmlCloser::Impl {
    Impl(XmlPartKind kind, ContentSink& out, XmlReferenceFilter filter, size_t unitLimit)
        : kind(kind)
        , shape(XmlPartShape::For(kind))
        , out(out)
        , filter(std::move(filter))
        , unitLimit(std::max<size_t>(unitLimit, 64))
    {
        for (const XmlSpineElement& element : shape.Spine)
            spineNames.push_back(element.Name);
        unitNames = shape.Units;
    }

    XmlPartKind kind;
    XmlPartShape shape;
    ContentSink& out;
    XmlReferenceFilter filter;
    size_t unitLimit;
    XmlCloserOutcome outcome;
    uint64_t emitted = 0;
    std::string prolog;

    // Lexer
    Lex lex = Lex::Text;
    Token token = Token::Unknown;
    std::string tok;
    char quote = 0;
    std::string text;

    // Where the content stands
    bool skip = false; // looking for a place to resume
    bool unsure = false;
    bool unsureFailed = false;
    bool done = false; // the root has ended
    bool finished = false;
    bool pristine = true; // nothing received yet

    // The spine as committed to the output
    bool rootCommitted = false;
    std::vector<XmlNamespace> rootNs;
    std::vector<std::string> spineNames; // as written in this part
    std::vector<std::string> unitNames;
    size_t depth = 0; // spine elements open
    size_t closedFrom = kNone; // spine elements from this index on have ended for good

    // The unit in progress
    bool unitActive = false;
    bool unitIsKind = false;
    bool unitDrop = false;
    bool unitFlushed = false;
    uint64_t unitBase = 0; // bytes of the unit already written out
    std::string unitBuf;
    std::string unitName;
    std::unordered_set<size_t> seenSet; // hashes of recent long units written
    std::deque<size_t> seenOrder;
    std::vector<OpenElement> unitStack;
    std::vector<XmlNamespace> unitNs;
    size_t suppressFrom = kNone; // unit elements from this depth on are left out

    void Emit(std::string_view s)
    {
        if (s.empty())
            return;
        if (!rootCommitted) {
            // Held until a root is written: a part whose root never comes gives nothing at all.
            prolog.append(s);
            return;
        }
        out.Data(reinterpret_cast<const uint8_t*>(s.data()), s.size());
        emitted += s.size();
    }

    bool Started() const { return emitted > 0 || !prolog.empty(); }

    void CommitProlog()
    {
        rootCommitted = true;
        std::string held;
        held.swap(prolog);
        Emit(held);
    }

    bool Generic() const { return shape.Spine.empty() || shape.Units.empty(); }

    // ---- names and namespaces

    std::string_view StandardUri(std::string_view prefix) const
    {
        for (const XmlNamespace& ns : shape.Namespaces) {
            if (ns.Prefix == prefix)
                return ns.Uri;
        }
        return {};
    }

    // The name a standard qualified name has in this part, by the root's own prefixes.
    std::string Actual(std::string_view standard) const
    {
        const std::string_view uri = StandardUri(XmlSyntax::PrefixOf(standard));
        const std::string_view alias = XmlPartShape::StrictAlias(uri);
        for (const XmlNamespace& ns : rootNs) {
            if (!uri.empty() && (ns.Uri == uri || (!alias.empty() && ns.Uri == alias))) {
                const std::string_view local = XmlSyntax::LocalOf(standard);
                return ns.Prefix.empty() ? std::string(local) : ns.Prefix + ":" + std::string(local);
            }
        }
        return std::string(standard);
    }

    void ComputeNames()
    {
        if (Generic())
            return;
        spineNames.clear();
        for (const XmlSpineElement& element : shape.Spine)
            spineNames.push_back(Actual(element.Name));
        unitNames.clear();
        for (const std::string& unit : shape.Units)
            unitNames.push_back(Actual(unit));
    }

    const std::vector<XmlNamespace>& Scope() const { return rootCommitted ? rootNs : shape.Namespaces; }

    static void Declarations(const XmlTag& tag, std::vector<XmlNamespace>& into)
    {
        for (const XmlAttribute& a : tag.Attributes) {
            if (a.Name == "xmlns")
                into.push_back({ "", std::string(a.Value) });
            else if (XmlSyntax::PrefixOf(a.Name) == "xmlns")
                into.push_back({ std::string(XmlSyntax::LocalOf(a.Name)), std::string(a.Value) });
        }
    }

    // The URI bound to `prefix` (empty prefix: the default namespace); null when unbound.
    const std::string* Resolve(std::string_view prefix, const std::vector<XmlNamespace>& own) const
    {
        for (auto it = own.rbegin(); it != own.rend(); ++it) {
            if (it->Prefix == prefix)
                return &it->Uri;
        }
        if (unitActive) {
            for (auto it = unitNs.rbegin(); it != unitNs.rend(); ++it) {
                if (it->Prefix == prefix)
                    return &it->Uri;
            }
        }
        for (auto it = Scope().rbegin(); it != Scope().rend(); ++it) {
            if (it->Prefix == prefix)
                return &it->Uri;
        }
        return nullptr;
    }

    bool PrefixesKnown(const XmlTag& tag, const std::vector<XmlNamespace>& own) const
    {
        const auto known = [&](std::string_view qname, bool attribute) {
            const std::string_view prefix = XmlSyntax::PrefixOf(qname);
            if (prefix.empty() || prefix == "xml")
                return true;
            if (attribute && prefix == "xmlns")
                return true;
            if (prefix == "xmlns")
                return false;
            const std::string* uri = Resolve(prefix, own);
            return uri && !uri->empty();
        };
        if (!known(tag.Name, false))
            return false;
        for (const XmlAttribute& a : tag.Attributes) {
            if (!known(a.Name, true))
                return false;
            if (XmlSyntax::PrefixOf(a.Name) == "xmlns" && a.Value.empty())
                return false;
        }
        return true;
    }

    bool PointsAtRemoved(const XmlAttribute& a, const std::vector<XmlNamespace>& own) const
    {
        if (!filter.Active || XmlSyntax::PrefixOf(a.Name).empty())
            return false;
        const std::string* uri = Resolve(XmlSyntax::PrefixOf(a.Name), own);
        if (!uri || (*uri != kRelations && *uri != XmlPartShape::StrictAlias(kRelations)))
            return false;
        return filter.Drops(std::string(a.Value));
    }

    // ---- damage

    void ResetLexer()
    {
        lex = Lex::Text;
        token = Token::Unknown;
        tok.clear();
        text.clear();
        quote = 0;
    }

    void DropUnit()
    {
        if (!unitActive)
            return;
        if (unitFlushed) {
            // Already partly written: close what is open instead.
            const size_t keep = std::min(unitStack.size(), suppressFrom);
            const size_t split = SafeSplit(text);
            if (!skip && XmlSyntax::IsText(std::string_view(text).substr(0, split)))
                UnitAppend(std::string_view(text).substr(0, split));
            Emit(unitBuf);
            for (size_t i = keep; i-- > 0;)
                Emit("</" + unitStack[i].Name + ">");
        } else if (unitIsKind) {
            ++outcome.UnitsDropped;
        }
        ClearUnit();
    }

    void ClearUnit()
    {
        unitActive = unitIsKind = unitDrop = unitFlushed = false;
        unitBase = 0;
        unitBuf.clear();
        unitStack.clear();
        unitNs.clear();
        suppressFrom = kNone;
    }

    void Damage()
    {
        DropUnit();
        ResetLexer();
        if (!skip && !done)
            ++outcome.Damages;
        skip = true;
    }

    void Error()
    {
        if (unsure)
            unsureFailed = true;
        Damage();
    }

    // ---- the spine

    void CloseSpineTo(size_t k)
    {
        while (depth > k) {
            --depth;
            Emit("</" + spineNames[depth] + ">");
        }
        closedFrom = std::min(closedFrom, k);
        if (depth == 0)
            done = true;
    }

    // Opens the spine's elements up to (not including) index `k`, rebuilding those that were lost.
    void RebuildTo(size_t k)
    {
        if (depth == 0) {
            if (!Started())
                Emit(kDeclaration);
            std::string root = "<" + shape.Spine[0].Name;
            for (const XmlNamespace& ns : shape.Namespaces)
                root += ns.Prefix.empty() ? " xmlns=\"" + ns.Uri + "\""
                                          : " xmlns:" + ns.Prefix + "=\"" + ns.Uri + "\"";
            root += shape.RootAttributes + ">";
            Emit(root);
            rootNs = shape.Namespaces;
            CommitProlog();
            outcome.RootRebuilt = true;
            ComputeNames();
            depth = 1;
        }
        while (depth < k && depth < closedFrom) {
            Emit("<" + spineNames[depth] + ">");
            if (spineNames[depth] == shape.Spine[depth].Name)
                Emit(shape.Spine[depth].Filler);
            ++depth;
        }
    }

    void CommitRoot(const XmlTag& tag, std::string_view raw)
    {
        std::vector<XmlNamespace> own;
        Declarations(tag, own);
        const auto bound = [&](std::string_view prefix) -> const std::string* {
            for (auto it = own.rbegin(); it != own.rend(); ++it) {
                if (it->Prefix == prefix)
                    return &it->Uri;
            }
            return nullptr;
        };
        for (const XmlNamespace& ns : own) {
            if (!ns.Prefix.empty() && ns.Uri.empty())
                return Error();
        }
        const auto knownHere = [&](std::string_view qname) {
            const std::string_view prefix = XmlSyntax::PrefixOf(qname);
            return prefix.empty() || prefix == "xml" || prefix == "xmlns" || bound(prefix);
        };
        if (!knownHere(tag.Name) || XmlSyntax::PrefixOf(tag.Name) == "xmlns")
            return Error();
        for (const XmlAttribute& a : tag.Attributes) {
            if (!knownHere(a.Name))
                return Error();
        }
        bool matches = false;
        if (!Generic()) {
            const std::string_view expected = shape.Spine[0].Name;
            const std::string_view uri = StandardUri(XmlSyntax::PrefixOf(expected));
            const std::string* actual = bound(XmlSyntax::PrefixOf(tag.Name));
            matches = XmlSyntax::LocalOf(tag.Name) == XmlSyntax::LocalOf(expected) && actual
                && (*actual == uri || *actual == XmlPartShape::StrictAlias(uri));
        }
        if (Generic()) {
            shape.Spine = { { std::string(tag.Name), "" } };
            spineNames = { std::string(tag.Name) };
        } else if (!matches) {
            return Error(); // the head is lost: the root is rebuilt where the content resumes
        }
        rootNs = std::move(own);
        CommitProlog();
        ComputeNames();
        Emit(raw);
        if (tag.SelfClosing) {
            closedFrom = 0;
            done = true;
        } else {
            depth = 1;
        }
    }

    // ---- units

    uint64_t UnitSize() const { return unitBase + unitBuf.size(); }

    void UnitAppend(std::string_view s)
    {
        if (unitStack.size() >= suppressFrom)
            return;
        unitBuf.append(s);
        if (unitBuf.size() > (unitFlushed ? kTextChunk : unitLimit)) {
            // Too long to hold: write what checked so far and go on streaming this unit.
            Emit(unitBuf);
            unitBase += unitBuf.size();
            unitBuf.clear();
            unitFlushed = true;
        }
    }

    void CompleteUnit()
    {
        if (!unitFlushed && unitBuf.size() >= kRepeatMinimum) {
            // Bytes decoded with a wrong history copy earlier content: a long unit met again in unsure
            // bytes means they have gone wrong from here on.
            const size_t hash = std::hash<std::string_view>()(unitBuf);
            if (unsure && seenSet.count(hash))
                return Error();
            if (seenSet.insert(hash).second) {
                seenOrder.push_back(hash);
                if (seenOrder.size() > kRepeatMemory) {
                    seenSet.erase(seenOrder.front());
                    seenOrder.pop_front();
                }
            }
        }
        if (!unitDrop || unitFlushed) {
            Emit(unitBuf);
            if (unitIsKind)
                ++outcome.UnitsKept;
            LearnUnit(unitName);
        }
        ClearUnit();
    }

    // The children a part of unknown kind has shown so far are where it resumes after damage.
    void LearnUnit(std::string_view name)
    {
        if (!Generic() || unitNames.size() >= 64)
            return;
        if (std::find(unitNames.begin(), unitNames.end(), name) == unitNames.end())
            unitNames.emplace_back(name);
    }

    // A start tag inside a unit, or the unit's own.
    void UnitStart(const XmlTag& tag, std::string_view raw)
    {
        std::vector<XmlNamespace> own;
        Declarations(tag, own);
        if (!PrefixesKnown(tag, own))
            return Error();
        const size_t index = unitStack.size();
        std::string rewritten;
        bool pointing = false;
        for (const XmlAttribute& a : tag.Attributes)
            pointing = pointing || PointsAtRemoved(a, own);
        if (pointing && index < suppressFrom) {
            ++outcome.ReferencesDropped;
            size_t target = kNone;
            for (size_t j = 0; j < index && target == kNone; ++j) {
                if (IsDroppable(unitStack[j].Name))
                    target = j;
            }
            if (target == kNone && IsDroppable(tag.Name))
                target = index;
            const std::string_view unitLocal = XmlSyntax::LocalOf(index == 0 ? tag.Name : unitStack[0].Name);
            if (target == kNone && unitIsKind && kind == XmlPartKind::Slide
                && (unitLocal == "pic" || unitLocal == "graphicFrame"))
                target = 0; // a picture, chart or object frame shows nothing without its part
            const uint64_t at
                = target == index ? UnitSize() : (target == kNone ? 0 : unitStack[target].Offset);
            if (target == 0 || (index == 0 && target == index)) {
                if (!unitFlushed)
                    unitDrop = true;
                else
                    target = kNone;
            } else if (target != kNone && at >= unitBase) {
                unitBuf.resize(at - unitBase);
                suppressFrom = target;
            } else {
                target = kNone;
            }
            if (target == kNone) {
                rewritten = "<" + std::string(tag.Name);
                for (const XmlAttribute& a : tag.Attributes) {
                    if (!PointsAtRemoved(a, own))
                        rewritten += raw.substr(a.Begin, a.End - a.Begin);
                }
                rewritten += tag.SelfClosing ? "/>" : ">";
                raw = rewritten;
            }
        }
        const uint64_t offset = UnitSize();
        UnitAppend(raw);
        if (tag.SelfClosing) {
            if (suppressFrom == index)
                suppressFrom = kNone;
            if (index == 0)
                CompleteUnit();
            return;
        }
        unitStack.push_back({ std::string(tag.Name), offset, own.size() });
        unitNs.insert(unitNs.end(), own.begin(), own.end());
    }

    void BeginUnit(const XmlTag& tag, std::string_view raw)
    {
        ClearUnit();
        unitActive = true;
        unitIsKind = depth == shape.Spine.size()
            && (Generic() || std::find(unitNames.begin(), unitNames.end(), tag.Name) != unitNames.end());
        unitName = tag.Name;
        UnitStart(tag, raw);
    }

    void UnitEnd(const XmlTag& tag, std::string_view raw)
    {
        if (unitStack.empty() || unitStack.back().Name != tag.Name)
            return Error();
        UnitAppend(raw);
        unitNs.resize(unitNs.size() - unitStack.back().Declarations);
        unitStack.pop_back();
        if (unitStack.size() == suppressFrom)
            suppressFrom = kNone;
        if (unitStack.empty())
            CompleteUnit();
    }

    // ---- tokens

    void StartTag(const XmlTag& tag, std::string_view raw)
    {
        if (skip)
            return Resume(tag, raw);
        if (unitActive)
            return UnitStart(tag, raw);
        if (!rootCommitted)
            return CommitRoot(tag, raw);
        if (depth < spineNames.size() && depth < closedFrom && tag.Name == spineNames[depth]) {
            std::vector<XmlNamespace> own;
            Declarations(tag, own);
            if (!PrefixesKnown(tag, own))
                return Error();
            Emit(raw);
            rootNs.insert(rootNs.end(), own.begin(), own.end());
            if (tag.SelfClosing)
                closedFrom = std::min(closedFrom, depth);
            else
                ++depth;
            return;
        }
        BeginUnit(tag, raw);
    }

    void EndTag(const XmlTag& tag, std::string_view raw)
    {
        if (skip)
            return Resume(tag, raw);
        if (unitActive)
            return UnitEnd(tag, raw);
        if (depth == 0 || tag.Name != spineNames[depth - 1])
            return Error();
        Emit(raw);
        --depth;
        closedFrom = std::min(closedFrom, depth);
        if (depth == 0)
            done = true;
    }

    // A tag met while looking for a place to resume: the start of a unit or of a spine element, or the
    // end of an open spine element.
    void Resume(const XmlTag& tag, std::string_view raw)
    {
        if (done || (!rootCommitted && Generic()))
            return;
        const std::vector<std::string>& spine = rootCommitted ? spineNames : StandardSpine();
        if (tag.End) {
            if (unsure)
                return;
            for (size_t k = depth; k-- > 0;) {
                if (spine[k] == tag.Name) {
                    skip = false;
                    CloseSpineTo(k + 1);
                    Emit(raw);
                    depth = k;
                    closedFrom = std::min(closedFrom, k);
                    if (depth == 0)
                        done = true;
                    return;
                }
            }
            return;
        }
        std::vector<XmlNamespace> own;
        Declarations(tag, own);
        const std::vector<std::string> units = rootCommitted ? unitNames : shape.Units;
        const bool isUnit = std::find(units.begin(), units.end(), tag.Name) != units.end();
        if (isUnit && closedFrom >= spine.size()) {
            if (!PrefixesKnown(tag, own))
                return;
            skip = false;
            if (!Generic())
                RebuildTo(spine.size());
            return BeginUnit(tag, raw);
        }
        if (unsure)
            return;
        for (size_t k = depth; k < spine.size() && k < closedFrom; ++k) {
            if (spine[k] != tag.Name || !PrefixesKnown(tag, own))
                continue;
            skip = false;
            if (k == 0)
                return CommitRoot(tag, raw);
            RebuildTo(k);
            return StartTag(tag, raw);
        }
    }

    std::vector<std::string> StandardSpine() const
    {
        std::vector<std::string> names;
        for (const XmlSpineElement& element : shape.Spine)
            names.push_back(element.Name);
        return names;
    }

    void Other(Token kind, std::string_view raw)
    {
        // Comments, processing instructions and CDATA sections.
        if (skip || done)
            return;
        if (kind == Token::Pi) {
            const std::string_view body = raw.substr(2, raw.size() - 4);
            size_t nameEnd = 0;
            while (nameEnd < body.size() && !XmlSyntax::IsSpace(body[nameEnd]))
                ++nameEnd;
            const std::string_view target = body.substr(0, nameEnd);
            if (!XmlSyntax::IsQName(target) || !XmlSyntax::IsChars(body))
                return Error();
            const bool isDeclaration = target.size() == 3 && (target[0] | 0x20) == 'x'
                && (target[1] | 0x20) == 'm' && (target[2] | 0x20) == 'l';
            if (isDeclaration) {
                if (!Started() && !unitActive && target == "xml")
                    Emit(raw);
                return;
            }
        } else if (kind == Token::Comment) {
            const std::string_view body = raw.substr(4, raw.size() - 7);
            if (body.find("--") != std::string_view::npos || body.ends_with('-') || !XmlSyntax::IsChars(body))
                return Error();
        } else if (!XmlSyntax::IsChars(raw.substr(9, raw.size() - 12))) {
            return Error();
        }
        if (unitActive)
            UnitAppend(raw);
        else if (kind != Token::CData && Started() && (rootCommitted || prolog.size() < kTextChunk))
            Emit(raw);
    }

    // A run of character data has ended (or grown long).
    bool FlushText(bool whole)
    {
        if (text.empty())
            return true;
        if (!unitActive || skip) {
            if (AllSpace(text) && Started() && !done && !skip)
                Emit(text);
            text.clear();
            return true;
        }
        const size_t split = whole ? text.size() : SafeSplit(text);
        if (!XmlSyntax::IsText(std::string_view(text).substr(0, split)))
            return false;
        // Writers escape '>' in text; met raw in unsure bytes it is markup decoded out of place.
        if (unsure && std::string_view(text).substr(0, split).find('>') != std::string_view::npos)
            return false;
        UnitAppend(std::string_view(text).substr(0, split));
        text.erase(0, split);
        return true;
    }

    void Complete()
    {
        const Token kind = token;
        lex = Lex::Text;
        token = Token::Unknown;
        std::string raw;
        raw.swap(tok);
        if (kind == Token::Tag || kind == Token::EndTag) {
            XmlTag tag;
            if (!XmlSyntax::ParseTag(raw, tag)) {
                if (!skip)
                    Error();
                return;
            }
            if (kind == Token::EndTag)
                EndTag(tag, raw);
            else
                StartTag(tag, raw);
        } else {
            Other(kind, raw);
        }
    }

    // Returns false when the byte must be read again (it began a new token after an error).
    bool Feed(char b)
    {
        if (lex == Lex::Text) {
            if (b == '<') {
                if (!skip && !FlushText(true)) {
                    Error();
                    return !unsureFailed ? false : true;
                }
                text.clear();
                lex = Lex::Markup;
                token = Token::Unknown;
                tok.assign(1, '<');
                quote = 0;
                return true;
            }
            if (skip)
                return true;
            text.push_back(b);
            if (text.size() > kTextChunk) {
                if (!FlushText(false))
                    Error();
                else if (!unitActive)
                    text.clear();
            }
            return true;
        }
        tok.push_back(b);
        if (tok.size() > (skip ? kSkipTokenLimit : kTokenLimit)) {
            if (skip)
                ResetLexer();
            else
                Error();
            return true;
        }
        switch (token) {
        case Token::Unknown:
            if (b == '/') {
                token = Token::EndTag;
            } else if (b == '?' || b == '!') {
                token = b == '?' ? Token::Pi : Token::Bang;
                if (skip)
                    ResetLexer();
            } else if (static_cast<uint8_t>(b) >= 0x80 || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')
                || b == '_') {
                token = Token::Tag;
            } else {
                return Restart(b);
            }
            return true;
        case Token::Bang: {
            constexpr std::string_view comment = "<!--";
            constexpr std::string_view cdata = "<![CDATA[";
            if (tok == comment)
                token = Token::Comment;
            else if (tok == cdata)
                token = Token::CData;
            else if (!comment.starts_with(tok) && !cdata.starts_with(tok))
                return Restart(b);
            return true;
        }
        case Token::Comment:
            if (tok.size() >= 7 && tok.ends_with("-->"))
                Complete();
            return true;
        case Token::CData:
            if (tok.size() >= 12 && tok.ends_with("]]>"))
                Complete();
            return true;
        case Token::Pi:
            if (tok.size() >= 4 && tok.ends_with("?>"))
                Complete();
            return true;
        case Token::Tag:
        case Token::EndTag:
            if (b == '<')
                return Restart(b);
            if (quote) {
                if (b == quote)
                    quote = 0;
            } else if (b == '"' || b == '\'') {
                quote = b;
            } else if (b == '>') {
                Complete();
            }
            return true;
        }
        return true;
    }

    // The token in progress is not one: drop it and read `b` again if it may begin the next.
    bool Restart(char b)
    {
        if (skip)
            ResetLexer();
        else
            Error();
        return b != '<' || unsureFailed;
    }

    void FeedAll(const uint8_t* bytes, size_t count)
    {
        for (size_t i = 0; i < count && !done; ++i) {
            if (unsure && unsureFailed)
                return;
            if (!Feed(static_cast<char>(bytes[i])))
                --i;
        }
    }

    void EndIsland()
    {
        if (!unsure)
            return;
        unsure = false;
        unsureFailed = false;
        Damage();
    }

    void Finish()
    {
        if (finished)
            return;
        finished = true;
        EndIsland();
        if (unitActive || lex == Lex::Markup)
            Damage();
        ResetLexer();
        if (!done) {
            if (!Generic()) {
                if (!rootCommitted)
                    RebuildTo(spineNames.size());
                else
                    RebuildTo(std::min(spineNames.size(), closedFrom));
            }
            CloseSpineTo(0);
        }
        outcome.Empty = emitted == 0;
    }
};

XmlCloser::XmlCloser(XmlPartKind kind, ContentSink& out, XmlReferenceFilter filter, size_t unitLimit)
    : m_impl(std::make_unique<Impl>(kind, out, std::move(filter), unitLimit))
{
}

XmlCloser::~XmlCloser() = default;

void XmlCloser::Data(const uint8_t* bytes, size_t count)
{
    if (m_impl->finished)
        return;
    m_impl->EndIsland();
    m_impl->pristine = false;
    m_impl->FeedAll(bytes, count);
}

void XmlCloser::Hole(uint64_t)
{
    if (m_impl->finished)
        return;
    m_impl->unsure = false;
    m_impl->unsureFailed = false;
    m_impl->pristine = false;
    m_impl->Damage();
}

void XmlCloser::Unsure(const uint8_t* bytes, size_t count)
{
    if (m_impl->finished)
        return;
    if (!m_impl->unsure) {
        // Unsure from the first byte on (a whole part whose check failed): read as it comes, head
        // included, until it stops checking. Anywhere else its place is unknown: resume at a unit.
        if (!m_impl->pristine)
            m_impl->Damage();
        m_impl->unsure = true;
        m_impl->unsureFailed = false;
    }
    m_impl->pristine = false;
    m_impl->FeedAll(bytes, count);
}

void XmlCloser::Finish()
{
    m_impl->Finish();
}

const XmlCloserOutcome& XmlCloser::Outcome() const
{
    return m_impl->outcome;
}

} // namespace repair
