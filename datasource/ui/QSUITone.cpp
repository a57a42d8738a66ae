// Tone settings: brightness and contrast (front, and back when it has its own), the tone palette with
// its gamma mode, channel, input method and curve editor, and the live filter that renders the kept
// prescan page with the pool's tone settings. Every change reaches the pool at once.
#include "CapHelpers.h"
#include "CapNames.h"
#include "DialogItems.h"
#include "FilteringFields.h"
#include "QSCapIds.h"
#include "QSGammaView.h"
#include "QSUIController.h"
#include "QSUIStrings.h"
#include "Tags.h"
#include "TypedFieldCommit.h"
#include "UserGammaRecord.h"
#include "scan/ScanSettings.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;
using GammaView = ComOrvikElectronicsK3100QSGammaView;

constexpr int kGammaModeTag = 240;
constexpr int kGammaSliderTag = 244;
constexpr int kGammaTextTag = 245;
constexpr int kChannelTag = 246;
constexpr int kInputMethodTag = 247;
constexpr int kInputBarTag = 248;
constexpr int kOutputBarTag = 249;
constexpr int kToneResetTag = 236; // brightness and contrast back to their defaults

constexpr int kModeNormal = 0;
constexpr int kModeCustom = 1;
constexpr int kModeUserGamma = 2;
constexpr int kItemAddRemove = -1;
constexpr int kInputMethodRole = Qt::UserRole + 7;
constexpr int kFilterDelayMs = 1000;
constexpr int kTextEnhanceContrastMax = 255;
constexpr int kContrastLevels = 7;

// One of the two level settings and its controls.
struct LevelControls {
    TW_UINT16 cap;
    TW_UINT16 textCap;
    TW_UINT16 backEnabledCap;
    int slider, stepper, field, backBox, backSlider, backField;
};
constexpr LevelControls kBrightness{ICAP_BRIGHTNESS,
                                    CCAP_OVK_TEXTENHANCE_BRIGHTNESS,
                                    CCAP_OVKM_BACKBRIGHTNESSENABLED,
                                    202,
                                    203,
                                    204,
                                    220,
                                    223,
                                    225};
constexpr LevelControls kContrast{ICAP_CONTRAST,
                                  CCAP_OVK_TEXTENHANCE_CONTRAST,
                                  CCAP_OVKM_BACKCONTRASTENABLED,
                                  212,
                                  213,
                                  214,
                                  230,
                                  233,
                                  235};

constexpr std::array<const char*, GammaView::kChannels> kChannelTitles{
    "GammaChannel_FrontGray", "GammaChannel_FrontRed", "GammaChannel_FrontGreen", "GammaChannel_FrontBlue",
    "GammaChannel_BackGray",  "GammaChannel_BackRed",  "GammaChannel_BackGreen",  "GammaChannel_BackBlue"};

std::int32_t ValueOfLevel(const CCapPool* pool, TW_UINT16 cap, int level) {
    return static_cast<std::int32_t>(std::trunc((level - 1) * GetCapStepSize(pool, cap) - 1000));
}

// The capability of channel c (0 to 7) from its front grey id.
TW_UINT16 ChannelCap(TW_UINT16 frontGrey, int channel) {
    const auto id = static_cast<TW_UINT16>(frontGrey + channel % 4);
    return channel < 4 ? id : BackTwin(id);
}

// The program's own writes to a control report nothing back.
void SetQuietly(QWidget* view, int tag, int value) {
    QWidget* control = view ? appkit::viewWithTag(view, tag) : nullptr;
    const QSignalBlocker blocker(control);
    SetItemIntValue(view, tag, value);
}

QComboBox* Popup(QWidget* view, int tag) {
    return view ? appkit::viewWithTag<QComboBox>(view, tag) : nullptr;
}

int SelectedTag(QWidget* view, int tag) {
    return GetMenuItemIntValue(view, tag);
}

void AddItem(QComboBox* popup, const QString& title, int itemTag) {
    popup->addItem(title);
    popup->setItemData(popup->count() - 1, itemTag, appkit::kItemTagRole);
}

