// SPDX-License-Identifier: MIT
#include "PackageRules.h"

#include "ContentTypes.h"
#include "OoxmlFormats.h"
#include "Relationships.h"
#include "XmlSyntax.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

namespace repair {

namespace {

constexpr std::string_view kContentTypes = "[Content_Types].xml";
constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
constexpr std::string_view kSlideNs
    = " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
      " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
      " xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"";
constexpr std::string_view kEmptyTree
    = "<p:cSld><p:spTree><p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/>"
      "<p:nvPr/></p:nvGrpSpPr><p:grpSpPr/></p:spTree></p:cSld>";

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsXml(std::string_view name)
{
    const std::string lower = Lower(name);
    return lower.ends_with(".xml") || lower.ends_with(".rels") || lower.ends_with(".vml");
}

// The number in "sheet12.xml", for ordering members the way their producer numbered them.
long NumberOf(std::string_view name)
{
    const size_t dot = name.rfind('.');
    size_t begin = dot;
    while (begin > 0 && std::isdigit(static_cast<unsigned char>(name[begin - 1])))
        --begin;
    return begin == dot ? 0 : std::stol(std::string(name.substr(begin, dot - begin)));
}

bool InFolder(std::string_view name, std::string_view folder, std::string_view stem)
{
    return name.starts_with(folder) && name.substr(folder.size()).starts_with(stem) && name.ends_with(".xml")
        && name.substr(folder.size()).find('/') == std::string_view::npos;
}

std::string EmptyPart(XmlPartKind kind)
{
    struct Sink : ContentSink {
        std::string bytes;
        void Data(const uint8_t* b, size_t n) override { bytes.append(reinterpret_cast<const char*>(b), n); }
        void Hole(uint64_t) override { }
    } sink;
    XmlCloser closer(kind, sink);
    closer.Finish();
    return sink.bytes;
}

// The r:id values of the elements of one local name, in document order ("sheet" in a workbook).
std::vector<std::string> OrderedIds(std::string_view xml, std::string_view local)
{
    std::vector<std::string> ids;
    XmlSyntax::ForEachStartTag(xml, [&](const XmlTag& tag) {
        if (XmlSyntax::LocalOf(tag.Name) != local)
            return;
        for (const XmlAttribute& a : tag.Attributes) {
            if (XmlSyntax::LocalOf(a.Name) == "id" && !XmlSyntax::PrefixOf(a.Name).empty())
                ids.emplace_back(a.Value);
        }
    });
    return ids;
}

std::string Theme()
{
    std::string colours;
    const char* names[] = { "dk1", "lt1", "dk2", "lt2", "accent1", "accent2", "accent3", "accent4", "accent5",
        "accent6", "hlink", "folHlink" };
    const char* values[] = { "000000", "FFFFFF", "1F497D", "EEECE1", "4F81BD", "C0504D", "9BBB59", "8064A2",
        "4BACC6", "F79646", "0000FF", "800080" };
    for (int i = 0; i < 12; ++i)
        colours
            += std::string("<a:") + names[i] + "><a:srgbClr val=\"" + values[i] + "\"/></a:" + names[i] + ">";
    const std::string fill = "<a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill>";
    const std::string line
        = "<a:ln w=\"9525\"><a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill></a:ln>";
    return std::string(kDeclaration)
        + "<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
          "name=\"Theme\"><a:themeElements>"
          "<a:clrScheme name=\"Theme\">"
        + colours
        + "</a:clrScheme><a:fontScheme name=\"Theme\"><a:majorFont><a:latin typeface=\"Liberation "
          "Sans\"/><a:ea "
          "typeface=\"\"/><a:cs typeface=\"\"/></a:majorFont><a:minorFont><a:latin typeface=\"Liberation "
          "Sans\"/>"
          "<a:ea typeface=\"\"/><a:cs typeface=\"\"/></a:minorFont></a:fontScheme><a:fmtScheme "
          "name=\"Theme\">"
          "<a:fillStyleLst>"
        + fill + fill + fill + "</a:fillStyleLst><a:lnStyleLst>" + line + line + line
        + "</a:lnStyleLst><a:effectStyleLst><a:effectStyle><a:effectLst/></"
          "a:effectStyle><a:effectStyle><a:effectLst/>"
          "</a:effectStyle><a:effectStyle><a:effectLst/></a:effectStyle></a:effectStyleLst><a:bgFillStyleLst>"
        + fill + fill + fill + "</a:bgFillStyleLst></a:fmtScheme></a:themeElements></a:theme>";
}

struct Planner {
    const std::vector<PackagePart>& parts;
    const PackageRules::PartText& text;
    PackagePlan plan;
    const OoxmlFormat* format = nullptr;

