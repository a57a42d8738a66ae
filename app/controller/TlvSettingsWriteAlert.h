// Tells the user, once per run and in the main window, that the settings could not be written (a
// read-only configuration folder, a full disk), since otherwise every change would be lost unseen
// at the next start. The reason goes to stderr with it. Made and destroyed on the main thread; the
// failure may be reported from any thread.
#pragma once

#include <QObject>

#include <atomic>
#include <string>

namespace fnd {
class UserDefaults;
}

namespace tlv {

class TlvCntlrNotifier;

class TlvSettingsWriteAlert : public QObject {
public:
    static constexpr const char* kMessageKey = "Err_SettingsNotSaved";

    // Watches the writes of defaults until destroyed and raises the failure through notifier (the
    // window shows it); both outlive this object.
    TlvSettingsWriteAlert(fnd::UserDefaults& defaults, TlvCntlrNotifier& notifier);
    ~TlvSettingsWriteAlert() override;
    TlvSettingsWriteAlert(const TlvSettingsWriteAlert&) = delete;
    TlvSettingsWriteAlert& operator=(const TlvSettingsWriteAlert&) = delete;

private:
    void writeFailed(const std::string& why);

    fnd::UserDefaults& mDefaults;
    TlvCntlrNotifier& mNotifier;
    std::atomic<bool> mTold{false};
};

} // namespace tlv
