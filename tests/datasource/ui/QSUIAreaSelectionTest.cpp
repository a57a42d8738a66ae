// The dialog's scan area and preview area against a data source's capability pool: the stored area as
// the frame shows it and back, typing committed before a scan or a close, the window widening for the
// preview, a kept page of unknown resolution, and pictures of the preview area in each unit.
#include "NotificationCenter.h"
#include "QSDataSource.h"
#include "QSPreviewFrame.h"
#include "QSUIController.h"
#include "QSUIPreferences.h"
#include "QtTestApp.h"
#include "Tags.h"

#include <QAbstractButton>
#include <QAnimationDriver>
#include <QBasicTimer>
#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;

constexpr float kPhysicalWidth = 10208; // 1/1200 inch: what the test pool offers, checked below

class QSUIAreaSelectionTest : public test::QSDataSourceTest, public WithTestApplication {
protected:
    void SetUp() override {
        Open();
        ASSERT_EQ(Float(ICAP_PHYSICALWIDTH), kPhysicalWidth);
        SetCapUIntValue(Pool(), CCAP_OVKM_UNIT, 1); // inches
    }
    void TearDown() override { mController.reset(); }
    // The advanced mode with the custom area on.
    Controller& Dialog() {
        mController.reset();
        // Set up in the advanced mode: the simple mode would reset the rotation and the custom area.
        fnd::PreferencesFile preferences(mEnv.PreferencesPath());
        preferences.set(kPrefSettingMode, std::int64_t{1});
        preferences.save();
        mController = std::make_unique<Controller>();
        const fnd::Dictionary papers{
            {"OriginalPapers", fnd::Array{fnd::Value(fnd::Dictionary{
                                   {"ID", 5}, {"Name", "A5"}, {"Width", 6992}, {"Height", 9921}})}}};
        mController->setupMainUIWithParam(
            fnd::Dictionary{{kUIParamCapabilityPool, fnd::Value::pointer(Pool())},
                            {"SupportedPapers", papers}},
            1);
        if (!Box(Controller::kCustomScanAreaTag)->isChecked())
            Box(Controller::kCustomScanAreaTag)->click();
        return *mController;
    }
    QWidget* Window() const { return mController->window(); }
    QCheckBox* Box(int tag) const { return appkit::viewWithTag<QCheckBox>(mController->currentView(), tag); }
    QLineEdit* Field(int tag) const { return appkit::viewWithTag<QLineEdit>(Window(), tag); }
    ComOrvikElectronicsK3100QSPreviewFrame* Frame() const { return mController->previewFrame(); }
    QRectF StoredArea() {
        return QRectF(Float(CCAP_OVKM_SCANAREA_X), Float(CCAP_OVKM_SCANAREA_Y),
                      Float(CCAP_OVKM_SCANAREA_WIDTH), Float(CCAP_OVKM_SCANAREA_HEIGHT));
    }
    void StoreArea(QRectF area) {
        SetCapFloatValue(Pool(), CCAP_OVKM_SCANAREA_X, static_cast<float>(area.x()));
        SetCapFloatValue(Pool(), CCAP_OVKM_SCANAREA_Y, static_cast<float>(area.y()));
        SetCapFloatValue(Pool(), CCAP_OVKM_SCANAREA_WIDTH, static_cast<float>(area.width()));
        SetCapFloatValue(Pool(), CCAP_OVKM_SCANAREA_HEIGHT, static_cast<float>(area.height()));
    }
    static SPageBitmap GreyPage(std::uint32_t width, std::uint32_t height) {
        SPageBitmap page;
        page.width = width;
        page.height = height;
        page.samplesPerPixel = 1;
        page.bitsPerSample = 8;
        page.bytesPerRow = width;
        page.pixels.assign(std::size_t{width} * height, 0xff);
        for (std::uint32_t y = height / 10; y < height; y += 24)
            for (std::uint32_t x = width / 10; x < width * 9 / 10; ++x)
                page.pixels[std::size_t{y} * width + x] = (x / 40) % 3 ? 0x30 : 0xff; // lines of "words"
        return page;
    }

    std::unique_ptr<Controller> mController;
};

