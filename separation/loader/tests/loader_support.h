#pragma once

// Shared set-up of the loader tests: a Qt GUI application (metafiles are painted), a scratch
// folder, reference pictures written as PPM and converted with ImageMagick, and small helpers
// for byte-level edits of the files.

#include "platform/core/Error.h"
#include "separation/loader/PictureLoader.h"
#include "separation/picture/Picture.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace loadertest {

using logosmith::Colour;
using logosmith::Picture;
using Bytes = std::vector<std::uint8_t>;

inline std::filesystem::path scratchDir() {
    static const std::filesystem::path dir = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "logosmith-loader-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a scratch folder");
        return std::filesystem::path(pattern);
    }();
    return dir;
}

inline std::string scratch(const std::string& name) {
    return (scratchDir() / name).string();
}

inline void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Writes bytes to a scratch file of that name and decodes it.
inline Picture decodeBytes(const Bytes& bytes, const std::string& name) {
    const std::string path = scratch(name);
    writeBytes(path, bytes);
    return logosmith::decodePictureFile(path);
}

// A picture given by a colour function, as a binary PPM file for ImageMagick.
inline Picture makePicture(int width, int height, const std::function<Colour(int, int)>& colour) {
    Picture p(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.setPixel(x, y, colour(x, y));
    return p;
}

inline void writePpm(const Picture& p, const std::string& path) {
    Bytes bytes;
    const std::string head =
        "P6\n" + std::to_string(p.width()) + " " + std::to_string(p.height()) + "\n255\n";
    bytes.assign(head.begin(), head.end());
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const Colour c = p.pixel(x, y);
            bytes.push_back(std::uint8_t(c.r));
            bytes.push_back(std::uint8_t(c.g));
            bytes.push_back(std::uint8_t(c.b));
        }
    writeBytes(path, bytes);
}

// Runs ImageMagick's convert with the arguments (already quoted where needed); fails the test
// when it is missing or fails.
inline void convert(const std::string& arguments) {
    const std::string command = "convert " + arguments + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Five pure colours on 21 x 9 (odd width, so rows need padding): survives 4-bit palettes,
// 16-bit pixels and GIF exactly.
inline Colour fewColours(int x, int y) {
    if (x == 1 && y == 1)
        return Colour{255, 255, 0};
    if (y < 5)
        return x < 10 ? logosmith::colours::red : logosmith::colours::blue;
    return x < 10 ? logosmith::colours::green : logosmith::colours::black;
}

// As above plus a row of 21 greys: more than 16 colours, so an 8-bit palette.
inline Colour richColours(int x, int y) {
    if (y == 0)
        return Colour{x * 12, x * 12, x * 12};
    return fewColours(x, y);
}

inline ::testing::AssertionResult samePixels(const Picture& actual, const Picture& expected,
                                             int tolerance = 0) {
    if (actual.width() != expected.width() || actual.height() != expected.height())
        return ::testing::AssertionFailure()
               << "size " << actual.width() << "x" << actual.height() << ", expected "
               << expected.width() << "x" << expected.height();
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x) {
            const Colour a = actual.pixel(x, y), e = expected.pixel(x, y);
            if (std::abs(a.r - e.r) > tolerance || std::abs(a.g - e.g) > tolerance ||
                std::abs(a.b - e.b) > tolerance)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << "," << y << ") is (" << a.r << "," << a.g << "," << a.b
                       << "), expected (" << e.r << "," << e.g << "," << e.b << ")";
        }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult near(Colour actual, Colour expected, int tolerance) {
    if (std::abs(actual.r - expected.r) <= tolerance &&
        std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.r << "," << actual.g << "," << actual.b << ") is not near ("
           << expected.r << "," << expected.g << "," << expected.b << ")";
}

// Decoding must fail with a DecodeError whose message contains `text`.
inline ::testing::AssertionResult refused(const Bytes& bytes, const std::string& name,
                                          const std::string& text = "") {
    try {
        const Picture p = decodeBytes(bytes, name);
        return ::testing::AssertionFailure()
               << name << " decoded as " << p.width() << "x" << p.height();
    } catch (const logosmith::DecodeError& e) {
        const std::string message = e.what();
        if (message.empty() || message.find(text) == std::string::npos)
            return ::testing::AssertionFailure() << "message \"" << message << "\"";
        return ::testing::AssertionSuccess();
    }
}

inline Bytes truncatedTo(const Bytes& bytes, std::size_t size) {
    return Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(std::min(size, bytes.size())));
}

inline void put16(Bytes& b, std::size_t at, unsigned v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
inline void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}
inline void append16(Bytes& b, unsigned v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
inline void append32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(std::uint8_t(v >> (8 * i)));
}

// The reference pictures, written as few.ppm and rich.ppm at start-up.
struct Fixtures {
    Picture few = makePicture(21, 9, fewColours);
    Picture rich = makePicture(21, 9, richColours);
};

const Fixtures& fixtures();

// Flips a few random bytes, sometimes cuts the file too; every outcome must be a picture or a
// DecodeError, never a crash, another exception or an out-of-bounds read (the test runs
// under AddressSanitizer in CI). LOGOSMITH_CORRUPTION_ROUNDS raises the count for a longer hunt.
inline void corruptRepeatedly(const Bytes& good, const std::string& name, std::mt19937& random) {
    ASSERT_NO_THROW(decodeBytes(good, name)) << name;
    const char* rounds = std::getenv("LOGOSMITH_CORRUPTION_ROUNDS");
    const int roundCount = rounds ? std::max(1, std::atoi(rounds)) : 60;
    for (int round = 0; round < roundCount; ++round) {
        Bytes bytes = good;
        const int flips = 1 + int(random() % 6);
        for (int i = 0; i < flips; ++i)
            bytes[random() % bytes.size()] = std::uint8_t(random());
        if (round % 4 == 3)
            bytes.resize(random() % bytes.size());
        try {
            const Picture p = decodeBytes(bytes, name);
            EXPECT_LE(std::int64_t(p.width()) * p.height(), Picture::maxPixels);
        } catch (const logosmith::DecodeError& e) {
            EXPECT_STRNE(e.what(), "") << name;
        } catch (const std::exception& e) {
            ADD_FAILURE() << name << " round " << round << ": " << e.what();
        }
    }
}

} // namespace loadertest
