// Three process-wide values guard the alerts: the one showing now (so a second request, for instance
// from a callback during the modal wait, is refused at once), the switch that refuses every request,
// and the window the showing alert stays above. Only the main thread touches them.
#include "VX_Message.h"

#include "VX_Exception.h"

#include "Alert.h"
#include "AlertKind.h"
#include "Images.h"
#include "RunLoop.h"
#include "Strings.h"

#include <QCoreApplication>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <new>

namespace {

QPointer<appkit::Alert> sShowingPanel;
bool sDontMessageFlag = false;
QPointer<QWidget> sTargetWindow;
QIcon sAppIcon;
std::function<void(const QString&, const QString&)> sStatusTextHandler;

constexpr const char* kOnlyThrow = "NoErr_OnlyThrow";
constexpr const char* kMailSizeOverFlag = "Flg_MailSizeOver";
constexpr const char* kMemFull = "Err_MemFullError";
constexpr const char* kUnknown = "Err_UnknownError";

QString textOf(const char* key) {
    return key ? appkit::localized(std::string_view(key)) : QStringLiteral(" ");
}

QIcon appIcon() {
    return sAppIcon.isNull() ? appkit::bundleIcon("AppIcon") : sAppIcon;
}

// The Return key goes to button defBtnType, but to the first when there is one button, or two
// buttons and defBtnType is 2.
int defaultIndex(int buttonCount, int defBtnType) {
    if (buttonCount == 1 || (buttonCount == 2 && defBtnType == 2))
        return 0;
    return defBtnType >= 0 && defBtnType < buttonCount ? defBtnType : 0;
}

// Shows one alert and answers 1, 0 or -1 for its first, second or third button; kRefused when
// another alert is up, messages are off or this is not the main thread. defBtnType < 0 keeps Return
// on the first button.
int runAlert(const char* title, const QString& msg, const std::array<const char*, 3>& keys, int style,
             int defBtnType) {
    if (sShowingPanel || sDontMessageFlag || !fnd::RunLoop::isMainThread())
        return VX_Message::kRefused;
    appkit::Alert alert;
    alert.setAboveWindow(sTargetWindow);
    sShowingPanel = &alert;
    alert.setObjectName("VX_Message.alert");
    alert.setInformativeText(msg);
    for (const char* key : keys)
        if (key)
            alert.addButton(textOf(key));
    if (alert.buttons().isEmpty())
        alert.addButton(textOf("OK"));
    // Titled and pictured by its kind, as the data source's dialog shows its alerts; a notice offers no
    // choice, so it is no "Confirm".
    const appkit::AlertKind kind = style == VX_Message::kCriticalStyle  ? appkit::AlertKind::Error
                                   : style == VX_Message::kWarningStyle ? appkit::AlertKind::Warning
                                   : alert.buttons().size() > 1         ? appkit::AlertKind::Question
                                                                        : appkit::AlertKind::Information;
    alert.setMessageText(
        textOf(kind == appkit::AlertKind::Information ? appkit::alertTitleKey(kind) : title));
    alert.setAlertStyle(static_cast<appkit::Alert::Style>(std::clamp(style, 0, 2)));
    alert.setIcon(appkit::alertIcon(kind), appIcon());
    if (defBtnType >= 0)
        alert.setDefaultButton(defaultIndex(static_cast<int>(alert.buttons().size()), defBtnType));
    const int index = alert.runModal();
    sShowingPanel = nullptr;
    return 1 - index; // button 0, 1, 2 -> 1, 0, -1
}

} // namespace

int VX_Message::showPanelStyle(const char* title, const char* msgKey, const char* bt1, const char* bt2,
                               const char* bt3, int style, int defBtnType) {
    return runAlert(title, textOf(msgKey), {bt1, bt2, bt3}, style, std::max(defBtnType, 0));
}

bool VX_Message::askQuestion(const char* questionKey) {
    return askQuestion(questionKey, "OK", "Cancel");
}

bool VX_Message::askQuestion(const char* questionKey, const char* doKey, const char* keepKey) {
    return showPanelStyle("Confirm", questionKey, doKey, keepKey, nullptr, kInformationalStyle, 1) ==
           kFirstButton;
}

int VX_Message::showPanelIsCritical(const char* title, const QString& msg, const char* bt1, const char* bt2,
                                    const char* bt3, bool isCritical) {
    return runAlert(title, msg, {bt1, bt2, bt3}, isCritical ? kCriticalStyle : kInformationalStyle, -1);
}

