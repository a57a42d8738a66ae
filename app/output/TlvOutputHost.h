// What the output road needs of the application's main controller and scan view: the state and the
// workers' reports, the page list and the batch counters, and the calls that must run on the main thread (the
// batch's mode, function and settings come with each step as a TlvBatchSnapshot). Every call that the
// original made on the main thread and waited for is made through here and returns when it is done there. The
// controller implements it; tests stand in for it.
#pragma once

#include "TlvAppState.h"
#include "TlvOutputOptions.h"
#include "Value.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tlv {

class TlvOutputHost {
public:
    virtual ~TlvOutputHost() = default;

    virtual AppState appState() const = 0;
    virtual bool isMainTopState() const = 0;
    virtual bool isExecuteScnState() const = 0;
    // Any thread, never waiting: what happened; the controller decides the state that follows.
    virtual void report(TlvOutcome outcome) = 0;

    // Page list: any thread.
    virtual std::size_t countOfImgInfoDict() const = 0;
    virtual std::optional<fnd::Dictionary> imgInfoAtIndex(std::size_t index) const = 0;
    virtual bool isFinScanAndWritedFile(bool scanEnded, int index) = 0;
    virtual void setSizeOverIndex(int index) = 0;
    // cancelled: the step was stopped, so the pages after the size-over index go with their files.
    virtual void removeImgInfoByIndexOver(bool cancelled) = 0;
    virtual void upReadImgFileForJobScnCount() = 0;
    virtual void downReadImgFileForJobScnCount() = 0;

    // Mail-size check of the batch.
    virtual bool isCheckedMailSize() const = 0;
    virtual void resetWritedFileSize() = 0;
    virtual void setWritedFileSizeForPfm(int index, std::uint64_t bytes) = 0;

    virtual bool isQuitAppByUnmount() const = 0;

    // Scan view: ask the data source to stop after the current page; block until the batch has ended
    // (a condition that every end of a batch signals, see TlvScanEndSignal).
    virtual void cancelDriver(bool cancel) = 0;
    virtual void waitToFinishScan() = 0;

    virtual void displayOfPreview(const fnd::Dictionary& record, int index) = 0;
    // The error panel of key, its %1, %2, ... filled with args.
    virtual void showErrorPanel(const std::string& key, const std::vector<std::string>& args) = 0;
};

} // namespace tlv
