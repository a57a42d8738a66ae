// The switch between the simple and the advanced setting mode: it puts every setting back to its
// default, so the user is asked first (unless told not to ask again), and a refused switch changes
// nothing, not even the tab shown.
#include "QSUIController.h"

#include "DataSourcePreferences.h"
#include "DialogItems.h"
#include "KeyViewLoop.h"
#include "PreferencesFile.h"
#include "QSUIPreferences.h"
#include "Tags.h"
#include "UiFiles.h"

#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

constexpr int kAlertIconTag = 1000;
constexpr int kDontAskAgainTag = 1001;
constexpr int kCancelTag = 0;
constexpr int kGoAheadTag = 1;
constexpr int kAlertIconSize = 64;

} // namespace

void ComOrvikElectronicsK3100QSUIController::connectSettingModeTab() {
    if (!mSettingModeTab)
        return;
    mSettingMode = mSettingModeTab->currentIndex();
    connect(mSettingModeTab, &QTabWidget::currentChanged, this,
            [this](int index) { settingModeSelected(index); });
}

void ComOrvikElectronicsK3100QSUIController::settingModeSelected(int index) {
    // Only the user can switch a shown dialog; the set-up chooses the mode before it shows.
    if (!mWindow || !mWindow->isVisible() || index == mSettingMode) {
        mSettingMode = index;
        return;
    }
    const QSignalBlocker quiet(mSettingModeTab);
    // The question stands over the mode the user is leaving.
    mSettingModeTab->setCurrentIndex(mSettingMode);
    if (runModalResetSettingsAlert() == 0)
        return;
    mSettingModeTab->setCurrentIndex(index);
    mSettingMode = index;
    settingModeDidChange();
}

void ComOrvikElectronicsK3100QSUIController::settingModeDidChange() {
    if (isSimpleMode())
        savePaletteState();
    orderOutPalettes();
    performReset();
    destroyPreviewImage();
    if (!isSimpleMode())
        restorePaletteState();
    RecalcKeyViewLoop(mWindow.get());
}

int ComOrvikElectronicsK3100QSUIController::runModalResetSettingsAlert() {
    if (fnd::PreferencesFile(DataSourcePreferencesPath())
            .get(kPrefResetMessageNotDisplayed)
            .asBool()
            .value_or(false))
        return kGoAheadTag;
    const std::unique_ptr<QWidget> alert =
        LoadResourceUiFile(QStringLiteral("ResetSettingsAlert"), {}, ResourcePeeker);
    auto* dialog = qobject_cast<QDialog*>(alert.get());
    auto* cancel = appkit::viewWithTag<QPushButton>(alert.get(), kCancelTag);
    auto* goAhead = appkit::viewWithTag<QPushButton>(alert.get(), kGoAheadTag);
    // Without its question the switch would reset the settings unasked.
    if (!dialog || !cancel || !goAhead)
        return kCancelTag;
    if (auto* icon = appkit::viewWithTag<QLabel>(alert.get(), kAlertIconTag))
        icon->setPixmap(createAlertIcon(QSize(kAlertIconSize, kAlertIconSize), true));
    QEventLoop loop;
    QObject::connect(goAhead, &QPushButton::clicked, &loop, [&loop] { loop.exit(kGoAheadTag); });
    QObject::connect(cancel, &QPushButton::clicked, &loop, [&loop] { loop.exit(kCancelTag); });
    QObject::connect(dialog, &QDialog::rejected, &loop, [&loop] { loop.exit(kCancelTag); });
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    const int answer = loop.exec();
    dialog->hide();
    if (answer != kGoAheadTag)
        return answer;
    if (GetItemIntValue(alert.get(), kDontAskAgainTag) == 1) {
        fnd::PreferencesFile preferences(DataSourcePreferencesPath());
        preferences.set(kPrefResetMessageNotDisplayed, true);
        preferences.save();
    }
    return kGoAheadTag;
}
