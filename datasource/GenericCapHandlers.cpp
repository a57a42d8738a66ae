// Handlers shared by every data source of this family: physical sizes and the frame in the application's
// units (inches, centimetres, pixels) over lengths kept in 1/1200 inch, and pixel type and bit depth,
// which follow each other.
#include <cmath>
#include <cstddef>
#include <cstring>

#include "CapHelpers.h"
#include "CapIds.h"
#include "ContainerBlock.h"
#include "DataSource.h"
#include "FixedPoint.h"
#include "UIController.h"

namespace {

constexpr TW_UINT16 kUnitInches = TWUN_INCHES;
constexpr TW_UINT16 kUnitCentimeters = TWUN_CENTIMETERS;
constexpr TW_UINT16 kUnitPixels = TWUN_PIXELS;
constexpr std::size_t kFrameOffset = offsetof(TW_ONEVALUE, Item);

std::uint32_t Whole(float value) {
    return SaturateToUInt32(value);
}

// A pixel edge in the application's units; false for units without a conversion here.
bool PixelsToUnits(TW_UINT16 units, float pixels, float resolution, TW_FIX32& out) {
    switch (units) {
    case kUnitInches:
        out = PixelToInch(Whole(pixels), Whole(resolution));
        return true;
    case kUnitCentimeters:
        out = PixelToCm(Whole(pixels), Whole(resolution));
        return true;
    case kUnitPixels:
        out = FloatToFix32(pixels);
        return true;
    default:
        return false;
    }
}

float UnitsToPixels(TW_UINT16 units, TW_FIX32 edge, float resolution) {
    if (units == kUnitInches)
        return static_cast<float>(InchToPixel(edge, Whole(resolution)));
    if (units == kUnitCentimeters)
        return static_cast<float>(CmToPixel(edge, Whole(resolution)));
    return Fix32ToFloat(edge);
}

float ScanAreaValue(const CCapPool* pool, TW_UINT16 id, ECapProperty property) {
    float value = 0;
    if (const CCapability* capability = pool ? pool->GetCapability(id) : nullptr)
        capability->ReadValue(value, property);
    return value;
}

// The frame of the scan area's current or default values in the application's units; false for units
// without a conversion here.
bool ScanAreaFrame(const CCapPool* pool, ECapProperty property, TW_FRAME& frame) {
    const auto units = static_cast<TW_UINT16>(GetCapUIntValue(pool, ICAP_UNITS));
    const float xRes = GetCapFloatValue(pool, ICAP_XRESOLUTION);
    const float yRes = GetCapFloatValue(pool, ICAP_YRESOLUTION);
    const float left = xRes * ScanAreaValue(pool, CCAP_OVKM_SCANAREA_X, property) / kCapLengthUnitsPerInch;
    const float top = yRes * ScanAreaValue(pool, CCAP_OVKM_SCANAREA_Y, property) / kCapLengthUnitsPerInch;
    const float width =
        xRes * ScanAreaValue(pool, CCAP_OVKM_SCANAREA_WIDTH, property) / kCapLengthUnitsPerInch;
    const float height =
        yRes * ScanAreaValue(pool, CCAP_OVKM_SCANAREA_HEIGHT, property) / kCapLengthUnitsPerInch;
    return PixelsToUnits(units, left, xRes, frame.Left) && PixelsToUnits(units, top, yRes, frame.Top) &&
           PixelsToUnits(units, left + width, xRes, frame.Right) &&
           PixelsToUnits(units, top + height, yRes, frame.Bottom);
}

// The frame in the application's one value of TWTY_FRAME; false for any other container.
bool ReadFrame(const TW_CAPABILITY* cap, TW_FRAME& frame) {
    const CContainerBlock block(cap->hContainer, cap->ConType);
    TW_UINT16 itemType = 0;
    return cap->ConType == TWON_ONEVALUE && block.Read(0, itemType) && itemType == TWTY_FRAME &&
           block.Read(kFrameOffset, frame);
}

template <class T> TW_HANDLE OneValueContainer(TW_UINT16 itemType, const T& item) {
    TW_HANDLE container = NewContainer(TWON_ONEVALUE, itemType);
    CContainerBlock block(container, TWON_ONEVALUE);
    block.Write(kFrameOffset, item);
    return container;
}

} // namespace

TW_UINT16 CDataSource::HandlePhysicalSize(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                          bool& handled) {
    if (msg != MSG_GET)
        return TWCC_SUCCESS;
    const CCapPool* pool = mCapPool.get();
    const bool vertical = cap->Cap == ICAP_PHYSICALHEIGHT || cap->Cap == ICAP_MINIMUMHEIGHT;
    const float resolution = GetCapFloatValue(pool, vertical ? ICAP_YRESOLUTION : ICAP_XRESOLUTION);
    float size = 0;
    capability->ReadValue(size);
    const float pixels = size * resolution / kCapLengthUnitsPerInch;
    const auto units = static_cast<TW_UINT16>(GetCapUIntValue(pool, ICAP_UNITS));
    TW_FIX32 answer{};
    if (!PixelsToUnits(units, units == kUnitPixels ? std::trunc(pixels) : pixels, resolution, answer))
        return TWCC_SUCCESS;
    cap->ConType = TWON_ONEVALUE;
    cap->hContainer = OneValueContainer(TWTY_FIX32, answer);
    handled = true;
    return TWCC_SUCCESS;
}

