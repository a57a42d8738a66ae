// The plain main window.
#include "TlvMainWindow.h"

#include "Strings.h"
#include "Tags.h"
#include "TlvMainCntlr.h"
#include "VX_Message.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>

namespace tlv {

namespace {

// The functions by type: save, mail, print, application.
constexpr const char* kFunctionKeys[] = {"FuncBtn_File", "FuncBtn_Mail", "FuncBtn_Print", "FuncBtn_App"};

} // namespace

TlvMainWindow::TlvMainWindow(TlvMainCntlr& cntlr, std::function<void()> quit)
    : mCntlr(cntlr), mQuit(std::move(quit)) {
    setWindowTitle(appkit::localized("Title_MainWin"));
    mFoaMode = button("Mode_FOA", kFoaModeTag);
    mJobMode = button("Mode_JOB", kJobModeTag);
    mFoaScan = button("ScanBtn_FOA", kFoaScanTag);
    mJobScan = button("ScanBtn_JOB", kJobScanTag);
    mFinish = button("ScanBtn_Finish", kFinishTag);
    mFunctionChoice = buildFunctionChoice();
    mFunctionHolder = new QWidget(this);
    new QVBoxLayout(mFunctionHolder);
    mFunctionHolder->layout()->setContentsMargins(0, 0, 0, 0);
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
    grid->addWidget(mFinish, 3, 0, 1, 2);
    grid->addWidget(mFunctionChoice, 4, 0, 1, 2);
    grid->addWidget(mFunctionHolder, 5, 0, 1, 2);
    grid->addWidget(mState, 6, 0);
    grid->addWidget(mPages, 6, 1);

    connect(mFoaMode, &QPushButton::clicked, this, [this] { mCntlr.switchScanMode(0, false); });
    connect(mJobMode, &QPushButton::clicked, this, [this] { mCntlr.switchScanMode(1, false); });
    connect(mFoaScan, &QPushButton::clicked, this, [this] { mCntlr.executeScan(); });
    connect(mJobScan, &QPushButton::clicked, this, [this] { mCntlr.executeScan(); });
    connect(mConfirmOutput, &QCheckBox::toggled, this,
            [this](bool on) { mCntlr.appSettingObj().setIsConfirmOutput(on); });
    mConfirmOutput->setChecked(mCntlr.isCurConfirmOutput());
    showTopScreen(mCntlr.curScanModeType());
    updateUIByAppState(mCntlr.appState());
    updateScanNum(0);
    connect(&mCntlr.notifier(), &TlvCntlrNotifier::appStateChanged, this, &TlvMainWindow::updateUIByAppState);
    connect(&mCntlr.notifier(), &TlvCntlrNotifier::scanCountChanged, this, &TlvMainWindow::updateScanNum);
    connect(
        &mCntlr.notifier(), &TlvCntlrNotifier::failureRaised, this,
        [this](const QString& key, const QStringList& args) {
            std::vector<std::string> texts;
            for (const QString& arg : args)
                texts.push_back(arg.toStdString());
            VX_Message::showErrorPanel(key.toStdString(), this, texts);
        },
        Qt::QueuedConnection);
}

TlvMainWindow::~TlvMainWindow() {
    if (mFunctionView)
        mFunctionView->setParent(nullptr);
}

QPushButton* TlvMainWindow::button(const char* key, int tag) {
    auto* b = new QPushButton(appkit::localized(key), this);
    appkit::setTag(b, tag);
    return b;
}

// The function buttons 400 (save) to 403 (application) and 404 (back to the top).
QWidget* TlvMainWindow::buildFunctionChoice() {
    auto* choice = new QWidget(this);
    auto* row = new QHBoxLayout(choice);
    row->setContentsMargins(0, 0, 0, 0);
    int tag = TlvMainCntlr::kTagFuncSave;
    for (const char* key : kFunctionKeys) {
        QPushButton* b = button(key, tag);
        row->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, tag] { mCntlr.fixFunction(tag); });
        ++tag;
    }
    row->addStretch(1);
    QPushButton* back = button("FuncBtn_Back", TlvMainCntlr::kTagFuncBack);
    row->addWidget(back);
    connect(back, &QPushButton::clicked, this, [this] { mCntlr.fixFunction(TlvMainCntlr::kTagFuncBack); });
    return choice;
}

void TlvMainWindow::updateUIByAppState(int state) {
    mState->setText(appkit::localized("Main_State").arg(state));
    mFinish->setEnabled(tlv::isExecuteScnState(state));
    mFunctionChoice->setVisible(state == AppStateFuncSelect);
    mFunctionHolder->setVisible(state == AppStateFuncConfirm);
    const bool idle = tlv::isMainTopState(state) || tlv::isFinishFixState(state);
    mFoaMode->setEnabled(idle || tlv::isValidCancelState(state));
    mJobMode->setEnabled(idle || tlv::isValidCancelState(state));
}

void TlvMainWindow::showTopScreen(int) {
    const int mode = mCntlr.curScanModeType();
    mFoaScan->setVisible(mode == tlv::kScanModeFOA);
    mJobScan->setVisible(mode != 0);
    mConfirmOutput->setVisible(mode != 0);
}

bool TlvMainWindow::isModalWindow() const {
    return QApplication::activeModalWidget() != nullptr;
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

void TlvMainWindow::showFunctionView(QWidget* view, int funcType) {
    if (view && view != mFunctionView) {
        mFunctionView = view;
        mFunctionHolder->layout()->addWidget(view);
        view->show(); // a child added to a shown window stays hidden otherwise
    }
    if (!mFunctionView)
        return;
    // The check screen's buttons: back to the choice in scan-first mode, and the output itself.
    if (mCntlr.curScanModeType() == kScanModeFOA)
        if (auto* back = appkit::viewWithTag<QPushButton>(mFunctionView, kFuncBackTag))
            back->setText(appkit::localized("FuncBtn_Back"));
    if (auto* ok = appkit::viewWithTag<QPushButton>(mFunctionView, kFuncOkTag))
        ok->setText(funcType >= 0 && funcType < 4 ? appkit::localized(kFunctionKeys[funcType]) : QString());
    mFunctionHolder->setVisible(mCntlr.appState() == AppStateFuncConfirm);
    adjustSize();
}

void TlvMainWindow::closeEvent(QCloseEvent* event) {
    // Closing the window is the quit, refused while a batch or an output runs.
    event->ignore();
    terminate();
}

} // namespace tlv
