// The three floating palettes of the advanced mode (image, tone, preferences): the user shows and hides
// them, and they come back where they stood, held to the rules of a new place (on the dialog's screen,
// off its buttons and title bars); without places of their own they are laid out round the dialog. Their
// contents belong to their settings areas; the preferences palette's unit pop-up is bound here.
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
#include <QAbstractNativeEventFilter>
#include <QBoxLayout>
#include <QComboBox>
#include <QCoreApplication>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <functional>

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

// A palette is not cut shorter than its title bar and this many lines of its settings, where it can be
// helped.
constexpr int kLeastPaletteRows = 6;

// The size a palette's settings ask for, whatever room it has now.
QSize PaletteSettingsSize(const QWidget* palette) {
    const auto* scroller = palette->findChild<QScrollArea*>();
    return scroller && scroller->widget() ? scroller->widget()->sizeHint() : palette->sizeHint();
}

// A palette's place in the preferences file: the top left of a frame of FrameAllowance round it, so
// that it comes back to the same place whether its frame is known by then or not.
QPoint StoredPlace(const QWidget* palette) {
    const QMargins allowance = FrameAllowance(palette);
    return palette->geometry().topLeft() - QPoint(allowance.left(), allowance.top());
}

// A window manager may restack the dialog whenever it gives it the focus (after a click into it, on its
// title bar, or on a window it is modal over, which hands the focus on to it): some (openbox) then lay
// the dialog's tool windows beneath it and the windows it is modal over, transient for it as they are.
// This calls raise once each such focus is handled: the dialog becoming active, or, where it is active
// already, the window manager's message that comes with the focus (under X11).
class PaletteRaiser final : public QObject, public QAbstractNativeEventFilter {
public:
    PaletteRaiser(QWidget* dialog, std::function<void()> raise) : mDialog(dialog), mRaise(std::move(raise)) {
        dialog->installEventFilter(this);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~PaletteRaiser() override {
        // The host may have ended its application before the data source goes.
        if (QCoreApplication* application = QCoreApplication::instance())
            application->removeNativeEventFilter(this);
    }
    PaletteRaiser(const PaletteRaiser&) = delete;
    PaletteRaiser& operator=(const PaletteRaiser&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == mDialog && event->type() == QEvent::WindowActivate)
            raiseSoon();
        return false;
    }
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t" || !mDialog)
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & ~0x80) == XCB_CLIENT_MESSAGE &&
            static_cast<const xcb_client_message_event_t*>(message)->window == mDialog->internalWinId())
            raiseSoon();
        return false;
    }

private:
    void raiseSoon() {
        if (mPending)
            return;
        mPending = true;
        QTimer::singleShot(0, this, [this] {
            mPending = false;
            mRaise();
        });
    }

    QPointer<QWidget> mDialog;
    std::function<void()> mRaise;
    bool mPending = false;
};

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

void ComOrvikElectronicsK3100QSUIController::keepPalettesAbove(bool on) {
    if (!on) {
        mPaletteRaiser.reset();
        return;
    }
    // Each above the one before, as they are placed.
    mPaletteRaiser = std::make_unique<PaletteRaiser>(mWindow.get(), [this] {
        for (QWidget* palette : {mImagePalette.data(), mPreferencePalette.data(), mGammaPalette.data()})
            if (palette && palette->isVisible())
                palette->raise();
    });
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
        preferences.set(kPaletteKeys[i].position, PointString(StoredPlace(palettes[i])).toStdString());
        // Shown as the user left it: a palette hidden only with the dialog still counts as shown.
        preferences.set(kPaletteKeys[i].show, !palettes[i]->isHidden());
    }
    preferences.save();
}

