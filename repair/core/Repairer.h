// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace repair {

class AtomicSink;
class Progress;

enum class Verdict { Repaired, Partial, Intact, Unrecoverable, Error };

// What a repair found and did.
struct Report {
    std::string
        Family; // the window's nine: word, excel, archive, video, image, pdf, access, powerpoint, music
    std::string Format; // zip, docx, ...
    Verdict Outcome = Verdict::Unrecoverable;
    uint64_t PartsTotal = 0;
    uint64_t PartsRecovered = 0;
    uint64_t BytesRead = 0;
    uint64_t BytesWritten = 0;
    std::vector<std::string> Lost; // names or ranges
    std::vector<std::string> Messages;
};

// How sure a repairer is that a file is of its format.
struct Recognition {
    int Score = 0; // 0 not ours; 10 the extension only; 50 a damaged signature; 100 the signature
    std::string Format;
    std::string Family;
};

// One family of formats: recognise a file, repair it into a sink, report. The sink is opened only when
// something is to be written, so a file found intact leaves nothing behind.
class Repairer {
public:
    virtual ~Repairer() = default;
    // `extension` is lower case without the dot; a hint only, for a file whose head is lost.
    virtual Recognition Recognise(ByteReader& source, std::string_view extension) = 0;
    virtual Report Repair(
        ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress)
        = 0;
};

} // namespace repair
