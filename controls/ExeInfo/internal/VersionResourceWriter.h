// SPDX-License-Identifier: MIT
#pragma once

// Builds VS_VERSIONINFO bytes. Plain standard C++ so the build-time generator can use it too.

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct TVersionDefinition {
    std::array<std::uint16_t, 4> fileVersion {};
    std::array<std::uint16_t, 4> productVersion {};
    std::uint32_t fileFlagsMask = 0x3F;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = 0;
    std::uint32_t fileType = 0;
    std::uint32_t fileSubtype = 0;
    std::uint32_t fileDateMS = 0, fileDateLS = 0;
    std::uint16_t language = 0x0409;
    std::uint16_t codePage = 0x04E4;
    std::vector<std::pair<std::string, std::string>> strings; // key, value (UTF-8)
};

std::vector<std::uint8_t> WriteVersionResource(const TVersionDefinition& def);

// Reads "key = value" lines ('#' comments); returns an empty string or an error message.
std::string ParseVersionDefinition(const std::string& text, TVersionDefinition& def);

// The definition as a Windows resource script (VERSIONINFO statement).
std::string VersionDefinitionToRc(const TVersionDefinition& def);
