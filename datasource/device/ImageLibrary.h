// The page library's entry points as the device object uses them, behind one small interface so that the
// device's threads can be driven by the real library or, in unit tests, by a stand-in. The library is
// not re-entrant: the device calls it from one thread at a time and never calibrates during a page.
// Results are the library's: 0 done, 3 an image could not be created, anything else a failure.
#pragma once

#include "CIPBase.h"
#include "CImg.h"
#include "NormalFilterRecords.h"
#include "QS880Records.h"

#include <cstdint>

namespace k3100 {

using Ovk::Pixen::CImg;
namespace qs = Ovk::Pixen::QS880;

class ImageLibrary {
public:
    virtual ~ImageLibrary() = default;

    virtual int32_t FilterSimplex(CImg& out, CImg& in, qs::tagFILTERSIMPLEXINFO* info) = 0;
    virtual int32_t FilterSimplexFirst(CImg& out, CImg& in, qs::tagFILTERSIMPLEXINFO* info) = 0;
    virtual int32_t FilterSimplexMiddle(CImg& out, CImg& in, qs::tagFILTERSIMPLEXINFO* info) = 0;
    virtual int32_t FilterSimplexLast(CImg& out, CImg& in, qs::tagFILTERSIMPLEXINFO* info) = 0;
    virtual int32_t FilterSimplexLastAppended(CImg& out, CImg& in, qs::tagFILTERSIMPLEXINFO* info,
                                              int32_t lHeight) = 0;

    virtual int32_t FilterDuplex(CImg& front, CImg& back, CImg& in, qs::tagFILTERDUPLEXINFO* info) = 0;
    virtual int32_t FilterDuplexFirst(CImg& front, CImg& back, CImg& in, qs::tagFILTERDUPLEXINFO* info) = 0;
    virtual int32_t FilterDuplexMiddle(CImg& front, CImg& back, CImg& in, qs::tagFILTERDUPLEXINFO* info) = 0;
    virtual int32_t FilterDuplexLast(CImg& front, CImg& back, CImg& in, qs::tagFILTERDUPLEXINFO* info) = 0;
    virtual int32_t FilterDuplexLastAppended(CImg& front, CImg& back, CImg& in, qs::tagFILTERDUPLEXINFO* info,
                                             int32_t lHeight) = 0;

    // A page stopped before its last band: the library frees what it holds for it.
    virtual void AbandonPage() = 0;
    // The scanner session ends: buffers the library keeps for reuse go back to the system.
    virtual void ReleaseBuffers() = 0;

    virtual int32_t NormalFilterSimplex(CImg& out, CImg& in,
                                        Ovk::Pixen::tagNORMALFILTERSIMPLEXINFO* info) = 0;

    virtual void AdjustLightFirst(qs::tagADJUSTINFO* info) = 0;
    virtual int32_t AdjustLightNext(CImg& scan, qs::tagADJUSTINFO* info) = 0;
    virtual int32_t AdjustLightLast(CImg& front, CImg& back, CImg& scan, qs::tagADJUSTINFO* info) = 0;
    // data: the scanner's light-curve block, size bytes, read by the call only.
    virtual int32_t AdjustLightFix(CImg& white, CImg& black, qs::tagADJUSTINFO* info,
                                   Ovk::Pixen::tagSIDE side, const uint8_t* data, uint32_t size) = 0;

    virtual int32_t getOffset(int32_t res) = 0;
    virtual int32_t getDummyPixelCount(int32_t res) = 0;
    virtual void setOcrPath(const char* path) = 0;
    // 0 when text direction can run (its model is found).
    virtual int32_t checkTextDirection() = 0;
};

} // namespace k3100
