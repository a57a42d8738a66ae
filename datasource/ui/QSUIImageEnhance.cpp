// Image enhancement: the image palette (edge emphasis, output rotation, inversion, bleed-through
// reduction, colour drop-out of each side) and the text-orientation box of both modes.
#include "CapHelpers.h"
#include "DialogItems.h"
#include "FilteringFields.h"
#include "QSCapIds.h"
#include "QSUIController.h"
#include "QSUIStrings.h"
#include "Tags.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QSignalBlocker>
#include <QSlider>

#include <array>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;

constexpr int kEdgeEmphasisTag = 302;
constexpr int kRotationTag = 311;
constexpr int kInverseTag = 320;
constexpr int kDirectionTag = 330;
constexpr int kBleedThroughTag = 340;
constexpr int kThresholdTag = 341;
constexpr int kFrontDropOutTag = 362;
constexpr int kBackDropOutTag = 364;
constexpr int kColorEnhanceItem = 4;

void Fill(QComboBox* popup, std::initializer_list<const char*> keys) {
    if (!popup)
        return;
    for (const char* key : keys)
        popup->addItem(QSUIString(QString::fromLatin1(key)));
}

void SetQuietly(QWidget* view, int tag, int value) {
    QWidget* control = view ? appkit::viewWithTag(view, tag) : nullptr;
    const QSignalBlocker blocker(control);
    SetItemIntValue(view, tag, value);
}

// The pop-up shows colour enhancement as its last item, the drop-out colours before it.
int DropOutIndex(const CCapPool* pool, TW_UINT16 dropOut, TW_UINT16 enhance) {
    return GetCapSIntValue(pool, enhance) != 0 ? kColorEnhanceItem : GetCapSIntValue(pool, dropOut);
}

void StoreDropOut(CCapPool* pool, TW_UINT16 dropOut, TW_UINT16 enhance, int index) {
    SetCapSIntValue(pool, dropOut, index == kColorEnhanceItem ? 0 : index);
    SetCapSIntValue(pool, enhance, index == kColorEnhanceItem ? 1 : 0);
}

} // namespace

void Controller::connectImageEnhanceControls() {
    for (QWidget* view : {mSimpleModeView.data(), mAdvanceModeView.data()})
        if (auto* box = view ? appkit::viewWithTag<QAbstractButton>(view, kDirectionTag) : nullptr)
            connect(box, &QAbstractButton::clicked, this, [this, box] { changeImageEnhanceControls(box); });
    QWidget* palette = mImagePalette.data();
    if (!palette)
        return;
    Fill(appkit::viewWithTag<QComboBox>(palette, kEdgeEmphasisTag),
         {"EdgeEmphasis_0", "EdgeEmphasis_1", "EdgeEmphasis_2", "EdgeEmphasis_3", "EdgeEmphasis_4",
          "EdgeEmphasis_5"});
    Fill(appkit::viewWithTag<QComboBox>(palette, kRotationTag),
         {"Rotation_0", "Rotation_90", "Rotation_180", "Rotation_270"});
    Fill(appkit::viewWithTag<QComboBox>(palette, kInverseTag), {"Inverse_On", "Inverse_Off"});
    Fill(appkit::viewWithTag<QComboBox>(palette, kBleedThroughTag), {"BleedThrough_On", "BleedThrough_Off"});
    for (const int tag : {kFrontDropOutTag, kBackDropOutTag})
        Fill(appkit::viewWithTag<QComboBox>(palette, tag),
             {"DropOut_None", "DropOut_Red", "DropOut_Green", "DropOut_Blue", "DropOut_Enhance"});
    for (const int tag :
         {kEdgeEmphasisTag, kRotationTag, kInverseTag, kBleedThroughTag, kFrontDropOutTag, kBackDropOutTag})
        if (auto* popup = appkit::viewWithTag<QComboBox>(palette, tag))
            connect(popup, &QComboBox::activated, this, [this, popup] { changeImageEnhanceControls(popup); });
    if (auto* slider = appkit::viewWithTag<QSlider>(palette, kThresholdTag))
        connect(slider, &QSlider::valueChanged, this, [this, slider] { changeImageEnhanceControls(slider); });
}

void Controller::initImageEnhanceUI() {
    if (!mSettings)
        return;
    updateImageEnhanceControls();
    syncImageEnhanceUI();
}

