#pragma once

#include <cstdint>
#include <optional>

namespace logosmith {

// The horizontal dot density of printed and stored logos.
struct Density {
    bool widthDoubled = false; // each pixel becomes two dots
    std::uint8_t mode = 0;     // the bit-image mode byte: 0 single, 1 double density

    friend constexpr bool operator==(const Density&, const Density&) = default;
};

// The density for a resolution choice: 1 "Single Density 104*96", 2 "Double Density 208*96",
// 3 "Double Density 104*192", 4 "Quad Density 208*192". No choice, or a number that names none,
// leaves the data narrow but selects mode 1.
constexpr Density densityForIndex(std::optional<int> index) {
    if (!index)
        return Density{false, 1};
    switch (*index) {
    case 1:
    case 3:
        return Density{false, 0};
    case 2:
    case 4:
        return Density{true, 1};
    default:
        return Density{false, 1};
    }
}

} // namespace logosmith
