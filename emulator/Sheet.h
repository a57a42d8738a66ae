// A sheet in the emulated feeder: its front and back faces and its size in 1/1200 inch (the size of the
// front image). A missing back is blank paper.
#pragma once

#include "PageImage.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace k3100::emu {

struct Sheet {
    std::string name;
    std::shared_ptr<const PageImage> front; // never null
    std::shared_ptr<const PageImage> back;  // null: blank paper
    uint32_t width1200 = 0;
    uint32_t length1200 = 0;
    double skewDegrees =
        0; // the sheet feeds turned by this much (positive: clockwise as seen from the front)
};

// "FRONT[,BACK][@DEGREES]" where each face is an image file or a generated page: "gen:blank", "gen:ramp"
// (letter), "gen:blank-a4", "gen:ramp-a4", "gen:blank-a5" or "gen:ramp-a5"; DEGREES tilts the sheet in the
// feeder (else the front image's own tilt). Nullopt with `error` set when a face cannot be had.
std::optional<Sheet> sheetFromSpec(const std::string& spec, std::string& error);

Sheet sheetFromImages(std::string name, PageImage front, std::optional<PageImage> back);

} // namespace k3100::emu
