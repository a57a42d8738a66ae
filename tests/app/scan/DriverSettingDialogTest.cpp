// The data source's detailed settings opened from the application: the dialog of K3100.ds, loaded by the
// source manager into this Qt program, in its settings-only form; its OK hands the settings back.
#include "EmulatorFixture.h"
#include "PropertyList.h"
#include "QtRunLoopDriver.h"
#include "QtTestApp.h"
#include "Tags.h"
#include "TestScanHost.h"
#include "TlvDeviceCntlr.h"

#include <QAbstractButton>
#include <QTest>

namespace {

constexpr int kOkButton = 3;
constexpr int kScanButton = 600;

fnd::Dictionary AppInfo() {
    const fnd::plist::FileContents file = fnd::plist::readFile(APP_INFO_PLIST);
    const fnd::Dictionary* info = file.value.asDictionary();
    return info ? *info : fnd::Dictionary{};
}

QWidget* DialogWindow() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == "OrvkQSUI" && window->isVisible())
            return window;
    return nullptr;
}

class DriverSettingDialog : public test::EmulatorFixture, public WithTestApplication {
protected:
    appkit::QtRunLoopDriver mDriver;
    test::TestScanHost mHost;
};

TEST_F(DriverSettingDialog, OkOfTheSettingsOnlyDialogSavesAndClosesTheSource) {
    ASSERT_TRUE(StartEmulator({}));
    mHost.scanSettings.setIsUseDriverSetting(true);
    TlvDeviceCntlr device(mHost, AppInfo());
    ASSERT_TRUE(device.openDS(&mHost.scanSettings, true));
    QWidget* dialog = DialogWindow();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(appkit::viewWithTag(dialog, kScanButton)->isVisible());
    auto* ok = appkit::viewWithTag<QAbstractButton>(dialog, kOkButton);
    ASSERT_NE(ok, nullptr);
    ok->click();
    // The application hears of the new settings once the source is closed.
    EXPECT_TRUE(QTest::qWaitFor([&] { return mHost.settingChanges == 1; }, 5000));
    EXPECT_EQ(device.curDSState(), kVXStateDSClosed);
    EXPECT_EQ(mHost.messages, std::vector<std::string>{});
    EXPECT_EQ(DialogWindow(), nullptr);
    EXPECT_TRUE(std::filesystem::exists(mDir / "com.orvikElectronics.k3100.plist"));
}

} // namespace
