// Launching goes through the .desktop file's Exec line as an argument vector (never a shell); an
// uninstalled build without one starts the alias's target directly.
#include "DesktopPorts.h"

#include "KeptPress.h"
#include "StatusMenu.h"
#include "Tapwell_AboutWindow.h"
#include "Tapwell_Utility.h"

#include "Alert.h"
#include "Applications.h"
#include "Bundle.h"
#include "Images.h"
#include "Launcher.h"
#include "Strings.h"

#include <QApplication>

namespace tapwell {

bool openMainApp() {
    const std::string desktopId = Tapwell_Utility::mainAppIdentifier() + ".desktop";
    return ws::launchApplication(desktopId,
                                 Tapwell_Utility::getMainAppPath().value_or(std::filesystem::path()));
}

void showAlert(const char* informativeKey) {
    appkit::Alert alert;
    alert.setAlertStyle(appkit::Alert::Style::Critical);
    alert.setMessageText(appkit::localized("Error"));
    alert.setIcon(appkit::bundleIcon("AppIcon"), appkit::bundleIcon("Caution"));
    const QString name = QString::fromStdString(Tapwell_Utility::mainAppName());
    alert.setInformativeText(appkit::localized(informativeKey).arg(name));
    alert.addButton(appkit::localized("OK"));
    alert.runModal();
}

TapwellPorts desktopPorts(const TapwellAppleEvent& events, const ws::LoginItems& loginItems, StatusMenu& menu,
                          Tapwell_AboutWindow& about, bool installed) {
    TapwellPorts ports;
    ports.readButton = [](std::uint32_t& status) {
        std::uint32_t location = 0;
        return Tapwell_Utility::dsButtonStatusCheck(&status, &location);
    };
    ports.hasMainApp = [] { return Tapwell_Utility::getMainAppPath().has_value(); };
    ports.isMainAppRunning = [&events] { return events.isTargetRunning(); };
    ports.openMainApp = &openMainApp;
    ports.keepPress = [](std::uint32_t status) { KeptPress::forSession().keep(status); };
    ports.takeKeptPress = [] {
        return KeptPress::forSession().take(
            std::chrono::duration_cast<std::chrono::seconds>(TapwellCntlr::kLaunchWait));
    };
    ports.transConnectInfo = [&events](std::int16_t result, std::uint32_t status, std::uint32_t launched) {
        events.transConnectInfo(result, status, launched);
    };
    ports.transAppDataCheck = [&events] { events.transAppDataCheck(); };
    ports.transOutputCheckInfo = [&events](bool confirm) { events.transOutputCheckInfo(confirm); };
    ports.transAppActiveWindowInfo = [&events] { events.transAppActiveWindowInfo(); };
    ports.transVersionPanelInfo = [&events] { events.transVersionPanelInfo(); };
    ports.transScanInfo = [&events](std::int32_t jobNumber) { events.transScanInfo(jobNumber); };
    ports.transCloseAppInfo = [&events] { events.transCloseAppInfo(); };
    ports.readAppSetting = [] { return readAppSetting(Tapwell_Utility::getPlistPath()); };
    ports.loginEntry = [&loginItems, installed](bool add) {
        if (!installed)
            return;
        if (add)
            loginItems.add(fnd::Bundle::main().binaryPath(), "Tapwell");
        else
            loginItems.remove();
    };
    ports.removeJunkLoginItems = [&loginItems, installed] {
        if (installed)
            loginItems.removeStrays();
    };
    ports.showAlert = &showAlert;
    ports.setStatusImage = [&menu](bool connected) { menu.setConnected(connected); };
    ports.showAbout = [&about] { about.openVersionPanel(); };
    ports.orderOutAbout = [&about] { about.hide(); };
    ports.hasImageViewer = [] {
        const std::optional<std::string> viewer = ws::defaultApplicationId("image/jpeg");
        return viewer && ws::findDesktopFile(*viewer);
    };
    ports.buttonOneScansFirst = [] { return readButtonOneScansFirst(Tapwell_Utility::getPlistPath()); };
    ports.quit = [] { QApplication::quit(); };
    return ports;
}

} // namespace tapwell
