// What the user is told when a batch cannot start or ends early: string-table keys chosen from where
// the session failed and from the data source's condition code.
#pragma once

#include "twain.h"

#include <string>

namespace tlv {

// findDSAndOpenDS's answer while the application quits.
inline constexpr int kOpenQuitting = -2;

// The key for a failed open: rc is the result that ended the source walk or the open, condition the
// condition code read afterwards.
std::string openFailureKey(int rc, TW_UINT16 condition);

// The key for a batch that the scanner or the data source ended (a failed enable or transfer) by the
// condition code read right after the failure.
std::string scanFailureKey(TW_UINT16 condition);

} // namespace tlv
