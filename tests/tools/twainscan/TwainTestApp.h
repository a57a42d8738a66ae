// The TWAIN application of the sequencing tests: it reaches K3100.ds only through the source manager,
// records every message and device event the data source sends, and can answer the idle tick with the
// abort request the way this maker's own application does. One instance per test process.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "twain.h"

namespace test {

struct SScannedPage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bytesPerRow = 0;
    std::vector<std::uint8_t> pixels;
};

// How a batch went: the pages, the Count after each, and how it ended.
struct SBatch {
    std::vector<SScannedPage> pages;
    std::vector<TW_INT16> counts;
    TW_UINT16 lastResult = TWRC_SUCCESS; // of the triplet that ended the batch
    TW_UINT16 conditionCode = TWCC_SUCCESS;
    std::string endedBy;                      // "enable", "imageinfo", "endxfer" or "stopped"
    TW_UINT16 transferResult = TWRC_XFERDONE; // of the last image that did not come out
    TW_UINT16 transferCondition = TWCC_SUCCESS;
};

class CTwainTestApp {
public:
    // manufacturer: the application's maker, zero-terminated as applications on Linux write it.
    explicit CTwainTestApp(const char* manufacturer) {
        sApp = this;
        mApp.Version.MajorNum = 1;
        mApp.ProtocolMajor = 1;
        mApp.ProtocolMinor = 9;
        mApp.SupportedGroups = DG_CONTROL | DG_IMAGE;
        SetText(mApp.Manufacturer, manufacturer);
        SetText(mApp.ProductFamily, "Tests");
        SetText(mApp.ProductName, "Sequencing Test");
    }
    ~CTwainTestApp() {
        Close();
        if (mManagerOpen) {
            TW_MEMREF parent = nullptr;
            DSM_Entry(&mApp, nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent);
        }
        sApp = nullptr;
    }

    // Opens the manager and the first source whose product name holds "K-3100".
    TW_UINT16 Open() {
        TW_MEMREF parent = nullptr;
        TW_UINT16 rc = DSM_Entry(&mApp, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent);
        if (rc != TWRC_SUCCESS)
            return rc;
        mManagerOpen = true;
        rc = DSM_Entry(&mApp, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &mSource);
        while (rc == TWRC_SUCCESS && std::string(mSource.ProductName).find("K-3100") == std::string::npos)
            rc = DSM_Entry(&mApp, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &mSource);
        if (rc != TWRC_SUCCESS)
            return rc;
        rc = DSM_Entry(&mApp, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &mSource);
        if (rc != TWRC_SUCCESS)
            return rc;
        mSourceOpen = true;
        TW_CALLBACK callback{};
        callback.CallBackProc = reinterpret_cast<TW_MEMREF>(&CTwainTestApp::Callback);
        return Call(DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, &callback);
    }

