// Both sides show the same drawn page; the back reads it unmirrored, as the back sensor sees its side.
#include "RawSheet.h"

#include <memory>

namespace {
RawSheet Make(int32_t dpi, int32_t channels, int32_t sides, int32_t offsetLines) {
    const SheetSide& page = A4Side(dpi, channels);
    RawSheet raw{page.width, page.height + (sides == 2 ? offsetLines : 0), channels, sides, dpi, {}};
    raw.stream.assign(static_cast<size_t>(raw.lineBytes()) * raw.lines, 0);
    const size_t colourLine = static_cast<size_t>(page.width) * sides;
    for (int32_t y = 0; y < raw.lines; ++y) {
        for (int32_t c = 0; c < channels; ++c) {
            uint8_t* line = raw.stream.data() + (static_cast<size_t>(y) * channels + c) * colourLine;
            for (int32_t x = 0; x < page.width; ++x) {
                const auto at = [&](int32_t px, int32_t py) {
                    return page.pixels[(static_cast<size_t>(py) * page.width + px) * channels + c];
                };
                const int32_t mirrored = page.width - 1 - x;
                if (sides == 1) {
                    line[x] = at(mirrored, y);
                    continue;
                }
                if (y < page.height)
                    line[2 * x] = at(mirrored, y);
                if (y >= offsetLines)
                    line[2 * x + 1] = at(x, y - offsetLines);
            }
        }
    }
    return raw;
}
} // namespace

const RawSheet& A4RawSheet(int32_t dpi, int32_t channels, int32_t sides, int32_t offsetLines) {
    static std::unique_ptr<RawSheet> kept;
    if (!kept || kept->dpi != dpi || kept->channels != channels || kept->sides != sides)
        kept = std::make_unique<RawSheet>(Make(dpi, channels, sides, offsetLines));
    return *kept;
}
