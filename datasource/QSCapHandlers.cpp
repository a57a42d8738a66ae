// Handlers of the K3100's capabilities: each stores the application's value and then brings the
// capabilities that depend on it into line (resolutions together, feeding switches with the transfer
// count, threshold with brightness, both sides of the tone settings, the scan area with the paper).
// Dependent values are written only after the store succeeded, so a refused set changes nothing.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>

#include "CapHelpers.h"
#include "ClientApp.h"
#include "ContainerBlock.h"
#include "OrvkQSDS.h"
#include "QSCapIds.h"
#include "QSCapLimits.h"

namespace {

constexpr float kMoireResolution = 300; // dpi
// Threshold 0..255 spread over brightness -1000..1000: 2001/255 as a float.
constexpr float kThresholdToBrightness = 2001.0f / 255.0f;
constexpr float kBrightnessOffset = 1000;

TW_UINT16 Store(TW_CAPABILITY* cap, CCapability* capability) {
    return capability->AcceptsNativeContainer(cap->ConType, cap->hContainer);
}

// MSG_SET only: stores the application's value, claims the message and then lets follow() bring the
// dependent capabilities into line; a refused store is answered at once. Other messages pass through.
template <class Follow>
TW_UINT16 StoreThen(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability, bool& handled,
                    Follow follow) {
    if (msg != MSG_SET)
        return TWCC_SUCCESS;
    if (const TW_UINT16 code = Store(cap, capability))
        return code;
    handled = true;
    return follow();
}

std::int32_t PaperForSupportedSize(std::uint32_t size) {
    switch (size) {
    case TWSS_JISB5:
        return 5;
    case TWSS_USLETTER:
        return 9;
    case TWSS_USLEGAL:
        return 8;
    case TWSS_A5:
        return 1;
    case TWSS_A6:
        return 3;
    case 39: // JIS B6
        return 6;
    default:
        return 0; // A4
    }
}

// A one value of TWTY_UINT16 in the application's container, as one client sends the threshold.
bool ReadUInt16OneValue(const TW_CAPABILITY* cap, TW_UINT16& value) {
    if (cap->ConType != TWON_ONEVALUE)
        return false;
    const CContainerBlock block(cap->hContainer, TWON_ONEVALUE);
    TW_UINT16 itemType = 0;
    return block.Read(0, itemType) && itemType == TWTY_UINT16 &&
           block.Read(offsetof(TW_ONEVALUE, Item), value);
}

} // namespace

TW_UINT16 COrvkQSDS::HandleFeederEnabled(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                         bool& handled) {
    return StoreThen(msg, cap, capability, handled, [this] {
        if (GetCapUIntValue(GetCapPool(), CAP_FEEDERENABLED) == 0) {
            SetCapUIntValue(GetCapPool(), CAP_AUTOFEED, 0);
            SetCapUIntValue(GetCapPool(), CAP_AUTOSCAN, 0);
        }
        return TWCC_SUCCESS;
    });
}

TW_UINT16 COrvkQSDS::HandleResolution(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                      bool& handled) {
    return StoreThen(msg, cap, capability, handled, [this, cap, capability] {
        CCapPool* pool = GetCapPool();
        float resolution = 0;
        capability->ReadValue(resolution);
        const TW_UINT16 other = cap->Cap == ICAP_XRESOLUTION ? ICAP_YRESOLUTION : ICAP_XRESOLUTION;
        if (GetCapFloatValue(pool, other) != resolution)
            SetCapFloatValue(pool, other, resolution);
        // Moire reduction must be on above the native 300 dpi; at 300 dpi its mode 2 becomes mode 3.
        if (resolution > kMoireResolution)
            SetCapSIntValue(pool, CCAP_OVK_REDUCE_MOIRE, 1);
        else if (resolution == kMoireResolution && GetCapSIntValue(pool, CCAP_OVK_REDUCE_MOIRE) == 2)
            SetCapSIntValue(pool, CCAP_OVK_REDUCE_MOIRE, 3);
        return TWCC_SUCCESS;
    });
}

std::optional<float> COrvkQSDS::ShownThreshold(TW_UINT16 brightnessId) {
    const CCapPool* pool = GetCapPool();
    const float step = GetCapStepSize(pool, brightnessId);
    if (!(step > 0))
        return std::nullopt;
    return std::trunc((GetCapFloatValue(pool, brightnessId) + kBrightnessOffset) / step + 1.5f);
}

