// Encoding the widest printable preview (1015 x 2000) against a plain pass that only reads the
// same pixels: the ratio shows what classification, packing and line assembly cost on top of
// touching the memory once.

#include "benchmarks/RatioReporter.h"
#include "printdata/Commands.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>

using namespace logosmith;

namespace {

// A preview as separation leaves it: paper, L ink and R ink in patches, with some noise.
Picture previewPicture() {
    Picture p(int(maxPrintWidth), 2000);
    std::mt19937 rng(99);
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const int patch = ((x / 64) + (y / 48)) % 4;
            Colour c = patch == 0 ? colours::black : patch == 1 ? colours::red : colours::white;
            if (rng() % 16 == 0)
                c = colours::white;
            p.setPixel(x, y, c);
        }
    return p;
}

const Picture& preview() {
    static const Picture picture = previewPicture();
    return picture;
}

void BM_EncodePreview(benchmark::State& state) {
    const Picture& p = preview();
    const Density density = densityForIndex(int(state.range(0)));
    const TInkRule rule = irPrint(colours::black, colours::black);
    std::vector<std::uint8_t> out;
    out.reserve(4 << 20);
    for (auto _ : state) {
        out.clear();
        VectorSink sink(out);
        WritePrintStream(sink, p, rule, density, false);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(p.byteCount()));
}

void BM_PlainPass(benchmark::State& state) {
    const Picture& p = preview();
    for (auto _ : state) {
        std::uint32_t sum = 0;
        const std::uint8_t* bytes = p.bytes();
        for (std::size_t i = 0; i < p.byteCount(); ++i)
            sum += bytes[i];
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(p.byteCount()));
}

} // namespace

BENCHMARK(BM_EncodePreview)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainPass)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.ratio("encoding / plain pass", "BM_EncodePreview/1", "BM_PlainPass");
    benchmark::Shutdown();
    return 0;
}
