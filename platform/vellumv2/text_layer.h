// The invisible text layer of a page: the words Tesseract finds, each drawn in text mode 3 (neither
// filled nor stroked) on its line's baseline, turned with it and stretched to the word's length, so that
// readers find the words of a tilted page in order and apart.
#pragma once

#include "page_image.h"
#include "tesseract_engine.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vlm {

// Geometry in pixels of the recognised image, from its top left, y downwards.
struct OcrWord {
    std::u16string text; // UTF-16 code units, characters beyond 16 bits become U+FFFD
    double x = 0;        // where the word starts on its line's baseline
    double y = 0;
    double length = 0; // along the baseline
    double dirX = 1;   // unit direction of the baseline
    double dirY = 0;
    double size = 0; // height of the line's letters above the baseline
    bool startsLine = false;
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
