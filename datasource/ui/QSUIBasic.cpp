// Basic settings of the dialog: each control of the current view shows its capabilities and writes them
// back at once, so the next scan is what the dialog shows.
#include "CapHelpers.h"
#include "CapNames.h"
#include "DataSourcePreferences.h"
#include "DialogItems.h"
#include "FilteringFields.h"
#include "PreferencesFile.h"
#include "QSCapIds.h"
#include "QSPaperSize.h"
#include "QSUIController.h"
#include "QSUIStrings.h"
#include "Tags.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStandardItemModel>

#include <array>
#include <cmath>
#include <cstring>

namespace {

constexpr int kColorModeTag = 100;
constexpr int kPaperSizeTag = 102;
constexpr int kResolutionTag = 103;
constexpr int kScanSideTag = 110;
constexpr int kSkewCorrectionTag = 120;
constexpr int kReduceMoireTag = 121;
constexpr int kScanOptionTag = 122;

enum EColorMode { kBlackWhite, kErrorDiffusion, kTextEnhance, kGray, kColor, kDetect };
enum EScanSide { kOneSide, kDuplex, kDuplexSkipBlank, kFoldLargeSize };

constexpr int kPaperDetectItem = -3;
constexpr int kPaperCustomizeItem = -4;
constexpr int kMoireNone = 1;
constexpr int kMoireFast = 2;
constexpr int kMoireFine = 3;

constexpr char kErrorDiffusionName[] = "Error Diffusion";

// The halftone item: a length byte, then the name, zero-filled to the item's 34 bytes.
std::array<std::uint8_t, 34> HalftoneItem(const char* name) {
    std::array<std::uint8_t, 34> item{};
    const std::size_t length = std::strlen(name);
    item[0] = static_cast<std::uint8_t>(length);
    std::memcpy(&item[1], name, length);
    return item;
}

bool IsErrorDiffusion(const CCapPool* pool) {
    std::array<std::uint8_t, 34> item{};
    if (!GetCapStrValue(pool, ICAP_HALFTONES, item))
        return false;
    // The name and its terminating zero byte.
    return std::memcmp(&item[1], kErrorDiffusionName, sizeof kErrorDiffusionName) == 0;
}

void AddItem(QComboBox* popup, const QString& title, int itemTag) {
    popup->addItem(title);
    popup->setItemData(popup->count() - 1, itemTag, appkit::kItemTagRole);
}

QComboBox* Popup(QWidget* view, int tag) {
    return view ? appkit::viewWithTag<QComboBox>(view, tag) : nullptr;
}

std::int32_t Truncated(double value) {
    return static_cast<std::int32_t>(std::trunc(value));
}

} // namespace

void ComOrvikElectronicsK3100QSUIController::connectBasicSettingControls() {
    using Change = void (ComOrvikElectronicsK3100QSUIController::*)(QWidget*);
    const std::array<std::pair<int, Change>, 6> popups{{
        {kColorModeTag, &ComOrvikElectronicsK3100QSUIController::changeColorModeControls},
        {kPaperSizeTag, &ComOrvikElectronicsK3100QSUIController::changePaperSizeControls},
        {kResolutionTag, &ComOrvikElectronicsK3100QSUIController::changeResolutionControls},
        {kScanSideTag, &ComOrvikElectronicsK3100QSUIController::changeScanSideControls},
        {kReduceMoireTag, &ComOrvikElectronicsK3100QSUIController::changeReduceMoireControls},
        {kScanOptionTag, &ComOrvikElectronicsK3100QSUIController::changeScanOptionControls},
    }};
    for (QWidget* view :
         {mSimpleModeView.data(), mAdvanceModeView.data(), mImagePalette.data(), mPreferencePalette.data()}) {
        if (!view)
            continue;
        for (const auto& entry : popups) {
            const Change change = entry.second;
            if (QComboBox* popup = Popup(view, entry.first))
                connect(popup, &QComboBox::activated, this,
                        [this, popup, change] { (this->*change)(popup); });
        }
        if (auto* box = appkit::viewWithTag<QCheckBox>(view, kSkewCorrectionTag))
            connect(box, &QCheckBox::clicked, this, [this, box] { changeSkewCorrectionControls(box); });
        if (QComboBox* resolutions = Popup(view, kResolutionTag))
            for (const QString& itemTag : resolutions->property("itemTags").toString().split(u',')) {
                const QString dpi = itemTag.trimmed();
                AddItem(resolutions, QSUIString(QStringLiteral("ResolutionItem")).arg(dpi), dpi.toInt());
            }
        for (QLabel* label : view->findChildren<QLabel*>())
            if (auto* text = dynamic_cast<appkit::FStaticTextField*>(label))
                text->setRelatedControl(text->buddy());
    }
    if (QComboBox* favorites = Popup(mAdvanceModeView.data(), 50))
        connect(favorites, &QComboBox::activated, this,
                [this, favorites] { changeFavoriteControls(favorites); });
    // Each tab holds its own copy of the controls: the one coming into view shows the pool as it is.
    if (mSettingModeTab)
        connect(mSettingModeTab, &QTabWidget::currentChanged, this, [this] {
            if (mSettings)
                initBasicSettingUI();
        });
}