// The back side's slider and its end image end where the front ones do, which have the stepper beside
// them: the space goes before the row's last item, its field.
void AlignWithStepper(QWidget* view, int backSlider, const QSpinBox* stepper) {
    QWidget* slider = appkit::viewWithTag(view, backSlider);
    QWidget* parent = slider ? slider->parentWidget() : nullptr;
    for (auto* row : parent ? parent->findChildren<QBoxLayout*>() : QList<QBoxLayout*>())
        if (row->indexOf(slider) >= 0) {
            row->insertSpacing(row->count() - 1, stepper->sizeHint().width() + std::max(row->spacing(), 0));
            return;
        }
}

} // namespace

void Controller::buildToneSettingView() {
    if (mAdvToneSettingScroller)
        mAdvToneSettingScroller->verticalScrollBar()->setValue(0);
}

void Controller::connectToneControls() {
    for (QWidget* view : {mSimpleModeView.data(), mAdvanceModeView.data()}) {
        if (!view)
            continue;
        for (const LevelControls* controls : {&kBrightness, &kContrast}) {
            const auto change = controls == &kBrightness ? &Controller::changeBrightnessControls
                                                         : &Controller::changeContrastControls;
            for (const int tag : {controls->slider, controls->backSlider})
                if (auto* slider = appkit::viewWithTag<QSlider>(view, tag))
                    connect(slider, &QSlider::valueChanged, this,
                            [this, slider, change] { (this->*change)(slider); });
            for (const int tag : {controls->field, controls->backField})
                if (auto* field = appkit::viewWithTag<appkit::FTextField>(view, tag)) {
                    field->setValidCharsInString(QStringLiteral("0123456789"));
                    field->setValidLength(3);
                    ApplyWhileTyping(field, kTypingDelayMs,
                                     [this, field, change] { (this->*change)(field); });
                }
            if (auto* stepper = appkit::viewWithTag<QSpinBox>(view, controls->stepper)) {
                // Arrows only: the name says what they change.
                stepper->setToolTip(QSUIString(QString::fromLatin1(
                    controls == &kBrightness ? "BrightnessStepperTip" : "ContrastStepperTip")));
                stepper->setAccessibleName(stepper->toolTip());
                connect(stepper, &QSpinBox::valueChanged, this,
                        [this, stepper, change] { (this->*change)(stepper); });
                AlignWithStepper(view, controls->backSlider, stepper);
            }
            if (auto* box = appkit::viewWithTag<QAbstractButton>(view, controls->backBox))
                connect(box, &QAbstractButton::clicked, this, [this, box, change] { (this->*change)(box); });
        }
        if (auto* reset = appkit::viewWithTag<QAbstractButton>(view, kToneResetTag))
            connect(reset, &QAbstractButton::clicked, this, [this] { resetToneSettings(); });
    }
    QWidget* palette = mGammaPalette.data();
    if (!palette)
        return;
    if (QComboBox* methods = Popup(palette, kInputMethodTag)) {
        AddItem(methods, QSUIString(QStringLiteral("GammaInput_Value")), GammaView::kGammaValue);
        AddItem(methods, QSUIString(QStringLiteral("GammaInput_Curve")), GammaView::kFreeHandCurve);
    }
    for (const int tag : {kGammaModeTag, kChannelTag, kInputMethodTag})
        if (QComboBox* popup = Popup(palette, tag))
            connect(popup, &QComboBox::activated, this, [this, popup] { changeGammaControls(popup); });
    if (auto* slider = appkit::viewWithTag<QSlider>(palette, kGammaSliderTag))
        connect(slider, &QSlider::valueChanged, this, [this, slider] { changeGammaControls(slider); });
    if (mGammaView)
        mGammaView->setEditHandler([this](std::optional<float> gamma) { handleGammaViewCurveEdit(gamma); });
}

bool Controller::isTextEnhanceMode() const {
    return GetCapSIntValue(mSettings, ICAP_PIXELTYPE) == TWPT_BW &&
           GetCapSIntValue(mSettings, CCAP_OVK_TEXTENHANCE) != 0;
}

void Controller::initToneSettingUI() {
    if (!mSettings)
        return;
    updateBrightnessControls();
    updateContrastControls();
    buildGammaControls();
    updateGammaControls();
    syncToneSettingUI();
}

