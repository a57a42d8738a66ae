// The helper's sending side of the event link: the six events of class thQS and the quit event, with
// their parameter keywords and integer widths, addressed to the application's bundle identifier.
// Events without an answer return at once; Data and verI wait for the application's handler (bounded).
// Without a target identifier nothing is ever sent. Main thread.
#pragma once

#include "EventSender.h"

#include <QString>

#include <cstdint>
#include <optional>

class TapwellAppleEvent {
public:
    // targetId: the application's bundle identifier; none when the application was not found.
    explicit TapwellAppleEvent(std::optional<QString> targetId);

    bool isTargetRunning() const;
    // Poll result (0, -1, -2, -3) as a 16-bit value, the button status, 1 when the application was
    // already running.
    void transConnectInfo(std::int16_t result, std::uint32_t btnStatus, std::uint32_t appStatus) const;
    // Asks the application to write its settings record; its answer Rtrn (1 written, 0 not), or none
    // when it did not answer.
    std::optional<std::int32_t> transAppDataCheck() const;
    void transOutputCheckInfo(bool confirm) const;
    void transAppActiveWindowInfo() const;
    void transVersionPanelInfo() const;
    // -1 the scan-first job, 1..10 the jobs.
    void transScanInfo(std::int32_t jobNumber) const;
    void transCloseAppInfo() const;

private:
    void post(const char* eventClass, const char* id, const ae::Parameters& parameters = {}) const;

    std::optional<ae::EventSender> mTarget;
};
