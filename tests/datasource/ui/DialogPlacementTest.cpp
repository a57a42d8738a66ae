// Where the dialog and its palettes stand on screens of the sizes laptops and desktops have: ctest runs
// this on three offscreen screens (1280x800, 1366x768 and 1920x1080, ThreeScreens.json) at 100% and at
// 200%, each also with a 14-point font. The dialog fits the screen, its buttons whole, in either mode
// and with a kept page; without stored places the palettes lie wholly on the dialog's screen, clear of
// its buttons, apart where there is room; the dialog reopens where it was left, and a place off the
// screen comes back onto it. Pictures of each screen with the dialog and its palettes.
#include "CapHelpers.h"
#include "FRollOverButton.h"
#include "QSCapIds.h"
#include "QSDataSource.h"
#include "QSUIController.h"
#include "QSUIPreferences.h"
#include "QtTestApp.h"
#include "Tags.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;
using Button = ComOrvikElectronicsK3100FRollOverButton;

class DialogPlacementTest : public test::QSDataSourceTest, public WithTestApplication {
protected:
    void SetUp() override { Open(); }
    void TearDown() override { mController.reset(); }
    // A new dialog in the advanced mode (or the simple one); centred on screen (as the set-up centres it
    // on the primary one) unless it has a stored place.
    Controller& Dialog(const QScreen* screen = nullptr, int mode = 1) {
        // The one before stores its places as it goes, before the new one reads them.
        mController.reset();
        mController = std::make_unique<Controller>();
        mController->setupMainUIWithParam(
            fnd::Dictionary{{kUIParamCapabilityPool, fnd::Value::pointer(mDS->GetCapPool())}}, 1);
        appkit::viewWithTag<QTabWidget>(mController->window(), Controller::kSettingModeTabTag)
            ->setCurrentIndex(mode);
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
    // Scan, Continue, Close, OK, information, help and the palettes' own buttons that are shown.
    QList<QWidget*> ShownButtons() const {
        QList<QWidget*> shown;
        for (const int tag : {Controller::kAdvancedScanButtonTag, Controller::kSimpleScanButtonTag,
                              Controller::kSimpleContinueButtonTag, Controller::kCloseButtonTag,
                              Controller::kOkButtonTag, Controller::kInformationButtonTag,
                              Controller::kHelpButtonTag, Controller::kImagePaletteButtonTag,
                              Controller::kGammaPaletteButtonTag, Controller::kPreferencePaletteButtonTag})
            if (QWidget* button = appkit::viewWithTag(mController->window(), tag);
                button && button->isVisible())
                shown.append(button);
        return shown;
    }
    // Round them all, in screen coordinates.
    QRect Buttons() const {
        QRect all;
        for (const QWidget* button : ShownButtons())
            all |= QRect(button->mapToGlobal(QPoint()), button->size());
        return all;
    }
    // The shown mode's settings pane shows its scroll bar sideways.
    bool SettingsScrollSideways() const {
        const bool simple = mController->isSimpleMode();
        const auto* pane = mController->window()->findChild<QScrollArea*>(
            QLatin1String(simple ? "simpleSettingScroller" : "advToneSettingScroller"));
        return pane && pane->horizontalScrollBar()->isVisible();
    }
    fnd::PreferencesFile Preferences() const { return fnd::PreferencesFile(mEnv.PreferencesPath()); }
    // No dialog, and no places stored (the last dialog stores its places as it goes).
    void ForgetPlaces() {
        mController.reset();
        std::filesystem::remove(mEnv.PreferencesPath());
    }
    static std::string SizeName(const QRect& area) {
        return std::to_string(area.width()) + "x" + std::to_string(area.height());
    }
    // The screen as a user sees it: the dialog and its palettes at their places, each framed, in
    // <name>-on-<size>.png.
    void SaveScreen(const QScreen* screen, const std::string& name = "ds-palettes") const {
        const QRect area = screen->geometry();
        QImage picture(area.size() * screen->devicePixelRatio(), QImage::Format_RGB32);
        picture.setDevicePixelRatio(screen->devicePixelRatio());
        picture.fill(QColor(0x3c, 0x5a, 0x78));
        QPainter painter(&picture);
        for (QWidget* window : {mController->window(), Palettes()[0], Palettes()[1], Palettes()[2]}) {
            if (!window->isVisible())
                continue;
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
        EXPECT_TRUE(picture.save(
            dir + QString::fromStdString("/" + name + "-on-" + SizeName(area) + scale + ".png")));
    }

    std::unique_ptr<Controller> mController;
};

TEST_F(DialogPlacementTest, WithoutStoredPlacesThePalettesLieOnTheDialogsScreenClearOfItsButtons) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        SCOPED_TRACE(SizeName(area));
        ForgetPlaces();
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

// In either mode and with a kept page beside the settings, the dialog lies wholly inside the screen's
// available area, and each of its buttons shows whole: none lies past the window's edge or is cut off
// by a scroll area; the settings scroll where the screen is too small for them.
TEST_F(DialogPlacementTest, TheDialogFitsItsScreenWithItsButtonsWhole) {
    SPageBitmap page{400, 560, 1, 8, 400, 150, 150, std::vector<std::uint8_t>(400 * 560, 250)};
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        for (const std::string state : {"simple", "advanced", "kept-page"}) {
            SCOPED_TRACE(SizeName(area) + " " + state);
            ForgetPlaces();
            QWidget* window = Dialog(screen, state == "simple" ? 0 : 1).window();
            if (state == "kept-page") {
                window->hide();
                mController->setScanImage(page, 150, false);
                mController->showMainWindow();
            }
            // Laid out.
            QCoreApplication::sendPostedEvents();
            if (state == "simple" && area.width() == 1280)
                for (QWidget* w : window->findChildren<QWidget*>())
                    if (w->isVisible())
                        fprintf(stderr, "DUMP %s %s hint %dx%d min %dx%d geo %dx%d\n",
                                w->metaObject()->className(), qPrintable(w->objectName()),
                                w->sizeHint().width(), w->sizeHint().height(), w->minimumSizeHint().width(),
                                w->minimumSizeHint().height(), w->width(), w->height());
            const QRect frame = window->frameGeometry();
            EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y() << " " << SizeName(frame);
            const QList<QWidget*> buttons = ShownButtons();
            EXPECT_GE(buttons.size(), 3);
            for (const QWidget* button : buttons) {
                SCOPED_TRACE(button->objectName().toStdString());
                const QRect shown(button->mapTo(window, QPoint()), button->size());
                EXPECT_TRUE(window->rect().contains(shown));
                EXPECT_EQ(button->visibleRegion(), QRegion(button->rect()));
            }
            if (state != "advanced")
                SaveScreen(screen, "ds-dialog-" + state);
        }
    }
}

// Whatever the font and the scale, the titles of the dialog's image buttons lie on their faces, inside
// their borders and focus rings, which grow with them: Scan, and with a kept page Continue Scan, in
// either mode, also pressed.
TEST_F(DialogPlacementTest, TheScanButtonsTitlesLieOnTheirFaces) {
    const SPageBitmap page{400, 560, 1, 8, 400, 150, 150, std::vector<std::uint8_t>(400 * 560, 250)};
    ASSERT_TRUE(SetCapUIntValue(Pool(), CCAP_OVK_PRESCAN, 1));
    for (const QScreen* screen : QGuiApplication::screens()) {
        for (const int mode : {0, 1}) {
            for (const bool kept : {false, true}) {
                SCOPED_TRACE(SizeName(screen->availableGeometry()) + (mode == 0 ? " simple" : " advanced") +
                             (kept ? " kept page" : ""));
                ForgetPlaces();
                QWidget* window = Dialog(screen, mode).window();
                if (kept) {
                    window->hide();
                    mController->setScanImage(page, 150, false);
                    mController->showMainWindow();
                }
                QCoreApplication::sendPostedEvents();
                QStringList titles;
                for (Button* button : window->findChildren<Button*>()) {
                    if (button->text().isEmpty() || !button->isVisible())
                        continue;
                    titles.append(button->text());
                    SCOPED_TRACE(button->text().toStdString());
                    for (const bool down : {false, true}) {
                        button->setDown(down);
                        const QRect face = button->faceRect();
                        const QRect inside = face.marginsRemoved(QMargins(3, 3, 3, 3));
                        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), inside.width());
                        EXPECT_TRUE(QRectF(inside).contains(button->titleRect()))
                            << SizeName(face) << " face, pressed: " << down;
                        EXPECT_TRUE(button->rect().contains(face)) << SizeName(face) << " face";
                    }
                    button->setDown(false);
                }
                EXPECT_TRUE(titles.contains(kept ? QStringLiteral("Continue Scan") : QStringLiteral("Scan")))
                    << titles.join(QStringLiteral(", ")).toStdString();
            }
        }
    }
}

