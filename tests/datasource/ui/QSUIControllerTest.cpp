// The dialog's controller against the capability pool of a data source opened here: what each command
// asks of the data source (the notifications it posts, recorded), what it leaves in the pool, what it
// keeps in the preferences file, the exchange reminder, and pictures of its windows.
#include "QSUIController.h"
#include "DialogAvailability.h"
#include "PropertyList.h"
#include "QSDataSource.h"
#include "QSUIPreferences.h"
#include "QtTestApp.h"
#include "ShieldWindows.h"
#include "Tags.h"
#include "UrlStandIn.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFileInfo>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <fstream>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;

struct SPosted {
    std::string name;
    std::optional<std::uint32_t> mode;
    std::optional<std::int32_t> pendingCount;
    std::optional<bool> keep;
};

class QSUIControllerTest : public test::QSDataSourceTest, public WithTestApplication {
protected:
    void SetUp() override {
        Open();
        for (const char* name :
             {"XferReadyNotification", "CloseRequestNotification", "CloseDSOkayNotification",
              "DestroyImageRequestNotification", "ShowQSWindowNotification", "HideQSWindowNotification"})
            fnd::NotificationCenter::defaultCenter().addObserver(
                this, name, [this](const fnd::Notification& n) { Record(n); });
    }
    void TearDown() override {
        mController.reset();
        fnd::NotificationCenter::defaultCenter().removeObserver(this);
    }
    void Record(const fnd::Notification& n) {
        SPosted posted{std::string(n.name), std::nullopt, std::nullopt, n.object.asBool()};
        if (const fnd::Dictionary* request = n.object.asDictionary()) {
            posted.mode = request->get("scanModeParam.xferReady.qsds").asUInt32();
            posted.pendingCount = request->get("pendingImageCount.xferReady.qsds").asInt32();
        }
        if (n.name == "XferReadyNotification" && mDuringXferReady)
            mDuringXferReady();
        mPosted.push_back(posted);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const SPosted& posted : mPosted)
            names.push_back(posted.name);
        return names;
    }
    Controller& Dialog(int flag) {
        mController = std::make_unique<Controller>();
        EXPECT_TRUE(mController->hasWindow());
        mController->setupMainUIWithParam(
            fnd::Dictionary{{kUIParamCapabilityPool, fnd::Value::pointer(mDS->GetCapPool())}}, flag);
        return *mController;
    }
    void Press(int tag) {
        auto* button = appkit::viewWithTag<QAbstractButton>(mController->window(), tag);
        ASSERT_NE(button, nullptr) << tag;
        button->click();
    }
    void SelectAdvancedMode() {
        appkit::viewWithTag<QTabWidget>(mController->window(), Controller::kSettingModeTabTag)
            ->setCurrentIndex(1);
    }
    fnd::PreferencesFile Preferences() { return fnd::PreferencesFile(mEnv.PreferencesPath()); }
    static SPageBitmap Page() {
        SPageBitmap page;
        page.width = page.height = 8;
        return page;
    }

    std::unique_ptr<Controller> mController;
    std::vector<SPosted> mPosted;
    std::function<void()> mDuringXferReady;
};

TEST_F(QSUIControllerTest, ScanWithoutPrescanSavesTheSettingModeAndAsksForAScan) {
    Dialog(1);
    Press(Controller::kSimpleScanButtonTag);
    ASSERT_EQ(Names(), std::vector<std::string>{"XferReadyNotification"});
    EXPECT_EQ(mPosted[0].mode, 0u);
    EXPECT_EQ(mPosted[0].pendingCount, std::nullopt);
    EXPECT_EQ(Preferences().get(kPrefSettingMode).asInt64(), 0);
    EXPECT_NE(appkit::FWindow::shieldWindow(mController->window()), nullptr);
}

TEST_F(QSUIControllerTest, HelpOpensTheDataSourcesOwnPagesAtTheDialogsAnchor) {
    UrlStandIn browser;
    Dialog(1);
    Press(Controller::kHelpButtonTag);
    ASSERT_EQ(browser.opened().size(), 1u);
    const QUrl page = browser.opened().front();
    EXPECT_EQ(page.fragment(), QStringLiteral("0001"));
    EXPECT_TRUE(page.toLocalFile().endsWith(QStringLiteral(".resources/help/index.html")))
        << page.toString().toStdString();
    EXPECT_TRUE(QFileInfo::exists(page.toLocalFile()));
}

