// Where the dialog and its palettes stand on screens of the sizes laptops and desktops have: ctest runs
// this on three offscreen screens (1280x800, 1366x768 and 1920x1080, ThreeScreens.json) at 100% and at
// 200%, each also with a 14-point font, and the placement cases on an X server with a window manager
// (under-window-manager.sh) at 1024x600 and those three sizes. Windows are judged by their frames, title
// bars included: the window manager's, or offscreen (where windows have none) the size of openbox's.
// The dialog's frame fits the screen, its buttons whole, in either mode and with a kept page; the
// palettes lie wholly on the dialog's screen, off its buttons and title bar and off each other's title
// bars, apart where there is room, and come back to the same places each time the dialog opens, in a
// new process too; inside the application they stay above the dialog made modal over its windows; the
// dialog reopens where it was left, and a place off the screen comes back onto it. Pictures of each
// screen with the dialog and its palettes.
#include "CapHelpers.h"
#include "FRollOverButton.h"
#include "QSCapIds.h"
#include "QSDataSource.h"
#include "QSUIController.h"
#include "QSUIPreferences.h"
#include "QtTestApp.h"
#include "RerunAlone.h"
#include "ShieldWindows.h"
#include "Tags.h"
#include "TlvQSWindows.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstring>
#include <filesystem>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;
using Button = ComOrvikElectronicsK3100FRollOverButton;

