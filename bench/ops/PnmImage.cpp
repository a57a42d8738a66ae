// Netpbm reading and writing: a header of magic, width, height and maxval, then raw rows.
#include "PnmImage.h"

#include <cctype>
#include <fstream>
#include <stdexcept>

namespace {
// Skips blanks and '#' comments between header words.
int32_t HeaderNumber(std::istream& in) {
    while (in.peek() == '#' || std::isspace(in.peek())) {
        if (in.get() == '#')
            in.ignore(1 << 20, '\n');
    }
    int32_t value = -1;
    in >> value;
    if (!in || value < 0)
        throw std::runtime_error("bad netpbm header");
    return value;
}
} // namespace

PnmImage ReadPnm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    in >> magic;
    if (!in || (magic != "P5" && magic != "P6"))
        throw std::runtime_error(path + ": not an 8-bit P5 or P6 file");
    PnmImage image;
    image.channels = magic == "P5" ? 1 : 3;
    image.width = HeaderNumber(in);
    image.height = HeaderNumber(in);
    if (HeaderNumber(in) != 255 || image.width == 0 || image.height == 0)
        throw std::runtime_error(path + ": only 8-bit samples");
    in.get(); // the single blank before the rows
    image.pixels.resize(static_cast<size_t>(image.stride()) * image.height);
    in.read(reinterpret_cast<char*>(image.pixels.data()), static_cast<std::streamsize>(image.pixels.size()));
    if (!in)
        throw std::runtime_error(path + ": truncated");
    return image;
}

void WritePnm(const std::string& path, const PnmImage& image) {
    std::ofstream out(path, std::ios::binary);
    const char* magic = image.channels == 0 ? "P4" : image.channels == 1 ? "P5" : "P6";
    out << magic << '\n' << image.width << ' ' << image.height << '\n';
    if (image.channels != 0)
        out << "255\n";
    out.write(reinterpret_cast<const char*>(image.pixels.data()),
              static_cast<std::streamsize>(image.pixels.size()));
    if (!out)
        throw std::runtime_error(path + ": cannot write");
}
