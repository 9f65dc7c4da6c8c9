// SPDX-License-Identifier: MIT
#pragma once

// Decodes a JPEG stream with the system's decoder to see whether it decodes cleanly: no error, no warning.
// Plain C, so that the decoder's error exits (a longjmp) never cross a C++ frame.

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// Fills `buffer` with up to `size` next bytes of the stream; 0 at its end. Must not throw.
typedef size_t (*QuillonJpegRead)(void* context, unsigned char* buffer, size_t size);

struct QuillonJpegCheck {
    int Decoded; // the whole image was decoded (perhaps with warnings)
    int TooLarge; // the decoder would need more memory than allowed: not a verdict on the data
    long Warnings; // data the decoder found corrupt, premature ends
    unsigned Width, Height;
    char Message[200]; // the first warning or the error
};

// Returns the result in `check`. `maxMemory` bounds the decoder's own buffers (a progressive image is held
// whole as coefficients).
void QuillonCheckJpeg(QuillonJpegRead read, void* context, long maxMemory, struct QuillonJpegCheck* check);

#ifdef __cplusplus
}
#endif
