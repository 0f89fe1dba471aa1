// The best halftone: the diffusion's dots, then each dot tried in each ink it may take, kept
// where that lowers the error the eye sees: picture and dots both blurred like a printed dot (a
// Gaussian of sigma 1.5 dots) and compared in linear light.
//
// Dots d and shares t are points of the (u, v) plane, where |x|^2 = x'Gx with the inks' Gram
// matrix, so the error is E = sum_q e(q)'G e(q) with e = K * (d - t), summed over the whole
// plane (nothing outside the picture). With c = A * (d - t), A = K * K the kernel's
// autocorrelation, the dot at p adds 2 D'G c'(p) + A(0) D'G D to E, where c' is c without the
// dot's own contribution: every candidate costs a few multiplies, and a change adds (D_new - D_old)
// A to c around p.

#include "separation/DitherPlan.h"
#include "separation/SpreadRows.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace logosmith::separation_detail {

namespace {

constexpr int reach = 8; // of the autocorrelation of a Gaussian cut off at 4 dots
constexpr int span = 2 * reach + 1;
constexpr int kernelRow = 20; // span and zero weights, for whole vectors
constexpr int padRight = kernelRow - reach - 1;
// Bands this high, swept two apart at the same time, never reach into each other's error.
constexpr int bandRows = 32;
static_assert(bandRows > 2 * (reach + 1)); // an exchange reaches a row further
// Sweeps end when one gains less than this many dots' worth of error per pixel, or after this
// many.
constexpr double enoughGainPerPixel = 2e-5;
constexpr int sweepLimit = 12;
// Below this many pixels a second thread costs more than it saves.
constexpr std::size_t pixelsPerThread = std::size_t(1) << 16;

struct Kernel {
    std::array<float, span> line{};                          // a, with A(x, y) = a(x) a(y)
    std::array<float, std::size_t(span) * kernelRow> area{}; // A, row after row
    float centre = 0;                                        // A(0, 0)
    Kernel() {
        constexpr int radius = reach / 2;
        std::array<double, 2 * radius + 1> k{};
        double total = 0;
        for (int i = -radius; i <= radius; ++i)
            total += k[std::size_t(i + radius)] = std::exp(-i * i / (2 * 1.5 * 1.5));
        for (double& v : k)
            v /= total;
        std::array<double, span> a{};
        for (int j = -reach; j <= reach; ++j)
            for (int i = -radius; i <= radius; ++i)
                if (i + j >= -radius && i + j <= radius)
                    a[std::size_t(j + reach)] +=
                        k[std::size_t(i + radius)] * k[std::size_t(i + j + radius)];
        for (std::size_t j = 0; j < span; ++j) {
            line[j] = float(a[j]);
            for (std::size_t i = 0; i < span; ++i)
                area[j * kernelRow + i] = float(a[j] * a[i]);
        }
        centre = float(a[reach] * a[reach]);
    }
};

const Kernel& kernel() {
    static const Kernel k;
    return k;
}

// c of both channels (u, v), with room for a change's footprint all round.
struct Field {
    std::size_t width, height, stride;
    std::array<std::vector<float>, 2> c;
    Field(std::size_t w, std::size_t h)
        : width(w), height(h),
          stride(w + reach + padRight), c{std::vector<float>(stride * (h + 2 * reach)),
                                          std::vector<float>(stride * (h + 2 * reach))} {}
    float* at(int channel, std::size_t x, std::size_t y) {
        return c[std::size_t(channel)].data() + (y + reach) * stride + x + reach;
    }
};

// A's footprint around centre, times sign (1 or -1, exact).
inline void addKernel(float* centre, std::size_t stride, float sign) {
    const Kernel& k = kernel();
    for (int dy = 0; dy < span; ++dy) {
        float* row = centre + (std::ptrdiff_t(dy) - reach) * std::ptrdiff_t(stride) - reach;
        const float* weights = k.area.data() + std::size_t(dy) * kernelRow;
        for (int dx = 0; dx < kernelRow; ++dx)
            row[dx] += sign * weights[dx];
    }
}

// c = A * (d - t): the rows through a, then the columns through a, strips at a time, each in
// place. Outside the picture d - t is zero.
void blurField(Field& f, unsigned threads) {
    const Kernel& k = kernel();
    const int rows = int(f.height);
    auto alongRows = [&](int first, int end) {
        std::vector<float> copy(f.stride);
        for (int y = first; y < end; ++y)
            for (int channel = 0; channel < 2; ++channel) {
                float* row = f.at(channel, 0, std::size_t(y)) - reach;
                std::copy(row, row + f.stride, copy.begin());
                for (std::size_t x = 0; x < f.width; ++x) {
                    float sum = 0;
                    for (int j = 0; j < span; ++j)
                        sum += k.line[std::size_t(j)] * copy[x + std::size_t(j)];
                    row[x + reach] = sum;
                }
            }
    };
    spreadRows(threads, rows, 16, alongRows);

    constexpr std::size_t strip = 64;
    const int strips = int((f.width + strip - 1) / strip);
    const std::size_t tall = f.height + 2 * reach;
    auto alongColumns = [&](int first, int end) {
        std::vector<float> copy(tall * strip);
        for (int s = first; s < end; ++s) {
            const std::size_t x0 = std::size_t(s) * strip;
            const std::size_t n = std::min(strip, f.width - x0);
            for (int channel = 0; channel < 2; ++channel) {
                float* top = f.at(channel, x0, 0) - reach * f.stride;
                for (std::size_t y = 0; y < tall; ++y)
                    std::copy(top + y * f.stride, top + y * f.stride + n, &copy[y * strip]);
                for (std::size_t y = 0; y < f.height; ++y) {
                    std::array<float, strip> sum{};
                    for (int j = 0; j < span; ++j) {
                        const float a = k.line[std::size_t(j)];
                        const float* in = &copy[(y + std::size_t(j)) * strip];
                        for (std::size_t x = 0; x < strip; ++x)
                            sum[x] += a * in[x];
                    }
                    std::copy(sum.begin(), sum.begin() + std::ptrdiff_t(n),
                              top + (y + reach) * f.stride);
                }
            }
        }
    };
    spreadRows(threads, strips, 1, alongColumns);
}

struct Search {
    Field& field;
    std::uint8_t* dots;           // 0 paper, 1 L ink, 2 R ink
    const std::uint8_t* mayTakeR; // 1 where R ink is allowed
    bool lAllowed;
    float g11, g12, g22;
    float tolerance;

