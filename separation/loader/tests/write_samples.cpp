// Writes the metafiles and hostile pictures the loader tests build into a folder, as seeds for
// the readers' fuzz targets (separation/loader/fuzz/seeds.sh): the project writes its own,
// nothing is fetched. Files over 64 KB are left out, to keep the fuzzers fast.

#include "separation/loader/tests/hostile_files.h"

#include <filesystem>
#include <iostream>

using namespace loadertest;
using namespace logosmith::colours;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: loader_write_samples FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    std::filesystem::create_directories(folder + "/magick");
    std::vector<HostileFile> files = hostileFiles(folder + "/magick");
    for (HostileFile& file : fileReferences(folder + "/private.png", folder + "/private.css"))
        files.push_back(std::move(file));
    files.push_back({"shapes.wmf", WmfWriter(0, 0, 200, 100, 96)
                                       .windowOrg(0, 0)
                                       .windowExt(400, 200)
                                       .pen(2, 3, black)
                                       .select(0)
                                       .solidBrush(red)
                                       .select(1)
                                       .rectangle(10, 10, 60, 60)
                                       .record(0x02FC, {2, 0xFF, 0, 3}) // hatched brush
                                       .select(2)
                                       .ellipse(80, 10, 140, 60)
                                       .record(0x061C, {20, 20, 190, 390, 110, 210}) // rounded
                                       .remove(1)
                                       .polyPolygon({{0, 0, 50, 0, 25, 40}, {5, 5, 45, 5, 25, 35}})
                                       .record(0x001E, {}) // save
                                       .line(0, 0, 399, 199)
                                       .record(0x0127, {-1}) // restore
                                       .finish()});
    files.push_back({"bitmap.wmf", WmfWriter()
                                       .windowExt(64, 64)
                                       .stretchDib(
                                           0, 0, 64, 64,
                                           [] {
                                               Bytes b = bmpHeader(4, 4, 24, 0, 0, 48);
                                               b.erase(b.begin(), b.begin() + 14);
                                               b.resize(b.size() + 48, 0x80);
                                               return b;
                                           }(),
                                           4, 4)
                                       .finish(true)});
    files.push_back({"shapes.emf", EmfWriter(120, 80)
                                       .brush(1, green)
                                       .select(1)
                                       .rectangle(10, 10, 50, 50)
                                       .ellipse(60, 10, 110, 70)
                                       .polygon16({0, 0, 100, 10, 50, 70})
                                       .finish()});
    for (const HostileFile& file : files) {
        if (file.bytes.empty() || file.bytes.size() > 64 * 1024)
            continue;
        writeBytes(folder + "/" + file.name, file.bytes);
    }
    std::filesystem::remove_all(folder + "/magick");
    return 0;
}
