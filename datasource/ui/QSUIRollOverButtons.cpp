// Which image each of the dialog's image buttons and slider ends shows in which state.
#include "QSUIController.h"
#include "RollOverImages.h"

#include <array>

namespace {

using Names = std::array<const char*, 6>;

// A tool button: its normal and disabled images; the other states draw their highlight over the normal.
constexpr Names Tool(const char* normal, const char* disabled) {
    return {normal, nullptr, nullptr, nullptr, disabled, nullptr};
}

constexpr Names kSimpleScan{"SPL_Scan_N",  "SPL_Scan_S", "SPL_Scan_NF",
                            "SPL_Scan_SF", "SPL_Scan_G", "SPL_Scan_C"};
constexpr Names kAdvancedScan{"DTL_Scan_N",  "DTL_Scan_S", "DTL_Scan_NF",
                              "DTL_Scan_SF", "DTL_Scan_G", "DTL_Scan_C"};

struct SSliderEnd {
    std::array<int, 2> tags; // front, back
    const char* normal;
    const char* disabled;
};

constexpr std::array<SSliderEnd, 4> kSliderEnds{{
    {{205, 207}, "SPL_BrightnessHi_N", "SPL_BrightnessHi_G"},
    {{206, 208}, "SPL_BirghtnessLow_N", "SPL_BirghtnessLow_G"},
    {{215, 217}, "SPL_ContrastHi_N", "SPL_ContrastHi_G"},
    {{216, 218}, "SPL_ContrastLow_N", "SPL_ContrastLow_G"},
}};

} // namespace

void ComOrvikElectronicsK3100QSUIController::setupRollOverButtons() {
    const std::array<std::pair<int, Names>, 6> tools{{
        {701, Tool("TPL_ZoomIn_N", "TPL_ZoomIn_G")},
        {702, Tool("TPL_ZoomOut_N", "TPL_ZoomOut_G")},
        {703, Tool("TPL_DragSwitch_N", "TPL_DragSwitch_G")},
        {704, Tool("TPL_GloveSwitch_N", "TPL_GloveSwitch_G")},
        {705, Tool("TPL_Info_N", "TPL_Info_G")},
        {706, Tool("TPL_Help_N", "TPL_Help_G")},
    }};
    for (const auto& [tag, names] : tools)
        SetupRollOverButton(mWindow.get(), tag, names);
    SetupRollOverButton(mSimpleModeView, kSimpleScanButtonTag, kSimpleScan);
    SetupRollOverButton(mSimpleModeView, kSimpleScanButtonTag + 1, kSimpleScan);
    SetupRollOverButton(mAdvanceModeView, kAdvancedScanButtonTag, kAdvancedScan);
    setupSliderEndImages(mSimpleModeView);
    setupSliderEndImages(mAdvanceModeView);
}

void ComOrvikElectronicsK3100QSUIController::setupSliderEndImages(QWidget* view) {
    // Only the advanced view has the back side's sliders; elsewhere their tags find nothing.
    for (const SSliderEnd& end : kSliderEnds)
        for (const int tag : end.tags)
            SetupStateImages(view, tag, end.normal, end.disabled);
}
