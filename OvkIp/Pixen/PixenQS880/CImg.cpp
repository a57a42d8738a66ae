// Image object: the record and its owned buffer. Geometry is checked in 128-bit arithmetic so that a
// record whose line or buffer size would not fit its 32-bit field is refused instead of wrapping.
#include "CImg.h"

#include "BufferPool.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace Ovk::Pixen {

namespace {

// Wide enough for the product of three 32-bit fields.
using Wide = __int128;

Wide minSyncWide(Wide width, Wide bps, Wide spp, std::uint32_t order) {
    if (order == RGBORDER_PIXEL)
        return (width * bps * spp + 7) / 8;
    if (order == RGBORDER_LINE)
        return (width * bps + 7) / 8;
    return -1;
}

Wide sizeWide(Wide sync, Wide height, Wide spp, std::uint32_t order) {
    if (order == RGBORDER_PIXEL)
        return sync * height;
    if (order == RGBORDER_LINE)
        return sync * height * spp;
    return 0;
}

} // namespace

CImg::CImg() noexcept : m_Info{} {}

CImg::CImg(const CImg& other) noexcept : m_Info{} {
    copyFrom(other);
}

CImg::~CImg() {
    deleteImg();
}

CImg& CImg::operator=(const CImg& other) noexcept {
    if (this != &other) {
        deleteImg();
        copyFrom(other);
    }
    return *this;
}

bool CImg::copyFrom(const CImg& other) noexcept {
    if (other.isNull())
        return false;
    m_Info = other.m_Info;
    m_Info.lpImage = nullptr;
    if (allocate(false) == 0) {
        deleteImg();
        return false;
    }
    std::memcpy(m_Info.lpImage, other.m_Info.lpImage, m_Info.tImageSize);
    return true;
}

int CImg::createImg(std::int32_t width, std::int32_t height, std::int32_t bps, std::int32_t spp,
                    std::uint32_t order) noexcept {
    return createImg(width, height, calcMinSync(width, bps, spp, order), bps, spp, order, 0, 0);
}

int CImg::createImg(std::int32_t width, std::int32_t height, std::int32_t sync, std::int32_t bps,
                    std::int32_t spp, std::uint32_t order) noexcept {
    return createImg(width, height, sync, bps, spp, order, 0, 0);
}

int CImg::createImg(std::int32_t width, std::int32_t height, std::int32_t bps, std::int32_t spp,
                    std::uint32_t order, std::int32_t xres, std::int32_t yres) noexcept {
    return createImg(width, height, calcMinSync(width, bps, spp, order), bps, spp, order, xres, yres);
}

int CImg::createImg(std::int32_t width, std::int32_t height, std::int32_t sync, std::int32_t bps,
                    std::int32_t spp, std::uint32_t order, std::int32_t xres, std::int32_t yres) noexcept {
    return createImg(0, 0, width, height, sync, bps, spp, order, xres, yres);
}

int CImg::createImg(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                    std::int32_t sync, std::int32_t bps, std::int32_t spp, std::uint32_t order,
                    std::int32_t xres, std::int32_t yres) noexcept {
    const tagIMAGEINFO info = makeInfo(x, y, width, height, sync, bps, spp, order, xres, yres);
    return createImg(&info);
}

tagIMAGEINFO CImg::makeInfo(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                            std::int32_t sync, std::int32_t bps, std::int32_t spp, std::uint32_t order,
                            std::int32_t xres, std::int32_t yres) noexcept {
    tagIMAGEINFO info{};
    info.ulSize = sizeof(tagIMAGEINFO);
    info.lXpos = x;
    info.lYpos = y;
    info.lWidth = width;
    info.lHeight = height;
    info.lSync = sync;
    info.lBps = bps;
    info.lSpp = spp;
    info.ulRGBOrder = order;
    info.tImageSize = calcSize(sync, height, spp, order);
    info.lXResolution = xres;
    info.lYResolution = yres;
    return info;
}

int CImg::createImg(const tagIMAGEINFO* info) noexcept {
    return create(info, true);
}

int CImg::createImgUnfilled(const tagIMAGEINFO* info) noexcept {
    return create(info, false);
}

int CImg::create(const tagIMAGEINFO* info, bool zeroed) noexcept {
    if (!checkInfo(info))
        return 0;
    const tagIMAGEINFO copy = *info; // info may be this image's own record
    releaseBuffer();
    m_Info = copy;
    m_Info.lpImage = nullptr;
    if (allocate(zeroed) == 0)
        deleteImg();
    return 1;
}

