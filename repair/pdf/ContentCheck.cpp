// SPDX-License-Identifier: MIT
#include "ContentCheck.h"

#include "PdfSyntax.h"

#include <algorithm>
#include <array>

namespace repair {

namespace {

constexpr std::array<std::string_view, 73> kOperators = { "b", "B", "b*", "B*", "BDC", "BI", "BMC", "BT",
    "BX", "c", "cm", "CS", "cs", "d", "d0", "d1", "Do", "DP", "EI", "EMC", "ET", "EX", "f", "F", "f*", "G",
    "g", "gs", "h", "i", "ID", "j", "J", "K", "k", "l", "m", "M", "MP", "n", "q", "Q", "re", "RG", "rg", "ri",
    "s", "S", "SC", "sc", "SCN", "scn", "sh", "T*", "Tc", "Td", "TD", "Tf", "Tj", "TJ", "TL", "Tm", "Tr",
    "Ts", "Tw", "Tz", "v", "w", "W", "W*", "y", "'", "\"" };

bool IsOperator(std::string_view word)
{
    return std::find(kOperators.begin(), kOperators.end(), word) != kOperators.end();
}

bool IsPlainWord(std::string_view word)
{
    return word.size() <= 8 && word != "R" && std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '*' || c == '\'' || c == '"';
    });
}

bool IsOperand(std::string_view word)
{
    if (word == "true" || word == "false" || word == "null")
        return true;
    bool digit = false;
    for (size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        if (c >= '0' && c <= '9')
            digit = true;
        else if (!(c == '.' || ((c == '-' || c == '+') && i == 0)))
            return false;
    }
    return digit;
}

// The end of an inline image's data: "EI" standing alone after white space.
size_t InlineImageEnd(std::string_view text, size_t from)
{
    for (size_t at = text.find("EI", from); at != std::string_view::npos; at = text.find("EI", at + 1)) {
        const bool before = at > 0 && PdfParser::IsSpace(uint8_t(text[at - 1]));
        const bool after = at + 2 >= text.size() || !PdfParser::IsRegular(uint8_t(text[at + 2]));
        if (before && after && at + 2 < text.size())
            return at + 2;
    }
    return std::string_view::npos;
}

} // namespace

std::string SoundContent(std::string_view contents)
{
    PdfParser parser(contents);
    std::string kept;
    size_t span = 0; // where the operands of the next operator begin
    const auto resume = [&](size_t from) {
        // Past the damage: on at the next line, without the operands read before it.
        const size_t eol = contents.find_first_of("\r\n", from);
        if (eol == std::string_view::npos)
            return false;
        span = eol;
        parser.Seek(eol);
        return true;
    };
    for (;;) {
        parser.SkipSpace();
        const size_t at = parser.Pos();
        if (at >= contents.size())
            break;
        if (PdfParser::IsRegular(uint8_t(contents[at]))) {
            const std::string_view word = parser.Keyword();
            if (parser.Pos() >= contents.size())
                break; // a word cut by the end may be longer
            if (IsOperand(word))
                continue;
            // Readers pass over an operator they do not know; bytes no operator is made of are garbage.
            if (!IsOperator(word) && !IsPlainWord(word)) {
                if (!resume(at))
                    break;
                continue;
            }
            if (word == "ID") {
                const size_t end = InlineImageEnd(contents, parser.Pos());
                if (end == std::string_view::npos)
                    break;
                parser.Seek(end);
            }
            kept.append(contents.substr(span, parser.Pos() - span));
            span = parser.Pos();
            continue;
        }
        PdfValue value;
        const PdfParser::Result r = parser.Parse(value);
        if (r == PdfParser::Result::Truncated)
            break;
        if ((r != PdfParser::Result::Ok || value.kind == PdfValue::Kind::Ref) && !resume(at + 1))
            break;
    }
    kept += '\n';
    return kept;
}

} // namespace repair
