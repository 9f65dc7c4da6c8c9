// SPDX-License-Identifier: MIT
#include "PdfScan.h"

#include "FlateReader.h"
#include "Progress.h"

#include <algorithm>
#include <map>
#include <numeric>

namespace repair {

namespace {

constexpr size_t kBlock = 1 << 20;
constexpr size_t kLookBack = 32;
constexpr size_t kFirstWindow = 2048;
// Larger dictionaries are not met in practice; a value still open after this much is damage.
constexpr size_t kMaxObjectText = 8u << 20;
constexpr uint64_t kMaxObjectStream = 64u << 20;
constexpr uint32_t kMaxObjectNumber = 8388607;

bool ParseUnsigned(std::string_view t, uint64_t& v, uint64_t max)
{
    if (t.empty() || t.size() > 10)
        return false;
    v = 0;
    for (char c : t) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + uint64_t(c - '0');
    }
    return v <= max;
}

std::string ReadText(ByteReader& source, uint64_t at, size_t count)
{
    std::string text(count, '\0');
    text.resize(source.ReadAt(at, text.data(), count));
    return text;
}

uint32_t RefOf(const PdfValue* v)
{
    return v && v->kind == PdfValue::Kind::Ref ? v->num : 0;
}

// "N G obj" that ends just before `objAt` in `text`, if any; returns the offset of N.
bool HeaderBefore(std::string_view text, size_t objAt, size_t& start, uint64_t& num, uint64_t& gen)
{
    size_t i = objAt;
    auto skipSpace = [&](bool required) {
        const size_t was = i;
        while (i > 0 && PdfParser::IsSpace(uint8_t(text[i - 1])))
            --i;
        return !required || i < was;
    };
    auto digits = [&](size_t& from) {
        const size_t end = i;
        while (i > 0 && text[i - 1] >= '0' && text[i - 1] <= '9' && end - i < 10)
            --i;
        from = i;
        return i < end;
    };
    size_t genAt = 0, numAt = 0;
    skipSpace(false);
    const size_t genEnd = i;
    if (!digits(genAt))
        return false;
    if (!skipSpace(true))
        return false;
    const size_t numEnd = i;
    if (!digits(numAt))
        return false;
    // Whatever stands before the number is not checked: garbage may end right against a header.
    if (!ParseUnsigned(text.substr(numAt, numEnd - numAt), num, kMaxObjectNumber)
        || !ParseUnsigned(text.substr(genAt, genEnd - genAt), gen, 65535) || num == 0)
        return false;
    start = numAt;
    return true;
}

} // namespace

PdfScan::PdfScan(ByteReader& source, Progress& progress)
    : m_source(source)
    , m_progress(progress)
{
}

void PdfScan::Load(uint64_t from, uint64_t limit)
{
    const uint64_t want = std::min<uint64_t>(from + 64 * 1024, limit);
    const uint64_t back = from > kLookBack ? from - kLookBack : 0;
    if (back >= m_blockBase && want <= m_blockBase + m_blockLength)
        return;
    m_block.resize(size_t(std::min<uint64_t>(kBlock, m_source.Size())));
    m_blockBase = back;
    m_blockLength = m_source.ReadAt(back, m_block.data(), m_block.size());
}

uint64_t PdfScan::Find(std::string_view needle, uint64_t from, uint64_t limit)
{
    limit = std::min(limit, m_source.Size());
    while (from + needle.size() <= limit) {
        Load(from, limit);
        const uint64_t end = std::min(limit, m_blockBase + m_blockLength);
        if (end <= from)
            break;
        const std::string_view text(
            reinterpret_cast<const char*>(m_block.data()) + (from - m_blockBase), size_t(end - from));
        const size_t at = text.find(needle);
        if (at != std::string_view::npos)
            return from + at;
        if (end >= limit || text.size() < needle.size())
            break;
        from = end - (needle.size() - 1);
    }
    return UINT64_MAX;
}

