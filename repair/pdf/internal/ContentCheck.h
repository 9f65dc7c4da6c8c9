// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string_view>

namespace repair {

// How much of a page's decoded contents reads as operands and known operators: the length up to the end
// of the last operator before the first thing that does not. Decoding a damaged stream goes on giving
// bytes for a while after the damage; those read as garbage here and are left out.
size_t SoundContentLength(std::string_view contents);

} // namespace repair
