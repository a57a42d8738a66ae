// The panel is asked for from a zero-delay timer on this object, so a failure inside a bus dispatch or
// on a worker thread never opens a window there, and none is left queued once this object is gone.
#include "TlvSettingsWriteAlert.h"

#include "PreferencesFile.h"
#include "TlvCntlrNotifier.h"
#include "UserDefaults.h"

#include <QTimer>

#include <cstdio>

namespace tlv {

TlvSettingsWriteAlert::TlvSettingsWriteAlert(fnd::UserDefaults& defaults, TlvCntlrNotifier& notifier)
    : mDefaults(defaults), mNotifier(notifier) {
    mDefaults.setWriteFailureHandler([this](const std::string& why) { writeFailed(why); });
    fnd::PreferencesFile::setSetAsideHandler(
        [this](const std::filesystem::path& file, const std::filesystem::path& aside) {
            setAside(file, aside);
        });
}

TlvSettingsWriteAlert::~TlvSettingsWriteAlert() {
    fnd::PreferencesFile::setSetAsideHandler(nullptr);
    mDefaults.setWriteFailureHandler(nullptr);
}

void TlvSettingsWriteAlert::writeFailed(const std::string& why) {
    if (mTold.exchange(true))
        return;
    std::fprintf(stderr, "tollivar: the settings could not be saved: %s\n", why.c_str());
    QTimer::singleShot(0, this, [this] { emit mNotifier.failureRaised(kMessageKey, {}); });
}

void TlvSettingsWriteAlert::setAside(const std::filesystem::path& file, const std::filesystem::path& aside) {
    const QStringList args{QString::fromStdString(file.string()), QString::fromStdString(aside.string())};
    QTimer::singleShot(0, this, [this, args] { emit mNotifier.failureRaised(kSetAsideKey, args); });
}

} // namespace tlv
