// The plain main window.
#include "TlvMainWindow.h"

#include "Strings.h"
#include "Tags.h"
#include "TlvMainCntlr.h"
#include "VX_Message.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QTimer>

namespace tlv {

TlvMainWindow::TlvMainWindow(TlvMainCntlr& cntlr, std::function<void()> quit)
    : mCntlr(cntlr), mQuit(std::move(quit)) {
    setWindowTitle(appkit::localized("Title_MainWin"));
    mFoaMode = button("Mode_FOA", kFoaModeTag);
    mJobMode = button("Mode_JOB", kJobModeTag);
    mFoaScan = button("ScanBtn_FOA", kFoaScanTag);
    mJobScan = button("ScanBtn_JOB", kJobScanTag);
    mFinish = button("ScanBtn_Finish", kFinishTag);
    mOutput = button("FuncBtn_File", kOutputTag);
    mConfirmOutput = new QCheckBox(appkit::localized("JobTop_ConfirmOutput"), this);
    appkit::setTag(mConfirmOutput, kConfirmOutputTag);
    mState = new QLabel(this);
    appkit::setTag(mState, kStateTag);
    mPages = new QLabel(this);
    appkit::setTag(mPages, kPagesTag);
    auto* grid = new QGridLayout(this);
    grid->addWidget(mFoaMode, 0, 0);
    grid->addWidget(mJobMode, 0, 1);
    grid->addWidget(mFoaScan, 1, 0);
    grid->addWidget(mJobScan, 1, 1);
    grid->addWidget(mConfirmOutput, 2, 0, 1, 2);
    grid->addWidget(mFinish, 3, 0);
    grid->addWidget(mOutput, 3, 1);
    grid->addWidget(mState, 4, 0);
    grid->addWidget(mPages, 4, 1);

    connect(mFoaMode, &QPushButton::clicked, this, [this] { mCntlr.switchScanMode(0, false); });
    connect(mJobMode, &QPushButton::clicked, this, [this] { mCntlr.switchScanMode(1, false); });
    connect(mFoaScan, &QPushButton::clicked, this, [this] { mCntlr.executeScan(); });
    connect(mJobScan, &QPushButton::clicked, this, [this] { mCntlr.executeScan(); });
    connect(mOutput, &QPushButton::clicked, this, [this] { mCntlr.executeFunction(); });
    connect(mConfirmOutput, &QCheckBox::toggled, this,
            [this](bool on) { mCntlr.appSettingObj().setIsConfirmOutput(on); });
    mConfirmOutput->setChecked(mCntlr.isCurConfirmOutput());
    showTopScreen(mCntlr.curScanModeType());
    updateUIByAppState(mCntlr.appState());
    updateScanNum(0);
}

QPushButton* TlvMainWindow::button(const char* key, int tag) {
    auto* b = new QPushButton(appkit::localized(key), this);
    appkit::setTag(b, tag);
    return b;
}

void TlvMainWindow::updateUIByAppState(int state) {
    mState->setText(appkit::localized("Main_State").arg(state));
    mFinish->setEnabled(tlv::isExecuteScnState(state));
    mOutput->setEnabled(tlv::isConfirmFuncState(state));
    const bool idle = tlv::isMainTopState(state) || tlv::isFinishFixState(state);
    mFoaMode->setEnabled(idle || tlv::isValidCancelState(state));
    mJobMode->setEnabled(idle || tlv::isValidCancelState(state));
}

void TlvMainWindow::showTopScreen(int) {
    const int mode = mCntlr.curScanModeType();
    mFoaScan->setVisible(mode == 0);
    mJobScan->setVisible(mode != 0);
    mConfirmOutput->setVisible(mode != 0);
}

bool TlvMainWindow::isModalWindow() const {
    return QApplication::activeModalWidget() != nullptr;
}

void TlvMainWindow::showErrorPanelLater(const std::string& key) {
    QTimer::singleShot(0, this, [this, key] { VX_Message::showErrorPanel(key, this); });
}

void TlvMainWindow::updateScanNum(int pages) {
    mPages->setText(appkit::localized("Main_Pages").arg(pages));
}

void TlvMainWindow::updateScnBtn(bool enabled) {
    mFoaScan->setEnabled(enabled);
    mJobScan->setEnabled(enabled);
}

void TlvMainWindow::setConfirmOutputBox(bool on) {
    const QSignalBlocker quiet(mConfirmOutput);
    mConfirmOutput->setChecked(on);
}

void TlvMainWindow::activateMainWindow() {
    show();
    raise();
    activateWindow();
}

void TlvMainWindow::showAbout() {
    VX_Message::showPanelMsgKeyIsCritical("Title_About", "About_Text", "OK", nullptr, false);
}

void TlvMainWindow::terminate() {
    if (mCntlr.isValidAppTerminate())
        mQuit();
}

void TlvMainWindow::closeEvent(QCloseEvent* event) {
    // Closing the window is the quit, refused while a batch or an output runs.
    event->ignore();
    terminate();
}

} // namespace tlv
