// A stand-in for the application's controller and raw page files made on the spot, for the output
// tests and the output benchmark.
#pragma once

#include "ImgInfoKeys.h"
#include "TlvExeWriteThread.h"
#include "TlvOutputHost.h"
#include "TlvScanEndSignal.h"

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace outtest {

namespace fs = std::filesystem;

// Records what the output road asks of the controller; the page list, the state and the options are
// set by the test. Safe to call from the page threads.
class FakeHost : public tlv::TlvOutputHost {
public:
    tlv::AppState appState() const override;
    bool isMainTopState() const override { return tlv::isMainTopState(appState()); }
    bool isExecuteScnState() const override { return tlv::isExecuteScnState(appState()); }
    void report(tlv::TlvOutcome outcome) override;

    std::size_t countOfImgInfoDict() const override;
    std::optional<fnd::Dictionary> imgInfoAtIndex(std::size_t index) const override;
    bool isFinScanAndWritedFile(bool scanEnded, int index) override;
    void setSizeOverIndex(int index) override;
    void removeImgInfoByIndexOver(bool cancelled) override;
    void upReadImgFileForJobScnCount() override { ++jobPageWriters; }
    void downReadImgFileForJobScnCount() override { --jobPageWriters; }

    bool isCheckedMailSize() const override;
    void resetWritedFileSize() override;
    void setWritedFileSizeForPfm(int index, std::uint64_t bytes) override;
    bool isQuitAppByUnmount() const override { return false; }

    void cancelDriver(bool cancel) override;
    void waitToFinishScan() override { scanEnd.waitForEnd(); }
    void displayOfPreview(const fnd::Dictionary&, int index) override;
    void showErrorPanel(const std::string& key, const std::vector<std::string>& args) override;

    // The snapshot a controller would hand the steps of a batch with the fields below.
    tlv::TlvBatchSnapshot batch() const;
    void addPage(fnd::Dictionary record);
    void resetMailCheck(); // a new batch: the question may come again
    // A new batch or output step: a cancel of the last one is not heard by the next.
    void renewCancel();
    bool isCancelled() const;
    void setState(int state);
    std::vector<tlv::TlvOutcome> outcomes() const;
    std::vector<std::string> errors() const;
    std::vector<std::vector<std::string>> errorArgs() const; // each error's message arguments

    int scanMode = tlv::kScanModeFOA;
    int function = tlv::kFuncSave;
    bool confirmOutput = false;
    tlv::TlvOutputOptions options;
    std::uint64_t mailLimit = 0; // bytes; 0: no limit
    tlv::TlvScanEndSignal scanEnd;
    std::atomic<int> jobPageWriters{0}; // job pages being written, or waiting for their turn

private:
    mutable std::mutex mLock;
    int mState = 0;
    std::stop_source mCancel; // handed out with every snapshot; stopped at the mail limit
    std::vector<tlv::TlvOutcome> mOutcomes;
    std::vector<std::string> mErrors;
    std::vector<std::vector<std::string>> mErrorArgs;
    std::vector<fnd::Dictionary> mPages;
    int mWritten = 0;
    bool mScanEnded = false;
    bool mMailChecked = false;
    std::uint64_t mMailBytes = 0;
    int mSizeOverIndex = -2;
};

// A page of a known pattern: every sample differs from its neighbours, so a wrong turn shows.
struct RawPage {
    int bpp = 8;
    int width = 64;
    int height = 40;
    double xRes = 300, yRes = 200;
    int rotation = 0;
};
std::vector<std::uint8_t> rawPixels(const RawPage& page, int seed);
// Writes "tmpImg_<index>" into the temporary folder and answers its record.
fnd::Dictionary writeRawPage(const RawPage& page, int index);

} // namespace outtest