class DialogPlacementTest : public test::QSDataSourceTest, public WithTestApplication {
protected:
    void SetUp() override { Open(); }
    void TearDown() override { mController.reset(); }
    // A new dialog in the advanced mode (or the simple one), with a kept page where given; centred on
    // screen (as the set-up centres it on the primary one) unless it has a stored place.
    Controller& Dialog(const QScreen* screen = nullptr, int mode = 1, const SPageBitmap* page = nullptr) {
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
        if (page)
            mController->setScanImage(*page, 150, false);
        mController->showMainWindow();
        return *mController;
    }
    // In the order they are placed and stacked in.
    std::array<QWidget*, 3> Palettes() const {
        return {mController->imagePalette(), mController->preferencePalette(), mController->gammaPalette()};
    }
    // Set by under-window-manager.sh: windows get frames from a window manager here.
    static bool Framed() { return std::getenv("K3100_WINDOW_MANAGER") != nullptr; }
    // Once the dialog and its shown palettes are on the screen with their frames (the window manager
    // frames and places them after they are shown).
    void Settle() const {
        const auto onScreen = [this] {
            for (const QWidget* window : {mController->window(), Palettes()[0], Palettes()[1], Palettes()[2]})
                if (window->isVisible() && (!window->windowHandle()->isExposed() ||
                                            (Framed() && window->frameGeometry() == window->geometry())))
                    return false;
            return true;
        };
        EXPECT_TRUE(QTest::qWaitFor(onScreen, 10000));
        QCoreApplication::sendPostedEvents();
    }
    // A window's frame as a user sees it; offscreen, where windows have none, the frame openbox gives:
    // 1-pixel borders, a 20-pixel title bar and a 5-pixel handle below, in the screen's pixels.
    static QRect Frame(const QWidget* window) {
        if (Framed())
            return window->frameGeometry();
        const auto pixels = [ratio = window->devicePixelRatioF()](int device) {
            return static_cast<int>(std::ceil(device / ratio));
        };
        return window->geometry().marginsAdded(QMargins(pixels(1), pixels(20), pixels(1), pixels(5)));
    }
    static QRect TitleBar(const QWidget* window) {
        const QRect frame = Frame(window);
        return QRect(frame.topLeft(), QSize(frame.width(), window->geometry().top() - frame.top()));
    }
    // Every frame wholly on the area; no palette over the dialog's buttons or title bar, or over the title
    // bar of one below it, nor cut to less than its title bar and a few lines, where they are shown.
    void ExpectPlacedByTheRules(const QRect& area) const {
        const QRect dialog = Frame(mController->window());
        EXPECT_TRUE(area.contains(dialog)) << "dialog " << Text(dialog);
        const std::array<QWidget*, 3> palettes = Palettes();
        for (std::size_t i = 0; i < palettes.size(); ++i) {
            if (!palettes[i]->isVisible())
                continue;
            const QRect frame = Frame(palettes[i]);
            SCOPED_TRACE(palettes[i]->objectName().toStdString() + " " + Text(frame));
            EXPECT_TRUE(area.contains(frame));
            EXPECT_FALSE(frame.intersects(TitleBar(mController->window())));
            for (const QWidget* button : ShownButtons())
                EXPECT_FALSE(frame.intersects(QRect(button->mapToGlobal(QPoint()), button->size())))
                    << button->objectName().toStdString() << " "
                    << Text(QRect(button->mapToGlobal(QPoint()), button->size()));
            for (std::size_t j = 0; j < i; ++j)
                EXPECT_FALSE(!palettes[j]->isHidden() && frame.intersects(TitleBar(palettes[j])))
                    << palettes[j]->objectName().toStdString() << " " << Text(Frame(palettes[j]));
            const int lines = 4 * palettes[i]->fontMetrics().height();
            EXPECT_GE(palettes[i]->height(), std::min(lines, NaturalHeight(palettes[i])));
        }
    }
    // What a palette's settings ask for.
    static int NaturalHeight(const QWidget* palette) {
        const auto* scroller = palette->findChild<QScrollArea*>();
        return scroller->widget()->sizeHint().height();
    }
    static std::string Text(const QRect& frame) {
        return std::to_string(frame.x()) + "," + std::to_string(frame.y()) + " " + SizeName(frame);
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
    // A new dialog on the screen with every palette shown, none with a stored place.
    void FreshDialogWithPalettes(const QScreen* screen) {
        ForgetPlaces();
        Dialog(screen);
        for (QWidget* palette : Palettes())
            mController->showHidePalette(palette);
        Settle();
    }
    static std::string SizeName(const QRect& area) {
        return std::to_string(area.width()) + "x" + std::to_string(area.height());
    }
    // The screen as a user sees it: the dialog and its palettes at their places, each framed, in
    // <name>-on-<size>.png (-under-wm: the X server's screen, the window manager's frames on it).
    void SaveScreen(const QScreen* screen, const std::string& name = "ds-palettes") const {
        const QRect area = screen->geometry();
        QImage picture(area.size() * screen->devicePixelRatio(), QImage::Format_RGB32);
        picture.setDevicePixelRatio(screen->devicePixelRatio());
        picture.fill(QColor(0x3c, 0x5a, 0x78));
        QPainter painter(&picture);
        if (Framed()) {
            painter.drawPixmap(0, 0, const_cast<QScreen*>(screen)->grabWindow(0));
        } else {
            for (QWidget* window : {mController->window(), Palettes()[0], Palettes()[1], Palettes()[2]}) {
                if (!window->isVisible())
                    continue;
                const QRect frame = Frame(window).translated(-area.topLeft());
                painter.fillRect(frame, QColor(0xdd, 0xdd, 0xdd));
                painter.drawPixmap(window->geometry().topLeft() - area.topLeft(), window->grab());
                painter.setPen(Qt::black);
                painter.drawRect(frame.adjusted(0, 0, -1, -1));
            }
        }
        painter.end();
        const char* points = std::getenv("K3100_FONT_PT");
        const std::string scale = std::string(Framed() ? "-under-wm" : "") +
                                  (screen->devicePixelRatio() > 1.0 ? "@2x" : "") +
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
        FreshDialogWithPalettes(screen);
        ExpectPlacedByTheRules(area);
        // A laptop at 100% has room for them apart.
        const std::array<QWidget*, 3> palettes = Palettes();
        for (std::size_t i = 0; i < palettes.size() && area.height() >= 768; ++i)
            for (std::size_t j = i + 1; j < palettes.size(); ++j) {
                EXPECT_FALSE(Frame(palettes[i]).intersects(Frame(palettes[j])))
                    << palettes[i]->objectName().toStdString() << " " << Text(Frame(palettes[i])) << ", "
                    << palettes[j]->objectName().toStdString() << " " << Text(Frame(palettes[j]));
            }
        SaveScreen(screen);
    }
}

// Closed and opened again, three times, the dialog and its palettes come back to the very places they
// had, and these still keep the rules: a stored place is held to them as a new one is.
TEST_F(DialogPlacementTest, ThePalettesComeBackToTheSamePlacesEachTimeTheDialogOpens) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        SCOPED_TRACE(SizeName(area));
        FreshDialogWithPalettes(screen);
        const auto places = [this] {
            QList<QRect> frames{Frame(mController->window())};
            for (const QWidget* palette : Palettes())
                frames.append(Frame(palette));
            return frames;
        };
        const QList<QRect> first = places();
        for (int again = 1; again <= 3; ++again) {
            SCOPED_TRACE("opened again " + std::to_string(again));
            mController->hideMainWindow();
            Dialog();
            Settle();
            for (const QWidget* palette : Palettes())
                EXPECT_TRUE(palette->isVisible()) << palette->objectName().toStdString();
            const QList<QRect> now = places();
            for (qsizetype i = 0; i < first.size(); ++i)
                EXPECT_EQ(Text(now[i]), Text(first[i])) << "window " << i;
            ExpectPlacedByTheRules(area);
        }
        SaveScreen(screen, "ds-palettes-reopened");
    }
}

