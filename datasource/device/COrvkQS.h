// The device object of one opened K3100: batch start with calibration, page scanning through a reader
// thread (raw data into per-page lists) and an image-processing thread per page (raw bands through the
// page library into finished bands per side), line delivery to the host, keyed status reads and the
// service blocks. Every wait is bounded and notices an abort or a stop, so no call can hang the host.
#pragma once

#include "ImageLibrary.h"
#include "ScanBuffers.h"
#include "ScanParam.h"

#include "COrvkQSCommands.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace k3100 {

// Settings of the host's final filter and live preview (its "Brightness", "Contrast", "CheckBlankPage",
// "GrayToBin", "Inverse" and tone tables).
struct FilterSettings {
    int32_t brightness = 0;
    int32_t contrast = 0;        // level index
    uint32_t checkBlankPage = 0; // on/off in the low half, slice in the high half
    int32_t grayToBin = -1;      // binarisation method, -1 for none
    int32_t inverse = 0;
    uint32_t edgeEmphasis = 0; // level, 0 for none
    std::optional<std::array<uint8_t, 256>> gray, red, green, blue;
};

class COrvkQS : public COrvkQSCommands {
public:
    // Reads of one page, or of one block, that may stall before the pipe counts as broken.
    static constexpr uint32_t kStallRetries = 3;
    // Memory and timing limits of a batch; tests shrink them to watch the reader pause and resume.
    struct Limits {
        uint32_t readSize = 2097152;         // bytes per image READ
        uint32_t readSizeAfterPage = 131072; // first READ after a page end
        uint64_t pauseAbove = 629145600;     // queued raw bytes that pause the reader
        uint64_t resumeBelow = 314572800;    // and let it go on
        size_t pagesAhead = 1;               // whole pages read ahead of the one being processed
        std::chrono::milliseconds keyPoll{2000};
        std::chrono::milliseconds readerWaitLimit{120000}; // how long a status command waits for the reader
        std::chrono::milliseconds pageWaitLimit{
            200000};                  // longest wait for a page; beyond the device's time-outs
        uint32_t bandLimit = 2097152; // raw bytes per side in one library call
    };

    // `library` must outlive the device object.
    COrvkQS(const SScannerDesc& desc, ImageLibrary& library);
    ~COrvkQS() override;

    int OpenSession() override;
    int CloseSession() override;
    // Without parameters only readies and reserves the unit (the button poll).
    int StartScan(tagScanParam* param) override;
    int FinishScan() override;
    int ScanPage(tagScanParam* param) override;
    int ScanComplete() override;
    // Copies up to *lineCount rows of rowBytes each; fewer (down to 0) once the side has ended.
    int ReadLines(uint8_t* destination, uint32_t rowBytes, uint32_t* lineCount) override;
    int AbortScan() override;
    // Ends a continuous batch once the page being read (or about to be) is whole: every page read is still
    // delivered and the sheets not yet fed stay in the feeder. A scan sheet by sheet ends at its sheet's
    // end through the data source's batch state instead.
    void StopAfterPage();
    // The scan started last feeds continuously, so the scanner counts the pages of its batch.
    bool KeepsBatchStatus() const { return params.batch != 0; }
    int GetStatus(const char* key, void* output) override;
    uint32_t GetScannerError() const override { return deviceError; }
    void SetScannerError(uint32_t error) override { deviceError = error; }

    // Runs the host's final filter on the current side (once).
    int ApplyImageFilter(const FilterSettings& settings);
    // Filters the caller's buffer in place (the live preview); 1-bit results come back one byte a pixel.
    int ApplyImageFilter(uint8_t* pixels, int32_t width, int32_t height, int32_t lineBytes, int32_t bits,
                         int32_t samples, const FilterSettings& settings);

    // Service blocks: read, change, send back. 0 or the failing command's error.
    uint32_t ClearRollerCounter(uint8_t which); // 0 roller, 1 separation pad
    uint32_t SetScanCounter(uint32_t total, uint32_t roller, uint32_t pad);
    uint32_t SetSerialNumber(const char* serial);
    uint32_t SetMaxScanLength(uint32_t length);

    void SetEzKeyAbort(uint32_t key) { keyAbort = key; } // 1-based panel key, 0 none
    void SetOcrPath(const char* path);
    // True when the page library can find what text direction needs.
    bool CanDetectTextDirection();
    void ProtectImageBuffer(bool on);
    void CleanupImageBuffer();
    void CleanupPageBuffer();
    uint32_t GetPageError();

    void setLimits(const Limits& limits) { this->limits = limits; }
    // Seconds on a monotonic scale; calibration ages and page time stamps are read from it.
    void setClock(std::function<double()> clock) { this->clock = std::move(clock); }
    uint64_t BufferedBytes() const { return bufferedBytes; }
    bool ReaderPaused() const { return readerPaused; }
    bool ReaderRunning() const { return readerRunning; }
    bool ProcessingRunning() const { return processingRunning; }

    static constexpr std::array<uint8_t, 8> sContrastTable{0, 1, 43, 85, 128, 170, 212, 255};

private:
    friend class PageProcessor;

