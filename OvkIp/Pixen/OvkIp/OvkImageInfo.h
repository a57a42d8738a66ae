// Image record of the analysis layer and CImageInfo, its view with ownership flags. Every analysis entry
// point wraps its records in a CImageInfo, so the layout rules below live in one place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Same thirteen words, same order, as the pipeline's image record, so records pass between them unchanged.
// Layout rules: a line of one plane is lSync bytes; in line order (ulRGBOrder 1) a line holds lSpp planes
// one after the other, so the stride is lSync * lSpp. 1-bit pixels are packed most significant bit first.
struct tagOVKIMAGEINFO {
    uint32_t ulSize;        // sizeof(tagOVKIMAGEINFO)
    unsigned char* lpImage; // first byte of the pixels; owned by whoever made the record
    int32_t lXpos;
    int32_t lYpos; // binarisation starts at this line
    int32_t lWidth;
    int32_t lHeight;
    int32_t lSync; // bytes of one line (of one plane in line order)
    uint32_t tImageSize;
    int32_t lBps; // bits per sample: 1, 8 or 16 (4 where a caller says so)
    int32_t lSpp; // samples per pixel: 1 or 3
    uint32_t ulRGBOrder;
    int32_t lXResolution; // dpi
    int32_t lYResolution; // dpi
};
static_assert(offsetof(tagOVKIMAGEINFO, lpImage) == sizeof(void*));
static_assert(offsetof(tagOVKIMAGEINFO, lXpos) == 2 * sizeof(void*));
static_assert(offsetof(tagOVKIMAGEINFO, tImageSize) == 2 * sizeof(void*) + 20);
static_assert(offsetof(tagOVKIMAGEINFO, lYResolution) == 2 * sizeof(void*) + 40);

constexpr uint32_t kOvkPixelOrder = 0; // R, G, B side by side
constexpr uint32_t kOvkLineOrder = 1;  // each line holds its planes one after the other

namespace Ovk {
// x, y, width, height: the last two are extents, not a second corner.
struct tagRECT {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};
// One colour pixel as its bytes lie in a pixel-order buffer.
struct tagRGBTRIPLE {
    uint8_t rgbtRed;
    uint8_t rgbtGreen;
    uint8_t rgbtBlue;
};
static_assert(sizeof(tagRGBTRIPLE) == 3);
} // namespace Ovk

// View of one tagOVKIMAGEINFO. It owns the record only when it made it, and the pixel buffer only when it
// allocated it (or was told so); buffers are malloc'ed, so a detached buffer is freed with FreeImageBuffer.
// The setters are virtual and are also used internally, so a derived class sees every change.
// Pixel accessors need a record; coordinates outside the image read 0 and write nothing.
class CImageInfo {
public:
    CImageInfo() = default;
    // Views the caller's record (not owned) and rewrites its tImageSize from the layout rule.
    explicit CImageInfo(tagOVKIMAGEINFO* rec);
    // Deep copy: own record and buffer with rec's geometry and pixels; positions and resolutions 0.
    explicit CImageInfo(const tagOVKIMAGEINFO& rec);
    // Own record with all words of other's, showing the same pixels without owning them.
    CImageInfo(const CImageInfo& other);
    // New image, line length (width * bps) padded to 32 bits: one sample per pixel or line order only.
    CImageInfo(int32_t width, int32_t height, int32_t bps, int32_t spp, uint32_t order);
    // New image with the given line length.
    CImageInfo(int32_t width, int32_t sync, int32_t height, int32_t bps, int32_t spp, uint32_t order);
    // Views the caller's buffer without owning it; sync 0 means (width * bps) padded to 32 bits.
    CImageInfo(int32_t width, int32_t sync, int32_t height, int32_t bps, int32_t spp, uint32_t order,
               unsigned char* buffer, uint32_t size);
    // As above; ownBuffer hands the (malloc'ed) buffer to this object, virtualAlloc marks a buffer that
    // this class must never free.
    CImageInfo(int32_t width, int32_t sync, int32_t height, int32_t bps, int32_t spp, uint32_t order,
               unsigned char* buffer, uint32_t size, int ownBuffer, int virtualAlloc);
    CImageInfo& operator=(const CImageInfo&) = delete;
    virtual ~CImageInfo();

