// SPDX-License-Identifier: MIT
#include "ReportJson.h"

#include <cstdio>

namespace repair {

namespace {

// Length of the well-formed UTF-8 sequence at `s[i]`, 0 when it is not one (overlong forms, surrogates
// and values past U+10FFFF are refused too, so the output is always valid).
size_t Utf8Length(std::string_view s, size_t i)
{
    const auto b = [&](size_t k) { return uint8_t(s[i + k]); };
    const uint8_t c = b(0);
    if (c < 0x80)
        return 1;
    size_t n = 0;
    uint8_t lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF)
        n = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0)
            lo = 0xA0;
        if (c == 0xED)
            hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0)
            lo = 0x90;
        if (c == 0xF4)
            hi = 0x8F;
    } else
        return 0;
    if (i + n > s.size())
        return 0;
    if (b(1) < lo || b(1) > hi)
        return 0;
    for (size_t k = 2; k < n; ++k)
        if (b(k) < 0x80 || b(k) > 0xBF)
            return 0;
    return n;
}

void AppendList(std::string& out, const std::vector<std::string>& items)
{
    out += '[';
    for (size_t i = 0; i < items.size(); ++i) {
        if (i)
            out += ',';
        out += JsonString(items[i]);
    }
    out += ']';
}

} // namespace

std::string_view VerdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Repaired:
        return "repaired";
    case Verdict::Partial:
        return "partial";
    case Verdict::Intact:
        return "intact";
    case Verdict::Unrecoverable:
        return "unrecoverable";
    case Verdict::Error:
        break;
    }
    return "error";
}

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const auto c = uint8_t(text[i]);
        const size_t n = Utf8Length(text, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (n > 1) {
            out.append(text.substr(i, n));
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += char(c);
        }
        i += n;
    }
    out += '"';
    return out;
}

std::string ReportJson(
    const Report& report, std::string_view source, const std::optional<std::string>& output)
{
    const auto orNull = [](const std::string& s) { return s.empty() ? std::string("null") : JsonString(s); };
    std::string out = "{\"source\":" + JsonString(source);
    out += ",\"output\":" + (output ? JsonString(*output) : std::string("null"));
    out += ",\"family\":" + orNull(report.Family);
    out += ",\"format\":" + orNull(report.Format);
    out += ",\"verdict\":" + JsonString(VerdictName(report.Outcome));
    out += ",\"parts_total\":" + std::to_string(report.PartsTotal);
    out += ",\"parts_recovered\":" + std::to_string(report.PartsRecovered);
    out += ",\"bytes_read\":" + std::to_string(report.BytesRead);
    out += ",\"bytes_written\":" + std::to_string(report.BytesWritten);
    out += ",\"lost\":";
    AppendList(out, report.Lost);
    out += ",\"messages\":";
    AppendList(out, report.Messages);
    out += '}';
    return out;
}

} // namespace repair
