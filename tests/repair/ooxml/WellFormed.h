// SPDX-License-Identifier: MIT
#pragma once

// A small, independent check that a text is a well-formed XML document with every prefix bound: used to
// judge the closer's output in tests and in the fuzz target, so it shares no code with the closer.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace wellformed {

inline bool Utf8Chars(std::string_view s)
{
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<uint8_t>(s[i]);
        uint32_t cp = 0;
        size_t n = 0;
        if (b < 0x80) {
            cp = b;
            n = 1;
        } else if (b >= 0xC2 && b < 0xE0) {
            cp = b & 0x1F;
            n = 2;
        } else if (b >= 0xE0 && b < 0xF0) {
            cp = b & 0x0F;
            n = 3;
        } else if (b >= 0xF0 && b < 0xF5) {
            cp = b & 0x07;
            n = 4;
        } else {
            return false;
        }
        if (i + n > s.size())
            return false;
        for (size_t k = 1; k < n; ++k) {
            if ((static_cast<uint8_t>(s[i + k]) & 0xC0) != 0x80)
                return false;
            cp = cp << 6 | (s[i + k] & 0x3F);
        }
        if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF))
            || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF
            || (cp < 0x20 && cp != 9 && cp != 10 && cp != 13))
            return false;
        i += n;
    }
    return true;
}

inline bool NameChar(char c, bool first)
{
    const auto u = static_cast<uint8_t>(c);
    return u >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':'
        || (!first && ((c >= '0' && c <= '9') || c == '-' || c == '.'));
}

inline bool References(std::string_view s)
{
    for (size_t i = s.find('&'); i != std::string_view::npos; i = s.find('&', i + 1)) {
        const size_t semi = s.find(';', i);
        if (semi == std::string_view::npos)
            return false;
        const std::string_view r = s.substr(i + 1, semi - i - 1);
        if (r == "lt" || r == "gt" || r == "amp" || r == "apos" || r == "quot")
            continue;
        if (r.size() < 2 || r[0] != '#')
            return false;
        const bool hex = r[1] == 'x';
        uint64_t v = 0;
        if (r.size() == (hex ? 2u : 1u))
            return false;
        for (char c : r.substr(hex ? 2 : 1)) {
            int d = (c >= '0' && c <= '9')                      ? c - '0'
                : hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10
                                                                : -1;
            if (d < 0)
                return false;
            v = v * (hex ? 16 : 10) + d;
            if (v > 0x10FFFF)
                return false;
        }
        if (v == 0 || (v < 0x20 && v != 9 && v != 10 && v != 13) || (v >= 0xD800 && v <= 0xDFFF)
            || v == 0xFFFE || v == 0xFFFF)
            return false;
    }
    return true;
}

