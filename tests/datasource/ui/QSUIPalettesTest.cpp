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

// A room as the dialog's frame leaves it on an area: its title bar and a row of buttons along its bottom
// kept clear; title bars of 20 and scroll bars of 14 pixels; the least height a title bar and six lines.
SPaletteRoom RoomOf(const QRect& area, const QRect& dialog) {
    const int buttonsTop = dialog.bottom() - 55;
    return SPaletteRoom{
        area,
        dialog,
        {QRect(dialog.topLeft(), QSize(dialog.width(), 20)), QRect(dialog.left() + 12, buttonsTop, 96, 28),
         QRect(dialog.right() - 230, buttonsTop, 100, 45), QRect(dialog.right() - 120, buttonsTop, 108, 45)},
        20,
        14,
        20 + 6 * 18};
}

QList<QPoint> TopLefts(const QList<QRect>& frames) {
    QList<QPoint> corners;
    for (const QRect& frame : frames)
        corners.append(frame.topLeft());
    return corners;
}

// Every frame on the area, off what is kept clear and off the title bars of those before it (which lie
// under it), and no shorter than the least height unless it is shorter itself.
void ExpectKeptToTheRules(const SPaletteRoom& room, const QList<QSize>& sizes, const QList<QRect>& frames) {
    ASSERT_EQ(frames.size(), sizes.size());
    for (qsizetype i = 0; i < frames.size(); ++i) {
        const QRect& frame = frames[i];
        SCOPED_TRACE(std::to_string(i) + ": " + std::to_string(frame.x()) + "," + std::to_string(frame.y()) +
                     " " + std::to_string(frame.width()) + "x" + std::to_string(frame.height()));
        EXPECT_TRUE(room.area.contains(frame));
        for (const QRect& clear : room.keepClear)
            EXPECT_FALSE(frame.intersects(clear));
        for (qsizetype j = 0; j < i; ++j)
            EXPECT_FALSE(
                frame.intersects(QRect(frames[j].topLeft(), QSize(frames[j].width(), room.titleBar))))
                << "over the title bar of " << j;
        EXPECT_GE(frame.height(), std::min(sizes[i].height(), room.leastHeight));
        // Cut short, it is as much wider as its scroll bar.
        EXPECT_EQ(frame.width(),
                  sizes[i].width() + (frame.height() < sizes[i].height() ? room.scrollBar : 0));
    }
}

// Without stored places the palettes go beside the dialog, on its right from its top down, where there
// is room.
TEST(PalettePlacement, WithRoomBesideTheDialogThePalettesStandThereFromItsTopDown) {
    const SPaletteRoom room = RoomOf(QRect(0, 0, 1920, 1080), QRect(600, 200, 700, 540));
    EXPECT_EQ(PlacePalettes(room, {{340, 240}, {360, 130}, {360, 430}}, {}),
              (QList<QRect>{{1302, 200, 340, 240}, {1302, 442, 360, 130}, {1302, 574, 360, 430}}));
}

// Where the dialog leaves the screens of laptops and desktops (here as 100% and 200% leave them, and the
// dialog at the top left, centred, and filling the screen), the palettes keep the rules, in the free room
// before over the dialog where it has room for them; and their places, stored and placed again, come back
// the very same.
TEST(PalettePlacement, OnEveryScreenThePalettesKeepTheRulesAndTheirStoredPlacesComeBackTheSame) {
    const QList<QSize> sizes{{362, 305}, {362, 170}, {382, 530}};
    const QList<std::pair<QRect, QRect>> rooms{{QRect(0, 0, 1920, 1080), QRect(410, 240, 1100, 600)},
                                               {QRect(0, 0, 1280, 800), QRect(0, 0, 1100, 533)},
                                               {QRect(0, 0, 1366, 768), QRect(133, 74, 1100, 620)},
                                               {QRect(0, 0, 1024, 600), QRect(0, 0, 1024, 600)},
                                               {QRect(0, 0, 640, 400), QRect(0, 0, 640, 400)},
                                               {QRect(0, 0, 683, 384), QRect(20, 0, 640, 384)},
                                               {QRect(0, 0, 512, 300), QRect(0, 0, 512, 300)}};
    for (const auto& [area, dialog] : rooms) {
        SCOPED_TRACE(std::to_string(area.width()) + "x" + std::to_string(area.height()) + ", the dialog at " +
                     std::to_string(dialog.x()) + "," + std::to_string(dialog.y()));
        const SPaletteRoom room = RoomOf(area, dialog);
        const QList<QRect> frames = PlacePalettes(room, sizes, {});
        ExpectKeptToTheRules(room, sizes, frames);
        QList<std::optional<QPoint>> stored;
        for (const QPoint& corner : TopLefts(frames))
            stored.append(corner);
        EXPECT_EQ(PlacePalettes(room, sizes, stored), frames);
    }
    // Below the dialog at the top left of a laptop there is room for the first two; the tall one goes
    // beside them, cut short, not over the dialog.
    const SPaletteRoom laptop = RoomOf(QRect(0, 0, 1280, 800), QRect(0, 0, 1100, 533));
    for (const QRect& frame : PlacePalettes(laptop, sizes, {}))
        EXPECT_FALSE(frame.intersects(laptop.dialog));
}

