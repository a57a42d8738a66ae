// CEdgeFuncColor: line-order colour as three grey pages, one per plane, each with its own plane object;
// the planes' lines interleave in the buffer, so each plane is a grey image with three times the stride.
#pragma once

#include "EdgeEmphasis/EdgeFuncGray.h"

#include <array>
#include <memory>

class CEdgeFuncColor : public CEdgeFunc {
public:
    // The three plane objects, all of one class.
    explicit CEdgeFuncColor(std::array<std::unique_ptr<CEdgeFuncGray>, 3> planes);

    int Start(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) override;
    int Finish(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) override;
    int Cont(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) override;
    bool Fits(const tagOVKIMAGEINFO& image, bool newPage) const override;
    int32_t HeldLines() const override { return m_planes[2]->HeldLines(); }

private:
    using Operation = int (CEdgeFunc::*)(tagOVKIMAGEINFO*, tagOVKIMAGEINFO*, tagEDGEINFO*);
    // Runs op on every plane with its own copy of info; the blue plane's count and lines are the result.
    int EachPlane(Operation op, tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info);

    std::array<std::unique_ptr<CEdgeFuncGray>, 3> m_planes; // red, green, blue
};

// Plane k (1 red, 2 green, 3 blue) of a line-order colour image as a grey image; null gives 0 lines.
void OVKIMAGEINFO_Color2Gray(const tagOVKIMAGEINFO* image, tagOVKIMAGEINFO* out, int k);
