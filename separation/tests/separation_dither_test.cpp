// Dithering: how near the preview comes to the picture once both are blurred like a printed dot
// (linear RGB, Gaussian sigma 1.5), and the rules that keep the preview printable.

#include "separation/Separation.h"
#include "separation/SeparationInternal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace logosmith;

namespace {

constexpr int width = 255, height = 200; // a fitted picture

SeparationSettings afterLoad(DitherMode dither = DitherMode::None) {
    SeparationSettings s;
    s.inkMode = InkMode::Red;
    s.targetColor = colours::red;
    s.rValue = 100;
    s.lValue = 100;
    s.dither = dither;
    return s;
}

Picture paint(const std::function<Colour(double x, double y)>& colourAt, int w = width,
              int h = height) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixel(x, y, colourAt(double(x) / w, double(y) / h));
    return p;
}

int byteOf(double v) {
    return std::clamp(int(std::lround(v * 255)), 0, 255);
}

Colour mix(Colour a, Colour b, double t) {
    return Colour{byteOf((a.r + (b.r - a.r) * t) / 255), byteOf((a.g + (b.g - a.g) * t) / 255),
                  byteOf((a.b + (b.b - a.b) * t) / 255)};
}

// Photograph-like pictures: smooth tones the inks cannot print directly.
Picture greyRamp() {
    return paint([](double x, double) { return mix(colours::black, colours::white, x); });
}

Picture inkCorners() { // white, red, black and a dark red blended across the picture
    return paint([](double x, double y) {
        return mix(mix(colours::white, colours::red, x), mix(colours::black, Colour{120, 0, 0}, x),
                   y);
    });
}

Picture plasma() {
    return paint([](double x, double y) {
        const double a = std::sin(x * 9 + std::sin(y * 5)) + std::sin(y * 7 - x * 3);
        const double b = std::sin(std::hypot(x - 0.4, y - 0.6) * 14);
        return Colour{byteOf(0.5 + 0.25 * a), byteOf(0.5 + 0.3 * std::sin(a * 2 + b)),
                      byteOf(0.5 + 0.45 * b)};
    });
}

// A shaded face: lit skin on a soft background, dark hair, eyes and red lips, a little grain.
Picture portrait() {
    std::mt19937 rng(5);
    std::normal_distribution<double> grain(0, 0.015);
    return paint([&](double x, double y) {
        double r = 0.55 + 0.2 * y, g = 0.6 + 0.15 * y, b = 0.7 - 0.1 * y; // background
        const double fx = (x - 0.5) / 0.22, fy = (y - 0.5) / 0.34;
        const double face = fx * fx + fy * fy;
        if (y > 0.85) { // shoulders in a dark red shirt
            r = 0.45 - 0.2 * x;
            g = 0.08;
            b = 0.1;
        }
        if (face < 1) {
            const double nz = std::sqrt(1 - face); // light from the upper left
            const double light =
                std::clamp(0.35 + 0.65 * (0.5 * nz - 0.35 * fx - 0.3 * fy), 0.0, 1.0);
            r = 0.95 * light + 0.05;
            g = 0.72 * light + 0.03;
            b = 0.6 * light + 0.03;
            if (fy < -0.55) // hair
                r = g = b = 0.12 + 0.1 * (1 + fy);
            const double ex = std::abs(fx) - 0.38, ey = fy + 0.15;
            if (ex * ex / 0.02 + ey * ey / 0.006 < 1) // eyes
                r = g = b = 0.1;
            const double lx = fx / 0.35, ly = (fy - 0.5) / 0.08;
            if (lx * lx + ly * ly < 1) { // lips
                r = 0.75;
                g = 0.15;
                b = 0.2;
            }
        }
        return Colour{byteOf(r + grain(rng)), byteOf(g + grain(rng)), byteOf(b + grain(rng))};
    });
}

// Flat drawn logos: a few solid colours with smoothed edges (4 x 4 supersampling).
Picture flatLogo(Colour background, Colour letters, Colour disc) {
    auto at = [&](double x, double y) {
        const double dx = x - 0.75, dy = y - 0.5;
        if (dx * dx + dy * dy < 0.04)
            return disc;
        const bool stem = (x > 0.08 && x < 0.14) || (x > 0.3 && x < 0.36);
        const bool bar = x > 0.08 && x < 0.5 && y > 0.72 && y < 0.8;
        if ((stem && y > 0.2 && y < 0.8) || bar)
            return letters;
        return background;
    };
    return paint([&](double x, double y) {
        double r = 0, g = 0, b = 0;
        for (int i = 0; i < 16; ++i) {
            const Colour c = at(x + (i % 4) / 4.0 / width, y + (i / 4) / 4.0 / height);
            r += c.r;
            g += c.g;
            b += c.b;
        }
        return Colour{int(r / 16 + 0.5), int(g / 16 + 0.5), int(b / 16 + 0.5)};
    });
}

