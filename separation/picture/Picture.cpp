#include "separation/picture/Picture.h"

#include "platform/core/Error.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <sys/mman.h>

namespace logosmith {

namespace detail {

namespace {

constexpr std::size_t hugePage = 2 * 1024 * 1024;
// Below this, the ordinary allocator serves pictures well.
constexpr std::size_t directFrom = 4 * hugePage;

std::size_t mappedBytes(std::size_t bytes) {
    return (bytes + hugePage - 1) / hugePage * hugePage + hugePage;
}

} // namespace

void* allocatePixels(std::size_t bytes) {
    if (bytes < directFrom) {
        void* memory = std::malloc(std::max<std::size_t>(bytes, 1));
        if (!memory)
            throw std::bad_alloc();
        return memory;
    }
    // A huge page more than asked for, so that the block can start on a huge-page boundary;
    // the first word before the block says where the mapping starts.
    const std::size_t length = mappedBytes(bytes);
    void* mapped =
        ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    auto aligned = (start + hugePage - 1) / hugePage * hugePage;
    if (aligned - start < sizeof(std::uintptr_t))
        aligned += hugePage;
    ::madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
    reinterpret_cast<std::uintptr_t*>(aligned)[-1] = start;
    return reinterpret_cast<void*>(aligned);
}

void releasePixels(void* memory, std::size_t bytes) noexcept {
    if (bytes < directFrom) {
        std::free(memory);
        return;
    }
    const std::uintptr_t start = static_cast<std::uintptr_t*>(memory)[-1];
    ::munmap(reinterpret_cast<void*>(start), mappedBytes(bytes));
}

} // namespace detail

void Picture::checkSize(std::int64_t width, std::int64_t height) {
    if (width < 0 || height < 0 || width > maxSide || height > maxSide ||
        width * height > maxPixels)
        throw DecodeError("The picture is too large (" + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels)");
}

Picture::Picture(int width, int height, Colour colour) {
    checkSize(width, height);
    width_ = width;
    height_ = height;
    data_.assign(std::size_t(width) * std::size_t(height) * 3, 0xFF);
    if (colour == colours::white)
        return;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setPixel(x, y, colour);
}

Picture::Picture(int width, int height, Uncleared) {
    checkSize(width, height);
    width_ = width;
    height_ = height;
    data_.resize(std::size_t(width) * std::size_t(height) * 3);
}

Picture stretchNearest(const Picture& source, int width, int height) {
    Picture out(width, height);
    if (source.isEmpty() || out.isEmpty())
        return out;
    // Source column for every target column, computed once.
    auto sourceX = std::vector<int>(std::size_t(width));
    for (int x = 0; x < width; ++x)
        sourceX[std::size_t(x)] = nearestSource(x, width, source.width());
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = source.row(nearestSource(y, height, source.height()));
        std::uint8_t* dst = out.row(y);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = in + std::size_t(sourceX[std::size_t(x)]) * 3;
            dst[0] = p[0];
            dst[1] = p[1];
            dst[2] = p[2];
            dst += 3;
        }
    }
    return out;
}

} // namespace logosmith
