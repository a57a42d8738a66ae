// The data source or the manager says why nothing could be opened: no data source (condition code 3)
// or one that cannot be used. A scanner busy in another program is told as such, being the one case the
// user can mend at once, and so is one that is not there. After a fault the sheets are fed again from the
// first one not wholly kept, the rule the command-line application follows too (FeedAgain.h), which
// words the scanner's own faults alike (FaultWords.h).
#include "TlvScanMessages.h"

#include "FaultWords.h"
#include "FeedAgain.h"
#include "QSConditionCodes.h"
#include "VX_Message.h"

#include <algorithm>
#include <array>

namespace tlv {
namespace {

// Failures that end a batch under way, after which the rest of its sheets are still to scan. An empty
// feeder or blank pages end nothing that ran, and a batch out of memory keeps no page.
constexpr std::array kEndedEarlyKeys = {
    "Err_ScanPaperJam",      "Err_ScanDoubleFeed", "Err_ScannerNotConnected", "Err_ScanStopped",
    "Err_ScanStoppedSaying", "Err_ScanDataFault",  "Err_TmpDiskFull",         "Err_FileCreateFailed"};

// No paper is an empty feeder unless the scanner had started on a sheet.
bool endsEarly(const std::string& key, const TlvBatchPages& pages) {
    const bool listed =
        std::find(kEndedEarlyKeys.begin(), kEndedEarlyKeys.end(), key) != kEndedEarlyKeys.end();
    return listed || (key == "Err_ScanNoPaper" && (pages.kept > 0 || pages.sheetTaken));
}

} // namespace

// The manager lists only data sources that loaded and answered: one of them that fails to open with
// "no data source" found no scanner.
std::string openFailureKey(int rc, TW_UINT16 condition) {
    if (rc == TWRC_FAILURE && condition == TWCC_NODS)
        return "Err_ScannerNotConnected";
    if (rc == kOpenQuitting || condition == TWCC_NODS)
        return "Err_NotLoadScannerDriver";
    if (condition == TWCC_MAXCONNECTIONS)
        return "Err_ScannerInUse";
    return "Err_NotUseScannerDriver";
}

std::string scanFailureKey(TW_UINT16 condition) {
    switch (condition) {
    case TWCC_PAPERJAM:
        return "Err_ScanPaperJam";
    case TWCC_PAPERDOUBLEFEED:
        return "Err_ScanDoubleFeed";
    case TWCC_NOMEDIA:
        return "Err_ScanNoPaper";
    case TWCC_OVK_BLANKPAGES:
        return "Err_ScanBlankPages";
    case TWCC_CHECKDEVICEONLINE:
    case TWCC_NODS:
        return "Err_ScannerNotConnected";
    case TWCC_LOWMEMORY:
        return "Err_MemFullError";
    default:
        return "Err_ScanStopped";
    }
}

TlvMessage scanFailureMessage(TW_UINT16 condition, const std::string& sourceWords) {
    const std::string key = scanFailureKey(condition);
    const std::string words = FaultWordsInSentence(sourceWords);
    if (key != "Err_ScanStopped" || words.empty())
        return {key, {}};
    return {"Err_ScanStoppedSaying", {words}};
}

TlvMessage batchFailureMessage(const TlvMessage& failureMessage, const TlvBatchPages& pages) {
    if (!endsEarly(failureMessage.key, pages))
        return failureMessage;
    const std::string failure =
        VX_Message::messageText(failureMessage.key, failureMessage.args).toStdString();
    const SFeedAgain sheet = FeedAgainFrom(pages.kept, pages.sidesPerSheet, pages.blankSidesDropped);
    switch (sheet.from) {
    case EFeedAgain::kSheetAfterPage:
        return {"Err_ScanEndedAfterPage",
                {failure, std::to_string(pages.kept), std::to_string(pages.lastPage)}};
    case EFeedAgain::kSheetWithPage:
        return {"Err_ScanEndedWithPage",
                {failure, std::to_string(pages.kept), std::to_string(pages.lastPage)}};
    case EFeedAgain::kFirstSheet:
        break;
    }
    return {"Err_ScanEndedNoPage", {failure}};
}

// Numbered as the alerts number it: in the page list, which a batch scanned on continues.
std::string feedAgainWords(const TlvBatchPages& pages) {
    SFeedAgain sheet = FeedAgainFrom(pages.kept, pages.sidesPerSheet, pages.blankSidesDropped);
    sheet.page = pages.lastPage;
    return FeedAgainWords(sheet);
}

} // namespace tlv