TEST_F(DialogPlacementTest, TheDialogReopensWhereItWasLeftAndOnTheScreen) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        SCOPED_TRACE(SizeName(area));
        ForgetPlaces();
        const QPoint place = area.topLeft() + QPoint(100, 100);
        Dialog(screen).window()->move(place);
        const QSize size = mController->window()->frameGeometry().size();
        mController->hideMainWindow();
        ASSERT_TRUE(Preferences().get(kPrefWindowFrame).asString());
        ASSERT_TRUE(
            ParseFrameString(QString::fromStdString(*Preferences().get(kPrefWindowFrame).asString())));
        const QRect frame = Dialog().window()->frameGeometry();
        EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y() << " " << SizeName(frame);
        if (area.contains(QRect(place, size))) {
            EXPECT_EQ(mController->window()->pos(), place);
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
    EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y() << " " << SizeName(frame);
}

// Left narrow on a small screen (as 1280 pixels at 200% leave it), the dialog opens on a screen with
// room at least as wide as it opens there without a stored place, its settings whole, where it was left:
// its settings' top right corner (it widens to the left, as for the preview).
TEST_F(DialogPlacementTest, AFrameLeftNarrowOpensAtItsNaturalWidthWhereThereIsRoom) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    const QScreen* large = *std::max_element(screens.begin(), screens.end(), [](auto* one, auto* other) {
        return one->availableGeometry().width() < other->availableGeometry().width();
    });
    const QRect area = large->availableGeometry();
    for (const std::string state : {"simple", "advanced", "preview"}) {
        SCOPED_TRACE(state);
        const int mode = state == "simple" ? 0 : 1;
        ASSERT_TRUE(SetCapUIntValue(Pool(), CCAP_OVK_PRESCAN, state == "preview" ? 1 : 0));
        ForgetPlaces();
        Dialog(large, mode).window()->move(area.topLeft() + QPoint(300, 100));
        QCoreApplication::sendPostedEvents();
        const int natural = mController->window()->width();
        // Where the screen has no room for the settings, they scroll.
        const bool room = !SettingsScrollSideways();
        mController->hideMainWindow();
        const std::optional<QRect> stored =
            ParseFrameString(QString::fromStdString(*Preferences().get(kPrefWindowFrame).asString()));
        ASSERT_TRUE(stored);
        Dialog(nullptr, mode);
        QCoreApplication::sendPostedEvents();
        const QRect left = mController->window()->geometry();
        mController.reset();
        {
            fnd::PreferencesFile preferences = Preferences();
            preferences.set(kPrefWindowFrame,
                            FrameString(stored->adjusted(stored->width() - 638, 0, 0, 0)).toStdString());
            ASSERT_TRUE(preferences.save());
        }
        const QWidget* window = Dialog(nullptr, mode).window();
        QCoreApplication::sendPostedEvents();
        EXPECT_GE(window->width(), natural);
        EXPECT_EQ(window->geometry().topRight(), left.topRight());
        const QRect frame = window->frameGeometry();
        EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y() << " " << SizeName(frame);
        if (room) {
            EXPECT_FALSE(SettingsScrollSideways());
        }
    }
}

} // namespace