namespace {

void UpdateLevelControls(QWidget* view, const CCapPool* pool, const LevelControls& c, bool simple,
                         bool text) {
    const int front = text ? GetCapSIntValue(pool, c.textCap) : k3100::ToneLevel(pool, c.cap);
    SetQuietly(view, c.slider, front);
    SetItemString(view, c.field, QString::number(GetItemIntValue(view, c.slider)));
    if (simple)
        return;
    SetQuietly(view, c.backBox, GetCapSIntValue(pool, c.backEnabledCap) != 0 ? 1 : 0);
    SetQuietly(view, c.backSlider, k3100::ToneLevel(pool, BackTwin(c.cap)));
    SetItemString(view, c.backField, QString::number(GetItemIntValue(view, c.backSlider)));
}

// Answers whether the front level changed (the live filter then runs again).
bool ChangeLevelControls(QWidget* view, CCapPool* pool, const LevelControls& c, QWidget* sender, bool simple,
                         bool text) {
    const int tag = appkit::tagOf(sender).value_or(0);
    if (tag == c.backSlider || tag == c.backField) {
        if (tag == c.backField)
            SetQuietly(view, c.backSlider, GetItemString(view, c.backField).value_or(QString()).toInt());
        const int level = GetItemIntValue(view, c.backSlider);
        SetItemString(view, c.backField, QString::number(level));
        SetCapFloatValue(pool, BackTwin(c.cap), static_cast<float>(ValueOfLevel(pool, c.cap, level)));
        return false;
    }
    if (tag == c.backBox) {
        SetCapSIntValue(pool, c.backEnabledCap, GetItemIntValue(view, c.backBox) != 0 ? 1 : 0);
        return false;
    }
    if (tag == c.stepper) {
        SetQuietly(view, c.slider, GetItemIntValue(view, c.slider) + GetItemIntValue(view, c.stepper));
        SetQuietly(view, c.stepper, 0);
    }
    if (tag == c.field)
        SetQuietly(view, c.slider, GetItemString(view, c.field).value_or(QString()).toInt());
    const int level = GetItemIntValue(view, c.slider);
    SetItemString(view, c.field, QString::number(level));
    if (text) {
        SetCapSIntValue(pool, c.textCap, level);
    } else {
        const auto value = static_cast<float>(ValueOfLevel(pool, c.cap, level));
        SetCapFloatValue(pool, c.cap, value);
        if (simple)
            SetCapFloatValue(pool, BackTwin(c.cap), value);
    }
    return true;
}

} // namespace

void Controller::updateBrightnessControls() {
    UpdateLevelControls(currentView(), mSettings, kBrightness, isSimpleMode(), isTextEnhanceMode());
}

void Controller::updateContrastControls() {
    UpdateLevelControls(currentView(), mSettings, kContrast, isSimpleMode(), isTextEnhanceMode());
}

void Controller::changeBrightnessControls(QWidget* sender) {
    if (ChangeLevelControls(currentView(), mSettings, kBrightness, sender, isSimpleMode(),
                            isTextEnhanceMode()))
        scheduleImageFilter();
    syncToneSettingUI();
    changeFavoriteControls(nullptr);
}

void Controller::changeContrastControls(QWidget* sender) {
    if (ChangeLevelControls(currentView(), mSettings, kContrast, sender, isSimpleMode(), isTextEnhanceMode()))
        scheduleImageFilter();
    syncToneSettingUI();
    changeFavoriteControls(nullptr);
}

void Controller::resetToneSettings() {
    for (const LevelControls* controls : {&kBrightness, &kContrast})
        for (const TW_UINT16 id :
             {controls->cap, BackTwin(controls->cap), controls->backEnabledCap, controls->textCap})
            ResetCapValue(mSettings, id);
    updateBrightnessControls();
    updateContrastControls();
    syncToneSettingUI();
    changeFavoriteControls(nullptr);
    scheduleImageFilter();
}