TEST_F(QSUIAreaSelectionTest, AQuarterTurnShowsTheAreaTurnedAndStoresItBackUnchanged) {
    SetCapUIntValue(Pool(), CCAP_OVKM_CUSTOM_SCANAREA, 1);
    SetCapUIntValue(Pool(), CCAP_OVK_DATAORIENTATION, 2);
    SetCapSIntValue(Pool(), CCAP_OVKM_PAPERSIZE, 5);
    StoreArea(QRectF(1200, 2400, 1200, 3600));
    Dialog();
    EXPECT_EQ(Frame()->baseSize(), QSizeF(9921, 6992)); // A5 turned
    EXPECT_EQ(Frame()->cropRect().size(), QSizeF(3600, 1200));
    EXPECT_EQ(Field(Controller::kScanWidthFieldTag)->text(), "3.00");
    EXPECT_EQ(Field(Controller::kScanHeightFieldTag)->text(), "1.00");
    mController->performScan();
    EXPECT_EQ(StoredArea(), QRectF(1200, 2400, 1200, 3600));
}

TEST_F(QSUIAreaSelectionTest, AnAreaPokingOutOfThePageAndAnUnknownPaperGiveTheWholePhysicalPage) {
    SetCapUIntValue(Pool(), CCAP_OVKM_CUSTOM_SCANAREA, 1);
    SetCapSIntValue(Pool(), CCAP_OVKM_PAPERSIZE, 77);
    StoreArea(QRectF(9000, 0, 3000, 3000));
    Dialog();
    const QSizeF physical(kPhysicalWidth, Float(ICAP_PHYSICALHEIGHT));
    EXPECT_EQ(Frame()->baseSize(), physical);
    EXPECT_EQ(Frame()->cropRect(), QRectF(QPointF(0, 0), physical));
}

TEST_F(QSUIAreaSelectionTest, TypingNotYetAppliedIsCommittedBeforeAScanAndBeforeAClose) {
    Dialog();
    QLineEdit* width = Field(Controller::kScanWidthFieldTag);
    width->selectAll();
    QTest::keyClicks(width, "2.5");
    EXPECT_NE(Float(CCAP_OVKM_SCANAREA_WIDTH), 3000); // waiting for the typing to pause
    mController->performScan();
    EXPECT_EQ(Float(CCAP_OVKM_SCANAREA_WIDTH), 3000);

    Dialog();
    mController->showMainWindow();
    QLineEdit* height = Field(Controller::kScanHeightFieldTag);
    height->selectAll();
    QTest::keyClicks(height, "4");
    Window()->close();
    EXPECT_EQ(Float(CCAP_OVKM_SCANAREA_HEIGHT), 4800);
}

TEST_F(QSUIAreaSelectionTest, TypingTheShownValueOnlyReformatsItAndTheFrameKeepsTheMinimum) {
    Dialog();
    QLineEdit* width = Field(Controller::kScanWidthFieldTag);
    const QRectF before = Frame()->cropRect();
    const QString shown = width->text();
    width->setText(shown + "0"); // "8.510" for "8.51"
    emit width->editingFinished();
    EXPECT_EQ(width->text(), shown);
    EXPECT_EQ(Frame()->cropRect(), before);
    width->setText("0");
    emit width->editingFinished();
    EXPECT_EQ(Frame()->cropRect().width(), 1200 * 64 / Float(ICAP_XRESOLUTION));
}

TEST_F(QSUIAreaSelectionTest, DeskewGreysTheBoxFreezesTheCropAndTheStoreTakesTheWholePage) {
    SetCapUIntValue(Pool(), CCAP_OVK_DESKEW, 1);
    SetCapUIntValue(Pool(), CCAP_OVKM_CUSTOM_SCANAREA, 1);
    StoreArea(QRectF(0, 0, 2400, 2400));
    Dialog();
    EXPECT_FALSE(Box(Controller::kCustomScanAreaTag)->isEnabled());
    EXPECT_FALSE(Frame()->isMouseTrackerEnabled());
    EXPECT_EQ(StoredArea(), QRectF(QPointF(0, 0), Frame()->baseSize()));
}

