// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"
#include "PdfScan.h"

#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace repair {

class AtomicSink;
class Progress;

// Turns what a scan found into a sound file: decides which definitions are written, whether the page
// tree and the catalog must be made anew, and writes every object with its references to lost objects
// dropped, its stream length made true and a broken compressed stream cut to what decodes.
class PdfRebuild {
public:
    PdfRebuild(ByteReader& source, PdfScan& scan, Progress& progress);

    // The plan; false when no page is left to write.
    bool Plan();
    void Write(AtomicSink& sink);

    uint64_t PagesExpected() const { return m_pagesExpected; }
    uint64_t PagesFound() const { return m_pages.size(); }
    uint64_t PagesWhole() const;
    bool TreeRebuilt() const { return m_rebuildTree; }
    bool CatalogMade() const { return m_catalog == UINT32_MAX; }
    const std::set<uint32_t>& LostObjects() const { return m_lost; }
    const std::set<uint32_t>& CutStreams() const { return m_cut; }
    std::vector<std::string>& Findings() { return m_findings; }

private:
    bool Keep(uint32_t num) const { return m_byNumber.count(num) != 0; }
    uint32_t IndexOf(uint32_t num) const { return m_byNumber.at(num); }
    bool WalkTree(uint32_t node, int depth, std::vector<uint32_t>& pages, std::unordered_set<uint32_t>& seen);
    void WriteRecord(class PdfWriter& writer, const PdfObjectRecord& rec, uint32_t index);
    void WriteStreamData(PdfWriter& writer, const PdfObjectRecord& rec, uint64_t lengthAt);

    ByteReader& m_source;
    PdfScan& m_scan;
    Progress& m_progress;
    // Object numbers (hostile ones may be large and few) and the index of the record written for each.
    std::unordered_map<uint32_t, uint32_t> m_byNumber;
    std::vector<uint32_t> m_pages; // record indices, in page order
    uint32_t m_catalog = UINT32_MAX; // record index
    uint32_t m_oldRoot = UINT32_MAX; // record index of the surviving root of the page tree
    bool m_rebuildTree = false;
    bool m_encrypted = false;
    uint32_t m_newPages = 0;
    uint32_t m_newCatalog = 0;
    uint64_t m_pagesExpected = 0;
    uint64_t m_inflated = 0; // bytes inflated to check streams
    bool m_budgetSpent = false;
    std::set<uint32_t> m_lost;
    std::set<uint32_t> m_cut;
    std::vector<std::string> m_findings;
    uint32_t m_cachedContainer = UINT32_MAX;
    std::vector<std::pair<uint32_t, std::string>> m_cachedObjects;
};

} // namespace repair
