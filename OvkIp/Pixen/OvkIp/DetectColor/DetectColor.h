// Colour or grey: a 24-bit page is cleaned of sensor fringes, reduced to 75 dpi, and searched for
// stretches of colour that repeat on consecutive lines; enough such bands make the page colour.
#pragma once

#include "DetectColor/ColorThresholds.h"
#include "DetectColor/ResCon.h"
#include "OvkImageInfo.h"

#include <cstdint>
#include <memory>
#include <vector>

// The caller owns the record and keeps it (with its handle) between the calls of one page.
struct tagDETECT_COLOR_INFO {
    uint32_t ulSize;
    int32_t lColor;       // out: 1 colour, 0 grey
    int32_t lBandCount;   // out: colour bands found
    void* hDetector;      // the detector between calls
    int32_t lCommand;     // 0 create, 1 first band, 2 further band, 3 last band, 4 release, 5 whole page
    int32_t lWidth;       // of the page
    int32_t lHeight;      // of the page
    int32_t lXResolution; // dpi
    int32_t lYResolution; // dpi
    int32_t lMode;        // 0 defaults, 1 own table and counts, 2 built-in table, 3 own table and sensitivity
    int32_t lLinesPerBand; // mode 1
    int32_t lPixelsPerSpot;
    int32_t lSpotsPerLine;
    uint8_t byThreshold[256]; // modes 1 and 3
    int32_t lReserved77;
    int32_t lTablePreset; // mode 2: 1, 2 or 3
    int32_t lSensitivity; // modes 2 and 3
    int32_t lReserved80;
    int32_t lHalfWindow; // 0 means 2
    uint8_t byDarkLevel; // 0 means 50
    uint8_t byReserved[3];
    uint32_t ulFillColor;       // R low byte, then G, B
    int32_t lTargetXResolution; // 0 means 75; written back
    int32_t lTargetYResolution;
};

enum : int32_t {
    kColorCreate = 0,
    kColorFirstBand = 1,
    kColorBand = 2,
    kColorLastBand = 3,
    kColorRelease = 4,
    kColorWholePage = 5,
};

class CDetectColor {
public:
    virtual ~CDetectColor() = default;
    void init(tagDETECT_COLOR_INFO* info);
    void image(const tagOVKIMAGEINFO* band);
    void end(const tagOVKIMAGEINFO* band, tagDETECT_COLOR_INFO* info);
    void end(tagDETECT_COLOR_INFO* info) { end(nullptr, info); }
    void pageimage(const tagOVKIMAGEINFO* page, tagDETECT_COLOR_INFO* info) { end(page, info); }

    bool IsColor(const uint8_t* rgb) const { return IsColorPixel(m_table, rgb); }
    bool IsOneLineColor(int32_t y) const;
    int32_t ColorOrGray() const;
    void PaintColorLine();

private:
    void analyze(tagDETECT_COLOR_INFO* info);
    const uint8_t* pixel(int32_t x, int32_t y) const;
    uint8_t* pixel(int32_t x, int32_t y);

    int32_t m_linesPerBand = 5;
    int32_t m_pixelsPerSpot = 2;
    int32_t m_spotsPerLine = 1;
    int32_t m_bandCount = 0;
    int32_t m_bandsForColor = 2;
    ColorThresholdTable m_table = g_threshold_table2;
    std::vector<uint8_t> m_reduced;
    tagOVKIMAGEINFO m_reducedInfo = {};
    std::unique_ptr<COvkResCon2> m_reducer;
};

// 0, or -1 no record, -2 no memory, -4 bad size, command, image or handle, -7 a band after the end.
// After a failure the detector is gone and the handle word is 0.
int IsColorImage(tagOVKIMAGEINFO* image, tagDETECT_COLOR_INFO* info);
// Fringe cleaning of a whole 24-bit pixel-order image in place; 0, -1 no image, -2 no memory,
// -4 an image of another format.
int ReviseColorGap(tagOVKIMAGEINFO* image);