uint64_t PdfScan::FindHeader(uint64_t from, uint64_t limit, uint32_t* num, uint16_t* gen)
{
    limit = std::min(limit, m_source.Size());
    while (from < limit) {
        Load(from, limit);
        const uint64_t base = m_blockBase;
        const uint64_t end = std::min(limit, base + m_blockLength);
        if (end <= from)
            break;
        const std::string_view text(reinterpret_cast<const char*>(m_block.data()), size_t(end - base));
        for (size_t at = text.find("obj", size_t(from - base)); at != std::string_view::npos;
             at = text.find("obj", at + 1)) {
            if (at + 3 < text.size() && PdfParser::IsRegular(uint8_t(text[at + 3])))
                continue;
            size_t start = 0;
            uint64_t nu = 0, ge = 0;
            if (!HeaderBefore(text, at, start, nu, ge))
                continue;
            if (base + start < from)
                continue;
            if (num)
                *num = uint32_t(nu);
            if (gen)
                *gen = uint16_t(ge);
            return base + start;
        }
        if (end >= limit)
            break;
        from = std::max(from + 1, end - 3);
    }
    return UINT64_MAX;
}

bool PdfScan::ReadObject(ByteReader& source, uint64_t header, PdfValue& value, uint64_t& valueEnd)
{
    const uint64_t size = source.Size();
    for (size_t window = kFirstWindow;; window *= 8) {
        const std::string text = ReadText(source, header, size_t(std::min<uint64_t>(window, size - header)));
        PdfParser parser(text);
        uint64_t n = 0, g = 0;
        if (!ParseUnsigned(parser.Keyword(), n, kMaxObjectNumber)
            || !ParseUnsigned(parser.Keyword(), g, 65535) || parser.Keyword() != "obj")
            return false;
        const PdfParser::Result r = parser.Parse(value);
        const bool more = header + text.size() < size && window < kMaxObjectText;
        if (r == PdfParser::Result::Truncated && more)
            continue;
        if (r != PdfParser::Result::Ok)
            return false;
        // The keyword after the value must be whole.
        parser.SkipSpace();
        if (parser.Pos() + 16 > text.size() && more)
            continue;
        valueEnd = header + parser.Pos();
        return true;
    }
}

uint32_t PdfScan::HighestReference(const PdfValue& value, int depth)
{
    if (value.kind == PdfValue::Kind::Ref)
        return value.num;
    uint32_t high = 0;
    if (depth < 64) {
        for (const PdfValue& item : value.items)
            high = std::max(high, HighestReference(item, depth + 1));
        for (const auto& entry : value.entries)
            high = std::max(high, HighestReference(entry.second, depth + 1));
    }
    return high;
}

void PdfScan::Note(PdfObjectRecord& rec, const PdfValue& value)
{
    // New objects are numbered above every number in use, lost ones included.
    m_maxNumber = std::max(m_maxNumber, rec.num);
    m_maxReference
        = std::max({ m_maxReference, rec.num, std::min(HighestReference(value, 0), kMaxObjectNumber) });
    if (value.kind == PdfValue::Kind::Atom) {
        rec.integer = value.Integer();
        return;
    }
    if (value.kind != PdfValue::Kind::Dict)
        return;
    const PdfValue* type = value.Get("/Type");
    if (type && type->IsName("/Page"))
        rec.type = PdfObjectType::Page;
    else if (type && type->IsName("/Pages"))
        rec.type = PdfObjectType::Pages;
    else if (type && type->IsName("/Catalog"))
        rec.type = PdfObjectType::Catalog;
    else if (type && type->IsName("/ObjStm") && rec.stream)
        rec.type = PdfObjectType::ObjStm;
    else if (type && type->IsName("/XRef") && rec.stream)
        rec.type = PdfObjectType::XRef;
    else if (value.Get("/Linearized"))
        rec.type = PdfObjectType::Linearized;
    if (value.Get("/Filter") && value.Get("/O") && value.Get("/U") && value.Get("/R") && !rec.stream)
        m_encryptionDictionary = rec.num;
    rec.hasMediaBox = value.Get("/MediaBox") != nullptr;
    rec.contentLike = rec.stream && !type && !value.Get("/Subtype");
    rec.plain = rec.stream && !value.Get("/Filter");
    if (const PdfValue* filter = value.Get("/Filter")) {
        const PdfValue* first = filter->kind == PdfValue::Kind::Array && !filter->items.empty()
            ? &filter->items.front()
            : filter;
        rec.flate = first->IsName("/FlateDecode") || first->IsName("/Fl");
    }
    rec.lengthRef = RefOf(value.Get("/Length"));
    switch (rec.type) {
    case PdfObjectType::Page:
        rec.parent = RefOf(value.Get("/Parent"));
        if (const PdfValue* c = value.Get("/Contents")) {
            if (c->kind == PdfValue::Kind::Ref)
                rec.contents.push_back(c->num);
            for (const PdfValue& item : c->items)
                if (item.kind == PdfValue::Kind::Ref)
                    rec.contents.push_back(item.num);
        }
        break;
    case PdfObjectType::Pages:
        if (const PdfValue* c = value.Get("/Count"); c && c->Integer() > 0)
            rec.count = uint64_t(c->Integer());
        if (const PdfValue* kids = value.Get("/Kids"))
            for (const PdfValue& item : kids->items)
                rec.kids.push_back(item.kind == PdfValue::Kind::Ref ? item.num : 0);
        break;
    case PdfObjectType::Catalog:
        rec.pagesRef = RefOf(value.Get("/Pages"));
        break;
    case PdfObjectType::XRef:
        NoteTrailer(value);
        break;
    default:
        break;
    }
}