// Returns an empty string when `xml` is well-formed, else what is wrong.
inline std::string Check(std::string_view xml)
{
    if (!Utf8Chars(xml))
        return "bad character";
    struct Open {
        std::string name;
        std::map<std::string, bool> declared;
    };
    std::vector<Open> stack;
    bool rootSeen = false;
    size_t i = 0;
    if (xml.starts_with("<?xml")) {
        i = xml.find("?>");
        if (i == std::string_view::npos)
            return "declaration";
        i += 2;
    }
    const auto bound = [&](std::string_view qname, const std::map<std::string, bool>& own) {
        const size_t colon = qname.find(':');
        if (colon == std::string_view::npos)
            return true;
        const std::string prefix(qname.substr(0, colon));
        if (prefix == "xml" || own.count(prefix))
            return true;
        for (const Open& o : stack) {
            if (o.declared.count(prefix))
                return true;
        }
        return false;
    };
    while (i < xml.size()) {
        if (xml[i] != '<') {
            const size_t next = std::min(xml.find('<', i), xml.size());
            const std::string_view text = xml.substr(i, next - i);
            if (stack.empty() && text.find_first_not_of(" \t\r\n") != std::string_view::npos)
                return "text outside the root";
            if (!References(text) || text.find("]]>") != std::string_view::npos)
                return "text";
            i = next;
            continue;
        }
        if (xml.substr(i).starts_with("<!--")) {
            const size_t end = xml.find("-->", i + 4);
            if (end == std::string_view::npos
                || xml.substr(i + 4, end - i - 4).find("--") != std::string_view::npos)
                return "comment";
            i = end + 3;
            continue;
        }
        if (xml.substr(i).starts_with("<![CDATA[")) {
            const size_t end = xml.find("]]>", i);
            if (end == std::string_view::npos || stack.empty())
                return "cdata";
            i = end + 3;
            continue;
        }
        if (xml.substr(i).starts_with("<?")) {
            const size_t end = xml.find("?>", i);
            const std::string_view target = xml.substr(i + 2, end - i - 2);
            if (end == std::string_view::npos || target == "xml" || target.starts_with("xml ")
                || target.starts_with("xml\t") || target.starts_with("xml\r") || target.starts_with("xml\n"))
                return "processing instruction";
            i = end + 2;
            continue;
        }
        const bool closing = i + 1 < xml.size() && xml[i + 1] == '/';
        size_t p = i + (closing ? 2 : 1);
        const size_t nameStart = p;
        while (p < xml.size() && NameChar(xml[p], p == nameStart))
            ++p;
        if (p == nameStart)
            return "tag name";
        const std::string name(xml.substr(nameStart, p - nameStart));
        if (closing) {
            while (p < xml.size() && std::string_view(" \t\r\n").find(xml[p]) != std::string_view::npos)
                ++p;
            if (p >= xml.size() || xml[p] != '>' || stack.empty() || stack.back().name != name)
                return "end tag " + name;
            stack.pop_back();
            i = p + 1;
            continue;
        }
        if (stack.empty() && rootSeen)
            return "second root";
        Open open { name, {} };
        std::vector<std::string> attributes;
        bool selfClosing = false;
        while (true) {
            const size_t before = p;
            while (p < xml.size() && std::string_view(" \t\r\n").find(xml[p]) != std::string_view::npos)
                ++p;
            if (p >= xml.size())
                return "open tag";
            if (xml[p] == '>' || xml.substr(p, 2) == "/>") {
                selfClosing = xml[p] == '/';
                p += selfClosing ? 2 : 1;
                break;
            }
            if (p == before)
                return "attribute separation";
            const size_t an = p;
            while (p < xml.size() && NameChar(xml[p], p == an))
                ++p;
            const std::string attribute(xml.substr(an, p - an));
            const auto space = [&] {
                while (p < xml.size() && std::string_view(" \t\r\n").find(xml[p]) != std::string_view::npos)
                    ++p;
            };
            space();
            if (attribute.empty() || p >= xml.size() || xml[p] != '=')
                return "attribute " + attribute;
            ++p;
            space();
            if (p >= xml.size() || (xml[p] != '"' && xml[p] != '\''))
                return "attribute " + attribute;
            const char q = xml[p];
            const size_t close = xml.find(q, p + 1);
            if (close == std::string_view::npos)
                return "attribute value";
            const std::string_view value = xml.substr(p + 1, close - p - 1);
            if (value.find('<') != std::string_view::npos || !References(value))
                return "attribute value";
            for (const std::string& a : attributes) {
                if (a == attribute)
                    return "attribute twice";
            }
            attributes.push_back(attribute);
            if (attribute.starts_with("xmlns:"))
                open.declared[attribute.substr(6)] = true;
            p = close + 1;
        }
        if (!bound(name, open.declared))
            return "unbound prefix " + name;
        for (const std::string& a : attributes) {
            if (!a.starts_with("xmlns") && !bound(a, open.declared))
                return "unbound prefix " + a;
        }
        rootSeen = true;
        if (!selfClosing)
            stack.push_back(std::move(open));
        i = p;
    }
    if (!rootSeen)
        return "no root";
    return stack.empty() ? std::string() : "unclosed " + stack.back().name;
}

} // namespace wellformed
