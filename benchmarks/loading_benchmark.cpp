// Loading a 48-megapixel picture (8000 x 6000) against the floors of the same files measured in
// the same run: libjpeg decoding every scanline to nothing (what `djpeg` does without writing
// its output) and a plain read of the BMP file (what `cat` does). The paths: a fitted load of
// the JPEG and of the BMP (only the rows and columns fitting keeps), a full-size load of each,
// and what `logosmith-cli convert --no-fit` does with the JPEG (load, separate, write the BMP).
// The files are written by the benchmark into a scratch folder; the page cache is warm.

#include "benchmarks/RatioReporter.h"
#include "separation/Separation.h"
#include "separation/loader/PictureLoader.h"
#include "separation/picture/BmpFile.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include <jpeglib.h>

using namespace logosmith;

namespace {

constexpr int width = 8000;
constexpr int height = 6000;

std::string scratchFolder() {
    static const std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "logosmith-loading-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }();
    return folder;
}

// A photograph's worth of detail: smooth gradients, edges and some noise.
Picture photo() {
    Picture p(width, height);
    std::mt19937 rng(7);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = p.row(y);
        for (int x = 0; x < width; ++x, row += 3) {
            const int noise = int(rng() % 24);
            const bool patch = ((x / 500) + (y / 400)) % 3 == 0;
            row[0] = std::uint8_t((x * 255 / width + noise) & 0xFF);
            row[1] = std::uint8_t(patch ? 40 + noise : (y * 255 / height) ^ noise);
            row[2] = std::uint8_t(((x + y) / 40 % 2 ? 230 : 30) - noise);
        }
    }
    return p;
}

// Quality 90, 4:2:0, as cameras and most tools write.
void writeJpeg(const Picture& p, const std::string& path) {
    jpeg_compress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    FILE* file = std::fopen(path.c_str(), "wb");
    jpeg_stdio_dest(&c, file);
    c.image_width = JDIMENSION(p.width());
    c.image_height = JDIMENSION(p.height());
    c.input_components = 3;
    c.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(p.row(int(c.next_scanline)));
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(file);
}

const std::string& jpegPath() {
    static const std::string path = [] {
        const std::string p = scratchFolder() + "/photo.jpg";
        writeJpeg(photo(), p);
        return p;
    }();
    return path;
}

const std::string& bmpPath() {
    static const std::string path = [] {
        const std::string p = scratchFolder() + "/photo.bmp";
        writeBmpFile(photo(), p);
        return p;
    }();
    return path;
}

// djpeg's work without its output: the file read by libjpeg and every scanline decoded.
void BM_DjpegFloor(benchmark::State& state) {
    std::vector<std::uint8_t> row(std::size_t(width) * 3);
    for (auto _ : state) {
        jpeg_decompress_struct d{};
        jpeg_error_mgr errors{};
        d.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&d);
        FILE* file = std::fopen(jpegPath().c_str(), "rb");
        jpeg_stdio_src(&d, file);
        jpeg_read_header(&d, TRUE);
        jpeg_start_decompress(&d);
        while (d.output_scanline < d.output_height) {
            JSAMPROW r = row.data();
            jpeg_read_scanlines(&d, &r, 1);
        }
        jpeg_finish_decompress(&d);
        jpeg_destroy_decompress(&d);
        std::fclose(file);
        benchmark::DoNotOptimize(row.data());
    }
}

// cat's work: the whole BMP file read into a small buffer.
void BM_CatFloor(benchmark::State& state) {
    std::vector<std::uint8_t> buffer(128 * 1024);
    for (auto _ : state) {
        const int fd = ::open(bmpPath().c_str(), O_RDONLY);
        while (::read(fd, buffer.data(), buffer.size()) > 0) {
        }
        ::close(fd);
        benchmark::DoNotOptimize(buffer.data());
    }
}

void BM_LoadJpeg(benchmark::State& state) {
    const LoadOptions options{state.range(0) != 0};
    for (auto _ : state)
        benchmark::DoNotOptimize(decodePictureFile(jpegPath(), options).bytes());
}

void BM_LoadBmp(benchmark::State& state) {
    const LoadOptions options{state.range(0) != 0};
    for (auto _ : state)
        benchmark::DoNotOptimize(decodePictureFile(bmpPath(), options).bytes());
}

// `logosmith-cli convert --no-fit photo.jpg out.bmp`: load, separate, write.
void BM_ConvertJpegNoFit(benchmark::State& state) {
    SeparationSettings settings;
    const std::string out = scratchFolder() + "/out.bmp";
    for (auto _ : state) {
        const Picture working = decodePictureFile(jpegPath());
        Picture preview;
        rebuildPreview(settings, working, preview);
        writeBmpFile(preview, out);
    }
}

} // namespace

BENCHMARK(BM_DjpegFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CatFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadJpeg)->ArgName("fit")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBmp)->ArgName("fit")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertJpegNoFit)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    jpegPath();
    bmpPath();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatios to the floors of the same files, this run:\n");
    reporter.ratio("fitted JPEG / djpeg floor", "BM_LoadJpeg/fit:1", "BM_DjpegFloor");
    reporter.ratio("full-size JPEG / djpeg floor", "BM_LoadJpeg/fit:0", "BM_DjpegFloor");
    reporter.ratio("convert --no-fit JPEG / djpeg floor", "BM_ConvertJpegNoFit", "BM_DjpegFloor");
    reporter.ratio("fitted BMP / cat floor", "BM_LoadBmp/fit:1", "BM_CatFloor");
    reporter.ratio("full-size BMP / cat floor", "BM_LoadBmp/fit:0", "BM_CatFloor");
    benchmark::Shutdown();
    std::filesystem::remove_all(scratchFolder());
    return 0;
}