    bool allowed(int dot, std::size_t i) const {
        return dot == 0 || (dot == 1 ? lAllowed : mayTakeR[i] != 0);
    }
    // D'G x for a dot D.
    float along(int dot, float u, float v) const {
        return dot == 0 ? 0.0f : dot == 1 ? g11 * u + g12 * v : g12 * u + g22 * v;
    }
    // D'G D.
    float self(int dot) const { return dot == 0 ? 0.0f : dot == 1 ? g11 : g22; }
    // (D_a - D_b)'G (D_a - D_b).
    float apart(int a, int b) const {
        if (a == b)
            return 0;
        if (a != 0 && b != 0)
            return g11 - 2 * g12 + g22;
        return self(a + b);
    }
    void change(std::size_t x, std::size_t y, int from, int to) {
        dots[y * field.width + x] = std::uint8_t(to);
        const int du = (to == 1) - (from == 1), dv = (to == 2) - (from == 2);
        if (du != 0)
            addKernel(field.at(0, x, y), field.stride, float(du));
        if (dv != 0)
            addKernel(field.at(1, x, y), field.stride, float(dv));
    }

    // One sweep of rows first .. end - 1; what it gained. Each dot takes the best of its other
    // inks and of the exchanges with its eight neighbours.
    double sweep(int first, int end, const std::stop_token& stop) {
        const Kernel& k = kernel();
        const float centre = k.centre;
        const std::size_t width = field.width, height = field.height;
        double gained = 0;
        for (int yi = first; yi < end; ++yi) {
            if (stop.stop_requested())
                return gained;
            const std::size_t y = std::size_t(yi);
            for (std::size_t x = 0; x < width; ++x) {
                const std::size_t i = y * width + x;
                const int old = dots[i];
                const float cu = *field.at(0, x, y), cv = *field.at(1, x, y);
                // c without this dot, then what each ink would add in its place.
                const float u = cu - (old == 1 ? centre : 0.0f);
                const float v = cv - (old == 2 ? centre : 0.0f);
                const float now = 2 * along(old, u, v) + centre * self(old);
                float bestGain = tolerance;
                int bestDot = -1, bestDx = 0, bestDy = 0;
                for (int dot = 0; dot < 3; ++dot) {
                    if (dot == old || !allowed(dot, i))
                        continue;
                    const float gain = now - (2 * along(dot, u, v) + centre * self(dot));
                    if (gain > bestGain) {
                        bestGain = gain;
                        bestDot = dot;
                    }
                }
                // Exchanging with q moves D_q - D_p to p: the error changes by
                // 2 (D_q - D_p)'G (c(p) - c(q)) + 2 (A(0) - A(q - p)) |D_q - D_p|^2.
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        if ((dx == 0 && dy == 0) || (dx < 0 && x == 0) ||
                            (dx > 0 && x + 1 == width) || (dy < 0 && y == 0) ||
                            (dy > 0 && y + 1 == height))
                            continue;
                        const std::size_t qx = x + std::size_t(dx), qy = y + std::size_t(dy);
                        const std::size_t q = qy * width + qx;
                        const int other = dots[q];
                        if (other == old || !allowed(other, i) || !allowed(old, q))
                            continue;
                        const float du = cu - *field.at(0, qx, qy);
                        const float dv = cv - *field.at(1, qx, qy);
                        const float near =
                            k.line[std::size_t(reach + dx)] * k.line[std::size_t(reach + dy)];
                        const float gain = -2 * (along(other, du, dv) - along(old, du, dv)) -
                                           2 * (centre - near) * apart(other, old);
                        if (gain > bestGain) {
                            bestGain = gain;
                            bestDot = other;
                            bestDx = dx;
                            bestDy = dy;
                        }
                    }
                if (bestDot < 0)
                    continue;
                gained += double(bestGain);
                change(x, y, old, bestDot);
                if (bestDx != 0 || bestDy != 0)
                    change(x + std::size_t(bestDx), y + std::size_t(bestDy), bestDot, old);
            }
        }
        return gained;
    }
};

