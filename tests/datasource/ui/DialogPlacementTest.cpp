// Where the dialog and its palettes stand on screens of the sizes laptops and desktops have: ctest runs
// this on three offscreen screens (1280x800, 1366x768 and 1920x1080, ThreeScreens.json) at 100% and at
// 200%. Without stored places the palettes lie wholly on the dialog's screen, clear of its buttons,
// apart where there is room; the dialog reopens where it was left, and a place off the screen comes
// back onto it. Pictures of each screen with the dialog and its palettes.
#include "QSDataSource.h"
#include "QSUIController.h"
#include "QSUIPreferences.h"
#include "QtTestApp.h"
#include "Tags.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTabWidget>
#include <QTest>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;

class DialogPlacementTest : public test::QSDataSourceTest, public WithTestApplication {
protected:
    void SetUp() override { Open(); }
    void TearDown() override { mController.reset(); }
    // A new dialog in the advanced mode; centred on screen (as the set-up centres it on the primary one)
    // unless it has a stored place.
    Controller& Dialog(const QScreen* screen = nullptr) {
        mController = std::make_unique<Controller>();
        mController->setupMainUIWithParam(
            fnd::Dictionary{{kUIParamCapabilityPool, fnd::Value::pointer(mDS->GetCapPool())}}, 1);
        appkit::viewWithTag<QTabWidget>(mController->window(), Controller::kSettingModeTabTag)
            ->setCurrentIndex(1);
        if (screen) {
            QRect frame = mController->window()->geometry();
            frame.moveCenter(screen->availableGeometry().center());
            mController->window()->setGeometry(frame);
        }
        mController->showMainWindow();
        return *mController;
    }
    std::array<QWidget*, 3> Palettes() const {
        return {mController->imagePalette(), mController->preferencePalette(), mController->gammaPalette()};
    }
    // Scan, Close, OK, information, help and the palettes' own buttons, in screen coordinates.
    QRect Buttons() const {
        QRect all;
        for (const int tag :
             {Controller::kAdvancedScanButtonTag, Controller::kCloseButtonTag, Controller::kOkButtonTag, 705,
              Controller::kHelpButtonTag, Controller::kImagePaletteButtonTag,
              Controller::kGammaPaletteButtonTag, Controller::kPreferencePaletteButtonTag})
            if (QWidget* button = appkit::viewWithTag(mController->window(), tag);
                button && button->isVisible())
                all |= QRect(button->mapToGlobal(QPoint()), button->size());
        return all;
    }
    fnd::PreferencesFile Preferences() const { return fnd::PreferencesFile(mEnv.PreferencesPath()); }
    static std::string SizeName(const QRect& area) {
        return std::to_string(area.width()) + "x" + std::to_string(area.height());
    }
    // The screen as a user sees it: the dialog and its palettes at their places, each framed.
    void SaveScreen(const QScreen* screen) const {
        const QRect area = screen->geometry();
        QImage picture(area.size() * screen->devicePixelRatio(), QImage::Format_RGB32);
        picture.setDevicePixelRatio(screen->devicePixelRatio());
        picture.fill(QColor(0x3c, 0x5a, 0x78));
        QPainter painter(&picture);
        for (QWidget* window : {mController->window(), Palettes()[0], Palettes()[1], Palettes()[2]}) {
            const QRect frame = window->frameGeometry().translated(-area.topLeft());
            painter.fillRect(frame, QColor(0xdd, 0xdd, 0xdd));
            painter.drawPixmap(window->geometry().topLeft() - area.topLeft(), window->grab());
            painter.setPen(Qt::black);
            painter.drawRect(frame.adjusted(0, 0, -1, -1));
        }
        painter.end();
        const char* points = std::getenv("K3100_FONT_PT");
        const std::string scale = std::string(screen->devicePixelRatio() > 1.0 ? "@2x" : "") +
                                  (points ? "@" + std::string(points) + "pt" : std::string());
        const char* build = std::getenv("K3100_BUILD_DIR");
        const QString dir = QString::fromUtf8(build ? build : ".") + "/screenshots";
        QDir().mkpath(dir);
        EXPECT_TRUE(
            picture.save(dir + QString::fromStdString("/ds-palettes-on-" + SizeName(area) + scale + ".png")));
    }

    std::unique_ptr<Controller> mController;
};

TEST_F(DialogPlacementTest, WithoutStoredPlacesThePalettesLieOnTheDialogsScreenClearOfItsButtons) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        SCOPED_TRACE(SizeName(area));
        // The last dialog stores its places as it goes.
        mController.reset();
        std::filesystem::remove(mEnv.PreferencesPath());
        Dialog(screen);
        for (QWidget* palette : Palettes())
            mController->showHidePalette(palette);
        QTest::qWait(20);
        const QRect buttons = Buttons();
        ASSERT_FALSE(buttons.isEmpty());
        const std::array<QWidget*, 3> palettes = Palettes();
        for (std::size_t i = 0; i < palettes.size(); ++i) {
            const QRect frame = palettes[i]->frameGeometry();
            SCOPED_TRACE(palettes[i]->objectName().toStdString());
            EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y() << " " << SizeName(frame);
            EXPECT_FALSE(frame.intersects(buttons))
                << frame.x() << "," << frame.y() << " " << SizeName(frame);
            for (std::size_t j = i + 1; j < palettes.size(); ++j) {
                const QRect later = palettes[j]->frameGeometry();
                // A laptop at 100% has room for them apart; a smaller one cascades them, every title bar
                // left in sight.
                if (area.height() >= 768)
                    EXPECT_FALSE(frame.intersects(later)) << palettes[j]->objectName().toStdString();
                else
                    EXPECT_FALSE(later.contains(frame.topLeft() + QPoint(4, 4)))
                        << palettes[j]->objectName().toStdString();
            }
        }
        SaveScreen(screen);
    }
}

TEST_F(DialogPlacementTest, TheDialogReopensWhereItWasLeftAndOnTheScreen) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        SCOPED_TRACE(SizeName(area));
        // The last dialog stores its places as it goes.
        mController.reset();
        std::filesystem::remove(mEnv.PreferencesPath());
        const QPoint place = area.topLeft() + QPoint(100, 100);
        Dialog(screen).window()->move(place);
        const QSize size = mController->window()->frameGeometry().size();
        mController->hideMainWindow();
        ASSERT_TRUE(Preferences().get(kPrefWindowFrame).asString());
        ASSERT_TRUE(
            ParseFrameString(QString::fromStdString(*Preferences().get(kPrefWindowFrame).asString())));
        Dialog();
        if (area.contains(QRect(place, size))) {
            EXPECT_EQ(mController->window()->pos(), place);
        } else {
            // Larger than the screen: its top-left corner and title bar stay on it.
            EXPECT_TRUE(area.contains(mController->window()->frameGeometry().topLeft()));
        }
    }

    // Left on a larger screen that has gone: past the bottom right of the last one, which takes it in.
    const QRect area = QGuiApplication::screens().back()->availableGeometry();
    {
        fnd::PreferencesFile preferences = Preferences();
        preferences.set(kPrefWindowFrame,
                        FrameString(QRect(area.right() - 300, area.bottom() - 200, 1320, 533)).toStdString());
        ASSERT_TRUE(preferences.save());
    }
    const QRect frame = Dialog().window()->frameGeometry();
    if (frame.width() <= area.width() && frame.height() <= area.height())
        EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y() << " " << SizeName(frame);
    else
        EXPECT_TRUE(area.contains(frame.topLeft())) << frame.x() << "," << frame.y();
}

} // namespace
