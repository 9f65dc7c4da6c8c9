// SPDX-License-Identifier: MIT
#include "ExecutableResource.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct Bytes {
    QByteArrayView d;
    bool has(std::uint64_t pos, std::uint64_t len) const
    {
        const auto size = std::uint64_t(d.size());
        return pos <= size && len <= size - pos;
    }
    std::uint16_t u16(std::uint64_t p) const
    {
        return std::uint16_t(std::uint8_t(d[qsizetype(p)]) | (std::uint8_t(d[qsizetype(p) + 1]) << 8));
    }
    std::uint32_t u32(std::uint64_t p) const { return u16(p) | (std::uint32_t(u16(p + 2)) << 16); }
    std::uint64_t u64(std::uint64_t p) const { return u32(p) | (std::uint64_t(u32(p + 4)) << 32); }
};

constexpr std::uint32_t RtVersion = 16;

struct Section {
    std::uint32_t virtualAddress, virtualSize, rawPointer, rawSize;
};

std::optional<std::uint64_t> rvaToOffset(
    const std::vector<Section>& sections, std::uint32_t rva, std::uint32_t len)
{
    for (const Section& s : sections) {
        const std::uint64_t extent = std::max(s.virtualSize, s.rawSize);
        if (rva < s.virtualAddress || std::uint64_t(rva) - s.virtualAddress >= extent)
            continue;
        const std::uint64_t delta = std::uint64_t(rva) - s.virtualAddress;
        if (delta + len > s.rawSize)
            return std::nullopt; // not backed by file bytes
        return std::uint64_t(s.rawPointer) + delta;
    }
    return std::nullopt;
}

// Offset (relative to the resource directory) that the entry for `id` points to, or the first
// entry when id is 0; the high bit tells a sub-directory.
std::optional<std::uint32_t> pickEntry(const Bytes& b, std::uint64_t rsrc, std::uint64_t rsrcSize,
    std::uint32_t dir, std::uint32_t id, bool wantDirectory)
{
    if (dir > rsrcSize || rsrcSize - dir < 16 || !b.has(rsrc + dir, 16))
        return std::nullopt;
    const std::uint32_t named = b.u16(rsrc + dir + 12);
    const std::uint32_t ids = b.u16(rsrc + dir + 14);
    for (std::uint32_t i = 0; i < named + ids; ++i) {
        const std::uint64_t e = rsrc + dir + 16 + std::uint64_t(i) * 8;
        if (e + 8 > rsrc + rsrcSize || !b.has(e, 8))
            return std::nullopt;
        const std::uint32_t name = b.u32(e);
        const std::uint32_t target = b.u32(e + 4);
        if (id != 0 && (i < named || name != id))
            continue;
        const bool isDirectory = (target & 0x80000000u) != 0;
        if (isDirectory != wantDirectory)
            return std::nullopt;
        return target & 0x7FFFFFFFu;
    }
    return std::nullopt;
}

// The data entry (relative to the resource directory) of the language chosen among the entries of
// the language directory at `dir`.
std::optional<std::uint32_t> pickLanguage(
    const Bytes& b, std::uint64_t rsrc, std::uint64_t rsrcSize, std::uint32_t dir, std::uint16_t uiLanguage)
{
    if (dir > rsrcSize || rsrcSize - dir < 16 || !b.has(rsrc + dir, 16))
        return std::nullopt;
    const std::uint32_t named = b.u16(rsrc + dir + 12);
    const std::uint32_t ids = b.u16(rsrc + dir + 14);
    std::vector<std::uint16_t> languages;
    std::vector<std::uint32_t> targets;
    for (std::uint32_t i = 0; i < named + ids; ++i) {
        const std::uint64_t e = rsrc + dir + 16 + std::uint64_t(i) * 8;
        if (e + 8 > rsrc + rsrcSize || !b.has(e, 8))
            return std::nullopt;
        const std::uint32_t name = b.u32(e);
        // Languages are numbered; a named entry or a number beyond a language id is none.
        if (i < named || name > 0xFFFF)
            continue;
        languages.push_back(std::uint16_t(name));
        targets.push_back(b.u32(e + 4));
    }
    const int chosen = ChooseResourceLanguage(languages, uiLanguage);
    if (chosen < 0 || (targets[size_t(chosen)] & 0x80000000u) != 0)
        return std::nullopt;
    return targets[size_t(chosen)];
}

} // namespace

int ChooseResourceLanguage(const std::vector<std::uint16_t>& languages, std::uint16_t uiLanguage)
{
    const auto primary = [](std::uint16_t id) { return id & 0x3FF; };
    const auto first = [&](auto&& matches) {
        const auto it = std::find_if(languages.begin(), languages.end(), matches);
        return it == languages.end() ? -1 : int(it - languages.begin());
    };
    int chosen = first([&](std::uint16_t id) { return id == uiLanguage; });
    if (chosen < 0 && primary(uiLanguage) != 0)
        chosen = first([&](std::uint16_t id) { return primary(id) == primary(uiLanguage); });
    if (chosen < 0)
        chosen = first([&](std::uint16_t id) { return primary(id) == 0; });
    if (chosen < 0)
        chosen = first([](std::uint16_t id) { return id == EnglishLanguage; });
    if (chosen < 0 && !languages.empty())
        chosen = 0;
    return chosen;
}