    TW_UINT16 Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        return DSM_Entry(&mApp, &mSource, dg, dat, msg, data);
    }
    TW_UINT16 ConditionCode() {
        TW_STATUS status{};
        Call(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
        return status.ConditionCode;
    }

    // Asks for device events (CAP_DEVICEEVENT), in an array from the C heap.
    TW_UINT16 SelectDeviceEvents(const std::vector<TW_UINT16>& events) {
        const std::size_t bytes = offsetof(TW_ARRAY, ItemList) + events.size() * sizeof(TW_UINT16);
        std::unique_ptr<void, decltype(&std::free)> handle(std::calloc(1, bytes), &std::free);
        auto* list = static_cast<TW_ARRAY*>(handle.get());
        list->ItemType = TWTY_UINT16;
        list->NumItems = static_cast<TW_UINT32>(events.size());
        std::memcpy(list->ItemList, events.data(), events.size() * sizeof(TW_UINT16));
        TW_CAPABILITY cap{CAP_DEVICEEVENT, TWON_ARRAY, handle.get()};
        return Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap);
    }

    // item: the value's bits as the item type lays them out (16-bit types in the low half).
    TW_UINT16 Set(TW_UINT16 capId, TW_UINT16 itemType, TW_UINT32 item) {
        // Like any application, from the C heap; the manager's blocks are the same on Linux.
        std::unique_ptr<void, decltype(&std::free)> handle(std::calloc(1, sizeof(TW_ONEVALUE)), &std::free);
        auto* one = static_cast<TW_ONEVALUE*>(handle.get());
        one->ItemType = itemType;
        if (itemType == TWTY_UINT16 || itemType == TWTY_INT16 || itemType == TWTY_BOOL) {
            const auto half = static_cast<TW_UINT16>(item);
            std::memcpy(&one->Item, &half, sizeof half);
        } else {
            std::memcpy(&one->Item, &item, sizeof item);
        }
        TW_CAPABILITY cap{capId, TWON_ONEVALUE, handle.get()};
        return Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap);
    }
    TW_UINT16 SetBool(TW_UINT16 capId, bool on) { return Set(capId, TWTY_BOOL, on ? 1 : 0); }
    TW_UINT16 SetInt(TW_UINT16 capId, TW_INT32 value) {
        return Set(capId, TWTY_INT32, static_cast<TW_UINT32>(value));
    }

    // Enables without the dialog and transfers by memory until the source ends the batch, or until
    // stopAfter pages are in (then without ending the last one).
    SBatch Scan(std::size_t stopAfter = SIZE_MAX) {
        SBatch batch;
        mXferReady = false;
        TW_USERINTERFACE ui{};
        batch.lastResult = Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
        if (batch.lastResult != TWRC_SUCCESS || !mXferReady)
            return Ended(batch, "enable");
        mEnabled = true;
        Transfer(batch, stopAfter, false);
        return batch;
    }
    // Enables with the dialog (ShowUI) or for its settings only (MSG_ENABLEDSUIONLY); nothing is
    // transferred until the dialog signals that images are ready.
    TW_UINT16 EnableWithDialog(TW_UINT16 message) {
        mXferReady = mCloseRequested = mClosedOkay = false;
        TW_USERINTERFACE ui{1, 0, nullptr};
        const TW_UINT16 rc = Call(DG_CONTROL, DAT_USERINTERFACE, message, &ui);
        mEnabled = rc == TWRC_SUCCESS;
        return rc;
    }
    bool XferReady() const { return mXferReady; }
    bool ClosedOkay() const { return mClosedOkay; }
    // Transfers the batch that the dialog's Scan made ready.
    SBatch TransferReadyBatch() {
        SBatch batch;
        if (!mXferReady)
            return Ended(batch, "enable");
        Transfer(batch, SIZE_MAX, false);
        return batch;
    }
    // Goes on with a batch that Scan stopped: ends the image it stopped at and transfers on.
    void Resume(SBatch& batch, std::size_t stopAfter = SIZE_MAX) { Transfer(batch, stopAfter, true); }

    // The device event the source reports now, asked outside any callback.
    std::uint32_t CurrentDeviceEvent() {
        TW_DEVICEEVENT event{};
        return Call(DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, &event) == TWRC_SUCCESS ? event.Event : 0;
    }

    TW_UINT16 ResetPending() {
        TW_PENDINGXFERS pending{};
        return Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
    }

    // Succeeds only when the source is back at enabled (TWAIN state 5).
    TW_UINT16 Disable() {
        TW_USERINTERFACE ui{};
        const TW_UINT16 rc = Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
        if (rc == TWRC_SUCCESS)
            mEnabled = false;
        return rc;
    }

    TW_UINT16 SendAbort() {
        std::uint32_t code = kAbortRequest;
        TW_PASSTHRU record{};
        record.pCommand = &code;
        record.CommandBytes = sizeof code;
        return Call(DG_CONTROL, DAT_PASSTHRU, MSG_PASSTHRU, &record);
    }

    // Disables (when enabled) and closes the source, in whatever state it is.
    void Close() {
        if (!mSourceOpen)
            return;
        if (mEnabled)
            Disable();
        DSM_Entry(&mApp, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &mSource);
        mSourceOpen = false;
    }

    // From the idle tick that follows the given number of delivered pages on, the application asks
    // for the abort, as its user pressing cancel would.
    void AbortAfterPages(int pages) { mAbortAfter = pages; }

    // Device events seen in callbacks, idle ticks left out.
    std::vector<std::uint32_t> DeviceEvents() const { return mDeviceEvents; }
    int IdleTicks() const { return mIdleTicks; }
    TW_UINT16 AbortResult() const { return mAbortResult; }
    bool CloseRequested() const { return mCloseRequested; }

