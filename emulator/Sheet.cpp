// Sheets from file names or generator names; the sheet takes the physical size of its front image.
#include "Sheet.h"

#include <cmath>
#include <cstdlib>

namespace k3100::emu {
namespace {

constexpr uint32_t kLetterWidth = 10200; // 8.5 x 11 inch
constexpr uint32_t kLetterLength = 13200;
constexpr uint32_t kA4Width = 9921; // 210 x 297 mm
constexpr uint32_t kA4Length = 14031;
constexpr uint32_t kA5Width = 6992; // 148 x 210 mm
constexpr uint32_t kA5Length = 9921;
constexpr int kGeneratedDpi = 150;
constexpr double kMaxSkew = 20; // degrees

std::optional<PageImage> face(const std::string& spec, std::string& error) {
    if (spec == "gen:blank")
        return PageImage::blank(kLetterWidth, kLetterLength, kGeneratedDpi);
    if (spec == "gen:ramp")
        return PageImage::ramp(kLetterWidth, kLetterLength, kGeneratedDpi);
    if (spec == "gen:blank-a4")
        return PageImage::blank(kA4Width, kA4Length, kGeneratedDpi);
    if (spec == "gen:ramp-a4")
        return PageImage::ramp(kA4Width, kA4Length, kGeneratedDpi);
    if (spec == "gen:blank-a5")
        return PageImage::blank(kA5Width, kA5Length, kGeneratedDpi);
    if (spec == "gen:ramp-a5")
        return PageImage::ramp(kA5Width, kA5Length, kGeneratedDpi);
    if (spec.rfind("gen:", 0) == 0) {
        error = spec + ": unknown generated page";
        return std::nullopt;
    }
    return PageImage::load(spec, error);
}

} // namespace

Sheet sheetFromImages(std::string name, PageImage front, std::optional<PageImage> back) {
    Sheet sheet;
    sheet.name = std::move(name);
    sheet.width1200 = static_cast<uint32_t>(static_cast<uint64_t>(front.width()) * 1200 / front.dpi());
    sheet.length1200 = static_cast<uint32_t>(static_cast<uint64_t>(front.height()) * 1200 / front.dpi());
    sheet.skewDegrees = front.skewDegrees();
    sheet.front = std::make_shared<const PageImage>(std::move(front));
    if (back)
        sheet.back = std::make_shared<const PageImage>(std::move(*back));
    return sheet;
}

std::optional<Sheet> sheetFromSpec(const std::string& text, std::string& error) {
    std::string spec = text;
    std::optional<double> skew;
    if (const size_t at = spec.rfind('@'); at != std::string::npos) {
        char* end = nullptr;
        const std::string degrees = spec.substr(at + 1);
        skew = std::strtod(degrees.c_str(), &end);
        if (degrees.empty() || *end != '\0' || !(std::abs(*skew) <= kMaxSkew)) {
            error = text + ": tilt must be a number of degrees up to 20";
            return std::nullopt;
        }
        spec.resize(at);
    }
    const size_t comma = spec.find(',');
    auto front = face(spec.substr(0, comma), error);
    if (!front)
        return std::nullopt;
    std::optional<PageImage> back;
    if (comma != std::string::npos) {
        back = face(spec.substr(comma + 1), error);
        if (!back)
            return std::nullopt;
    }
    Sheet sheet = sheetFromImages(text, std::move(*front), std::move(back));
    if (skew)
        sheet.skewDegrees = *skew;
    return sheet;
}

} // namespace k3100::emu
