// Averaging reducer of 24-bit pages: each output pixel is the mean of the block of source pixels
// that the spread tables assign to it, so a page shrinks to a few dozen pixels per inch.
#pragma once

#include "DetectColor/StoreLine.h"
#include "OvkImageInfo.h"

#include <cstdint>
#include <vector>

class COvkResCon {
public:
    virtual ~COvkResCon() = default;
    // Throws -2 when the output would be empty or cannot be allocated, -4 for a resolution of 0
    // or an enlargement.
    void init(int32_t srcWidth, int32_t srcHeight, int32_t srcXRes, int32_t srcYRes, int32_t xRes,
              int32_t yRes);
    // Adds the lines of a band of source lines (24-bit, pixel order).
    virtual void image(const tagOVKIMAGEINFO& band);
    // Hands the reduced page over: its record (pointing into pixels) and its pixels.
    void getResultImage(tagOVKIMAGEINFO* record, std::vector<uint8_t>* pixels);
    int32_t outputLines() const { return m_outLine; }

protected:
    void addLine(const uint8_t* line);
    // Bands must be 24-bit pixel order and as wide as the page given to init.
    void checkBand(const tagOVKIMAGEINFO& band) const;

private:
    void ResolutionConvertX(const uint8_t* line);

    std::vector<uint16_t> m_xTable;
    std::vector<uint16_t> m_yTable;
    std::vector<uint8_t> m_out;
    std::vector<uint32_t> m_sums;   // per output sample
    std::vector<uint32_t> m_counts; // per output sample
    tagOVKIMAGEINFO m_record = {};
    int64_t m_sourceLine = 0;
    int32_t m_outLine = 0;
};

// The reducer with the fringe cleaning in front of it.
class COvkResCon2 : public COvkResCon {
public:
    void option_init(const ColorThresholdTable* table, int32_t halfWindow, uint8_t darkLevel, uint32_t fill);
    void image(const tagOVKIMAGEINFO& band) override;

private:
    CStoreLine m_store;
};