    // Allocates size bytes without throwing; on success this object owns them. Returns null on failure.
    virtual unsigned char* AllocateBuffer(uint32_t size);
    // Frees an owned buffer and clears lpImage and the ownership flags (a virtual-allocation buffer is
    // only dropped, never freed here).
    virtual void ReleaseImageBuffer();
    // Hands an owned buffer to the caller (free it with FreeImageBuffer); null when not owned.
    virtual unsigned char* DetachImageBuffer();
    // Refused (returns null) while this object owns its buffer.
    virtual unsigned char* SetPtr(unsigned char* p);
    virtual int32_t SetWidth(int32_t width);
    virtual int32_t SetHeight(int32_t height);
    virtual int32_t SetSync(int32_t sync);
    virtual int32_t SetBps(int32_t bps);
    virtual uint32_t SetSize(uint32_t size);
    virtual uint32_t SetRGBOrder(uint32_t order);
    // y below 1 leaves the vertical resolution as it is.
    virtual void SetResolution(int32_t x, int32_t y);

    static void FreeImageBuffer(unsigned char* buffer);

    // Makes the record if there is none and fills the geometry and the (not owned) buffer.
    tagOVKIMAGEINFO* Init(int32_t width, int32_t sync, int32_t height, int32_t bps, int32_t spp,
                          uint32_t order, unsigned char* buffer, uint32_t size);
    // Makes the record if needed and allocates a new buffer by the layout rule; null when that fails.
    unsigned char* Init(int32_t width, int32_t sync, int32_t height, int32_t bps, int32_t spp,
                        uint32_t order);
    // The same with rec's geometry; copies the pixels when copy is not 0.
    unsigned char* Init(const tagOVKIMAGEINFO& rec, int copy);
    // Record of this object, made (zeroed, size word set) when there is none; null when that fails.
    tagOVKIMAGEINFO* CreateOvkImageInfoStruct();

    tagOVKIMAGEINFO* GetInfo() const { return m_pInfo; }
    unsigned char* GetPtr() const { return m_pInfo->lpImage; }
    int32_t GetWidth() const { return m_pInfo->lWidth; }
    int32_t GetHeight() const { return m_pInfo->lHeight; }
    int32_t GetSync() const { return m_pInfo->lSync; }
    int32_t GetBps() const { return m_pInfo->lBps; }
    int32_t GetSpp() const { return m_pInfo->lSpp; }
    uint32_t GetRGBOrder() const { return m_pInfo->ulRGBOrder; }
    uint32_t GetSize() const { return m_pInfo->tImageSize; }
    int32_t GetXResolution() const { return m_pInfo->lXResolution; }
    int32_t GetYResolution() const { return m_pInfo->lYResolution; }
    bool IsLineOrder() const { return m_pInfo->ulRGBOrder == kOvkLineOrder && m_pInfo->lSpp > 1; }
    // Bytes from one line to the next (all planes in line order).
    ptrdiff_t GetStride() const;
    // Address of pixel (x, y) by the layout rule; in line order, of its first plane.
    unsigned char* PixelPtr(int32_t x, int32_t y) const;
    // stride * height, the size the layout rule gives (may exceed 32 bits for a hostile record).
    uint64_t LayoutSize() const;
    // A record and pixels, supported bits, samples and order, and a line length that holds a line.
    bool IsValidLayout() const;
    bool IsOwnBuffer() const { return m_bAllocBuffer != 0; }
    int IsBlack() const { return m_bBlackIs; }

    int PGET2(int32_t x, int32_t y) const {
        return Inside(x, y) ? m_pInfo->lpImage[Row(y) + x / 8] & kBit[x & 7] : 0;
    }
    void PSET2(int32_t x, int32_t y, int on);
    uint8_t PGET8(int32_t x, int32_t y) const { return Inside(x, y) ? m_pInfo->lpImage[Row(y) + x] : 0; }
    void PSET8(int32_t x, int32_t y, uint8_t value) {
        if (Inside(x, y)) {
            m_pInfo->lpImage[Row(y) + x] = value;
        }
    }
    uint16_t PGET16(int32_t x, int32_t y) const;
    void PSET16(int32_t x, int32_t y, uint16_t value);
    // Colour only: bits 0-7 to the first sample, 8-15 to the second, 16-23 to the third.
    void PSET24(int32_t x, int32_t y, uint32_t rgb);
    // Downward run in an 8-bit image: grey takes bits 0-7 of colour, line-order colour bits 8-15, 16-23
    // and 24-31 for its three planes; other images are left alone.
    void VertLine(int32_t x, int32_t y, int32_t length, uint32_t colour);