TW_UINT16 COrvkQSDS::HandleThreshold(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                     bool& handled) {
    CCapPool* pool = GetCapPool();
    if (msg == MSG_GET) {
        // The threshold is shown as the brightness of the side the selector names.
        if (const std::optional<float> shown = ShownThreshold(CapID(ICAP_BRIGHTNESS)))
            SetCapFloatValue(pool, ICAP_THRESHOLD, *shown);
        return TWCC_SUCCESS;
    }
    if (msg != MSG_SET)
        return TWCC_SUCCESS;
    handled = true;
    // Only black and white uses a threshold; elsewhere the set succeeds without effect.
    if (GetCapUIntValue(pool, ICAP_PIXELTYPE) != TWPT_BW)
        return TWCC_SUCCESS;
    if (const TW_UINT16 code = Store(cap, capability)) {
        TW_UINT16 value = 0;
        const bool plainInteger =
            CClientApp::CurrentId() == CClientApp::kBridgeClient && ReadUInt16OneValue(cap, value);
        if (!plainInteger)
            return code;
        if (!capability->WriteValue(value))
            return TWCC_BADVALUE;
    }
    float threshold = 0;
    capability->ReadValue(threshold);
    // Threshold 255 maps just past the brightness range; it means the brightest setting.
    const float brightness =
        std::min(kBrightnessOffset, std::trunc(threshold * kThresholdToBrightness - kBrightnessOffset));
    // The brightness and the threshold scale are not each other's inverse: a side that already shows the
    // threshold keeps its brightness, which would otherwise move a step with every write of it.
    for (const TW_UINT16 side : {ICAP_BRIGHTNESS, BackTwin(ICAP_BRIGHTNESS)}) {
        if (ShownThreshold(side) != threshold)
            SetCapFloatValue(pool, side, brightness);
    }
    return TWCC_SUCCESS;
}

TW_UINT16 COrvkQSDS::HandleDocumentSize(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                        bool& handled) {
    CCapPool* pool = GetCapPool();
    const std::int32_t oldPaper = GetCapSIntValue(pool, CCAP_OVKM_PAPERSIZE);
    return StoreThen(msg, cap, capability, handled, [this, pool, oldPaper] {
        const SScanSize paper = GetCurrentPaperSize();
        // An empty scan area (nothing stored yet) follows the paper even when the paper did not change.
        const bool areaEmpty = GetCapFloatValue(pool, CCAP_OVKM_SCANAREA_WIDTH) <= 0 ||
                               GetCapFloatValue(pool, CCAP_OVKM_SCANAREA_HEIGHT) <= 0;
        const bool unchanged = GetCapSIntValue(pool, CCAP_OVKM_PAPERSIZE) == oldPaper;
        if (!unchanged || paper.width == 0 || paper.height == 0 || areaEmpty)
            SetScanArea(0, 0, paper.width, paper.height);
        return TWCC_SUCCESS;
    });
}

TW_UINT16 COrvkQSDS::HandleScanArea(TW_UINT16 msg, TW_CAPABILITY*, CCapability*, bool& handled) {
    // Without a custom area the area follows the paper, so a set is accepted and ignored.
    if (msg == MSG_SET && GetCapSIntValue(GetCapPool(), CCAP_OVKM_CUSTOM_SCANAREA) == 0)
        handled = true;
    return TWCC_SUCCESS;
}

TW_UINT16 COrvkQSDS::HandleToneSettings(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability*, bool&) {
    if (msg != MSG_SET || GetCapSIntValue(GetCapPool(), CCAP_OVK_WINDOW) != kWindowBoth)
        return TWCC_SUCCESS;
    // Both sides: the back twin takes the same value first; the generic path then stores the front.
    CCapability* twin = GetCapPool()->GetCapability(BackTwin(cap->Cap));
    return twin ? Store(cap, twin) : TWCC_SUCCESS;
}

TW_UINT16 COrvkQSDS::SupportedSizeForPaper(std::int32_t paper) {
    switch (paper) {
    case 0:
        return TWSS_A4;
    case 1:
        return TWSS_A5;
    case 3:
        return TWSS_A6;
    case 5:
        return TWSS_JISB5;
    case 6:
        return 39;
    case 8:
        return TWSS_USLEGAL;
    case 9:
        return TWSS_USLETTER;
    default:
        return TWSS_NONE;
    }
}

TW_UINT16 COrvkQSDS::HandleSupportedSize(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                         bool& handled) {
    CCapPool* pool = GetCapPool();
    if (msg == MSG_GET) {
        SetCapUIntValue(pool, ICAP_SUPPORTEDSIZES, FrameSupportedSize());
        return TWCC_SUCCESS;
    }
    return StoreThen(msg, cap, capability, handled, [this, pool] {
        const std::uint32_t size = GetCapUIntValue(pool, ICAP_SUPPORTEDSIZES);
        // No size names no page: the frame stays as it is.
        if (size == TWSS_NONE)
            return TWCC_SUCCESS;
        SetCapSIntValue(pool, CCAP_OVKM_PAPERSIZE, PaperForSupportedSize(size));
        // The new paper brings its whole page as the scan area, whether or not the paper id changed.
        const SScanSize paper = GetCurrentPaperSize();
        SetScanArea(0, 0, paper.width, paper.height);
        return TWCC_SUCCESS;
    });
}

