// The capability exchange of the device controller: before a batch (or the data source's own dialog)
// every setting of the current scan settings goes to the data source as a capability, and after the
// dialog closes with OK every capability is read back. Front and back copies of the per-side settings
// are reached through the data source's side selector. Main thread only, with the data source open and
// not enabled.
#pragma once

#include <optional>

#include "TlvScanSettingMdl.h"
#include "VX_TWAINHandler.h"

class TlvDeviceCntlrCAPs {
public:
    // handler: the controller's, used for every triplet; it outlives this object.
    explicit TlvDeviceCntlrCAPs(VX_TWAINHandler& handler) : mHandler(handler) {}

    // Sends CAP_INDICATORS FALSE and, unless a batch continues with the data source still holding what
    // was sent for it, every capability of model (none when model is null), then the simple-settings
    // overrides unless the model uses the data source's own settings. dialogMode: opened for the data
    // source's dialog; pageListEmpty: no pages of an earlier part of the batch are kept. True when every
    // capability was accepted; else the first failing code goes into a present result cell still 0.
    bool setCCAPsValues(const TlvScanSettingMdl* model, bool dialogMode, bool pageListEmpty,
                        TW_INT16* pResult);

    // Reads every capability into model, all or nothing: after a failed read the model keeps all its
    // values. A present result cell is cleared first and receives the first failing code.
    bool getCCAPsValues(TlvScanSettingMdl* model, TW_INT16* pResult);

private:
    struct SResult {
        bool success = true;
        TW_INT16* cell = nullptr;
        void note(int rc);
    };
    void sendAll(const TlvScanSettingMdl& model, bool dialogMode, SResult& result);
    void sendOverrides(const TlvScanSettingMdl& model, SResult& result);
    void readAll(TlvScanSettingMdl& model, SResult& result);
    // True when the data source still holds what the last full send left there, so that a continued
    // batch scans with it: another program may have used the scanner and left its own settings.
    bool sourceStillHoldsSentSettings();
    void sendWord(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 word, SResult& result);

    VX_TWAINHandler& mHandler;
    // The data source's capabilities as read back right after the last full send.
    std::optional<TlvScanSettingMdl> mSentState;
};
