// Edge-emphasis entry points: record checks, the objects' life behind handle words (only objects made here
// are ever used or deleted), image checks, and allocation failures turned into -1 with code 8.
#include "EdgeEmphasis/OvkEdgeFunc.h"

#include "EdgeEmphasis/EdgeFuncClasses.h"
#include "EdgeEmphasis/EdgeFuncOld.h"
#include "OvkError.h"
#include "OvkHandles.h"

#include <algorithm>
#include <cstring>

namespace {
LastingHandles<CEdgeFunc> g_objects;

bool IsKind(uintptr_t word) {
    return word == kEdgeKindGrey0 || word == kEdgeKindGrey || word == kEdgeKindLineOrder ||
           word == kEdgeKindPixelOrder;
}

uintptr_t KindOf(const tagOVKIMAGEINFO& src) {
    if (src.lSpp == 1)
        return kEdgeKindGrey;
    return src.ulRGBOrder == kOvkLineOrder ? kEdgeKindLineOrder : kEdgeKindPixelOrder;
}

CEdgeFunc* Live(uintptr_t word) {
    return word ? g_objects->find(reinterpret_cast<void*>(word)) : nullptr;
}

// The object of a first band: the record's own, or one made from its kind and then from the source's.
CEdgeFunc* ObjectForStart(tagEDGEINFO& info, const tagOVKIMAGEINFO& src) {
    if (CEdgeFunc* object = Live(info.hEdgeFunc))
        return object;
    if (!IsKind(info.hEdgeFunc))
        return nullptr;
    if (info.hEdgeFunc != kEdgeKindGrey0)
        if (CEdgeFunc* object = CreateEdgeFuncHandle(&info))
            return object;
    info.hEdgeFunc = KindOf(src);
    return CreateEdgeFuncHandle(&info);
}

bool HasLines(const tagOVKIMAGEINFO* image) {
    return image && image->lHeight > 0;
}

// Runs a band call with the last-error cell cleared, -1 for a refused record or images, and allocation
// failures reported as -1 with code 8.
template <class Body> int BandCall(tagEDGEINFO* info, Body body) {
    IpSetLastError(kIpSuccess);
    if (!info || info->ulSize < kEdgeInfoSize)
        return -1;
    try {
        return body(*info);
    } catch (...) {
        IpSetLastError(IpCaughtCode());
        return -1;
    }
}
} // namespace

void InitEDGEINFO(tagEDGEINFO* info) {
    if (!info || info->ulSize < sizeof info->ulSize)
        return;
    const size_t size = std::min<size_t>(info->ulSize, sizeof(tagEDGEINFO));
    std::memset(reinterpret_cast<unsigned char*>(info) + sizeof info->ulSize, 0, size - sizeof info->ulSize);
    info->ulLevel = 1;
}

CEdgeFunc* CreateEdgeFuncHandle(tagEDGEINFO* info) {
    if (!info || info->ulSize < kEdgeInfoSize)
        return nullptr;
    if (!IsKind(info->hEdgeFunc))
        return Live(info->hEdgeFunc);
    try {
        CEdgeFunc* object = g_objects->add(CreateEdgeFuncObject(info->hEdgeFunc, info->ulLevel));
        info->hEdgeFunc = reinterpret_cast<uintptr_t>(object);
        return object;
    } catch (...) {
        IpSetLastError(IpCaughtCode());
        return nullptr;
    }
}

void ReleaseEdgeFuncHandle(tagEDGEINFO* info) {
    IpSetLastError(kIpSuccess);
    if (!info || info->ulSize < kEdgeInfoSize)
        return;
    if (info->hEdgeFunc != 0)
        g_objects->release(reinterpret_cast<void*>(info->hEdgeFunc));
    info->hEdgeFunc = 0;
}

int EdgeFuncStartEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) {
    if (info && info->ulSize == kEdgeInfoOldSize)
        return EdgeFuncOldStartEx(dst, src, info);
    return BandCall(info, [&](tagEDGEINFO& record) {
        if (!dst || !src)
            return -1;
        CEdgeFunc* object = ObjectForStart(record, *src);
        const bool newPage = record.ulLineCount == 0;
        if (!object || !object->Fits(*src, newPage) || !object->Fits(*dst, newPage) ||
            dst->lHeight < src->lHeight)
            return -1;
        object->Start(dst, src, &record);
        return 0;
    });
}

int EdgeFuncContEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) {
    if (info && info->ulSize == kEdgeInfoOldSize)
        return EdgeFuncOldContEx(dst, src, info);
    return BandCall(info, [&](tagEDGEINFO& record) {
        CEdgeFunc* object = Live(record.hEdgeFunc);
        const bool newPage = record.ulLineCount == 0;
        if (!object || !dst || !src || !object->Fits(*src, newPage) || !object->Fits(*dst, newPage) ||
            dst->lHeight < src->lHeight)
            return -1;
        object->Cont(dst, src, &record);
        return 0;
    });
}

int EdgeFuncFinishEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) {
    if (info && info->ulSize == kEdgeInfoOldSize)
        return EdgeFuncOldFinishEx(dst, src, info);
    return BandCall(info, [&](tagEDGEINFO& record) {
        CEdgeFunc* object = Live(record.hEdgeFunc);
        const bool newPage = record.ulLineCount == 0;
        if (!object || !dst || !object->Fits(*dst, newPage) || (src && !object->Fits(*src, newPage)))
            return -1;
        const int32_t lines = HasLines(src) ? src->lHeight : 0;
        if (dst->lHeight < object->HeldLines() + lines)
            return -1;
        object->Finish(dst, src, &record);
        ReleaseEdgeFuncHandle(&record);
        return 0;
    });
}

int EdgeFuncEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) {
    if (info && info->ulSize == kEdgeInfoOldSize) {
        IpSetLastError(kIpSuccess);
        if (!dst && !src) {
            InitEDGEINFO(info);
            return 0;
        }
        return EdgeFuncOldEx(dst, src, info);
    }
    if (!dst || !src)
        return -1;
    tagOVKIMAGEINFO lines = *dst;
    if (const int result = EdgeFuncStartEx(&lines, src, info); result != 0)
        return result;
    // Also for a class without delay (nothing held), so that the object is released.
    tagOVKIMAGEINFO rest = GetBand(*dst, lines.lHeight, src->lHeight - lines.lHeight);
    if (const int result = EdgeFuncFinishEx(&rest, nullptr, info); result != 0)
        return result;
    dst->lHeight = src->lHeight;
    return 0;
}