TEST_F(QSUIAreaSelectionTest, ThePreviewAreaWidensTheWindowOnceAndStaysOnTheScreen) {
    Dialog();
    Box(Controller::kCustomScanAreaTag)->click(); // off: no preview area
    ASSERT_FALSE(mController->isPreviewAreaShown());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // Near the screen's right edge, with room left for its frame.
    Window()->move(screen.right() + 1 - Window()->width() - 40, screen.top() + 40);
    const QRect narrow = Window()->geometry();
    // Without the preview only the height can change.
    EXPECT_EQ(Window()->minimumWidth(), narrow.width());
    EXPECT_EQ(Window()->maximumWidth(), narrow.width());
    Box(Controller::kCustomScanAreaTag)->click();
    ASSERT_TRUE(mController->isPreviewAreaShown());
    const QRect wide = Window()->geometry();
    EXPECT_EQ(Window()->maximumWidth(), QWIDGETSIZE_MAX);
    EXPECT_LT(Window()->minimumWidth(), wide.width());
    EXPECT_GT(wide.width(), narrow.width());
    EXPECT_EQ(wide.right(), narrow.right()); // grown to the left
    EXPECT_TRUE(screen.contains(wide));
    Box(Controller::kPrescanCheckBoxTag)->click(); // shown already: no second widening
    EXPECT_EQ(Window()->geometry(), wide);

    Box(Controller::kPrescanCheckBoxTag)->click();
    Box(Controller::kCustomScanAreaTag)->click();
    EXPECT_EQ(Window()->geometry(), narrow);
    // Never shorter than its contents need, with or without the preview.
    Window()->resize(narrow.width(), 50);
    EXPECT_GE(Window()->height(), Window()->layout()->totalMinimumSize().height());
    Window()->setGeometry(narrow);
    // At the screen's left edge there is no room to the left: the widened window is moved onto it.
    Window()->move(screen.topLeft());
    Box(Controller::kCustomScanAreaTag)->click();
    EXPECT_GT(Window()->width(), narrow.width());
    EXPECT_TRUE(screen.contains(Window()->geometry()));
}

TEST_F(QSUIAreaSelectionTest, AKeptPageOfUnknownResolutionShowsItsSizeWithoutDividingByZero) {
    Dialog();
    mController->setScanImage(GreyPage(800, 1000), 0, false);
    EXPECT_EQ(Frame()->baseSize(), QSizeF(800, 1000));
    EXPECT_FALSE(Frame()->isMouseTrackerEnabled());
    for (const int tag : {Controller::kScanWidthFieldTag, Controller::kScanHeightFieldTag}) {
        bool ok = false;
        const double shown = Field(tag)->text().toDouble(&ok);
        EXPECT_TRUE(ok && std::isfinite(shown)) << Field(tag)->text().toStdString();
    }
    EXPECT_FALSE(Box(Controller::kCustomScanAreaTag)->isEnabled());
    EXPECT_EQ(appkit::viewWithTag<QAbstractButton>(Window(), Controller::kAdvancedScanButtonTag)->text(),
              "Continue Scan");
}

TEST_F(QSUIAreaSelectionTest, PrescanWithColourDetectionIsAskedFirstAndCancelChangesNothing) {
    SetCapSIntValue(Pool(), CCAP_OVK_DETECTPAGETYPE, 1);
    Dialog();
    QTimer::singleShot(100, [] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* alert = qobject_cast<QMessageBox*>(window); alert && alert->isVisible())
                alert->defaultButton()->click(); // Return answers Cancel
    });
    Box(Controller::kPrescanCheckBoxTag)->click();
    EXPECT_FALSE(Box(Controller::kPrescanCheckBoxTag)->isChecked());
    EXPECT_EQ(GetCapUIntValue(Pool(), CCAP_OVK_PRESCAN), 0u);
}

// Records the sizes a widget passes through.
class SizeRecorder : public QObject {
public:
    explicit SizeRecorder(QWidget* widget) { widget->installEventFilter(this); }
    std::vector<QSize> sizes;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            sizes.push_back(static_cast<QWidget*>(watched)->size());
        return false;
    }
};

// Animation time that moves one frame per tick of the event loop instead of with the clock, so that a
// slide shows its frames between start and end however late a loaded machine runs the loop.
class FrameClock : public QAnimationDriver {
public:
    FrameClock() { install(); }
    qint64 elapsed() const override { return mFrames * kFrameMs; }

protected:
    void start() override {
        mTimer.start(0, this);
        QAnimationDriver::start();
    }
    void stop() override {
        mTimer.stop();
        QAnimationDriver::stop();
    }
    void timerEvent(QTimerEvent*) override {
        ++mFrames;
        advance();
    }

private:
    static constexpr qint64 kFrameMs = 16;
    qint64 mFrames = 0;
    QBasicTimer mTimer;
};

bool PassedBetween(const std::vector<QSize>& sizes, int from, int to, int (QSize::*side)() const) {
    return std::any_of(sizes.begin(), sizes.end(), [&](QSize size) {
        const int value = (size.*side)();
        return value > std::min(from, to) && value < std::max(from, to);
    });
}

