// The one place where the application talks to the user in alerts: errors, yes/no questions and
// notices, built from string-table keys. One alert at a time: a request while one is up, or while
// messages are switched off, shows nothing and answers kRefused, which every asker must take as
// Cancel. Main thread only; worker threads pack a request (owned strings) and have it shown on the
// main thread with performShowPanelOnMainThread.
#pragma once

#include <QIcon>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace appkit {
class Alert;
}

class VX_Message {
public:
    VX_Message() = delete;

    // Answers of an alert.
    static constexpr int kFirstButton = 1;
    static constexpr int kSecondButton = 0;
    static constexpr int kThirdButton = -1;
    static constexpr int kRefused = -2; // nothing shown
    enum Style { kWarningStyle = 0, kInformationalStyle = 1, kCriticalStyle = 2 };

    // Keys are string-table keys; null leaves that part out (a null title shows " ", a null first
    // button gives the standard "OK"). Texts (msg) are shown literally.

    // The question form: the message is a key, style as above, and Return presses button
    // defBtnType (0 first; the first when there is one button, or two and defBtnType is 2).
    static int showPanelStyle(const char* title, const char* msgKey, const char* bt1, const char* bt2,
                              const char* bt3, int style, int defBtnType);
    // The standard question: "Confirm", the question's text, "OK" and "Cancel", Return on "Cancel".
    // True only when the user chose "OK"; Cancel, Escape and a refused question all answer false.
    static bool askQuestion(const char* questionKey);
    // The same with buttons named by what they do: doKey does what is asked, keepKey (Return, Escape)
    // leaves things as they are.
    static bool askQuestion(const char* questionKey, const char* doKey, const char* keepKey);
    // Critical when isCritical, informational otherwise.
    static int showPanelIsCritical(const char* title, const QString& msg, const char* bt1, const char* bt2,
                                   const char* bt3, bool isCritical);
    static int showPanelMsgKeyIsCritical(const char* title, const char* msgKey, const char* bt1,
                                         const char* bt2, bool isCritical);
    // Always critical. With a window, the alert stays above that window.
    static int showPanel(const char* title, const QString& msg, const char* bt1, const char* bt2,
                         const char* bt3 = nullptr, QWidget* win = nullptr);
    static int showPanelMsgKey(const char* title, const char* msgKey, const char* bt1, const char* bt2,
                               const char* bt3 = nullptr, QWidget* win = nullptr);

    // The text of a message: the key looked up, args filling its %1, %2, ... in order.
    static QString messageText(std::string_view key, const std::vector<std::string>& args = {});
    // An error alert for the failure named name (a string-table key): "Error", the text, "OK"; the
    // text's first paragraph also goes to the main window's status line. "NoErr_OnlyThrow" and empty names
    // show nothing; "Flg_MailSizeOver" shows no alert but the status text "Err_MailSizeOver". Answers true
    // only for an out-of-memory failure. args fill the text's %1, %2, ... in order.
    static bool showErrorPanel(std::string_view name, QWidget* win = nullptr,
                               const std::vector<std::string>& args = {});
    // The same for a caught exception: a VX_Exception by its name, std::bad_alloc as
    // "Err_MemFullError", anything else as "Err_UnknownError".
    static bool showErrorPanel(const std::exception_ptr& failure, QWidget* win = nullptr);

    // A request packed for another thread; the keys travel as owned strings.
    struct PanelRequest {
        std::optional<std::string> title, msgKey, bt1, bt2;
        bool isCritical = false;
    };
    static PanelRequest paramShowPanel(const char* title, const char* msgKey, const char* bt1,
                                       const char* bt2, bool isCritical);
    // Shows a packed request (showPanelMsgKeyIsCritical), dropping the answer. Main thread.
    static void performShowPanel(const PanelRequest& request);
    // From any thread: has the request shown on the main thread, queued there, never waiting.
    static void performShowPanelOnMainThread(PanelRequest request);

    static bool isDisplayedMessageNow();
    static void setDontMessageFlag(bool dontMessage);
    static bool dontMessageFlag();

    // The application's part: its icon for the alerts (default: the bundle's "AppIcon") and the
    // receiver of status texts (the main window's information field: two texts, the first empty).
    static void setAppIcon(const QIcon& icon);
    static void setStatusTextHandler(std::function<void(const QString&, const QString&)> handler);

    // The alert on screen now, or null (for tests and for closing it at shut-down).
    static appkit::Alert* currentPanel();
};
