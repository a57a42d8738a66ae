// Orientation from the text lines first (line_axis.h): for pages of Latin body text they tell the turn
// on their own, in a few milliseconds. Otherwise Tesseract's orientation-and-script model decides, on a
// grey copy of at most 300 dpi (reduced further, small letters fall under its smallest character size),
// among the turns the line axis allows.
#include "text_direction.h"

#include "line_axis.h"
#include "page_image.h"
#include "tesseract_engine.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <tesseract/baseapi.h>
#include <tesseract/osdetect.h>
#include <vector>

namespace vlm {
namespace {

constexpr char kOrientationModel[] = "osd";
constexpr int32_t kDetectionDpi = 300;
// Margin of the best direction over the next (the model's scale; about 2 per line of text): below 5, that
// is two or three lines, a turn is too often wrong, and leaving a page upright is the lesser harm.
constexpr float kMinConfidence = 5.0f;
// Text pages of every style tried show an ascent of 0.6 and more; below 0.3 the lines (headings in
// capitals, figures, scripts without ascenders) leave the choice to the model.
constexpr double kClearAscent = 0.3;

struct DetectionState {
    Engine engine;
    std::string folder;
    bool open = false;
};

thread_local DetectionState state;

int32_t startDetectionEngine() {
    const std::string folder = dataPathFor(kOrientationModel);
    if (state.engine && state.folder == folder)
        return VLM_OK;
    state.folder.clear();
    if (const int32_t result = startEngine(folder, kOrientationModel, state.engine); result != VLM_OK)
        return result;
    state.folder = folder;
    return VLM_OK;
}

// The turn the lines show on their own, or -1 when their evidence is not clear enough.
int32_t turnOfLines(const LineEvidence& lines) {
    if (lines.axis == LineAxis::Unknown || std::abs(lines.ascent) < kClearAscent)
        return -1;
    if (lines.axis == LineAxis::Rows)
        return lines.ascent > 0 ? 0 : 180;
    return lines.ascent > 0 ? 90 : 270;
}

// Best of the turns the line axis allows by the model's score (a sum of log likelihoods per id; id i is
// i quarter turns clockwise), when it leads every other allowed turn clearly; else 0, since leaving a
// page as it came is the lesser harm.
int32_t chooseTurn(const float (&score)[4], LineAxis axis) {
    const std::vector<int> allowed = axis == LineAxis::Rows      ? std::vector<int>{0, 2}
                                     : axis == LineAxis::Columns ? std::vector<int>{1, 3}
                                                                 : std::vector<int>{0, 1, 2, 3};
    const int best =
        *std::max_element(allowed.begin(), allowed.end(), [&](int a, int b) { return score[a] < score[b]; });
    for (int other : allowed)
        if (other != best && score[best] - score[other] < kMinConfidence)
            return 0;
    return best * 90;
}

} // namespace

bool detectionModelFound() {
    return packsFound(kOrientationModel);
}

// Loading the model costs more than most pages' detection, so it waits for the first page that needs it.
int32_t openDetection() {
    if (state.open)
        return VLM_ERR_ALREADYOPEN;
    if (!detectionModelFound())
        return VLM_ERR_LANGUAGE;
    state.open = true;
    return VLM_OK;
}

bool detectionIsOpen() {
    return state.open;
}

void closeDetection() {
    state.open = false;
}

int32_t detectDirection(const PdfPageImageDesc& page, int32_t& degrees) {
    degrees = 0;
    if (!state.open)
        return VLM_ERR_NOTOPEN;
    ImageView view;
    if (const int32_t result = viewOfPage(page, nullptr, view); result != VLM_OK)
        return result;
    const int32_t resolution = std::min(page.lXResolution, page.lYResolution);
    const int32_t factor = std::max(1, resolution / kDetectionDpi);
    const GreyImage grey = greyReduced(view, factor);
    const LineEvidence lines = textLines(grey);
    if (const int32_t turn = turnOfLines(lines); turn >= 0) {
        degrees = turn;
        return VLM_OK;
    }
    if (const int32_t result = startDetectionEngine(); result != VLM_OK)
        return result;
    recogniseOnThisThreadOnly();
    tesseract::TessBaseAPI& engine = *state.engine;
    engine.SetPageSegMode(tesseract::PSM_OSD_ONLY);
    engine.SetImage(grey.pixels.data(), grey.width, grey.height, 1, grey.width);
    engine.SetSourceResolution(std::max(resolution / factor, 1));
    tesseract::OSResults scores;
    const bool found = engine.DetectOS(&scores);
    engine.Clear();
    if (found)
        degrees = chooseTurn(scores.orientations, lines.axis);
    return VLM_OK;
}

} // namespace vlm