void ComOrvikElectronicsK3100QSUIController::initBasicSettingUI() {
    buildColorModeControls();
    updateColorModeControls();
    buildPaperSizeControls();
    updatePaperSizeControls();
    updateResolutionControls();
    buildScanSideControls();
    updateScanSideControls();
    updateSkewCorrectionControls();
    buildReduceMoireControls();
    updateReduceMoireControls();
    updateScanOptionControls();
    syncBasicSettingUI();
}

void ComOrvikElectronicsK3100QSUIController::syncBasicSettingUI() {
    QWidget* view = currentView();
    if (!view)
        return;
    const bool enabled = !hasScanImage();
    for (const int tag : {kColorModeTag, kPaperSizeTag, kScanSideTag, kSkewCorrectionTag, kResolutionTag})
        SetItemEnabled(view, tag, enabled);
    if (!isSimpleMode()) {
        SetItemEnabled(mImagePalette, kReduceMoireTag, enabled);
        SetItemEnabled(view, kScanOptionTag, enabled);
    }
    appkit::FStaticTextField::syncStaticTextInView(view);
}

// ---- colour mode ----

void ComOrvikElectronicsK3100QSUIController::buildColorModeControls() {
    QComboBox* popup = Popup(currentView(), kColorModeTag);
    if (!popup)
        return;
    popup->clear();
    for (const char* key :
         {"ColorMode BW", "ColorMode ED", "ColorMode ATE2", "ColorMode Gray", "ColorMode Color"})
        popup->addItem(QSUIString(QString::fromLatin1(key)));
    if (GetCapSIntValue(mSettings, CCAP_OVK_PRESCAN) == 0)
        popup->addItem(QSUIString(isSimpleMode() ? QStringLiteral("ColorMode Detect")
                                                 : QStringLiteral("ColorMode Detect...")));
    popup->setCurrentIndex(popup->count() - 1);
}

void ComOrvikElectronicsK3100QSUIController::updateColorModeControls() {
    const std::uint32_t pixelType = GetCapUIntValue(mSettings, ICAP_PIXELTYPE);
    int index = kBlackWhite;
    if (GetCapSIntValue(mSettings, CCAP_OVK_DETECTPAGETYPE) != 0)
        index = kDetect;
    else if (pixelType == TWPT_GRAY)
        index = kGray;
    else if (pixelType != TWPT_BW)
        index = kColor;
    else if (GetCapSIntValue(mSettings, CCAP_OVK_TEXTENHANCE) != 0)
        index = kTextEnhance;
    else if (IsErrorDiffusion(mSettings))
        index = kErrorDiffusion;
    SetItemIntValue(currentView(), kColorModeTag, index);
}

