// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"
#include "PdfSyntax.h"

#include <cstdint>
#include <string>
#include <vector>

namespace repair {

class Progress;

enum class PdfObjectType : uint8_t { Other, Page, Pages, Catalog, ObjStm, XRef, Linearized };

// One definition of an object found in the file: where it is and the few facts the rebuild needs. The
// object's text itself is read again when it is written.
struct PdfObjectRecord {
    uint64_t header = 0; // offset of "N G obj"; for an object in an object stream, that stream's
    uint32_t num = 0;
    uint16_t gen = 0;
    PdfObjectType type = PdfObjectType::Other;
    bool stream = false;
    bool flate = false; // its first filter is FlateDecode
    bool plain = false; // a stream without filters
    bool contentLike = false; // a stream with neither /Type nor /Subtype, as page contents are
    bool hasMediaBox = false;
    bool superseded = false; // a later definition of the same object exists
    bool terminated = true; // a stream whose "endstream" was found (or whose /Length proved right)
    bool lengthProved = false; // a stream whose /Length (direct or not) agrees with its "endstream"
    uint32_t container = UINT32_MAX; // index of the object stream holding it
    uint32_t indexInContainer = 0;
    uint64_t dataBegin = 0; // stream data
    uint64_t dataLength = 0;
    uint64_t rawLength = 0; // up to "endstream", line end included
    uint32_t lengthRef = 0; // an indirect /Length
    int64_t integer = -1; // the value of an object that is a plain non-negative integer
    uint32_t parent = 0; // Page: its /Parent
    uint32_t pagesRef = 0; // Catalog: its /Pages
    std::vector<uint32_t> kids; // Pages
    uint64_t count = 0; // Pages: its /Count
    std::vector<uint32_t> contents; // Page: its content streams
};

// What the trailers (and cross-reference streams) say; the last one found wins, key by key.
struct PdfTrailerFacts {
    uint32_t root = 0;
    uint32_t info = 0;
    uint32_t encrypt = 0;
    std::string id; // the /ID array as text
};

// Finds every "N G obj ... endobj" in a source, front to back, stepping over stream data; the objects in
// object streams that can be decoded; the trailers. Keeps every definition; the last of each object wins.
class PdfScan {
public:
    PdfScan(ByteReader& source, Progress& progress);

    void Run();

    const std::vector<PdfObjectRecord>& Records() const { return m_records; }
    std::vector<PdfObjectRecord>& Records() { return m_records; }
    const PdfTrailerFacts& Trailer() const { return m_trailer; }
    const std::string& Version() const { return m_version; }
    std::vector<std::string>& Findings() { return m_findings; }
    // Stretches of bytes between objects that are not PDF syntax (damage), counted.
    uint64_t StrayBytes() const { return m_stray; }
    uint32_t MaxNumber() const { return m_maxNumber; }
    // The highest object number defined or referenced.
    uint32_t MaxReference() const { return m_maxReference; }

    // Parses "N G obj <value>" at `header`: the value, and the offset just after it.
    static bool ReadObject(ByteReader& source, uint64_t header, PdfValue& value, uint64_t& valueEnd);
    // Decodes an object stream's data (bounded) and splits it into its objects' texts.
    static bool SplitObjectStream(ByteReader& source, const PdfObjectRecord& container, const PdfValue& dict,
        std::vector<std::pair<uint32_t, std::string>>& objects);

private:
    uint64_t FindHeader(uint64_t from, uint64_t limit, uint32_t* num = nullptr, uint16_t* gen = nullptr);
    // Makes the block hold `from` (and a little before it) onwards.
    void Load(uint64_t from, uint64_t limit);
    uint64_t Find(std::string_view needle, uint64_t from, uint64_t limit);
    bool ReadTrailer(uint64_t at, uint64_t& end);
    bool ReadObjectAt(uint64_t header, uint64_t& end);
    void Note(PdfObjectRecord& rec, const PdfValue& value);
    static uint32_t HighestReference(const PdfValue& value, int depth);
    void NoteTrailer(const PdfValue& dict);
    void ExpandObjectStreams();
    void MarkSuperseded();
    void ResolveLengths();

    ByteReader& m_source;
    Progress& m_progress;
    std::vector<PdfObjectRecord> m_records;
    PdfTrailerFacts m_trailer;
    std::string m_version = "1.7";
    std::vector<std::string> m_findings;
    std::vector<uint8_t> m_block;
    uint64_t m_blockBase = 0;
    size_t m_blockLength = 0;
    uint64_t m_stray = 0;
    uint32_t m_maxNumber = 0;
    uint32_t m_maxReference = 0;
    uint32_t m_encryptionDictionary = 0; // the last object that reads as one
};

} // namespace repair
