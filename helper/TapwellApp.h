// The helper as a whole: its name on the session bus with the inbound Cnct, the controller on the
// desktop's ports, the status menu, the watch on the main application's bus name and the power
// events. The program runs one; end-to-end tests run one in their own process to choose from its menu.
#pragma once

#include "PowerEvents.h"
#include "StatusMenu.h"
#include "TapwellAppleEvent.h"
#include "TapwellCntlr.h"
#include "Tapwell_AboutWindow.h"

#include "EventReceiver.h"
#include "LoginItems.h"
#include "ProgramWatcher.h"

#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

namespace tapwell {

class TapwellApp {
public:
    TapwellApp();
    ~TapwellApp();
    TapwellApp(const TapwellApp&) = delete;
    TapwellApp& operator=(const TapwellApp&) = delete;

    // Takes the helper's bus name, then drains the button and starts polling; false (and nothing
    // started) when another helper of this session holds the name.
    bool start();
    // The shut-down of the controller (tells a running main application, keeps the login item).
    void applicationWillTerminate();

    StatusMenu& menu() { return *menu_; }
    TapwellCntlr& controller() { return *controller_; }

private:
    // How often the helper looks whether its session bus is still there (ms).
    static constexpr std::chrono::milliseconds kBusWatchInterval{1000};
    void watchTheBus();

    ae::EventReceiver receiver_;
    std::optional<TapwellAppleEvent> events_;
    std::optional<ws::LoginItems> loginItems_;
    std::unique_ptr<StatusMenu> menu_;
    std::unique_ptr<Tapwell_AboutWindow> about_;
    std::optional<TapwellCntlr> controller_;
    std::unique_ptr<ae::ProgramWatcher> watcher_;
    std::unique_ptr<PowerEvents> power_;
    QTimer busWatch_;
};

} // namespace tapwell
