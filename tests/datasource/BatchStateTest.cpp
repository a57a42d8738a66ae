// The batch's bookkeeping on its own: how sheets, kept prescan images and blank sides count down, when a
// request's kind changes, and what a stop, a fault and an image's description leave behind.
#include <gtest/gtest.h>

#include "BatchState.h"

namespace {

TEST(BatchState, ASheetCountsDownToZeroAndNoFurther) {
    CBatchState batch;
    batch.StartSheet(2);
    batch.ImageDelivered();
    EXPECT_TRUE(batch.IsSheetInProgress());
    batch.ImageDelivered();
    batch.ImageDelivered(); // one more end of image than the sheet had
    EXPECT_EQ(batch.SheetImagesLeft(), 0);
    EXPECT_FALSE(batch.IsSheetInProgress());
}

TEST(BatchState, KeptImagesFormTheSheetAndTheRequestChangesOnceTheyAreOut) {
    CBatchState batch;
    batch.TakeRequest(CBatchState::kScanModeKeptThenScan, 2);
    EXPECT_EQ(batch.SheetImagesLeft(), 2);
    EXPECT_TRUE(batch.TransfersKeptImages());
    batch.ImageDelivered();
    EXPECT_TRUE(batch.HasKeptImages());
    EXPECT_EQ(batch.ScanMode(), CBatchState::kScanModeKeptThenScan);
    batch.ImageDelivered();
    EXPECT_FALSE(batch.HasKeptImages());
    EXPECT_TRUE(batch.IsNormalScan()); // scanning goes on from the feeder

    batch.TakeRequest(CBatchState::kScanModeKeptThenEnd, 1);
    batch.ImageDelivered();
    EXPECT_TRUE(batch.AreKeptImagesDone());
    EXPECT_TRUE(batch.EndsAfterKeptImages());
}

TEST(BatchState, OnlyRequestsForKeptImagesSetTheCountsAndNeverBelowZero) {
    CBatchState batch;
    batch.StartSheet(2);
    batch.TakeRequest(CBatchState::kScanModeNormal, 7);
    EXPECT_EQ(batch.SheetImagesLeft(), 2);
    EXPECT_FALSE(batch.HasKeptImages());

    batch.TakeRequest(CBatchState::kScanModeKeptThenEnd, -3);
    EXPECT_EQ(batch.SheetImagesLeft(), 0);
    EXPECT_TRUE(batch.AreKeptImagesDone());

    batch.TakeRequest(9, 0); // a kind this source does not know is none of the named ones
    EXPECT_FALSE(batch.IsNormalScan() || batch.IsPrescan() || batch.TransfersKeptImages() ||
                 batch.EndsAfterKeptImages());
}

TEST(BatchState, BlankSidesCountOffAndOnlyANormalScanFeedsOn) {
    CBatchState batch;
    batch.StartSheet(2);
    EXPECT_TRUE(batch.BlankSideDropped(0)); // the back is still due
    EXPECT_FALSE(batch.BlankSideDropped(0));

    batch.StartSheet(1);
    EXPECT_TRUE(batch.BlankSideDropped(2)); // feeding on: the next duplex sheet is due at once
    EXPECT_EQ(batch.SheetImagesLeft(), 2);

    batch.TakeRequest(CBatchState::kScanModeKeptThenScan, 1);
    EXPECT_FALSE(batch.BlankSideDropped(2));
    EXPECT_FALSE(batch.HasKeptImages());
    EXPECT_EQ(batch.ScanMode(), CBatchState::kScanModeKeptThenScan);
    batch.SheetRanOutOnBlanks();
    EXPECT_TRUE(batch.IsNormalScan());

    batch.TakeRequest(CBatchState::kScanModeKeptThenEnd, 1);
    batch.BlankSideDropped(0);
    batch.SheetRanOutOnBlanks();
    EXPECT_EQ(batch.ScanMode(), CBatchState::kScanModeKeptDone);
    EXPECT_TRUE(batch.EndsAfterKeptImages());
}

TEST(BatchState, AFaultIsTakenOnceAndANewSheetOrEnableForgetsIt) {
    CBatchState batch;
    batch.RecordFault(TWCC_OPERATIONERROR, 4);
    const TW_STATUS fault = batch.TakeFault();
    EXPECT_EQ(fault.ConditionCode, TWCC_OPERATIONERROR);
    EXPECT_EQ(fault.Data, 4);
    EXPECT_EQ(batch.TakeFault().ConditionCode, TWCC_SUCCESS);

    batch.RecordFault(TWCC_PAPERJAM, 3);
    batch.StartSheet(1);
    EXPECT_EQ(batch.TakeFault().ConditionCode, TWCC_SUCCESS);

    batch.TakeRequest(CBatchState::kScanModeKeptThenScan, 2);
    batch.RecordFault(TWCC_PAPERDOUBLEFEED, 5);
    batch.Stop();
    batch.Enable();
    EXPECT_EQ(batch.TakeFault().ConditionCode, TWCC_SUCCESS);
    EXPECT_TRUE(batch.IsNormalScan());
    EXPECT_FALSE(batch.IsSheetInProgress() || batch.HasKeptImages());
    EXPECT_TRUE(batch.IsStopping()); // only preparing the next image clears a stop
    batch.ClearStop();
    EXPECT_FALSE(batch.IsStopping());
}

TEST(BatchState, APoisonedDescriptionIsNotACurrentOne) {
    CBatchState batch;
    batch.ImageDescribed();
    EXPECT_TRUE(batch.IsImageDescribed());
    batch.PoisonImageInfo();
    EXPECT_FALSE(batch.IsImageDescribed());
    EXPECT_TRUE(batch.IsImageInfoPoisoned());
    batch.ForgetImageInfo();
    EXPECT_FALSE(batch.IsImageDescribed() || batch.IsImageInfoPoisoned());
}

} // namespace
