#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace logosmith::sim {

// SHA-256, fed in pieces; small enough to keep the simulator free of extra libraries.
class Sha256 {
  public:
    Sha256();
    void update(const std::uint8_t* data, std::size_t size);
    // The digest as 64 lower-case hex digits; the object must not be updated afterwards.
    std::string hexDigest();

  private:
    void compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t totalBytes_ = 0;
};

} // namespace logosmith::sim