int CImg::createImg(const CImg& other) noexcept {
    return createImg(&other.m_Info);
}

// The buffer pointer lives in the record because the record crosses into the analysis layer as is;
// allocate and releaseBuffer are the only places that take or give it back.
void CImg::releaseBuffer() noexcept {
    BufferPool::give(m_Info.lpImage);
    m_Info.lpImage = nullptr;
}

void CImg::deleteImg() noexcept {
    releaseBuffer();
    m_Info = tagIMAGEINFO{};
}

void CImg::attachImg(CImg& src) noexcept {
    if (this == &src)
        return;
    deleteImg();
    m_Info = src.m_Info;
    src.m_Info = tagIMAGEINFO{};
}

int CImg::appendImg(const CImg& src) noexcept {
    if (src.isNull())
        return 1;
    if (isNull()) {
        *this = src;
        return isNull() ? 0 : 1;
    }
    const tagIMAGEINFO& top = m_Info;
    const tagIMAGEINFO& bottom = src.m_Info;
    if (top.lBps != bottom.lBps || top.lSpp != bottom.lSpp || top.ulRGBOrder != bottom.ulRGBOrder ||
        top.lXResolution != bottom.lXResolution || top.lYResolution != bottom.lYResolution ||
        bottom.lXpos != 0 || bottom.lYpos != 0 || !checkInfo(&top) || !checkInfo(&bottom))
        return 0;
    const std::int64_t height = std::int64_t{top.lHeight} + bottom.lHeight;
    if (height > std::numeric_limits<std::int32_t>::max())
        return 0;

    CImg joined;
    if (joined.createImg(std::max(top.lWidth, bottom.lWidth), static_cast<std::int32_t>(height),
                         std::max(top.lSync, bottom.lSync), top.lBps, top.lSpp, top.ulRGBOrder,
                         top.lXResolution, top.lYResolution) == 0 ||
        joined.isNull())
        return 0;
    const std::int32_t planes = top.ulRGBOrder == RGBORDER_LINE ? top.lSpp : 1;
    for (const CImg* part : {static_cast<const CImg*>(this), &src}) {
        const std::int32_t first = part == this ? 0 : top.lHeight;
        for (std::int32_t line = 0; line < part->m_Info.lHeight; ++line)
            for (std::int32_t plane = 0; plane < planes; ++plane)
                std::memcpy(joined.getLine(first + line, plane), part->getLine(line, plane),
                            static_cast<std::size_t>(part->m_Info.lSync));
    }
    attachImg(joined);
    return 1;
}

bool CImg::checkInfo(const tagIMAGEINFO* info) noexcept {
    if (info == nullptr || info->lWidth < 1 || info->lHeight < 1)
        return false;
    if (info->lSpp != 1 && info->lSpp != 3 && info->lBps != 1 && info->lBps != 4 && info->lBps != 8 &&
        info->lBps != 16)
        return false;
    // Non-positive sample counts would make the minimum line length meaningless.
    if (info->lBps < 1 || info->lSpp < 1)
        return false;
    const Wide minSync = minSyncWide(info->lWidth, info->lBps, info->lSpp, info->ulRGBOrder);
    if (info->lSync < 0 || info->lSync < minSync || minSync > std::numeric_limits<std::int32_t>::max())
        return false;
    return Wide{info->tImageSize} == sizeWide(info->lSync, info->lHeight, info->lSpp, info->ulRGBOrder);
}

int CImg::allocImgData() noexcept {
    return allocate(true);
}

int CImg::allocate(bool zeroed) noexcept {
    releaseBuffer();
    if (m_Info.tImageSize == 0)
        return 0;
    m_Info.lpImage = BufferPool::take(m_Info.tImageSize, zeroed);
    return m_Info.lpImage != nullptr ? 1 : 0;
}

std::int32_t CImg::calcMinSync(std::int32_t width, std::int32_t bps, std::int32_t spp,
                               std::uint32_t order) noexcept {
    const Wide sync = minSyncWide(width, bps, spp, order);
    if (sync > std::numeric_limits<std::int32_t>::max() || sync < std::numeric_limits<std::int32_t>::min())
        return -1;
    return static_cast<std::int32_t>(sync);
}

std::uint32_t CImg::calcSize(std::int32_t sync, std::int32_t height, std::int32_t spp,
                             std::uint32_t order) noexcept {
    const Wide size = sizeWide(sync, height, spp, order);
    if (size < 0 || size > std::numeric_limits<std::uint32_t>::max())
        return 0;
    return static_cast<std::uint32_t>(size);
}

} // namespace Ovk::Pixen
