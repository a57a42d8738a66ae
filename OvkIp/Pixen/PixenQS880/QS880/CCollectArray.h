// Pixel-array collection: the scanner sends each line mirrored, both sides of a two-sided page
// interleaved sample by sample, and 12-bit samples packed two into three bytes. These filters undo that.
#pragma once

#include "FilterBases.h"
#include "QS880/PrepRecords.h"

#include <cstdint>

namespace Ovk::Pixen::QS880 {

// Holds the record and the line routines that the three collection filters share.
class CCollectArray : public CBandFilter {
public:
    std::int32_t setInfo(CImg& image, void* info) override;

    // n packed 12-bit samples: bytes b0 b1 b2 hold b0 + 256 (b1 & 0x0F) and (b1 >> 4) + 16 b2.
    static void Extend12To16BitCore(std::uint16_t* out, const std::uint8_t* in, std::int32_t n);
    // Unpacks n samples into out in reverse order.
    static void Extend12To16BitAndArrayCollect(std::uint16_t* out, const std::uint8_t* in, std::int32_t n,
                                               const tagDUMMYPIXELS& dummies);
    // Unpacks n interleaved samples: even ones to front (mirrored back), odd ones to back.
    static void Extend12To16BitAndSeparate(std::uint16_t* front, std::uint16_t* back, const std::uint8_t* in,
                                           std::int32_t n, const tagDUMMYPIXELS& dummies);
    // The same split on 8-bit samples.
    static void Separate(std::uint8_t* front, std::uint8_t* back, const std::uint8_t* in, std::int32_t n);

protected:
    // The collectors take raw bands, which come in line order only; the 12-to-16 extension takes both.
    virtual bool needsLineOrder() const { return true; }

    tagCOLLECTARRAYINFO m_Info{};
};

class CCollectArrayForSimplex : public CCollectArray {
public:
    const char* getName() const override { return "CollectArrayForSimplex"; }
    std::int32_t IP(CImg& band) override { return CollectArray(band); }

private:
    std::int32_t CollectArray(CImg& band);
};

class CCollectArrayForDuplex : public CCollectArray {
public:
    const char* getName() const override { return "CollectArrayForDuplex"; }
    std::int32_t IP(CImg& band) override { return CollectArray(band); }
    // Moves the back band of the last call into out.
    void getBackImage(CImg& out) { out.attachImg(m_BackImage); }

private:
    std::int32_t CollectArray(CImg& band);

    CImg m_BackImage;
};

class CExtendBitData12To16 : public CCollectArray {
public:
    const char* getName() const override { return "CExtendBitData12To16"; }
    std::int32_t IP(CImg& band) override { return Extend12To16(band); }

protected:
    bool needsLineOrder() const override { return false; }

private:
    std::int32_t Extend12To16(CImg& band);
};

} // namespace Ovk::Pixen::QS880
