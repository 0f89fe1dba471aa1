// Dithering into L ink, R ink and paper. Each pixel is first given its shares of the three
// (coverage, below), then the shares are turned into dots by error diffusion or by a threshold
// matrix. The shares live in the plane of the three ink colours in linear RGB, written as
// u (L share) and v (R share) with paper 1 - u - v, and distances in that plane are measured
// with the inks' Gram matrix, so "nearest" means nearest in linear light.

#include "separation/Separation.h"

#include "separation/SeparationInternal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

namespace logosmith {

using namespace separation_detail;

namespace {

double linearOf(int v) {
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

const std::array<float, 256>& linearTable() {
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (int v = 0; v < 256; ++v)
            t[std::size_t(v)] = float(linearOf(v));
        return t;
    }();
    return table;
}

// Which shares a rebuild can use at all, from the ink colours.
enum class Layout {
    Triangle, // L, R and paper span a plane
    LEdge,    // no usable R ink (Off, or R ink on the line of L ink and paper)
    REdge,    // L ink shows as paper: only R ink and paper
    PaperOnly
};

// Everything that depends only on the settings, built once per rebuild.
struct DitherPlan {
    Layout layout = Layout::PaperOnly;
    // Per byte of a pixel (0 blue, 1 green, 2 red), after the channel exchanges: its part of
    // d1 = (c - P).e1 and d2 = (c - P).e2, where e1 = L - P and e2 = R - P in linear RGB.
    std::array<std::array<float, 256>, 3> d1{}, d2{};
    // The plain rule's colour term per byte and the black score per channel sum, for the
    // R-ink permission.
    std::array<std::array<std::int32_t, 256>, 3> colourTerm{};
    std::array<std::int32_t, 766> blackScore{};
    bool tieMayTakeR = true;
    // Gram matrix of e1, e2 and what the projections need of it.
    float g11 = 0, g12 = 0, g22 = 0;
    float invDet = 0, invG11 = 0, invG22 = 0, invLR = 0;
    float lBend = 0; // k - 1 of the L VALUE curve
    float k = 1;
    // Display colour (bytes blue, green, red) of each dot: 0 paper, 1 L ink, 2 R ink.
    std::array<std::uint32_t, 3> paint{};
};

std::uint32_t bgrOf(Colour c) {
    return std::uint32_t(c.b) | (std::uint32_t(c.g) << 8) | (std::uint32_t(c.r) << 16);
}

void buildPlan(const SeparationSettings& settings, DitherPlan& plan) {
    const InkMode mode = effectiveMode(settings.inkMode);
    const int rValue = clampChannel(settings.rValue);
    const int lValue = clampChannel(settings.lValue);
    const Colour target = clampColour(settings.targetColor);

    std::array<int, 3> source{0, 1, 2}; // input channel (0 red) of each logical channel
    if (settings.swapRedGreen)
        std::swap(source[0], source[1]);
    if (settings.swapRedBlue)
        std::swap(source[0], source[2]);
    if (settings.swapGreenBlue)
        std::swap(source[1], source[2]);

    // The ink colours as the quantiser sees them: the plain classes' colours before Invert and
    // Exchange Black & White, which only repaint finished dots.
    SeparationSettings plain = settings;
    plain.invertColor = false;
    plain.swapBlackWhite = false;
    const Colour paperInk = SeparationSettings::paperColor;
    const Colour lInk = paintClass(plain, PixelClass::LInk);
    const Colour rInk = paintClass(plain, PixelClass::RInk);
    const auto& lin = linearTable();
    auto linear = [&](Colour c) {
        return std::array<double, 3>{lin[std::size_t(c.r)], lin[std::size_t(c.g)],
                                     lin[std::size_t(c.b)]};
    };
    const auto p = linear(paperInk), l = linear(lInk), r = linear(rInk);
    std::array<double, 3> e1{}, e2{};
    for (int i = 0; i < 3; ++i) {
        e1[std::size_t(i)] = l[std::size_t(i)] - p[std::size_t(i)];
        e2[std::size_t(i)] = r[std::size_t(i)] - p[std::size_t(i)];
    }
    auto dot = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
        return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
    };
    const double g11 = dot(e1, e1), g12 = dot(e1, e2), g22 = dot(e2, e2);
    const double det = g11 * g22 - g12 * g12;
    constexpr double tiny = 1e-9;
    const bool lUsable = g11 > tiny;
    const bool rUsable = mode != InkMode::BlackOnly && g22 > tiny;
    if (lUsable && rUsable && det > 1e-6 * g11 * g22)
        plan.layout = Layout::Triangle;
    else if (lUsable)
        plan.layout = Layout::LEdge;
    else if (rUsable)
        plan.layout = Layout::REdge;
    else
        plan.layout = Layout::PaperOnly;
    plan.g11 = float(g11);
    plan.g12 = float(g12);
    plan.g22 = float(g22);
    plan.invDet = plan.layout == Layout::Triangle ? float(1 / det) : 0.0f;
    plan.invG11 = lUsable ? float(1 / g11) : 0.0f;
    plan.invG22 = rUsable ? float(1 / g22) : 0.0f;
    const double lr = g11 + g22 - 2 * g12; // |R - L|^2
    plan.invLR = lr > tiny ? float(1 / lr) : 0.0f;

