// Neighbourhood rules on the block codes: isolated codes give way to their surroundings, flat blocks
// next to an edge take the edge's level, and busy blocks among edges take an edge neighbour's threshold.
// Both passes run in raster order in place, so a block sees the codes already changed above and left.
#include "AdaptRegion.h"

#include <array>

namespace {

constexpr int32_t kNeighbours = 8;
// Above-left, above, above-right, left, right, below-left, below, below-right.
constexpr std::array<int32_t, kNeighbours> kDx = {-1, 0, 1, -1, 1, -1, 0, 1};
constexpr std::array<int32_t, kNeighbours> kDy = {-1, -1, -1, 0, 0, 1, 1, 1};

// Number of the 8 neighbours holding each code.
std::array<int32_t, 16> CountNeighbours(const CImageInfo& edge, int32_t x, int32_t y) {
    std::array<int32_t, 16> count{};
    for (int32_t n = 0; n < kNeighbours; ++n) {
        ++count[GetBlockCode(edge, x + kDx[n], y + kDy[n])];
    }
    return count;
}

// Blocks with the code among the 24 around (x, y) in its 5 x 5 square.
int32_t CountSquare(const CImageInfo& edge, int32_t x, int32_t y, uint8_t code) {
    int32_t count = 0;
    for (int32_t dy = -2; dy <= 2; ++dy) {
        for (int32_t dx = -2; dx <= 2; ++dx) {
            count += (dx != 0 || dy != 0) && GetBlockCode(edge, x + dx, y + dy) == code ? 1 : 0;
        }
    }
    return count;
}

uint8_t WeakEdgeRule(const CImageInfo& edge, int32_t x, int32_t y, const std::array<int32_t, 16>& c) {
    if (CountSquare(edge, x, y, kBlockFlat) >= 23 || c[kBlockFlat] + c[kBlockBusy] == 8) {
        return kBlockFlat;
    }
    if (c[kBlockFlat] + c[kBlockWeakEdge] + c[kBlockStrongEdge] == 8) {
        return c[kBlockStrongEdge] == 0 ? kBlockStrongEdge : kBlockWeakEdge;
    }
    return c[kBlockBusy] + c[kBlockWeakEdge] + c[kBlockBusyContrast] >= 7 ? kBlockBusyContrast
                                                                          : kBlockWeakEdge;
}

uint8_t BusyContrastRule(const CImageInfo& edge, int32_t x, int32_t y, const std::array<int32_t, 16>& c) {
    if (CountSquare(edge, x, y, kBlockBusy) >= 21 || c[kBlockBusy] >= 7) {
        return kBlockBusy;
    }
    if (c[kBlockFlat] + c[kBlockWeakEdge] + c[kBlockStrongEdge] >= 7) {
        return c[kBlockWeakEdge] + c[kBlockStrongEdge] >= 3 ? kBlockWeakEdge : kBlockFlat;
    }
    return kBlockBusyContrast;
}

uint8_t RemoveIsolateInfoCore(const CImageInfo& edge, int32_t x, int32_t y) {
    const std::array<int32_t, 16> c = CountNeighbours(edge, x, y);
    const uint8_t code = GetBlockCode(edge, x, y);
    if (c[kBlockFlat] == 8) {
        return kBlockFlat;
    }
    if (c[kBlockBusy] == 8) {
        return kBlockBusy;
    }
    switch (code) {
    case kBlockFlat:
        return c[kBlockBusy] >= 4 && c[kBlockFlat] + c[kBlockBusy] == 8 ? kBlockBusy : code;
    case kBlockBusy: {
        const int32_t quiet = c[kBlockFlat] + c[kBlockWeakEdge] + c[kBlockStrongEdge] + c[kBlockBusy];
        return quiet >= 7 && c[kBlockBusy] <= 1 ? kBlockFlat : code;
    }
    case kBlockWeakEdge:
        return WeakEdgeRule(edge, x, y, c);
    case kBlockBusyContrast:
        return BusyContrastRule(edge, x, y, c);
    case kBlockStrongEdge:
        return c[kBlockBusy] + c[kBlockBusyContrast] >= 8 ? kBlockBusyContrast : code;
    default:
        return code;
    }
}

uint8_t& SliceAt(CImageInfo& slices, int32_t x, int32_t y) {
    return slices.GetPtr()[static_cast<ptrdiff_t>(slices.GetSync()) * y + x];
}

void StrainBlock(CImageInfo& edge, CImageInfo& edgeSlice, CImageInfo& aveMixSlice, int32_t x, int32_t y) {
    const uint8_t code = GetBlockCode(edge, x, y);
    int32_t busy = 0;  // neighbours 12 or 14
    int32_t edges = 0; // neighbours 12, 15 or 7 (for a busy block) / 7 (for a flat block)
    for (int32_t n = 0; n < kNeighbours; ++n) {
        const int32_t nx = x + kDx[n];
        const int32_t ny = y + kDy[n];
        const uint8_t other = GetBlockCode(edge, nx, ny);
        const bool isBusy = other == kBlockBusyContrast || other == kBlockBusy;
        if (code == kBlockStrongEdge && isBusy && ++busy == 5) {
            SetBlockCode(edge, x, y, kBlockBusyContrast);
            return;
        }
        if (code == kBlockBusy &&
            (other == kBlockBusyContrast || other == kBlockStrongEdge || other == kBlockWeakEdge) &&
            ++edges == 3) {
            SetBlockCode(edge, x, y, kBlockTookEdgeLevel);
            SliceAt(aveMixSlice, x, y) = SliceAt(aveMixSlice, nx, ny);
            return;
        }
        if (code == kBlockFlat) {
            if (other == kBlockStrongEdge || (other == kBlockWeakEdge && ++edges == 2)) {
                SetBlockCode(edge, x, y, kBlockNextToEdge);
                SliceAt(edgeSlice, x, y) = SliceAt(edgeSlice, nx, ny);
                return;
            }
            if (isBusy && ++busy == 5) {
                SetBlockCode(edge, x, y, kBlockBusy);
                return;
            }
        }
    }
}

} // namespace

namespace ComplementEdge {

void RemoveIsolateInfo(CImageInfo& edge) {
    for (int32_t y = 2; y <= edge.GetHeight() - 3; ++y) {
        for (int32_t x = 2; x <= edge.GetWidth() - 3; ++x) {
            SetBlockCode(edge, x, y, RemoveIsolateInfoCore(edge, x, y));
        }
    }
}

void StrainEdge(CImageInfo& edge, CImageInfo& edgeSlice, CImageInfo& aveMixSlice) {
    for (int32_t y = 1; y <= edge.GetHeight() - 2; ++y) {
        for (int32_t x = 1; x <= edge.GetWidth() - 2; ++x) {
            StrainBlock(edge, edgeSlice, aveMixSlice, x, y);
        }
    }
}

int CompEdgeInfo(CImageInfo& edge, CImageInfo& edgeSlice, CImageInfo& aveMixSlice) {
    RemoveIsolateInfo(edge);
    StrainEdge(edge, edgeSlice, aveMixSlice);
    return 0;
}

} // namespace ComplementEdge
