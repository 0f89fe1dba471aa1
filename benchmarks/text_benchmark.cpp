// A keystroke in the text logo dialog: the logo drawn again (three lines at the dot grid, each
// pixel taken as ink or paper) and separated for the preview, against a copy of the logo's
// bytes measured in the same run. The goal is well under 20 ms a keystroke.

#include "benchmarks/RatioReporter.h"
#include "separation/Separation.h"
#include "separation/text/TextLogoModel.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstring>

using namespace logosmith;

namespace {

const QString shopText =
    QStringLiteral("Fischhaus Nord\nHafenstraße 12, 24103 Kiel\nTel. 0431 / 77 12");

void BM_TextKeystroke(benchmark::State& state) {
    TextLogoModel model;
    model.setText(shopText);
    model.setSize(int(state.range(0)));
    SeparationSettings settings;
    settings.inkMode = InkMode::Red;
    Picture dots;
    int typed = 0;
    for (auto _ : state) {
        // One character more, then one less: every keystroke draws anew.
        model.setText(++typed % 2 ? shopText + "!" : shopText);
        rebuildPreview(settings, model.rendered().picture, dots);
        benchmark::DoNotOptimize(dots.bytes());
    }
}

void BM_CopyLogo(benchmark::State& state) {
    TextLogoModel model;
    model.setText(shopText);
    model.setSize(int(state.range(0)));
    const Picture& logo = model.rendered().picture;
    std::vector<std::uint8_t> copy(logo.byteCount());
    for (auto _ : state) {
        std::memcpy(copy.data(), logo.bytes(), logo.byteCount());
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_TextKeystroke)->Arg(24)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CopyLogo)->Arg(24)->Arg(64)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.ratio("keystroke / logo copy, 24 dots", "BM_TextKeystroke/24", "BM_CopyLogo/24");
    reporter.ratio("keystroke / logo copy, 64 dots", "BM_TextKeystroke/64", "BM_CopyLogo/64");
    benchmark::Shutdown();
    return 0;
}