TW_UINT16 COrvkQSDS::HandleXferCount(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                     bool& handled) {
    CCapPool* pool = GetCapPool();
    const std::int32_t oldCount = GetCapSIntValue(pool, CAP_XFERCOUNT);
    return StoreThen(msg, cap, capability, handled, [pool, oldCount]() -> TW_UINT16 {
        const std::int32_t count = GetCapSIntValue(pool, CAP_XFERCOUNT);
        if (!IsWithinCapLimits(CAP_XFERCOUNT, count)) {
            SetCapSIntValue(pool, CAP_XFERCOUNT, oldCount);
            return TWCC_BADVALUE;
        }
        if (count == -1) {
            SetCapUIntValue(pool, CAP_DUPLEXENABLED, 0);
        } else {
            SetCapUIntValue(pool, CAP_AUTOFEED, 0);
            SetCapUIntValue(pool, CAP_AUTOSCAN, 0);
        }
        return TWCC_SUCCESS;
    });
}

TW_UINT16 COrvkQSDS::HandleDuplexEnabled(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                         bool& handled) {
    return StoreThen(msg, cap, capability, handled, [pool = GetCapPool()] {
        if (GetCapUIntValue(pool, CAP_DUPLEXENABLED) != 0 && GetCapSIntValue(pool, CAP_XFERCOUNT) == 1)
            SetCapSIntValue(pool, CAP_XFERCOUNT, -1);
        return TWCC_SUCCESS;
    });
}

TW_UINT16 COrvkQSDS::HandleAutoFeed(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                    bool& handled) {
    // A refused store is left to the generic path, which reports it.
    if (msg != MSG_SET || Store(cap, capability) != TWCC_SUCCESS)
        return TWCC_SUCCESS;
    handled = true;
    CCapPool* pool = GetCapPool();
    std::uint32_t on = 0;
    capability->ReadValue(on);
    if (on)
        SetCapSIntValue(pool, CAP_XFERCOUNT, -1);
    SetCapUIntValue(pool, CAP_AUTOFEED, on);
    SetCapUIntValue(pool, CAP_AUTOSCAN, on);
    return TWCC_SUCCESS;
}

TW_UINT16 COrvkQSDS::HandleAutomaticDeskew(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                           bool& handled) {
    CCapPool* pool = GetCapPool();
    if (msg == MSG_GET) {
        SetCapUIntValue(pool, ICAP_AUTOMATICDESKEW, GetCapUIntValue(pool, CCAP_OVK_DESKEW));
        return TWCC_SUCCESS;
    }
    return StoreThen(msg, cap, capability, handled, [pool] {
        SetCapUIntValue(pool, CCAP_OVK_DESKEW, GetCapUIntValue(pool, ICAP_AUTOMATICDESKEW));
        return TWCC_SUCCESS;
    });
}

TW_UINT16 COrvkQSDS::HandleCapFrames(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                     bool& handled) {
    // Many hosts send the frame back as they read it before every scan: that is no frame of their own,
    // and changes nothing.
    const bool asShown = msg == MSG_SET && ShowsFrame(cap);
    const TW_UINT16 code = CDataSource::HandleCapFrames(msg, cap, capability, handled);
    if (code != TWCC_SUCCESS || msg != MSG_SET || asShown)
        return code;
    CCapPool* pool = GetCapPool();
    const SScanSize paper = GetCurrentPaperSize();
    if (GetCapFloatValue(pool, CCAP_OVKM_SCANAREA_WIDTH) > paper.width ||
        GetCapFloatValue(pool, CCAP_OVKM_SCANAREA_HEIGHT) > paper.height)
        SetCapSIntValue(pool, CCAP_OVKM_PAPERSIZE, kPaperFreeArea);
    SetCapSIntValue(pool, CCAP_OVKM_CUSTOM_SCANAREA, 1);
    // A frame of the application's own replaces every automatic sizing of the page.
    for (TW_UINT16 id : {CCAP_OVK_DESKEW, ICAP_AUTOMATICDESKEW, CCAP_OVK_DETECTPAGESIZE,
                         CCAP_OVK_RECOGNIZE_DIRECTION, CCAP_OVK_FOLDLARGESIZE})
        SetCapUIntValue(pool, id, 0);
    return TWCC_SUCCESS;
}