    std::map<std::string, size_t> existing; // lower-case name -> member index (not lost)
    std::map<std::string, std::string> created; // name -> bytes of required parts made here
    std::map<std::string, std::string> written; // relationships parts written anew
    std::set<std::string> droppedRels; // relationships members of lost parts
    std::map<std::string, XmlReferenceFilter> filters; // parts whose relationships changed
    std::set<std::string> fresh; // sources whose relationships are made anew whatever exists

    bool Exists(std::string_view name) const
    {
        return existing.count(Lower(name)) || created.count(std::string(name));
    }

    std::optional<size_t> IndexOf(std::string_view name) const
    {
        const auto it = existing.find(Lower(name));
        return it == existing.end() ? std::nullopt : std::optional<size_t>(it->second);
    }

    std::optional<std::string> TextOf(std::string_view name) const
    {
        const auto index = IndexOf(name);
        return index ? text(*index) : std::nullopt;
    }

    // Members (and created parts) in a folder whose file name starts with `stem`, by their number.
    std::vector<std::string> Numbered(std::string_view folder, std::string_view stem) const
    {
        std::vector<std::string> names;
        for (const PackagePart& p : parts) {
            if (p.State != PartState::Lost && InFolder(p.Name, folder, stem))
                names.push_back(p.Name);
        }
        for (const auto& [name, bytes] : created) {
            if (InFolder(name, folder, stem))
                names.push_back(name);
        }
        std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return NumberOf(a) < NumberOf(b); });
        return names;
    }

    std::string FirstOf(std::string_view folder, std::string_view stem) const
    {
        const auto names = Numbered(folder, stem);
        return names.empty() ? std::string() : names.front();
    }

    void Create(const std::string& name, std::string bytes)
    {
        created[name] = std::move(bytes);
        plan.Rebuilt.push_back(name);
    }

    bool Identify(std::string_view extension)
    {
        std::optional<ContentTypes> types;
        if (const auto t = TextOf(kContentTypes))
            types = ContentTypes::Parse(*t);
        if (const auto t = TextOf("_rels/.rels")) {
            const Relationships rels = Relationships::Parse(*t);
            if (const Relationship* r = rels.FindType("/officeDocument")) {
                const std::string main = Relationships::Resolve("", r->Target);
                if (Exists(main)) {
                    plan.MainPart = main;
                    if (types)
                        format = OoxmlFormats::ByMainType(types->TypeOf(main));
                }
            }
        }
        std::vector<std::string> names;
        for (const PackagePart& p : parts)
            names.push_back(p.Name);
        std::string_view folder = format ? format->Folder : std::string_view();
        if (folder.empty() && !plan.MainPart.empty()) {
            for (std::string_view f : { "word/", "xl/", "ppt/" }) {
                if (plan.MainPart.starts_with(f))
                    folder = f;
            }
        }
        if (folder.empty())
            folder = PackageRules::FolderOf(names);
        const OoxmlFormat* hinted = OoxmlFormats::ByExtension(extension);
        if (folder.empty() && hinted)
            folder = hinted->Folder;
        if (folder.empty())
            return false;
        if (!format) {
            const bool macros = Exists(std::string(folder) + "vbaProject.bin");
            format = hinted && hinted->Folder == folder && hinted->Macros == macros
                ? hinted
                : OoxmlFormats::ByFolder(folder, macros);
        }
        if (plan.MainPart.empty() || !plan.MainPart.starts_with(format->Folder))
            plan.MainPart = format->MainPart;
        plan.Family = format->Family;
        plan.Format = format->Format;
        return true;
    }

