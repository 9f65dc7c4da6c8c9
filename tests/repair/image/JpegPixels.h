// SPDX-License-Identifier: MIT
#pragma once

// Decodes a JPEG file's pixels with the system's decoder for the tests: plain C, so that the decoder's
// error exit never crosses a C++ frame.

#ifdef __cplusplus
extern "C" {
#endif

struct TestJpegPixels {
    int Ok; // decoded to the end
    long Warnings;
    unsigned Width, Height, Components;
    unsigned char* Rows; // Height rows of Width * Components bytes; free()d by TestJpegFree
};

void TestJpegDecode(const unsigned char* data, unsigned long size, struct TestJpegPixels* out);
void TestJpegFree(struct TestJpegPixels* pixels);

#ifdef __cplusplus
}
#endif
