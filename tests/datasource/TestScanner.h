// A minimal scanner data source for tests: no device, one capability of its own with its own handler
// (the way a scanner extends the generic set), and callbacks recorded instead of sent.
#pragma once

#include <vector>

#include "CapHelpers.h"
#include "DataSource.h"

namespace test {

constexpr TW_UINT16 kEvenCap = 0x8070;

class CTestScanner : public CDataSource {
public:
    bool setupScannerResult = true;
    int terminateCount = 0;
    TW_UINT16 callbackResult = TWRC_SUCCESS;
    std::vector<TW_INT16> callbacks;

    bool SetupScanner() override { return setupScannerResult; }
    void TerminateScanner() override { ++terminateCount; }
    TW_UINT16 PrepareScan() override { return Fail(TWCC_BADPROTOCOL); }
    TW_UINT16 ReadImage(std::uint8_t*, std::uint32_t, std::uint32_t& rows) override {
        rows = 0;
        return Fail(TWCC_BADPROTOCOL);
    }
    TW_UINT16 FinishScan() override { return Fail(TWCC_BADPROTOCOL); }

    TW_UINT16 InvokeCallback(TW_CALLBACK& callback, const fnd::Value&) override {
        callbacks.push_back(callback.Message);
        return callbackResult;
    }

    bool SetupCapabilities() override {
        static const TW_INT32 initial = 2;
        static const SMakeCapDesc rows[] = {{kEvenCap, TWON_ONEVALUE, TWTY_INT32, 0, &initial, 0}};
        return CDataSource::SetupCapabilities() && GetCapPool()->MakeCapabilities(rows);
    }

    CapHandler GetCapHandler(TW_UINT16 capId) const override {
        if (capId == kEvenCap)
            return static_cast<CapHandler>(&CTestScanner::HandleEven);
        return CDataSource::GetCapHandler(capId);
    }

    // Stores the container, then refuses odd values by putting the old one back.
    TW_UINT16 HandleEven(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability, bool& handled) {
        if (msg != MSG_SET)
            return TWCC_SUCCESS;
        const std::int32_t old = GetCapSIntValue(GetCapPool(), kEvenCap);
        if (const TW_UINT16 code = capability->AcceptsNativeContainer(cap->ConType, cap->hContainer))
            return code;
        handled = true;
        if (GetCapSIntValue(GetCapPool(), kEvenCap) % 2 == 0)
            return TWCC_SUCCESS;
        SetCapSIntValue(GetCapPool(), kEvenCap, old);
        return TWCC_BADVALUE;
    }
};

} // namespace test
