#include "separation/loader/tests/loader_support.h"

using namespace loadertest;

TEST(Corruption, RandomlyDamagedFilesOfEveryTypeFailCleanly) {
    std::mt19937 random(20240611);
    const struct {
        const char* source;
        const char* options;
        const char* name;
    } magickFiles[] = {
        {"rich.ppm", "BMP3:", "c24.bmp"},
        {"rich.ppm", "-type palette BMP3:", "c8.bmp"},
        {"rich.ppm", "-type palette -compress RLE BMP3:", "crle.bmp"},
        {"few.ppm", "-type palette BMP3:", "c4.bmp"},
        {"few.ppm", "-alpha set BMP:", "c32.bmp"},
        {"rich.ppm", "BMP2:", "cos2.bmp"},
        {"rich.ppm", "-quality 80 ", "c.jpg"},
        {"rich.ppm", "-interlace Plane ", "cp.jpg"},
        {"rich.ppm", "-colorspace CMYK ", "cc.jpg"},
        {"rich.ppm", "", "c.gif"},
        {"few.ppm", "-define icon:auto-resize=16,32 ", "c.ico"},
        {"rich.ppm", "-interlace PNG ", "c.png"},
        {"few.ppm", "-alpha set PNG64:", "ca.png"},
        {"rich.ppm", "-compress lzw ", "c.tif"},
        {"rich.ppm", "-define tiff:tile-geometry=16x16 -compress zip ", "ct.tif"},
        {"rich.ppm", "-define webp:lossless=true ", "c.webp"},
        {"rich.ppm", "-quality 80 ", "cl.webp"},
    };
    for (const auto& f : magickFiles) {
        convert(scratch(f.source) + " " + f.options + scratch(f.name));
        corruptRepeatedly(readBytes(scratch(f.name)), f.name, random);
    }
}
