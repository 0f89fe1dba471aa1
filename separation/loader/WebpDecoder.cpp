#include "separation/loader/WebpDecoder.h"

#include "platform/core/Error.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <webp/decode.h>
#include <webp/demux.h>

namespace logosmith::decoders {

namespace {

constexpr std::int64_t maxLosslessPixels = 32LL * 1024 * 1024;

[[noreturn]] void fail(VP8StatusCode status) {
    switch (status) {
    case VP8_STATUS_NOT_ENOUGH_DATA:
        throw DecodeError("The WebP file is truncated");
    case VP8_STATUS_UNSUPPORTED_FEATURE:
        throw DecodeError("The WebP file uses an unsupported feature");
    case VP8_STATUS_OUT_OF_MEMORY:
        throw DecodeError("The WebP file needs more memory than there is");
    default:
        throw DecodeError("The WebP file is damaged");
    }
}

struct DemuxCloser {
    void operator()(WebPDemuxer* d) const { WebPDemuxDelete(d); }
};

// One frame's bitstream decoded into a buffer of its own, blue, green, red and perhaps alpha.
std::vector<std::uint8_t> decodeFrame(const std::uint8_t* data, std::size_t size, int width,
                                      int height, bool alpha) {
    const int channels = alpha ? 4 : 3;
    std::vector<std::uint8_t> pixels(std::size_t(width) * std::size_t(height) * channels);
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        throw DecodeError("The WebP decoder cannot be started");
    config.output.colorspace = alpha ? MODE_BGRA : MODE_BGR;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = pixels.data();
    config.output.u.RGBA.stride = width * channels;
    config.output.u.RGBA.size = pixels.size();
    const VP8StatusCode status = WebPDecode(data, size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK)
        fail(status);
    if (config.output.width != width || config.output.height != height)
        throw DecodeError("The WebP file is damaged: its frame is not of the size it claims");
    return pixels;
}

void checkFrame(const WebPBitstreamFeatures& f) {
    Picture::checkSize(f.width, f.height);
    if (f.format == 2 && std::int64_t(f.width) * f.height > maxLosslessPixels)
        throw DecodeError("The lossless WebP picture is too large (" + std::to_string(f.width) +
                          " x " + std::to_string(f.height) + " pixels)");
}

} // namespace

void decodeWebp(ByteSource& in, PictureBuilder& out) {
    const std::uint8_t* data = in.all();
    const std::size_t size = in.size();
    if (size < 12 || std::string(reinterpret_cast<const char*>(data), 4) != "RIFF" ||
        std::string(reinterpret_cast<const char*>(data) + 8, 4) != "WEBP")
        throw DecodeError("The file is not a WebP picture");
    WebPBitstreamFeatures features;
    VP8StatusCode status = WebPGetFeatures(data, size, &features);
    if (status != VP8_STATUS_OK)
        fail(status);

    if (!features.has_animation) {
        checkFrame(features);
        out.begin(features.width, features.height, true);
        if (!features.has_alpha && !out.sampled() && out.height() == out.output().height()) {
            // Straight into the picture.
            WebPDecoderConfig config;
            if (!WebPInitDecoderConfig(&config))
                throw DecodeError("The WebP decoder cannot be started");
            Picture& picture = out.output();
            config.output.colorspace = MODE_BGR;
            config.output.is_external_memory = 1;
            config.output.u.RGBA.rgba = picture.bytes();
            config.output.u.RGBA.stride = int(picture.rowBytes());
            config.output.u.RGBA.size = picture.byteCount();
            status = WebPDecode(data, size, &config);
            WebPFreeDecBuffer(&config.output);
            if (status != VP8_STATUS_OK)
                fail(status);
            return;
        }
        const std::vector<std::uint8_t> pixels =
            decodeFrame(data, size, features.width, features.height, features.has_alpha);
        std::vector<std::uint8_t> row(std::size_t(features.width) * 3);
        const std::size_t stride = std::size_t(features.width) * (features.has_alpha ? 4 : 3);
        for (int y = 0; y < features.height; ++y) {
            if (!out.keeps(y))
                continue;
            const std::uint8_t* p = pixels.data() + std::size_t(y) * stride;
            if (!features.has_alpha) {
                out.putRow(y, p);
                continue;
            }
            for (int x = 0; x < features.width; ++x)
                composeBgraOnWhite(p + std::size_t(x) * 4, row.data() + std::size_t(x) * 3);
            out.putRow(y, row.data());
        }
        return;
    }

    // An animation: its first frame where it lies on the canvas, the rest of the canvas white.
    const WebPData whole{data, size};
    const std::unique_ptr<WebPDemuxer, DemuxCloser> demux(WebPDemux(&whole));
    if (!demux)
        throw DecodeError("The WebP file is damaged or truncated");
    const int canvasWidth = int(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH));
    const int canvasHeight = int(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT));
    Picture::checkSize(canvasWidth, canvasHeight);
    WebPIterator frame;
    if (!WebPDemuxGetFrame(demux.get(), 1, &frame))
        throw DecodeError("The WebP file holds no picture");
    const std::unique_ptr<WebPIterator, void (*)(WebPIterator*)> release(&frame,
                                                                         WebPDemuxReleaseIterator);
    status = WebPGetFeatures(frame.fragment.bytes, frame.fragment.size, &features);
    if (status != VP8_STATUS_OK)
        fail(status);
    checkFrame(features);
    if (features.width != frame.width || features.height != frame.height ||
        frame.x_offset + frame.width > canvasWidth || frame.y_offset + frame.height > canvasHeight)
        throw DecodeError("The WebP file is damaged: its first frame lies outside the canvas");
    out.begin(canvasWidth, canvasHeight);
    const std::vector<std::uint8_t> pixels =
        decodeFrame(frame.fragment.bytes, frame.fragment.size, frame.width, frame.height, true);
    std::vector<std::uint8_t> row(std::size_t(canvasWidth) * 3);
    for (int y = frame.y_offset; y < frame.y_offset + frame.height; ++y) {
        if (!out.keeps(y))
            continue;
        std::fill(row.begin(), row.end(), std::uint8_t(0xFF));
        const std::uint8_t* p = pixels.data() + std::size_t(y - frame.y_offset) * frame.width * 4;
        for (int x = 0; x < frame.width; ++x)
            composeBgraOnWhite(p + std::size_t(x) * 4,
                               row.data() + std::size_t(frame.x_offset + x) * 3);
        out.putRow(y, row.data());
    }
}

} // namespace logosmith::decoders
