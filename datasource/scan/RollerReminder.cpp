// The reminder to exchange the feed roller or the separation pad, checked once per session at the first
// enable: the scanner's service counters against the limits in the data source's preferences.
#include <array>

#include "COrvkQS.h"
#include "ClientApp.h"
#include "OrvkQSDS.h"

namespace {

constexpr std::int64_t kDefaultRollerLimit = 100000; // sheets
constexpr std::int64_t kDefaultPadLimit = 10000;     // sheets

// The error alerts in the order a translator checks their texts.
constexpr std::uint32_t kCheckedAlerts[] = {0x100,      0x40000, 0x50000, 0x30000,   0x20000, 0x60000,
                                            0x10000,    0x70000, 0xB0000, 0xC0000,   0xA0000, 0x80000,
                                            0x08000000, 0xF0000, 2,       0x80000001};

} // namespace

void COrvkQSDS::ShowRollerExchangeAlert() {
    if (!GetUIControllerFactory() || !mRollerCheckPending || mUIController)
        return;
    mRollerCheckPending = 0;
    const std::optional<fnd::Dictionary> preferences = GetDataSourcePreference();
    auto limit = [&](const char* key, std::int64_t fallback) {
        return preferences ? preferences->get(key).asInt64().value_or(fallback) : fallback;
    };
    std::array<char, 97> info{};
    std::array<std::uint32_t, 3> service{}; // total, roller, pad
    if (mScanner && mScanner->GetStatus("ScannerInfo", info.data()) == 0 &&
        mScanner->GetStatus("ServiceData", service.data()) == 0) {
        const CClientApp* client = CClientApp::Current();
        const bool backgroundOnly = client && client->IsBackgroundOnly();
        if (service[1] >= limit("ExchangeRollerCount", kDefaultRollerLimit))
            RunExchangeReminder(false, backgroundOnly);
        if (service[2] >= limit("ExchangePadCount", kDefaultPadLimit))
            RunExchangeReminder(true, backgroundOnly);
    }
    if (preferences && preferences->get("CheckErrorMessage").asBool().value_or(false))
        for (std::uint32_t code : kCheckedAlerts)
            ShowAlert(code);
}

void COrvkQSDS::RunExchangeReminder(bool pad, bool backgroundOnly) {
    // A controller of its own: no dialog exists yet, and this one lives only for the reminder.
    if (std::unique_ptr<CUIController> reminder = GetUIControllerFactory()()) {
        reminder->runModalRollerExchangeAlert(pad, backgroundOnly);
        reminder->cancelDelayedMessages();
    }
}