// A stored place is kept where it keeps the rules, over the dialog too, as the user left it; one over the
// dialog's buttons, off the screen, or over the title bar of a palette below it is placed anew.
TEST(PalettePlacement, AStoredPlaceIsKeptWhereItKeepsTheRulesAndPlacedAnewWhereNot) {
    const QList<QSize> sizes{{362, 305}, {362, 170}, {382, 530}};
    const SPaletteRoom room = RoomOf(QRect(0, 0, 1920, 1080), QRect(410, 240, 1100, 600));
    const QList<QRect> kept =
        PlacePalettes(room, sizes, {QPoint(500, 300), QPoint(900, 300), QPoint(1510, 20)});
    EXPECT_EQ(TopLefts(kept), (QList<QPoint>{{500, 300}, {900, 300}, {1510, 20}}));
    ExpectKeptToTheRules(room, sizes, kept);
    const QList<QPoint> wrong{{1300, 700}, {510, 245}, {-400, 20}};
    const QList<QRect> moved = PlacePalettes(room, sizes, {wrong[0], wrong[1], wrong[2]});
    for (qsizetype i = 0; i < moved.size(); ++i)
        EXPECT_NE(moved[i].topLeft(), wrong[i]);
    ExpectKeptToTheRules(room, sizes, moved);
}

TEST_F(QSUIPalettesTest, WithoutStoredPlacesThePalettesAreOnTheScreen) {
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
    // Over the dialog, off its buttons and title bar, the one off the other's title bar.
    mController->imagePalette()->move(100, 150);
    mController->preferencePalette()->move(120, 220);
    mController->hideMainWindow();
    ASSERT_NE(Preferences().get(kPrefImagePalettePosition).asString(), nullptr);
    EXPECT_TRUE(
        ParsePointString(QString::fromStdString(*Preferences().get(kPrefImagePalettePosition).asString())));
    EXPECT_EQ(Preferences().get(kPrefShowImagePalette).asBool(), true);
    EXPECT_EQ(Preferences().get(kPrefShowGammaPalette).asBool(), false);

    Dialog();
    EXPECT_TRUE(mController->imagePalette()->isVisible());
    EXPECT_FALSE(mController->gammaPalette()->isVisible());
    EXPECT_EQ(mController->imagePalette()->pos(), QPoint(100, 150));
    EXPECT_EQ(mController->preferencePalette()->pos(), QPoint(120, 220));
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
    // Over the dialog, below its title bar.
    const QPoint place = mController->window()->geometry().topLeft() + QPoint(20, 40);
    mController->gammaPalette()->move(place);
    Tab()->setCurrentIndex(0);
    for (QWidget* palette : Palettes())
        EXPECT_FALSE(palette->isVisible());
    EXPECT_EQ(Preferences().get(kPrefShowGammaPalette).asBool(), true);
    Tab()->setCurrentIndex(1);
    EXPECT_TRUE(mController->gammaPalette()->isVisible());
    EXPECT_EQ(mController->gammaPalette()->pos(), place);
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