// A host started anew opens the dialog with its palettes where the last process left them, as the
// same process opens it again: as they were placed, and with one put against the screen's left side
// by the user. The last process had a window of its own framed before the dialog opened; the new one
// opens the dialog first thing, before the window manager has framed any window of it.
TEST_F(DialogPlacementTest, ThePalettesComeBackToTheSamePlacesInANewProcess) {
    if (!Framed())
        GTEST_SKIP() << "only a window manager frames windows";
    constexpr char kPlacesVariable[] = "K3100_TEST_PALETTE_PLACES";
    constexpr char kPreferencesVariable[] = "K3100_TEST_PALETTE_PREFERENCES";
    const auto places = [this] {
        std::string text = Text(Frame(mController->window()));
        for (const QWidget* palette : Palettes())
            text += "; " + palette->objectName().toStdString() + " " + Text(Frame(palette));
        return text;
    };
    if (test::runningAlone()) {
        std::filesystem::copy_file(std::getenv(kPreferencesVariable), mEnv.PreferencesPath());
        Dialog();
        Settle();
        EXPECT_EQ(places(), std::getenv(kPlacesVariable));
        return;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    QWidget host;
    host.setGeometry(QRect(area.topLeft(), area.size() / 3).translated(area.width() / 3, area.height() / 3));
    host.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.frameGeometry() != host.geometry(); }, 10000));
    const std::filesystem::path left = std::filesystem::path(mEnv.PreferencesPath()) += ".left";
    for (const bool moved : {false, true}) {
        SCOPED_TRACE(moved ? "the tone palette put against the screen's left side" : "as placed");
        FreshDialogWithPalettes(screen);
        if (moved) {
            QWidget* tone = mController->gammaPalette();
            tone->move(tone->pos() + QPoint(area.left() - Frame(tone).left(), 0));
            EXPECT_TRUE(QTest::qWaitFor([&] { return Frame(tone).left() == area.left(); }, 10000));
        }
        mController->hideMainWindow();
        Dialog();
        Settle();
        const std::string here = places();
        mController->hideMainWindow();
        std::filesystem::copy_file(mEnv.PreferencesPath(), left,
                                   std::filesystem::copy_options::overwrite_existing);
        EXPECT_EQ(test::rerunAlone({std::string(kPlacesVariable) + "=" + here,
                                    std::string(kPreferencesVariable) + "=" + left.string()}),
                  0);
    }
}

// The windows that a window property lists, as the X server holds it: a property of the root window
// when no window is given.
QList<WId> WindowsIn(const char* property, std::optional<WId> window = std::nullopt) {
    xcb_connection_t* connection =
        qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const auto length = static_cast<std::uint16_t>(std::strlen(property));
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, length, property), nullptr),
        &std::free);
    const xcb_window_t on = window ? static_cast<xcb_window_t>(*window)
                                   : xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t name = atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> value(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, on, name, XCB_ATOM_WINDOW, 0, 1024), nullptr),
        &std::free);
    QList<WId> windows;
    const auto* ids = value ? static_cast<const xcb_window_t*>(xcb_get_property_value(value.get())) : nullptr;
    for (int i = 0; ids && i < xcb_get_property_value_length(value.get()) / 4; ++i)
        windows.append(ids[i]);
    return windows;
}