void Controller::updateImageEnhanceControls() {
    SetQuietly(currentView(), kDirectionTag, GetCapSIntValue(mSettings, CCAP_OVK_RECOGNIZE_DIRECTION) != 0);
    QWidget* palette = mImagePalette.data();
    if (isSimpleMode() || !palette)
        return;
    SetQuietly(palette, kEdgeEmphasisTag, GetCapSIntValue(mSettings, CCAP_OVK_EDGEEMPHASIS));
    SetQuietly(palette, kRotationTag, GetCapSIntValue(mSettings, CCAP_OVK_DATAORIENTATION) - 1);
    SetQuietly(palette, kInverseTag, GetCapSIntValue(mSettings, CCAP_OVK_REVERSESCANTYPE) == 0 ? 1 : 0);
    SetQuietly(palette, kBleedThroughTag, GetCapSIntValue(mSettings, CCAP_OVK_BLEEDTHROUGH) == 0 ? 1 : 0);
    SetQuietly(palette, kThresholdTag, GetCapSIntValue(mSettings, CCAP_OVK_BLEEDTHROUGH_THRESHOLD));
    SetQuietly(palette, kFrontDropOutTag, DropOutIndex(mSettings, CCAP_OVK_DROPOUT, CCAP_OVK_COLORENHANCE));
    SetQuietly(palette, kBackDropOutTag,
               DropOutIndex(mSettings, BackTwin(CCAP_OVK_DROPOUT), BackTwin(CCAP_OVK_COLORENHANCE)));
}

void Controller::changeImageEnhanceControls(QWidget* sender) {
    const int tag = appkit::tagOf(sender).value_or(0);
    QWidget* palette = mImagePalette.data();
    const bool inPalette = tag != kDirectionTag;
    if (inPalette && (isSimpleMode() || !palette))
        return;
    const int value = GetItemIntValue(inPalette ? palette : currentView(), tag);
    switch (tag) {
    case kEdgeEmphasisTag:
        SetCapSIntValue(mSettings, CCAP_OVK_EDGEEMPHASIS, value);
        break;
    case kRotationTag:
        SetCapSIntValue(mSettings, CCAP_OVK_DATAORIENTATION, value + 1);
        resetScanArea();
        break;
    case kInverseTag:
        SetCapSIntValue(mSettings, CCAP_OVK_REVERSESCANTYPE, value == 0 ? 1 : 0);
        scheduleImageFilter();
        break;
    case kDirectionTag:
        SetCapSIntValue(mSettings, CCAP_OVK_RECOGNIZE_DIRECTION, value != 0 ? 1 : 0);
        // Turned pages have no fixed area: the scan area goes back to the whole page.
        if (value != 0)
            resetScanArea();
        changeScanAreaSettingControls();
        syncPreferencePalette();
        break;
    case kBleedThroughTag:
        SetCapSIntValue(mSettings, CCAP_OVK_BLEEDTHROUGH, value == 0 ? 1 : 0);
        break;
    case kThresholdTag:
        SetCapSIntValue(mSettings, CCAP_OVK_BLEEDTHROUGH_THRESHOLD, value);
        break;
    case kFrontDropOutTag:
        StoreDropOut(mSettings, CCAP_OVK_DROPOUT, CCAP_OVK_COLORENHANCE, value);
        break;
    case kBackDropOutTag:
        StoreDropOut(mSettings, BackTwin(CCAP_OVK_DROPOUT), BackTwin(CCAP_OVK_COLORENHANCE), value);
        break;
    default:
        return;
    }
    syncImageEnhanceUI();
    changeFavoriteControls(nullptr);
}

void Controller::syncImageEnhanceUI() {
    if (!mSettings)
        return;
    const bool kept = hasScanImage();
    SetItemEnabled(currentView(), kDirectionTag, !kept);
    QWidget* palette = mImagePalette.data();
    if (isSimpleMode() || !palette)
        return;
    const std::int32_t pixelType = GetCapSIntValue(mSettings, ICAP_PIXELTYPE);
    const bool text = isTextEnhanceMode();
    const bool detect = GetCapSIntValue(mSettings, CCAP_OVK_DETECTPAGETYPE) != 0;
    const bool bleed = !kept && !text && !detect;
    SetItemEnabled(palette, kEdgeEmphasisTag, !text && !kept);
    SetItemEnabled(palette, kRotationTag,
                   !kept && GetCapSIntValue(mSettings, CCAP_OVK_RECOGNIZE_DIRECTION) == 0);
    SetItemEnabled(palette, kInverseTag, !kept && (pixelType == TWPT_BW || detect));
    SetItemEnabled(palette, kBleedThroughTag, bleed);
    SetItemEnabled(palette, kThresholdTag, bleed && GetCapSIntValue(mSettings, CCAP_OVK_BLEEDTHROUGH) != 0);
    for (const int tag : {kFrontDropOutTag, kBackDropOutTag})
        SetItemEnabled(palette, tag, !kept && pixelType != TWPT_RGB && !detect);
    SetItemEnabled(mAdvanceModeView.data(), kImagePaletteButtonTag, !kept);
    appkit::FStaticTextField::syncStaticTextInView(palette);
}
