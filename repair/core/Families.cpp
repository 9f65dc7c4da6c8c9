// SPDX-License-Identifier: MIT
#include "Families.h"

#include "AviRepairer.h"
#include "BmpRepairer.h"
#include "FlvRepairer.h"
#include "GifRepairer.h"
#include "JpegRepairer.h"
#include "Mp3Repairer.h"
#include "Mp4Repairer.h"
#include "OoxmlRepairer.h"
#include "PdfRepairer.h"
#include "PngRepairer.h"
#include "WavRepairer.h"
#include "ZipRepairer.h"

namespace repair {

std::vector<std::unique_ptr<Repairer>> Families()
{
    std::vector<std::unique_ptr<Repairer>> families;
    families.push_back(std::make_unique<ZipRepairer>());
    families.push_back(std::make_unique<OoxmlRepairer>());
    families.push_back(std::make_unique<PngRepairer>());
    families.push_back(std::make_unique<BmpRepairer>());
    families.push_back(std::make_unique<JpegRepairer>());
    families.push_back(std::make_unique<GifRepairer>());
    families.push_back(std::make_unique<WavRepairer>());
    families.push_back(std::make_unique<Mp3Repairer>());
    families.push_back(std::make_unique<AviRepairer>());
    families.push_back(std::make_unique<FlvRepairer>());
    families.push_back(std::make_unique<Mp4Repairer>());
    families.push_back(std::make_unique<PdfRepairer>());
    return families;
}

} // namespace repair