void ComOrvikElectronicsK3100QSUIController::changeColorModeControls(QWidget* sender) {
    const int index = GetItemIntValue(currentView(), kColorModeTag);
    if (index >= kBlackWhite && index <= kTextEnhance) {
        SetCapUIntValue(mSettings, ICAP_PIXELTYPE, TWPT_BW);
        SetCapStrValue(mSettings, ICAP_HALFTONES,
                       HalftoneItem(index == kErrorDiffusion ? kErrorDiffusionName : "None"));
        SetCapSIntValue(mSettings, CCAP_OVK_TEXTENHANCE, index == kTextEnhance ? 1 : 0);
    } else if (index >= kGray && index <= kDetect) {
        SetCapUIntValue(mSettings, ICAP_PIXELTYPE, index == kGray ? TWPT_GRAY : TWPT_RGB);
    }
    if (index >= kBlackWhite && index <= kDetect)
        SetCapSIntValue(mSettings, CCAP_OVK_DETECTPAGETYPE, index == kDetect ? 1 : 0);
    syncBasicSettingUI();
    syncImageEnhanceUI();
    syncToneSettingUI();
    changeFavoriteControls(nullptr);
    if (sender && !isSimpleMode() && index == kDetect)
        beginDetectPageTypeSheet();
}

// ---- paper size ----

void ComOrvikElectronicsK3100QSUIController::buildPaperSizeControls() {
    QComboBox* popup = Popup(currentView(), kPaperSizeTag);
    if (!popup)
        return;
    popup->clear();
    const fnd::Dictionary* papers = mUIParameters.get("SupportedPapers").asDictionary();
    AddItem(popup, QSUIString(QStringLiteral("DETECT")), kPaperDetectItem);
    if (const fnd::Array* original = papers ? papers->get("OriginalPapers").asArray() : nullptr)
        for (const fnd::Value& entry : *original) {
            const fnd::Dictionary* paper = entry.asDictionary();
            const std::string* name = paper ? paper->get("Name").asString() : nullptr;
            if (const std::optional<std::int32_t> id = paper ? paper->get("ID").asInt32() : std::nullopt;
                name && id)
                AddItem(popup, QSUIString(QString::fromStdString(*name)), *id);
        }
    AddItem(popup, QSUIString(QStringLiteral("MAXSIZE")), kPaperFreeArea);
    const double physicalWidth = GetCapFloatValue(mSettings, ICAP_PHYSICALWIDTH);
    const double physicalHeight = GetCapFloatValue(mSettings, ICAP_PHYSICALHEIGHT);
    auto* model = qobject_cast<QStandardItemModel*>(popup->model());
    if (const fnd::Array* custom = papers ? papers->get("CustomPapers").asArray() : nullptr)
        for (const fnd::Value& entry : *custom) {
            const fnd::Dictionary* paper = entry.asDictionary();
            const std::string* name = paper ? paper->get("Name").asString() : nullptr;
            if (!name)
                continue;
            AddItem(popup, QString::fromStdString(*name), kPaperCustom);
            const bool fits = Truncated(paper->get("Width").asDouble().value_or(0)) <= physicalWidth &&
                              Truncated(paper->get("Height").asDouble().value_or(0)) <= physicalHeight;
            if (model)
                model->item(popup->count() - 1)->setEnabled(fits);
        }
    popup->insertSeparator(popup->count());
    AddItem(popup, QSUIString(QStringLiteral("CUSTOMIZE")), kPaperCustomizeItem);
    popup->setCurrentIndex(popup->count() - 1);
}

