// Page rasters: PNM is parsed here (header, then raw samples), TIFF goes through libtiff's RGBA reader so
// that any photometric layout arrives as RGB. Sizes are bounded so a hostile file cannot exhaust memory.
#include "PageImage.h"

#include <tiffio.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

namespace k3100::emu {
namespace {

constexpr int kMaxSide = 20000;  // pixels: 1.6 m at 300 dpi
constexpr int kDefaultDpi = 200; // when a file does not say
constexpr uint32_t kMaxResolution = 2400;
constexpr double kMaxSkew = 20; // degrees; more would not pass the feeder's guides
constexpr const char* kSkewTag = "k3100:skew=";

bool readToken(std::istream& in, std::string& token) {
    token.clear();
    int c = in.get();
    while (c != EOF) {
        if (c == '#') {
            while (c != EOF && c != '\n')
                c = in.get();
        } else if (!std::isspace(c)) {
            break;
        }
        c = in.get();
    }
    while (c != EOF && !std::isspace(c)) {
        token.push_back(static_cast<char>(c));
        c = in.get();
    }
    return !token.empty();
}

bool parseSize(const std::string& token, int& value) {
    if (token.empty() || token.size() > 6 || token.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoi(token);
    return value > 0 && value <= kMaxSide;
}

std::optional<PageImage> loadPnm(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    std::string magic, w, h, maxval;
    int width = 0, height = 0, max = 0;
    if (!readToken(in, magic) || (magic != "P5" && magic != "P6") || !readToken(in, w) || !readToken(in, h) ||
        !readToken(in, maxval) || !parseSize(w, width) || !parseSize(h, height) || !parseSize(maxval, max) ||
        max != 255) {
        error = path + ": not an 8-bit binary PGM or PPM file";
        return std::nullopt;
    }
    const int channels = magic == "P6" ? 3 : 1;
    PageImage image(width, height, kDefaultDpi);
    std::vector<char> row(static_cast<size_t>(width) * channels);
    for (int y = 0; y < height; ++y) {
        if (!in.read(row.data(), static_cast<std::streamsize>(row.size()))) {
            error = path + ": truncated image data";
            return std::nullopt;
        }
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                image.pixel(x, y)[c] =
                    static_cast<uint8_t>(row[static_cast<size_t>(x) * channels + c % channels]);
    }
    return image;
}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

int tiffDpi(TIFF* tiff) {
    float resolution = 0;
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &resolution) != 1 || !(resolution > 0))
        return kDefaultDpi;
    if (unit == RESUNIT_CENTIMETER)
        resolution *= 2.54f;
    if (resolution < 50 || resolution > kMaxResolution)
        return kDefaultDpi;
    return static_cast<int>(resolution + 0.5f);
}

double tiffSkew(TIFF* tiff) {
    const char* description = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_IMAGEDESCRIPTION, &description) != 1 || description == nullptr)
        return 0;
    const std::string text(description);
    const size_t at = text.find(kSkewTag);
    if (at == std::string::npos)
        return 0;
    char* end = nullptr;
    const double degrees = std::strtod(text.c_str() + at + std::strlen(kSkewTag), &end);
    return std::isfinite(degrees) && std::abs(degrees) <= kMaxSkew ? degrees : 0;
}

std::optional<PageImage> loadTiff(const std::string& path, std::string& error) {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpen(path.c_str(), "r"));
    uint32_t width = 0, height = 0;
    if (!tiff || TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) != 1 ||
        TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height) != 1 || width == 0 || height == 0 ||
        width > kMaxSide || height > kMaxSide) {
        error = path + ": not a readable TIFF page";
        return std::nullopt;
    }
    std::vector<uint32_t> rgba(static_cast<size_t>(width) * height);
    if (TIFFReadRGBAImageOriented(tiff.get(), width, height, rgba.data(), ORIENTATION_TOPLEFT, 0) != 1) {
        error = path + ": TIFF image data cannot be decoded";
        return std::nullopt;
    }
    PageImage image(static_cast<int>(width), static_cast<int>(height), tiffDpi(tiff.get()));
    image.setSkewDegrees(tiffSkew(tiff.get()));
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t p = rgba[static_cast<size_t>(y) * width + x];
            uint8_t* out = image.pixel(static_cast<int>(x), static_cast<int>(y));
            out[0] = static_cast<uint8_t>(TIFFGetR(p));
            out[1] = static_cast<uint8_t>(TIFFGetG(p));
            out[2] = static_cast<uint8_t>(TIFFGetB(p));
        }
    }
    return image;
}

int pixelsFor(uint32_t length1200, int dpi) {
    return static_cast<int>(std::min<uint64_t>(static_cast<uint64_t>(length1200) * dpi / 1200, kMaxSide));
}

} // namespace

PageImage::PageImage(int width, int height, int dpi, uint8_t fill)
    : width_(width), height_(height), dpi_(dpi), rgb_(static_cast<size_t>(width) * height * 3, fill) {}

std::optional<PageImage> PageImage::load(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    char magic[2] = {};
    if (!in.read(magic, 2)) {
        error = path + ": cannot be read";
        return std::nullopt;
    }
    if (magic[0] == 'P')
        return loadPnm(path, error);
    if ((magic[0] == 'I' && magic[1] == 'I') || (magic[0] == 'M' && magic[1] == 'M'))
        return loadTiff(path, error);
    error = path + ": neither PNM nor TIFF";
    return std::nullopt;
}

PageImage PageImage::blank(uint32_t width1200, uint32_t length1200, int dpi) {
    return PageImage(std::max(1, pixelsFor(width1200, dpi)), std::max(1, pixelsFor(length1200, dpi)), dpi);
}

PageImage PageImage::ramp(uint32_t width1200, uint32_t length1200, int dpi) {
    PageImage image = blank(width1200, length1200, dpi);
    const int bar = std::max(1, dpi / 4); // quarter-inch black bars every inch down the page
    for (int y = 0; y < image.height(); ++y) {
        const bool inBar = (y / bar) % 4 == 1;
        for (int x = 0; x < image.width(); ++x) {
            const auto grey = static_cast<uint8_t>(inBar ? 0 : 255 - 255 * x / image.width());
            uint8_t* p = image.pixel(x, y);
            p[0] = p[1] = p[2] = grey;
        }
    }
    return image;
}

} // namespace k3100::emu
