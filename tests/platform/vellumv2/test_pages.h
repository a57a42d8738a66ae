// Test pages for the document maker and the detector: real printed text rasterised by pdftoppm from a
// small PDF that names a standard font, and the turns and conversions the tests need.
#pragma once

#include "vellumv2.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vlmtest {

struct Page {
    std::vector<uint8_t> pixels;
    int32_t width = 0;
    int32_t height = 0;
    int32_t sync = 0;
    int32_t kind = VLM_KIND_GRAY;
    int32_t resolution = 0;

    PdfPageImageDesc desc() const {
        return {pixels.data(), sync, width, height, resolution, resolution, kind, 0, 0};
    }
};

// A standard PDF font (pdftoppm substitutes the system's nearest) and its size in points.
struct TextStyle {
    std::string font = "Helvetica";
    int32_t sizePt = 14;
    double tiltDegrees = 0; // the text turned anticlockwise about the page's centre, as a sheet fed askew
};

// A grey page of `widthPt` x `heightPt` points with the lines of text, rendered at `dpi`.
Page renderText(const std::vector<std::string>& lines, int32_t dpi, int32_t widthPt = 595,
                int32_t heightPt = 842, const TextStyle& style = {});

// Real prose (public-domain novels) wrapped for an A4 page in the style: about a page of body text.
std::vector<std::string> proseLines(const TextStyle& style, size_t firstParagraph = 0);

Page rotateClockwise(const Page& grey); // 8-bit pages only
Page toBgr(const Page& grey);           // grey in every sample
Page toBw(const Page& grey);            // 1 = black below mid-grey

// Runs a shell command; returns its standard output, and its exit status in `status`.
std::string run(const std::string& command, int* status = nullptr);

// A fresh, empty folder for one test.
std::string scratchFolder(const std::string& name);

} // namespace vlmtest