    void CreateRequired()
    {
        const std::string& main = plan.MainPart;
        if (plan.Family == "word") {
            if (!Exists(main))
                Create(main, EmptyPart(XmlPartKind::WordDocument));
        } else if (plan.Family == "excel") {
            if (Numbered("xl/worksheets/", "sheet").empty())
                Create("xl/worksheets/sheet1.xml", EmptyPart(XmlPartKind::Worksheet));
            if (!Exists(main)) {
                std::string xml = std::string(kDeclaration)
                    + "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                      "relationships\"><sheets>";
                int n = 0;
                for (const std::string& sheet : Numbered("xl/worksheets/", "sheet")) {
                    ++n;
                    (void)sheet;
                    xml += "<sheet name=\"Sheet" + std::to_string(n) + "\" sheetId=\"" + std::to_string(n)
                        + "\" r:id=\"rId" + std::to_string(n) + "\"/>";
                }
                Create(main, xml + "</sheets></workbook>");
                fresh.insert(main);
            }
        } else if (plan.Family == "powerpoint") {
            if (Numbered("ppt/slideMasters/", "slideMaster").empty()) {
                if (Numbered("ppt/theme/", "theme").empty())
                    Create("ppt/theme/theme1.xml", Theme());
                Create("ppt/slideMasters/slideMaster1.xml",
                    std::string(kDeclaration) + "<p:sldMaster" + std::string(kSlideNs) + ">"
                        + std::string(kEmptyTree)
                        + "<p:clrMap bg1=\"lt1\" tx1=\"dk1\" bg2=\"lt2\" tx2=\"dk2\" accent1=\"accent1\" "
                          "accent2=\"accent2\" accent3=\"accent3\" accent4=\"accent4\" accent5=\"accent5\" "
                          "accent6=\"accent6\" hlink=\"hlink\" folHlink=\"folHlink\"/><p:sldLayoutIdLst>"
                          "<p:sldLayoutId id=\"2147483649\" "
                          "r:id=\"rId1\"/></p:sldLayoutIdLst></p:sldMaster>");
                fresh.insert("ppt/slideMasters/slideMaster1.xml");
                if (Numbered("ppt/slideLayouts/", "slideLayout").empty()) {
                    Create("ppt/slideLayouts/slideLayout1.xml",
                        std::string(kDeclaration) + "<p:sldLayout" + std::string(kSlideNs)
                            + " preserve=\"1\">" + std::string(kEmptyTree)
                            + "<p:clrMapOvr><a:masterClrMapping/></p:clrMapOvr></p:sldLayout>");
                    fresh.insert("ppt/slideLayouts/slideLayout1.xml");
                }
            }
            if (!Exists(main)) {
                std::string xml = std::string(kDeclaration) + "<p:presentation" + std::string(kSlideNs)
                    + "><p:sldMasterIdLst>";
                int n = 0;
                for (size_t k = 0; k < Numbered("ppt/slideMasters/", "slideMaster").size(); ++k)
                    xml += "<p:sldMasterId id=\"" + std::to_string(2147483648u + 1000u * k) + "\" r:id=\"rId"
                        + std::to_string(++n) + "\"/>";
                xml += "</p:sldMasterIdLst>";
                const auto slides = Numbered("ppt/slides/", "slide");
                if (!slides.empty()) {
                    xml += "<p:sldIdLst>";
                    for (size_t k = 0; k < slides.size(); ++k)
                        xml += "<p:sldId id=\"" + std::to_string(256 + k) + "\" r:id=\"rId"
                            + std::to_string(++n) + "\"/>";
                    xml += "</p:sldIdLst>";
                }
                Create(main,
                    xml
                        + "<p:sldSz cx=\"9144000\" cy=\"6858000\"/><p:notesSz cx=\"6858000\" cy=\"9144000\"/>"
                          "</p:presentation>");
                fresh.insert(main);
            }
        }
    }

