// A sheet's raw stream as the scanner sends it for one or two sides, made from the drawn A4 side: line
// order per colour line, one side mirrored, two sides alternating sample by sample (front mirrored) with
// the back trailing by the sensors' offset.
#pragma once

#include "SheetSide.h"

#include <cstdint>
#include <vector>

struct RawSheet {
    int32_t sideWidth = 0; // pixels of one side
    int32_t lines = 0;     // of the stream, the back's offset included
    int32_t channels = 0;
    int32_t sides = 0;
    int32_t dpi = 0;
    std::vector<uint8_t> stream;

    int64_t lineBytes() const { return int64_t{sideWidth} * sides * channels; }
};

// Made once per format and kept while the same format is asked for again.
const RawSheet& A4RawSheet(int32_t dpi, int32_t channels, int32_t sides, int32_t offsetLines);
