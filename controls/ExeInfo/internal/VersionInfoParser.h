// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// The fixed block of a version resource (VS_FIXEDFILEINFO).
struct TFixedFileInfo {
    std::uint32_t fileVersionMS = 0, fileVersionLS = 0;
    std::uint32_t productVersionMS = 0, productVersionLS = 0;
    std::uint32_t fileFlagsMask = 0, fileFlags = 0;
    std::uint32_t fileOS = 0, fileType = 0, fileSubtype = 0;
    std::uint32_t fileDateMS = 0, fileDateLS = 0;
};

struct TVersionString {
    QString key;
    QString value;
};

struct TStringTable {
    QString name; // eight hexadecimal digits: language then code page
    std::vector<TVersionString> strings;
};

// A parsed VS_VERSIONINFO block. Only what the reader needs is kept.
struct TVersionInfo {
    std::optional<TFixedFileInfo> fixed;
    std::vector<std::uint32_t> translations; // low word language, high word code page
    std::vector<TStringTable> tables;

    // Value of `key` in the table named `table`; both compared ignoring case.
    std::optional<QString> value(const QString& table, const QString& key) const;
};

// Parses a VS_VERSIONINFO block from untrusted bytes. Every length is checked against the bytes
// that hold it; nesting is limited; a structure that does not fit is cut where it stops fitting.
// Returns nothing when not even the root header is readable.
std::optional<TVersionInfo> ParseVersionInfo(QByteArrayView data);

// "LLLLCCCC": language then code page, four upper-case hexadecimal digits each.
QString TranslationName(std::uint32_t translation);
