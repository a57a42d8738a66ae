// Switching the dialog between the simple and the advanced setting mode: asked first, a refusal
// changing nothing, "do not ask again" remembered; and a picture of the question.
#include "CapHelpers.h"
#include "QSDataSource.h"
#include "QSUIController.h"
#include "QSUIPreferences.h"
#include "QtTestApp.h"
#include "Tags.h"

#include <QAbstractButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;
constexpr int kCancelTag = 0;
constexpr int kGoAheadTag = 1;
constexpr int kDontAskAgainTag = 1001;

class QSUISettingModeTest : public test::QSDataSourceTest, public WithTestApplication {
protected:
    void SetUp() override {
        Open();
        mController = std::make_unique<Controller>();
        ASSERT_TRUE(mController->hasWindow());
        mController->setupMainUIWithParam(
            fnd::Dictionary{{kUIParamCapabilityPool, fnd::Value::pointer(mDS->GetCapPool())}}, 1);
        mController->showMainWindow();
        mTab = appkit::viewWithTag<QTabWidget>(mController->window(), Controller::kSettingModeTabTag);
        ASSERT_NE(mTab, nullptr);
        mTab->setCurrentIndex(0);
    }
    void TearDown() override { mController.reset(); }
    // Answers each question with the button of that tag (ticking "do not ask again" first when told),
    // counting the questions; a picture of the first.
    void Answer(int tag, bool dontAskAgain = false) {
        mAnswerer.setInterval(20);
        QObject::connect(&mAnswerer, &QTimer::timeout, [this, tag, dontAskAgain] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->objectName() != "ResetSettingsAlert" || !window->isVisible())
                    continue;
                if (mQuestions++ == 0) {
                    window->adjustSize();
                    QTest::qWait(20);
                    const std::string scale = qApp->devicePixelRatio() > 1.0 ? "@2x" : "";
                    EXPECT_TRUE(saveScreenshot(window, "ds-reset-settings-question" + scale));
                }
                if (dontAskAgain)
                    appkit::viewWithTag<QAbstractButton>(window, kDontAskAgainTag)->setChecked(true);
                appkit::viewWithTag<QAbstractButton>(window, tag)->click();
            }
        });
        mAnswerer.start();
    }
    float Brightness() { return GetCapFloatValue(mDS->GetCapPool(), ICAP_BRIGHTNESS); }

    std::unique_ptr<Controller> mController;
    QTabWidget* mTab = nullptr;
    QTimer mAnswerer;
    int mQuestions = 0;
};

TEST_F(QSUISettingModeTest, ARefusedSwitchKeepsTheModeAndEverySetting) {
    SetCapFloatValue(mDS->GetCapPool(), ICAP_BRIGHTNESS, 40.0f);
    Answer(kCancelTag);
    mTab->setCurrentIndex(1);
    EXPECT_EQ(mQuestions, 1);
    EXPECT_EQ(mTab->currentIndex(), 0);
    EXPECT_EQ(Brightness(), 40.0f);
}

TEST_F(QSUISettingModeTest, AnAcceptedSwitchResetsTheSettingsAndDoNotAskAgainIsKept) {
    const float initial = Brightness();
    SetCapFloatValue(mDS->GetCapPool(), ICAP_BRIGHTNESS, initial + 40.0f);
    Answer(kGoAheadTag, true);
    mTab->setCurrentIndex(1);
    EXPECT_EQ(mQuestions, 1);
    EXPECT_EQ(mTab->currentIndex(), 1);
    EXPECT_EQ(Brightness(), initial);
    EXPECT_EQ(fnd::PreferencesFile(mEnv.PreferencesPath()).get(kPrefResetMessageNotDisplayed).asBool(), true);
    // Not asked again: back to the simple mode at once, settings reset again.
    SetCapFloatValue(mDS->GetCapPool(), ICAP_BRIGHTNESS, initial + 40.0f);
    mTab->setCurrentIndex(0);
    EXPECT_EQ(mQuestions, 1);
    EXPECT_EQ(mTab->currentIndex(), 0);
    EXPECT_EQ(Brightness(), initial);
}

} // namespace
