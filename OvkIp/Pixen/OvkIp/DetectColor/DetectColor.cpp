// The colour-or-grey detector and its entry points.
#include "DetectColor/DetectColor.h"

#include "OvkHandles.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {
LastingHandles<CDetectColor> g_detectors;

constexpr int32_t kDefaultTargetResolution = 75; // dpi: colour bands stay visible, the work stays small

int32_t bandsForSensitivity(int32_t sensitivity) {
    static constexpr std::array<int32_t, 7> kBands = {1, 2, 5, 8, 12, 16, 24};
    return sensitivity >= 1 && sensitivity <= 7 ? kBands[sensitivity - 1] : 2;
}

void release(tagDETECT_COLOR_INFO* info) {
    if (info->hDetector)
        g_detectors->release(info->hDetector);
    info->hDetector = nullptr;
}

bool hasPixels(const tagOVKIMAGEINFO* image) {
    return image && image->lpImage;
}
} // namespace

void CDetectColor::init(tagDETECT_COLOR_INFO* info) {
    m_reducer = std::make_unique<COvkResCon2>();
    if (info->lTargetXResolution <= 0)
        info->lTargetXResolution = kDefaultTargetResolution;
    if (info->lTargetYResolution <= 0)
        info->lTargetYResolution = kDefaultTargetResolution;
    m_reducer->init(info->lWidth, info->lHeight, info->lXResolution, info->lYResolution,
                    info->lTargetXResolution, info->lTargetYResolution);
    // The store reads the detector's own table, so the mode's table below cleans the fringes too.
    m_reducer->option_init(&m_table, info->lHalfWindow, info->byDarkLevel, info->ulFillColor);
    switch (info->lMode) {
    case 1:
        m_linesPerBand = info->lLinesPerBand;
        m_pixelsPerSpot = info->lPixelsPerSpot;
        m_spotsPerLine = info->lSpotsPerLine;
        std::copy(std::begin(info->byThreshold), std::end(info->byThreshold), m_table.begin());
        break;
    case 2:
        m_table = info->lTablePreset == 1   ? g_threshold_table1
                  : info->lTablePreset == 3 ? g_threshold_table3
                                            : g_threshold_table2;
        m_bandsForColor = info->lSensitivity == 1 ? 2 : info->lSensitivity == 3 ? 16 : 8;
        break;
    case 3:
        std::copy(std::begin(info->byThreshold), std::end(info->byThreshold), m_table.begin());
        m_bandsForColor = bandsForSensitivity(info->lSensitivity);
        break;
    default:
        break;
    }
}

void CDetectColor::image(const tagOVKIMAGEINFO* band) {
    if (!m_reducer)
        throw -7;
    m_reducer->image(*band);
}

void CDetectColor::end(const tagOVKIMAGEINFO* band, tagDETECT_COLOR_INFO* info) {
    if (!m_reducer)
        throw -7;
    if (band)
        image(band);
    m_reducer->getResultImage(&m_reducedInfo, &m_reduced);
    PaintColorLine();
    analyze(info);
}

void CDetectColor::analyze(tagDETECT_COLOR_INFO* info) {
    m_reducer.reset();
    m_bandCount = ColorOrGray();
    info->lBandCount = m_bandCount;
    info->lColor = m_bandCount >= m_bandsForColor ? 1 : 0;
}

const uint8_t* CDetectColor::pixel(int32_t x, int32_t y) const {
    return &m_reduced[static_cast<size_t>(y) * m_reducedInfo.lSync + static_cast<size_t>(x) * 3];
}

uint8_t* CDetectColor::pixel(int32_t x, int32_t y) {
    return &m_reduced[static_cast<size_t>(y) * m_reducedInfo.lSync + static_cast<size_t>(x) * 3];
}