    const std::array<int, 3> targetOf{target.r, target.g, target.b};
    std::array<bool, 3> counted{false, false, false};
    switch (mode) {
    case InkMode::Red:
        counted = {false, true, true};
        break;
    case InkMode::Green:
        counted = {true, false, true};
        break;
    case InkMode::Blue:
        counted = {true, true, false};
        break;
    case InkMode::User:
        counted = {true, true, true};
        break;
    default:
        break;
    }
    for (int logical = 0; logical < 3; ++logical) {
        const std::size_t li = std::size_t(logical);
        const std::size_t byteIndex = std::size_t(2 - source[li]); // bytes are blue, green, red
        for (int v = 0; v < 256; ++v) {
            const std::size_t vi = std::size_t(v);
            const double offset = lin[vi] - p[li];
            plan.d1[byteIndex][vi] = float(offset * e1[li]);
            plan.d2[byteIndex][vi] = float(offset * e2[li]);
            int term = std::abs(targetOf[li] - v);
            if (counted[li])
                term -= colourAllowance(rValue, v);
            plan.colourTerm[byteIndex][vi] = term;
        }
    }
    for (int s = 0; s <= 765; ++s)
        plan.blackScore[std::size_t(s)] = s - blackAllowance(lValue, s);
    plan.tieMayTakeR = mode != InkMode::Red;

    plan.k = float(std::exp2((lValue - 100) / 50.0));
    plan.lBend = plan.k - 1;

    // Invert Color exchanges the dots' inks as it exchanges the plain classes.
    std::array<PixelClass, 3> shown{PixelClass::Paper, PixelClass::LInk, PixelClass::RInk};
    if (settings.invertColor) {
        if (mode == InkMode::Red || mode == InkMode::Green || mode == InkMode::Blue)
            std::swap(shown[1], shown[2]);
        else
            std::swap(shown[0], shown[1]);
    }
    for (std::size_t i = 0; i < 3; ++i)
        plan.paint[i] = bgrOf(paintClass(settings, shown[i]));
}

// One row's shares: u (L), v (R) and whether the pixel may take R ink.
struct RowShares {
    std::vector<float> u, v;
    std::vector<std::uint8_t> mayTakeR;
    void resize(std::size_t n) {
        u.resize(n);
        v.resize(n);
        mayTakeR.resize(n);
    }
};

// The nearest point of the allowed inks' hull to a pixel, from its projections d1, d2.
inline void nearestShares(const DitherPlan& plan, float d1, float d2, bool mayTakeR, float& u,
                          float& v) {
    switch (plan.layout) {
    case Layout::Triangle:
        if (mayTakeR) {
            const float u0 = (plan.g22 * d1 - plan.g12 * d2) * plan.invDet;
            const float v0 = (plan.g11 * d2 - plan.g12 * d1) * plan.invDet;
            if (u0 >= 0 && v0 >= 0 && u0 + v0 <= 1) {
                u = u0;
                v = v0;
                return;
            }
            // Outside the triangle: the nearest point lies on an edge. Compare the three
            // edges' nearest points by |q - c|^2 less the common |c - P|^2.
            auto cost = [&](float a, float b) {
                return a * a * plan.g11 + 2 * a * b * plan.g12 + b * b * plan.g22 -
                       2 * (a * d1 + b * d2);
            };
            const float tl = std::clamp(d1 * plan.invG11, 0.0f, 1.0f);
            const float tr = std::clamp(d2 * plan.invG22, 0.0f, 1.0f);
            const float tlr = std::clamp((d2 - d1 + plan.g11 - plan.g12) * plan.invLR, 0.0f, 1.0f);
            float bestU = tl, bestV = 0, best = cost(tl, 0);
            if (const float c = cost(0, tr); c < best) {
                best = c;
                bestU = 0;
                bestV = tr;
            }
            if (const float c = cost(1 - tlr, tlr); c < best) {
                bestU = 1 - tlr;
                bestV = tlr;
            }
            u = bestU;
            v = bestV;
            return;
        }
        [[fallthrough]];
    case Layout::LEdge:
        u = std::clamp(d1 * plan.invG11, 0.0f, 1.0f);
        v = 0;
        return;
    case Layout::REdge:
        u = 0;
        v = mayTakeR ? std::clamp(d2 * plan.invG22, 0.0f, 1.0f) : 0.0f;
        return;
    case Layout::PaperOnly:
    default:
        u = v = 0;
        return;
    }
}

// The shares of one row of pixels, the L VALUE curve applied.
void sharesOfRow(const DitherPlan& plan, const std::uint8_t* in, std::size_t width,
                 RowShares& out) {
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint8_t* px = in + 3 * x;
        const float d1 = plan.d1[0][px[0]] + plan.d1[1][px[1]] + plan.d1[2][px[2]];
        const float d2 = plan.d2[0][px[0]] + plan.d2[1][px[1]] + plan.d2[2][px[2]];
        const int colourScore =
            plan.colourTerm[0][px[0]] + plan.colourTerm[1][px[1]] + plan.colourTerm[2][px[2]];
        const int black = plan.blackScore[std::size_t(px[0] + px[1] + px[2])];
        const bool mayTakeR = colourScore < black || (plan.tieMayTakeR && colourScore == black);
        float u, v;
        nearestShares(plan, d1, d2, mayTakeR, u, v);
        const float rest = 1 / (1 + plan.lBend * u);
        out.u[x] = plan.k * u * rest;
        out.v[x] = v * rest;
        out.mayTakeR[x] = mayTakeR;
    }
}

