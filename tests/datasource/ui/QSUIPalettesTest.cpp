// The advanced mode's floating palettes: shown and hidden by their buttons, their places and visibility
// kept in the preferences file and brought back onto a screen, the default stack beside the dialog, the
// mode switch taking them away and back, and the scan's shields over them. Pictures of the dialog in
// both modes with its palettes.
#include "PalettePlacement.h"
#include "QSDataSource.h"
#include "QSUIController.h"
#include "QSUIPreferences.h"
#include "QtTestApp.h"
#include "ShieldWindows.h"
#include "Tags.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>
#include <QTest>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;

class QSUIPalettesTest : public test::QSDataSourceTest, public WithTestApplication {
protected:
    void SetUp() override {
        Open();
        fnd::PreferencesFile preferences(mEnv.PreferencesPath());
        preferences.set(kPrefSettingMode, std::int64_t{1});
        // The mode switch resets without asking.
        preferences.set(kPrefResetMessageNotDisplayed, true);
        ASSERT_TRUE(preferences.save());
    }
    void TearDown() override { mController.reset(); }
    Controller& Dialog() {
        mController = std::make_unique<Controller>();
        mController->setupMainUIWithParam(
            fnd::Dictionary{{kUIParamCapabilityPool, fnd::Value::pointer(mDS->GetCapPool())}}, 1);
        mController->showMainWindow();
        return *mController;
    }
    std::array<QWidget*, 3> Palettes() const {
        return {mController->imagePalette(), mController->gammaPalette(), mController->preferencePalette()};
    }
    fnd::PreferencesFile Preferences() const { return fnd::PreferencesFile(mEnv.PreferencesPath()); }
    static QRect Screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    QTabWidget* Tab() const {
        return appkit::viewWithTag<QTabWidget>(mController->window(), Controller::kSettingModeTabTag);
    }

    std::unique_ptr<Controller> mController;
};

// Without stored places the palettes go beside the dialog, on its right from its top down, where there
// is room; on a small screen they cascade over it, each a title bar lower, above its buttons, the one
// taller than the room cut short. Never off the screen.
TEST_F(QSUIPalettesTest, WithoutStoredPlacesThePalettesGoBesideTheDialogOrCascadeAboveItsButtons) {
    const QList<QSize> sizes{{340, 240}, {360, 130}, {360, 430}};
    EXPECT_EQ(
        PlacePalettes(QRect(0, 0, 1920, 1080), QRect(600, 200, 700, 540), QRect(610, 650, 680, 80), sizes),
        (QList<QRect>{{1302, 200, 340, 240}, {1302, 442, 360, 130}, {1302, 574, 360, 430}}));
    const QRect small(0, 0, 640, 400);
    const QRect buttons(-13, 319, 666, 97);
    EXPECT_EQ(PlacePalettes(small, QRect(-25, -28, 690, 456), buttons, {{340, 235}, {356, 121}, {358, 427}}),
              (QList<QRect>{{298, 2, 340, 235}, {282, 26, 356, 121}, {280, 50, 358, 267}}));

    Dialog();
    for (QWidget* palette : Palettes()) {
        ASSERT_NE(palette, nullptr);
        EXPECT_FALSE(palette->isVisible());
        EXPECT_TRUE(Screen().contains(palette->frameGeometry())) << palette->objectName().toStdString();
    }
}

TEST_F(QSUIPalettesTest, ButtonsShowAndHideThePalettesAndPlacesAreKeptAcrossDialogs) {
    Dialog();
    auto* imageButton =
        appkit::viewWithTag<QAbstractButton>(mController->window(), Controller::kImagePaletteButtonTag);
    ASSERT_NE(imageButton, nullptr);
    imageButton->click();
    EXPECT_TRUE(mController->imagePalette()->isVisible());
    EXPECT_TRUE(imageButton->isChecked());
    mController->imagePalette()->move(40, 50);
    mController->preferencePalette()->move(60, 70);
    mController->hideMainWindow();
    EXPECT_EQ(*Preferences().get(kPrefImagePalettePosition).asString(), "{40, 50}");
    EXPECT_EQ(Preferences().get(kPrefShowImagePalette).asBool(), true);
    EXPECT_EQ(Preferences().get(kPrefShowGammaPalette).asBool(), false);

    Dialog();
    EXPECT_TRUE(mController->imagePalette()->isVisible());
    EXPECT_FALSE(mController->gammaPalette()->isVisible());
    EXPECT_EQ(mController->imagePalette()->pos(), QPoint(40, 50));
    EXPECT_EQ(mController->preferencePalette()->pos(), QPoint(60, 70));
    // Closed by its own title bar: the button follows.
    mController->imagePalette()->close();
    EXPECT_FALSE(
        appkit::viewWithTag<QAbstractButton>(mController->window(), Controller::kImagePaletteButtonTag)
            ->isChecked());
}

