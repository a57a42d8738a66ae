// Command interfaces on the single-side detector, which lives in the caller's record from create to
// release (any failure releases it, so a record never holds a half-made one), and the straight-line one.
#include "DetectSize/OvkDetectSlantAndSize.h"

#include "DetectSize/DetectSize.h"
#include "DetectSize/DetectSizeStatus.h"
#include "DetectSize/OvkStraight.h"

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

CDetectSize::tagOPTION option_head() {
    CDetectSize::tagOPTION option{};
    option.size = sizeof(option);
    return option;
}

// The second interface's first four options: reserved, top, left and right margin.
void set_margins(CDetectSize::tagOPTION& option, const std::int32_t lOption[4]) {
    option.reserved7 = lOption[0];
    option.topMargin = lOption[1];
    option.leftMargin = lOption[2];
    option.rightMargin = lOption[3];
}

CDetectSize::tagOPTION init_option(const tagSLANTSIZEREQ& req) {
    CDetectSize::tagOPTION option = option_head();
    set_ref_points(option, req.lRefPoint);
    // Negative thresholds, margin and distance select the detector's defaults.
    option.edgeThreshold = option.trailThreshold = option.cornerMargin = option.distance = -1;
    return option;
}

CDetectSize::tagOPTION init_option(const tagSLANTSIZEINFO2& req) {
    CDetectSize::tagOPTION option = option_head();
    set_ref_points(option, req.lRefPoint);
    set_margins(option, req.lOption);
    option.edgeThreshold = req.lOption[4];
    option.trailThreshold = req.lOption[5];
    option.cornerMargin = req.lOption[6];
    option.distance = req.lOption[7];
    return option;
}

CDetectSize::tagOPTION result_option(const tagSLANTSIZEREQ& req) {
    CDetectSize::tagOPTION option = option_head();
    option.reserved5 = req.lPaperSize[0];
    option.paperLength = req.lPaperSize[1];
    option.topMargin = req.lTopMargin;
    option.reserved7 = req.lReserved;
    option.leftMargin = req.lSideMargin[0];
    option.rightMargin = req.lSideMargin[1];
    return option;
}

CDetectSize::tagOPTION result_option(const tagSLANTSIZEINFO2& req) {
    CDetectSize::tagOPTION option = option_head();
    option.reserved5 = req.lResultOption[0];
    option.paperLength = req.lResultOption[1];
    set_margins(option, req.lOption);
    return option;
}

// Resolutions for the corner order: the page's for the first interface, none (q = a) for the second.
CImg::tagIMGSET order_resolution(const tagSLANTSIZEREQ&, const CDetectSize& d) {
    return d.page();
}
CImg::tagIMGSET order_resolution(const tagSLANTSIZEINFO2&, const CDetectSize&) {
    return CImg::tagIMGSET{nullptr, 0, 0, 0, 1, 1, 0, 0};
}

template <class Req> CDetectSize* detector(const Req& req) {
    return static_cast<CDetectSize*>(req.pDetector);
}

template <class Req> void release(Req& req) {
    std::unique_ptr<CDetectSize> owned(detector(req));
    req.pDetector = nullptr;
}

template <class Req> std::int32_t create(Req& req, const CImg::tagIMGSET& set) {
    release(req);
    auto made = std::make_unique<CDetectSize>();
    const std::int32_t status = made->Initialize(set, init_option(req));
    req.pDetector = made.release();
    return status;
}

template <class Req> std::int32_t result(Req& req) {
    CDetectSize& d = *detector(req);
    tagDETECTSIZEINFO info{};
    info.size = sizeof(info);
    const std::int32_t status = d.result(info, result_option(req));
    if (status < 0)
        return status;
    const CImg::tagIMGSET res = order_resolution(req, d);
    order_corners(info, res.xdpi, res.ydpi, req.lCorner);
    req.lRect[0] = info.xmin;
    req.lRect[1] = info.ymin;
    req.lRect[2] = info.xmax;
    req.lRect[3] = info.ymax;
    req.lSlant[0] = info.a;
    req.lSlant[1] = info.b;
    return status;
}

template <class Req> std::int32_t run(Req& req, const CImg::tagIMGSET& set) {
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

template <class Req> std::int32_t command(tagOVKIMAGEINFO* image, Req* req) {
    if (req == nullptr || req->ulSize != sizeof(Req))
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

std::int32_t whole_page(tagOVKIMAGEINFO* image, tagSLANTSIZEINFO2& req) {
    CImg::tagIMGSET set{};
    Convert_OVKIMAGEINFOtoIMGSET(image, set);
    const std::unique_ptr<CImg> page = CImg::Set(set);
    const std::unique_ptr<CImg> grey = page ? page->gray() : nullptr;
    if (!grey)
        return kStatusNoMemory;
    tagSTRAIGHT top{}, bottom{}, left{}, right{};
    std::int32_t status = GetPaperLine(top, bottom, left, right, *grey);
    if (status == 0)
        status = CalcSlantFrom4Straight(top, bottom, left, right, req);
    return status;
}

} // namespace

extern "C" int32_t DetectSlantAndSize(tagOVKIMAGEINFO* image, tagSLANTSIZEREQ* req) {
    return command(image, req);
}

extern "C" int32_t DetectSlantAndSize2(tagOVKIMAGEINFO* image, tagSLANTSIZEINFO2* req) {
    return command(image, req);
}

extern "C" int32_t DetectSlantAndSize3(tagOVKIMAGEINFO* image, tagSLANTSIZEINFO2* req) {
    if (req == nullptr || req->ulSize != sizeof(tagSLANTSIZEINFO2))
        return kStatusBadRecord;
    try {
        return whole_page(image, *req);
    } catch (...) {
        return kStatusNoMemory;
    }
}
