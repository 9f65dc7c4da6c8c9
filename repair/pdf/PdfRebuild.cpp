// SPDX-License-Identifier: MIT
#include "PdfRebuild.h"

#include "AtomicSink.h"
#include "ContentCheck.h"
#include "FlateReader.h"
#include "PdfWriter.h"
#include "Progress.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <random>

namespace repair {

namespace {

// More than this from one stream is a bomb, not a document: it is copied as it is, unchecked.
constexpr uint64_t kInflateLimit = 1ull << 30;
constexpr uint64_t kInflateBudget = 4ull << 30;
constexpr size_t kCopyChunk = 1 << 20;
constexpr int kMaxTreeDepth = 64;
// Page contents held to be checked; larger ones are not page contents as any program writes them.
constexpr size_t kMaxHeldContents = 32u << 20;

std::string LengthField(uint64_t length)
{
    char text[24];
    std::snprintf(text, sizeof text, "%010llu", static_cast<unsigned long long>(length));
    return text;
}

// Deflates what a broken stream still gives. Page contents are held (up to a bound) and cut after the
// last operator that reads soundly, so that no garbage decoded after the damage is kept.
class Recompressor {
public:
    Recompressor(PdfWriter& writer, bool contents)
        : m_writer(writer)
        , m_contents(contents)
    {
        deflateInit(&m_z, Z_DEFAULT_COMPRESSION);
        m_out.resize(64 * 1024);
    }
    ~Recompressor() { deflateEnd(&m_z); }
    Recompressor(const Recompressor&) = delete;
    Recompressor& operator=(const Recompressor&) = delete;

    void Add(const uint8_t* bytes, size_t count)
    {
        if (m_contents && m_pending.size() + count > kMaxHeldContents)
            m_contents = false;
        if (!m_contents) {
            if (!m_pending.empty()) {
                Deflate(reinterpret_cast<const uint8_t*>(m_pending.data()), m_pending.size(), Z_NO_FLUSH);
                m_pending.clear();
            }
            Deflate(bytes, count, Z_NO_FLUSH);
            return;
        }
        m_pending.append(reinterpret_cast<const char*>(bytes), count);
    }
    void Finish()
    {
        if (m_contents) {
            m_pending = SoundContent(m_pending);
            Deflate(reinterpret_cast<const uint8_t*>(m_pending.data()), m_pending.size(), Z_NO_FLUSH);
        }
        Deflate(nullptr, 0, Z_FINISH);
    }

private:
    void Deflate(const uint8_t* bytes, size_t count, int flush)
    {
        m_z.next_in = const_cast<Bytef*>(bytes);
        m_z.avail_in = uInt(count);
        for (;;) {
            m_z.next_out = m_out.data();
            m_z.avail_out = uInt(m_out.size());
            const int rc = deflate(&m_z, flush);
            m_writer.Write(m_out.data(), m_out.size() - m_z.avail_out);
            if (rc == Z_STREAM_END || rc == Z_STREAM_ERROR)
                break;
            if (m_z.avail_out != 0 && m_z.avail_in == 0 && flush != Z_FINISH)
                break;
        }
    }

