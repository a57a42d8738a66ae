// Per-pixel colour filters of the chain: show-through removal, colour drop-out and emphasis, colour to grey
// and inversion. Each works band by band in place, with integer arithmetic only.
#pragma once

#include "FilterBases.h"
#include "NormalFilterRecords.h"

#include <cstdint>

namespace Ovk::Pixen {

// Lifts pixels whose product of samples shows faint show-through of the other side towards white.
class CEraseBackPage : public CBandFilter {
public:
    const char* getName() const override { return "EraseBackPage"; }
    // RTN_PAR without a record or with a coefficient outside 1..7.
    std::int32_t setInfo(CImg& image, void* info) override;
    std::int32_t IP(CImg& image) override;

private:
    tagERASEBACKPAGEINFO m_Info{};
};

// Colour selectors of the drop-out and emphasis records.
enum : std::int32_t {
    COLORSELECT_NONE = 0,
    COLORSELECT_RED = 1,
    COLORSELECT_GREEN = 2,
    COLORSELECT_BLUE = 3,
    COLORSELECT_LIST = 4,
};

// Makes one ink colour vanish: every sample takes the value of the dropped channel.
class CDropOutColor : public CBandFilter {
public:
    const char* getName() const override { return "DropOutColor"; }
    std::int32_t setInfo(CImg& image, void* info) override;
    std::int32_t IP(CImg& image) override;

private:
    tagDROPOUTCOLORINFO m_Info{};
};

// Makes one ink colour stand out: every sample takes the mean of the two other channels.
class CEmphasisColor : public CBandFilter {
public:
    const char* getName() const override { return "EmphasisColor"; }
    std::int32_t setInfo(CImg& image, void* info) override;
    std::int32_t IP(CImg& image) override;

private:
    tagEMPHASISCOLORINFO m_Info{};
};

// Replaces an 8-bit colour band by its weighted grey.
class CColorToGray : public CBandFilter {
public:
    const char* getName() const override { return "ColorToGray"; }
    std::int32_t setInfo(CImg& image, void* info) override;
    std::int32_t IP(CImg& image) override;
    // The grey image of a colour one into gray (emptied first); image stays as it is. An empty image
    // gives an empty gray.
    static std::int32_t convert(const CImg& image, CImg& gray);
};

// Complements grey or 1-bit pixels.
class CInverse : public CBandFilter {
public:
    const char* getName() const override { return "Inverse"; }
    std::int32_t setInfo(CImg&, void*) override { return RTN_OK; }
    std::int32_t IP(CImg& image) override;
};

} // namespace Ovk::Pixen
