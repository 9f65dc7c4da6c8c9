// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>

namespace repair {

// The errors the engine reports by exception; every one ends the repair with verdict "error".

// The source could not be read; what() holds the system's reason.
class ReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The fixed file could not be written (disk full, file too large, folder not writable, target exists).
class WriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The work was stopped by a Cancel() before it finished.
class CancelledError : public std::runtime_error {
public:
    CancelledError()
        : std::runtime_error("stopped before the end")
    {
    }
};

} // namespace repair