void ComOrvikElectronicsK3100QSUIController::updatePaperSizeControls() {
    QComboBox* popup = Popup(currentView(), kPaperSizeTag);
    if (!popup)
        return;
    const std::int32_t paper = GetCapSIntValue(mSettings, CCAP_OVKM_PAPERSIZE);
    int index = -1;
    if (GetCapSIntValue(mSettings, CCAP_OVK_DETECTPAGESIZE) != 0) {
        index = popup->findData(kPaperDetectItem, appkit::kItemTagRole);
    } else if (paper == kPaperCustom) {
        CapNameItem name{};
        GetCapStrValue(mSettings, CCAP_OVKM_CUSTOMPAGESIZENAME, name);
        const std::string title = DecodeCapName(name);
        if (!title.empty())
            for (int i = 0; i < popup->count() && index < 0; ++i)
                if (popup->itemData(i, appkit::kItemTagRole).toInt() == kPaperCustom &&
                    SameCapName(popup->itemText(i).toStdString(), title))
                    index = i;
    } else {
        index = popup->findData(paper, appkit::kItemTagRole);
    }
    const auto* model = qobject_cast<QStandardItemModel*>(popup->model());
    const bool offered = index >= 0 && (!model || model->item(index)->isEnabled());
    if (offered) {
        popup->setCurrentIndex(index);
        return;
    }
    // Not offered (a user's paper gone or too large, an unknown paper): the default, applied at once.
    // Without the default in the list (no paper resource), the largest size, which is always there.
    ResetCapValue(mSettings, CCAP_OVKM_PAPERSIZE);
    const int fallback =
        popup->findData(GetCapSIntValue(mSettings, CCAP_OVKM_PAPERSIZE), appkit::kItemTagRole);
    popup->setCurrentIndex(fallback >= 0 ? fallback : popup->findData(kPaperFreeArea, appkit::kItemTagRole));
    changePaperSizeControls(popup);
}

void ComOrvikElectronicsK3100QSUIController::changePaperSizeControls(QWidget* sender) {
    QComboBox* popup = Popup(currentView(), kPaperSizeTag);
    if (!popup || popup->currentIndex() < 0)
        return;
    float width = GetCapFloatValue(mSettings, ICAP_PHYSICALWIDTH);
    float height = GetCapFloatValue(mSettings, ICAP_PHYSICALHEIGHT);
    std::string name;
    int selected = popup->itemData(popup->currentIndex(), appkit::kItemTagRole).toInt();
    if (selected == kPaperCustomizeItem) {
        decideScanArea(false);
        QString added;
        if (runModalPaperEditPanel(added) != 1) {
            updatePaperSizeControls();
            return;
        }
        fnd::Dictionary papers = mUIParameters.get("SupportedPapers").asDictionary()
                                     ? *mUIParameters.get("SupportedPapers").asDictionary()
                                     : fnd::Dictionary();
        const fnd::PreferencesFile preferences(DataSourcePreferencesPath());
        const fnd::Array* stored = preferences.get(kPrefCustomPapers).asArray();
        papers.set("CustomPapers", stored ? *stored : fnd::Array());
        mUIParameters.set("SupportedPapers", papers);
        buildPaperSizeControls();
        if (!added.isEmpty()) {
            SetCapStrValue(mSettings, CCAP_OVKM_CUSTOMPAGESIZENAME, EncodeCapName(added.toStdString()));
            SetCapSIntValue(mSettings, CCAP_OVKM_PAPERSIZE, kPaperCustom);
            SetCapSIntValue(mSettings, CCAP_OVK_DETECTPAGESIZE, 0);
        }
        updatePaperSizeControls();
        // Applied as if the paper now shown had been chosen.
        selected = popup->itemData(popup->currentIndex(), appkit::kItemTagRole).toInt();
    }
    const fnd::Dictionary* papers = mUIParameters.get("SupportedPapers").asDictionary();
    if (selected <= kPaperDetectItem) {
        SetCapSIntValue(mSettings, CCAP_OVKM_PAPERSIZE, kPaperCustom);
        SetCapSIntValue(mSettings, CCAP_OVK_DETECTPAGESIZE, 1);
    } else {
        SetCapSIntValue(mSettings, CCAP_OVKM_PAPERSIZE, selected);
        SetCapSIntValue(mSettings, CCAP_OVK_DETECTPAGESIZE, 0);
        const fnd::Dictionary* paper = nullptr;
        if (selected == kPaperCustom) {
            name = popup->currentText().toStdString();
            paper = FindPaper(papers, "CustomPapers", [&name](const fnd::Dictionary& entry) {
                const std::string* entryName = entry.get("Name").asString();
                return entryName && *entryName == name;
            });
        } else if (selected >= 0) {
            paper = FindPaper(papers, "OriginalPapers", [selected](const fnd::Dictionary& entry) {
                return entry.get("ID").asInt32() == selected;
            });
        }
        if (paper) {
            width = static_cast<float>(paper->get("Width").asDouble().value_or(width));
            height = static_cast<float>(paper->get("Height").asDouble().value_or(height));
        }
    }
    SetCapStrValue(mSettings, CCAP_OVKM_CUSTOMPAGESIZENAME, EncodeCapName(name));
    SetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_X, 0);
    SetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_Y, 0);
    SetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_WIDTH, width);
    SetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_HEIGHT, height);
    if (!sender)
        return;
    changeScanAreaSettingControls();
    syncPreferencePalette();
    resetScanArea();
    syncBasicSettingUI();
    changeFavoriteControls(nullptr);
}