    // Gives `rels` a relationship of `type` to `part` unless one already points at it; `id` when free.
    static bool Ensure(Relationships& rels, const std::string& source, const std::string& type,
        const std::string& part, const std::string& id = {})
    {
        for (const Relationship& r : rels.Items()) {
            if (!r.External && Relationships::Resolve(source, r.Target) == part)
                return false;
        }
        bool used = id.empty();
        for (const Relationship& r : rels.Items())
            used = used || r.Id == id;
        if (used)
            rels.Add(Relationships::TypeUri(type), Relationships::Relative(source, part));
        else
            rels.Items().push_back(
                { id, Relationships::TypeUri(type), Relationships::Relative(source, part), false });
        return true;
    }

    // Relationships a part of this kind has to the parts found, for rebuilding lost ones. Where its own
    // text lists ids in order (sheets, slides, masters, layouts), the members of the list get those ids
    // in the order of their numbers, the order their producers give them.
    bool AddExpected(const std::string& source, Relationships& rels)
    {
        bool added = false;
        const auto ensure
            = [&](const std::string& type, const std::string& part, const std::string& id = {}) {
                  if (!part.empty() && Exists(part))
                      added = Ensure(rels, source, type, part, id) || added;
              };
        const auto ordered
            = [&](const std::string& type, const std::vector<std::string>& members, std::string_view local) {
                  std::vector<std::string> ids;
                  if (created.count(source)) {
                      // Created lists number their ids from rId1 across the lists, in this order.
                      size_t before = 0;
                      for (const Relationship& r : rels.Items())
                          before += r.Id.starts_with("rId") ? 1 : 0;
                      for (size_t k = 0; k < members.size(); ++k)
                          ids.push_back("rId" + std::to_string(before + k + 1));
                  } else if (const auto t = TextOf(source)) {
                      ids = OrderedIds(*t, local);
                  }
                  for (size_t k = 0; k < members.size(); ++k)
                      ensure(type, members[k], k < ids.size() ? ids[k] : std::string());
              };
        const std::string& main = plan.MainPart;
        if (source.empty()) {
            ensure("officeDocument", main);
            ensure("core-properties", "docProps/core.xml");
            ensure("extended-properties", "docProps/app.xml");
            ensure("custom-properties", "docProps/custom.xml");
            for (const PackagePart& p : parts) {
                if (p.State != PartState::Lost && p.Name.starts_with("docProps/thumbnail."))
                    ensure("thumbnail", p.Name);
            }
        } else if (source == main && plan.Family == "word") {
            for (const char* name : { "styles", "settings", "webSettings", "fontTable", "numbering",
                     "footnotes", "endnotes", "comments" })
                ensure(name, "word/" + std::string(name) + ".xml");
            ensure("theme", FirstOf("word/theme/", "theme"));
            ensure("glossaryDocument", "word/glossary/document.xml");
            ensure("vbaProject", "word/vbaProject.bin");
        } else if (source == main && plan.Family == "excel") {
            ordered("worksheet", Numbered("xl/worksheets/", "sheet"), "sheet");
            ensure("styles", "xl/styles.xml");
            ensure("sharedStrings", "xl/sharedStrings.xml");
            ensure("theme", FirstOf("xl/theme/", "theme"));
            ensure("vbaProject", "xl/vbaProject.bin");
        } else if (source == main && plan.Family == "powerpoint") {
            ordered("slideMaster", Numbered("ppt/slideMasters/", "slideMaster"), "sldMasterId");
            ordered("slide", Numbered("ppt/slides/", "slide"), "sldId");
            ensure("theme", FirstOf("ppt/theme/", "theme"));
            for (const char* name : { "presProps", "viewProps", "tableStyles" })
                ensure(name, "ppt/" + std::string(name) + ".xml");
            ensure("vbaProject", "ppt/vbaProject.bin");
        } else if (InFolder(source, "ppt/slides/", "slide")) {
            ensure("slideLayout", FirstOf("ppt/slideLayouts/", "slideLayout"));
        } else if (InFolder(source, "ppt/slideLayouts/", "slideLayout")) {
            ensure("slideMaster", FirstOf("ppt/slideMasters/", "slideMaster"));
        } else if (InFolder(source, "ppt/slideMasters/", "slideMaster")) {
            ordered("slideLayout", Numbered("ppt/slideLayouts/", "slideLayout"), "sldLayoutId");
            ensure("theme", FirstOf("ppt/theme/", "theme"));
        }
        return added;
    }

