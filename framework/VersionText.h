// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdint>

// "a.b.c.d" from a packed version number, one byte per part, most significant first.
inline QString VersionText(std::uint32_t packed)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((packed >> 24) & 0xFF)
        .arg((packed >> 16) & 0xFF)
        .arg((packed >> 8) & 0xFF)
        .arg(packed & 0xFF);
}