private:
    static void SetText(TW_STR32& field, const char* text) {
        std::memset(field, 0, sizeof field);
        std::strncpy(field, text, sizeof field - 1);
    }

    SBatch& Ended(SBatch& batch, const char* step) {
        batch.endedBy = step;
        batch.conditionCode = ConditionCode();
        return batch;
    }

    void Transfer(SBatch& batch, std::size_t stopAfter, bool endFirst) {
        for (;; endFirst = true) {
            if (endFirst) {
                TW_PENDINGXFERS pending{};
                batch.lastResult = Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
                if (batch.lastResult != TWRC_SUCCESS && batch.lastResult != TWRC_CANCEL) {
                    Ended(batch, "endxfer");
                    return;
                }
                batch.counts.push_back(pending.Count);
                if (pending.Count == 0 || batch.lastResult == TWRC_CANCEL) {
                    Ended(batch, "endxfer");
                    return;
                }
            }
            TW_IMAGEINFO info{};
            batch.lastResult = Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info);
            if (batch.lastResult != TWRC_SUCCESS) {
                Ended(batch, "imageinfo");
                return;
            }
            SScannedPage page;
            const TW_UINT16 transferred = TransferImage(info, page);
            if (transferred != TWRC_XFERDONE) {
                // A cancelled or failed image still ends with MSG_ENDXFER, which decides what follows.
                batch.transferResult = transferred;
                batch.transferCondition = ConditionCode();
                continue;
            }
            batch.pages.push_back(std::move(page));
            ++mPagesDone;
            if (batch.pages.size() == stopAfter) {
                Ended(batch, "stopped");
                return;
            }
        }
    }

    TW_UINT16 TransferImage(const TW_IMAGEINFO& info, SScannedPage& page) {
        TW_SETUPMEMXFER setup{};
        if (const TW_UINT16 rc = Call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup); rc != TWRC_SUCCESS)
            return rc;
        std::vector<std::uint8_t> buffer(setup.Preferred);
        for (;;) {
            TW_IMAGEMEMXFER block{};
            block.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
            block.Memory.Length = setup.Preferred;
            block.Memory.TheMem = buffer.data();
            const TW_UINT16 rc = Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &block);
            if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE)
                return rc;
            if (page.pixels.empty()) {
                page.width = block.Columns;
                page.height = static_cast<std::uint32_t>(info.ImageLength);
                page.bytesPerRow = block.BytesPerRow;
                page.pixels.resize(std::size_t{page.bytesPerRow} * page.height);
            }
            const std::size_t offset = std::size_t{block.YOffset} * page.bytesPerRow;
            if (offset + block.BytesWritten > page.pixels.size())
                return TWRC_FAILURE;
            std::memcpy(page.pixels.data() + offset, buffer.data(), block.BytesWritten);
            if (rc == TWRC_XFERDONE)
                return rc;
        }
    }

    static TW_UINT16 Callback(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32, TW_UINT16, TW_UINT16 msg, TW_MEMREF) {
        CTwainTestApp* app = sApp;
        if (!app)
            return TWRC_FAILURE;
        if (msg == MSG_XFERREADY)
            app->mXferReady = true;
        else if (msg == MSG_CLOSEDSREQ)
            app->mCloseRequested = true;
        else if (msg == MSG_CLOSEDSOK)
            app->mClosedOkay = true;
        else if (msg == MSG_DEVICEEVENT)
            app->OnDeviceEvent();
        return TWRC_SUCCESS;
    }

    void OnDeviceEvent() {
        TW_DEVICEEVENT event{};
        if (Call(DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, &event) != TWRC_SUCCESS)
            return;
        if (event.Event != kIdleTick) {
            mDeviceEvents.push_back(event.Event);
            return;
        }
        ++mIdleTicks;
        if (mAbortAfter >= 0 && mPagesDone >= mAbortAfter && mAbortResult == kNotSent)
            mAbortResult = SendAbort();
    }

    static constexpr std::uint32_t kIdleTick = 0x8004;
    static constexpr std::uint32_t kAbortRequest = 0x41625271; // 'AbRq'
    static constexpr TW_UINT16 kNotSent = 0xFFFF;
    static inline CTwainTestApp* sApp = nullptr;

    TW_IDENTITY mApp{};
    TW_IDENTITY mSource{};
    bool mManagerOpen = false;
    bool mSourceOpen = false;
    bool mEnabled = false;
    bool mXferReady = false;
    bool mCloseRequested = false;
    bool mClosedOkay = false;
    int mPagesDone = 0;
    int mAbortAfter = -1;
    int mIdleTicks = 0;
    TW_UINT16 mAbortResult = kNotSent;
    std::vector<std::uint32_t> mDeviceEvents;
};

} // namespace test