void Controller::syncToneSettingUI() {
    QWidget* view = currentView();
    if (!view || !mSettings)
        return;
    const bool kept = hasScanImage();
    const bool text = isTextEnhanceMode();
    const bool gamma = GetCapSIntValue(mSettings, CCAP_OVKM_GAMMAMODE) != 0;
    const bool prescan = GetCapSIntValue(mSettings, CCAP_OVK_PRESCAN) != 0;
    if (isSimpleMode()) {
        // Without a kept page the simple mode scans with the standard tone.
        for (const int tag : {202, 203, 204, 205, 206, 212, 213, 214, 215, 216, kToneResetTag})
            SetItemEnabled(view, tag, kept);
    } else {
        for (const int tag : {202, 203, 204, 205, 206, 212, 213, 214, 215, 216})
            SetItemEnabled(view, tag, text || !gamma);
        const bool back = !gamma && !text && !prescan;
        SetItemEnabled(view, kBrightness.backBox, back);
        SetItemEnabled(view, kContrast.backBox, back);
        const bool backBrightness =
            back && !kept && GetCapSIntValue(mSettings, kBrightness.backEnabledCap) != 0;
        const bool backContrast = back && !kept && GetCapSIntValue(mSettings, kContrast.backEnabledCap) != 0;
        for (const int tag : {223, 225, 207, 208})
            SetItemEnabled(view, tag, backBrightness);
        for (const int tag : {233, 235, 217, 218})
            SetItemEnabled(view, tag, backContrast);
    }
    if (QWidget* palette = mGammaPalette.data()) {
        SetItemEnabled(palette, kChannelTag, gamma);
        SetItemEnabled(palette, kInputMethodTag, gamma);
        if (mGammaView)
            mGammaView->setEnabledForEditing(gamma);
        SetItemEnabled(
            palette, kGammaSliderTag,
            gamma && ((GetCapUIntValue(mSettings, CCAP_OVKM_GAMMAMETHOD) >> mActiveGammaChannel) & 1u) == 0);
        appkit::FStaticTextField::syncStaticTextInView(palette);
    }
    if (auto* contrast = appkit::viewWithTag<QSlider>(view, kContrast.slider)) {
        const QSignalBlocker blocker(contrast);
        contrast->setMaximum(text ? kTextEnhanceContrastMax : kContrastLevels);
        contrast->setTickInterval(text ? kTextEnhanceContrastMax / 10 : 1);
        contrast->setTickPosition(QSlider::TicksBelow);
        contrast->setPageStep(text ? 16 : 1);
    }
    if (isSimpleMode())
        if (auto* field = appkit::viewWithTag<QLineEdit>(view, kContrast.field))
            field->setMaxLength(text ? 3 : 1);
    updateBrightnessControls();
    updateContrastControls();
    appkit::FStaticTextField::syncStaticTextInView(view);
}

void Controller::buildGammaControls() {
    QWidget* palette = mGammaPalette.data();
    QComboBox* modes = Popup(palette, kGammaModeTag);
    QComboBox* channels = Popup(palette, kChannelTag);
    if (!modes || !channels || !mSettings)
        return;
    modes->clear();
    AddItem(modes, QSUIString(QStringLiteral("Gamma_Normal")), kModeNormal);
    AddItem(modes, QSUIString(QStringLiteral("Gamma_Custom")), kModeCustom);
    for (const fnd::Dictionary& record : userGammas())
        AddItem(modes, QString::fromStdString(*record.get("Name").asString()), kModeUserGamma);
    modes->insertSeparator(modes->count());
    AddItem(modes, QSUIString(QStringLiteral("Gamma_Add_Remove")), kItemAddRemove);
    channels->clear();
    const std::uint32_t method = GetCapUIntValue(mSettings, CCAP_OVKM_GAMMAMETHOD);
    const bool colour = GetCapSIntValue(mSettings, ICAP_PIXELTYPE) == TWPT_RGB;
    for (int c = 0; c < GammaView::kChannels; ++c) {
        // A kept page has one side, of one kind: only its channels can be seen.
        if (hasScanImage() && (c >= 4 || (colour ? c == 0 : c != 0)))
            continue;
        AddItem(channels, QSUIString(QString::fromLatin1(kChannelTitles[static_cast<std::size_t>(c)])), c);
        channels->setItemData(channels->count() - 1, static_cast<int>((method >> c) & 1u), kInputMethodRole);
    }
}

