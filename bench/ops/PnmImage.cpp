// Netpbm reading and writing: a header of magic, width, height and maxval, then raw rows.
#include "PnmImage.h"

#include <cctype>
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

PnmReader::PnmReader(const std::string& path) : m_in(path, std::ios::binary) {
    std::string magic;
    m_in >> magic;
    if (!m_in || (magic != "P4" && magic != "P5" && magic != "P6"))
        throw std::runtime_error(path + ": not a P4, or an 8-bit P5 or P6 file");
    m_shape.channels = magic == "P4" ? 0 : (magic == "P5" ? 1 : 3);
    m_shape.width = HeaderNumber(m_in);
    m_shape.height = HeaderNumber(m_in);
    if ((magic != "P4" && HeaderNumber(m_in) != 255) || m_shape.width == 0 || m_shape.height == 0)
        throw std::runtime_error(path + ": only 8-bit samples");
    m_in.get(); // the single blank before the rows
}

void PnmReader::read(uint8_t* rows, int32_t lines) {
    m_in.read(reinterpret_cast<char*>(rows), static_cast<std::streamsize>(int64_t{m_shape.stride()} * lines));
    if (!m_in)
        throw std::runtime_error("netpbm file truncated");
}

PnmWriter::PnmWriter(const std::string& path, int32_t width, int32_t height, int32_t channels)
    : m_out(path, std::ios::binary), m_path(path) {
    const char* magic = channels == 0 ? "P4" : channels == 1 ? "P5" : "P6";
    m_out << magic << '\n' << width << ' ' << height << '\n';
    if (channels != 0)
        m_out << "255\n";
}

void PnmWriter::write(const uint8_t* rows, size_t bytes) {
    m_out.write(reinterpret_cast<const char*>(rows), static_cast<std::streamsize>(bytes));
    if (!m_out)
        throw std::runtime_error(m_path + ": cannot write");
}

PnmImage ReadPnm(const std::string& path) {
    PnmReader reader(path);
    PnmImage image = reader.shape();
    image.pixels.resize(static_cast<size_t>(image.stride()) * image.height);
    reader.read(image.pixels.data(), image.height);
    return image;
}

void WritePnm(const std::string& path, const PnmImage& image) {
    PnmWriter(path, image.width, image.height, image.channels)
        .write(image.pixels.data(), image.pixels.size());
}
