// Workers behind DetectSlantAndSizeEx: the single-side one translates the record into DetectSlantAndSize
// requests, the duplex one drives CDetectSizeWithDuplex for both sides and maps its statuses.
#include "DetectSize/DetectSlantAndSizeStrategies.h"

#include "OvkError.h"

#include <algorithm>

namespace Ovk::DetectSize {

namespace {

constexpr std::uint32_t kMaskRect = 1, kMaskCorners = 2, kMaskSlant = 4;

CImg::tagIMGSET to_set(const tagOVKIMAGEINFO* image) {
    CImg::tagIMGSET set{};
    Convert_OVKIMAGEINFOtoIMGSET(image, set);
    return set;
}

bool duplex_sized(DetectRec rec) {
    return rec->ulSize >= sizeof(tagDETECTSLANTSIZEEXBASIC);
}

} // namespace

std::uint32_t map_status(std::int32_t status) {
    if (status >= 0)
        return 0;
    const std::uint32_t s = static_cast<std::uint32_t>(status);
    return ((s >> 16) & 0x1FFFu) == 7 ? (s & 0xFFFFu) : static_cast<std::uint32_t>(kIpNotEnoughMemory);
}

void write_side(tagDETECTSLANTSIZESIDE& out, std::uint32_t mask, const std::int32_t rect[4],
                const std::int32_t corners[8], const std::int32_t slant[2]) {
    if (mask & kMaskRect) {
        out.lLeft = rect[0];
        out.lTop = rect[1];
        out.lWidth = rect[2] - rect[0];
        out.lHeight = rect[3] - rect[1];
    }
    if (mask & kMaskCorners)
        std::copy_n(corners, 8, out.lCorner);
    if (mask & kMaskSlant)
        std::copy_n(slant, 2, out.lSlant);
}

CDetectSlantAndSizeBackShadow::~CDetectSlantAndSizeBackShadow() {
    m_req.ulCommand = 4;
    DetectSlantAndSize(nullptr, &m_req);
}

void CDetectSlantAndSizeBackShadow::copyInputs(const tagDETECTSLANTSIZEEXBASIC& rec) {
    std::copy_n(rec.lRefPoint, 4, m_req.lRefPoint);
    m_req.lPaperSize[0] = rec.lResultOption[0];
    m_req.lPaperSize[1] = rec.lResultOption[1];
    m_req.lTopMargin = rec.lResultOption[2];
    m_req.lReserved = rec.lResultOption[3];
    m_req.lSideMargin[0] = rec.lResultOption[4];
    m_req.lSideMargin[1] = rec.lResultOption[5];
}

std::uint32_t CDetectSlantAndSizeBackShadow::InitProc(ImageRec image, DetectRec rec) {
    m_req.ulSize = sizeof(m_req);
    copyInputs(*rec);
    return run(image, 0);
}

std::uint32_t CDetectSlantAndSizeBackShadow::run(ImageRec image, std::uint32_t command) {
    m_req.ulCommand = command;
    return static_cast<std::uint32_t>(DetectSlantAndSize(image, &m_req));
}

std::uint32_t CDetectSlantAndSizeBackShadow::ResultProc(ImageRec image, DetectRec rec) {
    if (rec->ulSize < kDetectSlantSizeExSingleSize)
        return kIpBadParameter;
    copyInputs(*rec);
    std::uint32_t status = run(image, 5);
    if (status != 0)
        return status;
    status = run(image, 4);
    if (status != 0)
        return status;
    write_side(rec->front, rec->ulResultMask, m_req.lRect, m_req.lCorner, m_req.lSlant);
    return 0;
}

std::uint32_t CDetectSlantAndSize_OneRadiate_With_Duplex_Main::InitProc(ImageRec image, DetectRec rec) {
    if (!duplex_sized(rec))
        return kIpBadParameter;
    m_detector.reset();
    m_detector = std::make_unique<CDetectSizeWithDuplex>();
    m_frontRes = to_set(image);
    m_backRes = to_set(rec->pBackImage);
    CDetectSizeWithDuplex::tagOPTION option{};
    option.size = sizeof(option);
    set_ref_points(option, rec->lRefPoint);
    option.reserved11 = option.reserved12 = option.cornerMargin = option.endTrim = -1;
    option.lineOffset = rec->lSensorOffset;
    return map_status(m_detector->Initialize(m_frontRes, m_backRes, option));
}

std::uint32_t CDetectSlantAndSize_OneRadiate_With_Duplex_Main::FirstProc(ImageRec image, DetectRec rec) {
    return band(image, rec, Band::First);
}

std::uint32_t CDetectSlantAndSize_OneRadiate_With_Duplex_Main::MidProc(ImageRec image, DetectRec rec) {
    return band(image, rec, Band::Mid);
}

std::uint32_t CDetectSlantAndSize_OneRadiate_With_Duplex_Main::LastProc(ImageRec image, DetectRec rec) {
    return band(image, rec, Band::Last);
}

std::uint32_t CDetectSlantAndSize_OneRadiate_With_Duplex_Main::band(ImageRec image, DetectRec rec,
                                                                    Band which) {
    if (!m_detector || !duplex_sized(rec))
        return kIpBadParameter;
    const CImg::tagIMGSET front = to_set(image), back = to_set(rec->pBackImage);
    switch (which) {
    case Band::First:
        return map_status(m_detector->first(front, back));
    case Band::Mid:
        return map_status(m_detector->mid(front, back));
    default:
        return map_status(m_detector->last(front, back));
    }
}

std::uint32_t CDetectSlantAndSize_OneRadiate_With_Duplex_Main::ResultProc(ImageRec, DetectRec rec) {
    if (!m_detector || !duplex_sized(rec))
        return kIpBadParameter;
    const std::uint32_t status = side(rec, true, rec->front);
    return status != 0 ? status : side(rec, false, rec->back);
}

std::uint32_t CDetectSlantAndSize_OneRadiate_With_Duplex_Main::side(DetectRec rec, bool front,
                                                                    tagDETECTSLANTSIZESIDE& out) {
    CDetectSizeWithDuplex::tagOPTION option{};
    option.size = sizeof(option);
    option.reserved5 = rec->lResultOption[0];
    option.paperLength = rec->lResultOption[1];
    option.reserved7 = rec->lResultOption[3];
    option.topMargin = rec->lResultOption[2];
    option.leftMargin = rec->lResultOption[4];
    option.rightMargin = rec->lResultOption[5];
    option.side = front ? 1 : 0;
    tagDETECTSIZEINFO info{};
    info.size = sizeof(info);
    const std::int32_t status = m_detector->result(info, option);
    if (status < 0)
        return map_status(status);
    const CImg::tagIMGSET& res = front ? m_frontRes : m_backRes;
    std::int32_t corners[8];
    order_corners(info, res.xdpi, res.ydpi, corners);
    const std::int32_t rect[4] = {info.xmin, info.ymin, info.xmax, info.ymax};
    const std::int32_t slant[2] = {info.a, info.b};
    write_side(out, rec->ulResultMask, rect, corners, slant);
    return 0;
}

} // namespace Ovk::DetectSize
