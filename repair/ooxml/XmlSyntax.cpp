// SPDX-License-Identifier: MIT
#include "XmlSyntax.h"

#include <cstdint>

namespace repair {

namespace {

// Decodes one UTF-8 sequence at `i`; returns false for malformed, overlong or surrogate sequences.
bool DecodeUtf8(std::string_view s, size_t& i, uint32_t& cp)
{
    const auto b0 = static_cast<uint8_t>(s[i]);
    if (b0 < 0x80) {
        cp = b0;
        ++i;
        return true;
    }
    size_t len = 0;
    uint32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return false;
    }
    if (i + len > s.size())
        return false;
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<uint8_t>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    i += len;
    return true;
}

bool IsChar(uint32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

bool IsNameStart(uint32_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || (c >= 0xC0 && c <= 0xD6)
        || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D)
        || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F)
        || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF)
        || (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(uint32_t c)
{
    return IsNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7
        || (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

bool IsNCName(std::string_view s)
{
    if (s.empty())
        return false;
    size_t i = 0;
    uint32_t c = 0;
    if (!DecodeUtf8(s, i, c) || !IsNameStart(c))
        return false;
    while (i < s.size()) {
        if (!DecodeUtf8(s, i, c) || !IsNameChar(c))
            return false;
    }
    return true;
}

// "&...;" at `i`: a predefined entity or a character reference to an allowed character.
bool SkipReference(std::string_view s, size_t& i)
{
    const size_t semi = s.find(';', i);
    if (semi == std::string_view::npos || semi - i > 12)
        return false;
    const std::string_view body = s.substr(i + 1, semi - i - 1);
    i = semi + 1;
    if (body == "lt" || body == "gt" || body == "amp" || body == "apos" || body == "quot")
        return true;
    if (body.size() < 2 || body[0] != '#')
        return false;
    const bool hex = body[1] == 'x';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty())
        return false;
    uint32_t value = 0;
    for (char ch : digits) {
        uint32_t d = 0;
        if (ch >= '0' && ch <= '9')
            d = ch - '0';
        else if (hex && ch >= 'a' && ch <= 'f')
            d = ch - 'a' + 10;
        else if (hex && ch >= 'A' && ch <= 'F')
            d = ch - 'A' + 10;
        else
            return false;
        value = value * (hex ? 16 : 10) + d;
        if (value > 0x10FFFF)
            return false;
    }
    return IsChar(value);
}

// Character data or an attribute value (quote excluded): `quote` is the delimiter that may not appear.
bool IsCharData(std::string_view s, char quote)
{
    size_t i = 0;
    while (i < s.size()) {
        const char ch = s[i];
        if (ch == '<' || (quote && ch == quote))
            return false;
        if (ch == '&') {
            if (!SkipReference(s, i))
                return false;
            continue;
        }
        if (!quote && ch == '>' && i >= 2 && s[i - 1] == ']' && s[i - 2] == ']')
            return false;
        uint32_t c = 0;
        if (!DecodeUtf8(s, i, c) || !IsChar(c))
            return false;
    }
    return true;
}

} // namespace

bool XmlSyntax::IsQName(std::string_view name)
{
    const size_t colon = name.find(':');
    if (colon == std::string_view::npos)
        return IsNCName(name);
    return IsNCName(name.substr(0, colon)) && IsNCName(name.substr(colon + 1));
}

bool XmlSyntax::IsText(std::string_view text)
{
    return IsCharData(text, 0);
}

bool XmlSyntax::IsChars(std::string_view text)
{
    size_t i = 0;
    uint32_t c = 0;
    while (i < text.size()) {
        if (!DecodeUtf8(text, i, c) || !IsChar(c))
            return false;
    }
    return true;
}

std::string_view XmlSyntax::PrefixOf(std::string_view qname)
{
    const size_t colon = qname.find(':');
    return colon == std::string_view::npos ? std::string_view() : qname.substr(0, colon);
}

std::string_view XmlSyntax::LocalOf(std::string_view qname)
{
    const size_t colon = qname.find(':');
    return colon == std::string_view::npos ? qname : qname.substr(colon + 1);
}

bool XmlSyntax::ParseTag(std::string_view token, XmlTag& tag)
{
    tag = {};
    if (token.size() < 3 || token.front() != '<' || token.back() != '>')
        return false;
    size_t i = 1;
    const size_t stop = token.size() - 1;
    if (token[i] == '/') {
        tag.End = true;
        ++i;
    }
    const auto nameEnd = [&](size_t from) {
        while (from < stop && !IsSpace(token[from]) && token[from] != '/' && token[from] != '='
            && token[from] != '>')
            ++from;
        return from;
    };
    size_t end = nameEnd(i);
    tag.Name = token.substr(i, end - i);
    if (!IsQName(tag.Name))
        return false;
    i = end;
    if (tag.End) {
        while (i < stop && IsSpace(token[i]))
            ++i;
        return i == stop;
    }
    while (true) {
        const size_t begin = i;
        while (i < stop && IsSpace(token[i]))
            ++i;
        if (i == stop)
            return true;
        if (token[i] == '/') {
            tag.SelfClosing = true;
            return i + 1 == stop;
        }
        if (i == begin)
            return false; // attributes are separated by white space
        end = nameEnd(i);
        XmlAttribute attribute;
        attribute.Begin = begin;
        attribute.Name = token.substr(i, end - i);
        if (!IsQName(attribute.Name))
            return false;
        i = end;
        while (i < stop && IsSpace(token[i]))
            ++i;
        if (i == stop || token[i] != '=')
            return false;
        ++i;
        while (i < stop && IsSpace(token[i]))
            ++i;
        if (i == stop || (token[i] != '"' && token[i] != '\''))
            return false;
        const char quote = token[i];
        const size_t close = token.find(quote, i + 1);
        if (close == std::string_view::npos || close >= stop)
            return false;
        attribute.Value = token.substr(i + 1, close - i - 1);
        if (!IsCharData(attribute.Value, quote))
            return false;
        i = close + 1;
        attribute.End = i;
        for (const XmlAttribute& other : tag.Attributes) {
            if (other.Name == attribute.Name)
                return false;
        }
        tag.Attributes.push_back(attribute);
    }
}

} // namespace repair