bool CDetectColor::IsOneLineColor(int32_t y) const {
    int32_t run = 0;
    int32_t spots = 0;
    for (int32_t x = 0; x < m_reducedInfo.lWidth; ++x) {
        run = IsColor(pixel(x, y)) && IsColor(pixel(x, y - 1)) ? run + 1 : 0;
        if (run >= std::max(m_pixelsPerSpot, 1)) {
            ++spots;
            run = 0;
        }
    }
    return spots >= m_spotsPerLine;
}

namespace {
// Walks lines 1 .. height - 1 and calls onBand with each line that completes a band of
// consecutive colour lines; returns the bands.
template <typename IsColourLine, typename OnBand>
int32_t countBands(int32_t height, int32_t linesPerBand, IsColourLine isColourLine, OnBand onBand) {
    int32_t run = 0;
    int32_t bands = 0;
    for (int32_t y = 1; y < height; ++y) {
        run = isColourLine(y) ? run + 1 : 0;
        if (run >= std::max(linesPerBand, 1)) {
            ++bands;
            run = 0;
            onBand(y);
        }
    }
    return bands;
}
} // namespace

int32_t CDetectColor::ColorOrGray() const {
    return countBands(
        m_reducedInfo.lHeight, m_linesPerBand, [this](int32_t y) { return IsOneLineColor(y); },
        [](int32_t) {});
}

void CDetectColor::PaintColorLine() {
    static constexpr uint8_t kRed[3] = {255, 0, 0};
    countBands(
        m_reducedInfo.lHeight, m_linesPerBand, [this](int32_t y) { return IsOneLineColor(y); },
        [this](int32_t y) {
            for (int32_t x = 0; x < m_reducedInfo.lWidth; x += 4)
                std::memcpy(pixel(x, y), kRed, 3);
        });
}

int IsColorImage(tagOVKIMAGEINFO* image, tagDETECT_COLOR_INFO* info) {
    if (!info)
        return -1;
    if (info->ulSize != sizeof(tagDETECT_COLOR_INFO))
        return -4;
    const int32_t command = info->lCommand;
    if (command == kColorRelease) {
        release(info);
        return 0;
    }
    if (command < kColorCreate || command > kColorWholePage)
        return -4;
    try {
        if (command == kColorCreate) {
            release(info); // a detector still held would otherwise be lost
            auto detector = std::make_unique<CDetectColor>();
            detector->init(info);
            info->hDetector = g_detectors->add(std::move(detector));
            return 0;
        }
        CDetectColor* detector = g_detectors->find(info->hDetector);
        const bool needsImage = command != kColorLastBand;
        if (!detector || (needsImage && !hasPixels(image)))
            return -4;
        if (command == kColorLastBand)
            detector->end(hasPixels(image) ? image : nullptr, info);
        else if (command == kColorWholePage)
            detector->pageimage(image, info);
        else
            detector->image(image);
        return 0;
    } catch (int code) {
        release(info);
        return code;
    } catch (...) { // allocation failures
        release(info);
        return -2;
    }
}

int ReviseColorGap(tagOVKIMAGEINFO* image) {
    if (!hasPixels(image))
        return -1;
    try {
        COvkResCon2 reviser;
        reviser.init(image->lWidth, image->lHeight, 1, 1, 1, 1); // no reduction
        reviser.option_init(&g_threshold_table2, 2, 50, 0x000000);
        reviser.image(*image);
        tagOVKIMAGEINFO revised = {};
        std::vector<uint8_t> pixels;
        const int32_t lines = std::min(reviser.outputLines(), image->lHeight);
        reviser.getResultImage(&revised, &pixels);
        // The last lines never reach the middle of the window: they stay as they were.
        const size_t bytes = static_cast<size_t>(std::min(revised.lSync, image->lSync));
        for (int32_t y = 0; y < lines; ++y)
            std::memcpy(image->lpImage + static_cast<ptrdiff_t>(image->lSync) * y,
                        &pixels[static_cast<size_t>(revised.lSync) * y], bytes);
        return 0;
    } catch (int code) {
        return code;
    } catch (...) {
        return -2;
    }
}
