// SPDX-License-Identifier: MIT
#include "JpegSyntax.h"

#include <algorithm>

namespace repair {

namespace {
uint32_t CeilDiv(uint64_t a, uint64_t b)
{
    return uint32_t((a + b - 1) / b);
}
} // namespace

bool ParseJpegFrame(uint8_t marker, const uint8_t* body, size_t size, JpegFrame& frame, std::string& why)
{
    frame = JpegFrame {};
    frame.Marker = marker;
    if (marker != 0xC0 && marker != 0xC1 && marker != 0xC2) {
        why = marker == 0xC3 || marker == 0xC7 || marker == 0xCB || marker == 0xCF
            ? "lossless coding, which is not handled"
            : (marker >= 0xC9 ? "arithmetic coding, which is not handled"
                              : "hierarchical coding, which is not handled");
        return false;
    }
    frame.Progressive = marker == 0xC2;
    if (size < 6) {
        why = "a frame header too short";
        return false;
    }
    frame.Precision = body[0];
    frame.Height = uint16_t(body[1] << 8 | body[2]);
    frame.Width = uint16_t(body[3] << 8 | body[4]);
    const size_t count = body[5];
    if (frame.Precision != 8) {
        why = std::to_string(frame.Precision) + "-bit samples, which are not handled";
        return false;
    }
    if (frame.Width == 0 || frame.Height == 0) {
        why = frame.Height == 0 ? "a height given only after the data, which is not handled" : "a width of 0";
        return false;
    }
    if (count < 1 || count > 4 || size != 6 + 3 * count) {
        why = "a frame header that does not hold together";
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        JpegComponent c;
        c.Id = body[6 + 3 * i];
        c.H = uint8_t(body[7 + 3 * i] >> 4);
        c.V = uint8_t(body[7 + 3 * i] & 15);
        c.Tq = body[8 + 3 * i];
        if (c.H < 1 || c.H > 4 || c.V < 1 || c.V > 4 || c.Tq > 3) {
            why = "a frame header that does not hold together";
            return false;
        }
        frame.Hmax = std::max(frame.Hmax, c.H);
        frame.Vmax = std::max(frame.Vmax, c.V);
        frame.Components.push_back(c);
    }
    frame.McusWide = CeilDiv(frame.Width, 8u * frame.Hmax);
    frame.McusHigh = CeilDiv(frame.Height, 8u * frame.Vmax);
    for (auto& c : frame.Components) {
        c.BlocksWide = CeilDiv(CeilDiv(uint64_t(frame.Width) * c.H, frame.Hmax), 8);
        c.BlocksHigh = CeilDiv(CeilDiv(uint64_t(frame.Height) * c.V, frame.Vmax), 8);
        c.PaddedWide = frame.McusWide * c.H;
        c.PaddedHigh = frame.McusHigh * c.V;
    }
    return true;
}

bool ParseJpegScan(const uint8_t* body, size_t size, const JpegFrame& frame, JpegScan& scan, std::string& why)
{
    scan = JpegScan {};
    why = "a scan header that does not fit the frame";
    if (size < 1)
        return false;
    const size_t count = body[0];
    if (count < 1 || count > 4 || size != 4 + 2 * count)
        return false;
    unsigned blocks = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t id = body[1 + 2 * i];
        auto it = std::find_if(frame.Components.begin(), frame.Components.end(),
            [&](const JpegComponent& c) { return c.Id == id; });
        if (it == frame.Components.end())
            return false;
        const int index = int(it - frame.Components.begin());
        if (std::find(scan.Components.begin(), scan.Components.end(), index) != scan.Components.end())
            return false;
        scan.Components.push_back(index);
        scan.Td[i] = uint8_t(body[2 + 2 * i] >> 4);
        scan.Ta[i] = uint8_t(body[2 + 2 * i] & 15);
        if (scan.Td[i] > 3 || scan.Ta[i] > 3)
            return false;
        blocks += unsigned(it->H) * it->V;
    }
    if (count > 1 && blocks > 10)
        return false;
    scan.Ss = body[1 + 2 * count];
    scan.Se = body[2 + 2 * count];
    scan.Ah = uint8_t(body[3 + 2 * count] >> 4);
    scan.Al = uint8_t(body[3 + 2 * count] & 15);
    if (!frame.Progressive)
        return scan.Ss == 0 && scan.Se == 63 && scan.Ah == 0 && scan.Al == 0;
    if (scan.Ss > scan.Se || scan.Se > 63 || scan.Al > 13 || scan.Ah > 13)
        return false;
    if (scan.Ss == 0 ? scan.Se != 0 : count != 1)
        return false;
    return scan.Ah == 0 || scan.Al == scan.Ah - 1;
}

} // namespace repair
