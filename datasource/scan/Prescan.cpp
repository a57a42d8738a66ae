// The dialog's side of a scan: the dialog made without a scan, the parameters it receives, the prescan
// that fills its preview, and the final filter that gives a kept prescan page the settings chosen after
// it was scanned. A black-and-white prescan is made in grey so that the dialog can still change the
// binarisation of the kept page.
#include <array>

#include "COrvkQS.h"
#include "CapHelpers.h"
#include "OrvkQSDS.h"
#include "QSCapIds.h"
#include "ScannerErrors.h"
#include "scan/ScanSettings.h"

namespace {

// Capability values that a prescan changes for its own scan only.
class CPrescanSettings {
public:
    explicit CPrescanSettings(CCapPool* pool)
        : mPool(pool), mPixelType(GetCapUIntValue(pool, ICAP_PIXELTYPE)),
          mEdgeEmphasis(GetCapUIntValue(pool, CCAP_OVK_EDGEEMPHASIS)),
          mBleedThrough(GetCapUIntValue(pool, CCAP_OVK_BLEEDTHROUGH)) {}
    ~CPrescanSettings() {
        SetCapUIntValue(mPool, ICAP_PIXELTYPE, mPixelType);
        SetCapUIntValue(mPool, CCAP_OVK_EDGEEMPHASIS, mEdgeEmphasis);
        SetCapUIntValue(mPool, CCAP_OVK_BLEEDTHROUGH, mBleedThrough);
    }
    CPrescanSettings(const CPrescanSettings&) = delete;
    CPrescanSettings& operator=(const CPrescanSettings&) = delete;

    void UseGrey() {
        if (mPixelType != TWPT_BW)
            return;
        SetCapUIntValue(mPool, ICAP_PIXELTYPE, TWPT_GRAY);
        if (GetCapSIntValue(mPool, CCAP_OVK_TEXTENHANCE) != 0) {
            SetCapUIntValue(mPool, CCAP_OVK_EDGEEMPHASIS, k3100::kPrescanEdgeEmphasis);
            SetCapUIntValue(mPool, CCAP_OVK_BLEEDTHROUGH, 0);
        }
    }

private:
    CCapPool* mPool;
    std::uint32_t mPixelType;
    std::uint32_t mEdgeEmphasis;
    std::uint32_t mBleedThrough;
};

} // namespace

TW_UINT16 COrvkQSDS::CreateUserInterface() {
    const UIControllerFactory& factory = GetUIControllerFactory();
    if (!factory)
        return Fail(TWCC_OPERATIONERROR);
    fnd::Dictionary params;
    std::unique_ptr<CUIController> controller;
    try {
        if (SetupUserInterfaceParameters(params))
            controller = factory();
    } catch (const std::bad_alloc&) {
        controller.reset();
    }
    if (!controller)
        return Fail(TWCC_LOWMEMORY);
    if (mUIController)
        mUIController->cancelDelayedMessages();
    mUIController = std::move(controller);
    mUIController->setupMainUIWithParam(params, 0);
    return TWRC_SUCCESS;
}

bool COrvkQSDS::SetupUserInterfaceParameters(fnd::Dictionary& params) {
    if (!CDataSource::SetupUserInterfaceParameters(params))
        return false;
    params.set("ScannerObject", fnd::Value::pointer(mScanner.get()));
    params.set("SupportedPapers", mPaperSizes);
    params.set("UserGammaDatas", mUserGammaDatas);
    return true;
}

TW_UINT16 COrvkQSDS::Prescan() {
    if (!mBatch.IsPrescan()) {
        if (mScanner)
            mScanner->ProtectImageBuffer(false);
        return Fail(TWCC_SEQERROR);
    }
    const bool keep = mBatch.ScanMode() == CBatchState::kScanModeKeepPrescan;
    SPageBitmap page;
    TW_UINT16 rc = TWRC_SUCCESS;
    {
        CPrescanSettings settings(GetCapPool());
        if (keep) {
            // The page stays in the scanner object for its transfer after the dialog.
            if (mScanner)
                mScanner->ProtectImageBuffer(true);
            settings.UseGrey();
        }
        TW_IMAGEINFO info{};
        rc = GetImageInfo(nullptr, &info);
        if (rc == TWRC_SUCCESS)
            rc = TransferTiffImage(nullptr, page);
    }
    if (rc == TWRC_SUCCESS) {
        if (!mUIController)
            CreateUserInterface();
        else if (!mShowUI)
            mUIController->updateColorModeControls();
        if (mUIController) {
            const float resolution = GetCapFloatValue(GetCapPool(), ICAP_XRESOLUTION);
            mUIController->setScanImage(page, resolution > 0 ? static_cast<std::uint32_t>(resolution) : 0,
                                        !keep);
            mUIController->showMainWindow();
        }
    }
    if (keep && mScanner)
        mScanner->ProtectImageBuffer(false);
    return rc;
}

std::uint32_t COrvkQSDS::ApplyFinalImageFilter() {
    if (!mScanner)
        return k3100::kScanErrDeviceNotFound;
    const k3100::FilterSettings settings = k3100::FinalFilterSettings(GetCapPool());
    if (mUIController) {
        mUIController->setShield(true);
        if (IsOn(CAP_INDICATORS))
            mUIController->showProgressWindow();
    }
    return static_cast<std::uint32_t>(mScanner->ApplyImageFilter(settings));
}
