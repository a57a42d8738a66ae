// The K3100's capability set: its description table (merged over the generic set id by id), the table
// of its handlers, the list of settings the dialog resets, and the id redirection that sends a request
// to the back side's twin while the side selector says so.
#include <array>
#include <cstdint>
#include <utility>

#include "CapHelpers.h"
#include "ClientApp.h"
#include "FixedPoint.h"
#include "MeasurementUnits.h"
#include "OrvkQSDS.h"
#include "QSCapIds.h"
#include "SettingsBlob.h"

namespace {

using QS = COrvkQSDS;

constexpr TW_UINT32 kRW = 0;
constexpr TW_UINT32 kRO = 1;

constexpr TW_BOOL kFalse = 0;
constexpr TW_BOOL kTrue = 1;
constexpr TW_UINT16 kOne16 = 1;
constexpr TW_INT32 k0 = 0;
constexpr TW_INT32 k1 = 1;
constexpr TW_INT32 k2 = 2;
constexpr TW_INT32 k3 = 3;
constexpr TW_INT32 k4 = 4;
constexpr TW_INT32 k10 = 10;
constexpr TW_INT32 k128 = 128;
constexpr TW_INT32 kLetter = 9; // paper list id of US letter
constexpr TW_UINT32 kZeroU32 = 0;
constexpr float kOneFloat = 1.0f;
// Every string capability starts empty; one zero buffer of the largest item serves all sizes.
constexpr std::uint8_t kEmptyString[256] = {};

// Lengths in 1/1200 inch: 8.5 by 14 inches of paper path, 0.21 inch the smallest page side.
constexpr float kPhysicalHeight = 16800;
constexpr float kPhysicalWidth = 10208;
constexpr float kMinimumSide = 252;

constexpr float kResolutions[] = {150, 200, 300, 400, 600};
constexpr SCapEnumInit kResolution{std::size(kResolutions), kResolutions, 1, 1};
constexpr float kNativeResolutions[] = {300, 600};
constexpr SCapEnumInit kNativeResolution{std::size(kNativeResolutions), kNativeResolutions, 0, 0};
// TWSS_NONE: a frame that is no paper's whole page.
constexpr TW_UINT16 kSizes[] = {TWSS_A4, TWSS_JISB5, TWSS_USLETTER, TWSS_USLEGAL, TWSS_A5,
                                TWSS_A6, 39,         TWSS_NONE};
constexpr SCapEnumInit kSupportedSizes{std::size(kSizes), kSizes, 0, 0};
constexpr std::uint8_t kHalftoneNames[2][34] = {
    {4, 'N', 'o', 'n', 'e'},
    {15, 'E', 'r', 'r', 'o', 'r', ' ', 'D', 'i', 'f', 'f', 'u', 's', 'i', 'o', 'n'},
};
constexpr SCapEnumInit kHalftones{2, kHalftoneNames, 0, 0};

// Ranges: current, default, maximum, minimum, step.
constexpr float kThreshold[] = {128, 128, 255, 0, 1};
constexpr float kBrightness[] = {0, 0, 1000, -1000, 1000.0f / 127};
constexpr float kContrast[] = {0, 0, 1000, -1000, 1000.0f / 3};

constexpr SMakeCapDesc OneValue(TW_UINT16 id, TW_UINT16 itemType, const void* initial, TW_UINT32 ro = kRW) {
    return {id, TWON_ONEVALUE, itemType, 0, initial, ro};
}
constexpr SMakeCapDesc Int32(TW_UINT16 id, const TW_INT32& initial) {
    return OneValue(id, TWTY_INT32, &initial);
}

} // namespace