// Inside the application the dialog is modal over its settings window, itself modal over the main
// window. Its palettes stay above the dialog and that window as the window manager stacks them: as the
// dialog opens, after a click into it, on its title bar and on the settings window, and when the dialog
// shows again.
TEST_F(DialogPlacementTest, ThePalettesStayAboveTheDialogModalOverTheApplicationsWindows) {
    if (!Framed())
        GTEST_SKIP() << "only a window manager stacks windows";
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    QWidget main;
    main.setObjectName("MainWindow");
    main.setGeometry(area.marginsRemoved(QMargins(40, 60, 40, 60)));
    main.show();
    QDialog settings;
    settings.setObjectName("SettingsWindow");
    settings.resize(area.size() * 3 / 4);
    appkit::FWindow::beginModalWindow(&settings, &main);
    // The application's own keeper of the data source's windows: the dialog goes over the panel in front.
    TlvQSWindows host([&main] {
        QWidget* modal = QApplication::activeModalWidget();
        return modal ? modal : &main;
    });
    // Each palette above the dialog and the settings window, in the order the window manager stacks the
    // windows (the lowest first), and transient for the dialog; the stacking order as it stands then.
    const auto palettesAbove = [&](std::string& stacking) {
        const QList<WId> stack = WindowsIn("_NET_CLIENT_LIST_STACKING");
        const qsizetype below =
            std::max(stack.indexOf(mController->window()->winId()), stack.indexOf(settings.winId()));
        stacking.clear();
        for (const WId window : stack) {
            const QWidget* widget = QWidget::find(window);
            stacking += (widget ? widget->objectName().toStdString() : "?") + " ";
        }
        const std::array<QWidget*, 3> palettes = Palettes();
        return std::all_of(palettes.begin(), palettes.end(), [&](const QWidget* palette) {
            return stack.indexOf(palette->winId()) > below &&
                   WindowsIn("WM_TRANSIENT_FOR", palette->winId()) ==
                       QList<WId>{mController->window()->winId()};
        });
    };
    const auto expectPalettesAbove = [&](const std::string& when) {
        // Once the window manager has had the time to restack the windows.
        QTest::qWait(100);
        std::string stacking;
        EXPECT_TRUE(QTest::qWaitFor([&] { return palettesAbove(stacking); }, 5000))
            << when << ": stacked from the lowest " << stacking;
    };
    const auto click = [](const QPoint& place) {
        const double ratio = qApp->devicePixelRatio();
        EXPECT_EQ(QProcess::execute("xdotool", {"mousemove", QString::number(qRound(place.x() * ratio)),
                                                QString::number(qRound(place.y() * ratio)), "click", "1"}),
                  0);
    };
    // A place inside the window on none of its controls, under no palette nor any of covering.
    const auto quietPlace = [this](const QWidget* window, const QList<const QWidget*>& covering) {
        QList<QRect> over;
        for (const QWidget* other : covering)
            over.append(Frame(other));
        for (const QWidget* palette : Palettes())
            over.append(Frame(palette));
        const QRect inside = window->geometry();
        for (int y = inside.top() + 8; y < inside.bottom(); y += 8)
            for (int x = inside.left() + 8; x < inside.right(); x += 8) {
                const QPoint place(x, y);
                const QWidget* under = window->childAt(window->mapFromGlobal(place));
                if ((!under || qobject_cast<const QLabel*>(under) ||
                     under->objectName() == "appkit.shield") &&
                    std::none_of(over.begin(), over.end(),
                                 [&](const QRect& frame) { return frame.contains(place); }))
                    return std::optional(place);
            }
        return std::optional<QPoint>();
    };

    // Opened with the palettes it had shown last time.
    {
        ForgetPlaces();
        fnd::PreferencesFile preferences = Preferences();
        preferences.set(kPrefSettingMode, std::int64_t{1});
        for (const char* shown : {kPrefShowImagePalette, kPrefShowGammaPalette, kPrefShowPreferencePalette})
            preferences.set(shown, true);
        ASSERT_TRUE(preferences.save());
    }
    Dialog();
    Settle();
    expectPalettesAbove("opened");
    const std::optional<QPoint> inDialog = quietPlace(mController->window(), {});
    ASSERT_TRUE(inDialog);
    click(*inDialog);
    expectPalettesAbove("after a click into the dialog");
    // Kept clear of palettes.
    click(TitleBar(mController->window()).center());
    expectPalettesAbove("after a click on the dialog's title bar");
    SaveScreen(screen, "ds-palettes-modal");
    if (const std::optional<QPoint> onSettings = quietPlace(&settings, {mController->window()})) {
        click(*onSettings);
        expectPalettesAbove("after a click on the settings window");
    }
    mController->hideMainWindow();
    mController->showMainWindow();
    Settle();
    expectPalettesAbove("shown again");
    mController->hideMainWindow();
    appkit::FWindow::endModalWindow(&settings);
}

