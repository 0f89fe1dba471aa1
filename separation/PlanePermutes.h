#pragma once

#include <cstdint>

namespace logosmith::separation_detail {

// Byte-permute indices that split 64 pixels (192 bytes) into three planes of 64 bytes and join
// three planes back: plane j byte k is input byte 3k + j, found in the first two 64-byte
// blocks or, for the masked lanes, in the third; output byte n is plane n % 3, pixel n / 3 of
// its block. Shared by the preview's and the dithering's vector loops.
struct alignas(64) PlanePermutes {
    std::uint8_t splitLow[3][64], splitHigh[3][64], joinLow[3][64], joinHigh[3][64];
    std::uint64_t splitFromThird[3] = {0, 0, 0}, joinFromThird[3] = {0, 0, 0};
    PlanePermutes() {
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 64; ++k) {
                const int source = 3 * k + j;
                splitLow[j][k] = std::uint8_t(source & 127);
                splitHigh[j][k] = std::uint8_t((source - 128) & 63);
                if (source >= 128)
                    splitFromThird[j] |= std::uint64_t(1) << k;
                const int n = 64 * j + k; // output block j, byte k
                const int pixel = n / 3, plane = n % 3;
                joinLow[j][k] = std::uint8_t((pixel & 63) | (plane == 1 ? 64 : 0));
                joinHigh[j][k] = std::uint8_t(pixel & 63);
                if (plane == 2)
                    joinFromThird[j] |= std::uint64_t(1) << k;
            }
    }
};

inline const PlanePermutes& planePermutes() {
    static const PlanePermutes permutes;
    return permutes;
}

} // namespace logosmith::separation_detail