TEST_F(QSUIPalettesTest, PlacesOffEveryScreenAreBroughtBackOntoOne) {
    fnd::PreferencesFile preferences = Preferences();
    preferences.set(kPrefImagePalettePosition, "{30000, -5000}");
    preferences.set(kPrefGammaPalettePosition, "{-9000, 20}");
    preferences.set(kPrefPreferencePalettePosition, "{10, 90000}");
    preferences.set(kPrefShowGammaPalette, true);
    ASSERT_TRUE(preferences.save());
    Dialog();
    for (QWidget* palette : Palettes())
        EXPECT_TRUE(Screen().contains(palette->frameGeometry())) << palette->objectName().toStdString();
    EXPECT_TRUE(mController->gammaPalette()->isVisible());
}

TEST_F(QSUIPalettesTest, OnlyTheImagePalettesPlaceStoredGivesTheDefaultStack) {
    fnd::PreferencesFile preferences = Preferences();
    preferences.set(kPrefImagePalettePosition, "{40, 50}");
    ASSERT_TRUE(preferences.save());
    Dialog();
    // Laid out with the others rather than where the stored place would have put it.
    EXPECT_NE(mController->imagePalette()->pos(), QPoint(40, 50));
    EXPECT_TRUE(Screen().contains(mController->imagePalette()->frameGeometry()));
}

TEST_F(QSUIPalettesTest, TheSimpleModeTakesThePalettesAwayAndTheAdvancedModeBringsThemBack) {
    Dialog();
    mController->showHidePalette(mController->gammaPalette());
    mController->gammaPalette()->move(70, 80);
    Tab()->setCurrentIndex(0);
    for (QWidget* palette : Palettes())
        EXPECT_FALSE(palette->isVisible());
    EXPECT_EQ(Preferences().get(kPrefShowGammaPalette).asBool(), true);
    Tab()->setCurrentIndex(1);
    EXPECT_TRUE(mController->gammaPalette()->isVisible());
    EXPECT_EQ(mController->gammaPalette()->pos(), QPoint(70, 80));
    EXPECT_FALSE(mController->imagePalette()->isVisible());
}

TEST_F(QSUIPalettesTest, TheScanShieldsCoverTheDialogAndItsPalettesAndAllGo) {
    Dialog();
    mController->showHidePalette(mController->imagePalette());
    mController->setShield(true);
    EXPECT_NE(appkit::FWindow::shieldWindow(mController->window()), nullptr);
    for (QWidget* palette : Palettes())
        EXPECT_NE(appkit::FWindow::shieldWindow(palette), nullptr);
    mController->setShield(false);
    EXPECT_EQ(appkit::FWindow::shieldWindow(mController->window()), nullptr);
    for (QWidget* palette : Palettes())
        EXPECT_EQ(appkit::FWindow::shieldWindow(palette), nullptr);
}

TEST_F(QSUIPalettesTest, Screenshots) {
    Dialog();
    for (QWidget* palette : Palettes())
        mController->showHidePalette(palette);
    // At its natural size: the offscreen screen is smaller than the dialog.
    mController->window()->resize(mController->window()->sizeHint());
    QTest::qWait(20);
    saveScreenshots(mController->window(), "ds-advanced-mode");
    saveScreenshots(mController->imagePalette(), "ds-image-palette");
    saveScreenshots(mController->gammaPalette(), "ds-tone-palette");
    saveScreenshots(mController->preferencePalette(), "ds-preference-palette");
    Tab()->setCurrentIndex(0);
    // At its natural size: the offscreen screen is smaller than the dialog.
    mController->window()->resize(mController->window()->sizeHint());
    QTest::qWait(20);
    saveScreenshots(mController->window(), "ds-simple-mode");
}

} // namespace
