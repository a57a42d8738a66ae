// The capabilities the application exchanges with the data source, one row per model field: its
// identifier, TWAIN item type and the conversions between the field and a one-value item. The rows are
// listed in the order in which they are sent and in the order in which they are read back.
#pragma once

#include <span>

#include "TlvScanSettingMdl.h"
#include "VX_TWAINHandler.h"

struct TlvCapRow {
    TW_UINT16 cap;
    TW_UINT16 itemType;
    void (*put)(const TlvScanSettingMdl& model, VX_CapItem& item); // null: the side selector
    void (*take)(TlvScanSettingMdl& model, const VX_CapItem& item);
    TW_INT32 window; // for the side selector: the side chosen (1 front, -1 back)
};

// Rows 1 to 74 of a full send, side selector steps included.
std::span<const TlvCapRow> TlvCapSendOrder();
// The reads of a full read-back, side selector steps included.
std::span<const TlvCapRow> TlvCapReadOrder();
