#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace logosmith {

// The time a transfer still needs at the rate it has had so far. Nothing is told in the first
// second, while a port's buffers fill at any speed, nor before a byte has gone out.
std::optional<std::chrono::seconds> estimateTimeLeft(std::int64_t sent, std::int64_t total,
                                                     std::chrono::milliseconds elapsed);

// "About 2 h 5 min left", "About 3 min 20 s left", "About 40 s left".
std::string timeLeftText(std::chrono::seconds left);

} // namespace logosmith
