// Ordered dithering: each pixel's shares against a 16 x 16 Bayer threshold matrix.

#include "separation/DitherPlan.h"
#include "separation/SpreadRows.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace logosmith::separation_detail {

namespace {

// 16 x 16 Bayer matrix as thresholds (level + 0.5) / 256: every level's dots dispersed.
struct BayerMatrix {
    std::array<std::array<float, 16>, 16> t{};
    BayerMatrix() {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                int level = 0; // bit-reversed interleave of x ^ y and y
                for (int bit = 0; bit < 4; ++bit) {
                    const int xb = (x >> bit) & 1, yb = (y >> bit) & 1;
                    level |= ((xb ^ yb) << (2 * (3 - bit) + 1)) | (yb << (2 * (3 - bit)));
                }
                t[std::size_t(y)][std::size_t(x)] = (float(level) + 0.5f) / 256;
            }
    }
};

void orderedRows(const DitherPlan& plan, bool vector, const Picture& working, Picture& preview,
                 int firstRow, int endRow) {
    static const BayerMatrix bayer;
    const std::size_t width = std::size_t(working.width());
    RowShares w(vector ? 0 : width); // the vector kernel paints straight from its registers
    const Ints one = Ints{} + 1, two = Ints{} + 2;
    for (int y = firstRow; y < endRow; ++y) {
        const float* t = bayer.t[std::size_t(y & 15)].data();
#ifdef LOGOSMITH_DITHER_VECTOR
        if (vector) {
            vectorOrdered(plan, working.row(y), width, t, preview.row(y));
            continue;
        }
#else
        (void)vector;
#endif
        portableShares(plan, working.row(y), width, w);
        for (std::size_t x = 0; x < width; x += 16)
            for (std::size_t j = 0; j < 16; j += lanes) {
                const Floats threshold = load(t + j), u = load(w.u.data() + x + j);
                const Ints lDot = threshold < u;
                const Ints rDot = ~lDot & (threshold < u + load(w.v.data() + x + j));
                const Ints dot = (lDot & one) | (rDot & two);
                for (std::size_t lane = 0; lane < lanes; ++lane)
                    w.dots[x + j + lane] = std::uint8_t(dot[lane]);
            }
        paintRow(plan, w.dots.data(), width, preview.row(y));
    }
}

// Below this many pixels a second thread costs more than it saves.
constexpr std::size_t pixelsPerThread = std::size_t(1) << 16;

} // namespace

// Ordered dots depend on nothing but the pixel and its place, so the rows may go to any thread.
void rebuildOrdered(const DitherPlan& plan, bool vector, const Picture& working, Picture& preview) {
    auto rows = [&](int first, int end) {
        orderedRows(plan, vector, working, preview, first, end);
    };
    const std::size_t pixels = std::size_t(working.width()) * std::size_t(working.height());
    spreadRows(threadsForPixels(pixels, pixelsPerThread), working.height(), 16, rows);
}

} // namespace logosmith::separation_detail
