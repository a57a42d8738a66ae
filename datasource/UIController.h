// The data source's view of its settings dialog: the operations it sends and how it obtains one.
// CNullUIController is a dialog that shows nothing, a base for stand-ins.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "PageBitmap.h"
#include "Value.h"

// Key of the parameter dictionary holding the capability pool (a pointer value) for the dialog.
inline constexpr char kUIParamCapabilityPool[] = "CapabiltyObject";

class CUIController {
public:
    virtual ~CUIController() = default;

    // params: what the data source hands the dialog; objects behind its pointer values stay owned by the
    // data source and live until the controller is released. flag 1: the dialog of a scan; 0: the
    // settings-only sequence.
    virtual void setupMainUIWithParam(const fnd::Dictionary& params, int flag) = 0;
    virtual void showMainWindow() = 0;
    virtual void hideMainWindow() = 0;
    virtual bool isMainWindowVisible() const = 0;
    virtual void closeRequest(bool save) = 0;
    virtual void setShield(bool on) = 0;

    virtual void showProgressWindow() = 0;
    virtual void resumeProgressWindow() = 0;
    virtual void suspendProgressWindow() = 0;
    virtual void hideProgressWindow() = 0;
    // True once the user pressed the progress window's abort button.
    virtual bool idleProgress() = 0;

    virtual void showScanPanel() = 0;
    virtual void hideScanPanel() = 0;
    virtual void updateScanPanel(std::uint32_t flags) = 0;
    // 2 stop pressed, 1 continue pressed, 0 neither.
    virtual int scanPanelStatus() const = 0;
    virtual std::intptr_t beginScanPanelModalSession() = 0;
    virtual void endScanPanelModalSession(std::intptr_t session) = 0;
    virtual void idleScanPanel() = 0;
    virtual bool isScanPanelVisible() const = 0;
    virtual void setScanPanelWorksWhenModal(bool works) = 0;

    virtual void updateColorModeControls() = 0;
    // Shows a prescanned page in the preview; positioning: the page only helps to place the scan area.
    virtual void setScanImage(const SPageBitmap& image, std::uint32_t xResolution, bool positioning) = 0;
    virtual void runModalRollerExchangeAlert(bool isPad, bool isBackgroundOnly) = 0;

    // Drops every delayed message still queued for this controller; called before it is released.
    virtual void cancelDelayedMessages() = 0;
};

// A dialog that shows nothing: every window stays hidden and no button is ever pressed.
class CNullUIController : public CUIController {
public:
    void setupMainUIWithParam(const fnd::Dictionary&, int) override {}
    void showMainWindow() override {}
    void hideMainWindow() override {}
    bool isMainWindowVisible() const override { return false; }
    void closeRequest(bool) override {}
    void setShield(bool) override {}
    void showProgressWindow() override {}
    void resumeProgressWindow() override {}
    void suspendProgressWindow() override {}
    void hideProgressWindow() override {}
    bool idleProgress() override { return false; }
    void showScanPanel() override {}
    void hideScanPanel() override {}
    void updateScanPanel(std::uint32_t) override {}
    int scanPanelStatus() const override { return 0; }
    std::intptr_t beginScanPanelModalSession() override { return 0; }
    void endScanPanelModalSession(std::intptr_t) override {}
    void idleScanPanel() override {}
    bool isScanPanelVisible() const override { return false; }
    void setScanPanelWorksWhenModal(bool) override {}
    void updateColorModeControls() override {}
    void setScanImage(const SPageBitmap&, std::uint32_t, bool) override {}
    void runModalRollerExchangeAlert(bool, bool) override {}
    void cancelDelayedMessages() override {}
};

// Makes a controller for each enable with a dialog. An empty factory means no dialog is available, which
// makes such an enable fail, rather than wait for a dialog nobody sees. Starts out empty.
using UIControllerFactory = std::function<std::unique_ptr<CUIController>()>;
const UIControllerFactory& GetUIControllerFactory();
void SetUIControllerFactory(UIControllerFactory factory);
