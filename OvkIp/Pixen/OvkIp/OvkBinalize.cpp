// Binarisation entry points: record and image checks, the per-record binariser behind the handle word,
// and the process-wide shared binarisers of the static form. No exception leaves these functions.
#include "OvkBinalize.h"

#include "CBFuncAdaptRegion.h"
#include "CBFuncColour.h"
#include "CBFuncED.h"
#include "CBFuncMedian.h"
#include "OvkError.h"
#include "OvkHandles.h"

#include <array>
#include <memory>

namespace {

constexpr int32_t kStaticModes = 7;   // modes 0..6 have a shared binariser
constexpr int32_t kEdCapacity = 200;  // pixels
constexpr int32_t kMedianStore = 400; // bytes

std::unique_ptr<CBFunc> MakeBinariser(int32_t mode) {
    switch (mode) {
    case kBinFixedSlice:
        return std::make_unique<CBFunc>();
    case kBinErrorDiffusion:
        return std::make_unique<CBFuncED>(kEdCapacity);
    case kBinASC:
        return std::make_unique<CBFuncASC>();
    case kBinLineAE:
        return std::make_unique<CBFuncLineAE>();
    case kBinWeightedGrey:
        return std::make_unique<CBFuncToMonoChrome>();
    case kBinMedian:
        return std::make_unique<CBFuncMedian>(kMedianStore);
    case kBinAllChannelsDark:
        return std::make_unique<CBFuncTessik>();
    case kBinAdaptRegion:
        return std::make_unique<CBFuncAdaptRegion>();
    default:
        return nullptr;
    }
}

// Binarisers handed out through handle words; any other word is refused, never dereferenced.
LiveHandles<CBFunc>& Handles() {
    static LastingHandles<CBFunc> live;
    return *live;
}

// The shared binarisers of modes 0..6; callers of the static form must not interleave images.
CBFunc* BFunc(int32_t mode) {
    static const std::array<std::unique_ptr<CBFunc>, kStaticModes> table = [] {
        std::array<std::unique_ptr<CBFunc>, kStaticModes> made;
        for (int32_t m = 0; m < kStaticModes; ++m) {
            made[static_cast<size_t>(m)] = MakeBinariser(m);
        }
        return made;
    }();
    return mode >= 0 && mode < kStaticModes ? table[static_cast<size_t>(mode)].get() : nullptr;
}

// The methods start at line lYpos; an image that starts further down must declare a buffer (tImageSize)
// holding the lines it is asked for, or a band's page position would send them past its end.
bool HoldsLines(const tagOVKIMAGEINFO* image, int32_t lines) {
    if (image->lYpos == 0) {
        return true;
    }
    const int64_t planes = image->ulRGBOrder == kOvkLineOrder ? image->lSpp : 1;
    return (int64_t{image->lYpos} + lines) * image->lSync * planes <= int64_t{image->tImageSize};
}

// Pointers, formats and sizes that every method relies on to stay inside both buffers.
bool ValidImages(const tagOVKIMAGEINFO* dst, const tagOVKIMAGEINFO* src) {
    if (dst == nullptr || src == nullptr || dst->lpImage == nullptr || src->lpImage == nullptr) {
        return false;
    }
    const bool srcFormat = src->lBps == 8 && (src->lSpp == 1 || src->lSpp == 3) && src->ulRGBOrder <= 1;
    if (!srcFormat || dst->lBps != 1 || dst->lSpp != 1) {
        return false;
    }
    if (src->lWidth < 1 || src->lHeight < 0 || src->lYpos < 0 || dst->lYpos < 0) {
        return false;
    }
    const int64_t samples = src->lSpp == 3 && src->ulRGBOrder == kOvkPixelOrder ? 3 : 1;
    return src->lSync >= src->lWidth * samples && int64_t{dst->lSync} * 8 >= src->lWidth &&
           dst->lHeight >= src->lHeight && HoldsLines(src, src->lHeight) && HoldsLines(dst, src->lHeight);
}

int BinalizeHandleForm(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagBINFUNCINFO* info) {
    auto* binariser = static_cast<CBFunc*>(CreateBinalizeHandle(info));
    if (binariser == nullptr || !ValidImages(dst, src)) {
        return -1;
    }
    binariser->Rect(dst, src, info);
    return 0;
}

int BinalizeStaticForm(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagBINFUNCINFO* info) {
    if (dst == nullptr && src == nullptr) {
        InitBINFUNCINFO(info);
        return 0;
    }
    CBFunc* binariser = BFunc(info->lMode);
    if (binariser == nullptr || !ValidImages(dst, src)) {
        return -1;
    }
    binariser->Rect(dst, src, info);
    return 0;
}

} // namespace

void InitBINFUNCINFO(tagBINFUNCINFO* info) {
    if (info == nullptr) {
        return;
    }
    info->lMode = 0;
    info->lSliceLevel = 128;
    info->lSliceLevel2 = 128;
    info->lLineCount = 0;
    if (info->ulSize >= kBinFuncInfoHandleSize) {
        info->hBinFunc = nullptr;
    }
}

int BinalizeRectEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagBINFUNCINFO* info) {
    IpSetLastError(kIpSuccess);
    if (info == nullptr) {
        return -1;
    }
    try {
        if (info->ulSize == kBinFuncInfoHandleSize) {
            return BinalizeHandleForm(dst, src, info);
        }
        if (info->ulSize == kBinFuncInfoStaticSize) {
            return BinalizeStaticForm(dst, src, info);
        }
        return -1;
    } catch (...) {
        return -1;
    }
}

int BinalizeLineEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagBINFUNCINFO* info) {
    IpSetLastError(kIpSuccess);
    if (info == nullptr || info->ulSize < kBinFuncInfoHandleSize || !ValidImages(dst, src)) {
        return -1;
    }
    try {
        CBFunc* binariser = BFunc(info->lMode);
        if (binariser == nullptr) {
            return -1;
        }
        binariser->Line(dst, src, info);
        return 0;
    } catch (...) {
        return -1;
    }
}

void* CreateBinalizeHandle(tagBINFUNCINFO* info) {
    IpSetLastError(kIpSuccess);
    if (info == nullptr || info->ulSize < kBinFuncInfoHandleSize) {
        return nullptr;
    }
    if (info->hBinFunc != nullptr) {
        return Handles().find(info->hBinFunc);
    }
    try {
        info->hBinFunc = Handles().add(MakeBinariser(info->lMode));
    } catch (...) {
        info->hBinFunc = nullptr;
    }
    return info->hBinFunc;
}

void ReleaseBinalizeHandle(tagBINFUNCINFO* info) {
    IpSetLastError(kIpSuccess);
    if (info == nullptr || info->ulSize < kBinFuncInfoHandleSize) {
        return;
    }
    if (info->hBinFunc != nullptr)
        Handles().release(info->hBinFunc);
    info->hBinFunc = nullptr;
}