const SMakeCapDesc COrvkQSDS::sQSDSCapDesc[] = {
    OneValue(CAP_DUPLEXENABLED, TWTY_BOOL, &kFalse),
    OneValue(CAP_DUPLEX, TWTY_UINT16, &kOne16, kRO),
    OneValue(CAP_FEEDERENABLED, TWTY_BOOL, &kTrue),
    OneValue(CAP_FEEDERLOADED, TWTY_BOOL, &kTrue, kRO),
    OneValue(CAP_AUTOFEED, TWTY_BOOL, &kFalse),
    OneValue(CAP_AUTOSCAN, TWTY_BOOL, &kFalse),
    OneValue(CAP_PAPERDETECTABLE, TWTY_BOOL, &kTrue, kRO),
    OneValue(ICAP_PHYSICALHEIGHT, TWTY_FLOAT32, &kPhysicalHeight, kRO),
    OneValue(ICAP_PHYSICALWIDTH, TWTY_FLOAT32, &kPhysicalWidth, kRO),
    OneValue(ICAP_MINIMUMWIDTH, TWTY_FLOAT32, &kMinimumSide, kRO),
    OneValue(ICAP_MINIMUMHEIGHT, TWTY_FLOAT32, &kMinimumSide, kRO),
    {ICAP_XRESOLUTION, TWON_ENUMERATION, TWTY_FLOAT32, 0, &kResolution, kRW},
    {ICAP_YRESOLUTION, TWON_ENUMERATION, TWTY_FLOAT32, 0, &kResolution, kRW},
    {ICAP_XNATIVERESOLUTION, TWON_ENUMERATION, TWTY_FLOAT32, 0, &kNativeResolution, kRO},
    {ICAP_YNATIVERESOLUTION, TWON_ENUMERATION, TWTY_FLOAT32, 0, &kNativeResolution, kRO},
    {ICAP_SUPPORTEDSIZES, TWON_ENUMERATION, TWTY_UINT16, 0, &kSupportedSizes, kRW},
    {ICAP_HALFTONES, TWON_ENUMERATION, TWTY_STR32, 0, &kHalftones, kRW},
    OneValue(ICAP_AUTOMATICDESKEW, TWTY_BOOL, &kFalse),
    {ICAP_THRESHOLD, TWON_RANGE, TWTY_FLOAT32, 0, kThreshold, kRW},
    OneValue(ICAP_MAXFRAMES, TWTY_UINT16, &kOne16, kRO),
    Int32(CCAP_OVK_TEXTENHANCE, k0),
    Int32(CCAP_OVK_TEXTENHANCE_BRIGHTNESS, k128),
    Int32(CCAP_OVK_TEXTENHANCE_CONTRAST, k128),
    Int32(CCAP_OVKM_UNIT, k1),
    Int32(CCAP_OVKM_CUSTOM_SCANAREA, k0),
    Int32(CCAP_OVK_MARGINLENGTH, k0),
    Int32(CCAP_OVK_DETECTPAGETYPE, k0),
    Int32(CCAP_OVK_DETECTPAGETYPE_THRESHOLD, k2),
    Int32(CCAP_OVK_DETECTPAGETYPE_AMOUNT, k2),
    Int32(CCAP_OVKM_DETECTPAGETYPE_BWMODE, k0),
    Int32(CCAP_OVK_BLANKSKIPSLICE3, k10),
    Int32(CCAP_OVKM_PAPERSIZE, kLetter),
    Int32(CCAP_OVK_DETECTPAGESIZE, k0),
    OneValue(CCAP_OVKM_CUSTOMPAGESIZENAME, TWTY_STR64, kEmptyString),
    Int32(CCAP_OVK_BLANKSKIP, k0),
    Int32(CCAP_OVK_FOLDLARGESIZE, k0),
    Int32(CCAP_OVK_DESKEW, k0),
    Int32(CCAP_OVK_REDUCE_MOIRE, k1),
    {ICAP_BRIGHTNESS, TWON_RANGE, TWTY_FLOAT32, 0, kBrightness, kRW},
    OneValue(CCAP_OVKM_BACKBRIGHTNESSENABLED, TWTY_BOOL, &kFalse),
    {BackTwin(ICAP_BRIGHTNESS), TWON_RANGE, TWTY_FLOAT32, 0, kBrightness, kRW},
    {ICAP_CONTRAST, TWON_RANGE, TWTY_FLOAT32, 0, kContrast, kRW},
    OneValue(CCAP_OVKM_BACKCONTRASTENABLED, TWTY_BOOL, &kFalse),
    {BackTwin(ICAP_CONTRAST), TWON_RANGE, TWTY_FLOAT32, 0, kContrast, kRW},
    Int32(CCAP_OVK_EDGEEMPHASIS, k3),
    Int32(CCAP_OVK_DATAORIENTATION, k1),
    Int32(CCAP_OVK_REVERSESCANTYPE, k0),
    Int32(CCAP_OVK_RECOGNIZE_DIRECTION, k0),
    Int32(CCAP_OVK_BLEEDTHROUGH, k0),
    Int32(CCAP_OVK_BLEEDTHROUGH_THRESHOLD, k4),
    Int32(CCAP_OVK_DROPOUT, k0),
    Int32(CCAP_OVK_COLORENHANCE, k0),
    Int32(BackTwin(CCAP_OVK_DROPOUT), k0),
    Int32(BackTwin(CCAP_OVK_COLORENHANCE), k0),
    Int32(CCAP_OVK_FEEDER_JAMLESS, k0),
    Int32(CCAP_OVK_DETECTDBLFEED_LENGTH, k0),
    Int32(CCAP_OVK_DETECTDBLFEED_ULTRASONIC, k0),
    Int32(CCAP_OVK_MANUALFEED, k0),
    Int32(CCAP_OVK_AUTOSTARTDELAY, k0),
    Int32(CCAP_OVK_PRESCAN, k0),
    Int32(CCAP_OVK_WINDOW, k0),
    OneValue(CCAP_OVKM_GRAYCURVE, TWTY_STR255, kEmptyString),
    OneValue(CCAP_OVKM_REDCURVE, TWTY_STR255, kEmptyString),
    OneValue(CCAP_OVKM_GREENCURVE, TWTY_STR255, kEmptyString),
    OneValue(CCAP_OVKM_BLUECURVE, TWTY_STR255, kEmptyString),
    OneValue(CCAP_OVKM_GRAYGAMMA, TWTY_FLOAT32, &kOneFloat),
    OneValue(CCAP_OVKM_REDGAMMA, TWTY_FLOAT32, &kOneFloat),
    OneValue(CCAP_OVKM_GREENGAMMA, TWTY_FLOAT32, &kOneFloat),
    OneValue(CCAP_OVKM_BLUEGAMMA, TWTY_FLOAT32, &kOneFloat),
    OneValue(BackTwin(CCAP_OVKM_GRAYCURVE), TWTY_STR255, kEmptyString),
    OneValue(BackTwin(CCAP_OVKM_REDCURVE), TWTY_STR255, kEmptyString),
    OneValue(BackTwin(CCAP_OVKM_GREENCURVE), TWTY_STR255, kEmptyString),
    OneValue(BackTwin(CCAP_OVKM_BLUECURVE), TWTY_STR255, kEmptyString),
    OneValue(BackTwin(CCAP_OVKM_GRAYGAMMA), TWTY_FLOAT32, &kOneFloat),
    OneValue(BackTwin(CCAP_OVKM_REDGAMMA), TWTY_FLOAT32, &kOneFloat),
    OneValue(BackTwin(CCAP_OVKM_GREENGAMMA), TWTY_FLOAT32, &kOneFloat),
    OneValue(BackTwin(CCAP_OVKM_BLUEGAMMA), TWTY_FLOAT32, &kOneFloat),
    Int32(CCAP_OVKM_GAMMAMODE, k0),
    OneValue(CCAP_OVKM_GAMMAMETHOD, TWTY_UINT32, &kZeroU32),
    OneValue(CCAP_OVKM_CUSTOMGAMMANAME, TWTY_STR64, kEmptyString),
    OneValue(CCAP_OVKM_FAVORITENAME, TWTY_STR64, kEmptyString),
};
const std::size_t COrvkQSDS::QSDSCAPDESC_COUNT = std::size(sQSDSCapDesc);

