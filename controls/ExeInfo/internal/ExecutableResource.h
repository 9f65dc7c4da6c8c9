// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <cstdint>
#include <optional>
#include <vector>

// Where the version resource sits inside an executable image; offsets into the same bytes.
struct TResourceSpan {
    qsizetype offset = 0;
    qsizetype size = 0;
};

// U.S. English, the language the system falls back to before taking a resource's first language.
inline constexpr std::uint16_t EnglishLanguage = 0x0409;

// Which of a resource's languages (Windows language ids, in directory order) the system's version
// functions take for a user whose interface language is `uiLanguage`: that language, else another
// form of the same primary language, else a language-neutral one, else U.S. English, else the
// first. -1 when there is none.
int ChooseResourceLanguage(const std::vector<std::uint16_t>& languages, std::uint16_t uiLanguage);

// RT_VERSION data of a Windows PE image (32- or 64-bit): the first name under type 16 in the resource
// directory, in the language ChooseResourceLanguage takes. Nothing when the image has no such
// resource or lies about it.
std::optional<TResourceSpan> FindPeVersionResource(
    QByteArrayView image, std::uint16_t uiLanguage = EnglishLanguage);

// Section name in which our own non-Windows executables carry the same bytes.
inline constexpr char VersionSectionName[] = ".quillon_version";

// The version section of an ELF image (32- or 64-bit, little-endian).
std::optional<TResourceSpan> FindElfVersionResource(QByteArrayView image);

// Either of the above, chosen by the image's signature.
std::optional<TResourceSpan> FindVersionResource(
    QByteArrayView image, std::uint16_t uiLanguage = EnglishLanguage);
