// The TIFF joiner on files of any content: the first file is made little-endian in place and the second
// appended to it, as the page writer does with a scan's pages.
#include "TiffFunc.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const std::filesystem::path& folder() {
    static const std::filesystem::path made = [] {
        std::string name = (std::filesystem::temp_directory_path() / "k3100-tiff-fuzz.XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr)
            std::abort();
        return std::filesystem::path(name);
    }();
    return made;
}

void write(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte says where the first file ends.
    const std::size_t split = size == 0 ? 0 : std::min<std::size_t>(size - 1, data[0] * 4u);
    const std::filesystem::path target = folder() / "target.tif", source = folder() / "source.tif";
    write(target, data + (size == 0 ? 0 : 1), split);
    write(source, data + (size == 0 ? 0 : 1) + split, size == 0 ? 0 : size - 1 - split);
    ConvertII(source.c_str());
    ConcatTiff(target.c_str(), source.c_str());
    if (FILE* joined = std::fopen(target.c_str(), "rb")) {
        uint32_t pages = kTiffCountPages, ifd = 0, link = 0;
        uint64_t fileSize = 0;
        SearchLinkPos(joined, &pages, &ifd, &link, &fileSize);
        std::fclose(joined);
    }
    return 0;
}