TEST_F(QSUIControllerTest, TheFavouriteNameSurvivesTheSimpleModesReset) {
    std::array<std::uint8_t, 256> name{};
    ASSERT_TRUE(GetCapStrValue(Pool(), CCAP_OVKM_FAVORITENAME, name));
    name[0] = 6;
    std::memcpy(&name[1], "Copies", 6);
    ASSERT_TRUE(SetCapStrValue(Pool(), CCAP_OVKM_FAVORITENAME, name));
    Dialog(1);
    ASSERT_TRUE(mController->isSimpleMode());
    std::array<std::uint8_t, 256> kept{};
    ASSERT_TRUE(GetCapStrValue(Pool(), CCAP_OVKM_FAVORITENAME, kept));
    EXPECT_EQ(kept, name);
}

TEST_F(QSUIControllerTest, ScanWithPrescanOnAsksToKeepAPrescanAndWritesNothing) {
    ASSERT_TRUE(SetCapUIntValue(Pool(), CCAP_OVK_PRESCAN, 1));
    Dialog(1);
    SelectAdvancedMode();
    Press(Controller::kAdvancedScanButtonTag);
    ASSERT_EQ(mPosted.size(), 1u);
    EXPECT_EQ(mPosted[0].mode, 2u);
    EXPECT_EQ(Preferences().state(), fnd::PreferencesFile::State::Missing);
}

TEST_F(QSUIControllerTest, ScanInTheAdvancedModeWithAKeptPrescanContinuesIt) {
    Dialog(1);
    SelectAdvancedMode();
    mController->setScanImage(Page(), 300, false);
    Press(Controller::kAdvancedScanButtonTag);
    ASSERT_EQ(mPosted.size(), 1u);
    EXPECT_EQ(mPosted[0].mode, 4u);
    EXPECT_EQ(mPosted[0].pendingCount, 1);
    // A positioning preview is no kept page: the scan starts afresh.
    mPosted.clear();
    mController->setScanImage(Page(), 150, true);
    Press(Controller::kAdvancedScanButtonTag);
    EXPECT_EQ(mPosted.at(0).mode, 0u);
}

TEST_F(QSUIControllerTest, AcceptingAKeptDuplexPrescanGivesTheBackTheFrontSettings) {
    Dialog(1);
    SelectAdvancedMode();
    ASSERT_TRUE(SetCapUIntValue(Pool(), CAP_DUPLEXENABLED, 1));
    ASSERT_TRUE(SetCapFloatValue(Pool(), ICAP_BRIGHTNESS, 40));
    ASSERT_TRUE(SetCapFloatValue(Pool(), ICAP_CONTRAST, -20));
    ASSERT_TRUE(SetCapUIntValue(Pool(), CCAP_OVKM_GAMMAMETHOD, 0x35));
    ASSERT_TRUE(SetCapFloatValue(Pool(), CCAP_OVKM_REDGAMMA, 1.8f));
    std::array<std::uint8_t, 256> curve{};
    ASSERT_TRUE(GetCapStrValue(Pool(), CCAP_OVKM_BLUECURVE, curve));
    curve[0] = 5;
    std::memcpy(&curve[1], "0,0;9", 5);
    ASSERT_TRUE(SetCapStrValue(Pool(), CCAP_OVKM_BLUECURVE, curve));
    mController->setScanImage(Page(), 300, false);
    mController->performScanComplete();
    ASSERT_EQ(mPosted.size(), 1u);
    EXPECT_EQ(mPosted[0].mode, 3u);
    EXPECT_EQ(mPosted[0].pendingCount, 2);
    EXPECT_EQ(Float(BackTwin(ICAP_BRIGHTNESS)), 40);
    EXPECT_EQ(Float(BackTwin(ICAP_CONTRAST)), -20);
    EXPECT_EQ(GetCapUIntValue(Pool(), CCAP_OVKM_GAMMAMETHOD), 0x55u);
    EXPECT_FLOAT_EQ(Float(BackTwin(CCAP_OVKM_REDGAMMA)), 1.8f);
    std::array<std::uint8_t, 256> back{};
    ASSERT_TRUE(GetCapStrValue(Pool(), BackTwin(CCAP_OVKM_BLUECURVE), back));
    EXPECT_EQ(back, curve);
}

