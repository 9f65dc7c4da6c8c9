// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace repair {

// The part of a page's decoded contents that reads as operands and operators. Decoding a damaged stream
// goes on giving bytes for a while after the damage: where they stop reading soundly, the operands
// before them are dropped and reading resumes at the next line; a last operation cut off by the end is
// dropped too. Ends with a line end.
std::string SoundContent(std::string_view contents);

} // namespace repair
