// An 8-bit RGB raster with its resolution: the printed face of one side of an emulated sheet. Loaded from
// PNM (P5/P6) or TIFF files, or generated.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace k3100::emu {

class PageImage {
public:
    PageImage() = default;
    PageImage(int width, int height, int dpi, uint8_t fill = 255);

    int width() const { return width_; }
    int height() const { return height_; }
    int dpi() const { return dpi_; }
    // How far the sheet printed with this face feeds tilted, degrees (a sample file can ask for it).
    double skewDegrees() const { return skewDegrees_; }
    void setSkewDegrees(double degrees) { skewDegrees_ = degrees; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    const uint8_t* pixel(int x, int y) const { return &rgb_[(static_cast<size_t>(y) * width_ + x) * 3]; }
    uint8_t* pixel(int x, int y) { return &rgb_[(static_cast<size_t>(y) * width_ + x) * 3]; }

    // PNM or TIFF by content; nullopt with `error` set when the file cannot be used.
    static std::optional<PageImage> load(const std::string& path, std::string& error);

    // Paper white page of the given size in 1/1200 inch.
    static PageImage blank(uint32_t width1200, uint32_t length1200, int dpi);
    // Grey ramp across the page with black bars: contrast and position can be checked on the scan.
    static PageImage ramp(uint32_t width1200, uint32_t length1200, int dpi);

private:
    int width_ = 0;
    int height_ = 0;
    int dpi_ = 0;
    double skewDegrees_ = 0;
    std::vector<uint8_t> rgb_;
};

} // namespace k3100::emu
