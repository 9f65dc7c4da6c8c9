// SPDX-License-Identifier: MIT
#include "ContentTypes.h"

#include "XmlSyntax.h"

#include <array>
#include <cctype>
#include <utility>

namespace repair {

namespace {

constexpr std::string_view kOfficeDocument = "application/vnd.openxmlformats-officedocument.";

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string Escape(std::string_view value)
{
    std::string out;
    for (char c : value) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '"')
            out += "&quot;";
        else
            out.push_back(c);
    }
    return out;
}

std::string_view Extension(std::string_view part)
{
    const size_t dot = part.rfind('.');
    const size_t slash = part.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return part.substr(dot + 1);
}

// "word/header2.xml" matches "word/header*.xml": the star stands for digits only.
bool Matches(std::string_view name, std::string_view pattern)
{
    const size_t star = pattern.find('*');
    if (star == std::string_view::npos)
        return name == pattern;
    const std::string_view head = pattern.substr(0, star);
    const std::string_view tail = pattern.substr(star + 1);
    if (name.size() < head.size() + tail.size() || !name.starts_with(head) || !name.ends_with(tail))
        return false;
    for (char c : name.substr(head.size(), name.size() - head.size() - tail.size())) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

struct Known {
    std::string_view Pattern;
    std::string_view Type; // after "application/vnd.openxmlformats-officedocument." unless it has a '/'
};

constexpr std::array<Known, 48> kKnown { {
    { "docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml" },
    { "docProps/app.xml", "extended-properties+xml" },
    { "docProps/custom.xml", "custom-properties+xml" },
    { "customXml/itemProps*.xml", "customXmlProperties+xml" },
    { "word/styles.xml", "wordprocessingml.styles+xml" },
    { "word/settings.xml", "wordprocessingml.settings+xml" },
    { "word/webSettings.xml", "wordprocessingml.webSettings+xml" },
    { "word/fontTable.xml", "wordprocessingml.fontTable+xml" },
    { "word/numbering.xml", "wordprocessingml.numbering+xml" },
    { "word/footnotes.xml", "wordprocessingml.footnotes+xml" },
    { "word/endnotes.xml", "wordprocessingml.endnotes+xml" },
    { "word/comments.xml", "wordprocessingml.comments+xml" },
    { "word/header*.xml", "wordprocessingml.header+xml" },
    { "word/footer*.xml", "wordprocessingml.footer+xml" },
    { "word/stylesWithEffects.xml", "application/vnd.ms-word.stylesWithEffects+xml" },
    { "word/glossary/document.xml", "wordprocessingml.document.glossary+xml" },
    { "word/theme/theme*.xml", "theme+xml" },
    { "xl/worksheets/sheet*.xml", "spreadsheetml.worksheet+xml" },
    { "xl/chartsheets/sheet*.xml", "spreadsheetml.chartsheet+xml" },
    { "xl/sharedStrings.xml", "spreadsheetml.sharedStrings+xml" },
    { "xl/styles.xml", "spreadsheetml.styles+xml" },
    { "xl/calcChain.xml", "spreadsheetml.calcChain+xml" },
    { "xl/theme/theme*.xml", "theme+xml" },
    { "xl/drawings/drawing*.xml", "drawing+xml" },
    { "xl/charts/chart*.xml", "drawingml.chart+xml" },
    { "xl/tables/table*.xml", "spreadsheetml.table+xml" },
    { "xl/comments*.xml", "spreadsheetml.comments+xml" },
    { "xl/externalLinks/externalLink*.xml", "spreadsheetml.externalLink+xml" },
    { "xl/pivotTables/pivotTable*.xml", "spreadsheetml.pivotTable+xml" },
    { "xl/pivotCache/pivotCacheDefinition*.xml", "spreadsheetml.pivotCacheDefinition+xml" },
    { "xl/pivotCache/pivotCacheRecords*.xml", "spreadsheetml.pivotCacheRecords+xml" },
    { "ppt/slides/slide*.xml", "presentationml.slide+xml" },
    { "ppt/slideLayouts/slideLayout*.xml", "presentationml.slideLayout+xml" },
    { "ppt/slideMasters/slideMaster*.xml", "presentationml.slideMaster+xml" },
    { "ppt/notesSlides/notesSlide*.xml", "presentationml.notesSlide+xml" },
    { "ppt/notesMasters/notesMaster*.xml", "presentationml.notesMaster+xml" },
    { "ppt/handoutMasters/handoutMaster*.xml", "presentationml.handoutMaster+xml" },
    { "ppt/theme/theme*.xml", "theme+xml" },
    { "ppt/presProps.xml", "presentationml.presProps+xml" },
    { "ppt/viewProps.xml", "presentationml.viewProps+xml" },
    { "ppt/tableStyles.xml", "presentationml.tableStyles+xml" },
    { "ppt/commentAuthors.xml", "presentationml.commentAuthors+xml" },
    { "ppt/comments/comment*.xml", "presentationml.comments+xml" },
    { "ppt/charts/chart*.xml", "drawingml.chart+xml" },
    { "word/charts/chart*.xml", "drawingml.chart+xml" },
    { "word/vbaProject.bin", "application/vnd.ms-office.vbaProject" },
    { "xl/vbaProject.bin", "application/vnd.ms-office.vbaProject" },
    { "ppt/vbaProject.bin", "application/vnd.ms-office.vbaProject" },
} };

} // namespace