void PdfScan::NoteTrailer(const PdfValue& dict)
{
    if (const uint32_t root = RefOf(dict.Get("/Root")))
        m_trailer.root = root;
    if (const uint32_t info = RefOf(dict.Get("/Info")))
        m_trailer.info = info;
    if (const uint32_t encrypt = RefOf(dict.Get("/Encrypt")))
        m_trailer.encrypt = encrypt;
    if (const PdfValue* id = dict.Get("/ID"); id && id->kind == PdfValue::Kind::Array) {
        m_trailer.id.clear();
        WritePdfValue(*id, m_trailer.id, [](uint32_t) { return true; });
    }
}

bool PdfScan::ReadTrailer(uint64_t at, uint64_t& end)
{
    const std::string text = ReadText(m_source, at + 7, 64 * 1024);
    PdfParser parser(text);
    PdfValue dict;
    if (parser.Parse(dict) != PdfParser::Result::Ok || dict.kind != PdfValue::Kind::Dict)
        return false;
    NoteTrailer(dict);
    end = at + 7 + parser.Pos();
    return true;
}

bool PdfScan::ReadObjectAt(uint64_t header, uint64_t& end)
{
    PdfValue value;
    uint64_t valueEnd = 0;
    if (!ReadObject(m_source, header, value, valueEnd))
        return false;
    PdfObjectRecord rec;
    rec.header = header;
    {
        const std::string head = ReadText(m_source, header, 24);
        PdfParser p(head);
        uint64_t n = 0, g = 0;
        ParseUnsigned(p.Keyword(), n, kMaxObjectNumber);
        ParseUnsigned(p.Keyword(), g, 65535);
        rec.num = uint32_t(n);
        rec.gen = uint16_t(g);
    }
    const std::string after = ReadText(m_source, valueEnd, 32);
    PdfParser p(after);
    const std::string_view keyword = p.Keyword();
    end = valueEnd + p.Pos();
    if (keyword == "stream" && value.kind == PdfValue::Kind::Dict) {
        rec.stream = true;
        size_t eol = p.Pos();
        if (eol < after.size() && after[eol] == '\r')
            ++eol;
        if (eol < after.size() && after[eol] == '\n')
            ++eol;
        rec.dataBegin = valueEnd + eol;
        const uint64_t size = m_source.Size();
        bool proved = false;
        if (const PdfValue* len = value.Get("/Length")) {
            const int64_t l = len->Integer();
            if (l >= 0 && uint64_t(l) <= size - rec.dataBegin) {
                const std::string tail = ReadText(m_source, rec.dataBegin + uint64_t(l), 32);
                PdfParser t(tail);
                if (t.Keyword() == "endstream") {
                    proved = true;
                    rec.lengthProved = true;
                    rec.dataLength = rec.rawLength = uint64_t(l);
                    end = rec.dataBegin + uint64_t(l) + t.Pos();
                }
            }
        }
        if (!proved) {
            // Without a /Length that checks, the data ends at "endstream", unless an object begins first.
            const uint64_t next = FindHeader(rec.dataBegin, size);
            const uint64_t stop = std::min(next, size);
            const uint64_t endstream = Find("endstream", rec.dataBegin, stop);
            if (endstream != UINT64_MAX) {
                rec.rawLength = endstream - rec.dataBegin;
                uint64_t len = rec.rawLength;
                uint8_t tailBytes[2] = {};
                if (len >= 2 && m_source.ReadAt(rec.dataBegin + len - 2, tailBytes, 2) == 2) {
                    if (tailBytes[1] == '\n' || tailBytes[1] == '\r')
                        --len;
                    if (tailBytes[1] == '\n' && tailBytes[0] == '\r')
                        --len;
                }
                rec.dataLength = len;
                end = endstream + 9;
            } else {
                rec.terminated = false;
                rec.dataLength = rec.rawLength = stop - rec.dataBegin;
                end = stop;
            }
        }
        if (rec.terminated) {
            const std::string rest = ReadText(m_source, end, 32);
            PdfParser r(rest);
            if (r.Keyword() == "endobj")
                end += r.Pos();
        }
    } else if (keyword != "endobj") {
        // A missing "endobj" costs nothing: the value is whole.
        end = valueEnd;
    }
    Note(rec, value);
    m_records.push_back(std::move(rec));
    return true;
}