    // Sources whose relationships must exist even where no relationships member was found.
    std::vector<std::string> NeedRelationships() const
    {
        std::vector<std::string> sources { "", plan.MainPart };
        if (plan.Family == "powerpoint") {
            for (const auto& [folder, stem] :
                { std::pair { "ppt/slides/", "slide" }, std::pair { "ppt/slideLayouts/", "slideLayout" },
                    std::pair { "ppt/slideMasters/", "slideMaster" } }) {
                for (const std::string& name : Numbered(folder, stem))
                    sources.push_back(name);
            }
        }
        return sources;
    }

    void FixRelationships()
    {
        std::map<std::string, std::string> relsOf; // source -> relationships member name
        for (const PackagePart& p : parts) {
            std::string source;
            if (!Relationships::SourceOf(p.Name, source))
                continue;
            if (!source.empty() && !Exists(source)) {
                droppedRels.insert(p.Name);
                continue;
            }
            relsOf[source] = p.Name;
        }
        for (const std::string& source : NeedRelationships()) {
            if (!relsOf.count(source))
                relsOf[source] = Relationships::PartOf(source);
        }
        for (const auto& item : relsOf) {
            const std::string& source = item.first;
            const std::string& relsName = item.second;
            const auto index = IndexOf(relsName);
            const bool isFresh = fresh.count(source) != 0;
            const bool whole = index && parts[*index].State == PartState::Whole && !isFresh;
            Relationships rels;
            if (index && !isFresh) {
                if (const auto t = text(*index))
                    rels = Relationships::Parse(*t);
            }
            bool changed = !whole;
            auto& items = rels.Items();
            const size_t before = items.size();
            items.erase(std::remove_if(items.begin(), items.end(),
                            [&](const Relationship& r) {
                                return !r.External && !Exists(Relationships::Resolve(source, r.Target));
                            }),
                items.end());
            changed = changed || items.size() != before;
            if (!whole)
                AddExpected(source, rels);
            if (!changed)
                continue;
            if (!index && items.empty())
                continue;
            written[relsName] = rels.Serialize();
            plan.Rebuilt.push_back(relsName);
            if (!source.empty() && IsXml(source) && !created.count(source)) {
                XmlReferenceFilter filter { true, {} };
                for (const Relationship& r : items)
                    filter.Known.insert(r.Id);
                filters[source] = std::move(filter);
            }
        }
    }

    std::optional<std::string> FixContentTypes()
    {
        const auto index = IndexOf(kContentTypes);
        std::optional<ContentTypes> original;
        if (index) {
            if (const auto t = text(*index))
                original = ContentTypes::Parse(*t);
            if (original && original->Overrides().empty() && original->TypeOf("a.xml").empty())
                original.reset();
        }
        ContentTypes types = original ? *original : ContentTypes {};
        bool changed = !original || parts[*index].State != PartState::Whole;
        for (const std::string_view ext : { "rels", "xml" }) {
            if (!types.HasDefault(ext)) {
                types.SetDefault(ext, ContentTypes::ForExtension(ext));
                changed = true;
            }
        }
        std::set<std::string> finalNames;
        for (const PackagePart& p : parts) {
            if (p.State != PartState::Lost && !droppedRels.count(p.Name) && !p.Name.ends_with('/')
                && p.Name != kContentTypes)
                finalNames.insert(p.Name);
        }
        for (const auto& [name, bytes] : created)
            finalNames.insert(name);
        for (const auto& [name, bytes] : written)
            finalNames.insert(name);
        std::set<std::string> lowerNames;
        for (const std::string& n : finalNames)
            lowerNames.insert(Lower(n));
        std::vector<std::string> stale;
        for (const auto& [key, value] : types.Overrides()) {
            if (!lowerNames.count(key))
                stale.push_back(value.first);
        }
        for (const std::string& name : stale)
            types.RemoveOverride(name);
        changed = changed || !stale.empty();
        for (const std::string& name : finalNames) {
            const std::string type = types.TypeOf(name);
            const std::string known = ContentTypes::WellKnown(name, plan.MainPart, format->MainType);
            if (name == plan.MainPart && type != format->MainType) {
                types.SetOverride(name, format->MainType);
                changed = true;
            } else if (type.empty() || (!original && !known.empty() && type != known)) {
                changed = true;
                if (!known.empty()) {
                    types.SetOverride(name, known);
                    continue;
                }
                const size_t dot = name.rfind('.');
                const std::string ext = dot == std::string::npos || name.find('/', dot) != std::string::npos
                    ? std::string()
                    : name.substr(dot + 1);
                std::string byExtension = ContentTypes::ForExtension(ext);
                if (ext.empty())
                    types.SetOverride(name, "application/octet-stream");
                else
                    types.SetDefault(ext, byExtension.empty() ? "application/octet-stream" : byExtension);
            }
        }
        if (!changed)
            return std::nullopt;
        plan.Rebuilt.emplace_back(kContentTypes);
        return types.Serialize();
    }