// ---- resolution ----

void ComOrvikElectronicsK3100QSUIController::updateResolutionControls() {
    SetMenuItemIntValue(currentView(), kResolutionTag,
                        static_cast<int>(std::lround(GetCapFloatValue(mSettings, ICAP_XRESOLUTION))));
}

void ComOrvikElectronicsK3100QSUIController::changeResolutionControls(QWidget*) {
    const int dpi = GetMenuItemIntValue(currentView(), kResolutionTag);
    if (dpi <= 0)
        return;
    SetCapFloatValue(mSettings, ICAP_XRESOLUTION, static_cast<float>(dpi));
    SetCapFloatValue(mSettings, ICAP_YRESOLUTION, static_cast<float>(dpi));
    buildReduceMoireControls();
    updateReduceMoireControls();
    changeReduceMoireControls(nullptr);
    resetScanArea();
    syncBasicSettingUI();
    syncAreaSelectionUI();
    changeFavoriteControls(nullptr);
}

// ---- scan side ----

void ComOrvikElectronicsK3100QSUIController::buildScanSideControls() {
    QComboBox* popup = Popup(currentView(), kScanSideTag);
    if (!popup)
        return;
    popup->clear();
    popup->addItem(QSUIString(QStringLiteral("ScanSide OneSide")));
    if (GetCapSIntValue(mSettings, CAP_XFERCOUNT) != 1) {
        popup->addItem(QSUIString(QStringLiteral("ScanSide Duplex")));
        popup->addItem(QSUIString(isSimpleMode() ? QStringLiteral("ScanSide Skip")
                                                 : QStringLiteral("ScanSide Skip...")));
    }
    popup->setCurrentIndex(popup->count() - 1);
}

void ComOrvikElectronicsK3100QSUIController::updateScanSideControls() {
    int index = kOneSide;
    if (GetCapSIntValue(mSettings, CCAP_OVK_BLANKSKIP) != 0)
        index = kDuplexSkipBlank;
    else if (GetCapUIntValue(mSettings, CAP_DUPLEXENABLED) != 0)
        index = kDuplex;
    else if (GetCapSIntValue(mSettings, CCAP_OVK_FOLDLARGESIZE) != 0)
        index = kFoldLargeSize;
    SetItemIntValue(currentView(), kScanSideTag, index);
}

void ComOrvikElectronicsK3100QSUIController::changeScanSideControls(QWidget* sender) {
    const int index = GetItemIntValue(currentView(), kScanSideTag);
    if (index < kOneSide || index > kFoldLargeSize)
        return;
    SetCapUIntValue(mSettings, CAP_DUPLEXENABLED, index == kDuplex || index == kDuplexSkipBlank ? 1 : 0);
    SetCapSIntValue(mSettings, CCAP_OVK_BLANKSKIP, index == kDuplexSkipBlank ? 1 : 0);
    SetCapSIntValue(mSettings, CCAP_OVK_FOLDLARGESIZE, index == kFoldLargeSize ? 1 : 0);
    changeScanAreaSettingControls();
    syncPreferencePalette();
    syncBasicSettingUI();
    syncExtraSettingUI();
    changeFavoriteControls(nullptr);
    if (sender && !isSimpleMode() && index == kDuplexSkipBlank)
        beginBlankSkipSheet();
}

