// The colour side of the dithering: linear light, the plan built from the settings, each
// pixel's shares of L ink, R ink and paper, and the display colours of finished dots.

#include "separation/DitherPlan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

namespace logosmith::separation_detail {

namespace {

// The nearest point of the allowed inks' hull, from d1, d2 in u, v, then the L VALUE curve.
// Outside the triangle the nearest point lies on an edge: the three edges' nearest points are
// compared by |q - c|^2 less the common |c - P|^2.
void sharesFromProjections(const DitherPlan& plan, std::size_t count, float* u, float* v,
                           const std::int32_t* may) {
    const Floats g11 = Floats{} + plan.g11, g12 = Floats{} + plan.g12;
    const Floats g22 = Floats{} + plan.g22, invDet = Floats{} + plan.invDet;
    const Floats invG11 = Floats{} + plan.invG11, invG22 = Floats{} + plan.invG22;
    const Floats invLR = Floats{} + plan.invLR, lrShift = Floats{} + (plan.g11 - plan.g12);
    const Floats zero = Floats{}, one = Floats{} + 1.0f, two = Floats{} + 2.0f;
    const Floats k = Floats{} + plan.k, bend = Floats{} + plan.lBend;
    for (std::size_t x = 0; x < count; x += lanes) {
        const Floats d1 = load(u + x), d2 = load(v + x);
        Ints mayR;
        std::memcpy(&mayR, may + x, sizeof mayR);
        Floats fu, fv;
        switch (plan.layout) {
        case Layout::Triangle: {
            const Floats u0 = (g22 * d1 - g12 * d2) * invDet;
            const Floats v0 = (g11 * d2 - g12 * d1) * invDet;
            const Floats tl = clamp01(d1 * invG11);
            const Floats tr = clamp01(d2 * invG22);
            const Floats tm = clamp01((d2 - d1 + lrShift) * invLR);
            const Floats um = one - tm;
            const Floats costL = tl * (tl * g11 - two * d1);
            const Floats costR = tr * (tr * g22 - two * d2);
            const Floats costM =
                um * (um * g11 + two * tm * g12 - two * d1) + tm * (tm * g22 - two * d2);
            const Ints rBeatsL = costR < costL;
            const Ints middle = costM < pick(rBeatsL, costR, costL);
            const Floats edgeU = pick(middle, um, pick(rBeatsL, zero, tl));
            const Floats edgeV = pick(middle, tm, pick(rBeatsL, tr, zero));
            const Ints inside = (u0 >= zero) & (v0 >= zero) & (u0 + v0 <= one);
            fu = pick(mayR, pick(inside, u0, edgeU), tl);
            fv = pick(mayR, pick(inside, v0, edgeV), zero);
            break;
        }
        case Layout::LEdge:
            fu = clamp01(d1 * invG11);
            fv = zero;
            break;
        case Layout::REdge:
            fu = zero;
            fv = pick(mayR, clamp01(d2 * invG22), zero);
            break;
        default:
            fu = fv = zero;
            break;
        }
        if (plan.lBend == 0) { // L VALUE 100: k = 1, nothing to bend
            save(u + x, fu);
            save(v + x, fv);
            continue;
        }
        const Floats rest = one / (one + bend * fu);
        save(u + x, k * fu * rest);
        save(v + x, fv * rest);
    }
}

inline void store32(std::uint8_t* p, std::uint32_t v) {
    std::memcpy(p, &v, 4);
}

} // namespace

const std::array<std::uint16_t, 256>& linearTable() {
    static const std::array<std::uint16_t, 256> table = [] {
        std::array<std::uint16_t, 256> t{};
        for (int v = 0; v < 256; ++v) {
            const double c = v / 255.0;
            const double linear = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
            t[std::size_t(v)] = std::uint16_t(std::lround(linear * 65535));
        }
        return t;
    }();
    return table;
}

void buildPlan(const SeparationSettings& settings, DitherPlan& plan) {
    const InkMode mode = effectiveMode(settings.inkMode);
    const int lValue = clampChannel(settings.lValue);
    buildColourScoreTerms(settings, plan.score);
    const std::array<int, 3>& source = plan.score.source;

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
        return std::array<double, 3>{lin[std::size_t(c.r)] / 65535.0,
                                     lin[std::size_t(c.g)] / 65535.0,
                                     lin[std::size_t(c.b)] / 65535.0};
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
    plan.lUsable = lUsable;
    plan.g11 = float(g11);
    plan.g12 = float(g12);
    plan.g22 = float(g22);
    plan.invDet = plan.layout == Layout::Triangle ? float(1 / det) : 0.0f;
    plan.invG11 = lUsable ? float(1 / g11) : 0.0f;
    plan.invG22 = rUsable ? float(1 / g22) : 0.0f;
    const double lr = g11 + g22 - 2 * g12; // |R - L|^2
    plan.invLR = lr > tiny ? float(1 / lr) : 0.0f;

    double offset1 = 0, offset2 = 0;
    for (int logical = 0; logical < 3; ++logical) {
        const std::size_t li = std::size_t(logical);
        const std::size_t byteIndex = std::size_t(2 - source[li]); // bytes are blue, green, red
        plan.a1[byteIndex] = float(e1[li] / 65535);
        plan.a2[byteIndex] = float(e2[li] / 65535);
        offset1 -= p[li] * e1[li];
        offset2 -= p[li] * e2[li];
    }
    plan.offset1 = float(offset1);
    plan.offset2 = float(offset2);
    // The colour score must beat the black score; outside Red mode a tie will do.
    const bool rDots = plan.layout == Layout::Triangle || plan.layout == Layout::REdge;
    const int tie = mode == InkMode::Red ? 0 : 1;
    plan.rDots = rDots;
    plan.lValue = lValue;
    plan.tie = tie;
    for (int s = 0; s <= 765; ++s)
        plan.rLimit[std::size_t(s)] =
            rDots ? s - blackAllowance(lValue, s) + tie : std::numeric_limits<std::int32_t>::min();

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

// The portable way to a row's shares: table reads pixel by pixel, then four lanes at a time.
void portableShares(const DitherPlan& plan, const std::uint8_t* in, std::size_t width,
                    RowShares& w) {
    const auto& lin = linearTable();
    const auto& t0 = plan.score.term[0];
    const auto& t1 = plan.score.term[1];
    const auto& t2 = plan.score.term[2];
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint8_t* px = in + 3 * x;
        const float q0 = lin[px[0]], q1 = lin[px[1]], q2 = lin[px[2]];
        w.u[x] = ((q0 * plan.a1[0] + q1 * plan.a1[1]) + q2 * plan.a1[2]) + plan.offset1;
        w.v[x] = ((q0 * plan.a2[0] + q1 * plan.a2[1]) + q2 * plan.a2[2]) + plan.offset2;
        const int score = t0[px[0]] + t1[px[1]] + t2[px[2]];
        w.mayTakeR[x] = score < plan.rLimit[std::size_t(px[0] + px[1] + px[2])] ? -1 : 0;
    }
    sharesFromProjections(plan, RowShares::padded(width), w.u.data(), w.v.data(),
                          w.mayTakeR.data());
}

// Four pixels as three 32-bit words, then one at a time.
void paintRow(const DitherPlan& plan, const std::uint8_t* dots, std::size_t width,
              std::uint8_t* out) {
    const std::uint32_t* paint = plan.paint.data();
    std::size_t x = 0;
    for (; x + 4 <= width; x += 4) {
        const std::uint32_t c0 = paint[dots[x]], c1 = paint[dots[x + 1]];
        const std::uint32_t c2 = paint[dots[x + 2]], c3 = paint[dots[x + 3]];
        std::uint8_t* q = out + 3 * x;
        store32(q, c0 | (c1 << 24));
        store32(q + 4, (c1 >> 8) | (c2 << 16));
        store32(q + 8, (c2 >> 16) | (c3 << 8));
    }
    for (; x < width; ++x) {
        const std::uint32_t c = paint[dots[x]];
        out[3 * x] = std::uint8_t(c);
        out[3 * x + 1] = std::uint8_t(c >> 8);
        out[3 * x + 2] = std::uint8_t(c >> 16);
    }
}

} // namespace logosmith::separation_detail
