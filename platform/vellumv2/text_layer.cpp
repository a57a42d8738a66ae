// Recognition through Tesseract's result iterator, word by word, with the box of the word's line for
// height and baseline so that the words of one line share a baseline and readers join them in order.
#include "text_layer.h"

#include "glyphless_font.h"
#include "vellumv2.h"

#include <cstdio>
#include <memory>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

namespace vlm {
namespace {

std::string hexOf(const std::u16string& text) {
    std::string hex;
    char unit[5];
    for (char16_t c : text) {
        std::snprintf(unit, sizeof unit, "%04X", static_cast<unsigned>(c));
        hex += unit;
    }
    return hex;
}

struct LineBox {
    int32_t top = 0;
    int32_t bottom = 0;
};

} // namespace

std::u16string utf16OfUtf8(const std::string& text) {
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80         ? 1
                              : (lead >> 5) == 6  ? 2
                              : (lead >> 4) == 14 ? 3
                              : (lead >> 3) == 30 ? 4
                                                  : 0;
        char32_t c = length == 1   ? lead
                     : length == 2 ? (lead & 0x1F)
                     : length == 3 ? (lead & 0x0F)
                                   : (lead & 0x07);
        bool valid = length != 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
        out += valid && c <= 0xFFFF && !surrogate ? static_cast<char16_t>(c) : u'\uFFFD';
        i += valid ? length : 1;
    }
    return out;
}

int32_t recognizeWords(tesseract::TessBaseAPI& engine, const GreyImage& page, int32_t resolution,
                       std::vector<OcrWord>& words) {
    words.clear();
    engine.SetPageSegMode(tesseract::PSM_AUTO);
    engine.SetImage(page.pixels.data(), page.width, page.height, 1, page.width);
    engine.SetSourceResolution(resolution);
    if (engine.Recognize(nullptr) != 0)
        return VLM_ERR_OCR;
    const std::unique_ptr<tesseract::ResultIterator> it(engine.GetIterator());
    if (!it)
        return VLM_OK; // nothing found on the page
    LineBox line;
    do {
        if (it->IsAtBeginningOf(tesseract::RIL_TEXTLINE)) {
            int32_t left = 0, right = 0;
            it->BoundingBox(tesseract::RIL_TEXTLINE, &left, &line.top, &right, &line.bottom);
        }
        const std::unique_ptr<char[]> text(it->GetUTF8Text(tesseract::RIL_WORD));
        OcrWord word;
        int32_t top = 0, bottom = 0;
        if (!text || !it->BoundingBox(tesseract::RIL_WORD, &word.left, &top, &word.right, &bottom))
            continue;
        word.text = utf16OfUtf8(text.get());
        word.baseline = line.bottom;
        word.lineHeight = std::max(line.bottom - line.top, 1);
        if (!word.text.empty() && word.right > word.left)
            words.push_back(std::move(word));
    } while (it->Next(tesseract::RIL_WORD));
    return VLM_OK;
}

std::string textOperators(const std::vector<OcrWord>& words, double scaleX, double scaleY,
                          double pageHeightPt) {
    if (words.empty())
        return "";
    std::string ops = "BT\n3 Tr\n";
    char buffer[160];
    for (const OcrWord& word : words) {
        const double size = word.lineHeight * scaleY;
        const double width = (word.right - word.left) * scaleX;
        const double natural = static_cast<double>(word.text.size()) * size * kGlyphWidth / 1000.0;
        // Horizontal scaling (percent) makes the word cover its box, so that selecting it marks the image.
        std::snprintf(buffer, sizeof buffer, "/F0 %.3f Tf %.3f Tz 1 0 0 1 %.3f %.3f Tm <", size,
                      100.0 * width / natural, word.left * scaleX, pageHeightPt - word.baseline * scaleY);
        ops += buffer;
        ops += hexOf(word.text) + "> Tj\n";
    }
    return ops + "ET\n";
}

} // namespace vlm
