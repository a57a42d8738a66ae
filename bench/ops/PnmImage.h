// Netpbm pages for the comparison runs: every tool reads and writes the same uncompressed files, so a run's
// time is the operation plus the same plain I/O on both sides.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

struct PnmImage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t channels = 0; // 1 grey (P5), 3 colour (P6), 0 for a 1-bit page (P4, set bit = black)
    std::vector<uint8_t> pixels;

    int32_t stride() const { return channels == 0 ? (width + 7) / 8 : width * channels; }
};

// A P4 or 8-bit P5 or P6 file read in order, band by band as a scanner delivers a page; throws
// std::runtime_error on anything else and on a short file.
class PnmReader {
public:
    explicit PnmReader(const std::string& path);
    // The page's geometry; pixels stay empty.
    const PnmImage& shape() const { return m_shape; }
    // The next `lines` rows into `rows` (lines * stride bytes).
    void read(uint8_t* rows, int32_t lines);

private:
    std::ifstream m_in;
    PnmImage m_shape;
};

// A P4, P5 or P6 file written in order; throws std::runtime_error when it cannot be written.
class PnmWriter {
public:
    PnmWriter(const std::string& path, int32_t width, int32_t height, int32_t channels);
    void write(const uint8_t* rows, size_t bytes);

private:
    std::ofstream m_out;
    std::string m_path;
};

// The whole page at once.
PnmImage ReadPnm(const std::string& path);
void WritePnm(const std::string& path, const PnmImage& image);
