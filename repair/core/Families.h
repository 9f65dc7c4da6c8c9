// SPDX-License-Identifier: MIT
#pragma once

#include "Repairer.h"

#include <memory>
#include <vector>

namespace repair {

// Every family the engine repairs, one repairer each.
std::vector<std::unique_ptr<Repairer>> Families();

} // namespace repair
