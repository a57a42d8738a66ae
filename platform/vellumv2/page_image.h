// Pages as handed in by callers, checked once and turned into the packed rows the encoders and the
// recognition engine take: colour becomes red-green-blue, 1-bit rows lose their padding.
#pragma once

#include "vellumv2.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vlm {

// Kind of packed colour views: red, green, blue (callers hand in blue, green, red).
constexpr int32_t kKindRgb = -VLM_KIND_BGR;

// A read-only window on pixels that someone else owns.
struct ImageView {
    const uint8_t* data = nullptr;
    size_t stride = 0; // bytes from one line to the next
    int32_t width = 0;
    int32_t height = 0;
    int32_t kind = 0; // VLM_KIND_* or kKindRgb
};

// Pixels owned by the page maker, lines packed without padding.
struct PackedImage {
    std::vector<uint8_t> pixels;
    ImageView view;
};

// Grey copy, 0 = black, one byte per pixel.
struct GreyImage {
    std::vector<uint8_t> pixels;
    int32_t width = 0;
    int32_t height = 0;
};

size_t lineBytes(int32_t kind, int32_t width);

// Checks the caller's record (and rectangle when given) and returns a view of it, or a VLM_ERR_* code.
int32_t viewOfPage(const PdfPageImageDesc& page, const PdfPageRect* rect, ImageView& view);

// Copies the view into packed lines: 1-bit rows start at the view's first column, colour is RGB.
PackedImage packImage(const ImageView& view, int32_t firstColumn);

// Grey copy reduced by an integer factor (box average), for recognition and detection.
GreyImage greyReduced(const ImageView& view, int32_t factor);

} // namespace vlm