std::optional<TResourceSpan> FindPeVersionResource(QByteArrayView image, std::uint16_t uiLanguage)
{
    const Bytes b { image };
    if (!b.has(0, 64) || b.u16(0) != 0x5A4D)
        return std::nullopt;
    const std::uint64_t pe = b.u32(0x3C);
    if (!b.has(pe, 24) || b.u32(pe) != 0x00004550)
        return std::nullopt;
    const std::uint32_t sectionCount = b.u16(pe + 6);
    const std::uint32_t optionalSize = b.u16(pe + 20);
    const std::uint64_t opt = pe + 24;
    if (!b.has(opt, optionalSize) || optionalSize < 2)
        return std::nullopt;
    const std::uint16_t magic = b.u16(opt);
    std::uint64_t countAt = 0;
    if (magic == 0x10B)
        countAt = 92;
    else if (magic == 0x20B)
        countAt = 108;
    else
        return std::nullopt;
    if (optionalSize < countAt + 4 + 3 * 8)
        return std::nullopt;
    if (b.u32(opt + countAt) < 3)
        return std::nullopt;
    const std::uint64_t resourceEntry = opt + countAt + 4 + 2 * 8;
    const std::uint32_t rsrcRva = b.u32(resourceEntry);
    const std::uint32_t rsrcSize = b.u32(resourceEntry + 4);
    if (rsrcRva == 0 || rsrcSize == 0)
        return std::nullopt;

    std::vector<Section> sections;
    const std::uint64_t table = opt + optionalSize;
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
        const std::uint64_t s = table + std::uint64_t(i) * 40;
        if (!b.has(s, 40))
            return std::nullopt;
        sections.push_back({ b.u32(s + 12), b.u32(s + 8), b.u32(s + 20), b.u32(s + 16) });
    }
    const auto rsrc = rvaToOffset(sections, rsrcRva, 16);
    if (!rsrc)
        return std::nullopt;
    const std::uint64_t available = std::min<std::uint64_t>(rsrcSize, image.size() - *rsrc);

    const auto names = pickEntry(b, *rsrc, available, 0, RtVersion, true);
    if (!names)
        return std::nullopt;
    const auto languages = pickEntry(b, *rsrc, available, *names, 0, true);
    if (!languages)
        return std::nullopt;
    const auto dataEntry = pickLanguage(b, *rsrc, available, *languages, uiLanguage);
    if (!dataEntry || *dataEntry > available || available - *dataEntry < 16)
        return std::nullopt;
    const std::uint32_t dataRva = b.u32(*rsrc + *dataEntry);
    const std::uint32_t dataSize = b.u32(*rsrc + *dataEntry + 4);
    const auto data = rvaToOffset(sections, dataRva, dataSize);
    if (!data || !b.has(*data, dataSize))
        return std::nullopt;
    return TResourceSpan { qsizetype(*data), qsizetype(dataSize) };
}

std::optional<TResourceSpan> FindElfVersionResource(QByteArrayView image)
{
    const Bytes b { image };
    if (!b.has(0, 52)
        || std::memcmp(image.data(),
               "\x7f"
               "ELF",
               4)
            != 0
        || b.d[5] != 1)
        return std::nullopt;
    const bool is64 = b.d[4] == 2;
    if (!is64 && b.d[4] != 1)
        return std::nullopt;
    if (is64 && !b.has(0, 64))
        return std::nullopt;
    const std::uint64_t shoff = is64 ? b.u64(0x28) : b.u32(0x20);
    const std::uint32_t shentsize = b.u16(is64 ? 0x3A : 0x2E);
    const std::uint32_t shnum = b.u16(is64 ? 0x3C : 0x30);
    const std::uint32_t shstrndx = b.u16(is64 ? 0x3E : 0x32);
    const std::uint32_t minEntry = is64 ? 64 : 40;
    if (shentsize < minEntry || shstrndx >= shnum || !b.has(shoff, std::uint64_t(shnum) * shentsize))
        return std::nullopt;
    auto header = [&](std::uint32_t i) { return shoff + std::uint64_t(i) * shentsize; };
    auto offsetOf = [&](std::uint64_t h) { return is64 ? b.u64(h + 0x18) : b.u32(h + 0x10); };
    auto sizeOf = [&](std::uint64_t h) { return is64 ? b.u64(h + 0x20) : b.u32(h + 0x14); };
    const std::uint64_t strings = offsetOf(header(shstrndx));
    const std::uint64_t stringsSize = sizeOf(header(shstrndx));
    if (!b.has(strings, stringsSize))
        return std::nullopt;
    const std::size_t nameLen = sizeof(VersionSectionName); // with the terminating zero
    for (std::uint32_t i = 0; i < shnum; ++i) {
        const std::uint64_t h = header(i);
        const std::uint32_t name = b.u32(h);
        if (name > stringsSize || stringsSize - name < nameLen)
            continue;
        if (std::memcmp(image.data() + strings + name, VersionSectionName, nameLen) != 0)
            continue;
        const std::uint32_t type = b.u32(h + 4);
        const std::uint64_t off = offsetOf(h), size = sizeOf(h);
        if (type == 8 /* SHT_NOBITS */ || !b.has(off, size))
            return std::nullopt;
        return TResourceSpan { qsizetype(off), qsizetype(size) };
    }
    return std::nullopt;
}

std::optional<TResourceSpan> FindVersionResource(QByteArrayView image, std::uint16_t uiLanguage)
{
    if (image.size() >= 2 && image[0] == 'M' && image[1] == 'Z')
        return FindPeVersionResource(image, uiLanguage);
    if (image.size() >= 4 && image[0] == '\x7f' && image[1] == 'E')
        return FindElfVersionResource(image);
    return std::nullopt;
}
