// What the main controller asks of the main window and the program around it: the top screen, the
// panels that are open, the finish control, and the steps the helper's events ask for (the window
// follows the state, the page counter and the failures through the controller's signals). The window
// implements it; tests stand in for it. Main thread only.
#pragma once

#include <string>
#include <vector>

class QObject;
class QWidget;

namespace tlv {

class TlvMainView {
public:
    virtual ~TlvMainView() = default;
    // The top screen of the mode (0 scan first, 1 job).
    virtual void showTopScreen(int mode) = 0;
    // A panel of the application is open (preferences, scan settings, the job-list editor, options).
    virtual bool isModalWindow() const = 0;
    // The finish control (tag 1206) that sends a batch on; null when the window has none.
    virtual QObject* finishScanSender() = 0;
    virtual QWidget* window() = 0;
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