    void Order(std::optional<std::string> contentTypes)
    {
        std::set<std::string> placed;
        const auto write = [&](const std::string& name, std::string bytes, size_t source) {
            PlannedPart part;
            part.Name = name;
            part.How = PlannedPart::Action::Write;
            part.Source = source;
            part.Bytes = std::move(bytes);
            plan.Parts.push_back(std::move(part));
            placed.insert(name);
        };
        if (contentTypes && !IndexOf(kContentTypes))
            write(std::string(kContentTypes), *contentTypes, static_cast<size_t>(-1));
        for (size_t i = 0; i < parts.size(); ++i) {
            const PackagePart& p = parts[i];
            if (p.State == PartState::Lost) {
                plan.Lost.push_back(p.Name);
                continue;
            }
            if (droppedRels.count(p.Name)) {
                plan.Lost.push_back(p.Name);
                continue;
            }
            if (placed.count(p.Name))
                continue;
            if (p.Name == kContentTypes && contentTypes) {
                write(p.Name, *contentTypes, i);
                continue;
            }
            if (const auto it = written.find(p.Name); it != written.end()) {
                write(p.Name, it->second, i);
                continue;
            }
            if (p.State == PartState::Partial)
                plan.Damaged.push_back(p.Name);
            PlannedPart part;
            part.Name = p.Name;
            part.Source = i;
            const auto filter = filters.find(p.Name);
            if (IsXml(p.Name) && (p.State == PartState::Partial || filter != filters.end())) {
                part.How = PlannedPart::Action::Close;
                part.Kind = XmlPartShape::KindOfPart(p.Name, plan.MainPart);
                if (filter != filters.end())
                    part.Filter = filter->second;
            } else if (p.State == PartState::Partial) {
                part.How = PlannedPart::Action::Recode;
            }
            plan.Parts.push_back(std::move(part));
            placed.insert(p.Name);
        }
        for (const auto& [name, bytes] : created)
            write(name, bytes, static_cast<size_t>(-1));
        for (const auto& [name, bytes] : written) {
            if (!placed.count(name))
                write(name, bytes, static_cast<size_t>(-1));
        }
    }
};

} // namespace

std::string_view PackageRules::FolderOf(const std::vector<std::string>& names)
{
    size_t counts[3] = {};
    constexpr std::string_view folders[3] = { "word/", "xl/", "ppt/" };
    for (const std::string& name : names) {
        for (int f = 0; f < 3; ++f)
            counts[f] += name.starts_with(folders[f]) ? 1 : 0;
    }
    const size_t best = std::max_element(counts, counts + 3) - counts;
    return counts[best] ? folders[best] : std::string_view();
}

PackagePlan PackageRules::Plan(
    const std::vector<PackagePart>& parts, const PartText& text, std::string_view extension)
{
    Planner planner { parts, text, {}, nullptr, {}, {}, {}, {}, {}, {} };
    for (size_t i = 0; i < parts.size(); ++i) {
        if (parts[i].State != PartState::Lost)
            planner.existing[Lower(parts[i].Name)] = i;
    }
    if (!planner.Identify(extension))
        return {};
    planner.CreateRequired();
    planner.FixRelationships();
    planner.Order(planner.FixContentTypes());
    return std::move(planner.plan);
}

} // namespace repair
