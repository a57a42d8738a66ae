// The three floating palettes of the advanced mode (image, tone, preferences): the user shows and hides
// them, and they come back where they stood, clamped to a screen that is there now; without places of
// their own they are laid out round the dialog. Their contents belong to their settings areas; the
// preferences palette's unit pop-up is bound here.
#include "CapHelpers.h"
#include "DataSourcePreferences.h"
#include "DialogItems.h"
#include "PalettePlacement.h"
#include "PreferencesFile.h"
#include "QSCapIds.h"
#include "QSUIController.h"
#include "QSUIPreferences.h"
#include "QSUIStrings.h"
#include "Tags.h"
#include "UiFiles.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QComboBox>
#include <QScrollArea>
#include <QStyle>

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

// The size a palette's settings ask for, whatever room it has now.
QSize PaletteSettingsSize(const QWidget* palette) {
    const auto* scroller = palette->findChild<QScrollArea*>();
    return scroller && scroller->widget() ? scroller->widget()->sizeHint() : palette->sizeHint();
}

} // namespace

QWidget* ComOrvikElectronicsK3100QSUIController::loadPalette(const QString& name) {
    std::unique_ptr<QWidget> settings = LoadResourceUiFile(name, DialogClasses(), ResourcePeeker);
    if (!settings)
        return nullptr;
    // A tool window of the dialog: it floats above it and goes with it. Its settings scroll where a
    // small screen leaves it less room than they need.
    auto* palette = new QWidget(mWindow.get(), Qt::Tool);
    palette->setObjectName(settings->objectName());
    palette->setWindowTitle(settings->windowTitle());
    auto* scroller = new QScrollArea(palette);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(settings.release());
    auto* layout = new QVBoxLayout(palette);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroller);
    palette->resize(PaletteSettingsSize(palette));
    return palette;
}

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
                const QRect frame(*origin, paletteFrameSize(palettes[i]));
                placePalette(palettes[i], ClampToScreens(frame, screens));
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
    // Round the dialog on its screen, in this order: image, preferences, tone.
    const std::array<QWidget*, 3> order{mImagePalette, mPreferencePalette, mGammaPalette};
    QList<QSize> sizes;
    for (QWidget* palette : order)
        sizes.append(palette ? paletteFrameSize(palette) : QSize());
    const QRect dialog = mWindow->frameGeometry();
    const QList<QRect> frames = PlacePalettes(ScreenOf(dialog, screens), dialog, dialogButtonsFrame(), sizes);
    for (std::size_t i = 0; i < order.size(); ++i)
        if (order[i])
            placePalette(order[i], frames[static_cast<qsizetype>(i)]);
}

QSize ComOrvikElectronicsK3100QSUIController::paletteFrameSize(const QWidget* palette) const {
    return PaletteSettingsSize(palette).grownBy(WindowFrameMargins(palette, mWindow.get()));
}

void ComOrvikElectronicsK3100QSUIController::placePalette(QWidget* palette, QRect frame) const {
    QSize inner = frame.size().shrunkBy(WindowFrameMargins(palette, mWindow.get()));
    // Cut short, its settings scroll: the scroll bar's width is added on its left, on the screen.
    if (inner.height() < PaletteSettingsSize(palette).height()) {
        const QRect screen = ScreenOf(frame, AvailableScreenFrames());
        const int wider = std::max(0, std::min(palette->style()->pixelMetric(QStyle::PM_ScrollBarExtent),
                                               frame.left() - screen.left()));
        frame.setLeft(frame.left() - wider);
        inner.rwidth() += wider;
    }
    palette->resize(inner);
    palette->move(frame.topLeft());
}

QRect ComOrvikElectronicsK3100QSUIController::dialogButtonsFrame() const {
    QRect frame;
    for (const int tag : {kAdvancedScanButtonTag, kSimpleScanButtonTag, kSimpleContinueButtonTag,
                          kCloseButtonTag, kOkButtonTag, kInformationButtonTag, kHelpButtonTag,
                          kImagePaletteButtonTag, kGammaPaletteButtonTag, kPreferencePaletteButtonTag})
        if (const QWidget* button = appkit::viewWithTag(mWindow.get(), tag); button && button->isVisible())
            frame |= QRect(button->mapToGlobal(QPoint()), button->size());
    return frame;
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