void Controller::updateGammaControls() {
    QWidget* palette = mGammaPalette.data();
    QComboBox* modes = Popup(palette, kGammaModeTag);
    QComboBox* channels = Popup(palette, kChannelTag);
    if (!modes || !channels || !mGammaView || !mSettings)
        return;
    const int mode = GetCapSIntValue(mSettings, CCAP_OVKM_GAMMAMODE);
    const QSignalBlocker blockModes(modes);
    if (mode == kModeUserGamma) {
        CapNameItem item{};
        GetCapStrValue(mSettings, CCAP_OVKM_CUSTOMGAMMANAME, item);
        const QString name = QString::fromStdString(DecodeCapName(item));
        int index = -1;
        for (int i = 0; i < modes->count() && !name.isEmpty(); ++i)
            if (modes->itemData(i, appkit::kItemTagRole).toInt() == kModeUserGamma &&
                modes->itemText(i) == name)
                index = i;
        if (index >= 0)
            modes->setCurrentIndex(index);
        else
            SetMenuItemIntValue(palette, kGammaModeTag, kModeCustom);
    } else {
        SetMenuItemIntValue(palette, kGammaModeTag, mode);
    }
    const QSignalBlocker blockChannels(channels);
    if (!GetMenuItemWithTag(palette, kChannelTag, mActiveGammaChannel))
        mActiveGammaChannel = channels->itemData(0, appkit::kItemTagRole).toInt();
    SetMenuItemIntValue(palette, kChannelTag, mActiveGammaChannel);
    const int method = channels->currentData(kInputMethodRole).toInt();
    SetQuietly(palette, kInputMethodTag, method);
    mGammaView->setActiveChannel(mActiveGammaChannel);
    mGammaView->setInputMethod(method);
    for (int c = 0; c < GammaView::kChannels; ++c) {
        mGammaView->setGamma(GetCapFloatValue(mSettings, ChannelCap(CCAP_OVKM_GRAYGAMMA, c)), c);
        ToneTable curve = IdentityToneTable();
        GetCapStrValue(mSettings, ChannelCap(CCAP_OVKM_GRAYCURVE, c), curve);
        mGammaView->setGammaTable(curve, c, GammaView::kFreeHandCurve);
    }
    const float gamma = mGammaView->gammaWithChannel(mActiveGammaChannel);
    SetQuietly(palette, kGammaSliderTag, static_cast<int>(std::trunc(gamma * 10)));
    SetItemString(palette, kGammaTextTag, QString::asprintf("%.01f", gamma));
    updateGammaBars();
}

void Controller::updateGammaBars() {
    QWidget* palette = mGammaPalette.data();
    if (!palette || !mGammaView)
        return;
    const bool normal = GetCapSIntValue(mSettings, CCAP_OVKM_GAMMAMODE) == kModeNormal;
    // Drawn at the bar's own size and scale, and again whenever it is resized (eventFilter): the ramp
    // always spans the bar.
    for (const int tag : {kInputBarTag, kOutputBarTag})
        if (auto* bar = appkit::viewWithTag<QLabel>(palette, tag)) {
            bar->installEventFilter(this);
            const QSize size = bar->size().expandedTo(bar->minimumSize());
            bar->setPixmap(mGammaView->createGammaCurveBar(size, tag == kInputBarTag || normal));
        }
}

void Controller::decideGammaSettings() {
    QWidget* palette = mGammaPalette.data();
    QComboBox* channels = Popup(palette, kChannelTag);
    if (!channels || !mGammaView)
        return;
    if (const int mode = SelectedTag(palette, kGammaModeTag); mode != kItemAddRemove)
        SetCapSIntValue(mSettings, CCAP_OVKM_GAMMAMODE, mode);
    mActiveGammaChannel = SelectedTag(palette, kChannelTag);
    std::uint32_t method = GetCapUIntValue(mSettings, CCAP_OVKM_GAMMAMETHOD);
    for (int i = 0; i < channels->count(); ++i) {
        const int channel = channels->itemData(i, appkit::kItemTagRole).toInt();
        method &= ~(1u << channel);
        method |= static_cast<std::uint32_t>(channels->itemData(i, kInputMethodRole).toInt() & 1) << channel;
    }
    SetCapUIntValue(mSettings, CCAP_OVKM_GAMMAMETHOD, method);
    for (int c = 0; c < GammaView::kChannels; ++c) {
        SetCapFloatValue(mSettings, ChannelCap(CCAP_OVKM_GRAYGAMMA, c), mGammaView->gammaWithChannel(c));
        const ToneTable curve = mGammaView->gammaTable(c, GammaView::kFreeHandCurve);
        SetCapStrValue(mSettings, ChannelCap(CCAP_OVKM_GRAYCURVE, c), curve);
    }
}

