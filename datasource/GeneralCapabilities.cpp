// The capability set every data source of this family starts from, and the handlers that go with it.
// A scanner's own table is merged over this one id by id.
#include "CapIds.h"
#include "DataSource.h"

namespace {

using DS = CDataSource;

constexpr TW_INT16 kXferCountAll = -1;
constexpr TW_BOOL kTrue = 1;
constexpr TW_UINT16 kZero16 = 0;
constexpr TW_UINT16 kBitOrderMsbFirst = TWBO_MSBFIRST;
constexpr float kZeroFloat = 0.0f;
constexpr TW_INT32 kZero32 = 0;
constexpr TW_FRAME kZeroFrame{};

constexpr TW_UINT16 kSupportedCaps[] = {
    CAP_XFERCOUNT,          CAP_SUPPORTEDCAPS,
    CAP_UICONTROLLABLE,     ICAP_COMPRESSION,
    ICAP_PLANARCHUNKY,      ICAP_PHYSICALHEIGHT,
    ICAP_PHYSICALWIDTH,     ICAP_PIXELFLAVOR,
    ICAP_BITDEPTH,          ICAP_BITORDER,
    ICAP_PIXELTYPE,         ICAP_UNITS,
    ICAP_XFERMECH,          ICAP_XRESOLUTION,
    ICAP_YRESOLUTION,       CAP_DEVICEONLINE,
    CAP_INDICATORS,         ICAP_XNATIVERESOLUTION,
    ICAP_YNATIVERESOLUTION, CAP_ENABLEDSUIONLY,
    ICAP_IMAGEFILEFORMAT,   ICAP_FRAMES,
};
constexpr SCapListInit kSupportedCapsInit{std::size(kSupportedCaps), kSupportedCaps};

constexpr TW_UINT16 kChunky[] = {TWPC_CHUNKY};
constexpr SCapEnumInit kPlanarChunky{1, kChunky, 0, 0};
constexpr TW_UINT16 kBitDepths[] = {1, 8};
constexpr SCapEnumInit kBitDepth{2, kBitDepths, 0, 0};
constexpr TW_UINT16 kPixelTypes[] = {TWPT_BW, TWPT_GRAY, TWPT_RGB};
constexpr SCapEnumInit kPixelType{3, kPixelTypes, 0, 0};
constexpr TW_UINT16 kUnitList[] = {TWUN_INCHES, TWUN_CENTIMETERS, TWUN_PIXELS};
constexpr SCapEnumInit kUnits{3, kUnitList, 0, 0};
// TWSX_FILE is the standard file transfer (DAT_SETUPFILEXFER); TWSX_FILE2 names the file in the transfer.
constexpr TW_UINT16 kXferMechs[] = {TWSX_MEMORY, TWSX_NATIVE, TWSX_FILE2, TWSX_FILE};
constexpr SCapEnumInit kXferMech{4, kXferMechs, 0, 0};
constexpr float kResolutions[] = {300.0f};
constexpr SCapEnumInit kResolution{1, kResolutions, 0, 0};
constexpr TW_UINT16 kFileFormats[] = {TWFF_TIFF, TWFF_PICT, TWFF_JFIF};
// What the file transfer writes; TIFF first, as DAT_SETUPFILEXFER starts.
constexpr SCapEnumInit kFileFormat{3, kFileFormats, 0, 0};

constexpr TW_UINT32 kRW = 0;
constexpr TW_UINT32 kRO = 1;

} // namespace

