// Recognition through Tesseract's result iterator, word by word: each word lies on its line's baseline
// (so that the words of a line share one and readers join them in order) where its own box begins.
#include "text_layer.h"

#include "glyphless_font.h"
#include "text_direction.h"
#include "vellumv2.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>
#include <tuple>
#include <utility>

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

// A text line's baseline: a point on it, its unit direction, and the height of its letters above it.
struct Baseline {
    double x = 0;
    double y = 0;
    double dirX = 1;
    double dirY = 0;
    double size = 1;
};

// Below this rise over a whole line (points) a line is taken as level: the layer stays simpler.
constexpr double kLevelRisePt = 2.0;

Baseline baselineOf(const tesseract::ResultIterator& it, int32_t resolution) {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    it.BoundingBox(tesseract::RIL_TEXTLINE, &left, &top, &right, &bottom);
    Baseline line{static_cast<double>(left), static_cast<double>(bottom), 1, 0,
                  static_cast<double>(std::max(bottom - top, 1))};
    // On a page that lies turned the baseline runs up, down or right to left: the text reads that way.
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (it.Baseline(tesseract::RIL_TEXTLINE, &x1, &y1, &x2, &y2) && (x1 != x2 || y1 != y2)) {
        const double length = std::hypot(x2 - x1, y2 - y1);
        line = {static_cast<double>(x1), static_cast<double>(y1), (x2 - x1) / length, (y2 - y1) / length,
                line.size};
        if (x2 > x1 && std::abs(y2 - y1) * 72.0 < kLevelRisePt * resolution)
            line = {line.x, (y1 + y2) / 2.0, 1, 0, line.size};
    }
    // The letters' height above the baseline, not the line box, which grows with the tilt.
    float rowHeight = 0, descenders = 0, ascenders = 0;
    it.RowAttributes(&rowHeight, &descenders, &ascenders);
    if (rowHeight + descenders > 0)
        line.size = rowHeight + descenders;
    return line;
}

// Shortest form of the value with at most `places` decimals: the layer is mostly numbers.
std::string decimal(double value, int places) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*f", places, value);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

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

namespace {

int32_t recognizeUpright(tesseract::TessBaseAPI& engine, const GreyImage& page, int32_t resolution,
                         std::vector<OcrWord>& words) {
    words.clear();
    recogniseOnThisThreadOnly();
    engine.SetPageSegMode(tesseract::PSM_AUTO);
    engine.SetImage(page.pixels.data(), page.width, page.height, 1, page.width);
    engine.SetSourceResolution(resolution);
    if (engine.Recognize(nullptr) != 0)
        return VLM_ERR_OCR;
    const std::unique_ptr<tesseract::ResultIterator> it(engine.GetIterator());
    if (!it)
        return VLM_OK; // nothing found on the page
    Baseline line;
    bool lineStarted = false;
    do {
        if (it->IsAtBeginningOf(tesseract::RIL_TEXTLINE)) {
            line = baselineOf(*it, resolution);
            lineStarted = false;
        }
        const std::unique_ptr<char[]> text(it->GetUTF8Text(tesseract::RIL_WORD));
        int32_t left = 0, top = 0, right = 0, bottom = 0;
        if (!text || !it->BoundingBox(tesseract::RIL_WORD, &left, &top, &right, &bottom))
            continue;
        // The ends of the word's box across the middle of its line, projected onto the baseline: left and
        // right for a line that runs across the page, top and bottom for one that runs up or down.
        const bool across = std::abs(line.dirX) >= std::abs(line.dirY);
        const double middleX = (left + right) / 2.0, middleY = (top + bottom) / 2.0;
        const auto along = [&line](double x, double y) {
            return (x - line.x) * line.dirX + (y - line.y) * line.dirY;
        };
        const double first = across ? along(left, middleY) : along(middleX, top);
        const double last = across ? along(right, middleY) : along(middleX, bottom);
        const double start = std::min(first, last);
        const double end = std::max(first, last);
        OcrWord word{utf16OfUtf8(text.get()),
                     line.x + start * line.dirX,
                     line.y + start * line.dirY,
                     end - start,
                     line.dirX,
                     line.dirY,
                     line.size,
                     !lineStarted};
        if (!word.text.empty() && word.length > 0) {
            words.push_back(std::move(word));
            lineStarted = true;
        }
    } while (it->Next(tesseract::RIL_WORD));
    return VLM_OK;
}

// Mean word confidence (0..100) from which a page read as it lies is taken as read: clean print reads at
// about 90, text lying sideways or upside down at well under 60.
constexpr int kSureReading = 70;

// Clockwise turn of the page's text (0, 90, 180, 270); 0 without the orientation model.
int32_t turnOfText(const GreyImage& page, int32_t resolution) {
    const bool opened = !detectionIsOpen() && openDetection() == VLM_OK;
    if (!detectionIsOpen())
        return 0;
    const PdfPageImageDesc desc{
        page.pixels.data(), page.width, page.width, page.height, resolution, resolution, VLM_KIND_GRAY, 0, 0};
    int32_t degrees = 0;
    if (detectDirection(desc, degrees) != VLM_OK)
        degrees = 0;
    if (opened)
        closeDetection();
    return degrees;
}

// Where a point of the page turned upright lies on the page as it is, the text on it turned clockwise
// by degrees; upright is the turned page's size.
struct Unturn {
    int32_t degrees;
    double width, height; // of the upright page

