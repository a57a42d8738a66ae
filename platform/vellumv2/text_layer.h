// The invisible text layer of a page: the words Tesseract finds, each drawn in text mode 3 (neither
// filled nor stroked) over the place where it stands in the image, stretched to the word's width.
#pragma once

#include "page_image.h"
#include "tesseract_engine.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vlm {

struct OcrWord {
    std::u16string text; // UTF-16 code units, characters beyond 16 bits become U+FFFD
    int32_t left = 0;    // pixels, from the top left of the image
    int32_t right = 0;
    int32_t baseline = 0; // pixels from the top: bottom of the word's line
    int32_t lineHeight = 0;
};

// Recognises the words of a grey page; VLM_ERR_OCR when the engine fails.
int32_t recognizeWords(tesseract::TessBaseAPI& engine, const GreyImage& page, int32_t resolution,
                       std::vector<OcrWord>& words);

// Content-stream operators drawing the words with font /F0 on a page of the given height in points;
// scaleX and scaleY turn pixels into points.
std::string textOperators(const std::vector<OcrWord>& words, double scaleX, double scaleY,
                          double pageHeightPt);

// UTF-8 to UTF-16 code units; malformed sequences and characters beyond 16 bits become U+FFFD.
std::u16string utf16OfUtf8(const std::string& text);

} // namespace vlm
