// What the main controller needs of the main window and the program around it: refreshing the window
// for a state, the panels that are open, the finish control, messages, and the delayed steps that
// run on the main loop. The window implements it; tests stand in for it. Main thread only.
#pragma once

#include <string>
#include <vector>

class QObject;
class QWidget;

namespace tlv {

class TlvMainView {
public:
    virtual ~TlvMainView() = default;
    // The screen and the step bar for the state.
    virtual void updateUIByAppState(int state) = 0;
    // The top screen of the mode (0 scan first, 1 job).
    virtual void showTopScreen(int mode) = 0;
    // A panel of the application is open (preferences, scan settings, the job-list editor, options).
    virtual bool isModalWindow() const = 0;
    // The finish control (tag 1206) that sends a batch on; null when the window has none.
    virtual QObject* finishScanSender() = 0;
    virtual QWidget* window() = 0;
    // The critical panel "Error" / key (its %1, %2, ... filled with args) / "OK", shown after the current
    // event has returned.
    virtual void showErrorPanelLater(const std::string& key, const std::vector<std::string>& args) = 0;
    // The page counter of the scanning screen.
    virtual void updateScanNum(int pages) = 0;
    // The scan buttons of the window follow the scanner's state.
    virtual void updateScnBtn(bool enabled) = 0;
    virtual void setConfirmOutputBox(bool on) = 0;
    // Brings the main window (or the About panel) to the front.
    virtual void activateMainWindow() = 0;
    virtual void showAbout() = 0;
    // Shows the output-function view (owned by the controller) for checking the output of function
    // type funcType; the window shows it while the state is 202.
    virtual void showFunctionView(QWidget* view, int funcType) = 0;
    // Ends the application through its normal quit path.
    virtual void terminate() = 0;
};

} // namespace tlv
