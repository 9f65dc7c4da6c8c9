// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace repair {

struct PdfEntry;

// One value of a PDF object, as parsed from its text. Strings, numbers and keywords keep their source
// text, so that writing the value back gives the same bytes (encrypted strings included).
struct PdfValue {
    enum class Kind { Null, Atom, Name, String, Array, Dict, Ref };
    Kind kind = Kind::Null;
    std::string text; // Atom (number, true, false), Name (with its '/'), String (with its delimiters)
    uint32_t num = 0; // Ref
    uint16_t gen = 0; // Ref
    std::vector<PdfValue> items; // Array
    std::vector<PdfEntry> entries; // Dict

    const PdfValue* Get(std::string_view key) const;
    PdfValue* Get(std::string_view key);
    void Set(std::string_view key, PdfValue value);
    void Erase(std::string_view key);
    bool IsName(std::string_view name) const { return kind == Kind::Name && text == name; }
    // The integer an Atom holds, or `fallback` when it holds none.
    int64_t Integer(int64_t fallback = -1) const;

    static PdfValue MakeAtom(std::string text);
    static PdfValue MakeRef(uint32_t num, uint16_t gen = 0);
};

// One entry of a dictionary.
struct PdfEntry {
    std::string first; // the key, with its '/'
    PdfValue second;
};

// Reads PDF tokens and values from a piece of text. Every read is bounded by the text: a value cut short
// by its end is reported as `Truncated`, a malformed one as `Bad`.
class PdfParser {
public:
    enum class Result { Ok, Truncated, Bad };
    explicit PdfParser(std::string_view text, size_t at = 0)
        : m_text(text)
        , m_pos(at)
    {
    }

    // One value; a reference "N G R" becomes a Ref.
    Result Parse(PdfValue& out);
    // Skips white space and comments, then reads a run of regular characters (a keyword or a number);
    // empty when the next token is something else or the text ends.
    std::string_view Keyword();
    void SkipSpace();
    size_t Pos() const { return m_pos; }
    void Seek(size_t at) { m_pos = at; }
    bool AtEnd()
    {
        SkipSpace();
        return m_pos >= m_text.size();
    }

    static bool IsSpace(uint8_t c) { return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32; }
    static bool IsDelimiter(uint8_t c)
    {
        return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}'
            || c == '/' || c == '%';
    }
    static bool IsRegular(uint8_t c) { return !IsSpace(c) && !IsDelimiter(c); }

private:
    Result ParseAt(PdfValue& out, int depth);
    Result ReadString(PdfValue& out);
    Result ReadHex(PdfValue& out);

    std::string_view m_text;
    size_t m_pos;
};

// Writes a value back as text. `keep` says whether a referenced object exists; references to objects
// that do not become null.
void WritePdfValue(const PdfValue& value, std::string& out, const std::function<bool(uint32_t)>& keep);

} // namespace repair