const CDataSource::SCapHandlerRow COrvkQSDS::sQSDSCapHandlers[] = {
    {CAP_FEEDERENABLED, static_cast<CapHandler>(&QS::HandleFeederEnabled)},
    {ICAP_XRESOLUTION, static_cast<CapHandler>(&QS::HandleResolution)},
    {ICAP_YRESOLUTION, static_cast<CapHandler>(&QS::HandleResolution)},
    {ICAP_THRESHOLD, static_cast<CapHandler>(&QS::HandleThreshold)},
    {ICAP_MINIMUMWIDTH, &CDataSource::HandlePhysicalSize},
    {ICAP_MINIMUMHEIGHT, &CDataSource::HandlePhysicalSize},
    {CAP_XFERCOUNT, static_cast<CapHandler>(&QS::HandleXferCount)},
    {CAP_DEVICEEVENT, static_cast<CapHandler>(&QS::HandleDeviceEventSelection)},
    {CAP_DUPLEXENABLED, static_cast<CapHandler>(&QS::HandleDuplexEnabled)},
    {CAP_AUTOFEED, static_cast<CapHandler>(&QS::HandleAutoFeed)},
    {CAP_AUTOSCAN, static_cast<CapHandler>(&QS::HandleAutoFeed)},
    {ICAP_AUTOMATICDESKEW, static_cast<CapHandler>(&QS::HandleAutomaticDeskew)},
    {ICAP_SUPPORTEDSIZES, static_cast<CapHandler>(&QS::HandleSupportedSize)},
    {CCAP_OVKM_PAPERSIZE, static_cast<CapHandler>(&QS::HandleDocumentSize)},
    {CCAP_OVKM_SCANAREA_X, static_cast<CapHandler>(&QS::HandleScanArea)},
    {CCAP_OVKM_SCANAREA_Y, static_cast<CapHandler>(&QS::HandleScanArea)},
    {CCAP_OVKM_SCANAREA_WIDTH, static_cast<CapHandler>(&QS::HandleScanArea)},
    {CCAP_OVKM_SCANAREA_HEIGHT, static_cast<CapHandler>(&QS::HandleScanArea)},
    {ICAP_BRIGHTNESS, static_cast<CapHandler>(&QS::HandleToneSettings)},
    {ICAP_CONTRAST, static_cast<CapHandler>(&QS::HandleToneSettings)},
    {CCAP_OVK_DROPOUT, static_cast<CapHandler>(&QS::HandleToneSettings)},
    {CCAP_OVK_COLORENHANCE, static_cast<CapHandler>(&QS::HandleToneSettings)},
    {CCAP_OVKM_GRAYCURVE, static_cast<CapHandler>(&QS::HandleToneSettings)},
    {CCAP_OVKM_REDCURVE, static_cast<CapHandler>(&QS::HandleToneSettings)},
    {CCAP_OVKM_GREENCURVE, static_cast<CapHandler>(&QS::HandleToneSettings)},
    {CCAP_OVKM_BLUECURVE, static_cast<CapHandler>(&QS::HandleToneSettings)},
    {CCAP_OVKM_GRAYGAMMA, static_cast<CapHandler>(&QS::HandleToneSettings)},
    {CCAP_OVKM_REDGAMMA, static_cast<CapHandler>(&QS::HandleToneSettings)},
    {CCAP_OVKM_GREENGAMMA, static_cast<CapHandler>(&QS::HandleToneSettings)},
    {CCAP_OVKM_BLUEGAMMA, static_cast<CapHandler>(&QS::HandleToneSettings)},
};
const std::size_t COrvkQSDS::QSDSCAPHANDLERS_COUNT = std::size(sQSDSCapHandlers);

