// The advanced mode's floating palettes: shown and hidden by their buttons, their places and visibility
// kept in the preferences file and brought back onto a screen, the default stack beside the dialog, the
// mode switch taking them away and back, and the scan's shields over them. Pictures of the dialog in
// both modes with its palettes.
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

// Without stored places the palettes stack beside the dialog: on its right where there is room, else
// on its left, else over it at the screen's right edge; always whole on the screen.
TEST_F(QSUIPalettesTest, WithoutStoredPlacesThePalettesStackBesideTheDialogOnTheScreen) {
    const QRect screen(0, 0, 1600, 900);
    const QList<QSize> sizes{{200, 300}, {200, 250}, {220, 400}};
    const QList<QPoint> right = StackedBesideWindow(QRect(100, 100, 600, 500), screen, sizes);
    EXPECT_EQ(right, (QList<QPoint>{{702, 100}, {702, 402}, {702, 500}}))
        << "the third moved up onto the screen";
    const QList<QPoint> left = StackedBesideWindow(QRect(1000, 50, 590, 500), screen, sizes);
    EXPECT_EQ(left.front(), QPoint(798, 50));
    EXPECT_EQ(left.back().x(), 1000 - 2 - 220);
    const QList<QPoint> over = StackedBesideWindow(QRect(100, 0, 1400, 500), screen, sizes);
    EXPECT_EQ(over.front(), QPoint(1600 - 2 - 200, 2));

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
    const QRect dialog = mController->window()->frameGeometry();
    const QPoint expected =
        StackedBesideWindow(dialog, Screen(), {mController->imagePalette()->frameGeometry().size()}).front();
    // Beside the dialog rather than where the stored place would have put it.
    EXPECT_EQ(mController->imagePalette()->x(), expected.x());
    EXPECT_NE(mController->imagePalette()->pos(), QPoint(40, 50));
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
