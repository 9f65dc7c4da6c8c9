// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace repair {

// Takes libav's log messages away from stderr: errors are only counted (per thread) and the last one kept,
// so that a decode or a read can be judged by whether it complained.
class LibavLog {
public:
    // Installs the handler; safe to call any number of times.
    static void Install();
    // Error messages logged on this thread so far.
    static uint64_t Errors();
    static const std::string& LastError();
};

} // namespace repair
