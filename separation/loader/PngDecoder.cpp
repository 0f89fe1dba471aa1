#include "separation/loader/PngDecoder.h"

#include "platform/core/Error.h"

#include <csetjmp>
#include <cstring>
#include <string>
#include <vector>

#include <png.h>

namespace logosmith::decoders {

namespace {

// libpng reports errors through a callback that must not return: the message is kept and the
// decoder jumps back to where it can throw. Nothing between setjmp and longjmp owns resources
// of its own.
struct ReadState {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t at = 0;
    char message[160] = {};
};

[[noreturn]] void onError(png_structp png, png_const_charp message) {
    auto* state = static_cast<ReadState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message ? message : "");
    png_longjmp(png, 1);
}

// Warnings are about ancillary data (profiles, text, extra bytes after the image data); the
// picture itself is whole.
void onWarning(png_structp, png_const_charp) {}

void onRead(png_structp png, png_bytep into, png_size_t count) {
    auto* state = static_cast<ReadState*>(png_get_io_ptr(png));
    if (count > state->size - state->at)
        png_error(png, "truncated");
    std::memcpy(into, state->data + state->at, count);
    state->at += count;
}

struct Reader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
};

[[noreturn]] void fail(const std::string& message) {
    if (message == "truncated")
        throw DecodeError("The PNG file is truncated");
    throw DecodeError("The PNG file is damaged: " + message);
}

// Walks the chunks up to the end chunk. libpng allocates some chunks (EXIF among them) at their
// declared length before it reads them; a length that runs past the file is refused here, so no
// file can ask for more memory than it has bytes.
void checkChunkLengths(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 8;
    while (at < size) {
        if (size - at < 12)
            throw DecodeError("The PNG file is truncated");
        const std::uint32_t length = std::uint32_t(data[at]) << 24 |
                                     std::uint32_t(data[at + 1]) << 16 |
                                     std::uint32_t(data[at + 2]) << 8 | std::uint32_t(data[at + 3]);
        if (length > size - at - 12)
            throw DecodeError("The PNG file is truncated");
        if (std::memcmp(data + at + 4, "IEND", 4) == 0)
            return;
        at += 12 + std::size_t(length);
    }
    throw DecodeError("The PNG file is truncated");
}

} // namespace

void decodePng(ByteSource& in, PictureBuilder& out) {
    ReadState state;
    state.data = in.all();
    state.size = in.size();
    if (state.size < 8 || png_sig_cmp(state.data, 0, 8) != 0)
        throw DecodeError("The file is not a PNG picture");
    checkChunkLengths(state.data, state.size);
    Reader r;
    // Declared before setjmp, so that a jump back leaves none of them half-destroyed.
    std::vector<std::uint8_t> row;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, onError, onWarning);
    if (!r.png)
        throw DecodeError("The PNG file cannot be read: out of memory");
    r.info = png_create_info_struct(r.png);
    if (!r.info)
        throw DecodeError("The PNG file cannot be read: out of memory");
    if (setjmp(png_jmpbuf(r.png)))
        fail(state.message);

    png_set_read_fn(r.png, &state, onRead);
    // Text and profile chunks may be compressed; none may unpack to more than this.
    png_set_chunk_malloc_max(r.png, 8L * 1024 * 1024);
    png_set_user_limits(r.png, Picture::maxSide, Picture::maxSide);
    png_read_info(r.png, r.info);
    const png_uint_32 width = png_get_image_width(r.png, r.info);
    const png_uint_32 height = png_get_image_height(r.png, r.info);
    Picture::checkSize(width, height);

    // Everything to 8-bit blue, green, red, with alpha where the file has any transparency.
    png_set_expand(r.png);
    png_set_scale_16(r.png);
    png_set_gray_to_rgb(r.png);
    png_set_bgr(r.png);
    const int passes = png_get_interlace_type(r.png, r.info) == PNG_INTERLACE_ADAM7 ? 7 : 1;
    png_read_update_info(r.png, r.info);
    const int channels = png_get_channels(r.png, r.info);
    if (channels != 3 && channels != 4)
        fail("unexpected channel count " + std::to_string(channels));
    out.begin(width, height, true);
    row.resize(png_get_rowbytes(r.png, r.info));

    // Interlaced files are read pass by pass as small pictures of their own; each of their
    // pixels is final and goes straight to its place in the output.
    for (int pass = 0; pass < passes; ++pass) {
        const png_uint_32 columns = passes == 1 ? width : PNG_PASS_COLS(width, pass);
        const png_uint_32 rows = passes == 1 ? height : PNG_PASS_ROWS(height, pass);
        if (columns == 0 || rows == 0)
            continue; // libpng skips empty passes too
        for (png_uint_32 j = 0; j < rows; ++j) {
            const int y = int(passes == 1 ? j : PNG_ROW_FROM_PASS_ROW(j, pass));
            const bool direct = passes == 1 && channels == 3 && !out.sampled() && out.keeps(y);
            png_bytep into = direct ? out.rowFor(y) : row.data();
            png_read_row(r.png, into, nullptr);
            if (direct || !out.keeps(y))
                continue;
            std::uint8_t* dst = out.rowFor(y);
            for (png_uint_32 i = 0; i < columns; ++i) {
                const int x = int(passes == 1 ? i : PNG_COL_FROM_PASS_COL(i, pass));
                const int column = out.columnFor(x);
                if (column < 0)
                    continue;
                const std::uint8_t* p = row.data() + std::size_t(i) * std::size_t(channels);
                std::uint8_t* q = dst + std::size_t(column) * 3;
                if (channels == 4) {
                    composeBgraOnWhite(p, q);
                } else {
                    q[0] = p[0];
                    q[1] = p[1];
                    q[2] = p[2];
                }
            }
        }
    }
    // The chunks after the image data, up to the end chunk: a file cut short is refused.
    png_read_end(r.png, nullptr);
}

} // namespace logosmith::decoders
