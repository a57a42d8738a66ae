// Sheets that tell which they are: sheet n carries n black bars near its top and n near its bottom, so
// that a page cut short, or one pieced together from two sheets, is no sheet's page. Each is a 3-inch
// wide strip as long as A4, a picture file at the 200 dpi the emulated scanner gives one naming none.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace test {

inline constexpr int kSheetDpi = 200;
inline constexpr double kBarsTopInches = 0.5, kBarsBottomInches = 7.0, kBarPitchInches = 0.25;

// The emulator's --load specs of sheets 1 to count, written into folder.
inline std::vector<std::string> writeNumberedSheets(const std::filesystem::path& folder, int count) {
    constexpr int width = 3 * kSheetDpi, height = 2339, bar = kSheetDpi / 10;
    std::vector<std::string> specs;
    for (int number = 1; number <= count; ++number) {
        std::vector<std::uint8_t> pixels(std::size_t(width) * height, 255);
        for (const double first : {kBarsTopInches, kBarsBottomInches})
            for (int i = 0; i < number; ++i) {
                const int top = int((first + i * kBarPitchInches) * kSheetDpi);
                std::fill_n(pixels.begin() + std::ptrdiff_t(top) * width, bar * width, std::uint8_t{0});
            }
        const std::filesystem::path path = folder / ("sheet-" + std::to_string(number) + ".pgm");
        std::ofstream out(path, std::ios::binary);
        out << "P5\n" << width << ' ' << height << "\n255\n";
        out.write(reinterpret_cast<const char*>(pixels.data()), std::streamsize(pixels.size()));
        specs.push_back(path.string());
    }
    return specs;
}

} // namespace test