TEST_F(QSUIControllerTest, AcceptingASimplexPrescanLeavesTheBackAlone) {
    Dialog(1);
    SelectAdvancedMode();
    ASSERT_TRUE(SetCapUIntValue(Pool(), CAP_DUPLEXENABLED, 0));
    ASSERT_TRUE(SetCapFloatValue(Pool(), ICAP_BRIGHTNESS, 40));
    const float back = Float(BackTwin(ICAP_BRIGHTNESS));
    mController->setScanImage(Page(), 300, false);
    mController->performScanComplete();
    EXPECT_EQ(mPosted.at(0).pendingCount, 1);
    EXPECT_EQ(Float(BackTwin(ICAP_BRIGHTNESS)), back);
    EXPECT_NE(back, 40);
}

TEST_F(QSUIControllerTest, APositioningPrescanScansQuicklyAndPutsEveryValueBack) {
    Dialog(1);
    ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 400), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_YRESOLUTION, 400), TWRC_SUCCESS);
    ASSERT_TRUE(SetCapSIntValue(Pool(), CAP_XFERCOUNT, 7));
    ASSERT_TRUE(SetCapUIntValue(Pool(), CAP_AUTOFEED, 1));
    ASSERT_TRUE(SetCapSIntValue(Pool(), CCAP_OVK_MARGINLENGTH, 120));
    ASSERT_TRUE(SetCapUIntValue(Pool(), CCAP_OVK_BLANKSKIP, 1));
    ASSERT_TRUE(SetCapUIntValue(Pool(), CCAP_OVK_DETECTDBLFEED_LENGTH, 1));
    ASSERT_TRUE(SetCapUIntValue(Pool(), CCAP_OVK_DETECTDBLFEED_ULTRASONIC, 1));
    const std::vector<TW_UINT16> ids{ICAP_XRESOLUTION,
                                     ICAP_YRESOLUTION,
                                     CAP_XFERCOUNT,
                                     CAP_AUTOFEED,
                                     CCAP_OVK_MARGINLENGTH,
                                     CCAP_OVK_BLANKSKIP,
                                     CCAP_OVK_DETECTDBLFEED_LENGTH,
                                     CCAP_OVK_DETECTDBLFEED_ULTRASONIC,
                                     CCAP_OVK_PRESCAN};
    auto values = [&] {
        std::vector<float> all;
        for (TW_UINT16 id : ids)
            all.push_back(id == ICAP_XRESOLUTION || id == ICAP_YRESOLUTION ? Float(id) : float(Int(id)));
        return all;
    };
    const std::vector<float> before = values();
    std::vector<float> during;
    mDuringXferReady = [&] { during = values(); };
    mController->performPrescan();
    EXPECT_EQ(during, (std::vector<float>{150, 150, 1, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(mPosted.at(0).mode, 1u);
    EXPECT_EQ(values(), before);
}

TEST_F(QSUIControllerTest, SetupSequenceOkWithoutAKeptPageOnlySaysCloseOkay) {
    Dialog(0);
    mController->showMainWindow();
    EXPECT_TRUE(appkit::viewWithTag(mController->window(), Controller::kAdvancedScanButtonTag)->isHidden());
    Press(Controller::kOkButtonTag);
    QTest::qWait(250);
    EXPECT_EQ(Names(), (std::vector<std::string>{"ShowQSWindowNotification", "HideQSWindowNotification",
                                                 "CloseDSOkayNotification"}));
    EXPECT_TRUE(Preferences().get(kPrefSetupSequenceWindowFrame).asString());
}

TEST_F(QSUIControllerTest, ClosingTheWindowAsksToCloseAFifthOfASecondLaterUnlessTheDialogGoes) {
    Dialog(1);
    mController->showMainWindow();
    Press(Controller::kCloseButtonTag);
    EXPECT_EQ(Names(), (std::vector<std::string>{"ShowQSWindowNotification", "HideQSWindowNotification"}));
    EXPECT_FALSE(mController->isMainWindowVisible());
    ASSERT_TRUE(QTest::qWaitFor([this] { return mPosted.size() >= 3; }, 60000));
    ASSERT_EQ(mPosted.size(), 3u);
    EXPECT_EQ(mPosted[2].name, "CloseRequestNotification");
    EXPECT_EQ(mPosted[2].keep, true);

    mPosted.clear();
    Dialog(1);
    mController->showMainWindow();
    mController->window()->close();
    mController.reset();
    QTest::qWait(250);
    EXPECT_EQ(Names(), (std::vector<std::string>{"ShowQSWindowNotification", "HideQSWindowNotification"}));
}

TEST_F(QSUIControllerTest, ADamagedPreferencesFileIsKeptAsideNotReplaced) {
    const std::string damaged = "<plist><dict><key>FavoriteSettings</key>";
    std::ofstream(mEnv.PreferencesPath()) << damaged;
    Dialog(1);
    mController->showMainWindow();
    mController->hideMainWindow();
    std::filesystem::path aside = mEnv.PreferencesPath();
    aside += ".damaged";
    std::ifstream kept(aside);
    const std::string text((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, damaged);
    EXPECT_TRUE(Preferences().get(kPrefWindowFrame).asString());
}

TEST_F(QSUIControllerTest, AStoredFrameOffEveryScreenComesBackOnOne) {
    {
        const fnd::Dictionary stored{{kPrefWindowFrame, "{{90000, -70000}, {500, 400}}"},
                                     {kPrefSettingMode, std::int64_t{1}}};
        ASSERT_TRUE(fnd::plist::writeFile(mEnv.PreferencesPath(), stored));
    }
    Dialog(1);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(mController->window()->geometry())) << mController->window()->geometry().x();
    EXPECT_FALSE(mController->isSimpleMode());
    EXPECT_EQ(ClampToScreens(QRect(-50, 10, 3000, 100), {QRect(0, 0, 800, 600)}), QRect(0, 10, 800, 100));
}

TEST_F(QSUIControllerTest, WithoutItsInterfaceFileNoDialogIsMadeAndTheLogNamesTheFile) {
    namespace fs = std::filesystem;
    std::string folder = (fs::temp_directory_path() / "k3100-noui-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    const fs::path program = fs::read_symlink("/proc/self/exe");
    fs::create_directory(fs::path(folder) / (program.stem().string() + ".resources"));
    setenv("K3100_BUNDLE_PATH", folder.c_str(), 1);
    UpdateDialogAvailability();
    testing::internal::CaptureStderr();
    EXPECT_EQ(GetUIControllerFactory()(), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("OrvkQSUI.ui"), std::string::npos);
    SetUIControllerFactory(nullptr);
    fs::remove_all(folder);
}

// Answers the reminder when it shows: ticks its box when asked, then presses OK. Counts its showings.
class CReminderAnswerer {
public:
    explicit CReminderAnswerer(bool tick) : mTick(tick) {
        mTimer.setInterval(20);
        QObject::connect(&mTimer, &QTimer::timeout, [this] { Answer(); });
        mTimer.start();
    }
    int shown = 0;

private:
    void Answer() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() != "ExchangeAlert" || !window->isVisible())
                continue;
            ++shown;
            if (mTick)
                appkit::viewWithTag<QCheckBox>(window, Controller::kReminderCheckBoxTag)->setChecked(true);
            appkit::viewWithTag<QAbstractButton>(window, Controller::kReminderOkTag)->click();
        }
    }
    bool mTick;
    QTimer mTimer;
};

