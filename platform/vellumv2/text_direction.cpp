// Orientation through Tesseract's orientation-and-script model on a grey copy reduced to about 150 dpi:
// enough for body text, and four times fewer pixels than a 300 dpi page.
#include "text_direction.h"

#include "page_image.h"
#include "tesseract_engine.h"

#include <algorithm>
#include <string>
#include <tesseract/baseapi.h>

namespace vlm {
namespace {

constexpr char kOrientationModel[] = "osd";
constexpr int32_t kDetectionDpi = 150;
// Margin of the best direction over the next (the model's scale; about 2 per line of text): below 5, that
// is two or three lines, a turn is too often wrong, and leaving a page upright is the lesser harm.
constexpr float kMinConfidence = 5.0f;

struct DetectionState {
    Engine engine;
    std::string folder;
    bool open = false;
};

thread_local DetectionState state;

} // namespace

bool detectionModelFound() {
    return packsFound(kOrientationModel);
}

int32_t openDetection() {
    if (state.open)
        return VLM_ERR_ALREADYOPEN;
    const std::string folder = dataPathFor(kOrientationModel);
    if (!state.engine || state.folder != folder) {
        state.folder.clear();
        if (const int32_t result = startEngine(folder, kOrientationModel, state.engine); result != VLM_OK)
            return result;
        state.folder = folder;
    }
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
    const int32_t factor = std::max(1, (resolution + kDetectionDpi / 2) / kDetectionDpi);
    const GreyImage grey = greyReduced(view, factor);
    tesseract::TessBaseAPI& engine = *state.engine;
    engine.SetPageSegMode(tesseract::PSM_OSD_ONLY);
    engine.SetImage(grey.pixels.data(), grey.width, grey.height, 1, grey.width);
    engine.SetSourceResolution(std::max(resolution / factor, 1));
    int orientation = 0;
    float confidence = 0;
    const char* script = nullptr;
    float scriptConfidence = 0;
    const bool found = engine.DetectOrientationScript(&orientation, &confidence, &script, &scriptConfidence);
    engine.Clear();
    if (found && confidence >= kMinConfidence)
        degrees = orientation;
    return VLM_OK;
}

} // namespace vlm