ContentTypes ContentTypes::Parse(std::string_view xml)
{
    ContentTypes result;
    XmlSyntax::ForEachStartTag(xml, [&](const XmlTag& tag) {
        std::string_view key, type;
        const std::string_view local = XmlSyntax::LocalOf(tag.Name);
        for (const XmlAttribute& a : tag.Attributes) {
            if ((local == "Default" && a.Name == "Extension")
                || (local == "Override" && a.Name == "PartName"))
                key = a.Value;
            else if (a.Name == "ContentType")
                type = a.Value;
        }
        if (key.empty() || type.empty() || type.find('&') != std::string_view::npos)
            return;
        if (local == "Default")
            result.SetDefault(key, type);
        else if (local == "Override")
            result.SetOverride(key.starts_with('/') ? key.substr(1) : key, type);
    });
    return result;
}

std::string ContentTypes::Serialize() const
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">";
    for (const auto& [key, value] : m_defaults)
        xml += "<Default Extension=\"" + Escape(value.first) + "\" ContentType=\"" + Escape(value.second)
            + "\"/>";
    for (const auto& [key, value] : m_overrides)
        xml += "<Override PartName=\"/" + Escape(value.first) + "\" ContentType=\"" + Escape(value.second)
            + "\"/>";
    return xml + "</Types>";
}

std::string ContentTypes::TypeOf(std::string_view part) const
{
    if (const auto it = m_overrides.find(Lower(part)); it != m_overrides.end())
        return it->second.second;
    if (const auto it = m_defaults.find(Lower(Extension(part))); it != m_defaults.end())
        return it->second.second;
    return {};
}

void ContentTypes::SetDefault(std::string_view extension, std::string_view type)
{
    m_defaults[Lower(extension)] = { std::string(extension), std::string(type) };
}

void ContentTypes::SetOverride(std::string_view part, std::string_view type)
{
    m_overrides[Lower(part)] = { std::string(part), std::string(type) };
}

void ContentTypes::RemoveOverride(std::string_view part)
{
    m_overrides.erase(Lower(part));
}

bool ContentTypes::HasDefault(std::string_view extension) const
{
    return m_defaults.count(Lower(extension)) != 0;
}

std::string ContentTypes::WellKnown(
    std::string_view part, std::string_view mainPart, std::string_view mainType)
{
    if (part == mainPart)
        return std::string(mainType);
    for (const Known& known : kKnown) {
        if (Matches(part, known.Pattern)) {
            return known.Type.find('/') == std::string_view::npos
                ? std::string(kOfficeDocument) + std::string(known.Type)
                : std::string(known.Type);
        }
    }
    return {};
}

std::string ContentTypes::ForExtension(std::string_view extension)
{
    static const std::array<std::pair<std::string_view, std::string_view>, 16> types { {
        { "rels", "application/vnd.openxmlformats-package.relationships+xml" },
        { "xml", "application/xml" },
        { "png", "image/png" },
        { "jpeg", "image/jpeg" },
        { "jpg", "image/jpeg" },
        { "gif", "image/gif" },
        { "bmp", "image/bmp" },
        { "tif", "image/tiff" },
        { "tiff", "image/tiff" },
        { "emf", "image/x-emf" },
        { "wmf", "image/x-wmf" },
        { "svg", "image/svg+xml" },
        { "vml", "application/vnd.openxmlformats-officedocument.vmlDrawing" },
        { "bin", "application/vnd.openxmlformats-officedocument.oleObject" },
        { "wav", "audio/wav" },
        { "mp4", "video/mp4" },
    } };
    const std::string lower = Lower(extension);
    for (const auto& [ext, type] : types) {
        if (lower == ext)
            return std::string(type);
    }
    return {};
}

} // namespace repair