inline void store3(std::uint8_t* q, std::uint32_t colour) {
    q[0] = std::uint8_t(colour);
    q[1] = std::uint8_t(colour >> 8);
    q[2] = std::uint8_t(colour >> 16);
}

// 16 x 16 Bayer matrix, thresholds 0..255 spread so that every level's dots are dispersed.
constexpr std::array<std::array<std::uint8_t, 16>, 16> bayer16() {
    std::array<std::array<std::uint8_t, 16>, 16> m{};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            int value = 0;
            for (int bit = 0; bit < 4; ++bit) {
                const int xb = (x >> bit) & 1, yb = (y >> bit) & 1;
                value |= ((xb ^ yb) << (2 * (3 - bit) + 1)) | (yb << (2 * (3 - bit)));
            }
            m[std::size_t(y)][std::size_t(x)] = std::uint8_t(value);
        }
    return m;
}
constexpr auto bayer = bayer16();

void orderedRows(const DitherPlan& plan, const Picture& working, Picture& preview, int firstRow,
                 int endRow) {
    const std::size_t width = std::size_t(working.width());
    RowShares shares;
    shares.resize(width);
    for (int y = firstRow; y < endRow; ++y) {
        sharesOfRow(plan, working.row(y), width, shares);
        std::uint8_t* out = preview.row(y);
        const auto& thresholds = bayer[std::size_t(y & 15)];
        for (std::size_t x = 0; x < width; ++x) {
            const float t = (float(thresholds[x & 15]) + 0.5f) * (1.0f / 256);
            const int dot = t < shares.u[x] ? 1 : t < shares.u[x] + shares.v[x] ? 2 : 0;
            store3(out + 3 * x, plan.paint[std::size_t(dot)]);
        }
    }
}

// Below this many pixels a second thread costs more than it saves.
constexpr std::size_t pixelsPerThread = std::size_t(1) << 16;
constexpr unsigned maxThreads = 8;

void rebuildOrdered(const DitherPlan& plan, const Picture& working, Picture& preview) {
    const std::size_t pixels = std::size_t(working.width()) * std::size_t(working.height());
    unsigned parts = std::max(1u, std::min(std::thread::hardware_concurrency(), maxThreads));
    parts =
        unsigned(std::min<std::size_t>(parts, std::max<std::size_t>(1, pixels / pixelsPerThread)));
    const int rows = working.height();
    const int perPart = (rows + int(parts) - 1) / int(parts);
    std::vector<std::thread> helpers;
    for (unsigned part = 1; part < parts; ++part) {
        const int first = std::min(rows, perPart * int(part));
        const int end = std::min(rows, first + perPart);
        auto work = [&plan, &working, &preview, first, end] {
            orderedRows(plan, working, preview, first, end);
        };
        try {
            helpers.emplace_back(work);
        } catch (...) {
            work();
        }
    }
    orderedRows(plan, working, preview, 0, std::min(rows, perPart));
    for (auto& helper : helpers)
        helper.join();
}

struct KernelTap {
    int dx, dy;
    float weight;
};

struct KernelTaps {
    std::vector<KernelTap> taps;
};

