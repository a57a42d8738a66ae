// The helper's events to the application.
#include "TapwellAppleEvent.h"

#include "EventNames.h"

TapwellAppleEvent::TapwellAppleEvent(std::optional<QString> targetId) {
    if (targetId && !targetId->isEmpty())
        mTarget.emplace(*targetId);
}

bool TapwellAppleEvent::isTargetRunning() const {
    return mTarget && mTarget->isReceiverRunning();
}

void TapwellAppleEvent::post(const char* eventClass, const char* id, const ae::Parameters& parameters) const {
    if (mTarget)
        mTarget->post({eventClass, id, parameters}); // errors of sending are not acted on
}

void TapwellAppleEvent::transConnectInfo(std::int16_t result, std::uint32_t btnStatus,
                                         std::uint32_t appStatus) const {
    ae::Parameters parameters;
    parameters.setInt16(ae::kParam, result);
    parameters.setInt32(ae::kParamStatus, static_cast<std::int32_t>(btnStatus));
    parameters.setInt32(ae::kParamLaunched, static_cast<std::int32_t>(appStatus));
    post(ae::kClassQS, ae::kConnect, parameters);
}

std::optional<std::int32_t> TapwellAppleEvent::transAppDataCheck() const {
    if (!mTarget)
        return std::nullopt;
    const ae::Reply reply = mTarget->send({ae::kClassQS, ae::kAppData, {}});
    if (!reply.ok())
        return std::nullopt;
    return reply.parameters.int32(ae::kReturn);
}

void TapwellAppleEvent::transOutputCheckInfo(bool confirm) const {
    ae::Parameters parameters;
    parameters.setInt32(ae::kParam, confirm ? 1 : 0);
    post(ae::kClassQS, ae::kOutputCheck, parameters);
}

void TapwellAppleEvent::transAppActiveWindowInfo() const {
    ae::Parameters parameters;
    parameters.setInt32(ae::kParam, 1);
    post(ae::kClassQS, ae::kActivateWindow, parameters);
}

void TapwellAppleEvent::transVersionPanelInfo() const {
    if (!mTarget)
        return;
    ae::Parameters parameters;
    parameters.setInt32(ae::kParam, 1);
    mTarget->send({ae::kClassQS, ae::kVersionPanel, parameters}); // the answer is not read
}

void TapwellAppleEvent::transScanInfo(std::int32_t jobNumber) const {
    ae::Parameters parameters;
    parameters.setInt32(ae::kParam, jobNumber);
    post(ae::kClassQS, ae::kScan, parameters);
}

void TapwellAppleEvent::transCloseAppInfo() const {
    post(ae::kClassCore, ae::kQuit);
}
