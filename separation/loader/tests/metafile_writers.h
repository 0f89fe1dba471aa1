#pragma once

// Writers of Windows and enhanced metafiles, record by record, for the loader tests.

#include "separation/loader/tests/loader_support.h"

namespace loadertest {

inline std::uint32_t colourRef(Colour c) {
    return std::uint32_t(c.r | (c.g << 8) | (c.b << 16));
}

// Writes Windows metafiles record by record: 16-bit words, records sized in words.
class WmfWriter {
  public:
    // With a placeable header: a box in metafile units at `unitsPerInch`.
    WmfWriter(int left, int top, int right, int bottom, int unitsPerInch) {
        append32(bytes_, 0x9AC6CDD7);
        append16(bytes_, 0);
        for (int v : {left, top, right, bottom})
            append16(bytes_, unsigned(v));
        append16(bytes_, unsigned(unitsPerInch));
        append32(bytes_, 0);
        unsigned checksum = 0;
        for (std::size_t i = 0; i < 20; i += 2)
            checksum ^= unsigned(bytes_[i] | (bytes_[i + 1] << 8));
        append16(bytes_, checksum);
        header();
    }
    WmfWriter() { header(); }

    WmfWriter& record(unsigned function, const std::vector<int>& words) {
        append32(bytes_, std::uint32_t(3 + words.size()));
        append16(bytes_, function);
        for (int w : words)
            append16(bytes_, unsigned(w));
        return *this;
    }
    WmfWriter& windowOrg(int x, int y) { return record(0x020B, {y, x}); }
    WmfWriter& windowExt(int x, int y) { return record(0x020C, {y, x}); }
    WmfWriter& solidBrush(Colour c) {
        const std::uint32_t ref = colourRef(c);
        return record(0x02FC, {0, int(ref & 0xFFFF), int(ref >> 16), 0});
    }
    WmfWriter& nullBrush() { return record(0x02FC, {1, 0, 0, 0}); }
    WmfWriter& pen(int style, int width, Colour c) {
        const std::uint32_t ref = colourRef(c);
        return record(0x02FA, {style, width, 0, int(ref & 0xFFFF), int(ref >> 16)});
    }
    WmfWriter& select(int index) { return record(0x012D, {index}); }
    WmfWriter& remove(int index) { return record(0x01F0, {index}); }
    WmfWriter& rectangle(int l, int t, int r, int b) { return record(0x041B, {b, r, t, l}); }
    WmfWriter& ellipse(int l, int t, int r, int b) { return record(0x0418, {b, r, t, l}); }
    WmfWriter& polygon(const std::vector<int>& xy) {
        std::vector<int> words{int(xy.size() / 2)};
        words.insert(words.end(), xy.begin(), xy.end());
        return record(0x0324, words);
    }
    WmfWriter& polyPolygon(const std::vector<std::vector<int>>& polygons) {
        std::vector<int> words{int(polygons.size())};
        for (const auto& p : polygons)
            words.push_back(int(p.size() / 2));
        for (const auto& p : polygons)
            words.insert(words.end(), p.begin(), p.end());
        return record(0x0538, words);
    }
    WmfWriter& line(int x0, int y0, int x1, int y1) {
        return record(0x0214, {y0, x0}).record(0x0213, {y1, x1});
    }
    // A StretchDIB of a packed bitmap (header, colours, pixels) into a target rectangle.
    WmfWriter& stretchDib(int x, int y, int w, int h, const Bytes& dib, int sw, int sh) {
        std::vector<int> words{0x0020, 0x00CC, 0, sh, sw, 0, 0, h, w, y, x};
        for (std::size_t i = 0; i + 1 < dib.size(); i += 2)
            words.push_back(dib[i] | (dib[i + 1] << 8));
        return record(0x0F43, words);
    }
    // Writers disagree on the header's file size: most count from the standard header, some
    // count the whole file, placeable header included.
    Bytes finish(bool sizeCountsPlaceableHeader = false) {
        record(0x0000, {});
        const std::size_t counted = sizeCountsPlaceableHeader ? 0 : headerAt_;
        put32(bytes_, headerAt_ + 6, std::uint32_t((bytes_.size() - counted) / 2));
        return bytes_;
    }

  private:
    void header() {
        headerAt_ = bytes_.size();
        append16(bytes_, 1);
        append16(bytes_, 9);
        append16(bytes_, 0x0300);
        append32(bytes_, 0); // size in words, filled in by finish()
        append16(bytes_, 8); // object slots
        append32(bytes_, 0);
        append16(bytes_, 0);
    }
    Bytes bytes_;
    std::size_t headerAt_ = 0;
};

// Writes enhanced metafiles: a header whose frame makes width x height pixels at 96 per inch.
class EmfWriter {
  public:
    EmfWriter(int width, int height) {
        append32(bytes_, 1);
        append32(bytes_, 88);
        for (int v : {0, 0, width - 1, height - 1})
            append32(bytes_, std::uint32_t(v));
        for (int v : {0, 0, width * 2540 / 96, height * 2540 / 96})
            append32(bytes_, std::uint32_t(v));
        append32(bytes_, 0x464D4520);
        append32(bytes_, 0x10000);
        append32(bytes_, 0); // total bytes, filled in by finish()
        append32(bytes_, 0); // record count
        append16(bytes_, 4); // handles
        append16(bytes_, 0);
        for (int i = 0; i < 3; ++i)
            append32(bytes_, 0);             // description, palette
        for (int v : {1920, 1080, 508, 286}) // a 96 pixels per inch screen
            append32(bytes_, std::uint32_t(v));
    }
    EmfWriter& record(std::uint32_t type, const std::vector<std::uint32_t>& values) {
        append32(bytes_, type);
        append32(bytes_, std::uint32_t(8 + 4 * values.size()));
        for (std::uint32_t v : values)
            append32(bytes_, v);
        ++records_;
        return *this;
    }
    EmfWriter& brush(std::uint32_t handle, Colour c) {
        return record(39, {handle, 0, colourRef(c), 0});
    }
    EmfWriter& select(std::uint32_t handle) { return record(37, {handle}); }
    EmfWriter& rectangle(int l, int t, int r, int b) {
        return record(43, {std::uint32_t(l), std::uint32_t(t), std::uint32_t(r), std::uint32_t(b)});
    }
    EmfWriter& ellipse(int l, int t, int r, int b) {
        return record(42, {std::uint32_t(l), std::uint32_t(t), std::uint32_t(r), std::uint32_t(b)});
    }
    // A filled polygon of 16-bit points (x, y, x, y, ...).
    EmfWriter& polygon16(const std::vector<int>& xy) {
        std::vector<std::uint32_t> values{0, 0, 0, 0, std::uint32_t(xy.size() / 2)};
        for (std::size_t i = 0; i + 1 < xy.size(); i += 2)
            values.push_back(std::uint32_t(xy[i] & 0xFFFF) | std::uint32_t(xy[i + 1] << 16));
        return record(86, values);
    }
    Bytes finish() {
        record(14, {0, 16, 20});
        put32(bytes_, 48, std::uint32_t(bytes_.size()));
        put32(bytes_, 52, std::uint32_t(records_ + 1));
        return bytes_;
    }

  private:
    Bytes bytes_;
    int records_ = 0;
};

} // namespace loadertest