const SMakeCapDesc CDataSource::sGeneralCapDesc[] = {
    {CAP_XFERCOUNT, TWON_ONEVALUE, TWTY_INT16, 0, &kXferCountAll, kRW},
    {CAP_SUPPORTEDCAPS, TWON_ARRAY, TWTY_UINT16, 0, &kSupportedCapsInit, kRO},
    {CAP_UICONTROLLABLE, TWON_ONEVALUE, TWTY_BOOL, 0, &kTrue, kRO},
    {ICAP_COMPRESSION, TWON_ONEVALUE, TWTY_UINT16, 0, &kZero16, kRO},
    {ICAP_PLANARCHUNKY, TWON_ENUMERATION, TWTY_UINT16, 0, &kPlanarChunky, kRO},
    {ICAP_PHYSICALHEIGHT, TWON_ONEVALUE, TWTY_FLOAT32, 0, &kZeroFloat, kRO},
    {ICAP_PHYSICALWIDTH, TWON_ONEVALUE, TWTY_FLOAT32, 0, &kZeroFloat, kRO},
    {ICAP_PIXELFLAVOR, TWON_ONEVALUE, TWTY_UINT16, 0, &kZero16, kRO},
    {ICAP_BITDEPTH, TWON_ENUMERATION, TWTY_UINT16, 0, &kBitDepth, kRW},
    {ICAP_BITORDER, TWON_ONEVALUE, TWTY_UINT16, 0, &kBitOrderMsbFirst, kRO},
    {ICAP_PIXELTYPE, TWON_ENUMERATION, TWTY_UINT16, 0, &kPixelType, kRW},
    {ICAP_UNITS, TWON_ENUMERATION, TWTY_UINT16, 0, &kUnits, kRW},
    {ICAP_XFERMECH, TWON_ENUMERATION, TWTY_UINT16, 0, &kXferMech, kRW},
    {ICAP_XRESOLUTION, TWON_ENUMERATION, TWTY_FLOAT32, 0, &kResolution, kRW},
    {ICAP_YRESOLUTION, TWON_ENUMERATION, TWTY_FLOAT32, 0, &kResolution, kRW},
    {CAP_DEVICEONLINE, TWON_ONEVALUE, TWTY_BOOL, 0, &kTrue, kRO},
    {CAP_INDICATORS, TWON_ONEVALUE, TWTY_BOOL, 0, &kTrue, kRW},
    {ICAP_XNATIVERESOLUTION, TWON_ENUMERATION, TWTY_FLOAT32, 0, &kResolution, kRO},
    {ICAP_YNATIVERESOLUTION, TWON_ENUMERATION, TWTY_FLOAT32, 0, &kResolution, kRO},
    {ICAP_FRAMES, TWON_ONEVALUE, TWTY_FRAME, 0, &kZeroFrame, kRW},
    {CAP_ENABLEDSUIONLY, TWON_ONEVALUE, TWTY_BOOL, 0, &kTrue, kRO},
    {ICAP_IMAGEFILEFORMAT, TWON_ENUMERATION, TWTY_UINT16, 0, &kFileFormat, kRW},
    {CCAP_OVKM_SCANAREA_X, TWON_ONEVALUE, TWTY_INT32, 0, &kZero32, kRW},
    {CCAP_OVKM_SCANAREA_Y, TWON_ONEVALUE, TWTY_INT32, 0, &kZero32, kRW},
    {CCAP_OVKM_SCANAREA_WIDTH, TWON_ONEVALUE, TWTY_INT32, 0, &kZero32, kRW},
    {CCAP_OVKM_SCANAREA_HEIGHT, TWON_ONEVALUE, TWTY_INT32, 0, &kZero32, kRW},
};
const std::size_t CDataSource::CAPDESC_COUNT = std::size(sGeneralCapDesc);

const CDataSource::SCapHandlerRow CDataSource::sGeneralCapHandlers[] = {
    {ICAP_PHYSICALHEIGHT, &DS::HandlePhysicalSize},
    {ICAP_PHYSICALWIDTH, &DS::HandlePhysicalSize},
    {ICAP_FRAMES, &DS::HandleCapFrames},
    {ICAP_PIXELTYPE, &DS::HandlePixelType},
    {ICAP_BITDEPTH, &DS::HandleBitDepth},
    {CAP_ENABLEDSUIONLY, &DS::HandleEnableDSUIOnly},
};
const std::size_t CDataSource::CAPHANDLERS_COUNT = std::size(sGeneralCapHandlers);

bool CDataSource::SetupCapabilities() {
    auto pool = std::make_unique<CCapPool>();
    if (!pool->MakeCapabilities(std::span(sGeneralCapDesc, CAPDESC_COUNT)))
        return false;
    mCapPool = std::move(pool);
    return true;
}
