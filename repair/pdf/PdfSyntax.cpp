// SPDX-License-Identifier: MIT
#include "PdfSyntax.h"

#include <charconv>

namespace repair {

namespace {

constexpr int kMaxDepth = 64;

bool IsNumber(std::string_view t)
{
    if (t.empty())
        return false;
    bool digit = false;
    for (size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9')
            digit = true;
        else if (!(c == '.' || ((c == '-' || c == '+') && i == 0)))
            return false;
    }
    return digit;
}

bool IsUnsigned(std::string_view t, uint64_t& value, uint64_t max)
{
    if (t.empty() || t.size() > 10)
        return false;
    value = 0;
    for (char c : t) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + uint64_t(c - '0');
    }
    return value <= max;
}

} // namespace

const PdfValue* PdfValue::Get(std::string_view key) const
{
    for (const auto& [k, v] : entries)
        if (k == key)
            return &v;
    return nullptr;
}

PdfValue* PdfValue::Get(std::string_view key)
{
    for (auto& [k, v] : entries)
        if (k == key)
            return &v;
    return nullptr;
}

void PdfValue::Set(std::string_view key, PdfValue value)
{
    if (PdfValue* v = Get(key))
        *v = std::move(value);
    else
        entries.push_back({ std::string(key), std::move(value) });
}

void PdfValue::Erase(std::string_view key)
{
    for (auto it = entries.begin(); it != entries.end(); ++it)
        if (it->first == key) {
            entries.erase(it);
            return;
        }
}

int64_t PdfValue::Integer(int64_t fallback) const
{
    if (kind != Kind::Atom)
        return fallback;
    int64_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size() ? v : fallback;
}

PdfValue PdfValue::MakeAtom(std::string text)
{
    PdfValue v;
    v.kind = Kind::Atom;
    v.text = std::move(text);
    return v;
}

PdfValue PdfValue::MakeRef(uint32_t num, uint16_t gen)
{
    PdfValue v;
    v.kind = Kind::Ref;
    v.num = num;
    v.gen = gen;
    return v;
}

void PdfParser::SkipSpace()
{
    while (m_pos < m_text.size()) {
        const uint8_t c = uint8_t(m_text[m_pos]);
        if (IsSpace(c)) {
            ++m_pos;
        } else if (c == '%') {
            while (m_pos < m_text.size() && m_text[m_pos] != '\n' && m_text[m_pos] != '\r')
                ++m_pos;
        } else {
            break;
        }
    }
}

std::string_view PdfParser::Keyword()
{
    SkipSpace();
    const size_t start = m_pos;
    while (m_pos < m_text.size() && IsRegular(uint8_t(m_text[m_pos])))
        ++m_pos;
    return m_text.substr(start, m_pos - start);
}

PdfParser::Result PdfParser::Parse(PdfValue& out)
{
    return ParseAt(out, 0);
}

