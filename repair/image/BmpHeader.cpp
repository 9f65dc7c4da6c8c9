// SPDX-License-Identifier: MIT
#include "BmpHeader.h"

#include "PngFormat.h"

namespace repair {

bool BmpHeader::Parse(const uint8_t* head, size_t count, uint64_t fileSize, std::string& why)
{
    if (count < kFileHeader + 12) {
        why = "the file is too short to be a bitmap";
        return false;
    }
    DeclaredFileSize = BmpLe32(head + 2);
    DeclaredOffset = BmpLe32(head + 10);
    InfoSize = BmpLe32(head + 14);
    const uint8_t* info = head + kFileHeader;
    uint16_t planes = 0;
    if (InfoSize == 12) {
        Width = BmpLe16(info + 4);
        Height = BmpLe16(info + 6);
        planes = BmpLe16(info + 8);
        BitsPerPixel = BmpLe16(info + 10);
    } else if (InfoSize == 40 || InfoSize == 52 || InfoSize == 56 || InfoSize == 64 || InfoSize == 108
        || InfoSize == 124) {
        if (count < kFileHeader + InfoSize) {
            why = "the file is too short to be a bitmap";
            return false;
        }
        Width = int32_t(BmpLe32(info + 4));
        Height = int32_t(BmpLe32(info + 8));
        planes = BmpLe16(info + 12);
        BitsPerPixel = BmpLe16(info + 14);
        Compression = BmpLe32(info + 16);
        DeclaredImageSize = BmpLe32(info + 20);
        PaletteEntries = BmpLe32(info + 32);
    } else {
        why = "the bitmap header is damaged or of an unknown kind";
        return false;
    }
    const bool depthOk = BitsPerPixel == 1 || BitsPerPixel == 4 || BitsPerPixel == 8 || BitsPerPixel == 16
        || BitsPerPixel == 24 || BitsPerPixel == 32;
    if (Width <= 0 || Height == 0 || Height == INT32_MIN || planes != 1 || !depthOk) {
        why = "the bitmap header holds values no bitmap has";
        return false;
    }
    // Run-length, JPEG and PNG bitmaps hold no rows of fixed length to salvage.
    if (Compression != 0 && Compression != 3 && Compression != 6) {
        why = "compressed bitmaps are not repaired";
        return false;
    }
    Rows = uint64_t(Height < 0 ? -Height : Height);
    Stride = (uint64_t(Width) * BitsPerPixel + 31) / 32 * 4;
    if (uint64_t(Width) * Rows > kMaxPixels || Stride > kMaxRowBytes) {
        why = "the bitmap claims " + std::to_string(Width) + " x " + std::to_string(Rows)
            + " pixels, more than can be repaired safely";
        return false;
    }
    if (BitsPerPixel <= 8) {
        const uint32_t most = 1u << BitsPerPixel;
        if (PaletteEntries == 0 || PaletteEntries > most)
            PaletteEntries = most;
    } else if (PaletteEntries > 256) {
        PaletteEntries = 0;
    }
    uint64_t masks = 0;
    if (InfoSize == 40 && Compression == 3)
        masks = 12;
    else if (InfoSize == 40 && Compression == 6)
        masks = 16;
    MinimumOffset = kFileHeader + InfoSize + masks + uint64_t(PaletteEntries) * (InfoSize == 12 ? 3 : 4);
    // The offset as written, unless it points before the palette's end or past the file.
    Offset = DeclaredOffset >= MinimumOffset && DeclaredOffset <= fileSize ? DeclaredOffset : MinimumOffset;
    return true;
}

} // namespace repair
