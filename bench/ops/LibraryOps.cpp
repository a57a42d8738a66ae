// Our operations that live in the page library's filters: each runs the filter the chain would run, band by
// band for colour to grey and the tone curve, on the whole page for deskew.
#include "PageOps.h"

#include "CGRC.h"
#include "CImg.h"
#include "CSkewCorrection.h"
#include "ToneFilters.h"

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <utility>

using namespace Ovk::Pixen;

namespace {
CImg ToImage(const PnmImage& page, int32_t dpi) {
    CImg image;
    image.createImg(page.width, page.height, 8, page.channels, Ovk::RGBORDER_PIXEL, dpi, dpi);
    if (image.isNull())
        throw std::runtime_error("no memory for the page");
    for (int32_t y = 0; y < page.height; ++y)
        std::memcpy(image.getLine(y), page.pixels.data() + static_cast<size_t>(page.stride()) * y,
                    static_cast<size_t>(page.stride()));
    return image;
}

// The next `lines` rows of the file straight into the band's buffer; every byte is read, so it is not
// cleared.
void ReadBand(PnmReader& reader, CImg& band, int32_t lines, int32_t dpi) {
    const PnmImage& page = reader.shape();
    const Ovk::tagIMAGEINFO record = CImg::makeInfo(0, 0, page.width, lines, page.stride(), 8, page.channels,
                                                    Ovk::RGBORDER_PIXEL, dpi, dpi);
    if (band.getHeight() != lines)
        band.createImgUnfilled(&record);
    if (band.isNull())
        throw std::runtime_error("no memory for a band");
    reader.read(band.getImage(), lines);
}

// Reuses `into`'s buffer when it is large enough: a fresh page-sized buffer costs more in page faults
// than the filters themselves.
PnmImage ToPnm(const CImg& image, PnmImage into = {}) {
    PnmImage page{image.getWidth(), image.getHeight(), image.getBps() == 1 ? 0 : image.getSpp(),
                  std::move(into.pixels)};
    page.pixels.resize(static_cast<size_t>(page.stride()) * page.height);
    for (int32_t y = 0; y < page.height; ++y)
        std::memcpy(page.pixels.data() + static_cast<size_t>(page.stride()) * y, image.getLine(y),
                    static_cast<size_t>(page.stride()));
    return page;
}

void Check(int32_t result, const char* what) {
    if (result != 0)
        throw std::runtime_error(std::string(what) + " refused the page: " + std::to_string(result));
}
} // namespace

void ToGrey(const std::string& in, const std::string& out, int32_t dpi) {
    PnmReader reader(in);
    const PnmImage& page = reader.shape();
    PnmWriter writer(out, page.width, page.height, 1);
    CImg band, grey;
    ForEachBand(page.stride(), page.height, [&](int32_t, int32_t lines) {
        ReadBand(reader, band, lines, dpi);
        Check(CColorToGray::convert(band, grey), "colour to grey");
        writer.write(grey.getImage(), grey.getImageSize());
    });
}

void ToneCurve(const std::string& in, const std::string& out, int32_t dpi, double gamma) {
    tagGRCINFO info{};
    info.ulSize = sizeof info;
    info.ucBrightness = 0; // the curves below, not computed ones
    for (int32_t v = 0; v < 256; ++v) {
        const auto level = static_cast<uint8_t>(std::lround(255 * std::pow(v / 255.0, 1 / gamma)));
        info.ucGray[v] = info.ucRed[v] = info.ucGreen[v] = info.ucBlue[v] = level;
    }
    PnmReader reader(in);
    const PnmImage& page = reader.shape();
    PnmWriter writer(out, page.width, page.height, page.channels);
    CImg band;
    CGRC filter;
    ForEachBand(page.stride(), page.height, [&](int32_t y, int32_t lines) {
        ReadBand(reader, band, lines, dpi);
        if (y == 0) {
            Check(filter.setInfo(band, &info), "tone curve");
            filter.setMode(page.channels == 3 ? COLORMODE_COLOR : COLORMODE_GRAY, false);
        }
        Check(filter.IP(band), "tone curve");
        writer.write(band.getImage(), band.getImageSize());
    });
}

PnmImage Deskew(PnmImage page, int32_t dpi) {
    const PaperCorners found = FindPaper(page, dpi);
    tagDESKEWINFO info{};
    info.LeftTop = {found.corner[0], found.corner[1]};
    info.RightTop = {found.corner[2], found.corner[3]};
    info.LeftBottom = {found.corner[4], found.corner[5]};
    info.RightBottom = {found.corner[6], found.corner[7]};
    info.vectorSlant = {found.slant[0], found.slant[1]};
    info.lXResolution = info.lYResolution = dpi;
    info.bAutoSize = 1;
    CImg image = ToImage(page, dpi);
    CSkewCorrection deskew;
    Check(deskew.setInfo(image, &info), "deskew");
    Check(deskew.IP(image), "deskew");
    return ToPnm(image, std::move(page));
}
