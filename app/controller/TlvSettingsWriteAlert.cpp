// The panel is asked for from a zero-delay timer on this object, so a failure inside a bus dispatch or
// on a worker thread never opens a window there, and none is left queued once this object is gone.
#include "TlvSettingsWriteAlert.h"

#include "TlvCntlrNotifier.h"
#include "UserDefaults.h"

#include <QTimer>

#include <cstdio>

namespace tlv {

TlvSettingsWriteAlert::TlvSettingsWriteAlert(fnd::UserDefaults& defaults, TlvCntlrNotifier& notifier)
    : mDefaults(defaults), mNotifier(notifier) {
    mDefaults.setWriteFailureHandler([this](const std::string& why) { writeFailed(why); });
}

TlvSettingsWriteAlert::~TlvSettingsWriteAlert() {
    mDefaults.setWriteFailureHandler(nullptr);
}

void TlvSettingsWriteAlert::writeFailed(const std::string& why) {
    if (mTold.exchange(true))
        return;
    std::fprintf(stderr, "tollivar: the settings could not be saved: %s\n", why.c_str());
    QTimer::singleShot(0, this, [this] { emit mNotifier.failureRaised(kMessageKey, {}); });
}

} // namespace tlv
