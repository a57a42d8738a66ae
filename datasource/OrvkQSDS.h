// COrvkQSDS: the K3100's data source. For now it adds no capabilities and reports no pages; the scanner's
// capability set, device and scan sequence grow here.
#pragma once

#include "DataSource.h"

class COrvkQSDS : public CDataSource {
public:
    bool SetupScanner() override { return true; }
    void TerminateScanner() override {}
    TW_UINT16 PrepareScan() override { return Fail(TWCC_BADPROTOCOL); }
    TW_UINT16 ReadImage(std::uint8_t*, std::uint32_t, std::uint32_t& rows) override {
        rows = 0;
        return Fail(TWCC_BADPROTOCOL);
    }
    TW_UINT16 FinishScan() override { return Fail(TWCC_BADPROTOCOL); }
};
