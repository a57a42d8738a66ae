// DetectSlantAndSizeEx and its dispatching strategies. The strategy object travels in the caller's record
// between band calls; each command is routed to one virtual step, so a method only overrides what differs.
#include "DetectSize/DetectSlantAndSizeEx_OneRadiate2.h"

#include "DetectSize/DetectSlantAndSizeStrategies.h"
#include "OvkError.h"

#include <memory>
#include <new>

using namespace Ovk::DetectSize;

namespace Ovk::DetectSize {

std::uint32_t CDetectSlantAndSizeBase::Proc(ImageRec image, DetectRec rec) {
    std::uint32_t command = rec->ulCommand;
    // A whole-image command counts as one only directly after initialisation; otherwise it fetches results.
    if (command == 5 && m_lastCommand != 0)
        command = 6;
    std::uint32_t status = kIpBadParameter;
    switch (command) {
    case 0:
        status = InitProc(image, rec);
        break;
    case 1:
        status = FirstProc(image, rec);
        break;
    case 2:
        status = MidProc(image, rec);
        break;
    case 3:
        status = LastProc(image, rec);
        break;
    case 5:
        status = wholeImage(image, rec);
        if (status != 0)
            return status;
        break;
    case 6:
        status = ResultProc(image, rec);
        break;
    default:
        break;
    }
    m_lastCommand = rec->ulCommand;
    return status;
}

std::uint32_t CDetectSlantAndSizeBase::wholeImage(ImageRec image, DetectRec rec) {
    std::uint32_t status = FirstProc(image, rec);
    if (status == 0)
        status = LastProc(nullptr, rec);
    if (status == 0)
        status = ResultProc(image, rec);
    return status;
}

std::uint32_t CDetectSlantAndSize_OneRadiate::InitProc(ImageRec image, DetectRec rec) {
    if (rec->ulSize != kDetectSlantSizeExSingleSize)
        return kIpBadParameter;
    // Both side kinds look for the paper against the backing from the front.
    if (rec->ulSideKind > 1)
        return kIpNotImplemented;
    m_worker.reset();
    m_worker = std::make_unique<CDetectSlantAndSizeBackShadow>();
    return m_worker->InitProc(image, rec);
}

std::uint32_t CDetectSlantAndSize_OneRadiate::FirstProc(ImageRec image, DetectRec rec) {
    return m_worker ? m_worker->FirstProc(image, rec) : 1u;
}

std::uint32_t CDetectSlantAndSize_OneRadiate::MidProc(ImageRec image, DetectRec rec) {
    return m_worker ? m_worker->MidProc(image, rec) : 1u;
}

std::uint32_t CDetectSlantAndSize_OneRadiate::LastProc(ImageRec image, DetectRec rec) {
    return m_worker ? m_worker->LastProc(image, rec) : 1u;
}

std::uint32_t CDetectSlantAndSize_OneRadiate::ResultProc(ImageRec image, DetectRec rec) {
    return m_worker ? m_worker->ResultProc(image, rec) : 1u;
}

std::uint32_t CDetectSlantAndSize_OneRadiate_With_Duplex::InitProc(ImageRec image, DetectRec rec) {
    // A record too short for the duplex words is a single-side record.
    const bool duplex = rec->ulSize >= sizeof(tagDETECTSLANTSIZEEXBASIC) && rec->ulDuplex != 0;
    m_worker.reset();
    if (duplex) {
        m_worker = std::make_unique<CDetectSlantAndSize_OneRadiate_With_Duplex_Main>();
        return m_worker->InitProc(image, rec);
    }
    rec->ulSize = kDetectSlantSizeExSingleSize;
    return CDetectSlantAndSize_OneRadiate::InitProc(image, rec);
}

} // namespace Ovk::DetectSize

namespace {

std::unique_ptr<CDetectSlantAndSizeBase> make_strategy(std::uint32_t method) {
    if (method == kDetectMethodOneRadiate)
        return std::make_unique<CDetectSlantAndSize_OneRadiate>();
    if (method == kDetectMethodWithDuplex)
        return std::make_unique<CDetectSlantAndSize_OneRadiate_With_Duplex>();
    return nullptr;
}

std::uint32_t detect(tagOVKIMAGEINFO* image, tagDETECTSLANTSIZEEXBASIC* record) {
    if (record->ulCommand == 4)
        return ReleaseSlantSizeExHandle(record);
    if (record->ulCommand == 0 || record->pHandle == nullptr) {
        if (record->pHandle != nullptr)
            return kIpBadParameter;
        std::unique_ptr<CDetectSlantAndSizeBase> strategy = make_strategy(record->ulMethod);
        if (!strategy)
            return kIpNotImplemented;
        record->pHandle = strategy.release();
    }
    auto* strategy = static_cast<CDetectSlantAndSizeBase*>(record->pHandle);
    if (record->ulCommand >= 1 && record->ulCommand <= 3 && strategy->CanBandProcess() != 0)
        return kIpBadParameter;
    return strategy->Proc(image, record);
}

} // namespace

extern "C" uint32_t DetectSlantAndSizeEx(tagOVKIMAGEINFO* image, tagDETECTSLANTSIZEEXBASIC* record) {
    if (record == nullptr || record->ulSize < kDetectSlantSizeExMinSize)
        return kIpBadParameter;
    try {
        return detect(image, record);
    } catch (...) {
        return static_cast<uint32_t>(IpCaughtCode());
    }
}

extern "C" uint32_t ReleaseSlantSizeExHandle(tagDETECTSLANTSIZEEXBASIC* record) {
    if (record != nullptr && record->pHandle != nullptr) {
        std::unique_ptr<CDetectSlantAndSizeBase> owned(
            static_cast<CDetectSlantAndSizeBase*>(record->pHandle));
        record->pHandle = nullptr;
    }
    return 0;
}
