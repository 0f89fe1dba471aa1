#pragma once

#include <cstdint>

namespace logosmith {

// A colour as three 0..255 channels. As one 32-bit value it is R + 256*G + 65536*B.
struct Colour {
    int r = 0;
    int g = 0;
    int b = 0;

    constexpr std::uint32_t packed() const {
        return std::uint32_t(r) | (std::uint32_t(g) << 8) | (std::uint32_t(b) << 16);
    }
    static constexpr Colour fromPacked(std::uint32_t value) {
        return Colour{int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF)};
    }
    friend constexpr bool operator==(const Colour&, const Colour&) = default;
};

namespace colours {
inline constexpr Colour black{0, 0, 0};
inline constexpr Colour white{255, 255, 255};
inline constexpr Colour red{255, 0, 0};
inline constexpr Colour green{0, 255, 0};
inline constexpr Colour blue{0, 0, 255};
} // namespace colours

} // namespace logosmith