    std::pair<double, double> point(double x, double y) const {
        switch (degrees) {
        case 90:
            return {height - y, x};
        case 180:
            return {width - x, height - y};
        case 270:
            return {y, width - x};
        default:
            return {x, y};
        }
    }
    std::pair<double, double> direction(double dx, double dy) const {
        switch (degrees) {
        case 90:
            return {-dy, dx};
        case 180:
            return {-dx, -dy};
        case 270:
            return {dy, -dx};
        default:
            return {dx, dy};
        }
    }
};

GreyImage turnedUpright(const GreyImage& page, const Unturn& unturn) {
    const bool quarter = unturn.degrees % 180 != 0;
    GreyImage upright{std::vector<uint8_t>(page.pixels.size()), quarter ? page.height : page.width,
                      quarter ? page.width : page.height};
    for (int32_t y = 0; y < upright.height; ++y)
        for (int32_t x = 0; x < upright.width; ++x) {
            // The pixel's centre, so that the continuous mapping lands on the page's pixel.
            const auto [px, py] = unturn.point(x + 0.5, y + 0.5);
            upright.pixels[static_cast<size_t>(y) * upright.width + x] =
                page.pixels[static_cast<size_t>(py) * page.width + static_cast<size_t>(px)];
        }
    return upright;
}

} // namespace

int32_t recognizeWords(tesseract::TessBaseAPI& engine, const GreyImage& page, int32_t resolution,
                       std::vector<OcrWord>& words) {
    // A page that lies turned (the user turned it, or it was fed so) is read upright as well, and its
    // words are put back where they lie on it; the reading the engine is surer of wins, so that a page
    // read well as it lies never depends on the detection.
    const int32_t degrees = turnOfText(page, resolution);
    const int32_t asItLies = recognizeUpright(engine, page, resolution, words);
    if (degrees == 0 || asItLies != VLM_OK)
        return asItLies;
    const int confidence = words.empty() ? 0 : engine.MeanTextConf();
    if (confidence >= kSureReading)
        return VLM_OK;
    const bool quarter = degrees % 180 != 0;
    const Unturn unturn{degrees, static_cast<double>(quarter ? page.height : page.width),
                        static_cast<double>(quarter ? page.width : page.height)};
    std::vector<OcrWord> turned;
    if (recognizeUpright(engine, turnedUpright(page, unturn), resolution, turned) != VLM_OK ||
        turned.empty() || engine.MeanTextConf() <= confidence)
        return VLM_OK;
    for (OcrWord& word : turned) {
        std::tie(word.x, word.y) = unturn.point(word.x, word.y);
        std::tie(word.dirX, word.dirY) = unturn.direction(word.dirX, word.dirY);
    }
    words = std::move(turned);
    return VLM_OK;
}

std::string textOperators(const std::vector<OcrWord>& words, double scaleX, double scaleY,
                          double pageHeightPt) {
    if (words.empty())
        return "";
    std::string ops = "BT\n3 Tr\n";
    double lastSize = -1;
    double lastX = 0, lastY = 0; // page-space start of the previous word
    for (const OcrWord& word : words) {
        // Page space has y upwards; scaling x and y apart turns the baseline too.
        const double dx = word.dirX * scaleX;
        const double dy = -word.dirY * scaleY;
        const double unit = std::hypot(dx, dy);
        const double cosine = dx / unit;
        const double sine = dy / unit;
        const double size = std::max(word.size * scaleY, 1.0);
        const double natural = static_cast<double>(word.text.size()) * size * kGlyphWidth / 1000.0;
        const double x = word.x * scaleX;
        const double y = pageHeightPt - word.y * scaleY;
        if (word.startsLine && std::abs(size - lastSize) >= 0.05) {
            ops += "/F0 " + decimal(size, 1) + " Tf ";
            lastSize = size;
        }
        // Horizontal scaling (percent) makes the word cover its length, so that selecting it marks the image.
        ops += decimal(100.0 * word.length * unit / natural, 1) + " Tz ";
        // A line is placed once; its next words move along it, which keeps the layer small.
        if (word.startsLine)
            ops += (sine == 0 && cosine > 0 ? std::string("1 0 0 1 ")
                                            : decimal(cosine, 4) + " " + decimal(sine, 4) + " " +
                                                  decimal(-sine, 4) + " " + decimal(cosine, 4) + " ") +
                   decimal(x, 2) + " " + decimal(y, 2) + " Tm ";
        else
            ops += decimal((x - lastX) * cosine + (y - lastY) * sine, 2) + " 0 Td ";
        ops += '<';
        ops += hexOf(word.text);
        ops += "> Tj\n";
        lastX = x;
        lastY = y;
    }
    return ops + "ET\n";
}

} // namespace vlm
