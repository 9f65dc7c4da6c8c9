// SPDX-License-Identifier: MIT
#pragma once

#include "Repairer.h"

namespace repair {

// Office Open XML documents (families word, excel and powerpoint: docx, xlsx, pptx, their templates and
// macro-enabled kinds): the archive salvaged member by member, then the package made to open again -
// damaged XML parts closed keeping every complete paragraph, row or shape, content types and
// relationships true to the parts that exist, required parts created when lost.
class OoxmlRepairer : public Repairer {
public:
    // Scores 110 for an archive whose member names show a document's package, above the plain archive.
    Recognition Recognise(ByteReader& source, std::string_view extension) override;
    Report Repair(
        ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress) override;
};

} // namespace repair