const COrvkQSDS::SUIRelatedCap COrvkQSDS::sUIRelatedCaps[] = {
    {0x0101, 0}, {0x1109, 0}, {0x806C, 0}, {0x8029, 0}, {0x806F, 1}, {0x806E, 1}, {0x8405, 1}, {0x8057, 0},
    {0x806B, 0}, {0x8400, 0}, {0x8000, 0}, {0x8401, 0}, {0x1118, 0}, {0x1119, 0}, {0x1013, 0}, {0x8037, 0},
    {0x8001, 0}, {0x8076, 1}, {0x800D, 0}, {0x8070, 1}, {0x0001, 1}, {0x1007, 1}, {0x8018, 0}, {0x1101, 0},
    {0x9901, 0}, {0x8404, 1}, {0x1103, 0}, {0x9903, 0}, {0x8403, 1}, {0x8418, 1}, {0x8419, 1}, {0x8410, 1},
    {0x8411, 1}, {0x8412, 1}, {0x8413, 1}, {0x8414, 1}, {0x8415, 1}, {0x8416, 1}, {0x8417, 1}, {0x8C10, 1},
    {0x8C11, 1}, {0x8C12, 1}, {0x8C13, 1}, {0x8C14, 1}, {0x8C15, 1}, {0x8C16, 1}, {0x8C17, 1}, {0x8009, 1},
    {0x8069, 1}, {0x800E, 1}, {0x803B, 0}, {0x8077, 1}, {0x8078, 1}, {0x8008, 1}, {0x8808, 1}, {0x8032, 1},
    {0x8832, 1}, {0x8068, 1}, {0x803F, 1}, {0x8040, 1}, {0x8003, 1}, {0x8004, 1}, {0xA000, 0}, {0xA001, 0},
    {0xA002, 0}, {0xA003, 0}, {0x8406, 1}, {0x8407, 1}, {0x8007, 1}, {0x8402, 1},
};
const std::size_t COrvkQSDS::sUIRelatedCapsCount = std::size(sUIRelatedCaps);

