// The application controller as the scan session and the scan controllers see it, for tests: states
// with the controller's acceptance rules, the page list, the messages the user would see, and counts
// of the calls that stand for screens.
#pragma once

#include "RunLoop.h"
#include "TlvScanHost.h"
#include "TlvScanSettingMdl.h"
#include "TlvUtilsMethod.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

namespace test {

class TestScanHost : public tlv::TlvScanHost {
public:
    tlv::AppState appState() const override { return static_cast<tlv::AppState>(mState); }
    // Reports from other threads are queued to the main thread, as the controller does; each report
    // moves the state as the controller would decide it.
    void report(tlv::TlvOutcome outcome) override {
        if (!fnd::RunLoop::isMainThread()) {
            fnd::performOnMainThread([this, outcome] { report(outcome); }, false);
            return;
        }
        using tlv::TlvOutcome;
        if (outcome == TlvOutcome::BatchStarting && mState >= 100 && mState <= 105 && mState != 102 &&
            mState != 103)
            setAppStateNum(101);
        else if (outcome == TlvOutcome::Scanning)
            setAppStateNum(102);
        else if (outcome == TlvOutcome::ScanEnded)
            setAppStateNum(batchKind().writesWhileScanning() && !isFinScanAndWritedFile(true, -1) ? 103
                                                                                                  : 104);
        else if (outcome == TlvOutcome::ScanFailed)
            setAppStateNum(105);
        else if (outcome == TlvOutcome::ScanningFinished)
            setAppStateNum(200);
    }
    void setAppStateNum(int state) {
        if ((state == 104 || state == 105) && !(mState >= 100 && mState <= 105))
            return;
        if (state == mState)
            return;
        mState = state;
        states.push_back(state);
    }
    bool isExecuteScnState() const override { return mState >= 100 && mState <= 105; }
    bool scanReadyByTwainCB() override {
        if (mState >= 100)
            return true;
        if (!TlvUtilsMethod::createTmpFolder())
            return false;
        std::lock_guard lock(mPagesLock);
        pages.clear();
        setAppStateNum(101);
        return true;
    }

    tlv::TlvBatchKind batchKind() const override { return {scanMode, funcType, confirmOutput}; }
    TlvScanSettingMdl* curScnMdlApp() override { return &scanSettings; }

    std::size_t countOfImgInfoDict() const override {
        std::lock_guard lock(mPagesLock);
        return pages.size();
    }
    void addImgInfo(tlv::TlvPageRecord page) override {
        {
            std::lock_guard lock(mPagesLock);
            pages.push_back(std::move(page));
        }
        if (onPage)
            onPage(pages.size());
    }
    bool isFinScanAndWritedFile(bool, int index) override {
        if (index < 0)
            finScanMarked = true;
        return finScanMarked && writtenPages == static_cast<int>(countOfImgInfoDict());
    }
    void clearIsFinScan() override { finScanMarked = false; }
    int readImgFileForJobScnCount() const override { return writers; }

    tlv::TlvBatchState& batchState() override { return batch; }
    void switchScanModeForCancelOnMain() override {
        if (batch.takeReturnToTop())
            ++cancelHandlings;
    }
    void switchScanMode(bool) override {
        ++topScreens;
        mState = 0;
        states.push_back(0);
    }

    void showSelectFunction() override {
        ++functionChoices;
        setAppStateNum(201);
    }
    void fixFunction() override {
        ++confirmations;
        setAppStateNum(202);
    }
    void executeFunction() override { ++outputs; }
    bool checkClosePDF() override { return fileKept; }
    void executeScan() override { ++continuedScans; }
    void changeKeyView() override {}

    void showErrorPanel(const std::string& key) override { showErrorPanel(key, {}); }
    void showErrorPanel(const std::string& key, const std::vector<std::string>& args) override {
        messages.push_back(key);
        messageArgs.push_back(args);
    }
    bool isQuitAppByUnmount() const override { return false; }
    bool isOpenQSWin() const override { return false; }
    bool isCheckValidSyncDriver() override { return true; }
    void settingDidChangeSendPerform() override { ++settingChanges; }
    void setScnStngInFOAJLMdl(const TlvScanSettingMdl& model) override { scanSettings = model; }
    void setJobInfo_Foa() override {}
    QWidget* tlvMainWindow() override { return nullptr; }
    void dispatchOneUserEvent(double) override { ++ticks; }

    // What the tests set and read.
    int scanMode = 0;
    int funcType = 0;
    bool confirmOutput = false;
    int writers = 0;
    int writtenPages = 0;
    TlvScanSettingMdl scanSettings;
    std::function<void(std::size_t)> onPage; // main thread, after each page is added
    std::vector<int> states;
    std::vector<tlv::TlvPageRecord> pages;
    std::vector<std::string> messages;
    std::vector<std::vector<std::string>> messageArgs; // each message's arguments
    tlv::TlvBatchState batch;
    int cancelHandlings = 0;
    bool finScanMarked = false;
    int topScreens = 0, functionChoices = 0, confirmations = 0, outputs = 0, continuedScans = 0;
    bool fileKept = true; // what closing the batch's open file answers
    int settingChanges = 0;
    std::atomic<int> ticks{0};

private:
    int mState = 0;
    mutable std::mutex mPagesLock;
};

} // namespace test