// Minus the target of each pixel of a row: its shares, and what its colour lies beyond the
// inks' hull, in the plane of the inks (along the L-paper line where R ink is not allowed), for
// its neighbours to make up. The diffusion drops that remainder; here the blur can still place it.
void targetRow(const DitherPlan& plan, const std::uint8_t* in, std::size_t width, float* u,
               float* v, std::uint8_t* mayTakeR) {
    RowShares shares(width), hull(plan.lBend != 0 ? width : 0);
    portableShares(plan, in, width, shares);
    const RowShares* unbent = &shares;
    if (plan.lBend != 0) {
        DitherPlan straight = plan;
        straight.k = 1;
        straight.lBend = 0;
        portableShares(straight, in, width, hull);
        unbent = &hull;
    }
    const auto& lin = linearTable();
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint8_t* px = in + 3 * x;
        const float q0 = lin[px[0]], q1 = lin[px[1]], q2 = lin[px[2]];
        const float d1 = ((q0 * plan.a1[0] + q1 * plan.a1[1]) + q2 * plan.a1[2]) + plan.offset1;
        const float d2 = ((q0 * plan.a2[0] + q1 * plan.a2[1]) + q2 * plan.a2[2]) + plan.offset2;
        const bool mayR = shares.mayTakeR[x] != 0;
        float pu = 0, pv = 0; // the colour's own point
        switch (plan.layout) {
        case Layout::Triangle:
            pu = mayR ? (plan.g22 * d1 - plan.g12 * d2) * plan.invDet : d1 * plan.invG11;
            pv = mayR ? (plan.g11 * d2 - plan.g12 * d1) * plan.invDet : 0;
            break;
        case Layout::LEdge:
            pu = d1 * plan.invG11;
            break;
        case Layout::REdge:
            pv = mayR ? d2 * plan.invG22 : 0;
            break;
        case Layout::PaperOnly:
            break;
        }
        u[x] = -(shares.u[x] + (pu - unbent->u[x]));
        v[x] = -(shares.v[x] + (pv - unbent->v[x]));
        mayTakeR[x] = mayR;
    }
}

} // namespace

// The shares come first, since preview may be the working picture itself. Sweeps go band by
// band, the even bands and then the odd ones, each band from its top row: the same steps on any
// number of threads, so the same dots.
bool rebuildBest(const DitherPlan& plan, bool vector, bool fastest, const Picture& working,
                 Picture& preview, const std::stop_token& stop) {
    const std::size_t width = std::size_t(working.width());
    const std::size_t height = std::size_t(working.height());
    const unsigned threads = fastest ? threadsForPixels(width * height, pixelsPerThread) : 1;
    Field field(width, height);
    std::vector<std::uint8_t> mayTakeR(width * height), dots(width * height);
    for (std::size_t y = 0; y < height; ++y)
        targetRow(plan, working.row(int(y)), width, field.at(0, 0, y), field.at(1, 0, y),
                  mayTakeR.data() + y * width);
    rebuildDiffused(plan, vector, fastest, working, preview, dots.data());
    if (plan.layout == Layout::PaperOnly)
        return true;
    for (std::size_t y = 0; y < height; ++y) {
        float* u = field.at(0, 0, y);
        float* v = field.at(1, 0, y);
        for (std::size_t x = 0; x < width; ++x) {
            u[x] += float(dots[y * width + x] == 1);
            v[x] += float(dots[y * width + x] == 2);
        }
    }
    blurField(field, threads);

    const float centre = kernel().centre;
    Search search{field,    dots.data(), mayTakeR.data(), plan.lUsable,
                  plan.g11, plan.g12,    plan.g22,        1e-5f * centre * (plan.g11 + plan.g22)};
    const int rows = int(height);
    const int bands = (rows + bandRows - 1) / bandRows;
    std::vector<double> gains(static_cast<std::size_t>(bands));
    const double enough =
        enoughGainPerPixel * double(width * height) * centre * std::max(plan.g11, plan.g22);
    for (int round = 0; round < sweepLimit; ++round) {
        for (int parity = 0; parity < 2; ++parity) {
            auto sweepBands = [&](int first, int end) {
                for (int i = first; i < end; ++i) {
                    const int band = 2 * i + parity;
                    gains[std::size_t(band)] =
                        search.sweep(band * bandRows, std::min(rows, (band + 1) * bandRows), stop);
                }
            };
            spreadRows(threads, (bands - parity + 1) / 2, 1, sweepBands);
        }
        if (stop.stop_requested())
            return false;
        double gained = 0;
        for (double g : gains)
            gained += g;
        if (gained < enough)
            break;
    }
    for (std::size_t y = 0; y < height; ++y)
        paintRow(plan, dots.data() + y * width, width, preview.row(int(y)));
    return true;
}

} // namespace logosmith::separation_detail
