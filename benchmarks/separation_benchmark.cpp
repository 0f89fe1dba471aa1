// Whole-picture separation against the two yardsticks that matter: copying the same bytes
// (the floor) and running the per-pixel rule over them (what the tables are meant to beat).
// The dithered rebuilds run on the same pictures and are judged against the same memcpy; the
// best halftone, which starts from the diffusion, is judged against the diffusion.

#include "separation/Separation.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
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

// Smooth shading in every hue, as a photograph has it, with a little grain.
Picture shadedPicture(int width, int height) {
    Picture p(width, height);
    std::mt19937 rng(12345);
    std::normal_distribution<double> grain(0, 4);
    auto byte = [&](double v) { return std::clamp(int(std::lround(v + grain(rng))), 0, 255); };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            const double a = std::sin(u * 9 + std::sin(v * 5)) + std::sin(v * 7 - u * 3);
            const double b = std::sin(std::hypot(u - 0.4, v - 0.6) * 14);
            p.setPixel(x, y,
                       Colour{byte(128 + 64 * a), byte(128 + 76 * std::sin(a * 2 + b)),
                              byte(128 + 115 * b)});
        }
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
using Clock = std::chrono::steady_clock;

// How long one run of work takes, with what it wrote into `result` kept from the optimiser.
template <class Work> Clock::duration timed(Picture& result, Work&& work) {
    const auto start = Clock::now();
    work();
    benchmark::DoNotOptimize(result.bytes());
    benchmark::ClobberMemory();
    return Clock::now() - start;
}

void rebuildWith(benchmark::State& state, DitherMode dither) {
    const bool againstCopy = dither != DitherMode::None;
    const Picture working = randomPicture(int(state.range(0)), int(state.range(1)));
    Picture preview(working.width(), working.height());
    Picture copy(againstCopy ? working.width() : 0, againstCopy ? working.height() : 0);
    const SeparationSettings settings = loadedSettings(dither);
    Clock::duration rebuilding{}, copying{};
    for (auto _ : state) {
        if (againstCopy) {
            state.PauseTiming();
            copying += timed(
                copy, [&] { std::memcpy(copy.bytes(), working.bytes(), working.byteCount()); });
            state.ResumeTiming();
        }
        rebuilding += timed(preview, [&] { rebuildPreview(settings, working, preview); });
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

// The best halftone, and as "per_diffusion" its time over that of the diffusion of the same
// picture taken in the same iterations. Third argument 1: shaded, 0: noise, where the search
// finds the most dots to change.
void BM_RebuildBest(benchmark::State& state) {
    const int width = int(state.range(0)), height = int(state.range(1));
    const Picture working =
        state.range(2) ? shadedPicture(width, height) : randomPicture(width, height);
    Picture preview(width, height);
    const SeparationSettings best = loadedSettings(DitherMode::Best);
    const SeparationSettings diffusion = loadedSettings(DitherMode::Diffusion);
    Clock::duration refining{}, diffusing{};
    for (auto _ : state) {
        state.PauseTiming();
        diffusing += timed(preview, [&] { rebuildPreview(diffusion, working, preview); });
        state.ResumeTiming();
        refining += timed(preview, [&] { rebuildPreview(best, working, preview); });
    }
    setBytes(state, working);
    if (diffusing.count() > 0)
        state.counters["per_diffusion"] = double(refining.count()) / double(diffusing.count());
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
// A fitted picture, which must refine well within a tenth of a second, and a 1-MP one.
BENCHMARK(BM_RebuildBest)
    ->Args({255, 200, 1})
    ->Args({255, 200, 0})
    ->Args({1015, 1000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Memcpy)->Apply(sizes)->Args({255, 200})->UseRealTime();
BENCHMARK(BM_PlainFormula)->Apply(sizes)->UseRealTime();

BENCHMARK_MAIN();
