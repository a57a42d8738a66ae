// Condition codes of the K3100's own, beyond TWAIN's, that an application may read after a batch ended.
#pragma once

#include "twain.h"

// The batch ended before its first image because blank-page skipping dropped every page it scanned.
constexpr TW_UINT16 TWCC_OVK_BLANKPAGES = TWCC_CUSTOMBASE + 1;