void Controller::changeGammaControls(QWidget* sender) {
    QWidget* palette = mGammaPalette.data();
    QComboBox* channels = Popup(palette, kChannelTag);
    if (!palette || !channels || !mGammaView)
        return;
    const int tag = appkit::tagOf(sender).value_or(0);
    std::optional<float> value;
    if (tag == kGammaModeTag) {
        int mode = SelectedTag(palette, kGammaModeTag);
        QString name = Popup(palette, kGammaModeTag)->currentText();
        if (mode == kItemAddRemove) {
            decideGammaSettings();
            // Cancelled, or nothing chosen: the previous choice comes back from the pool.
            mode = -1;
            if (runModalCustomGammaPanel(name) == 1 && !name.isEmpty())
                mode = kModeUserGamma;
        }
        if (mode == kModeUserGamma) {
            const std::vector<fnd::Dictionary> records = userGammas();
            const auto record =
                std::find_if(records.begin(), records.end(), [&name](const fnd::Dictionary& r) {
                    return QString::fromStdString(*r.get("Name").asString()) == name;
                });
            if (record != records.end())
                ApplyUserGamma(mSettings, *record);
            SetCapStrValue(mSettings, CCAP_OVKM_CUSTOMGAMMANAME, EncodeCapName(name.toStdString()));
        }
        buildGammaControls();
        if (mode >= 0)
            SetCapSIntValue(mSettings, CCAP_OVKM_GAMMAMODE, mode);
        updateGammaControls();
        value = mGammaView->gammaWithChannel(mActiveGammaChannel);
    } else if (tag == kChannelTag) {
        const int channel = SelectedTag(palette, kChannelTag);
        const int method = channels->currentData(kInputMethodRole).toInt();
        mGammaView->setActiveChannel(channel);
        mGammaView->setInputMethod(method);
        SetQuietly(palette, kInputMethodTag, method);
        value = mGammaView->gammaWithChannel(channel);
        mActiveGammaChannel = channel;
    } else if (tag == kInputMethodTag) {
        const int row = GetItemIntValue(palette, kInputMethodTag);
        if (row != mGammaView->inputMethod())
            SetMenuItemIntValue(palette, kGammaModeTag, kModeCustom);
        mGammaView->setInputMethod(row);
        channels->setItemData(channels->currentIndex(), row, kInputMethodRole);
        value = mGammaView->gammaWithChannel(mGammaView->activeChannel());
    } else if (tag == kGammaSliderTag) {
        value = static_cast<float>(GetItemIntValue(palette, kGammaSliderTag)) / 10.0f;
        if (*value != mGammaView->gammaWithChannel(mGammaView->activeChannel()))
            SetMenuItemIntValue(palette, kGammaModeTag, kModeCustom);
    } else if (sender) {
        value = 1.0f;
    }
    if (value) {
        mGammaView->setGamma(*value, mGammaView->activeChannel());
        SetQuietly(palette, kGammaSliderTag, static_cast<int>(std::trunc(*value * 10)));
        SetItemString(palette, kGammaTextTag, QString::asprintf("%.01f", *value));
    }
    decideGammaSettings();
    updateGammaBars();
    scheduleImageFilter();
    syncToneSettingUI();
    changeFavoriteControls(nullptr);
}

void Controller::handleGammaViewCurveEdit(std::optional<float> gamma) {
    QWidget* palette = mGammaPalette.data();
    auto* slider = palette ? appkit::viewWithTag<QSlider>(palette, kGammaSliderTag) : nullptr;
    if (!slider || !mGammaView)
        return;
    if (mGammaView->inputMethod() == GammaView::kGammaValue && gamma) {
        // The slider reports the point's gamma; a new value makes the tone custom.
        SetQuietly(palette, kGammaSliderTag, static_cast<int>(std::trunc(*gamma * 10)));
        changeGammaControls(slider);
        return;
    }
    SetMenuItemIntValue(palette, kGammaModeTag, kModeCustom);
    changeGammaControls(nullptr);
}

void Controller::scheduleImageFilter() {
    // A run of changes filters once, a second after the last.
    mPendingFilter = std::make_unique<QObject>();
    QTimer::singleShot(kFilterDelayMs, mPendingFilter.get(), [this] { applyImageFilter(); });
}
