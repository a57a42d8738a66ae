// A page the data source handed over as TIFF, decoded again with libtiff: from the file of a file
// transfer, or from the block of a native transfer made without a source manager (C heap memory).
#pragma once

#include <tiffio.h>

#include <malloc.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "twain.h"

namespace test {

struct SDecoded {
    std::uint32_t width = 0, height = 0;
    std::uint16_t samples = 0, bits = 0;
    float xResolution = 0;
    std::vector<std::vector<std::uint8_t>> rows;
};

inline SDecoded ReadTiff(const std::filesystem::path& path) {
    SDecoded page;
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff)
        return page;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &page.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &page.height);
    TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &page.samples);
    TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &page.bits);
    TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &page.xResolution);
    for (std::uint32_t y = 0; y < page.height; ++y) {
        page.rows.emplace_back(TIFFScanlineSize(tiff));
        TIFFReadScanline(tiff, page.rows.back().data(), y, 0);
    }
    TIFFClose(tiff);
    return page;
}

// The block's size is not told, so all of the heap block is kept in the file; the TIFF ends within it.
inline SDecoded ReadNativeTiff(TW_HANDLE block, const std::filesystem::path& path) {
    std::ofstream(path, std::ios::binary)
        .write(static_cast<const char*>(block), static_cast<std::streamsize>(malloc_usable_size(block)));
    return ReadTiff(path);
}

} // namespace test