// The mean absolute difference of the two pictures in linear RGB after the same Gaussian blur
// (sigma 1.5, edges repeated).
double blurredError(const Picture& a, const Picture& b) {
    const int w = a.width(), h = a.height();
    std::vector<double> kernel;
    for (int i = -5; i <= 5; ++i)
        kernel.push_back(std::exp(-i * i / (2 * 1.5 * 1.5)));
    double total = 0;
    for (double k : kernel)
        total += k;
    for (double& k : kernel)
        k /= total;
    auto blurred = [&](const Picture& p) {
        std::vector<double> lin(std::size_t(w) * h * 3), tmp(lin.size());
        for (std::size_t i = 0; i < lin.size(); ++i) {
            const double c = p.bytes()[i] / 255.0;
            lin[i] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        auto pass = [&](const std::vector<double>& in, std::vector<double>& out, int sx, int sy) {
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    for (int c = 0; c < 3; ++c) {
                        double sum = 0;
                        for (int i = -5; i <= 5; ++i) {
                            const int xx = std::clamp(x + i * sx, 0, w - 1);
                            const int yy = std::clamp(y + i * sy, 0, h - 1);
                            sum += kernel[std::size_t(i + 5)] *
                                   in[(std::size_t(yy) * w + std::size_t(xx)) * 3 + c];
                        }
                        out[(std::size_t(y) * w + std::size_t(x)) * 3 + c] = sum;
                    }
        };
        pass(lin, tmp, 1, 0);
        pass(tmp, lin, 0, 1);
        return lin;
    };
    const auto x = blurred(a), y = blurred(b);
    double sum = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
        sum += std::abs(x[i] - y[i]);
    return sum / double(x.size());
}

double errorWith(const SeparationSettings& s, const Picture& working) {
    Picture preview;
    rebuildPreview(s, working, preview);
    return blurredError(working, preview);
}

struct Named {
    const char* name;
    Picture picture;
};

} // namespace

TEST(Dither, KernelComparison) {
    using separation_detail::DiffusionKernel;
    const std::vector<Named> pictures = {
        {"grey ramp", greyRamp()},
        {"ink corners", inkCorners()},
        {"plasma", plasma()},
        {"portrait", portrait()},
        {"logo", flatLogo(colours::white, colours::black, colours::red)},
        {"logo2", flatLogo(Colour{250, 245, 235}, Colour{20, 30, 90}, Colour{240, 120, 20})}};
    const struct {
        const char* name;
        DiffusionKernel kernel;
    } kernels[] = {{"FS", DiffusionKernel::FloydSteinberg},
                   {"Jarvis", DiffusionKernel::Jarvis},
                   {"Stucki", DiffusionKernel::Stucki},
                   {"Atkinson", DiffusionKernel::Atkinson}};
    for (const Named& n : pictures) {
        const double plain = errorWith(afterLoad(), n.picture);
        std::printf("%-12s plain %.5f ordered %.5f (%+.1f%%)", n.name, plain,
                    errorWith(afterLoad(DitherMode::Ordered), n.picture),
                    100 * (errorWith(afterLoad(DitherMode::Ordered), n.picture) / plain - 1));
        for (const auto& k : kernels) {
            Picture preview;
            separation_detail::rebuildDitheredWith(k.kernel, afterLoad(DitherMode::Diffusion),
                                                   n.picture, preview);
            const double e = blurredError(n.picture, preview);
            std::printf("  %s %.5f (%+.1f%%)", k.name, e, 100 * (e / plain - 1));
        }
        std::printf("\n");
    }
    // Time on a fitted picture.
    const Picture p = portrait();
    for (const auto& k : kernels) {
        Picture preview;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 200; ++i)
            separation_detail::rebuildDitheredWith(k.kernel, afterLoad(DitherMode::Diffusion), p,
                                                   preview);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count() /
            200;
        std::printf("%s %.3f ms\n", k.name, ms);
    }
    {
        Picture preview;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 200; ++i)
            rebuildPreview(afterLoad(DitherMode::Ordered), p, preview);
        std::printf("ordered %.3f ms\n", std::chrono::duration<double, std::milli>(
                                             std::chrono::steady_clock::now() - start)
                                                 .count() /
                                             200);
    }
}
