// The application side of one TWAIN session through the source manager: load the manager privately as
// any application does, open it, list and open a data source, set capabilities, enable it without its
// dialog and pull each page by memory transfer. Every failure becomes a ScanError carrying the triplet
// and the condition code the source reported.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "PageBitmap.h"
#include "ScanOptions.h"
#include "twain.h"

namespace twainscan {

class ScanError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How a page's transfer ended.
enum class EPageResult { kDone, kCancelled };

class CTwainSession {
public:
    CTwainSession();
    ~CTwainSession();
    CTwainSession(const CTwainSession&) = delete;
    CTwainSession& operator=(const CTwainSession&) = delete;

    // Product names of the data sources the manager finds.
    std::vector<std::string> ListSources();
    // Opens the first data source whose product name contains text, with the settings it has kept.
    void OpenSource(const std::string& text);
    // Every capability back to the source's default, so that nothing of an earlier session or of the
    // source's stored settings carries over.
    void ResetCapabilities();
    void Set(const SCapSetting& setting);
    // The source's current value of a one-value capability of up to 32 bits, as it will scan.
    std::int32_t Current(std::uint16_t capId);
    // Enables without the dialog and waits (bounded) for the first transfer-ready message.
    void Enable();
    // The next page; kCancelled when the source ended the batch instead, or when the stop check (below)
    // asked for a stop between two blocks of rows.
    EPageResult TransferPage(SPageBitmap& page);
    // Ends the page: true when another one follows.
    bool EndTransfer();
    // The condition code the source gave when it cancelled a page or ended the batch: 0 for a normal end
    // or a user's cancel, otherwise the fault that stopped the scanner (TWCC_PAPERJAM...).
    TW_UINT16 BatchFault() const { return mBatchFault; }
    // What the source said of that fault (DAT_STATUSUTF8); empty when it says nothing more.
    const std::string& BatchFaultText() const { return mBatchFaultText; }
    // Resets pending transfers, disables and closes the source; safe to call twice.
    void Close();

    // Asked between blocks of rows; true gives up the page in transfer, so that Close ends the batch.
    void SetStopCheck(std::function<bool()> stopRequested) { mStopRequested = std::move(stopRequested); }

    // Called with each device event the source reports, inside the source's callback; the events are
    // asked for (CAP_DEVICEEVENT) when the source is opened and again after a reset of the capabilities.
    void SetDeviceEventListener(std::vector<TW_UINT16> events, std::function<void(std::uint32_t)> listener) {
        mDeviceEvents = std::move(events);
        mOnDeviceEvent = std::move(listener);
    }

private:
    static TW_UINT16 Callback(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat,
                              TW_UINT16 msg, TW_MEMREF data);
    TW_UINT16 Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data, bool toSource = true);
    // Container memory from the manager's functions; freed by the returned owner.
    using Container = std::unique_ptr<void, std::function<void(void*)>>;
    Container NewContainer(std::size_t bytes);
    // A block made by the manager's memory functions (the C heap where it gave none), such as one the
    // source handed over.
    Container Own(void* block) const;
    Container OneValue(const SCapSetting& setting);
    void* Lock(void* handle) const;
    void Unlock(void* handle) const;
    void SelectDeviceEvents();
    // Throws with the triplet's name and the condition code unless rc is one of the accepted codes.
    void Check(TW_UINT16 rc, const char* what, std::initializer_list<TW_UINT16> accepted = {TWRC_SUCCESS});
    void ReadRows(const TW_IMAGEINFO& info, SPageBitmap& page, std::uint32_t bufferSize);
    // Reads (and so clears) the source's status; ConditionCode only its condition code.
    TW_STATUS Status();
    TW_UINT16 ConditionCode() { return Status().ConditionCode; }
    // The source's text for a status it gave; empty when it has none.
    std::string StatusText(const TW_STATUS& status);
    void NoteBatchFault();
    // What the source announced through the callback, perhaps from another thread.
    void Announce(bool& flag);

    DSMENTRYPROC mManager = nullptr;
    TW_ENTRYPOINT mEntryPoints{};
    TW_IDENTITY mApp{};
    TW_IDENTITY mSource{};
    bool mManagerOpen = false;
    bool mSourceOpen = false;
    bool mEnabled = false;
    std::mutex mAnnounceMutex;
    std::condition_variable mAnnounced;
    bool mXferReady = false;      // guarded by mAnnounceMutex
    bool mCloseRequested = false; // guarded by mAnnounceMutex
    TW_UINT16 mBatchFault = TWCC_SUCCESS;
    std::string mBatchFaultText;
    std::vector<TW_UINT16> mDeviceEvents;
    std::function<void(std::uint32_t)> mOnDeviceEvent;
    std::function<bool()> mStopRequested;
};

// A length-prefixed or zero-terminated TWAIN string as text.
std::string IdentityText(const char* field, std::size_t size);

} // namespace twainscan