// Before its window manager frames it, a window is judged by the largest frame the program's windows have
// (each side on its own): windows of a fixed size (as a settings window) have no handle below to resize
// them by, as the palettes and the main windows have.
TEST_F(DialogPlacementTest, AWindowNotFramedYetHasTheLargestFrameOfTheProgramsWindows) {
    if (!Framed())
        GTEST_SKIP() << "only a window manager frames windows";
    std::array<QDialog, 4> dialogs;
    for (QDialog& dialog : dialogs)
        dialog.setFixedSize(300, 200);
    QWidget window;
    const std::initializer_list<QWidget*> shown{&dialogs[0], &dialogs[1], &window, &dialogs[2], &dialogs[3]};
    for (QWidget* one : shown)
        one->show();
    // Under load the program may learn of a window's frame only later: the windows it knows framed count.
    std::optional<QMargins> largest;
    QSet<QString> frames;
    for (QWidget* one : shown)
        if (QTest::qWaitFor([one] { return one->frameGeometry() != one->geometry(); }, 3000)) {
            const QRect outer = one->frameGeometry();
            const QRect inner = one->geometry();
            const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                                 outer.right() - inner.right(), outer.bottom() - inner.bottom());
            frames.insert(MarginsString(frame));
            largest = largest ? *largest | frame : frame;
        }
    if (frames.size() < 2)
        GTEST_SKIP() << "the program knew too few frames in time: "
                     << frames.values().join(' ').toStdString();
    const QWidget notShown;
    EXPECT_EQ(MarginsString(WindowFrameMargins(&notShown)).toStdString(),
              MarginsString(*largest).toStdString());
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
            QWidget* window =
                Dialog(screen, state == "simple" ? 0 : 1, state == "kept-page" ? &page : nullptr).window();
            Settle();
            const QRect frame = Frame(window);
            EXPECT_TRUE(area.contains(frame)) << Text(frame);
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
                QWidget* window = Dialog(screen, mode, kept ? &page : nullptr).window();
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
        Settle();
        const QRect left = Frame(mController->window());
        mController->hideMainWindow();
        ASSERT_TRUE(Preferences().get(kPrefWindowFrame).asString());
        ASSERT_TRUE(
            ParseFrameString(QString::fromStdString(*Preferences().get(kPrefWindowFrame).asString())));
        Dialog();
        Settle();
        const QRect frame = Frame(mController->window());
        EXPECT_TRUE(area.contains(frame)) << Text(frame);
        if (area.contains(left)) {
            EXPECT_EQ(frame, left);
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
    Dialog();
    Settle();
    const QRect frame = Frame(mController->window());
    EXPECT_TRUE(area.contains(frame)) << Text(frame);
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
        const QRect frame = Frame(window);
        EXPECT_TRUE(area.contains(frame)) << Text(frame);
        if (room) {
            EXPECT_FALSE(SettingsScrollSideways());
        }
    }
}

} // namespace
