// The main window in its plain form: the mode buttons, the scan buttons of both top screens, the
// confirm-output box, the finish button, the function choice (400 to 404) and the output-function view
// for checking, the state and page counter, found by their tags. It shows the controller's state and
// forwards the user's actions; the drawn views come later.
#pragma once

#include "TlvMainView.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <functional>

class TlvMainCntlr;

namespace tlv {

class TlvMainWindow final : public QWidget, public TlvMainView {
public:
    // Tags of the controls.
    static constexpr int kFoaModeTag = 100;
    static constexpr int kJobModeTag = 101;
    static constexpr int kFoaScanTag = 202;
    static constexpr int kConfirmOutputTag = 302;
    static constexpr int kJobScanTag = 304;
    static constexpr int kFuncBackTag = 1300;
    static constexpr int kFuncOkTag = 1301;
    static constexpr int kFinishTag = 1206;
    static constexpr int kStateTag = 1400;
    static constexpr int kPagesTag = 1401;

    // quit runs the application's quit path; the controller outlives the window.
    TlvMainWindow(TlvMainCntlr& cntlr, std::function<void()> quit);
    // The output-function view stays the controller's.
    ~TlvMainWindow() override;

    // The screen and the step bar for the state.
    void updateUIByAppState(int state);
    void showTopScreen(int mode) override;
    bool isModalWindow() const override;
    QObject* finishScanSender() override { return mFinish; }
    QWidget* window() override { return this; }
    // The page counter of the scanning screen.
    void updateScanNum(int pages);
    void updateScnBtn(bool enabled) override;
    void setConfirmOutputBox(bool on) override;
    void activateMainWindow() override;
    void showAbout() override;
    void terminate() override;
    void showFunctionView(QWidget* view, int funcType) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* button(const char* key, int tag);
    QWidget* buildFunctionChoice();

    TlvMainCntlr& mCntlr;
    std::function<void()> mQuit;
    QPushButton* mFoaMode;
    QPushButton* mJobMode;
    QPushButton* mFoaScan;
    QPushButton* mJobScan;
    QPushButton* mFinish;
    QWidget* mFunctionChoice;
    QWidget* mFunctionHolder;
    QPointer<QWidget> mFunctionView;
    QCheckBox* mConfirmOutput;
    QLabel* mState;
    QLabel* mPages;
};

} // namespace tlv
