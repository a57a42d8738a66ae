// The device object's view of the page library, forwarding to the real library's entry points, so that
// the end-to-end benchmark runs what the data source runs.
#pragma once

#include "ImageLibrary.h"
#include "QS880/PixenQS880.h"

namespace k3100 {

class PixenLibrary : public ImageLibrary {
public:
    int32_t FilterSimplex(CImg& out, CImg& in, qs::tagFILTERSIMPLEXINFO* info) override {
        return qs::FilterSimplex(out, in, info);
    }
    int32_t FilterSimplexFirst(CImg& out, CImg& in, qs::tagFILTERSIMPLEXINFO* info) override {
        return qs::FilterSimplexFirst(out, in, info);
    }
    int32_t FilterSimplexMiddle(CImg& out, CImg& in, qs::tagFILTERSIMPLEXINFO* info) override {
        return qs::FilterSimplexMiddle(out, in, info);
    }
    int32_t FilterSimplexLast(CImg& out, CImg& in, qs::tagFILTERSIMPLEXINFO* info) override {
        return qs::FilterSimplexLast(out, in, info);
    }
    int32_t FilterSimplexLastAppended(CImg& out, CImg& in, qs::tagFILTERSIMPLEXINFO* info,
                                      int32_t lHeight) override {
        return qs::FilterSimplexLastAppended(out, in, info, lHeight);
    }
    int32_t FilterDuplex(CImg& front, CImg& back, CImg& in, qs::tagFILTERDUPLEXINFO* info) override {
        return qs::FilterDuplex(front, back, in, info);
    }
    int32_t FilterDuplexFirst(CImg& front, CImg& back, CImg& in, qs::tagFILTERDUPLEXINFO* info) override {
        return qs::FilterDuplexFirst(front, back, in, info);
    }
    int32_t FilterDuplexMiddle(CImg& front, CImg& back, CImg& in, qs::tagFILTERDUPLEXINFO* info) override {
        return qs::FilterDuplexMiddle(front, back, in, info);
    }
    int32_t FilterDuplexLast(CImg& front, CImg& back, CImg& in, qs::tagFILTERDUPLEXINFO* info) override {
        return qs::FilterDuplexLast(front, back, in, info);
    }
    int32_t FilterDuplexLastAppended(CImg& front, CImg& back, CImg& in, qs::tagFILTERDUPLEXINFO* info,
                                     int32_t lHeight) override {
        return qs::FilterDuplexLastAppended(front, back, in, info, lHeight);
    }
    int32_t NormalFilterSimplex(CImg& out, CImg& in, Ovk::Pixen::tagNORMALFILTERSIMPLEXINFO* info) override {
        return qs::NormalFilterSimplex(out, in, info);
    }
    void AdjustLightFirst(qs::tagADJUSTINFO* info) override { qs::AdjustLightFirst(info); }
    int32_t AdjustLightNext(CImg& scan, qs::tagADJUSTINFO* info) override {
        return qs::AdjustLightNext(scan, info);
    }
    int32_t AdjustLightLast(CImg& front, CImg& back, CImg& scan, qs::tagADJUSTINFO* info) override {
        return qs::AdjustLightLast(front, back, scan, info);
    }
    int32_t AdjustLightFix(CImg& white, CImg& black, qs::tagADJUSTINFO* info, Ovk::Pixen::tagSIDE side,
                           const uint8_t* data, uint32_t size) override {
        return qs::AdjustLightFix(white, black, info, side, data, size);
    }
    int32_t getOffset(int32_t res) override { return qs::getOffset(res); }
    int32_t getDummyPixelCount(int32_t res) override { return qs::getDummyPixelCount(res); }
    void setOcrPath(const char* path) override { qs::setOcrPath(path); }
};

} // namespace k3100
