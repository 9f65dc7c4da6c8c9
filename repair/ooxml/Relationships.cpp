// SPDX-License-Identifier: MIT
#include "Relationships.h"

#include "XmlSyntax.h"

#include <set>

namespace repair {

namespace {

std::string Unescape(std::string_view value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '&') {
            out.push_back(value[i]);
            continue;
        }
        const size_t semi = value.find(';', i);
        const std::string_view ref = value.substr(i + 1, semi - i - 1);
        if (ref == "amp")
            out.push_back('&');
        else if (ref == "lt")
            out.push_back('<');
        else if (ref == "gt")
            out.push_back('>');
        else if (ref == "quot")
            out.push_back('"');
        else if (ref == "apos")
            out.push_back('\'');
        else if (ref.size() > 1 && ref[0] == '#') {
            const bool hex = ref[1] == 'x';
            const unsigned long cp = std::stoul(std::string(ref.substr(hex ? 2 : 1)), nullptr, hex ? 16 : 10);
            if (cp < 0x80) {
                out.push_back(static_cast<char>(cp));
            } else if (cp < 0x800) {
                out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
                out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
            } else if (cp < 0x10000) {
                out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
                out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
            } else {
                out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
                out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
            }
        }
        i = semi;
    }
    return out;
}

std::string Escape(std::string_view value)
{
    std::string out;
    for (char c : value) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::string PercentDecode(std::string_view s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const auto hex = [](char c) {
            return (c >= '0' && c <= '9') ? c - '0'
                : (c >= 'a' && c <= 'f')  ? c - 'a' + 10
                : (c >= 'A' && c <= 'F')  ? c - 'A' + 10
                                          : -1;
        };
        if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2])));
            i += 2;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

std::string_view Folder(std::string_view part)
{
    const size_t slash = part.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : part.substr(0, slash + 1);
}

} // namespace

Relationships Relationships::Parse(std::string_view xml)
{
    Relationships result;
    std::set<std::string> ids;
    XmlSyntax::ForEachStartTag(xml, [&](const XmlTag& tag) {
        if (XmlSyntax::LocalOf(tag.Name) != "Relationship")
            return;
        Relationship r;
        for (const XmlAttribute& a : tag.Attributes) {
            if (a.Name == "Id")
                r.Id = Unescape(a.Value);
            else if (a.Name == "Type")
                r.Type = Unescape(a.Value);
            else if (a.Name == "Target")
                r.Target = Unescape(a.Value);
            else if (a.Name == "TargetMode")
                r.External = a.Value == "External";
        }
        if (!r.Id.empty() && !r.Type.empty() && ids.insert(r.Id).second)
            result.m_items.push_back(std::move(r));
    });
    return result;
}

std::string Relationships::Serialize() const
{
    std::string xml
        = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
          "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (const Relationship& r : m_items) {
        xml += "<Relationship Id=\"" + Escape(r.Id) + "\" Type=\"" + Escape(r.Type) + "\" Target=\""
            + Escape(r.Target) + "\"" + (r.External ? " TargetMode=\"External\"" : "") + "/>";
    }
    return xml + "</Relationships>";
}

std::string Relationships::Add(const std::string& type, const std::string& target)
{
    for (int n = static_cast<int>(m_items.size()) + 1;; ++n) {
        std::string id = "rId" + std::to_string(n);
        bool used = false;
        for (const Relationship& r : m_items)
            used = used || r.Id == id;
        if (!used) {
            m_items.push_back({ id, type, target, false });
            return id;
        }
    }
}

const Relationship* Relationships::FindType(std::string_view typeSuffix) const
{
    for (const Relationship& r : m_items) {
        if (std::string_view(r.Type).ends_with(typeSuffix))
            return &r;
    }
    return nullptr;
}

std::string Relationships::PartOf(std::string_view source)
{
    const std::string_view folder = Folder(source);
    return std::string(folder) + "_rels/" + std::string(source.substr(folder.size())) + ".rels";
}

bool Relationships::SourceOf(std::string_view relsPart, std::string& source)
{
    if (!relsPart.ends_with(".rels"))
        return false;
    const std::string_view folder = Folder(relsPart);
    if (!folder.ends_with("_rels/") || (folder.size() > 6 && folder[folder.size() - 7] != '/'))
        return false;
    const std::string_view file = relsPart.substr(folder.size(), relsPart.size() - folder.size() - 5);
    source = std::string(folder.substr(0, folder.size() - 6)) + std::string(file);
    return true;
}

std::string Relationships::Resolve(std::string_view source, std::string_view target)
{
    std::string t = PercentDecode(target.substr(0, target.find('#')));
    std::string path = t.starts_with('/') ? t.substr(1) : std::string(Folder(source)) + t;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t slash = std::min(path.find('/', start), path.size());
        const std::string piece = path.substr(start, slash - start);
        if (piece == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!piece.empty() && piece != ".") {
            parts.push_back(piece);
        }
        start = slash + 1;
    }
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : "/") + p;
    return out;
}

std::string Relationships::Relative(std::string_view source, std::string_view part)
{
    const std::string_view folder = Folder(source);
    if (part.starts_with(folder))
        return std::string(part.substr(folder.size()));
    if (folder.empty())
        return std::string(part);
    return "/" + std::string(part);
}

std::string Relationships::TypeUri(std::string_view name)
{
    if (name == "core-properties" || name == "thumbnail")
        return "http://schemas.openxmlformats.org/package/2006/relationships/metadata/" + std::string(name);
    if (name == "vbaProject")
        return "http://schemas.microsoft.com/office/2006/relationships/vbaProject";
    return "http://schemas.openxmlformats.org/officeDocument/2006/relationships/" + std::string(name);
}

} // namespace repair
