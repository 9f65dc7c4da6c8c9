// SPDX-License-Identifier: MIT
#pragma once

#include "Repairer.h"

namespace repair {

// JPEG images (family "image", format "jpeg"): the markers walked and every scan's MCUs decoded; what
// decodes is copied as it stands (never re-compressed), what damage took is replaced by flat grey MCUs so
// the image keeps its size, and the stream ends properly. The result is checked with the system's decoder
// before it is written.
class JpegRepairer : public Repairer {
public:
    Recognition Recognise(ByteReader& source, std::string_view extension) override;
    Report Repair(
        ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress) override;
};

} // namespace repair
