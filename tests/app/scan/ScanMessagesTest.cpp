// The alerts that end a batch, as the user reads them: what happened, in the scanner's own words where the
// application has none of its own, then, after a fault that ended a running batch early, how many of its
// pages are kept and the sheet to feed again. Each is shown and pictured.
#include <gtest/gtest.h>

#include "AlertAnswers.h"
#include "QtTestApp.h"
#include "TlvScanMessages.h"

namespace {

TEST(ScanMessages, EachBatchFailureSaysWhatHappenedThenWhereToGoOn) {
    testApplication();
    struct SCase {
        tlv::TlvMessage failure;
        tlv::TlvBatchPages pages; // kept, the last one's number, sides per sheet, blank skipping, sheet taken
        const char* text;
        const char* picture;
    };
    const auto plain = [](const char* key) { return tlv::TlvMessage{key, {}}; };
    // What the data source says of a fault that TWAIN has no code for.
    const auto saying = [](const char* words) { return tlv::scanFailureMessage(TWCC_OPERATIONERROR, words); };
    const SCase cases[] = {
        {plain("Err_ScanPaperJam"),
         {2, 2, 1, false, false},
         "Scanning stopped: the paper jammed.\n\nThe batch ended early. Pages kept: 2. Feed the sheets again "
         "from the sheet after page 2.",
         "alert-scan-jam"},
        {plain("Err_ScanDoubleFeed"),
         {4, 7, 2, false, false},
         "Scanning stopped: more than one sheet was fed at once.\n\nThe batch ended early. Pages kept: 4. "
         "Feed "
         "the sheets again from the sheet after page 7.",
         "alert-scan-double-feed"},
        {plain("Err_ScanStopped"),
         {3, 3, 2, false, false},
         "Scanning stopped before all pages were read.\n\nThe batch ended early. Pages kept: 3. Feed the "
         "sheets "
         "again from the sheet that holds page 3, which is scanned again.",
         "alert-scan-stopped-mid-sheet"},
        {plain("Err_ScannerNotConnected"),
         {0, 0, 1, false, false},
         "The scanner is not connected or not turned on.\n\nThe batch ended early and none of its pages was "
         "kept. Feed its sheets again from the first one.",
         "alert-scan-scanner-gone"},
        {plain("Err_ScanNoPaper"),
         {1, 1, 1, false, false},
         "There is no paper in the scanner.\n\nThe batch ended early. Pages kept: 1. Feed the sheets again "
         "from "
         "the sheet after page 1.",
         "alert-scan-no-paper-mid-batch"},
        {plain("Err_ScanNoPaper"),
         {0, 0, 1, false, false},
         "There is no paper in the scanner.",
         "alert-scan-no-paper"},
        {plain("Err_ScanNoPaper"),
         {0, 0, 1, false, true},
         "There is no paper in the scanner.\n\nThe batch ended early and none of its pages was kept. Feed "
         "its "
         "sheets again from the first one.",
         "alert-scan-no-paper-in-first-sheet"},
        {saying("The scanner's cover is open."),
         {2, 2, 1, false, true},
         "Scanning stopped before all pages were read: the scanner's cover is open.\n\nThe batch ended "
         "early. "
         "Pages kept: 2. Feed the sheets again from the sheet after page 2.",
         "alert-scan-cover-open"},
        {saying("The scanner's lamp failed."),
         {0, 0, 1, false, true},
         "Scanning stopped before all pages were read: the scanner's lamp failed.\n\nThe batch ended early "
         "and none of its pages was kept. Feed its sheets again from the first one.",
         "alert-scan-lamp-failed"},
        {saying(""),
         {1, 1, 1, false, true},
         "Scanning stopped before all pages were read.\n\nThe batch ended early. Pages kept: 1. Feed the "
         "sheets again from the sheet after page 1.",
         "alert-scan-stopped-without-words"},
        {plain("Err_ScanBlankPages"),
         {0, 0, 2, true, false},
         "Nothing was scanned: every page was blank, and blank-page skipping left them all out. Check that "
         "the "
         "printed side faces the right way, or turn blank-page skipping off.",
         "alert-scan-blank-pages"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.picture);
        const tlv::TlvMessage message = tlv::batchFailureMessage(c.failure, c.pages);
        QString shown;
        whenAlertShows([&](appkit::Alert& alert) {
            shown = textOf(alert, appkit::Alert::kInformativeTag);
            saveScreenshots(&alert, c.picture);
            click(alert, 0);
        });
        VX_Message::showErrorPanel(message.key, nullptr, message.args);
        EXPECT_EQ(shown.toStdString(), c.text);
    }
}

// The sheet to feed again as the program says it on its standard error, numbered as its alerts number
// it: in the page list, which a batch scanned on continues.
TEST(ScanMessages, TheSheetToFeedAgainOnStandardErrorIsNumberedInThePageList) {
    EXPECT_EQ(tlv::feedAgainWords({2, 7, 1, false, false}), "the sheet after page 7");
    EXPECT_EQ(tlv::feedAgainWords({3, 9, 2, false, false}),
              "the sheet that holds page 9; page 9 is scanned again");
    EXPECT_EQ(tlv::feedAgainWords({0, 5, 1, false, true}), "the first sheet");
}

} // namespace