// ---- skew correction ----

void ComOrvikElectronicsK3100QSUIController::updateSkewCorrectionControls() {
    SetItemIntValue(currentView(), kSkewCorrectionTag,
                    GetCapSIntValue(mSettings, CCAP_OVK_DESKEW) != 0 ? 1 : 0);
}

void ComOrvikElectronicsK3100QSUIController::changeSkewCorrectionControls(QWidget*) {
    SetCapSIntValue(mSettings, CCAP_OVK_DESKEW,
                    GetItemIntValue(currentView(), kSkewCorrectionTag) == 1 ? 1 : 0);
    changeScanAreaSettingControls();
    syncPreferencePalette();
    changeFavoriteControls(nullptr);
}

// ---- moire reduction (image palette, advanced mode) ----

void ComOrvikElectronicsK3100QSUIController::buildReduceMoireControls() {
    QComboBox* popup = isSimpleMode() ? nullptr : Popup(mImagePalette, kReduceMoireTag);
    if (!popup)
        return;
    const float dpi = GetCapFloatValue(mSettings, ICAP_XRESOLUTION);
    popup->clear();
    AddItem(popup, QSUIString(QStringLiteral("ReduceMoire None")), kMoireNone);
    if (dpi <= 299)
        AddItem(popup, QSUIString(QStringLiteral("ReduceMoire Fast")), kMoireFast);
    if (dpi <= 300)
        AddItem(popup, QSUIString(QStringLiteral("ReduceMoire Fine")), kMoireFine);
    popup->setCurrentIndex(popup->count() - 1);
}

void ComOrvikElectronicsK3100QSUIController::updateReduceMoireControls() {
    if (!isSimpleMode())
        SetMenuItemIntValue(mImagePalette, kReduceMoireTag,
                            GetCapSIntValue(mSettings, CCAP_OVK_REDUCE_MOIRE));
}

void ComOrvikElectronicsK3100QSUIController::changeReduceMoireControls(QWidget*) {
    if (!isSimpleMode())
        if (const int selected = GetMenuItemIntValue(mImagePalette, kReduceMoireTag); selected > 0)
            SetCapSIntValue(mSettings, CCAP_OVK_REDUCE_MOIRE, selected);
    changeFavoriteControls(nullptr);
}

// ---- scan option (advanced mode) ----

void ComOrvikElectronicsK3100QSUIController::updateScanOptionControls() {
    QComboBox* popup = isSimpleMode() ? nullptr : Popup(currentView(), kScanOptionTag);
    if (!popup)
        return;
    if (popup->count() == 0)
        for (const char* key : {"ScanOption Continuous", "ScanOption AutoFeed", "ScanOption OnePage"})
            popup->addItem(QSUIString(QString::fromLatin1(key)));
    const std::int32_t count = GetCapSIntValue(mSettings, CAP_XFERCOUNT);
    const int index = count != -1 && count <= 1 ? 2 : (GetCapUIntValue(mSettings, CAP_AUTOFEED) != 0 ? 1 : 0);
    popup->setCurrentIndex(index);
}

void ComOrvikElectronicsK3100QSUIController::changeScanOptionControls(QWidget*) {
    const int index = GetItemIntValue(currentView(), kScanOptionTag);
    if (index >= 0 && index <= 2) {
        SetCapSIntValue(mSettings, CAP_XFERCOUNT, index == 2 ? 1 : -1);
        SetCapUIntValue(mSettings, CAP_AUTOFEED, index == 1 ? 1 : 0);
    }
    buildScanSideControls();
    updateScanSideControls();
    changeScanSideControls(nullptr);
    changeFavoriteControls(nullptr);
}
