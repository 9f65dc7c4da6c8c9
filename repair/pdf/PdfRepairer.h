// SPDX-License-Identifier: MIT
#pragma once

#include "Repairer.h"

namespace repair {

// PDF documents (family "pdf", format "pdf"): a file that reads cleanly is left alone; any other is
// rebuilt from the objects found in it, front to back: the last definition of each object kept, broken
// compressed streams cut to what decodes, the page tree rebuilt when it is lost, references to lost
// objects dropped, and a new cross-reference table written. Encrypted documents keep their encryption:
// their structure is repaired, their content is never decrypted.
class PdfRepairer : public Repairer {
public:
    Recognition Recognise(ByteReader& source, std::string_view extension) override;
    Report Repair(
        ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress) override;
};

} // namespace repair
