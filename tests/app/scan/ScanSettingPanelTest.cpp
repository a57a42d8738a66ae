// The scan-settings panel offscreen, driven by tag: the enabling rules of the detailed-settings
// switch and of the paper direction, accept and cancel, and a picture of the panel.
#include <gtest/gtest.h>

#include "Images.h"
#include "QtTestApp.h"
#include "Strings.h"
#include "Tags.h"
#include "TestScanHost.h"
#include "TlvScanSettingCntlr.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {

using Cntlr = TlvScanSettingCntlr;

class ScanSettingPanel : public testing::Test, public WithTestApplication {
protected:
    void SetUp() override {
        cntlr = std::make_unique<Cntlr>(host, nullptr);
        cntlr->runModalScnSttng();
    }
    void TearDown() override {
        cntlr->closeScnSttng(Cntlr::kCancelButton);
        cntlr.reset();
    }
    template <typename T = QWidget> T* control(int tag) {
        T* found = appkit::viewWithTag<T>(cntlr->scnSttngWindow(), tag);
        EXPECT_NE(found, nullptr) << tag;
        return found;
    }
    void choosePaper(int index) {
        auto* paper = control<QComboBox>(Cntlr::kPaperSize);
        paper->setCurrentIndex(index);
        emit paper->activated(index);
    }
    void click(int tag) { control<QAbstractButton>(tag)->click(); }
    bool shows(int pictureTag, const char* image) {
        const QImage shown = control<QLabel>(pictureTag)->pixmap().toImage();
        return !shown.isNull() && shown == appkit::bundleIcon(image).pixmap(32, 32).toImage();
    }
    bool greyed(int labelTag) {
        const QColor disabled = QApplication::palette().color(QPalette::Disabled, QPalette::WindowText);
        return control(labelTag)->palette().color(QPalette::Active, QPalette::WindowText) == disabled;
    }

    test::TestScanHost host;
    std::unique_ptr<Cntlr> cntlr;
};

const int kSimpleControls[] = {Cntlr::kColorMode, Cntlr::kPaperSize, Cntlr::kResolution,
                               Cntlr::kSides,     Cntlr::kDeskew,    Cntlr::kRecCharDir};
const int kLabels[] = {Cntlr::kColorModeLabel, Cntlr::kPaperSizeLabel, Cntlr::kDirectionLabel,
                       Cntlr::kResolutionLabel, Cntlr::kSidesLabel};

} // namespace

TEST_F(ScanSettingPanel, OnlyPapersThatTurnOpenTheDirection) {
    for (int paper = 0; paper < 8; ++paper) {
        SCOPED_TRACE(paper);
        choosePaper(paper);
        const bool turnable = paper == 2 || paper == 3 || paper == 5; // A5, A6, B6
        EXPECT_EQ(control(Cntlr::kDirection)->isEnabled(), turnable);
        EXPECT_TRUE(shows(Cntlr::kDirectionPictureV, turnable ? "DRV_SIZE_V_E" : "DRV_SIZE_V_G"));
        EXPECT_TRUE(shows(Cntlr::kDirectionPictureH, turnable ? "DRV_SIZE_H_E" : "DRV_SIZE_H_G"));
    }
    EXPECT_EQ(host.settingChanges, 8);
}

TEST_F(ScanSettingPanel, TheDetailedSettingsSwitchDisablesTheSimpleOnesAndBack) {
    choosePaper(3); // A6: the direction is open
    click(Cntlr::kUseDriverSetting);
    for (const int tag : kSimpleControls)
        EXPECT_FALSE(control(tag)->isEnabled()) << tag;
    EXPECT_FALSE(control(Cntlr::kDirection)->isEnabled());
    for (const int tag : kLabels)
        EXPECT_TRUE(greyed(tag)) << tag;
    EXPECT_TRUE(control(Cntlr::kOpenDriverSetting)->isEnabled());
    EXPECT_EQ(control<QLabel>(Cntlr::kUseDriverSettingState)->text(),
              appkit::localized("ScanSetting_UseAdvStr_On"));
    EXPECT_TRUE(shows(Cntlr::kDirectionPictureV, "DRV_SIZE_V_G"));

    click(Cntlr::kUseDriverSetting);
    for (const int tag : kSimpleControls)
        EXPECT_TRUE(control(tag)->isEnabled()) << tag;
    EXPECT_TRUE(control(Cntlr::kDirection)->isEnabled());
    for (const int tag : kLabels)
        EXPECT_FALSE(greyed(tag)) << tag;
    EXPECT_FALSE(control(Cntlr::kOpenDriverSetting)->isEnabled());
    EXPECT_EQ(control<QLabel>(Cntlr::kUseDriverSettingState)->text(),
              appkit::localized("ScanSetting_UseAdvStr_Off"));
    EXPECT_EQ(host.settingChanges, 3);
}

TEST_F(ScanSettingPanel, AcceptWritesTheControlsIntoTheScanFirstJob) {
    host.scanSettings.setScnStColType(1);
    host.scanSettings.setScnStResType(1);
    cntlr->initScanSetting();
    control<QComboBox>(Cntlr::kColorMode)->setCurrentIndex(3);
    control<QComboBox>(Cntlr::kResolution)->setCurrentIndex(4);
    click(Cntlr::kRecCharDir);
    click(Cntlr::kAcceptButton);
    EXPECT_FALSE(cntlr->scnSttngWindow()->isVisible());
    EXPECT_EQ(host.scanSettings.scnStColType(), 3);
    EXPECT_EQ(host.scanSettings.scnStResType(), 4);
    EXPECT_TRUE(host.scanSettings.isRecCharDir());
}

TEST_F(ScanSettingPanel, CancelLeavesTheJobAsItWas) {
    const TlvScanSettingMdl before = host.scanSettings;
    control<QComboBox>(Cntlr::kColorMode)->setCurrentIndex(3);
    click(Cntlr::kDeskew);
    click(Cntlr::kCancelButton);
    EXPECT_FALSE(cntlr->scnSttngWindow()->isVisible());
    EXPECT_TRUE(host.scanSettings.scanMdlToDict() == before.scanMdlToDict());
}

TEST_F(ScanSettingPanel, ThePanelIsPictured) {
    host.scanSettings.setScnStPapSizeType(2);
    cntlr->initScanSetting();
    saveScreenshots(cntlr->scnSttngWindow(), "ScanSettingPanel");
    click(Cntlr::kUseDriverSetting);
    saveScreenshots(cntlr->scnSttngWindow(), "ScanSettingPanel-DetailedSettings");
}
