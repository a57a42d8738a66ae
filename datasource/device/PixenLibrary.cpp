// Forwarding from the ImageLibrary interface to the library's QS880 entry points.
#include "PixenLibrary.h"

#include "Immortal.h"

#include "QS880/PixenQS880.h"

namespace k3100 {
namespace {

class PixenLibrary final : public ImageLibrary {
public:
    int32_t FilterSimplex(CImg& o, CImg& i, qs::tagFILTERSIMPLEXINFO* r) override {
        return qs::FilterSimplex(o, i, r);
    }
    int32_t FilterSimplexFirst(CImg& o, CImg& i, qs::tagFILTERSIMPLEXINFO* r) override {
        return qs::FilterSimplexFirst(o, i, r);
    }
    int32_t FilterSimplexMiddle(CImg& o, CImg& i, qs::tagFILTERSIMPLEXINFO* r) override {
        return qs::FilterSimplexMiddle(o, i, r);
    }
    int32_t FilterSimplexLast(CImg& o, CImg& i, qs::tagFILTERSIMPLEXINFO* r) override {
        return qs::FilterSimplexLast(o, i, r);
    }
    int32_t FilterSimplexLastAppended(CImg& o, CImg& i, qs::tagFILTERSIMPLEXINFO* r, int32_t h) override {
        return qs::FilterSimplexLastAppended(o, i, r, h);
    }
    int32_t FilterDuplex(CImg& f, CImg& b, CImg& i, qs::tagFILTERDUPLEXINFO* r) override {
        return qs::FilterDuplex(f, b, i, r);
    }
    int32_t FilterDuplexFirst(CImg& f, CImg& b, CImg& i, qs::tagFILTERDUPLEXINFO* r) override {
        return qs::FilterDuplexFirst(f, b, i, r);
    }
    int32_t FilterDuplexMiddle(CImg& f, CImg& b, CImg& i, qs::tagFILTERDUPLEXINFO* r) override {
        return qs::FilterDuplexMiddle(f, b, i, r);
    }
    int32_t FilterDuplexLast(CImg& f, CImg& b, CImg& i, qs::tagFILTERDUPLEXINFO* r) override {
        return qs::FilterDuplexLast(f, b, i, r);
    }
    int32_t FilterDuplexLastAppended(CImg& f, CImg& b, CImg& i, qs::tagFILTERDUPLEXINFO* r,
                                     int32_t h) override {
        return qs::FilterDuplexLastAppended(f, b, i, r, h);
    }
    void AbandonPage() override { qs::AbandonPage(); }
    void ReleaseBuffers() override { qs::ReleaseBuffers(); }
    int32_t NormalFilterSimplex(CImg& o, CImg& i, Ovk::Pixen::tagNORMALFILTERSIMPLEXINFO* r) override {
        return qs::NormalFilterSimplex(o, i, r);
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
    int32_t checkTextDirection() override { return qs::checkTextDirection(); }
};

} // namespace

ImageLibrary& PixenQS880Library() {
    // A page's processing thread may still call it while the exit handlers end the statics.
    static fnd::Immortal<PixenLibrary> library;
    return library.get();
}

} // namespace k3100