    // Sum of the bytes of r clipped to the image; count receives how many were summed.
    uint64_t RectSum(const Ovk::tagRECT* r, uint32_t* count) const;
    // Rounded mean of RectSum; an empty rectangle throws 87.
    uint8_t RectAve(const Ovk::tagRECT* r) const;

    // Inverts every bit of the tImageSize bytes.
    void Reverse();
    // Inverts the pixels when the requested polarity differs from the current one.
    int SetBlackIs(int black);
    int SetWhiteIs(int white) { return !SetBlackIs(!white); }
    // Records the polarity of pixels that someone else wrote, without touching them.
    void AssignBlackIs(int black) { m_bBlackIs = black; }

    // Re-lays every line to its packed length (whole bytes), taking it from x samples into the old line.
    void SetPack1(int32_t x);
    // Re-lays every line to a multiple of n bytes; grows only an owned buffer (new bytes zero), shrinks from
    // x samples into each old line.
    void SetPackN(int n, int32_t x);
    // 8-bit line-order images: fills the bytes after the last pixel of every plane line with value.
    void CrearUnusedArea(uint32_t value);
    // 8- and 16-bit grey or 8-bit line-order colour: drops the first n columns (the buffer moves n samples
    // toward its start).
    void ShiftLeft(int32_t n);
    // n < 0 shifts left by -n; a shift to the right has no use and does nothing.
    void Shift(int32_t n);
    // Copies src with its top-left corner at (x, y), clipped to both images; bits and samples must agree.
    void PutImage(int32_t x, int32_t y, const CImageInfo& src);
    // Line y (every plane in line order) into out, 8/16/24 bits a pixel; out is returned.
    unsigned char* GetHLineData(unsigned char* out, int32_t y) const;
    // Column x, one sample a line (bytes for 8 bits, 16-bit words for 16), into out; out is returned.
    unsigned char* GetVLineData(unsigned char* out, int32_t x) const;
    // height lines of width bytes from pixel (x, y) down into out, lSync bytes apart (8 and 16 bits);
    // nothing when the rectangle leaves the image.
    unsigned char* GetRectData(unsigned char* out, int32_t x, int32_t y, int32_t width, int32_t ignored,
                               int32_t height) const;
    unsigned char* GetRectData(unsigned char* out, Ovk::tagRECT r, int32_t ignored) const {
        return GetRectData(out, r.x, r.y, r.width, ignored, r.height);
    }
    // Removes lines y .. y + n - 1 (clamped to the image), moving the lines below up.
    void CutOffH(int32_t y, int32_t n);
    // Removes columns x .. x + n - 1 (clamped to the image) of an image ShiftLeft accepts.
    void CutOffV(int32_t x, int32_t n);

    // New image of the same geometry (contents undefined) / with a copy of the pixels; null on failure.
    std::unique_ptr<CImageInfo> CreateSameSize() const;
    std::unique_ptr<CImageInfo> CreateCopy() const;
    // Turns this view into a view of r (clipped to the image) inside the same buffer; refused for an
    // owned buffer.
    void Trim(Ovk::tagRECT r);
    // Keeps the central keep part (0 <= keep < 1) of width and height.
    void Trim(double keep);

    bool operator==(const CImageInfo& other) const;
    bool operator!=(const CImageInfo& other) const { return !(*this == other); }

protected:
    static constexpr uint8_t kBit[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};

    bool Inside(int32_t x, int32_t y) const {
        return x >= 0 && y >= 0 && x < m_pInfo->lWidth && y < m_pInfo->lHeight;
    }
    ptrdiff_t Row(int32_t y) const { return static_cast<ptrdiff_t>(m_pInfo->lSync) * y; }

private:
    void UpdateSizeFromLayout();
    // Bits of one line of one plane (all samples in pixel order) and lines counting every plane.
    int64_t LineBits() const;
    int64_t PlaneLines() const;
    // Re-lays every plane line to newSync bytes from bit offset x * bps of the old line.
    void Relay(int32_t newSync, int32_t x);
    // Bytes per sample for ShiftLeft and CutOffV, 0 for images they do not handle.
    int32_t ColumnBytes() const;

    tagOVKIMAGEINFO* m_pInfo = nullptr;
    std::unique_ptr<tagOVKIMAGEINFO> m_ownInfo; // set when this object made the record
    int32_t m_bAllocBuffer = 0;
    int32_t m_bAllocTypeVirtualYes = 0;
    int32_t m_bBlackIs = 0;
};