int VX_Message::showPanelMsgKeyIsCritical(const char* title, const char* msgKey, const char* bt1,
                                          const char* bt2, bool isCritical) {
    return showPanelIsCritical(title, textOf(msgKey), bt1, bt2, nullptr, isCritical);
}

int VX_Message::showPanel(const char* title, const QString& msg, const char* bt1, const char* bt2,
                          const char* bt3, QWidget* win) {
    // The alert stays above the given window for as long as it is up; the window itself is untouched.
    const QPointer<QWidget> previous = sTargetWindow;
    if (!sShowingPanel)
        sTargetWindow = win && win->isVisible() ? win->window() : nullptr;
    const int answer = runAlert(title, msg, {bt1, bt2, bt3}, kCriticalStyle, -1);
    sTargetWindow = previous;
    return answer;
}

int VX_Message::showPanelMsgKey(const char* title, const char* msgKey, const char* bt1, const char* bt2,
                                const char* bt3, QWidget* win) {
    return showPanel(title, textOf(msgKey), bt1, bt2, bt3, win);
}

QString VX_Message::messageText(std::string_view key, const std::vector<std::string>& args) {
    QString text = appkit::localized(key);
    for (const std::string& arg : args)
        text = text.arg(QString::fromStdString(arg));
    return text;
}

bool VX_Message::showErrorPanel(std::string_view name, QWidget* win, const std::vector<std::string>& args) {
    if (name.empty() || name == kOnlyThrow)
        return false;
    const bool outOfMemory = name == kMemFull;
    const bool mailSizeOver = name == kMailSizeOverFlag;
    const QString text = messageText(mailSizeOver ? std::string_view("Err_MailSizeOver") : name, args);
    if (text.isEmpty())
        return outOfMemory;
    if (!mailSizeOver)
        showPanel("Error", text, "OK", nullptr, nullptr, win);
    // The status line takes what happened, the first paragraph; the advice after it is the alert's.
    if (sStatusTextHandler)
        // At once on the main thread, queued there from another.
        QMetaObject::invokeMethod(
            qApp,
            [status = text.section(QStringLiteral("\n\n"), 0, 0)] {
                if (sStatusTextHandler)
                    sStatusTextHandler(QString(), status);
            },
            Qt::AutoConnection);
    return outOfMemory;
}

bool VX_Message::showErrorPanel(const std::exception_ptr& failure, QWidget* win) {
    if (!failure)
        return false;
    try {
        std::rethrow_exception(failure);
    } catch (const VX_Exception& named) {
        return showErrorPanel(named.name(), win);
    } catch (const std::bad_alloc&) {
        return showErrorPanel(kMemFull, win);
    } catch (...) {
        return showErrorPanel(kUnknown, win);
    }
}

VX_Message::PanelRequest VX_Message::paramShowPanel(const char* title, const char* msgKey, const char* bt1,
                                                    const char* bt2, bool isCritical) {
    const auto own = [](const char* key) { return key ? std::optional<std::string>(key) : std::nullopt; };
    return {own(title), own(msgKey), own(bt1), own(bt2), isCritical};
}

void VX_Message::performShowPanel(const PanelRequest& request) {
    const auto key = [](const std::optional<std::string>& k) { return k ? k->c_str() : nullptr; };
    showPanelMsgKeyIsCritical(key(request.title), key(request.msgKey), key(request.bt1), key(request.bt2),
                              request.isCritical);
}

void VX_Message::performShowPanelOnMainThread(PanelRequest request) {
    QMetaObject::invokeMethod(
        qApp, [request = std::move(request)] { performShowPanel(request); }, Qt::QueuedConnection);
}

bool VX_Message::isDisplayedMessageNow() {
    return sShowingPanel != nullptr;
}

void VX_Message::setDontMessageFlag(bool dontMessage) {
    sDontMessageFlag = dontMessage;
}

bool VX_Message::dontMessageFlag() {
    return sDontMessageFlag;
}

void VX_Message::setAppIcon(const QIcon& icon) {
    sAppIcon = icon;
}

void VX_Message::setStatusTextHandler(std::function<void(const QString&, const QString&)> handler) {
    sStatusTextHandler = std::move(handler);
}

appkit::Alert* VX_Message::currentPanel() {
    return sShowingPanel;
}
