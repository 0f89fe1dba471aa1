#include "separation/loader/JpegDecoder.h"

#include "platform/core/Error.h"

#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace logosmith::decoders {

namespace {

// libjpeg reports errors through callbacks that must not return; we jump back to the decoder
// with the message code. Nothing between setjmp and longjmp owns resources of its own.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    int code;
};

// Our own refusal, told apart from libjpeg's message codes.
constexpr int tooMuchWork = -1;

// A progressive file can repeat scans over the whole picture hundreds of times in a few bytes
// each (every AC coefficient alone, refined bit by bit). Each scan makes the decoder visit
// every block of its components; the blocks of all scans together are the work a file gets:
// 32 million, under a second here, ten times what a large progressive photo needs.
constexpr long long maxBlocks = 32LL * 1024 * 1024;

struct ProgressMonitor {
    jpeg_progress_mgr base;
    ErrorManager* errors;
    int scansCounted;
    long long blocks;
};

[[noreturn]] void onError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    manager->code = manager->base.msg_code;
    std::longjmp(manager->jump, 1);
}

// libjpeg calls this at least once in every scan it reads.
void onProgress(j_common_ptr info) {
    auto* monitor = reinterpret_cast<ProgressMonitor*>(info->progress);
    auto* d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_scan_number == monitor->scansCounted)
        return;
    monitor->scansCounted = d->input_scan_number;
    for (int i = 0; i < d->comps_in_scan; ++i)
        monitor->blocks += static_cast<long long>(d->cur_comp_info[i]->width_in_blocks) *
                           d->cur_comp_info[i]->height_in_blocks;
    if (monitor->blocks > maxBlocks) {
        monitor->errors->code = tooMuchWork;
        std::longjmp(monitor->errors->jump, 1);
    }
}

void onMessage(j_common_ptr info, int level) {
    if (level >= 0)
        return; // trace output
    const int code = info->err->msg_code;
    // Two warnings say nothing about damaged data; every other one means the picture would
    // come out incomplete (a truncated file gives JWRN_JPEG_EOF).
    if (code == JWRN_JFIF_MAJOR || code == JWRN_ADOBE_XFORM)
        return;
    onError(info);
}

// Destroys the decompressor however the decoder leaves.
struct Decompressor {
    jpeg_decompress_struct info{};
    ~Decompressor() { jpeg_destroy_decompress(&info); }
};

[[noreturn]] void fail(int code) {
    if (code == tooMuchWork)
        throw DecodeError("The JPEG file asks for too much decoding work (its scans visit more "
                          "than 32 million blocks)");
    char text[40];
    std::snprintf(text, sizeof text, "JPEG error #%d", code);
    throw DecodeError(text);
}

} // namespace

void decodeJpeg(ByteSource& in, PictureBuilder& out) {
    const std::uint8_t* data = in.all();
    const std::size_t size = in.size();
    if (size == 0)
        fail(JERR_INPUT_EMPTY);
    ErrorManager errors;
    Decompressor d;
    // Declared before setjmp, so that a jump back leaves none of them half-destroyed.
    std::vector<std::uint8_t> scratch;
    std::vector<std::uint8_t> cmykRow;
    d.info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;
    errors.code = 0;
    if (setjmp(errors.jump))
        fail(errors.code);

    jpeg_create_decompress(&d.info);
    // Bounds the working memory of progressive and multi-scan files (their coefficients are
    // kept for the whole picture); a file that needs more is refused, since there is no
    // backing store. With our 24-bit picture this stays well under half a gigabyte.
    d.info.mem->max_memory_to_use = 224L * 1024 * 1024;
    jpeg_mem_src(&d.info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&d.info, TRUE);
    Picture::checkSize(d.info.image_width, d.info.image_height);
    ProgressMonitor monitor{};
    monitor.base.progress_monitor = onProgress;
    monitor.errors = &errors;
    d.info.progress = &monitor.base;

    const bool cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
    if (cmyk)
        d.info.out_color_space = JCS_CMYK;
    else if (d.info.num_components == 1 || d.info.num_components == 3)
        d.info.out_color_space = JCS_EXT_BGR; // greyscale is widened by libjpeg too
    else
        fail(JERR_BAD_J_COLORSPACE);
    jpeg_start_decompress(&d.info);
    out.begin(d.info.output_width, d.info.output_height, true);
    const std::size_t width = d.info.output_width;
    // Rows straight into the picture where they can go there whole, else through one row.
    const bool direct = !cmyk && !out.sampled();
    if (!direct)
        scratch.resize(width * (cmyk ? 4 : 3));
    if (cmyk && out.sampled())
        cmykRow.resize(width * 3);
    // Adobe writers store CMYK inverted (255 = no ink); the plain form is rare but exists.
    const bool inverted = d.info.saw_Adobe_marker;

    while (d.info.output_scanline < d.info.output_height) {
        const int y = int(d.info.output_scanline);
        if (!out.keeps(y)) {
            // Rows up to the next kept one are skipped without colour conversion.
            int next = y + 1;
            while (next < int(d.info.output_height) && !out.keeps(next))
                ++next;
            jpeg_skip_scanlines(&d.info, JDIMENSION(next - y));
            continue;
        }
        JSAMPROW row = direct ? out.rowFor(y) : scratch.data();
        jpeg_read_scanlines(&d.info, &row, 1);
        if (direct)
            continue;
        if (!cmyk) {
            out.putRow(y, scratch.data());
            continue;
        }
        std::uint8_t* dst = out.sampled() ? cmykRow.data() : out.rowFor(y);
        for (std::size_t x = 0; x < width; ++x, dst += 3) {
            int c = scratch[x * 4], m = scratch[x * 4 + 1], yl = scratch[x * 4 + 2],
                k = scratch[x * 4 + 3];
            if (!inverted)
                c = 255 - c, m = 255 - m, yl = 255 - yl, k = 255 - k;
            dst[0] = std::uint8_t((yl * k + 127) / 255);
            dst[1] = std::uint8_t((m * k + 127) / 255);
            dst[2] = std::uint8_t((c * k + 127) / 255);
        }
        if (out.sampled())
            out.putRow(y, cmykRow.data());
    }
    jpeg_finish_decompress(&d.info);
}

} // namespace logosmith::decoders
