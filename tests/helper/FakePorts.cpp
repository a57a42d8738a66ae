#include "FakePorts.h"

#include "EventNames.h"

#include <utility>

namespace tapwell::test {

std::string describe(const ae::Event& event) {
    const ae::Parameters& p = event.parameters;
    const std::string id = event.eventId.toStdString();
    if (id == ae::kConnect) {
        const auto parm = p.find(ae::kParam);
        const std::string width = parm && parm->width == ae::Width::Int16 ? "" : "!";
        return id + "(" + width + std::to_string(p.int32(ae::kParam)) + "," +
               std::to_string(p.int32(ae::kParamStatus)) + "," + std::to_string(p.int32(ae::kParamLaunched)) +
               ")";
    }
    if (p.find(ae::kParam))
        return id + "(" + std::to_string(p.int32(ae::kParam)) + ")";
    return id;
}

TapwellPorts fakePorts(Recorded& r) {
    TapwellPorts ports;
    ports.readButton = [&r](std::uint32_t& status) {
        ++r.readCount;
        const Read read = r.reads.empty() ? Read{} : r.reads.front();
        if (r.reads.size() > 1)
            r.reads.pop_front();
        status = read.status;
        return read.result;
    };
    ports.hasMainApp = [&r] { return r.hasMainApp; };
    ports.isMainAppRunning = [&r] { return r.running; };
    ports.openMainApp = [&r] {
        ++r.opens;
        return r.openSucceeds;
    };
    ports.keepPress = [&r](std::uint32_t status) { r.keptPress = status; };
    ports.takeKeptPress = [&r] { return std::exchange(r.keptPress, 0u); };
    ports.transConnectInfo = [&r](std::int16_t result, std::uint32_t status, std::uint32_t launched) {
        r.events.push_back("Cnct(" + std::to_string(result) + "," + std::to_string(status) + "," +
                           std::to_string(launched) + ")");
    };
    ports.transAppDataCheck = [&r] { r.events.emplace_back("Data"); };
    ports.transOutputCheckInfo = [&r](bool confirm) { r.events.push_back(confirm ? "OpCk(1)" : "OpCk(0)"); };
    ports.transAppActiveWindowInfo = [&r] { r.events.emplace_back("actW"); };
    ports.transVersionPanelInfo = [&r] { r.events.emplace_back("verI"); };
    ports.transScanInfo = [&r](std::int32_t job) { r.events.push_back("Scan(" + std::to_string(job) + ")"); };
    ports.transCloseAppInfo = [&r] { r.events.emplace_back("quit"); };
    ports.readAppSetting = [&r] { return r.setting; };
    ports.loginEntry = [&r](bool add) { r.loginEntries.push_back(add); };
    ports.removeJunkLoginItems = [&r] { ++r.junkRemovals; };
    ports.showAlert = [&r](const char* key) { r.alerts.emplace_back(key); };
    ports.setStatusImage = [&r](bool connected) { r.connectedImage = connected; };
    ports.showAbout = [&r] { r.events.emplace_back("about"); };
    ports.orderOutAbout = [&r] { ++r.aboutOrderedOut; };
    ports.hasImageViewer = [] { return false; };
    ports.buttonOneScansFirst = [&r] { return r.buttonOneScansFirst; };
    ports.quit = [&r] { ++r.quits; };
    return ports;
}

} // namespace tapwell::test