    // Batch start steps.
    uint32_t readyUnit();
    uint32_t configureScan(tagScanParam& p);
    uint32_t sendScanModes(uint8_t composition);
    uint32_t AdjustLight();
    bool calibrationReusable() const;
    void dropCalibration();
    uint32_t runCalibration(qs::tagADJUSTINFO& info);
    uint32_t calibrationScan(const qs::tagADJUSTINFO& info, int pass, int scanIndex, CImg& scan);
    uint32_t fixCalibration(qs::tagADJUSTINFO& info);
    uint32_t sides() const { return (params.duplex == 2 || params.folio) ? 2 : 1; }
    // Library result to the data source's code: 3 (no image) is out of memory, the rest a library failure.
    static uint32_t libraryError(int32_t result);

    // A failed command's cause: a stall clears the pipes, then REQUEST SENSE decodes a stall or check.
    uint32_t explain(uint32_t result);
    uint32_t sendScan(const std::vector<uint8_t>& sideBytes);
    std::vector<uint8_t> pageSides() const; // the SCAN bytes of a sheet: the sides to scan

    // Reader thread and its helpers.
    void ScanImage();
    void throttleReader();
    void pauseReaderWhile(const std::function<bool()>& full);
    size_t queuedPages();
    void pollPanelKey(std::chrono::steady_clock::time_point& lastCheck);
    uint32_t readPage(SPageData& page, uint32_t& readSize, bool& endOfPage, bool& aborted);
    uint32_t readGeometry(SPageData& page);
    void appendPage(const std::shared_ptr<SPageData>& page);
    void endBatchAfterPage(double previousStart);
    void appendPiece(SPageData& page, SScanData piece);
    void stopReader();
    void joinProcessing();

    // Host waits: poll `done` with short waits, running the host's loop; false after `limit`.
    bool waitHost(const std::function<bool()>& done, std::chrono::milliseconds limit);
    void notifyProgress();
    uint32_t waitReaderIdle();
    bool onReaderThread() const { return std::this_thread::get_id() == readerId; }

    // Pages and sides.
    uint32_t firstPageStatus(bool& hasPiece);
    bool needsWholePage() const;
    bool sideDescribed();
    uint32_t waitWholePage();
    uint32_t waitNextSheet();
    void ImageProcessing();
    size_t availableBytes(SImageData& side);
    uint32_t copyLines(SImageData& side, uint8_t* destination, uint32_t rowBytes, uint32_t lines);
    uint32_t startPage();
    void startReader();

    // Status keys.
    uint32_t batchTransferCount(uint32_t& count);
    uint32_t readWithRetry(DataKind kind, uint8_t* buffer, uint32_t length);
    // A block that reads the same each time (geometry, status), read again after a stall that brought
    // nothing; the explained result.
    uint32_t readBlock(DataKind kind, uint8_t* buffer, uint32_t length);
    uint32_t readServiceBlock(DataKind kind, std::array<uint8_t, 128>& block);
    uint32_t writeServiceBlock(DataKind kind, const std::array<uint8_t, 128>& block);
    uint32_t statusCommand(const std::string& key, void* output);
    void fillFinalFilter(Ovk::Pixen::tagNORMALFILTERSIMPLEXINFO& record, struct FinalFilterRecords& records,
                         const CImg& image, const FilterSettings& settings);

    ImageLibrary& library;
    std::mutex libraryMutex; // the library is not re-entrant: page bands and previews take turns
    Limits limits;
    tagScanParam params{};
    std::thread reader;
    std::thread processing;
    std::mutex readerJoinMutex;
    std::atomic<std::thread::id> readerId{};
    SImageData* currentImageData = nullptr;
    SImageData front;
    SImageData back;
    std::atomic<int> abortState{0};
    std::atomic<bool> stopAfterPage{false};
    std::atomic<bool> protectImage{false};
    std::atomic<bool> processingRunning{false};
    std::atomic<bool> readerRunning{false};
    std::atomic<bool> readerStop{false};
    std::atomic<bool> readerPaused{false};
    std::atomic<bool> processingStop{false};
    std::atomic<uint32_t> deviceError{0}; // shared by the threads, in place of the base's field

    struct CalibrationKey {
        uint32_t sides = 0, xRes = 0, yRes = 0;
        float left = 0, width = 0;
        uint32_t channelMode = 0, dropOutFront = 0, dropOutBack = 0, enhanceFront = 0, enhanceBack = 0;
        bool operator==(const CalibrationKey& o) const = default;
    };
    bool calibratedKeepPrescan = false;
    CalibrationKey calibrationKeyOf(const tagScanParam& p) const;
    std::unique_ptr<CImg> whiteFront, blackFront, whiteBack, blackBack;
    CalibrationKey calibrated;
    double calibrationTime = 0; // s, by `clock`
    std::function<double()> clock;

    std::mutex pageListMutex;
    std::deque<std::shared_ptr<SPageData>> pageList;
    std::array<char, 97> scannerInfo{};
    std::atomic<uint32_t> keyAbort{0};
    std::atomic<uint64_t> bufferedBytes{0};
    std::mutex inProcessMutex;
    std::shared_ptr<SPageData> inProcessPage;

    std::mutex progressMutex;
    std::condition_variable progress;
    uint64_t progressCount = 0;
};

} // namespace k3100
