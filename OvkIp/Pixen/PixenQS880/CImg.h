// The library's image object: one image record plus the zero-filled pixel buffer that the object owns
// (buffers come from BufferPool).
// Filters hand images on by moving buffers (attachImg) and create results with the createImg forms.
#pragma once

#include "ImageInfo.h"
#include "PixenExport.h"

#include <cstdint>

namespace Ovk::Pixen {

class PIXENQS880_EXPORT CImg {
public:
    CImg() noexcept;
    // Deep copy; the copy is empty when the source is or when its buffer cannot be allocated.
    CImg(const CImg& other) noexcept;
    virtual ~CImg();
    // Same rules as the copy; self-assignment does nothing.
    CImg& operator=(const CImg& other) noexcept;

    // The embedded record; callers may change fields, but lpImage stays owned by this object.
    operator tagIMAGEINFO*() noexcept { return &m_Info; }
    operator const tagIMAGEINFO*() const noexcept { return &m_Info; }

    // Every form releases what the image held and gives 1, or 0 (image unchanged) for a record that
    // checkInfo refuses. A buffer that cannot be allocated leaves the image empty with result 1:
    // callers that need the pixels test isNull afterwards.
    int createImg(std::int32_t width, std::int32_t height, std::int32_t bps, std::int32_t spp,
                  std::uint32_t order) noexcept;
    int createImg(std::int32_t width, std::int32_t height, std::int32_t sync, std::int32_t bps,
                  std::int32_t spp, std::uint32_t order) noexcept;
    int createImg(std::int32_t width, std::int32_t height, std::int32_t bps, std::int32_t spp,
                  std::uint32_t order, std::int32_t xres, std::int32_t yres) noexcept;
    int createImg(std::int32_t width, std::int32_t height, std::int32_t sync, std::int32_t bps,
                  std::int32_t spp, std::uint32_t order, std::int32_t xres, std::int32_t yres) noexcept;
    int createImg(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t sync,
                  std::int32_t bps, std::int32_t spp, std::uint32_t order, std::int32_t xres,
                  std::int32_t yres) noexcept;
    // The record's lpImage is ignored: the image always gets a buffer of its own.
    int createImg(const tagIMAGEINFO* info) noexcept;
    // Same geometry as other, zero pixels.
    int createImg(const CImg& other) noexcept;
    // As createImg from a record, but the pixels are left unset: only for a result whose every byte,
    // line padding included, the caller writes before anyone reads it.
    PIXENQS880_INTERNAL int createImgUnfilled(const tagIMAGEINFO* info) noexcept;

    void deleteImg() noexcept;
    bool isNull() const noexcept { return m_Info.lpImage == nullptr; }

    // Takes over the source's record and buffer; the source is empty afterwards. Nothing is copied.
    void attachImg(CImg& src) noexcept;
    // Puts src below this image. 0 for incompatible images or when the joined buffer cannot be
    // allocated; this image is then unchanged.
    int appendImg(const CImg& src) noexcept;

    // The record the createImg form with the same arguments creates from (no buffer).
    PIXENQS880_INTERNAL static tagIMAGEINFO makeInfo(std::int32_t x, std::int32_t y, std::int32_t width,
                                                     std::int32_t height, std::int32_t sync, std::int32_t bps,
                                                     std::int32_t spp, std::uint32_t order, std::int32_t xres,
                                                     std::int32_t yres) noexcept;
    // Validity of a record's geometry; size word, pointer, position and resolutions are not checked.
    static bool checkInfo(const tagIMAGEINFO* info) noexcept;
    // Replaces the buffer by a zero-filled one of tImageSize bytes; 0 when that is 0 or fails.
    int allocImgData() noexcept;

    // Minimum bytes per line; -1 for an unknown order or a line longer than 2^31 - 1 bytes.
    static std::int32_t calcMinSync(std::int32_t width, std::int32_t bps, std::int32_t spp,
                                    std::uint32_t order) noexcept;
    // Buffer bytes for the geometry; 0 for an unknown order or a size beyond 32 bits.
    static std::uint32_t calcSize(std::int32_t sync, std::int32_t height, std::int32_t spp,
                                  std::uint32_t order) noexcept;

    const tagIMAGEINFO& getInfo() const noexcept { return m_Info; }
    std::uint8_t* getImage() const noexcept { return m_Info.lpImage; }
    std::int32_t getXpos() const noexcept { return m_Info.lXpos; }
    std::int32_t getYpos() const noexcept { return m_Info.lYpos; }
    std::int32_t getWidth() const noexcept { return m_Info.lWidth; }
    std::int32_t getHeight() const noexcept { return m_Info.lHeight; }
    std::int32_t getSync() const noexcept { return m_Info.lSync; }
    std::uint32_t getImageSize() const noexcept { return m_Info.tImageSize; }
    std::int32_t getBps() const noexcept { return m_Info.lBps; }
    std::int32_t getSpp() const noexcept { return m_Info.lSpp; }
    std::uint32_t getRGBOrder() const noexcept { return m_Info.ulRGBOrder; }
    std::int32_t getXResolution() const noexcept { return m_Info.lXResolution; }
    std::int32_t getYResolution() const noexcept { return m_Info.lYResolution; }
    // Address of single-colour line `line` of plane `plane` (plane is 0 in pixel order).
    // Inline: the hot loops of every filter call it per line.
    std::uint8_t* getLine(std::int32_t line, std::int32_t plane = 0) const noexcept {
        const std::int64_t planes = m_Info.ulRGBOrder == RGBORDER_LINE ? m_Info.lSpp : 1;
        return m_Info.lpImage + (std::int64_t{line} * planes + plane) * m_Info.lSync;
    }

protected:
    tagIMAGEINFO m_Info;

private:
    friend class CImgList; // hands its joined page over as an image's buffer

    PIXENQS880_INTERNAL int create(const tagIMAGEINFO* info, bool zeroed) noexcept;
    PIXENQS880_INTERNAL int allocate(bool zeroed) noexcept;
    void releaseBuffer() noexcept;
    bool copyFrom(const CImg& other) noexcept;
};

// Request records embed images whole, so the object must stay a vtable word plus the record.
static_assert(sizeof(CImg) == sizeof(void*) + sizeof(tagIMAGEINFO));

} // namespace Ovk::Pixen
