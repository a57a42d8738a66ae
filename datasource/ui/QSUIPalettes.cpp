// The three floating palettes of the advanced mode (image, tone, preferences): the user shows and hides
// them, and they come back where they stood, clamped to a screen that is there now. Their contents
// belong to their settings areas; the preferences palette's unit pop-up is bound here.
#include "CapHelpers.h"
#include "DataSourcePreferences.h"
#include "DialogItems.h"
#include "PreferencesFile.h"
#include "QSCapIds.h"
#include "QSUIController.h"
#include "QSUIPreferences.h"
#include "QSUIStrings.h"
#include "Tags.h"

#include <QAbstractButton>
#include <QComboBox>

#include <array>

namespace {

constexpr int kUnitPopupTag = 187;

struct SPaletteKeys {
    const char* position;
    const char* show;
};

// In the order the preferences file lists them: image, tone, preferences.
constexpr std::array<SPaletteKeys, 3> kPaletteKeys{{
    {kPrefImagePalettePosition, kPrefShowImagePalette},
    {kPrefGammaPalettePosition, kPrefShowGammaPalette},
    {kPrefPreferencePalettePosition, kPrefShowPreferencePalette},
}};

} // namespace

void ComOrvikElectronicsK3100QSUIController::connectPalettes() {
    const std::array<std::pair<int, QWidget*>, 3> buttons{{
        {kImagePaletteButtonTag, mImagePalette},
        {kGammaPaletteButtonTag, mGammaPalette},
        {kPreferencePaletteButtonTag, mPreferencePalette},
    }};
    for (const auto& [tag, palette] : buttons) {
        auto* button = appkit::viewWithTag<QAbstractButton>(mWindow.get(), tag);
        if (!palette) {
            SetItemHidden(mWindow.get(), tag, true);
            continue;
        }
        // A palette closed by its own title bar reports back to its button.
        palette->installEventFilter(this);
        if (button)
            connect(button, &QAbstractButton::clicked, this,
                    [this, target = palette] { showHidePalette(target); });
    }
    if (auto* units = appkit::viewWithTag<QComboBox>(mPreferencePalette, kUnitPopupTag)) {
        for (const char* key : {"Unit Pixels", "Unit Inches", "Unit Millimetres"})
            units->addItem(QSUIString(QString::fromLatin1(key)));
        connect(units, &QComboBox::activated, this, [this] { changeUnitControls(); });
    }
}

void ComOrvikElectronicsK3100QSUIController::showHidePalette(QWidget* palette) {
    if (!palette)
        return;
    if (palette->isVisible()) {
        palette->hide();
        return;
    }
    palette->show();
    palette->raise();
    palette->activateWindow();
}

void ComOrvikElectronicsK3100QSUIController::syncPaletteButtons() {
    for (const auto& [tag, palette] : {std::pair{kImagePaletteButtonTag, mImagePalette.data()},
                                       std::pair{kGammaPaletteButtonTag, mGammaPalette.data()},
                                       std::pair{kPreferencePaletteButtonTag, mPreferencePalette.data()}})
        if (auto* button = appkit::viewWithTag<QAbstractButton>(mWindow.get(), tag); button && palette)
            button->setChecked(!palette->isHidden());
}

void ComOrvikElectronicsK3100QSUIController::orderOutPalettes() {
    for (QWidget* palette : {mImagePalette.data(), mGammaPalette.data(), mPreferencePalette.data()})
        if (palette)
            palette->hide();
}

void ComOrvikElectronicsK3100QSUIController::savePaletteState() {
    fnd::PreferencesFile preferences(DataSourcePreferencesPath());
    const std::array<QWidget*, 3> palettes{mImagePalette, mGammaPalette, mPreferencePalette};
    for (std::size_t i = 0; i < palettes.size(); ++i) {
        if (!palettes[i])
            continue;
        preferences.set(kPaletteKeys[i].position, PointString(palettes[i]->pos()).toStdString());
        // Shown as the user left it: a palette hidden only with the dialog still counts as shown.
        preferences.set(kPaletteKeys[i].show, !palettes[i]->isHidden());
    }
    preferences.save();
}

void ComOrvikElectronicsK3100QSUIController::restorePaletteState() {
    const fnd::PreferencesFile preferences(DataSourcePreferencesPath());
    const std::array<QWidget*, 3> palettes{mImagePalette, mGammaPalette, mPreferencePalette};
    const QList<QRect> screens = AvailableScreenFrames();
    bool allPlaced = preferences.state() == fnd::PreferencesFile::State::Loaded;
    if (allPlaced) {
        for (std::size_t i = 0; i < palettes.size(); ++i) {
            const std::string* text = preferences.get(kPaletteKeys[i].position).asString();
            const std::optional<QPoint> origin =
                text ? ParsePointString(QString::fromStdString(*text)) : std::nullopt;
            if (!origin) {
                allPlaced = false;
            } else if (palettes[i]) {
                const QRect frame(*origin, palettes[i]->frameGeometry().size());
                palettes[i]->move(ClampToScreens(frame, screens).topLeft());
            }
        }
        for (std::size_t i = 0; i < palettes.size(); ++i)
            if (palettes[i] && preferences.get(kPaletteKeys[i].show).asBool().value_or(false)) {
                palettes[i]->show();
                palettes[i]->raise();
            }
    }
    if (allPlaced || screens.isEmpty())
        return;
    // Beside the dialog, on its screen: image, preferences, tone.
    const std::array<QWidget*, 3> stack{mImagePalette, mPreferencePalette, mGammaPalette};
    QList<QSize> sizes;
    for (QWidget* palette : stack)
        sizes.append(palette ? palette->frameGeometry().size() : QSize());
    const QRect window = mWindow->frameGeometry();
    const QList<QPoint> origins = StackedBesideWindow(window, ScreenOf(window, screens), sizes);
    for (std::size_t i = 0; i < stack.size(); ++i)
        if (stack[i])
            stack[i]->move(origins[static_cast<qsizetype>(i)]);
}

void ComOrvikElectronicsK3100QSUIController::updateUnitControls() {
    SetItemIntValue(mPreferencePalette, kUnitPopupTag, GetCapSIntValue(mSettings, CCAP_OVKM_UNIT));
}

void ComOrvikElectronicsK3100QSUIController::changeUnitControls() {
    if (const int unit = GetItemIntValue(mPreferencePalette, kUnitPopupTag); unit >= 0)
        SetCapSIntValue(mSettings, CCAP_OVKM_UNIT, unit);
    changeFavoriteControls(nullptr);
    syncAreaSelectionUI();
    syncPreferencePalette();
}