void ComOrvikElectronicsK3100QSUIController::restorePaletteState() {
    const fnd::PreferencesFile preferences(DataSourcePreferencesPath());
    const bool loaded = preferences.state() == fnd::PreferencesFile::State::Loaded;
    // Placed, and stacked, in this order: image, preferences, tone.
    const std::array<std::pair<QWidget*, const SPaletteKeys*>, 3> order{
        {{mImagePalette, &kPaletteKeys[0]},
         {mPreferencePalette, &kPaletteKeys[2]},
         {mGammaPalette, &kPaletteKeys[1]}}};
    QList<QSize> sizes;
    QList<std::optional<QPoint>> stored;
    for (const auto& [palette, keys] : order) {
        sizes.append(palette ? paletteFrameSize(palette) : QSize());
        const std::string* text = loaded ? preferences.get(keys->position).asString() : nullptr;
        const std::optional<QPoint> place =
            text ? ParsePointString(QString::fromStdString(*text)) : std::nullopt;
        stored.append(place && palette ? std::optional(framePlace(palette, *place)) : std::nullopt);
    }
    // Stored places count only all together: the palettes are laid out anew round the dialog otherwise.
    if (std::find(stored.begin(), stored.end(), std::nullopt) != stored.end())
        stored.fill(std::nullopt);
    const SPaletteRoom room = paletteRoom();
    const QList<QRect> frames = PlacePalettes(room, sizes, stored);
    for (std::size_t i = 0; i < order.size() && !room.area.isEmpty(); ++i)
        if (QWidget* palette = order[i].first)
            palette->setGeometry(frames[static_cast<qsizetype>(i)].marginsRemoved(mFrameMargins));
    if (!loaded)
        return;
    for (const auto& [palette, keys] : order)
        if (palette && preferences.get(keys->show).asBool().value_or(false)) {
            palette->show();
            palette->raise();
        }
}

QSize ComOrvikElectronicsK3100QSUIController::paletteFrameSize(const QWidget* palette) const {
    return PaletteSettingsSize(palette).grownBy(mFrameMargins);
}

QPoint ComOrvikElectronicsK3100QSUIController::framePlace(const QWidget* palette,
                                                          const QPoint& stored) const {
    const QMargins allowance = FrameAllowance(palette);
    return stored + QPoint(allowance.left() - mFrameMargins.left(), allowance.top() - mFrameMargins.top());
}

SPaletteRoom ComOrvikElectronicsK3100QSUIController::paletteRoom() const {
    SPaletteRoom room;
    room.dialog = mWindow->geometry().marginsAdded(mFrameMargins);
    room.area = ScreenOf(room.dialog, AvailableScreenFrames());
    room.keepClear = dialogButtonFrames();
    room.keepClear.append(QRect(room.dialog.topLeft(), QSize(room.dialog.width(), mFrameMargins.top())));
    room.titleBar = mFrameMargins.top();
    for (const QWidget* palette : {mImagePalette.data(), mGammaPalette.data(), mPreferencePalette.data()})
        if (palette) {
            room.scrollBar = palette->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, palette);
            // Its title bar and a few lines at least, and never less than its layout lets it be.
            const int rows = kLeastPaletteRows * palette->fontMetrics().height();
            const int least = std::max(palette->minimumSizeHint().height(), rows) + mFrameMargins.top() +
                              mFrameMargins.bottom();
            room.leastHeight = std::max(room.leastHeight, least);
        }
    return room;
}

QList<QRect> ComOrvikElectronicsK3100QSUIController::dialogButtonFrames() const {
    QList<QRect> frames;
    for (const int tag : {kAdvancedScanButtonTag, kSimpleScanButtonTag, kSimpleContinueButtonTag,
                          kCloseButtonTag, kOkButtonTag, kInformationButtonTag, kHelpButtonTag,
                          kImagePaletteButtonTag, kGammaPaletteButtonTag, kPreferencePaletteButtonTag})
        if (const QWidget* button = appkit::viewWithTag(mWindow.get(), tag); button && button->isVisible())
            frames.append(QRect(button->mapToGlobal(QPoint()), button->size()));
    return frames;
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