TW_UINT16 CDataSource::HandleCapFrames(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                       bool& handled) {
    CCapPool* pool = mCapPool.get();
    const auto units = static_cast<TW_UINT16>(GetCapUIntValue(pool, ICAP_UNITS));
    const float xRes = GetCapFloatValue(pool, ICAP_XRESOLUTION);
    const float yRes = GetCapFloatValue(pool, ICAP_YRESOLUTION);
    if (msg == MSG_GET) {
        // The pool's own capability asks for the current frame; the temporary one value of
        // MSG_GETDEFAULT and MSG_RESET for the default one, which no setting of the frame moves.
        const ECapProperty property =
            capability == pool->GetCapability(ICAP_FRAMES) ? kCapCurrent : kCapDefault;
        TW_FRAME frame{};
        if (!ScanAreaFrame(pool, property, frame))
            return TWCC_SUCCESS;
        cap->ConType = TWON_ONEVALUE;
        cap->hContainer = OneValueContainer(TWTY_FRAME, frame);
        handled = true;
        return TWCC_SUCCESS;
    }
    if (msg != MSG_SET || (units != kUnitInches && units != kUnitCentimeters && units != kUnitPixels))
        return TWCC_SUCCESS;
    TW_FRAME frame{};
    if (!ReadFrame(cap, frame) || !(xRes > 0) || !(yRes > 0))
        return TWCC_BADVALUE;
    // The frame as it reads now names the scan area it was read from. Taken through whole pixels and
    // fixed point again it would come out a pixel short, and shrink with every such write.
    if (ShowsFrame(cap)) {
        handled = true;
        return TWCC_SUCCESS;
    }
    const float left = UnitsToPixels(units, frame.Left, xRes);
    const float top = UnitsToPixels(units, frame.Top, yRes);
    const float right = UnitsToPixels(units, frame.Right, xRes);
    const float bottom = UnitsToPixels(units, frame.Bottom, yRes);
    if (right < left || bottom < top)
        return TWCC_BADVALUE;
    SetCapFloatValue(pool, CCAP_OVKM_SCANAREA_X, left * kCapLengthUnitsPerInch / xRes);
    SetCapFloatValue(pool, CCAP_OVKM_SCANAREA_Y, top * kCapLengthUnitsPerInch / yRes);
    SetCapFloatValue(pool, CCAP_OVKM_SCANAREA_WIDTH, (right - left) * kCapLengthUnitsPerInch / xRes);
    SetCapFloatValue(pool, CCAP_OVKM_SCANAREA_HEIGHT, (bottom - top) * kCapLengthUnitsPerInch / yRes);
    handled = true;
    return TWCC_SUCCESS;
}

bool CDataSource::ShowsFrame(const TW_CAPABILITY* cap) const {
    TW_FRAME frame{};
    TW_FRAME shown{};
    return ReadFrame(cap, frame) && ScanAreaFrame(mCapPool.get(), kCapCurrent, shown) &&
           std::memcmp(&shown, &frame, sizeof frame) == 0;
}

TW_UINT16 CDataSource::HandlePixelType(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability, bool&) {
    if (msg != MSG_SET)
        return TWCC_SUCCESS;
    const TW_UINT16 code = capability->AcceptsNativeContainer(cap->ConType, cap->hContainer);
    std::uint32_t pixelType = 0;
    if (code == TWCC_SUCCESS && capability->ReadValue(pixelType) && pixelType <= TWPT_RGB)
        SetCapUIntValue(mCapPool.get(), ICAP_BITDEPTH, pixelType == TWPT_BW ? 1 : 8);
    return code;
}

TW_UINT16 CDataSource::HandleBitDepth(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability, bool&) {
    if (msg != MSG_SET)
        return TWCC_SUCCESS;
    if (const TW_UINT16 code = capability->AcceptsNativeContainer(cap->ConType, cap->hContainer))
        return code;
    std::uint32_t depth = 0;
    capability->ReadValue(depth);
    CCapPool* pool = mCapPool.get();
    if (depth == 8 && GetCapUIntValue(pool, ICAP_PIXELTYPE) == TWPT_BW)
        SetCapUIntValue(pool, ICAP_PIXELTYPE, TWPT_GRAY);
    else if (depth == 1)
        SetCapUIntValue(pool, ICAP_PIXELTYPE, TWPT_BW);
    return TWCC_SUCCESS;
}

// The dialog can be shown only where the host runs Qt's widgets; elsewhere an enable that asks for it is
// refused, so the answer says so beforehand, whichever value is asked for.
TW_UINT16 CDataSource::HandleEnableDSUIOnly(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability*, bool& handled) {
    if (msg != MSG_GET)
        return TWCC_SUCCESS;
    const TW_BOOL available = GetUIControllerFactory() ? 1 : 0;
    cap->ConType = TWON_ONEVALUE;
    cap->hContainer = OneValueContainer(TWTY_BOOL, available);
    handled = true;
    return TWCC_SUCCESS;
}

SScanSize CDataSource::GetScanSize(bool) {
    return {GetCapFloatValue(mCapPool.get(), CCAP_OVKM_SCANAREA_WIDTH),
            GetCapFloatValue(mCapPool.get(), CCAP_OVKM_SCANAREA_HEIGHT)};
}
