// Scans a batch end to end inside the test: a k3100-emulator process feeds the given sheets, and the pages
// come back through the source manager, K3100.ds and the page library by memory transfer, as twainscan
// receives them. Private folders for the lock, the preferences and the socket keep tests apart.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EmulatorFixture.h"
#include "ScanOptions.h"
#include "TwainSession.h"

namespace e2e {

namespace fs = std::filesystem;

struct SBatch {
    std::vector<SPageBitmap> pages;
    std::string error; // empty when the batch ended normally
};

class ScanHarness : public test::EmulatorFixture {
protected:
    std::string Sample(const std::string& name) const {
        return (mBuild / "share/k3100/samples" / name).string();
    }

    // sheets: emulator --load specs, one sheet each; options: twainscan's command-line options; faults:
    // the emulator's --fault specs.
    SBatch Scan(const std::vector<std::string>& sheets, std::vector<std::string> options,
                const std::vector<std::string>& faults = {}) {
        SBatch batch;
        if (!StartEmulator(sheets, faults)) {
            batch.error = "the emulator did not start";
            return batch;
        }
        options.insert(options.begin(), {"twainscan", "--output", mDir.string()});
        std::vector<const char*> argv;
        for (const std::string& option : options)
            argv.push_back(option.c_str());
        const auto parsed = twainscan::ParseScanOptions(int(argv.size()), argv.data(), batch.error);
        if (!parsed)
            return batch;
        try {
            twainscan::CTwainSession session;
            session.OpenSource(parsed->source);
            for (const twainscan::SCapSetting& setting : parsed->settings)
                session.Set(setting);
            session.Enable();
            for (bool more = true; more;) {
                SPageBitmap page;
                if (session.TransferPage(page) == twainscan::EPageResult::kCancelled)
                    break;
                batch.pages.push_back(std::move(page));
                more = session.EndTransfer();
            }
            session.Close();
            if (session.BatchFault() != TWCC_SUCCESS)
                batch.error = "batch fault, condition code " + std::to_string(session.BatchFault());
        } catch (const twainscan::ScanError& failure) {
            batch.error = failure.what();
        }
        StopEmulator();
        return batch;
    }
};

} // namespace e2e
