// Small image objects of the size detectors: one class per pixel format behind one virtual interface, so
// that a detector can read pixels, convert formats and cut regions without knowing the format.
#pragma once

#include "Blank/OutlineChain.h"
#include "OvkImageInfo.h"

#include <cstdint>
#include <memory>

namespace Ovk::DetectSize {

class CImg {
public:
    // Plain description of a band, a line or a page; the pointer is never owned.
    struct tagIMGSET {
        std::uint8_t* pImg;
        std::int32_t width;      // pixels
        std::int32_t height;     // lines
        std::int32_t sync;       // bytes per line (line order: all three planes)
        std::int32_t xdpi;       // dots per inch
        std::int32_t ydpi;       // dots per inch
        std::int32_t bpp;        // 1, 8 or 24
        std::int32_t pixelorder; // 1 = line order (planes follow each other), 0 = pixel order
    };

    virtual ~CImg() = default;
    CImg(const CImg&) = delete;
    CImg& operator=(const CImg&) = delete;

    // New owning image of the set's format with a copy of its pixels (when it has any); null when the depth
    // is unsupported or memory runs out.
    static std::unique_ptr<CImg> Create(const tagIMGSET& set);
    // Non-owning image over the set's pixels; null without pixels or line length.
    static std::unique_ptr<CImg> Set(const tagIMGSET& set);

    virtual void put(std::int32_t x, std::int32_t y, std::uint32_t value) = 0;
    virtual std::uint32_t get(std::int32_t x, std::int32_t y) const = 0;
    virtual std::unique_ptr<CImg> binary(std::uint8_t threshold) const = 0;
    virtual std::unique_ptr<CImg> gray() const = 0;
    virtual std::unique_ptr<CImg> color() const = 0;
    virtual bool black(std::int32_t x, std::int32_t y, std::uint8_t threshold) const = 0;
    virtual std::int32_t past(std::int32_t x, std::int32_t y, const CImg& image);
    virtual std::unique_ptr<CImg> rivise_resolution() const;
    // Extremes of the black pixels (black(x, y, 128)): rect.x the leftmost column, rect.y the lowest line,
    // rect.width the rightmost column, rect.height the highest line; points[0..3] the black pixel met first
    // on each (left, bottom, right, top). Without black pixels: width, -1, -1, height, points untouched.
    virtual std::int32_t rect(Ovk::tagRECT& rect, Ovk::tagPOINT* points) const;
    virtual std::unique_ptr<CImg> cutout(std::int32_t x, std::int32_t y, std::int32_t w,
                                         std::int32_t h) const;
    virtual void revers();
    virtual void add(const CImg& image) = 0;

    void imgset(tagIMGSET& set) const;
    std::unique_ptr<CImg> clone() const;
    void change_pImg(std::uint8_t* pixels);

    std::uint8_t* pImg() const { return m_pImg; }
    std::int32_t width() const { return m_width; }
    std::int32_t height() const { return m_height; }
    std::int32_t sync() const { return m_sync; }
    std::int32_t xdpi() const { return m_xdpi; }
    std::int32_t ydpi() const { return m_ydpi; }
    std::int32_t bpp() const { return m_bpp; }
    bool ownsBuffer() const { return m_owned != nullptr; }

protected:
    CImg() = default;
    bool inside(std::int32_t x, std::int32_t y) const {
        return x >= 0 && y >= 0 && x < m_width && y < m_height;
    }
    std::uint8_t* line(std::int32_t y) const { return m_pImg + static_cast<std::ptrdiff_t>(m_sync) * y; }
    // Owning image like this one but with another depth, same geometry and resolutions.
    std::unique_ptr<CImg> createLike(std::int32_t bpp, std::int32_t pixelorder) const;
    // Appends rows of an already converted image at the append cursor.
    void appendRows(const CImg& converted);
    virtual std::int32_t pixelorder() const { return 0; }

private:
    friend std::unique_ptr<CImg> makeImage(const tagIMGSET& set, bool owning);

    std::uint8_t* m_pImg = nullptr;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::int32_t m_sync = 0;
    std::int32_t m_xdpi = 0;
    std::int32_t m_ydpi = 0;
    std::int32_t m_bpp = 0;
    std::unique_ptr<std::uint8_t[]> m_owned;
    std::int32_t m_appendRow = 0;
};

// 1 bit per pixel, most significant bit first.
class CBinaryImg : public CImg {
public:
    void put(std::int32_t x, std::int32_t y, std::uint32_t value) override;
    std::uint32_t get(std::int32_t x, std::int32_t y) const override;
    std::unique_ptr<CImg> binary(std::uint8_t threshold) const override;
    std::unique_ptr<CImg> gray() const override { return nullptr; }
    std::unique_ptr<CImg> color() const override { return nullptr; }
    bool black(std::int32_t x, std::int32_t y, std::uint8_t threshold) const override;
    void revers() override {}
    void add(const CImg&) override {}
};

// 8 bits per pixel.
class CGrayImg : public CImg {
public:
    void put(std::int32_t x, std::int32_t y, std::uint32_t value) override;
    std::uint32_t get(std::int32_t x, std::int32_t y) const override;
    std::unique_ptr<CImg> binary(std::uint8_t) const override { return nullptr; }
    std::unique_ptr<CImg> gray() const override { return clone(); }
    std::unique_ptr<CImg> color() const override;
    bool black(std::int32_t x, std::int32_t y, std::uint8_t threshold) const override;
    void add(const CImg& image) override;
};

// 24 bits per pixel in pixel order; value bits 0-7, 8-15, 16-23 are the pixel's three bytes in order.
// Grey and black read the second sample.
class CColorImg : public CImg {
public:
    void put(std::int32_t x, std::int32_t y, std::uint32_t value) override;
    std::uint32_t get(std::int32_t x, std::int32_t y) const override;
    std::unique_ptr<CImg> binary(std::uint8_t threshold) const override;
    std::unique_ptr<CImg> gray() const override;
    std::unique_ptr<CImg> color() const override;
    bool black(std::int32_t x, std::int32_t y, std::uint8_t threshold) const override;
    void add(const CImg& image) override;
};

// 24 bits per pixel in line order: the three planes of a line follow each other, each a third of the line.
// Every conversion goes through get(), so the planes are read correctly.
class CColorImg2 : public CColorImg {
public:
    void put(std::int32_t x, std::int32_t y, std::uint32_t value) override;
    std::uint32_t get(std::int32_t x, std::int32_t y) const override;

protected:
    std::int32_t pixelorder() const override { return 1; }
};

} // namespace Ovk::DetectSize
