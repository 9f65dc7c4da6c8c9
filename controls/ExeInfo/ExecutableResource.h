// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <optional>

// Where the version resource sits inside an executable image; offsets into the same bytes.
struct TResourceSpan {
    qsizetype offset = 0;
    qsizetype size = 0;
};

// RT_VERSION data of a Windows PE image (32- or 64-bit): the first name and first language under
// type 16 in the resource directory. Nothing when the image has no such resource or lies about it.
std::optional<TResourceSpan> FindPeVersionResource(QByteArrayView image);

// Section name in which our own non-Windows executables carry the same bytes.
inline constexpr char VersionSectionName[] = ".quillon_version";

// The version section of an ELF image (32- or 64-bit, little-endian).
std::optional<TResourceSpan> FindElfVersionResource(QByteArrayView image);

// Either of the above, chosen by the image's signature.
std::optional<TResourceSpan> FindVersionResource(QByteArrayView image);