PdfParser::Result PdfParser::ParseAt(PdfValue& out, int depth)
{
    out = PdfValue();
    if (depth > kMaxDepth)
        return Result::Bad;
    SkipSpace();
    if (m_pos >= m_text.size())
        return Result::Truncated;
    const char c = m_text[m_pos];
    if (c == '/') {
        const size_t start = m_pos++;
        while (m_pos < m_text.size() && IsRegular(uint8_t(m_text[m_pos])))
            ++m_pos;
        if (m_pos >= m_text.size())
            return Result::Truncated;
        out.kind = PdfValue::Kind::Name;
        out.text = std::string(m_text.substr(start, m_pos - start));
        return Result::Ok;
    }
    if (c == '(')
        return ReadString(out);
    if (c == '<') {
        if (m_pos + 1 >= m_text.size())
            return Result::Truncated;
        if (m_text[m_pos + 1] != '<')
            return ReadHex(out);
        m_pos += 2;
        out.kind = PdfValue::Kind::Dict;
        for (;;) {
            SkipSpace();
            if (m_pos + 1 >= m_text.size())
                return Result::Truncated;
            if (m_text[m_pos] == '>') {
                if (m_text[m_pos + 1] != '>')
                    return Result::Bad;
                m_pos += 2;
                return Result::Ok;
            }
            PdfValue key;
            Result r = ParseAt(key, depth + 1);
            if (r != Result::Ok)
                return r;
            if (key.kind != PdfValue::Kind::Name)
                return Result::Bad;
            PdfValue value;
            r = ParseAt(value, depth + 1);
            if (r != Result::Ok)
                return r;
            out.entries.push_back({ std::move(key.text), std::move(value) });
        }
    }
    if (c == '[') {
        ++m_pos;
        out.kind = PdfValue::Kind::Array;
        for (;;) {
            SkipSpace();
            if (m_pos >= m_text.size())
                return Result::Truncated;
            if (m_text[m_pos] == ']') {
                ++m_pos;
                return Result::Ok;
            }
            PdfValue item;
            const Result r = ParseAt(item, depth + 1);
            if (r != Result::Ok)
                return r;
            out.items.push_back(std::move(item));
        }
    }
    if (!IsRegular(uint8_t(c)))
        return Result::Bad;
    const size_t start = m_pos;
    const std::string_view word = Keyword();
    // A word that reaches the end of the text may continue beyond it.
    if (m_pos >= m_text.size())
        return Result::Truncated;
    if (word == "null")
        return Result::Ok;
    if (word == "true" || word == "false") {
        out = PdfValue::MakeAtom(std::string(word));
        return Result::Ok;
    }
    if (!IsNumber(word))
        return Result::Bad;
    uint64_t num = 0;
    if (IsUnsigned(word, num, 0xffffffffu)) {
        // "N G R" is a reference; anything else leaves the number alone.
        const size_t after = m_pos;
        const std::string_view gen = Keyword();
        uint64_t g = 0;
        if (IsUnsigned(gen, g, 65535)) {
            const std::string_view r = Keyword();
            if (r == "R" && m_pos < m_text.size()) {
                out = PdfValue::MakeRef(uint32_t(num), uint16_t(g));
                return Result::Ok;
            }
            if (m_pos >= m_text.size() && (r.empty() || r == "R"))
                return Result::Truncated;
        } else if (gen.empty() && m_pos >= m_text.size()) {
            return Result::Truncated;
        }
        m_pos = after;
    }
    out = PdfValue::MakeAtom(std::string(m_text.substr(start, m_pos - start)));
    return Result::Ok;
}

PdfParser::Result PdfParser::ReadString(PdfValue& out)
{
    const size_t start = m_pos++;
    int nesting = 1;
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos++];
        if (c == '\\') {
            ++m_pos;
        } else if (c == '(') {
            ++nesting;
        } else if (c == ')' && --nesting == 0) {
            out.kind = PdfValue::Kind::String;
            out.text = std::string(m_text.substr(start, m_pos - start));
            return Result::Ok;
        }
    }
    m_pos = m_text.size();
    return Result::Truncated;
}

PdfParser::Result PdfParser::ReadHex(PdfValue& out)
{
    const size_t start = m_pos++;
    while (m_pos < m_text.size()) {
        const uint8_t c = uint8_t(m_text[m_pos++]);
        if (c == '>') {
            out.kind = PdfValue::Kind::String;
            out.text = std::string(m_text.substr(start, m_pos - start));
            return Result::Ok;
        }
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex && !IsSpace(c))
            return Result::Bad;
    }
    return Result::Truncated;
}

void WritePdfValue(const PdfValue& value, std::string& out, const std::function<bool(uint32_t)>& keep)
{
    switch (value.kind) {
    case PdfValue::Kind::Null:
        out += "null";
        break;
    case PdfValue::Kind::Atom:
    case PdfValue::Kind::Name:
    case PdfValue::Kind::String:
        out += value.text;
        break;
    case PdfValue::Kind::Ref:
        if (keep(value.num))
            out += std::to_string(value.num) + ' ' + std::to_string(value.gen) + " R";
        else
            out += "null";
        break;
    case PdfValue::Kind::Array:
        out += '[';
        for (size_t i = 0; i < value.items.size(); ++i) {
            if (i)
                out += ' ';
            WritePdfValue(value.items[i], out, keep);
        }
        out += ']';
        break;
    case PdfValue::Kind::Dict:
        out += "<<";
        for (const auto& [key, v] : value.entries) {
            out += key;
            out += ' ';
            WritePdfValue(v, out, keep);
            out += '\n';
        }
        out += ">>";
        break;
    }
}

} // namespace repair
