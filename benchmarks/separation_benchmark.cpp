// Whole-picture separation against the two yardsticks that matter: copying the same bytes
// (the floor) and running the per-pixel rule over them (what the tables are meant to beat).
// The dithered rebuilds run on the same pictures and are judged against the same memcpy.

#include "separation/Separation.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>

using namespace logosmith;

namespace {

Picture randomPicture(int width, int height) {
    Picture p(width, height);
    std::mt19937 rng(12345);
    for (std::size_t i = 0; i < p.byteCount(); ++i)
        p.bytes()[i] = std::uint8_t(rng());
    return p;
}

SeparationSettings loadedSettings(DitherMode dither = DitherMode::None) {
    SeparationSettings s;
    s.dither = dither;
    s.inkMode = InkMode::Red;
    s.targetColor = hueToTarget(360);
    s.rValue = 100;
    s.lValue = 100;
    return s;
}

void setBytes(benchmark::State& state, const Picture& p) {
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(p.byteCount()));
}

// The dithered rebuilds also give "per_memcpy": their time over that of a memcpy of the same
// bytes taken in the same iterations, which holds still while the machine's speed drifts. The
// plain rebuild copies nothing, so that its figures are those of a rebuild alone.
void rebuildWith(benchmark::State& state, DitherMode dither) {
    using Clock = std::chrono::steady_clock;
    const bool againstCopy = dither != DitherMode::None;
    const Picture working = randomPicture(int(state.range(0)), int(state.range(1)));
    Picture preview(working.width(), working.height());
    Picture copy(againstCopy ? working.width() : 0, againstCopy ? working.height() : 0);
    const SeparationSettings settings = loadedSettings(dither);
    Clock::duration rebuilding{}, copying{};
    for (auto _ : state) {
        if (againstCopy) {
            state.PauseTiming();
            const auto copyStart = Clock::now();
            std::memcpy(copy.bytes(), working.bytes(), working.byteCount());
            benchmark::DoNotOptimize(copy.bytes());
            benchmark::ClobberMemory();
            copying += Clock::now() - copyStart;
            state.ResumeTiming();
        }
        const auto start = Clock::now();
        rebuildPreview(settings, working, preview);
        benchmark::DoNotOptimize(preview.bytes());
        benchmark::ClobberMemory();
        rebuilding += Clock::now() - start;
    }
    setBytes(state, working);
    if (copying.count() > 0)
        state.counters["per_memcpy"] = double(rebuilding.count()) / double(copying.count());
}

void BM_Rebuild(benchmark::State& state) {
    rebuildWith(state, DitherMode::None);
}

void BM_RebuildDiffusion(benchmark::State& state) {
    rebuildWith(state, DitherMode::Diffusion);
}

void BM_RebuildOrdered(benchmark::State& state) {
    rebuildWith(state, DitherMode::Ordered);
}

void BM_Memcpy(benchmark::State& state) {
    const Picture working = randomPicture(int(state.range(0)), int(state.range(1)));
    Picture preview(working.width(), working.height());
    for (auto _ : state) {
        std::memcpy(preview.bytes(), working.bytes(), working.byteCount());
        benchmark::DoNotOptimize(preview.bytes());
        benchmark::ClobberMemory();
    }
    setBytes(state, working);
}

void BM_PlainFormula(benchmark::State& state) {
    const Picture working = randomPicture(int(state.range(0)), int(state.range(1)));
    Picture preview(working.width(), working.height());
    const SeparationSettings settings = loadedSettings();
    for (auto _ : state) {
        for (int y = 0; y < working.height(); ++y)
            for (int x = 0; x < working.width(); ++x)
                preview.setPixel(x, y, separatePixel(settings, working.pixel(x, y)));
        benchmark::DoNotOptimize(preview.bytes());
        benchmark::ClobberMemory();
    }
    setBytes(state, working);
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Args({255, 255})->Args({1015, 1000})->Args({4000, 3000})->Unit(benchmark::kMillisecond);
}

// A slider move on a fitted picture, and a 12-MP picture.
void ditherSizes(benchmark::internal::Benchmark* b) {
    b->Args({255, 200})->Args({4000, 3000})->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_Rebuild)->Apply(sizes)->UseRealTime();
BENCHMARK(BM_RebuildDiffusion)->Apply(ditherSizes)->UseRealTime();
BENCHMARK(BM_RebuildOrdered)->Apply(ditherSizes)->UseRealTime();
BENCHMARK(BM_Memcpy)->Apply(sizes)->Args({255, 200})->UseRealTime();
BENCHMARK(BM_PlainFormula)->Apply(sizes)->UseRealTime();

BENCHMARK_MAIN();
