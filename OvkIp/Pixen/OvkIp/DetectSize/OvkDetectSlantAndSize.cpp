// DetectSlantAndSize: drives a CDetectSize through create, bands, result and release, keeping it in the
// caller's record. Any failure releases the detector, so a record never holds a half-made one.
#include "OvkDetectSlantAndSize.h"

#include "DetectSize.h"
#include "DetectSizeStatus.h"

#include <memory>

using namespace Ovk::DetectSize;

namespace Ovk::DetectSize {

void Convert_OVKIMAGEINFOtoIMGSET(const tagOVKIMAGEINFO* image, CImg::tagIMGSET& set) {
    if (image == nullptr)
        return;
    set.pImg = image->lpImage;
    set.width = image->lWidth;
    set.height = image->lHeight;
    set.sync = image->lSync;
    set.xdpi = image->lXResolution;
    set.ydpi = image->lYResolution;
    set.bpp = image->lBps * image->lSpp;
    set.pixelorder = image->ulRGBOrder == kOvkLineOrder ? 1 : 0;
    if (set.pixelorder == 1)
        set.sync *= image->lSpp;
}

void order_corners(const tagDETECTSIZEINFO& info, std::int32_t xdpi, std::int32_t ydpi, std::int32_t out[8]) {
    const std::int64_t q = xdpi > 0 ? std::int64_t{info.a} * ydpi / xdpi : info.a;
    const PointL* order[4] = {&info.P4, &info.P3, &info.P1, &info.P2};
    if (q < info.b) {
        order[0] = &info.P1;
        order[1] = &info.P4;
        order[2] = &info.P2;
        order[3] = &info.P3;
    }
    for (int i = 0; i < 4; ++i) {
        out[2 * i] = order[i]->x;
        out[2 * i + 1] = order[i]->y;
    }
}

} // namespace Ovk::DetectSize

namespace {

CDetectSize* detector(const tagSLANTSIZEREQ& req) {
    return static_cast<CDetectSize*>(req.pDetector);
}

void release(tagSLANTSIZEREQ& req) {
    std::unique_ptr<CDetectSize> owned(detector(req));
    req.pDetector = nullptr;
}

std::int32_t create(tagSLANTSIZEREQ& req, const CImg::tagIMGSET& set) {
    release(req);
    auto made = std::make_unique<CDetectSize>();
    CDetectSize::tagOPTION option{};
    option.size = sizeof(option);
    option.refAx = req.lRefPoint[0];
    option.refAy = req.lRefPoint[1];
    option.refBx = req.lRefPoint[2];
    option.refBy = req.lRefPoint[3];
    // Negative thresholds, margin and distance select the detector's defaults.
    option.edgeThreshold = option.trailThreshold = option.cornerMargin = option.distance = -1;
    const std::int32_t status = made->Initialize(set, option);
    req.pDetector = made.release();
    return status;
}

std::int32_t result(tagSLANTSIZEREQ& req) {
    CDetectSize& d = *detector(req);
    CDetectSize::tagOPTION option{};
    option.size = sizeof(option);
    option.reserved5 = req.lPaperSize[0];
    option.paperLength = req.lPaperSize[1];
    option.topMargin = req.lTopMargin;
    option.reserved7 = req.lReserved;
    option.leftMargin = req.lSideMargin[0];
    option.rightMargin = req.lSideMargin[1];
    tagDETECTSIZEINFO info{};
    info.size = sizeof(info);
    const std::int32_t status = d.result(info, option);
    if (status < 0)
        return status;
    order_corners(info, d.page().xdpi, d.page().ydpi, req.lCorner);
    req.lRect[0] = info.xmin;
    req.lRect[1] = info.ymin;
    req.lRect[2] = info.xmax;
    req.lRect[3] = info.ymax;
    req.lSlant[0] = info.a;
    req.lSlant[1] = info.b;
    return status;
}

std::int32_t run(tagSLANTSIZEREQ& req, const CImg::tagIMGSET& set) {
    const std::uint32_t command = req.ulCommand;
    if (command == 0)
        return create(req, set);
    if (command == 4) {
        release(req);
        return kStatusOk;
    }
    if (command > 5 || req.pDetector == nullptr)
        return kStatusBadRecord;
    switch (command) {
    case 1:
        return detector(req)->first(set);
    case 2:
        return detector(req)->mid(set);
    case 3:
        return detector(req)->last(set);
    default:
        return result(req);
    }
}

} // namespace

extern "C" int32_t DetectSlantAndSize(tagOVKIMAGEINFO* image, tagSLANTSIZEREQ* req) {
    if (req == nullptr || req->ulSize != sizeof(tagSLANTSIZEREQ))
        return kStatusBadRecord;
    CImg::tagIMGSET set{};
    Convert_OVKIMAGEINFOtoIMGSET(image, set);
    std::int32_t status = kStatusNoMemory;
    try {
        status = run(*req, set);
    } catch (...) {
        status = kStatusNoMemory;
    }
    if (status < 0)
        release(*req);
    return status;
}