bool COrvkQSDS::SetupCapabilities() {
    if (!CDataSource::SetupCapabilities())
        return false;
    CCapPool own;
    if (!own.MakeCapabilities(std::span(sQSDSCapDesc, QSDSCAPDESC_COUNT)))
        return false;
    mCapPool->Merge(own);
    mCapPool->SetFlatteningFunction(FlattenCapabilities);
    mCapPool->SetUnflatteningFunction(UnflattenCapabilities);
    CCapability* supported = mCapPool->GetCapability(CAP_SUPPORTEDCAPS);
    if (!supported)
        return false;
    for (const SMakeCapDesc& row : sQSDSCapDesc) {
        if (row.capId < 0x8000)
            supported->WriteValue(row.capId);
    }
    // An application's selection of device events lasts for its session only, so it is no table row.
    mCapPool->AppendCapability(CAP_DEVICEEVENT, MakeDeviceEventSelection({}));
    supported->WriteValue(CAP_DEVICEEVENT);
    ApplyMeasurementDefaults();
    SetLinearCurves();
    LoadPaperList();
    ApplyDefaultPaper();
    return true;
}

CDataSource::CapHandler COrvkQSDS::GetCapHandler(TW_UINT16 capId) const {
    if (CapHandler handler = CDataSource::GetCapHandler(capId))
        return handler;
    for (std::size_t i = 0; i < QSDSCAPHANDLERS_COUNT; ++i) {
        if (sQSDSCapHandlers[i].capId == capId)
            return sQSDSCapHandlers[i].handler;
    }
    return nullptr;
}

TW_UINT16 COrvkQSDS::CapID(TW_UINT16 capId) {
    // For this one client the direction capability does not exist.
    if (capId == CCAP_OVK_RECOGNIZE_DIRECTION && CClientApp::CurrentId() == CClientApp::kScanModuleClient)
        return 0xFFFF;
    const CCapPool* pool = GetCapPool();
    if (GetCapSIntValue(pool, CCAP_OVK_WINDOW) == kWindowBack && pool->GetCapability(BackTwin(capId)))
        return BackTwin(capId);
    return capId;
}

void COrvkQSDS::ApplyMeasurementDefaults() {
    if (!fnd::UserMeasuresInCentimeters())
        return;
    constexpr std::int32_t kUnitCentimeters = 2;
    constexpr std::int32_t kPaperA4 = 0;
    for (const auto& [id, value] :
         {std::pair{CCAP_OVKM_UNIT, kUnitCentimeters}, std::pair{CCAP_OVKM_PAPERSIZE, kPaperA4}}) {
        CCapability* capability = mCapPool->GetCapability(id);
        capability->WriteValue(value, kCapDefault);
        capability->WriteValue(value, kCapCurrent);
    }
}

void COrvkQSDS::SetLinearCurves() {
    std::array<std::uint8_t, 256> linear{};
    MakeLinearTable(linear);
    for (TW_UINT16 front = CCAP_OVKM_GRAYCURVE; front <= CCAP_OVKM_BLUECURVE; ++front) {
        for (TW_UINT16 id : {front, BackTwin(front)}) {
            CCapability* curve = mCapPool->GetCapability(id);
            curve->SetValue(linear, kCapDefault);
            curve->SetValue(linear, kCapCurrent);
        }
    }
}
