// SPDX-License-Identifier: MIT
#include "Families.h"

#include "BmpRepairer.h"
#include "OoxmlRepairer.h"
#include "PngRepairer.h"
#include "ZipRepairer.h"

namespace repair {

std::vector<std::unique_ptr<Repairer>> Families()
{
    std::vector<std::unique_ptr<Repairer>> families;
    families.push_back(std::make_unique<ZipRepairer>());
    families.push_back(std::make_unique<OoxmlRepairer>());
    families.push_back(std::make_unique<PngRepairer>());
    families.push_back(std::make_unique<BmpRepairer>());
    return families;
}

} // namespace repair
