// The main window: the base view with the mode buttons, the step bar and the preferences and help
// strip around the place holder that shows the screen of the state (TlvMainScreens). After every state
// change it brings the controls, status lines, animations, step bar and Tab order in line with the
// state; it forwards the user's actions to the controller and carries the menu bar with its enabling
// rules. Controls are found by tag; a tag the window lacks is skipped.
#pragma once

#include "Tags.h"
#include "TlvMainScreens.h"
#include "TlvMainView.h"
#include "TlvPreviewCntlr.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class AnimationStrip;
class TlvMainCntlr;
class QAction;
class QLabel;

namespace tlv {

class TlvAboutCntlr;
class TlvJobs;
class TlvPrefsCntlr;

class TlvMainWindow final : public QMainWindow, public TlvMainView {
public:
    // The menu commands whose enabling follows the state.
    enum class Command { Quit, Close, Prefs, About, Help };

    // quit runs the application's quit path; the controller outlives the window.
    TlvMainWindow(TlvMainCntlr& cntlr, std::function<void()> quit);
    ~TlvMainWindow() override;

    // The screen, status lines, animations and step bar for the controller's state.
    void updateUIByAppState(tlv::AppState state);
    void updateStepView();
    // The Tab order of the state, as the tags of the controls it walks through.
    void changeKeyView();
    std::vector<int> keyViewTags() const;
    // A failure message for the status lines of the scanning or finish screen.
    void setStateInfoStrForMainUI(const QString& message);
    // The page counter: the pages scanned so far, or the page list's count when pages is negative.
    void updateScanNum(int pages);
    // The check boxes from the application settings.
    void updateCntlrs();
    void resetSwButtonState(int mode);
    // The menu rule for command now.
    bool validateMenuItem(Command command) const;
    QAction* action(Command command) const;
    // Hooks for the scan-settings panel, which needs the scan session.
    void setScanSettingsOpener(std::function<void()> open) { mOpenScanSettings = std::move(open); }
    // Puts the job table and the three job information panes into their places; jobs outlives the window.
    void attachJobs(TlvJobs& jobs);
    TlvPrefsCntlr& prefsCntlr() { return *mPrefs; }
    TlvAboutCntlr& aboutCntlr() { return *mAbout; }
    TlvPreviewCntlr& previewCntlr() { return *mPreview; }

    // TlvMainView
    void showTopScreen(int mode) override;
    bool isModalWindow() const override;
    QObject* finishScanSender() override;
    QWidget* window() override { return this; }
    void updateScnBtn(bool enabled) override;
    void setConfirmOutputBox(bool on) override;
    void activateMainWindow() override;
    void showAbout() override;
    void terminate() override;
    // The user's quit (menu, window close): also from a batch whose pages wait, once the user agreed to
    // discard them.
    void leave();
    void showFunctionView(QWidget* view, int funcType) override;

    // Menu and button actions.
    void performCloseTlv();
    void showTlvHelp();
    void showTlvPrefs();
    void openSaveFolder();
    void completeAll();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    template <typename T = QWidget> T* item(int tag) const {
        return appkit::viewWithTag<T>(mScreens.base, tag);
    }
    void setHidden(int tag, bool hidden);
    void setEnabled(int tag, bool enabled);
    void setText(int tag, const QString& text);
    void buildMenus();
    void connectActions();
    void updateScanScreen(tlv::AppState state, bool manualFeed);
    void updateFinishScreen(tlv::AppState state);
    void updateModeChangeImage();
    QString savedWhere() const;
    void animate(bool scanView, bool start);
    std::vector<int> functionFieldTags() const;

    TlvMainCntlr& mCntlr;
    std::function<void()> mQuit;
    std::function<void()> mOpenScanSettings;
    TlvMainScreens mScreens;
    QPointer<QWidget> mFunctionView;
    std::unique_ptr<TlvPreviewCntlr> mPreview;
    std::vector<std::pair<Command, QAction*>> mActions;
    std::unique_ptr<TlvPrefsCntlr> mPrefs;
    std::unique_ptr<TlvAboutCntlr> mAbout;
    // The animation strips by mode: scan first, jobs.
    std::array<std::shared_ptr<const AnimationStrip>, 2> mAnimImg;
    // The finish screen's own strip: a page with a growing ring.
    std::shared_ptr<const AnimationStrip> mAnimFin;
};

} // namespace tlv