// On screen the preview area comes in by widening the window, and the size fields slide in under the
// preview and out again; each has ended when the click returns.
TEST_F(QSUIAreaSelectionTest, ThePreviewAreaAndTheSizeFieldsSlideInAndOut) {
    const FrameClock clock;
    Dialog();
    Box(Controller::kCustomScanAreaTag)->click(); // off: no preview area
    Window()->show();
    QWidget* fields = Window()->findChild<QWidget*>(QStringLiteral("scanAreaSettingView"));
    ASSERT_NE(fields, nullptr);
    const int narrow = Window()->width();
    SizeRecorder window(Window());
    Box(Controller::kPrescanCheckBoxTag)->click();
    ASSERT_TRUE(mController->isPreviewAreaShown());
    EXPECT_TRUE(PassedBetween(window.sizes, narrow, Window()->width(), &QSize::width));
    EXPECT_TRUE(fields->isHidden());

    SizeRecorder slide(fields);
    Box(Controller::kCustomScanAreaTag)->click();
    ASSERT_TRUE(fields->isVisible());
    const int full = fields->height();
    EXPECT_GT(full, 0);
    EXPECT_TRUE(PassedBetween(slide.sizes, 0, full, &QSize::height));
    slide.sizes.clear();
    Box(Controller::kCustomScanAreaTag)->click();
    EXPECT_TRUE(fields->isHidden());
    EXPECT_TRUE(PassedBetween(slide.sizes, full, 0, &QSize::height));
}

// The simple mode has its own prescan box: it shows the preview area, and after the kept page its own
// button goes on with the rest of the batch.
TEST_F(QSUIAreaSelectionTest, TheSimpleModesPrescanBoxShowsThePreviewAndItsButtonContinues) {
    SetCapUIntValue(Pool(), CCAP_OVK_PRESCAN, 0);
    mController = std::make_unique<Controller>();
    mController->setupMainUIWithParam(fnd::Dictionary{{kUIParamCapabilityPool, fnd::Value::pointer(Pool())}},
                                      1);
    ASSERT_TRUE(mController->isSimpleMode());
    Window()->show();
    QCheckBox* prescan = Box(Controller::kPrescanCheckBoxTag);
    ASSERT_NE(prescan, nullptr);
    EXPECT_FALSE(mController->isPreviewAreaShown());
    auto* next = appkit::viewWithTag<QAbstractButton>(mController->currentView(), 611);
    ASSERT_NE(next, nullptr);
    EXPECT_FALSE(next->isVisible());
    prescan->click();
    EXPECT_EQ(GetCapUIntValue(Pool(), CCAP_OVK_PRESCAN), 1u);
    EXPECT_TRUE(mController->isPreviewAreaShown());
    ASSERT_TRUE(next->isVisible());
    EXPECT_FALSE(next->isEnabled());

    mController->setScanImage(GreyPage(800, 1000), 150, false);
    EXPECT_TRUE(next->isEnabled());
    EXPECT_FALSE(prescan->isEnabled());
    std::optional<std::uint32_t> mode;
    fnd::NotificationCenter::defaultCenter().addObserver(
        this, "XferReadyNotification", [&mode](const fnd::Notification& n) {
            mode = n.object.asDictionary()->get("scanModeParam.xferReady.qsds").asUInt32();
        });
    next->click();
    fnd::NotificationCenter::defaultCenter().removeObserver(this);
    EXPECT_EQ(mode, std::optional<std::uint32_t>{4}) << "the kept page and then the rest";
}

TEST_F(QSUIAreaSelectionTest, Screenshots) {
    const char* names[] = {"ds-scan-area-pixels", "ds-scan-area-inches", "ds-scan-area-millimetres"};
    for (std::uint32_t unit = 0; unit < 3; ++unit) {
        SetCapUIntValue(Pool(), CCAP_OVKM_UNIT, unit);
        Dialog();
        // At its natural size: the offscreen screen of a 200 % run is smaller than the dialog.
        Window()->resize(Window()->sizeHint());
        Window()->show();
        QTest::qWait(20);
        saveScreenshots(Window(), names[unit]);
    }
    // The data source answers a positioning prescan with the page, before the post returns.
    fnd::NotificationCenter::defaultCenter().addObserver(
        this, "XferReadyNotification",
        [this](const fnd::Notification&) { mController->setScanImage(GreyPage(1275, 2100), 150, true); });
    appkit::viewWithTag<QAbstractButton>(Window(), Controller::kPrescanButtonTag)->click();
    fnd::NotificationCenter::defaultCenter().removeObserver(this);
    Frame()->setCropRect(QRectF(1200, 1800, 6000, 4800));
    Window()->resize(Window()->sizeHint());
    QTest::qWait(20);
    saveScreenshots(Window(), "ds-preview-area-page");
    appkit::viewWithTag<QAbstractButton>(Window(), Controller::kZoomInTag)->click();
    Window()->resize(Window()->sizeHint());
    QTest::qWait(20);
    saveScreenshots(Window(), "ds-preview-area-zoomed");
}

} // namespace
