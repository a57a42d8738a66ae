// Tells the user in the main window what writing the settings met: that they could not be written (a
// read-only configuration folder, a full disk), once per run, since otherwise every change would be lost
// unseen at the next start; and that a damaged settings file (the application's or the scanner's) was
// set aside and the defaults are used, once for each. The reasons go to stderr as well. Made and
// destroyed on the main thread; both may be reported from any thread.
#pragma once

#include <QObject>

#include <atomic>
#include <filesystem>
#include <string>

namespace fnd {
class UserDefaults;
}

namespace tlv {

class TlvCntlrNotifier;

class TlvSettingsWriteAlert : public QObject {
public:
    static constexpr const char* kMessageKey = "Err_SettingsNotSaved";
    static constexpr const char* kSetAsideKey = "Err_SettingsSetAside"; // %1 the file, %2 where it is kept

    // Watches the writes of defaults, and every settings file the process sets aside, until destroyed
    // and raises what it saw through notifier (the window shows it); both outlive this object.
    TlvSettingsWriteAlert(fnd::UserDefaults& defaults, TlvCntlrNotifier& notifier);
    ~TlvSettingsWriteAlert() override;
    TlvSettingsWriteAlert(const TlvSettingsWriteAlert&) = delete;
    TlvSettingsWriteAlert& operator=(const TlvSettingsWriteAlert&) = delete;

private:
    void writeFailed(const std::string& why);
    void setAside(const std::filesystem::path& file, const std::filesystem::path& aside);

    fnd::UserDefaults& mDefaults;
    TlvCntlrNotifier& mNotifier;
    std::atomic<bool> mTold{false};
};

} // namespace tlv
