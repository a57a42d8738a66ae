// Drives the moire-filtered resolution reduction over the bands of one page into an output page it owns,
// so both benchmark programs call the library the same way.
#pragma once

#include "Moire/ReduceMoireFilter.h"

#include <cstdint>
#include <vector>

class Reducer {
public:
    // Throws std::runtime_error when the library has no filter for these resolutions.
    Reducer(int32_t width, int32_t height, int32_t channels, int32_t dpi, int32_t outDpi);
    ~Reducer();
    Reducer(const Reducer&) = delete;
    Reducer& operator=(const Reducer&) = delete;

    void band(tagOVKIMAGEINFO* in);
    // Releases the lines the filter window still holds; the output is complete after this.
    void end();

    int32_t width() const { return m_info.lDstWidth; }
    int32_t lines() const { return m_written; }
    std::vector<uint8_t>& pixels() { return m_out; }

private:
    tagOVKIMAGEINFO room();
    void call(int32_t command, tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src);

    tagREDUCEMOIREFILTERINFO m_info{};
    int32_t m_channels;
    int32_t m_capacity; // output lines
    int32_t m_written = 0;
    bool m_first = true;
    std::vector<uint8_t> m_out;
};
