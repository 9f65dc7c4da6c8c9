// SPDX-License-Identifier: MIT
#pragma once

#include "Repairer.h"

namespace repair {

// PNG images (family "image", format "png"): every chunk the damage left, every row of pixels that
// decodes kept exactly, the rows lost filled so that the image keeps its size, and a proper end.
class PngRepairer : public Repairer {
public:
    Recognition Recognise(ByteReader& source, std::string_view extension) override;
    Report Repair(
        ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress) override;
};

} // namespace repair
