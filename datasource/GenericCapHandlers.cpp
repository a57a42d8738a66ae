// Handlers shared by every data source of this family: physical sizes and the frame in the application's
// units (inches, centimetres, pixels) over lengths kept in 1/1200 inch, and pixel type and bit depth,
// which follow each other.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <optional>

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

constexpr float kCentimetresPerInch = 2.54f;

// A length (1/1200 inch) in the application's units; none for units without a conversion here. Inches
// and centimetres come from the length itself, so that a host reads the same at every resolution; pixels
// are the resolution's own, whole ones where asked.
std::optional<TW_FIX32> LengthInUnits(TW_UINT16 units, float length, float resolution, bool wholePixels) {
    switch (units) {
    case kUnitInches:
        return FloatToFix32(length / kCapLengthUnitsPerInch);
    case kUnitCentimeters:
        return FloatToFix32(length / kCapLengthUnitsPerInch * kCentimetresPerInch);
    case kUnitPixels: {
        const float pixels = length * resolution / kCapLengthUnitsPerInch;
        return FloatToFix32(wholePixels ? std::trunc(pixels) : pixels);
    }
    default:
        return std::nullopt;
    }
}

// An edge in the application's units as a length to the nearest 1/1200 inch, so that an edge read from
// a length gives that length back; below 0 it is 0.
float UnitsToLength(TW_UINT16 units, TW_FIX32 edge, float resolution) {
    float length = Fix32ToFloat(edge) * kCapLengthUnitsPerInch;
    if (units == kUnitCentimeters)
        length /= kCentimetresPerInch;
    else if (units == kUnitPixels)
        length /= resolution;
    return std::max(0.0f, std::round(length));
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
    const float left = ScanAreaValue(pool, CCAP_OVKM_SCANAREA_X, property);
    const float top = ScanAreaValue(pool, CCAP_OVKM_SCANAREA_Y, property);
    const float right = left + ScanAreaValue(pool, CCAP_OVKM_SCANAREA_WIDTH, property);
    const float bottom = top + ScanAreaValue(pool, CCAP_OVKM_SCANAREA_HEIGHT, property);
    const std::optional<TW_FIX32> leftEdge = LengthInUnits(units, left, xRes, false);
    const std::optional<TW_FIX32> topEdge = LengthInUnits(units, top, yRes, false);
    const std::optional<TW_FIX32> rightEdge = LengthInUnits(units, right, xRes, false);
    const std::optional<TW_FIX32> bottomEdge = LengthInUnits(units, bottom, yRes, false);
    if (!leftEdge || !topEdge || !rightEdge || !bottomEdge)
        return false;
    frame = {*leftEdge, *topEdge, *rightEdge, *bottomEdge};
    return true;
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
    const auto units = static_cast<TW_UINT16>(GetCapUIntValue(pool, ICAP_UNITS));
    const std::optional<TW_FIX32> answer = LengthInUnits(units, size, resolution, true);
    if (!answer)
        return TWCC_SUCCESS;
    cap->ConType = TWON_ONEVALUE;
    cap->hContainer = OneValueContainer(TWTY_FIX32, *answer);
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
    const float left = UnitsToLength(units, frame.Left, xRes);
    const float top = UnitsToLength(units, frame.Top, yRes);
    const float right = UnitsToLength(units, frame.Right, xRes);
    const float bottom = UnitsToLength(units, frame.Bottom, yRes);
    if (right < left || bottom < top)
        return TWCC_BADVALUE;
    SetCapFloatValue(pool, CCAP_OVKM_SCANAREA_X, left);
    SetCapFloatValue(pool, CCAP_OVKM_SCANAREA_Y, top);
    SetCapFloatValue(pool, CCAP_OVKM_SCANAREA_WIDTH, right - left);
    SetCapFloatValue(pool, CCAP_OVKM_SCANAREA_HEIGHT, bottom - top);
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
