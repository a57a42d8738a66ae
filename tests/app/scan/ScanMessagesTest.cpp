// The alerts that end a batch, as the user reads them: what happened, then, after a fault that ended a
// running batch early, how many of its pages are kept and the sheet to feed again. Each is shown and
// pictured.
#include <gtest/gtest.h>

#include "AlertAnswers.h"
#include "QtTestApp.h"
#include "TlvScanMessages.h"

namespace {

TEST(ScanMessages, EachBatchFailureSaysWhatHappenedThenWhereToGoOn) {
    testApplication();
    struct SCase {
        const char* key;
        tlv::TlvBatchPages pages; // kept, the last one's number, sides per sheet, blank skipping
        const char* text;
        const char* picture;
    };
    const SCase cases[] = {
        {"Err_ScanPaperJam",
         {2, 2, 1, false},
         "Scanning stopped: the paper jammed.\n\nThe batch ended early. Pages kept: 2. Feed the sheets again "
         "from the sheet after page 2.",
         "alert-scan-jam"},
        {"Err_ScanDoubleFeed",
         {4, 7, 2, false},
         "Scanning stopped: more than one sheet was fed at once.\n\nThe batch ended early. Pages kept: 4. "
         "Feed "
         "the sheets again from the sheet after page 7.",
         "alert-scan-double-feed"},
        {"Err_ScanStopped",
         {3, 3, 2, false},
         "Scanning stopped before all pages were read.\n\nThe batch ended early. Pages kept: 3. Feed the "
         "sheets "
         "again from the sheet that holds page 3, which is scanned again.",
         "alert-scan-stopped-mid-sheet"},
        {"Err_ScannerNotConnected",
         {0, 0, 1, false},
         "The scanner is not connected or not turned on.\n\nThe batch ended early and none of its pages was "
         "kept. Feed its sheets again from the first one.",
         "alert-scan-scanner-gone"},
        {"Err_ScanNoPaper",
         {1, 1, 1, false},
         "There is no paper in the scanner.\n\nThe batch ended early. Pages kept: 1. Feed the sheets again "
         "from "
         "the sheet after page 1.",
         "alert-scan-no-paper-mid-batch"},
        {"Err_ScanNoPaper", {0, 0, 1, false}, "There is no paper in the scanner.", "alert-scan-no-paper"},
        {"Err_ScanBlankPages",
         {0, 0, 2, true},
         "Nothing was scanned: every page was blank, and blank-page skipping left them all out. Check that "
         "the "
         "printed side faces the right way, or turn blank-page skipping off.",
         "alert-scan-blank-pages"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.picture);
        const tlv::TlvMessage message = tlv::batchFailureMessage(c.key, c.pages);
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

} // namespace