TEST_F(QSUIControllerTest, TheReminderComesUntilItsBoxIsTickedAndNeverAfter) {
    Controller reminder;
    {
        CReminderAnswerer answerer(false);
        EXPECT_EQ(reminder.runModalExchangeAlert({}, false, false), 1);
        EXPECT_EQ(answerer.shown, 1);
    }
    {
        CReminderAnswerer answerer(true);
        EXPECT_EQ(reminder.runModalExchangeAlert({}, false, false), 1);
        EXPECT_EQ(answerer.shown, 1);
    }
    EXPECT_EQ(Preferences().get(kPrefRollerExchangeMessageNotDisplayed).asBool(), true);
    EXPECT_EQ(Preferences().get(kPrefPadExchangeMessageNotDisplayed).asBool(), std::nullopt);
    CReminderAnswerer answerer(false);
    EXPECT_EQ(reminder.runModalExchangeAlert({}, false, false), 1);
    EXPECT_EQ(answerer.shown, 0);
}

TEST_F(QSUIControllerTest, TheAlertIconWearsTheHostsIconInItsLowerRightQuarter) {
    QPixmap host(32, 32);
    host.fill(QColor(10, 200, 30));
    const QIcon saved = QApplication::windowIcon();
    QApplication::setWindowIcon(QIcon(host));
    const QImage badged = Controller::createAlertIcon(QSize(64, 64), true).toImage();
    const QImage plain = Controller::createAlertIcon(QSize(64, 64), false).toImage();
    QApplication::setWindowIcon(saved);
    EXPECT_EQ(badged.pixelColor(48, 48), QColor(10, 200, 30));
    EXPECT_EQ(badged.pixelColor(60, 60), QColor(10, 200, 30));
    EXPECT_NE(plain.pixelColor(48, 48), QColor(10, 200, 30));
    EXPECT_EQ(badged.pixelColor(16, 16), plain.pixelColor(16, 16));
}

