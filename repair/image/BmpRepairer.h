// SPDX-License-Identifier: MIT
#pragma once

#include "Repairer.h"

namespace repair {

// BMP images (family "image", format "bmp"): the header's sizes and offset made true to the pixels that
// are there, the rows present kept as they stand, the rows lost filled so that the image keeps its size,
// bytes inserted into the pixels found and removed, and a text-mode transfer undone.
class BmpRepairer : public Repairer {
public:
    Recognition Recognise(ByteReader& source, std::string_view extension) override;
    Report Repair(
        ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress) override;
};

} // namespace repair
