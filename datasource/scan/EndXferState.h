// The working values of one end-of-image decision, shared by the steps that make the next image ready
// and those that end or continue the batch.
#pragma once

#include <cstdint>

#include "OrvkQSDS.h"

struct COrvkQSDS::SEndXfer {
    std::int32_t manualFeed = 0; // 0 off; kManualFeedAutoStart also starts on paper in the feeder
    bool jamless = false;
    bool duplex = false;
    bool blankSkip = false;
    bool kept = false; // the images come from a prescan, not from the feeder
    bool continuous = false;
    std::int32_t remaining = 0; // of a fixed transfer count; -1 for as many as come
    std::uint32_t error = 0;    // scanner error code met on the way
    bool blank = false;         // the feeder ran out behind blank pages only
    bool quietEnd = false;      // the scanner ended the batch without an error
    TW_INT16 count = 0;         // what the application is told: 0 none, -1 unknown, n more
    TW_UINT16 result = TWRC_SUCCESS;

    std::int32_t ImagesPerSheet() const { return duplex ? 2 : 1; }
};