// A window too short for the advanced settings scrolls them; a tall enough one shows them all.
TEST_F(QSUIControllerTest, TheAdvancedSettingsScrollOnlyWhenTheWindowIsTooShort) {
    Dialog(1);
    SelectAdvancedMode();
    QWidget* window = mController->window();
    window->show();
    auto* scroller = window->findChild<QScrollArea*>(QStringLiteral("advToneSettingScroller"));
    ASSERT_NE(scroller, nullptr);
    ASSERT_NE(scroller->widget(), nullptr);
    EXPECT_TRUE(scroller->widget()->isAncestorOf(appkit::viewWithTag(window, 412)));
    window->resize(window->width(), window->minimumSizeHint().height());
    QTest::qWait(20);
    EXPECT_GT(scroller->verticalScrollBar()->maximum(), 0);
    window->resize(window->width(), window->sizeHint().height() + 200);
    QTest::qWait(20);
    EXPECT_EQ(scroller->verticalScrollBar()->maximum(), 0);
    EXPECT_GE(scroller->widget()->height(), scroller->widget()->sizeHint().height());
}

// Pictures of the window as it opens, in the light and a dark palette, at this run's scale.
void SavePictures(QWidget* window, const std::string& name) {
    window->show();
    // At its natural size once shown: the offscreen screen is smaller than the dialog.
    window->resize(window->sizeHint());
    QTest::qWait(20);
    saveScreenshots(window, name);
}

TEST_F(QSUIControllerTest, Screenshots) {
    Dialog(1);
    SavePictures(mController->window(), "ds-dialog");
    // A shown dialog would ask the user first; the picture only needs the other mode.
    mController->window()->hide();
    SelectAdvancedMode();
    SavePictures(mController->window(), "ds-dialog-advanced");
    Dialog(0);
    SavePictures(mController->window(), "ds-dialog-setup");
    // The check of the first page: a grey page with lines of "text" kept for the user to look at.
    SPageBitmap page{400, 560, 1, 8, 400, 150, 150, std::vector<std::uint8_t>(400 * 560, 250)};
    for (std::uint32_t y = 60; y < 500; y += 24)
        for (std::uint32_t x = 40; x < 360 - (y % 96); ++x)
            for (std::uint32_t row = y; row < y + 8; ++row)
                page.pixels[row * 400 + x] = 40;
    mController->window()->hide();
    mController->setScanImage(page, 150, false);
    SavePictures(mController->window(), "ds-check-page");
    QTimer::singleShot(100, [] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == "ExchangeAlert" && window->isVisible()) {
                SavePictures(window, "ds-exchange-reminder");
                window->close();
            }
    });
    Controller reminder;
    reminder.runModalExchangeAlert({}, true, false);
}

} // namespace
