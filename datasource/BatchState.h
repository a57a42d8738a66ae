// CBatchState: the bookkeeping of a batch of images. How many images the sheet in the feeder path still
// yields, how many of the dialog's kept prescan images are still to go out, what kind of transfer-ready
// request runs, whether the batch must stop, which fault stopped it, and whether the current image has
// been described and transferred. Callers tell it what happened through the named steps below and ask it
// what follows, so the rules that tie these values together live here only.
//
// Threads: only the thread that calls the data source uses it (triplets, notifications and run-loop timers
// all run there); the reader and image-processing threads never see it, so it needs no lock.
#pragma once

#include <cstdint>

#include "twain.h"

class CBatchState {
public:
    // Kind of the current transfer-ready request ("scanModeParam.xferReady.qsds").
    enum EXferReadyScanMode : std::uint32_t {
        kScanModeNormal = 0,
        kScanModePositioning = 1,  // prescan for the dialog's preview; nothing is kept
        kScanModeKeepPrescan = 2,  // prescan the first page and keep it for transfer
        kScanModeKeptThenEnd = 3,  // transfer the kept images, then end the batch
        kScanModeKeptThenScan = 4, // transfer the kept images, then scan on
        kScanModeKeptDone = 5,     // the kept images of mode 3 are out; the batch is ending
    };

    // ---- What the batch is ----
    EXferReadyScanMode ScanMode() const { return mScanMode; }
    bool IsNormalScan() const { return mScanMode == kScanModeNormal; }
    bool IsPositioning() const { return mScanMode == kScanModePositioning; }
    // A prescan for the dialog (modes 1 and 2).
    bool IsPrescan() const { return IsPositioning() || mScanMode == kScanModeKeepPrescan; }
    // The images come from the dialog's prescan and the batch ends after them (modes 3 and 5).
    bool EndsAfterKeptImages() const {
        return mScanMode == kScanModeKeptThenEnd || mScanMode == kScanModeKeptDone;
    }
    // The request transfers kept images first (modes 3 and 4).
    bool TransfersKeptImages() const {
        return mScanMode == kScanModeKeptThenEnd || mScanMode == kScanModeKeptThenScan;
    }
    // Mode 3 with every kept image out.
    bool AreKeptImagesDone() const { return mScanMode == kScanModeKeptThenEnd && mKeptImagesLeft == 0; }

    // ---- Images still to come; never negative ----
    std::int32_t SheetImagesLeft() const { return mSheetImagesLeft; }
    // An image of the current sheet is in hand or still due: no new sheet is started for it.
    bool IsSheetInProgress() const { return mSheetImagesLeft != 0; }
    bool HasKeptImages() const { return mKeptImagesLeft != 0; }

    // ---- Requests ----
    // The source was opened: the next request decides the kind of scan.
    void Open() { mScanMode = kScanModeNormal; }
    // An enable starts from nothing: no images, no fault of an earlier batch.
    void Enable();
    // A transfer-ready request of the given kind (any value the dialog sent). Requests that transfer kept
    // images bring their number, which is then also what the "sheet" yields.
    void TakeRequest(std::uint32_t scanMode, std::int32_t keptImages);

    // ---- Sheets ----
    // A new sheet started and yields this many images; the paper moves again, so an earlier fault no
    // longer describes the scan.
    void StartSheet(std::int32_t images);
    // A continuous feed has no sheet boundary: the next images are due whatever the count said.
    void FeedOn(std::int32_t images);
    // The rest of the current sheet will not be delivered.
    void DropSheet() { mSheetImagesLeft = 0; }
    // The dialog's kept images are thrown away.
    void DropKeptImages() { mKeptImagesLeft = 0; }
    // A reset or abort: neither the sheet nor the kept images will be delivered.
    void DropImages();

    // ---- Images ----
    // An image went to the application: it counts off its sheet and the kept images; once those are all
    // out, a request that scans on after them has become a normal scan.
    void ImageDelivered();
    // A blank side was scanned and thrown away: it counts off like a delivered image. feedOn: the images of
    // the next sheet when the feeder runs on continuously (0 when it does not); only a normal scan feeds
    // on, so its sheet never runs out. Answers whether the sheet has images left.
    bool BlankSideDropped(std::int32_t feedOn);
    // The sheet ran out on blank sides while looking for an image: kept images that end the batch leave it
    // ending, those that scan on leave a normal scan.
    void SheetRanOutOnBlanks();

    // ---- Stopping ----
    // The batch ends after the current image: a user stop, a cancelled alert, a feed error in jamless mode,
    // the scanner's own stop key.
    void Stop() { mStop = true; }
    bool IsStopping() const { return mStop; }
    // A new image is being prepared: a stop heard earlier has ended its batch already.
    void ClearStop() { mStop = false; }
    // The user's stop during a sheet: the batch ends once the sheet's last image is delivered, so that
    // no side of a fed sheet is lost.
    void StopAfterSheet() { mStopAfterSheet = true; }
    // Turns a stop after the sheet into a stop once the sheet is whole.
    void StopIfSheetDone() {
        if (mStopAfterSheet && !IsSheetInProgress()) {
            mStop = true;
            mStopAfterSheet = false;
        }
    }
    // The status of the device fault that stopped the batch: its condition code and what the data source
    // adds to it (TW_STATUS.Data). It outlives the cancelled transfer and the batch's end (both clear the
    // condition code) until it is taken (DAT_STATUS), the next enable or the next sheet that starts.
    void RecordFault(TW_UINT16 condition, TW_UINT16 detail) { mFault = {condition, {detail}}; }
    TW_STATUS TakeFault();

    // ---- The current image's description and transfer ----
    void ImageDescribed() { mImageInfo = EImageInfo::kCurrent; }
    // The next image needs its own description and has not gone out yet.
    void ForgetImageInfo() {
        mImageInfo = EImageInfo::kNone;
        mImageTransferred = false;
    }
    // The current image went out whole (TWRC_XFERDONE); until the next image nothing more may leave.
    void ImageTransferred() { mImageTransferred = true; }
    bool IsImageTransferred() const { return mImageTransferred; }
    // A failed request poisons the rest of the transfer for a client that must not ask twice.
    void PoisonImageInfo() { mImageInfo = EImageInfo::kPoisoned; }
    bool IsImageDescribed() const { return mImageInfo == EImageInfo::kCurrent; }
    bool IsImageInfoPoisoned() const { return mImageInfo == EImageInfo::kPoisoned; }

private:
    enum class EImageInfo : std::uint8_t { kNone, kCurrent, kPoisoned };

    EXferReadyScanMode mScanMode = kScanModeNormal;
    std::int32_t mSheetImagesLeft = 0; // images of the current sheet still to deliver
    std::int32_t mKeptImagesLeft = 0;  // prescan images kept by the dialog, not yet transferred
    bool mStop = false;
    bool mStopAfterSheet = false;
    TW_STATUS mFault{};
    EImageInfo mImageInfo = EImageInfo::kNone;
    bool mImageTransferred = false;
};
