#include "transport/TimeLeft.h"

namespace logosmith {

std::optional<std::chrono::seconds> estimateTimeLeft(std::int64_t sent, std::int64_t total,
                                                     std::chrono::milliseconds elapsed) {
    if (sent <= 0 || elapsed < std::chrono::seconds(1))
        return std::nullopt;
    const std::int64_t rest = total > sent ? total - sent : 0;
    // Milliseconds for the rest at the rate so far, rounded up to whole seconds.
    const double ms = static_cast<double>(rest) * static_cast<double>(elapsed.count()) /
                      static_cast<double>(sent);
    return std::chrono::seconds(static_cast<std::int64_t>((ms + 999.0) / 1000.0));
}

std::string timeLeftText(std::chrono::seconds left) {
    const std::int64_t all = left.count();
    const std::int64_t hours = all / 3600;
    const std::int64_t minutes = all % 3600 / 60;
    const std::int64_t seconds = all % 60;
    std::string text = "About ";
    if (hours > 0)
        text += std::to_string(hours) + " h " + std::to_string(minutes) + " min";
    else if (minutes > 0)
        text += std::to_string(minutes) + " min " + std::to_string(seconds) + " s";
    else
        text += std::to_string(seconds) + " s";
    return text + " left";
}

} // namespace logosmith
