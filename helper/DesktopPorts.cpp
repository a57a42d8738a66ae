// Launching goes through the .desktop file's Exec line as an argument vector (never a shell); an
// uninstalled build without one starts the alias's target directly.
#include "DesktopPorts.h"

#include "StatusMenu.h"
#include "Tapwell_Utility.h"

#include "Alert.h"
#include "Applications.h"
#include "Bundle.h"
#include "Images.h"
#include "Launcher.h"
#include "Strings.h"

#include <QApplication>

namespace tapwell {
namespace fs = std::filesystem;

bool openMainApp() {
    const std::string desktopId = Tapwell_Utility::mainAppIdentifier() + ".desktop";
    if (const auto file = ws::findDesktopFile(desktopId))
        if (const auto entry = ws::DesktopEntry::load(*file))
            return ws::launch(*entry);
    const auto path = Tapwell_Utility::getMainAppPath();
    return path && ws::launchProgram(*path);
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

// The About panel describes the main application: its name, version and copyright; without one it
// names the helper instead of standing empty.
void showAbout() {
    const auto path = Tapwell_Utility::getMainAppPath();
    const fnd::Bundle main(path ? *path : fs::path());
    const auto text = [&main](const char* key) {
        const std::string* value = main.infoValue(key).asString();
        return value ? QString::fromStdString(*value) : QString();
    };
    const QString version = text("VXVersion"), shortVersion = text("CFBundleShortVersionString");
    appkit::Alert alert;
    alert.setAlertStyle(appkit::Alert::Style::Informational);
    alert.setIcon(appkit::bundleIcon("AppIcon"));
    const QString name = text("CFBundleName");
    alert.setMessageText(name.isEmpty() ? QString::fromStdString(Tapwell_Utility::infoString("CFBundleName"))
                                        : name);
    const QString versionLine =
        version.isEmpty() || shortVersion.isEmpty() ? QString() : version + shortVersion;
    alert.setInformativeText(versionLine + "\n" + text("NSHumanReadableCopyright"));
    alert.addButton(appkit::localized("OK"));
    alert.runModal();
}

TapwellPorts desktopPorts(const TapwellAppleEvent& events, const ws::LoginItems& loginItems,
                          StatusMenu& menu) {
    TapwellPorts ports;
    ports.readButton = [](std::uint32_t& status) {
        std::uint32_t location = 0;
        return Tapwell_Utility::dsButtonStatusCheck(&status, &location);
    };
    ports.hasMainApp = [] { return Tapwell_Utility::getMainAppPath().has_value(); };
    ports.isMainAppRunning = [&events] { return events.isTargetRunning(); };
    ports.openMainApp = &openMainApp;
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
    ports.loginEntry = [&loginItems](bool add) {
        if (add)
            loginItems.add(fnd::Bundle::main().binaryPath(), "Tapwell");
        else
            loginItems.remove();
    };
    ports.removeJunkLoginItems = [&loginItems] { loginItems.removeStrays(); };
    ports.showAlert = &showAlert;
    ports.setStatusImage = [&menu](bool connected) { menu.setConnected(connected); };
    ports.showAbout = &showAbout;
    ports.quit = [] { QApplication::quit(); };
    return ports;
}

} // namespace tapwell
