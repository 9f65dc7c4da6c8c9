// SPDX-License-Identifier: MIT
#include "VersionResourceWriter.h"

#include <sstream>

namespace {

std::u16string toUtf16(const std::string& s)
{
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = std::uint8_t(s[i]);
        char32_t cp = c;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra)
            cp = c & (0x3F >> extra);
        ++i;
        for (; extra > 0 && i < s.size(); --extra, ++i)
            cp = (cp << 6) | (std::uint8_t(s[i]) & 0x3F);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

struct Out {
    std::vector<std::uint8_t> b;
    void u16(std::uint16_t v)
    {
        b.push_back(std::uint8_t(v));
        b.push_back(std::uint8_t(v >> 8));
    }
    void u32(std::uint32_t v)
    {
        u16(std::uint16_t(v));
        u16(std::uint16_t(v >> 16));
    }
    void text(const std::u16string& s)
    {
        for (char16_t c : s)
            u16(c);
        u16(0);
    }
    void pad()
    {
        while (b.size() % 4)
            b.push_back(0);
    }
    void patch16(std::size_t at, std::uint16_t v)
    {
        b[at] = std::uint8_t(v);
        b[at + 1] = std::uint8_t(v >> 8);
    }
};

// Opens a node; returns its start so close() can fill the length.
std::size_t open(Out& o, const std::string& key, std::uint16_t valueLength, std::uint16_t type)
{
    o.pad();
    const std::size_t at = o.b.size();
    o.u16(0);
    o.u16(valueLength);
    o.u16(type);
    o.text(toUtf16(key));
    o.pad();
    return at;
}

void close(Out& o, std::size_t at)
{
    o.patch16(at, std::uint16_t(o.b.size() - at));
}

std::uint32_t packed(const std::array<std::uint16_t, 4>& v, int half)
{
    return (std::uint32_t(v[half * 2]) << 16) | v[half * 2 + 1];
}

std::string hex4(std::uint16_t v)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s(4, '0');
    for (int i = 3; i >= 0; --i, v >>= 4)
        s[i] = digits[v & 0xF];
    return s;
}

std::string trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

bool parseQuad(const std::string& s, std::array<std::uint16_t, 4>& v)
{
    std::istringstream in(s);
    std::string part;
    int i = 0;
    while (std::getline(in, part, '.')) {
        if (i == 4)
            return false;
        try {
            const unsigned long n = std::stoul(part);
            if (n > 0xFFFF)
                return false;
            v[i++] = std::uint16_t(n);
        } catch (...) {
            return false;
        }
    }
    return i == 4;
}

} // namespace

std::vector<std::uint8_t> WriteVersionResource(const TVersionDefinition& def)
{
    Out o;
    const std::size_t root = open(o, "VS_VERSION_INFO", 52, 0);
    o.u32(0xFEEF04BD);
    o.u32(0x00010000);
    o.u32(packed(def.fileVersion, 0));
    o.u32(packed(def.fileVersion, 1));
    o.u32(packed(def.productVersion, 0));
    o.u32(packed(def.productVersion, 1));
    o.u32(def.fileFlagsMask);
    o.u32(def.fileFlags);
    o.u32(def.fileOS);
    o.u32(def.fileType);
    o.u32(def.fileSubtype);
    o.u32(def.fileDateMS);
    o.u32(def.fileDateLS);

    const std::size_t sfi = open(o, "StringFileInfo", 0, 1);
    const std::size_t table = open(o, hex4(def.language) + hex4(def.codePage), 0, 1);
    for (const auto& [key, value] : def.strings) {
        const std::u16string v = toUtf16(value);
        const std::size_t s = open(o, key, std::uint16_t(v.size() + 1), 1);
        o.text(v);
        close(o, s);
    }
    close(o, table);
    close(o, sfi);

    const std::size_t vfi = open(o, "VarFileInfo", 0, 1);
    const std::size_t var = open(o, "Translation", 4, 0);
    o.u16(def.language);
    o.u16(def.codePage);
    close(o, var);
    close(o, vfi);
    close(o, root);
    return o.b;
}

std::string ParseVersionDefinition(const std::string& text, TVersionDefinition& def)
{
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            return "line " + std::to_string(number) + ": no '='";
        const std::string key = trim(line.substr(0, eq));
        const std::string value = trim(line.substr(eq + 1));
        bool ok = true;
        try {
            if (key == "FILEVERSION")
                ok = parseQuad(value, def.fileVersion);
            else if (key == "PRODUCTVERSION")
                ok = parseQuad(value, def.productVersion);
            else if (key == "FILEFLAGSMASK")
                def.fileFlagsMask = std::uint32_t(std::stoul(value, nullptr, 0));
            else if (key == "FILEFLAGS")
                def.fileFlags = std::uint32_t(std::stoul(value, nullptr, 0));
            else if (key == "FILEOS")
                def.fileOS = std::uint32_t(std::stoul(value, nullptr, 0));
            else if (key == "FILETYPE")
                def.fileType = std::uint32_t(std::stoul(value, nullptr, 0));
            else if (key == "FILESUBTYPE")
                def.fileSubtype = std::uint32_t(std::stoul(value, nullptr, 0));
            else if (key == "LANGUAGE")
                def.language = std::uint16_t(std::stoul(value, nullptr, 16));
            else if (key == "CODEPAGE")
                def.codePage = std::uint16_t(std::stoul(value, nullptr, 16));
            else
                def.strings.emplace_back(key, value);
        } catch (...) {
            ok = false;
        }
        if (!ok)
            return "line " + std::to_string(number) + ": bad value for " + key;
    }
    return {};
}

std::string VersionDefinitionToRc(const TVersionDefinition& def)
{
    auto quad = [](const std::array<std::uint16_t, 4>& v) {
        return std::to_string(v[0]) + "," + std::to_string(v[1]) + "," + std::to_string(v[2]) + ","
            + std::to_string(v[3]);
    };
    auto quoted = [](const std::string& s) {
        std::string q = "\"";
        for (char c : s)
            q += c == '"' ? std::string("\"\"") : std::string(1, c);
        return q + "\\0\"";
    };
    std::ostringstream rc;
    rc << "// Generated from the version definition; edit that file instead.\n"
       << "#pragma code_page(65001)\n"
       << "1 VERSIONINFO\n"
       << "FILEVERSION " << quad(def.fileVersion) << "\n"
       << "PRODUCTVERSION " << quad(def.productVersion) << "\n"
       << "FILEFLAGSMASK 0x" << std::hex << def.fileFlagsMask << "\n"
       << "FILEFLAGS 0x" << def.fileFlags << "\n"
       << "FILEOS 0x" << def.fileOS << "\n"
       << "FILETYPE 0x" << def.fileType << "\n"
       << "FILESUBTYPE 0x" << def.fileSubtype << std::dec << "\n"
       << "BEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"" << hex4(def.language)
       << hex4(def.codePage) << "\"\n    BEGIN\n";
    for (const auto& [key, value] : def.strings)
        rc << "      VALUE \"" << key << "\", " << quoted(value) << "\n";
    rc << "    END\n  END\n  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x"
       << hex4(def.language) << ", " << std::stoul(hex4(def.codePage), nullptr, 16) << "\n  END\nEND\n";
    return rc.str();
}