KernelTaps kernelTaps(DiffusionKernel kernel) {
    switch (kernel) {
    case DiffusionKernel::Jarvis:
        return {{{1, 0, 7 / 48.f},
                 {2, 0, 5 / 48.f},
                 {-2, 1, 3 / 48.f},
                 {-1, 1, 5 / 48.f},
                 {0, 1, 7 / 48.f},
                 {1, 1, 5 / 48.f},
                 {2, 1, 3 / 48.f},
                 {-2, 2, 1 / 48.f},
                 {-1, 2, 3 / 48.f},
                 {0, 2, 5 / 48.f},
                 {1, 2, 3 / 48.f},
                 {2, 2, 1 / 48.f}}};
    case DiffusionKernel::Stucki:
        return {{{1, 0, 8 / 42.f},
                 {2, 0, 4 / 42.f},
                 {-2, 1, 2 / 42.f},
                 {-1, 1, 4 / 42.f},
                 {0, 1, 8 / 42.f},
                 {1, 1, 4 / 42.f},
                 {2, 1, 2 / 42.f},
                 {-2, 2, 1 / 42.f},
                 {-1, 2, 2 / 42.f},
                 {0, 2, 4 / 42.f},
                 {1, 2, 2 / 42.f},
                 {2, 2, 1 / 42.f}}};
    case DiffusionKernel::Atkinson:
        return {{{1, 0, 1 / 8.f},
                 {2, 0, 1 / 8.f},
                 {-1, 1, 1 / 8.f},
                 {0, 1, 1 / 8.f},
                 {1, 1, 1 / 8.f},
                 {0, 2, 1 / 8.f}}};
    case DiffusionKernel::FloydSteinberg:
    default:
        return {{{1, 0, 7 / 16.f}, {-1, 1, 3 / 16.f}, {0, 1, 5 / 16.f}, {1, 1, 1 / 16.f}}};
    }
}

void rebuildDiffused(DiffusionKernel kernel, const DitherPlan& plan, const Picture& working,
                     Picture& preview) {
    const KernelTaps taps = kernelTaps(kernel);
    const std::size_t width = std::size_t(working.width());
    constexpr std::size_t pad = 2;
    // Error rows: this row, the next and the one after, two floats (u, v) per pixel.
    std::array<std::vector<float>, 3> error;
    for (auto& row : error)
        row.assign(2 * (width + 2 * pad), 0.0f);
    RowShares shares;
    shares.resize(width);
    const float g12OverG11 = plan.g11 > 0 ? plan.g12 * plan.invG11 : 0.0f;

    for (int y = 0; y < working.height(); ++y) {
        sharesOfRow(plan, working.row(y), width, shares);
        std::uint8_t* out = preview.row(y);
        const bool leftToRight = (y & 1) == 0;
        const int step = leftToRight ? 1 : -1;
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t x = leftToRight ? i : width - 1 - i;
            const std::size_t e = 2 * (x + pad);
            float u = shares.u[x] + error[0][e];
            float v = shares.v[x] + error[0][e + 1];
            int dot;
            if (shares.mayTakeR[x] && plan.layout != Layout::LEdge) {
                // Nearest of paper (0, 0), L (1, 0) and R (0, 1) in linear light.
                const float toL = plan.g11 - 2 * (u * plan.g11 + v * plan.g12);
                const float toR = plan.g22 - 2 * (u * plan.g12 + v * plan.g22);
                const bool lOk = plan.layout == Layout::Triangle;
                dot = 0;
                float best = 0;
                if (lOk && toL < best) {
                    best = toL;
                    dot = 1;
                }
                if (toR < best)
                    dot = 2;
            } else {
                // No R ink here: keep the part of the error along the L-paper line, drop the
                // rest, which no dot of this pixel could pay back.
                u += v * g12OverG11;
                v = 0;
                dot = (plan.layout != Layout::REdge && plan.layout != Layout::PaperOnly && u > 0.5f)
                          ? 1
                          : 0;
            }
            store3(out + 3 * x, plan.paint[std::size_t(dot)]);
            const float eu = u - (dot == 1 ? 1.0f : 0.0f);
            const float ev = v - (dot == 2 ? 1.0f : 0.0f);
            for (const KernelTap& tap : taps.taps) {
                const std::size_t at = 2 * std::size_t(std::ptrdiff_t(x + pad) + tap.dx * step);
                auto& row = error[std::size_t(tap.dy)];
                row[at] += eu * tap.weight;
                row[at + 1] += ev * tap.weight;
            }
        }
        std::rotate(error.begin(), error.begin() + 1, error.end());
        std::fill(error[2].begin(), error[2].end(), 0.0f);
    }
}

} // namespace

namespace separation_detail {

void rebuildDitheredWith(DiffusionKernel kernel, const SeparationSettings& settings,
                         const Picture& working, Picture& preview) {
    if (working.isEmpty())
        return;
    if (preview.width() != working.width() || preview.height() != working.height())
        preview = Picture(working.width(), working.height());
    DitherPlan plan;
    buildPlan(settings, plan);
    if (settings.dither == DitherMode::Ordered)
        rebuildOrdered(plan, working, preview);
    else
        rebuildDiffused(kernel, plan, working, preview);
}

} // namespace separation_detail

} // namespace logosmith