void PdfScan::Run()
{
    const uint64_t size = m_source.Size();
    {
        const std::string head = ReadText(m_source, 0, 1024);
        const size_t at = head.find("%PDF-");
        if (at != std::string::npos && at + 8 <= head.size() && head[at + 6] == '.')
            m_version = head.substr(at + 5, 3);
    }
    uint64_t pos = 0;
    uint64_t reported = 0;
    while (pos < size) {
        m_progress.Check();
        const uint64_t header = FindHeader(pos, size);
        // Trailers lie between objects.
        const uint64_t gapEnd = std::min(header, size);
        for (uint64_t t = Find("trailer", pos, gapEnd); t != UINT64_MAX; t = Find("trailer", t + 7, gapEnd)) {
            uint64_t end = 0;
            ReadTrailer(t, end);
        }
        if (header == UINT64_MAX)
            break;
        uint64_t end = 0;
        if (ReadObjectAt(header, end) && end > header) {
            pos = end;
        } else {
            ++m_stray;
            pos = header + 1;
        }
        if (pos > reported && pos <= size) {
            m_progress.Advance(pos - reported);
            reported = pos;
        }
    }
    if (reported < size)
        m_progress.Advance(size - reported);
    // The trailer that named it may be lost; the encryption dictionary says what it is by its keys.
    if (m_trailer.encrypt == 0 && m_encryptionDictionary) {
        m_trailer.encrypt = m_encryptionDictionary;
        m_findings.push_back("the trailer was lost; the document's encryption was found without it");
    }
    if (m_trailer.encrypt == 0) {
        ExpandObjectStreams();
    } else {
        for (const PdfObjectRecord& r : m_records)
            if (r.type == PdfObjectType::ObjStm) {
                m_findings.push_back("the objects in the encrypted object streams could not be read");
                break;
            }
    }
    MarkSuperseded();
    ResolveLengths();
}

