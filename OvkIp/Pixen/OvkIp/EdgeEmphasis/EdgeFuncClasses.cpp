// Choice of the edge-emphasis member by image kind and level code, through small tables of makers.
#include "EdgeEmphasis/EdgeFuncClasses.h"

#include "EdgeEmphasis/EdgeFuncColor.h"

#include <array>
#include <span>

namespace {
using Maker = std::unique_ptr<CEdgeFunc> (*)();
template <class T> std::unique_ptr<CEdgeFunc> Make() {
    return std::make_unique<T>();
}

constexpr Maker kGrey[] = {Make<CEdgeFunc1>, Make<CEdgeFunc2>, Make<CEdgeFunc3>, Make<CEdgeFunc4>,
                           Make<CEdgeFunc5>, Make<CEdgeFunc6>, Make<CEdgeFunc7>, Make<CEdgeFunc8>,
                           Make<CEdgeFunc9>, Make<CEdgeFuncA>};
constexpr Maker kMS[] = {Make<CEdgeFuncMS1>, Make<CEdgeFuncMS2>, Make<CEdgeFuncMS3>, Make<CEdgeFuncMS4>,
                         Make<CEdgeFuncMS5>};
constexpr Maker kMSforGray[] = {Make<CEdgeFuncMSforGray1>, Make<CEdgeFuncMSforGray2>,
                                Make<CEdgeFuncMSforGray3>, Make<CEdgeFuncMSforGray4>,
                                Make<CEdgeFuncMSforGray5>};
constexpr Maker kRGB[] = {Make<CEdgeFuncColorRGB1>, Make<CEdgeFuncColorRGB2>, Make<CEdgeFuncColorRGB3>,
                          Make<CEdgeFuncColorRGB4>, Make<CEdgeFuncColorRGB5>};
constexpr Maker kV2RGB[] = {Make<CEdgeFuncColorV2RGB1>, Make<CEdgeFuncColorV2RGB2>,
                            Make<CEdgeFuncColorV2RGB3>, Make<CEdgeFuncColorV2RGB4>,
                            Make<CEdgeFuncColorV2RGB5>};

// Entry `level - base` (counted from 1) of makers, or null outside it.
std::unique_ptr<CEdgeFunc> Pick(std::span<const Maker> makers, uint32_t level, uint32_t base) {
    const uint32_t index = level - base;
    return level > base && index <= makers.size() ? makers[index - 1]() : nullptr;
}

std::unique_ptr<CEdgeFunc> GreyClass(uint32_t level) {
    if (level > kEdgeLevelMSforGray)
        return Pick(kMSforGray, level, kEdgeLevelMSforGray);
    if (level > kEdgeLevelMS)
        return Pick(kMS, level, kEdgeLevelMS);
    return Pick(kGrey, level, 0);
}

std::unique_ptr<CEdgeFunc> PixelOrderClass(uint32_t level) {
    return level > kEdgeLevelV2 ? Pick(kV2RGB, level, kEdgeLevelV2) : Pick(kRGB, level, 0);
}
} // namespace

std::unique_ptr<CEdgeFuncGray> CreatePlaneClass(uint32_t level) {
    switch (level) {
    case 1:
        return std::make_unique<CEdgeFuncR1>();
    case 2:
        return std::make_unique<CEdgeFuncR2>();
    case 3:
        return std::make_unique<CEdgeFuncR3>();
    case 4:
        return std::make_unique<CEdgeFuncR4>();
    case 5:
        return std::make_unique<CEdgeFuncR5>();
    default:
        return nullptr;
    }
}

std::unique_ptr<CEdgeFunc> CreateEdgeFuncObject(uintptr_t kind, uint32_t level) {
    switch (kind) {
    case kEdgeKindGrey0:
    case kEdgeKindGrey:
        return GreyClass(level);
    case kEdgeKindPixelOrder:
        return PixelOrderClass(level);
    case kEdgeKindLineOrder: {
        std::array<std::unique_ptr<CEdgeFuncGray>, 3> planes{CreatePlaneClass(level), CreatePlaneClass(level),
                                                             CreatePlaneClass(level)};
        if (!planes[0])
            return nullptr;
        return std::make_unique<CEdgeFuncColor>(std::move(planes));
    }
    default:
        return nullptr;
    }
}
