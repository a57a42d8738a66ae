// The settings sheets of the basic controls: the automatic colour detection and the blank-page skip.
#include "CapHelpers.h"
#include "DialogItems.h"
#include "QSCapIds.h"
#include "QSUIController.h"
#include "QSUIStrings.h"
#include "Tags.h"
#include "UiFiles.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSlider>

namespace {

constexpr int kSheetOkTag = 1;
constexpr int kSheetCancelTag = 0;
constexpr int kThresholdSlider = 160;
constexpr int kAmountSlider = 161;
constexpr int kBWModePopup = 162;
constexpr int kBrightnessSlider = 163;
constexpr int kBrightnessField = 164;
constexpr int kContrastSlider = 165;
constexpr int kContrastField = 166;
constexpr int kThresholdField = 167;
constexpr int kAmountField = 168;
constexpr int kBrightnessHighImage = 205;
constexpr int kBrightnessLowImage = 206;
constexpr int kContrastHighImage = 215;
constexpr int kContrastLowImage = 216;
constexpr int kBlankSkipSlider = 170;
constexpr int kBlankSkipField = 171;
// The black-and-white mode whose text is enhanced, the one that uses brightness and contrast.
constexpr int kBWModeTextEnhance = 2;

// The slider (its range from the interface file) at the capability's value, its field showing the value
// as it moves.
void LoadSlider(QWidget* sheet, int sliderTag, int fieldTag, const CCapPool* pool, TW_UINT16 id) {
    auto* slider = appkit::viewWithTag<QSlider>(sheet, sliderTag);
    auto* field = appkit::viewWithTag<QLabel>(sheet, fieldTag);
    if (!slider || !field)
        return;
    QObject::disconnect(slider, &QSlider::valueChanged, nullptr, nullptr);
    QObject::connect(slider, &QSlider::valueChanged, field, [field](int value) { field->setNum(value); });
    slider->setValue(GetCapSIntValue(pool, id));
    field->setNum(slider->value());
}

} // namespace

QDialog* ComOrvikElectronicsK3100QSUIController::loadSheet(const QString& name) {
    std::unique_ptr<QWidget> loaded = LoadResourceUiFile(name, {}, ResourcePeeker);
    auto* sheet = qobject_cast<QDialog*>(loaded.get());
    if (!sheet || !mWindow)
        return nullptr;
    loaded.release();
    sheet->setParent(mWindow.get(), Qt::Sheet);
    sheet->setWindowModality(Qt::WindowModal);
    for (const int tag : {kSheetOkTag, kSheetCancelTag})
        if (auto* button = appkit::viewWithTag<QAbstractButton>(sheet, tag))
            connect(button, &QAbstractButton::clicked, sheet, [sheet, tag] { sheet->done(tag); });
    return sheet;
}

void ComOrvikElectronicsK3100QSUIController::beginDetectPageTypeSheet() {
    if (!mDetectPageTypePanel) {
        mDetectPageTypePanel = loadSheet(QStringLiteral("DetectPageTypePanel"));
        if (!mDetectPageTypePanel)
            return;
        if (auto* modes = appkit::viewWithTag<QComboBox>(mDetectPageTypePanel, kBWModePopup)) {
            for (const char* key : {"DetectBWMode BW", "DetectBWMode ED", "DetectBWMode ATE2"})
                modes->addItem(QSUIString(QString::fromLatin1(key)));
            connect(modes, &QComboBox::currentIndexChanged, this,
                    [this] { changeDetectPageTypePanelControls(); });
        }
        connect(mDetectPageTypePanel, &QDialog::finished, this,
                [this](int code) { detectPageTypeSheetDidEnd(code); });
        setupSliderEndImages(mDetectPageTypePanel);
    }
    QDialog* sheet = mDetectPageTypePanel;
    LoadSlider(sheet, kThresholdSlider, kThresholdField, mSettings, CCAP_OVK_DETECTPAGETYPE_THRESHOLD);
    LoadSlider(sheet, kAmountSlider, kAmountField, mSettings, CCAP_OVK_DETECTPAGETYPE_AMOUNT);
    SetItemIntValue(sheet, kBWModePopup, GetCapSIntValue(mSettings, CCAP_OVKM_DETECTPAGETYPE_BWMODE));
    LoadSlider(sheet, kBrightnessSlider, kBrightnessField, mSettings, CCAP_OVK_TEXTENHANCE_BRIGHTNESS);
    LoadSlider(sheet, kContrastSlider, kContrastField, mSettings, CCAP_OVK_TEXTENHANCE_CONTRAST);
    changeDetectPageTypePanelControls();
    sheet->open();
}

void ComOrvikElectronicsK3100QSUIController::changeDetectPageTypePanelControls() {
    QDialog* sheet = mDetectPageTypePanel;
    const bool textEnhance = GetItemIntValue(sheet, kBWModePopup) == kBWModeTextEnhance;
    for (const int tag : {kBrightnessSlider, kBrightnessField, kContrastSlider, kContrastField,
                          kBrightnessHighImage, kBrightnessLowImage, kContrastHighImage, kContrastLowImage})
        SetItemEnabled(sheet, tag, textEnhance);
}

void ComOrvikElectronicsK3100QSUIController::detectPageTypeSheetDidEnd(int returnCode) {
    QDialog* sheet = mDetectPageTypePanel;
    if (returnCode != kSheetOkTag || !sheet)
        return;
    SetCapSIntValue(mSettings, CCAP_OVK_DETECTPAGETYPE_THRESHOLD, GetItemIntValue(sheet, kThresholdSlider));
    SetCapSIntValue(mSettings, CCAP_OVK_DETECTPAGETYPE_AMOUNT, GetItemIntValue(sheet, kAmountSlider));
    SetCapSIntValue(mSettings, CCAP_OVKM_DETECTPAGETYPE_BWMODE, GetItemIntValue(sheet, kBWModePopup));
    SetCapSIntValue(mSettings, CCAP_OVK_TEXTENHANCE_BRIGHTNESS, GetItemIntValue(sheet, kBrightnessSlider));
    SetCapSIntValue(mSettings, CCAP_OVK_TEXTENHANCE_CONTRAST, GetItemIntValue(sheet, kContrastSlider));
    updateFavoriteControls();
}

void ComOrvikElectronicsK3100QSUIController::beginBlankSkipSheet() {
    if (!mBlankSkipPanel) {
        mBlankSkipPanel = loadSheet(QStringLiteral("BlankSkipPanel"));
        if (!mBlankSkipPanel)
            return;
        connect(mBlankSkipPanel, &QDialog::finished, this, [this](int code) { blankSkipSheetDidEnd(code); });
    }
    LoadSlider(mBlankSkipPanel, kBlankSkipSlider, kBlankSkipField, mSettings, CCAP_OVK_BLANKSKIPSLICE3);
    mBlankSkipPanel->open();
}

void ComOrvikElectronicsK3100QSUIController::blankSkipSheetDidEnd(int returnCode) {
    if (returnCode != kSheetOkTag || !mBlankSkipPanel)
        return;
    SetCapSIntValue(mSettings, CCAP_OVK_BLANKSKIPSLICE3, GetItemIntValue(mBlankSkipPanel, kBlankSkipSlider));
    updateFavoriteControls();
}