bool PdfScan::SplitObjectStream(ByteReader& source, const PdfObjectRecord& container, const PdfValue& dict,
    std::vector<std::pair<uint32_t, std::string>>& objects)
{
    std::string data;
    if (container.flate) {
        InflateRange(source, container.dataBegin, container.dataLength, kMaxObjectStream,
            [&](const uint8_t* b, size_t n) { data.append(reinterpret_cast<const char*>(b), n); });
    } else if (!dict.Get("/Filter") && container.dataLength <= kMaxObjectStream) {
        data = ReadText(source, container.dataBegin, size_t(container.dataLength));
    } else {
        return false;
    }
    const PdfValue* nValue = dict.Get("/N");
    const PdfValue* firstValue = dict.Get("/First");
    if (!nValue || !firstValue)
        return false;
    const int64_t n = nValue->Integer();
    const int64_t first = firstValue->Integer();
    if (n <= 0 || first <= 0 || uint64_t(first) > data.size() || n > first / 4)
        return false;
    PdfParser header(std::string_view(data).substr(0, size_t(first)));
    std::vector<std::pair<uint32_t, uint64_t>> index;
    for (int64_t i = 0; i < n; ++i) {
        uint64_t num = 0, off = 0;
        if (!ParseUnsigned(header.Keyword(), num, kMaxObjectNumber)
            || !ParseUnsigned(header.Keyword(), off, data.size()))
            break;
        index.emplace_back(uint32_t(num), uint64_t(first) + off);
    }
    for (size_t i = 0; i < index.size(); ++i) {
        const uint64_t begin = index[i].second;
        const uint64_t end = i + 1 < index.size() ? index[i + 1].second : data.size();
        if (begin >= end || end > data.size())
            continue;
        objects.emplace_back(index[i].first, data.substr(size_t(begin), size_t(end - begin)) + "\n");
    }
    return true;
}

void PdfScan::ExpandObjectStreams()
{
    const size_t count = m_records.size();
    for (size_t i = 0; i < count; ++i) {
        if (m_records[i].type != PdfObjectType::ObjStm)
            continue;
        m_progress.Check();
        PdfValue dict;
        uint64_t valueEnd = 0;
        std::vector<std::pair<uint32_t, std::string>> objects;
        if (!ReadObject(m_source, m_records[i].header, dict, valueEnd)
            || !SplitObjectStream(m_source, m_records[i], dict, objects))
            continue;
        for (size_t k = 0; k < objects.size(); ++k) {
            PdfParser parser(objects[k].second);
            PdfValue value;
            // An object cut off by the end of what decoded is lost, not guessed at.
            if (parser.Parse(value) != PdfParser::Result::Ok)
                continue;
            PdfObjectRecord rec;
            rec.header = m_records[i].header;
            rec.num = objects[k].first;
            rec.container = uint32_t(i);
            rec.indexInContainer = uint32_t(k);
            Note(rec, value);
            m_records.push_back(std::move(rec));
        }
    }
}

void PdfScan::MarkSuperseded()
{
    std::vector<uint32_t> order(m_records.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        const PdfObjectRecord& x = m_records[a];
        const PdfObjectRecord& y = m_records[b];
        // An object stream's objects come right after the stream itself.
        const auto key = [](const PdfObjectRecord& r) {
            return std::make_tuple(r.header, r.container == UINT32_MAX ? 0u : 1u, r.indexInContainer);
        };
        return key(x) < key(y);
    });
    std::map<uint32_t, uint32_t> last;
    for (uint32_t i : order) {
        const auto [it, fresh] = last.emplace(m_records[i].num, i);
        if (!fresh) {
            m_records[it->second].superseded = true;
            it->second = i;
        }
    }
    std::vector<PdfObjectRecord> sorted;
    sorted.reserve(order.size());
    std::vector<uint32_t> where(order.size());
    for (size_t k = 0; k < order.size(); ++k)
        where[order[k]] = uint32_t(k);
    for (uint32_t i : order) {
        sorted.push_back(std::move(m_records[i]));
        if (sorted.back().container != UINT32_MAX)
            sorted.back().container = where[sorted.back().container];
    }
    m_records = std::move(sorted);
}

void PdfScan::ResolveLengths()
{
    std::map<uint32_t, int64_t> integers;
    for (const PdfObjectRecord& r : m_records)
        if (!r.superseded && r.integer >= 0)
            integers[r.num] = r.integer;
    for (PdfObjectRecord& r : m_records) {
        if (!r.stream || !r.lengthRef || !r.terminated)
            continue;
        const auto it = integers.find(r.lengthRef);
        // The stated length settles whether a line end before "endstream" belongs to the data.
        if (it != integers.end() && uint64_t(it->second) <= r.rawLength
            && uint64_t(it->second) + 2 >= r.rawLength) {
            r.dataLength = uint64_t(it->second);
            r.lengthProved = true;
        }
    }
}

} // namespace repair
