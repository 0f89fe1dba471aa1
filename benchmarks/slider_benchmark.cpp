// One move of the "R VALUE" slider in the real main window: the handler recomputes every
// preview pixel and redraws the view before it returns. Measured on a fitted picture, plain and
// with Setting -> Dithering -> Error Diffusion, and on an unfitted 4000 x 3000 one, beside a
// memcpy of the same preview bytes.
#include "app/Session.h"
#include "platform/SettingsStore.h"
#include "separation/controls/ColourControlsModel.h"
#include "separation/picture/BmpFile.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/WidgetLookup.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>
#include <random>

namespace {

QTemporaryDir* folder = nullptr;
logosmith::Session* session = nullptr;
MainWindow* window = nullptr;

template <class T> T* control(const char* name) {
    return logosmith::testing::child<T>(window, name);
}

void loadPicture(int width, int height, bool fit) {
    using namespace logosmith;
    Picture p(width, height);
    std::mt19937 random(7);
    for (std::size_t i = 0; i < p.byteCount(); ++i)
        p.bytes()[i] = std::uint8_t(random());
    const QString path = folder->path() + QString("/p%1x%2.bmp").arg(width).arg(height);
    writeBmpFile(p, path.toStdString());
    control<QCheckBox>("scaleCheckBox")->setChecked(fit);
    testing::scriptedDialogs().openAnswers.push_back(path);
    control<QPushButton>("btnLoad")->click();
}

void sliderMove(benchmark::State& state, int width, int height, bool fit,
                const char* dithering = "NoDithering1") {
    control<QAction>(dithering)->trigger();
    loadPicture(width, height, fit);
    QScrollBar* rValue = control<QScrollBar>("ScrollBar1");
    int value = 100;
    for (auto _ : state) {
        value = value == 100 ? 101 : 100;
        rValue->setValue(value);
    }
    const logosmith::Picture& preview = session->pictures().preview();
    state.SetItemsProcessed(state.iterations() * preview.width() * preview.height());
}

void memcpyPreview(benchmark::State& state, int width, int height) {
    std::vector<std::uint8_t> from(std::size_t(width) * height * 3, 1), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK_CAPTURE(sliderMove, fitted_300x200, 300, 200, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(sliderMove, fitted_300x200_diffusion, 300, 200, true, "ErrorDiffusion1")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(sliderMove, unfitted_4000x3000, 4000, 3000, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(memcpyPreview, 4000x3000, 4000, 3000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    folder = &config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    logosmith::testing::scriptedDialogs();
    logosmith::settingsStore().writeText("", "RootDir", config.path() + "/");
    logosmith::Session session(logosmith::settingsStore(), logosmith::testing::scriptedDialogs());
    ::session = &session;
    window = &session.mainWindow();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
