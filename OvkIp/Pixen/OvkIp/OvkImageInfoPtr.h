// CImageInfoPtr: the owning pointer for images an analysis makes for itself, with quarter-turn rotation.
// Failures inside it are thrown as long codes (8 unsupported image or angle, 87 misuse), caught at the
// calling entry point.
#pragma once

#include "OvkImageInfo.h"

#include <memory>

class CImageInfoPtr {
public:
    CImageInfoPtr() = default;
    CImageInfoPtr(const CImageInfoPtr&) = delete;
    CImageInfoPtr& operator=(const CImageInfoPtr&) = delete;
    CImageInfoPtr(CImageInfoPtr&&) noexcept = default;
    CImageInfoPtr& operator=(CImageInfoPtr&&) noexcept = default;
    virtual ~CImageInfoPtr() = default;

    // New image, pixel order for three samples and line order otherwise; 1 when its buffer was made
    // (the image is then held), 0 otherwise (nothing held).
    int CreateImage(int32_t width, int32_t sync, int32_t height, int32_t bps, int32_t spp, int32_t xres,
                    int32_t yres);
    void ReleaseImage() { m_pImg.reset(); }
    void Attach(std::unique_ptr<CImageInfo> image) { m_pImg = std::move(image); }
    std::unique_ptr<CImageInfo> Detach() { return std::move(m_pImg); }

    CImageInfo* Get() const { return m_pImg.get(); }
    CImageInfo* operator->() const { return m_pImg.get(); }
    CImageInfo& operator*() const { return *m_pImg; }
    explicit operator bool() const { return m_pImg != nullptr; }

    // Quarter turn clockwise / counter-clockwise into a new image that replaces the held one; 0 when the
    // new image could not be made (the old one is kept). The result is exactly source height wide and
    // source width high, with lines padded to 32 bits; resolutions are carried over unchanged.
    int Rotate90R() { return Rotate(90); }
    int Rotate90L() { return Rotate(270); }

private:
    int Rotate(long angle);

    std::unique_ptr<CImageInfo> m_pImg;
};

// dst receives a copy of src's image / a new image of its geometry; 1 on success, 0 when it can't be made.
int CopyCImageInfo(CImageInfoPtr& dst, CImageInfoPtr& src);
int SameSizeCImageInfo(CImageInfoPtr& dst, CImageInfoPtr& src);

// Rotates src by angle degrees (reduced modulo 360; 90, 180, 270) into dst, which must have the turned
// geometry. Handles 1-bit, 8-bit grey and 8-bit colour in either order; throws 8 (long) otherwise.
void RotateImage(CImageInfo& dst, const CImageInfo& src, long angle);
