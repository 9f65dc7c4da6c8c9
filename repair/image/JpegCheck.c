/* SPDX-License-Identifier: MIT */
#include "JpegCheck.h"

#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jerror.h>
#include <jpeglib.h>

enum { kChunk = 64 * 1024 };

struct CheckError {
    struct jpeg_error_mgr Base;
    jmp_buf Exit;
    struct QuillonJpegCheck* Check;
};

struct CheckSource {
    struct jpeg_source_mgr Base;
    QuillonJpegRead Read;
    void* Context;
    JOCTET Buffer[kChunk];
};

static const JOCTET kFakeEoi[2] = { 0xFF, JPEG_EOI };

static void Remember(j_common_ptr cinfo, struct QuillonJpegCheck* check)
{
    if (check->Message[0] == '\0') {
        char text[JMSG_LENGTH_MAX];
        (*cinfo->err->format_message)(cinfo, text);
        snprintf(check->Message, sizeof check->Message, "%s", text);
    }
}

static void OnError(j_common_ptr cinfo)
{
    struct CheckError* err = (struct CheckError*)cinfo->err;
    if (cinfo->err->msg_code == JERR_NO_BACKING_STORE || cinfo->err->msg_code == JERR_OUT_OF_MEMORY)
        err->Check->TooLarge = 1;
    Remember(cinfo, err->Check);
    longjmp(err->Exit, 1);
}

static void OnMessage(j_common_ptr cinfo, int level)
{
    struct CheckError* err = (struct CheckError*)cinfo->err;
    if (level < 0) {
        ++err->Check->Warnings;
        Remember(cinfo, err->Check);
    }
}

static void OnOutput(j_common_ptr cinfo)
{
    (void)cinfo;
}

static void InitSource(j_decompress_ptr cinfo)
{
    (void)cinfo;
}
static void TermSource(j_decompress_ptr cinfo)
{
    (void)cinfo;
}

static boolean FillInput(j_decompress_ptr cinfo)
{
    struct CheckSource* src = (struct CheckSource*)cinfo->src;
    size_t n = src->Read(src->Context, src->Buffer, kChunk);
    if (n == 0) {
        /* The stream ended before its end marker: a warning, as the decoder gives. */
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->Base.next_input_byte = kFakeEoi;
        src->Base.bytes_in_buffer = 2;
        return TRUE;
    }
    src->Base.next_input_byte = src->Buffer;
    src->Base.bytes_in_buffer = n;
    return TRUE;
}

static void SkipInput(j_decompress_ptr cinfo, long count)
{
    struct jpeg_source_mgr* src = cinfo->src;
    while (count > (long)src->bytes_in_buffer) {
        count -= (long)src->bytes_in_buffer;
        (void)(*src->fill_input_buffer)(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= (size_t)count;
}

void QuillonCheckJpeg(QuillonJpegRead read, void* context, long maxMemory, struct QuillonJpegCheck* check)
{
    struct jpeg_decompress_struct cinfo;
    struct CheckError err;
    struct CheckSource* src = (struct CheckSource*)malloc(sizeof *src);
    JSAMPARRAY row;

    memset(check, 0, sizeof *check);
    if (!src) {
        check->TooLarge = 1;
        return;
    }
    memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.Base);
    err.Base.error_exit = OnError;
    err.Base.emit_message = OnMessage;
    err.Base.output_message = OnOutput;
    err.Check = check;
    if (setjmp(err.Exit)) {
        jpeg_destroy_decompress(&cinfo);
        free(src);
        return;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = maxMemory;
    memset(&src->Base, 0, sizeof src->Base);
    src->Read = read;
    src->Context = context;
    src->Base.init_source = InitSource;
    src->Base.fill_input_buffer = FillInput;
    src->Base.skip_input_data = SkipInput;
    src->Base.resync_to_restart = jpeg_resync_to_restart;
    src->Base.term_source = TermSource;
    cinfo.src = &src->Base;

    jpeg_read_header(&cinfo, TRUE);
    check->Width = cinfo.image_width;
    check->Height = cinfo.image_height;
    /* Every bit of the data is still decoded; only the pixels are left mostly uncomputed. */
    cinfo.scale_num = 1;
    cinfo.scale_denom = 8;
    cinfo.dct_method = JDCT_IFAST;
    cinfo.do_fancy_upsampling = FALSE;
    if (cinfo.jpeg_color_space == JCS_YCbCr)
        cinfo.out_color_space = JCS_GRAYSCALE;
    jpeg_start_decompress(&cinfo);
    row = (*cinfo.mem->alloc_sarray)(
        (j_common_ptr)&cinfo, JPOOL_IMAGE, cinfo.output_width * (JDIMENSION)cinfo.output_components, 1);
    while (cinfo.output_scanline < cinfo.output_height)
        jpeg_read_scanlines(&cinfo, row, 1);
    jpeg_finish_decompress(&cinfo);
    check->Decoded = 1;
    jpeg_destroy_decompress(&cinfo);
    free(src);
}