    PdfWriter& m_writer;
    bool m_contents;
    z_stream m_z {};
    std::string m_pending;
    std::vector<uint8_t> m_out;
};

} // namespace

PdfRebuild::PdfRebuild(ByteReader& source, PdfScan& scan, Progress& progress)
    : m_source(source)
    , m_scan(scan)
    , m_progress(progress)
{
}

bool PdfRebuild::WalkTree(
    uint32_t node, int depth, std::vector<uint32_t>& pages, std::unordered_set<uint32_t>& seen)
{
    const auto& recs = m_scan.Records();
    if (depth > kMaxTreeDepth)
        return false;
    for (const uint32_t kid : recs[IndexOf(node)].kids) {
        if (!Keep(kid) || !seen.insert(kid).second)
            return false;
        const PdfObjectRecord& k = recs[IndexOf(kid)];
        if (k.type == PdfObjectType::Page)
            pages.push_back(IndexOf(kid));
        else if (k.type != PdfObjectType::Pages || !WalkTree(kid, depth + 1, pages, seen))
            return false;
    }
    return true;
}

bool PdfRebuild::Plan()
{
    const auto& recs = m_scan.Records();
    const PdfTrailerFacts& trailer = m_scan.Trailer();
    m_encrypted = trailer.encrypt != 0;
    std::vector<uint32_t> allPages;
    uint32_t lastCatalog = UINT32_MAX;
    for (uint32_t i = 0; i < recs.size(); ++i) {
        const PdfObjectRecord& r = recs[i];
        // Cross-reference streams and linearization data describe the old layout, not the new one; the
        // objects of a readable object stream are written one by one.
        if (r.superseded || r.type == PdfObjectType::XRef || r.type == PdfObjectType::Linearized
            || (r.type == PdfObjectType::ObjStm && !m_encrypted))
            continue;
        m_byNumber[r.num] = i;
        if (r.type == PdfObjectType::Page)
            allPages.push_back(i);
        if (r.type == PdfObjectType::Catalog)
            lastCatalog = i;
    }
    if (Keep(trailer.root) && recs[IndexOf(trailer.root)].type == PdfObjectType::Catalog)
        m_catalog = IndexOf(trailer.root);
    else
        m_catalog = lastCatalog;
    std::vector<uint32_t> walked;
    bool whole = false;
    if (m_catalog != UINT32_MAX) {
        const uint32_t root = recs[m_catalog].pagesRef;
        if (Keep(root) && recs[IndexOf(root)].type == PdfObjectType::Pages) {
            m_oldRoot = IndexOf(root);
            m_pagesExpected = recs[m_oldRoot].count;
            std::unordered_set<uint32_t> seen { root };
            whole = WalkTree(root, 0, walked, seen) && walked.size() == allPages.size();
        }
    }
    m_rebuildTree = !whole;
    m_pages = whole ? walked : allPages;
    // The nodes of the lost tree are no longer referenced once the pages point to the new one.
    if (m_rebuildTree)
        for (uint32_t i : m_pages)
            if (recs[i].parent && !Keep(recs[i].parent))
                m_lost.insert(recs[i].parent);
    m_pagesExpected = std::max<uint64_t>(m_pagesExpected, m_pages.size());
    m_newPages = m_scan.MaxReference() + 1;
    m_newCatalog = m_scan.MaxReference() + 2;
    if (m_rebuildTree && !m_pages.empty())
        m_findings.push_back(
            "the page tree was rebuilt from the " + std::to_string(m_pages.size()) + " pages found");
    if (m_catalog == UINT32_MAX && !m_pages.empty())
        m_findings.push_back("the document catalog was lost and made anew");
    if (m_encrypted && !Keep(trailer.encrypt))
        m_findings.push_back("the encryption dictionary was lost: the document cannot be decrypted");
    if (m_encrypted && trailer.id.empty())
        m_findings.push_back("the document's identifier was lost: it may not be decrypted");
    return !m_pages.empty();
}

uint64_t PdfRebuild::PagesWhole() const
{
    const auto& recs = m_scan.Records();
    uint64_t whole = 0;
    for (uint32_t i : m_pages) {
        bool ok = true;
        for (uint32_t c : recs[i].contents)
            ok = ok && Keep(c) && !m_cut.count(c);
        whole += ok;
    }
    return whole;
}

void PdfRebuild::Write(AtomicSink& sink)
{
    const auto& recs = m_scan.Records();
    const PdfTrailerFacts& trailer = m_scan.Trailer();
    PdfWriter writer(sink, m_scan.Version());
    for (uint32_t i = 0; i < recs.size(); ++i) {
        const PdfObjectRecord& rec = recs[i];
        if (!Keep(rec.num) || IndexOf(rec.num) != i)
            continue;
        m_progress.Check();
        WriteRecord(writer, rec, i);
    }
    const auto keep = [this](uint32_t num) { return Keep(num) || (m_rebuildTree && num == m_newPages); };
    if (m_rebuildTree) {
        PdfValue pages;
        pages.kind = PdfValue::Kind::Dict;
        // What the lost tree's pages inherited from its root.
        if (m_oldRoot != UINT32_MAX) {
            PdfValue old;
            uint64_t end = 0;
            if (PdfScan::ReadObject(m_source, recs[m_oldRoot].header, old, end))
                for (const char* key : { "/MediaBox", "/CropBox", "/Resources", "/Rotate" })
                    if (const PdfValue* v = old.Get(key))
                        pages.Set(key, *v);
        }
        pages.Set("/Type", PdfValue::MakeAtom("/Pages"));
        PdfValue kids;
        kids.kind = PdfValue::Kind::Array;
        bool boxless = false;
        for (uint32_t i : m_pages) {
            kids.items.push_back(PdfValue::MakeRef(recs[i].num, recs[i].gen));
            boxless = boxless || !recs[i].hasMediaBox;
        }
        pages.Set("/Kids", std::move(kids));
        pages.Set("/Count", PdfValue::MakeAtom(std::to_string(m_pages.size())));
        if (boxless && !pages.Get("/MediaBox"))
            pages.Set("/MediaBox", PdfValue::MakeAtom("[0 0 595 842]"));
        std::string text;
        WritePdfValue(pages, text, keep);
        writer.Begin(m_newPages, 0);
        writer.Write(text);
        writer.End();
    }
    if (m_catalog == UINT32_MAX) {
        writer.Begin(m_newCatalog, 0);
        writer.Write("<</Type /Catalog\n/Pages " + std::to_string(m_newPages) + " 0 R>>");
        writer.End();
    }
    std::string entries = "/Root "
        + (m_catalog == UINT32_MAX
                ? std::to_string(m_newCatalog) + " 0 R"
                : std::to_string(recs[m_catalog].num) + ' ' + std::to_string(recs[m_catalog].gen) + " R")
        + '\n';
    if (Keep(trailer.info))
        entries += "/Info " + std::to_string(trailer.info) + " 0 R\n";
    if (!trailer.id.empty()) {
        entries += "/ID " + trailer.id + '\n';
    } else if (m_encrypted) {
        // Readers of an encrypted document require one; the newest encryption does not depend on it.
        std::random_device random;
        char id[33];
        std::snprintf(id, sizeof id, "%08x%08x%08x%08x", random(), random(), random(), random());
        entries += "/ID [<" + std::string(id) + "><" + std::string(id) + ">]\n";
    }
    if (Keep(trailer.encrypt))
        entries += "/Encrypt " + std::to_string(trailer.encrypt) + " 0 R\n";
    writer.Finish(entries);
}

void PdfRebuild::WriteRecord(PdfWriter& writer, const PdfObjectRecord& rec, uint32_t index)
{
    const auto& recs = m_scan.Records();
    PdfValue value;
    if (rec.container != UINT32_MAX) {
        if (m_cachedContainer != rec.container) {
            m_cachedObjects.clear();
            m_cachedContainer = rec.container;
            PdfValue dict;
            uint64_t end = 0;
            if (PdfScan::ReadObject(m_source, recs[rec.container].header, dict, end))
                PdfScan::SplitObjectStream(m_source, recs[rec.container], dict, m_cachedObjects);
        }
        if (rec.indexInContainer >= m_cachedObjects.size())
            return;
        PdfParser parser(m_cachedObjects[rec.indexInContainer].second);
        if (parser.Parse(value) != PdfParser::Result::Ok)
            return;
    } else {
        uint64_t end = 0;
        if (!PdfScan::ReadObject(m_source, rec.header, value, end))
            return;
    }
    if (rec.type == PdfObjectType::Page && m_rebuildTree)
        value.Set("/Parent", PdfValue::MakeRef(m_newPages));
    if (index == m_catalog && m_rebuildTree)
        value.Set("/Pages", PdfValue::MakeRef(m_newPages));
    if (rec.stream)
        value.Erase("/Length");
    const auto keep = [this](uint32_t num) {
        if (Keep(num) || (m_rebuildTree && num == m_newPages))
            return true;
        m_lost.insert(num);
        return false;
    };
    std::string text;
    WritePdfValue(value, text, keep);
    writer.Begin(rec.num, rec.gen);
    if (!rec.stream) {
        writer.Write(text);
        writer.End();
        return;
    }
    text.resize(text.size() - 2);
    text += "/Length ";
    writer.Write(text);
    const uint64_t lengthAt = writer.Offset();
    writer.Write(LengthField(0) + ">>\nstream\n");
    WriteStreamData(writer, rec, lengthAt);
    writer.Write("\nendstream");
    writer.End();
}

void PdfRebuild::WriteStreamData(PdfWriter& writer, const PdfObjectRecord& rec, uint64_t lengthAt)
{
    const uint64_t start = writer.Offset();
    bool copy = true;
    // Many streams that each inflate to near the limit are a bomb too: past a budget in proportion to
    // the file's size, the rest is copied unchecked.
    const bool overBudget = m_inflated > kInflateBudget + 64 * m_source.Size();
    if (overBudget && !m_budgetSpent) {
        m_budgetSpent = true;
        m_findings.push_back("the streams inflate to far more than such a file can hold: the rest was copied "
                             "unchecked");
    }
    if (rec.flate && !m_encrypted && !overBudget) {
        const FlateResult check = InflateRange(
            m_source, rec.dataBegin, rec.dataLength, kInflateLimit, [](const uint8_t*, size_t) {});
        m_inflated += check.produced;
        if (check.overLimit) {
            m_findings.push_back("object " + std::to_string(rec.num)
                + ": a stream that inflates to more than 1 GiB, copied unchecked");
        } else if (!check.complete) {
            copy = false;
            Recompressor out(writer, rec.contentLike);
            InflateRange(m_source, rec.dataBegin, rec.dataLength, kInflateLimit,
                [&](const uint8_t* b, size_t n) { out.Add(b, n); });
            out.Finish();
            m_cut.insert(rec.num);
        }
    } else if (rec.plain && rec.contentLike && (!rec.terminated || !rec.lengthProved)
        && rec.dataLength <= kMaxHeldContents) {
        // Plain page contents cut short: what reads soundly, the last operation whole.
        std::string data(size_t(rec.dataLength), '\0');
        data.resize(m_source.ReadAt(rec.dataBegin, data.data(), data.size()));
        const std::string sound = SoundContent(data);
        writer.Write(sound);
        copy = false;
        if (!rec.terminated)
            m_cut.insert(rec.num);
    } else if (!rec.terminated || !rec.lengthProved) {
        // Data that cannot be decoded here is whole only when its stated length proves where it ends.
        m_cut.insert(rec.num);
    }
    if (copy) {
        std::vector<uint8_t> chunk(size_t(std::min<uint64_t>(kCopyChunk, rec.dataLength)));
        for (uint64_t at = 0; at < rec.dataLength;) {
            const size_t n = m_source.ReadAt(rec.dataBegin + at, chunk.data(),
                size_t(std::min<uint64_t>(chunk.size(), rec.dataLength - at)));
            if (n == 0)
                break;
            writer.Write(chunk.data(), n);
            at += n;
        }
    }
    m_progress.Advance(rec.dataLength);
    writer.Patch(lengthAt, LengthField(writer.Offset() - start));
}

} // namespace repair
