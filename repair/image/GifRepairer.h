// SPDX-License-Identifier: MIT
#pragma once

#include "Repairer.h"

namespace repair {

// GIF images (family "image", format "gif"): every frame whose data decodes is kept as it stands; a
// damaged frame keeps every pixel that decodes, the rest filled, coded anew; a proper trailer.
class GifRepairer : public Repairer {
public:
    Recognition Recognise(ByteReader& source, std::string_view extension) override;
    Report Repair(
        ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress) override;
};

} // namespace repair
