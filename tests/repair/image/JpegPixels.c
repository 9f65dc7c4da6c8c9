/* SPDX-License-Identifier: MIT */
#include "JpegPixels.h"

#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jpeglib.h>

struct TestError {
    struct jpeg_error_mgr Base;
    jmp_buf Exit;
    long Warnings;
};

static void OnError(j_common_ptr cinfo)
{
    longjmp(((struct TestError*)cinfo->err)->Exit, 1);
}

static void OnMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        ++((struct TestError*)cinfo->err)->Warnings;
}

void TestJpegDecode(const unsigned char* data, unsigned long size, struct TestJpegPixels* out)
{
    struct jpeg_decompress_struct cinfo;
    struct TestError err;
    memset(out, 0, sizeof *out);
    cinfo.err = jpeg_std_error(&err.Base);
    err.Base.error_exit = OnError;
    err.Base.emit_message = OnMessage;
    err.Warnings = 0;
    if (setjmp(err.Exit)) {
        out->Warnings = err.Warnings;
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    out->Width = cinfo.output_width;
    out->Height = cinfo.output_height;
    out->Components = (unsigned)cinfo.output_components;
    out->Rows = (unsigned char*)malloc((size_t)out->Width * out->Height * out->Components);
    while (out->Rows && cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out->Rows + (size_t)cinfo.output_scanline * out->Width * out->Components;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    out->Ok = out->Rows != NULL;
    out->Warnings = err.Warnings;
}

void TestJpegFree(struct TestJpegPixels* pixels)
{
    free(pixels->Rows);
    pixels->Rows = NULL;
}
