// SPDX-License-Identifier: MIT
#pragma once

#include "VersionResourceWriter.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

// Minimal PE images with one .rsrc section holding RT_VERSION, name 1, in one language (0x409) or in
// several, each with its own resource.
inline void put16(QByteArray& b, int at, std::uint16_t v)
{
    b[at] = char(v);
    b[at + 1] = char(v >> 8);
}
inline void put32(QByteArray& b, int at, std::uint32_t v)
{
    put16(b, at, std::uint16_t(v));
    put16(b, at + 2, std::uint16_t(v >> 16));
}

struct PeLayout {
    int rsrcOffset = 0x400;
    std::uint32_t rsrcRva = 0x2000;
    int dataEntry = 0; // offset of the data entry within the section
};

struct PeLanguage {
    std::uint16_t id;
    QByteArray resource;
};

inline QByteArray BuildPeLanguages(
    bool is64, const std::vector<PeLanguage>& languages, PeLayout* layout = nullptr, bool withResource = true)
{
    PeLayout l;
    QByteArray b(l.rsrcOffset, '\0');
    put16(b, 0, 0x5A4D);
    put32(b, 0x3C, 0x80);
    put32(b, 0x80, 0x00004550);
    const int opt = 0x80 + 24;
    const int optSize = is64 ? 240 : 224;
    put16(b, 0x80 + 4, is64 ? 0x8664 : 0x14C);
    put16(b, 0x80 + 6, 2);
    put16(b, 0x80 + 20, std::uint16_t(optSize));
    put16(b, opt, is64 ? 0x20B : 0x10B);
    const int count = is64 ? 108 : 92;
    put32(b, opt + count, 16);
    // A code section first, so the resource RVA has to be mapped through the table.
    const int sec = opt + optSize;
    b.replace(sec, 5, ".text");
    put32(b, sec + 8, 0x100);
    put32(b, sec + 12, 0x1000);
    put32(b, sec + 16, 0x200);
    put32(b, sec + 20, 0x200);

    QByteArray r;
    if (withResource) {
        // Three directory levels: type 16 -> name 1 -> each language -> its data entry.
        const int n = int(languages.size());
        l.dataEntry = 64 + 8 * n;
        r.resize(l.dataEntry + 16 * n, '\0');
        put16(r, 14, 1);
        put32(r, 16, 16);
        put32(r, 20, 0x80000000u | 24);
        put16(r, 24 + 14, 1);
        put32(r, 40, 1);
        put32(r, 44, 0x80000000u | 48);
        put16(r, 48 + 14, std::uint16_t(n));
        for (int i = 0; i < n; ++i) {
            while (r.size() % 4)
                r += '\0';
            const int entry = l.dataEntry + 16 * i;
            put32(r, 64 + 8 * i, languages[size_t(i)].id);
            put32(r, 68 + 8 * i, std::uint32_t(entry));
            put32(r, entry, l.rsrcRva + std::uint32_t(r.size()));
            put32(r, entry + 4, std::uint32_t(languages[size_t(i)].resource.size()));
            r += languages[size_t(i)].resource;
        }
    }
    b.replace(sec + 40, 5, ".rsrc");
    put32(b, sec + 40 + 8, std::uint32_t(r.size()));
    put32(b, sec + 40 + 12, l.rsrcRva);
    put32(b, sec + 40 + 16, std::uint32_t(r.size()));
    put32(b, sec + 40 + 20, std::uint32_t(l.rsrcOffset));
    if (withResource) {
        put32(b, opt + count + 4 + 16, l.rsrcRva);
        put32(b, opt + count + 4 + 20, std::uint32_t(r.size()));
    }
    b += r;
    if (layout)
        *layout = l;
    return b;
}

inline QByteArray BuildPe(
    bool is64, const QByteArray& resource, PeLayout* layout = nullptr, bool withResource = true)
{
    return BuildPeLanguages(is64, { { 0x409, resource } }, layout, withResource);
}

inline TVersionDefinition SampleDefinition()
{
    TVersionDefinition d;
    d.fileVersion = { 3, 4, 5, 6 };
    d.productVersion = { 3, 4, 0, 0 };
    d.fileFlagsMask = 0x3F;
    d.fileFlags = 0x2B; // masked on reading
    d.fileOS = 0x40004;
    d.fileType = 2;
    d.strings = { { "CompanyName", "Sample Co" }, { "FileVersion", "3.4.5.6" }, { "legaltrademarks", "TM" },
        { "ProductName", "Sample" }, { "ProductVersion", "3.4 Beta" }, { "Comments", "Größe" } };
    return d;
}

inline QByteArray ToBytes(const std::vector<std::uint8_t>& v)
{
    return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
}
