// What the user is told when a batch cannot start or ends early: string-table keys chosen from where
// the session failed and from the data source's condition code, and for a batch that a fault ended
// early, how many of its pages are kept and the sheet to feed again.
#pragma once

#include "twain.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tlv {

// findDSAndOpenDS's answer while the application quits.
inline constexpr int kOpenQuitting = -2;

// The key for a failed open: rc is the result that ended the source walk or the open, condition the
// condition code read afterwards.
std::string openFailureKey(int rc, TW_UINT16 condition);

// The key for a batch that the scanner or the data source ended (a failed enable or transfer) by the
// condition code read right after the failure.
std::string scanFailureKey(TW_UINT16 condition);

// The pages a batch kept and how its sheets give them.
struct TlvBatchPages {
    std::int32_t kept = 0;     // pages of this batch kept
    std::int32_t lastPage = 0; // the last one's number in the page list, from 1
    std::int32_t sidesPerSheet = 1;
    bool blankSidesDropped = false; // blank-page skipping was on
    bool sheetTaken = false;        // the scanner started on a sheet
};

// A message: its string-table key and what fills its %1, %2, ...
struct TlvMessage {
    std::string key;
    std::vector<std::string> args;

    bool empty() const { return key.empty(); }
};

// What a batch that the scanner or the data source ended says: scanFailureKey's message, and where that
// has no words of its own for the fault, the data source's (sourceWords, DAT_STATUSUTF8; may be empty).
TlvMessage scanFailureMessage(TW_UINT16 condition, const std::string& sourceWords);

// The message for a batch that ended with failure: its own text, followed, when the failure ended a
// running batch early, by how many pages of it are kept and which sheet to feed again.
TlvMessage batchFailureMessage(const TlvMessage& failure, const TlvBatchPages& pages);

// The sheet to feed again after the pages a batch kept, as the programs say it on their standard
// error: "the sheet after page 4".
std::string feedAgainWords(const TlvBatchPages& pages);

} // namespace tlv
