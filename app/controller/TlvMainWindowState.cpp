// The main window by state: controls, status lines, animations, the step bar and the Tab order.
#include "TlvMainWindow.h"

#include "DrawTones.h"
#include "NwAnimationImageView.h"
#include "Strings.h"
#include "Tags.h"
#include "TlvColorMnager.h"
#include "TlvJobInfoView.h"
#include "TlvMainCntlr.h"
#include "TlvMainTags.h"
#include "TlvScanViewCntlr.h"
#include "TlvStepPartsView.h"
#include "TlvStripViews.h"
#include "ViewImage.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>

namespace tlv {

namespace {

// Step bar tones: a step still to come, done, left out; the current step is white.
constexpr int kStepToCome = 6;
constexpr int kStepDone = 7;
constexpr int kStepLeftOut = 8;
constexpr int kStepCurrent = -1;

constexpr const char* kFixExeKeys[] = {"FixState_Exe_SaveFile", "FixState_Exe_AttachMail",
                                       "FixState_Exe_Print", "FixState_Exe_SendApp"};
constexpr const char* kFixDoneKeys[] = {"FixState_Fix_SaveFile", "FixState_Fix_AttachMail",
                                        "FixState_Fix_Print", "FixState_Fix_SendApp"};

QString byFunction(const char* const (&keys)[4], int func) {
    return func >= 0 && func < 4 ? appkit::localized(keys[func]) : QString();
}

// The tone of a step: done after its states, to come before them, current within.
int stepTone(AppState state, AppState first, AppState last) {
    return state < first ? kStepToCome : state > last ? kStepDone : kStepCurrent;
}

// The tone is taken under the window's palette, which its labels follow only after it changes.
void setStepLabel(const QPalette& window, QLabel* label, const char* key, int tone) {
    label->setText(appkit::localized(key));
    QPalette palette = label->palette();
    const QColor color =
        tone == kStepCurrent ? QColor(Qt::white) : *TlvColorMnager::colorForDrawByTag(tone, window);
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

// From the batch's start to its output's last step the mode cannot switch.
bool isModeSwitchHeld(AppState state) {
    return inStates(state, AppStateScanStandby, AppStateFixHandOff);
}

constexpr int kPreviewTags[] = {tag::kPreviewFirst,   tag::kPreviewPrev,       tag::kPreviewPageNumber,
                                tag::kPreviewNext,    tag::kPreviewLast,       tag::kPreviewZoomIn,
                                tag::kPreviewZoomOut, tag::kPreviewRotateDown, tag::kPreviewRotateUp};

} // namespace

void TlvMainWindow::setHidden(int tag, bool hidden) {
    if (QWidget* w = item(tag); w && w->isHidden() != hidden)
        w->setHidden(hidden);
}

void TlvMainWindow::setEnabled(int tag, bool enabled) {
    if (QWidget* w = item(tag); w && w->isEnabled() != enabled)
        w->setEnabled(enabled);
}

void TlvMainWindow::setText(int tag, const QString& text) {
    if (auto* label = item<QLabel>(tag))
        label->setText(text);
    else if (auto* button = item<QAbstractButton>(tag))
        button->setText(text);
}

void TlvMainWindow::animate(bool scanView, bool start) {
    NwAnimationImageView* view = scanView ? mScreens.animScn : mScreens.animFin;
    if (start) {
        view->setImage(scanView ? mAnimImg[mCntlr.curScanModeType() == kScanModeFOA ? 0 : 1] : mAnimFin);
        view->startThreadAnimation();
    } else
        view->stopThreadAnimation();
}

// The picture between the mode buttons is greyed while a batch holds the mode.
void TlvMainWindow::updateModeChangeImage() {
    auto* image = item<QLabel>(tag::kModeChangeImage);
    const bool held = isModeSwitchHeld(mCntlr.appState());
    const auto picture = ViewImage::named(held ? "FT_BtnChange_J_G" : "FT_BtnChange_J_E");
    if (image && picture)
        image->setPixmap(inkedForPalette(picture->pixmap(devicePixelRatioF()), palette(),
                                         held ? QPalette::Disabled : QPalette::Active));
}

void TlvMainWindow::updateUIByAppState(AppState state) {
    const TlvScanSettingMdl* scan = mCntlr.curScnMdlApp();
    const bool manualFeed = scan && scan->ccap_OVK_MANUALFEED() >= 1;
    const bool busy = isModeSwitchHeld(state);
    updateModeChangeImage();
    setEnabled(tag::kBtn1FoaScan, !busy);
    setEnabled(tag::kPrefs, !busy);
    // The screen of the state; 200 keeps the scanning screen until the choice or check follows.
    if (isMainTopState(state))
        mScreens.mainDummy->setCurrentWidget(mCntlr.curScanModeType() == kScanModeFOA ? mScreens.foaTop
                                                                                      : mScreens.jobTop);
    else
        mScreens.mainDummy->setCurrentWidget(mScreens.work);
    if (isExecuteScnState(state))
        mScreens.side->setCurrentWidget(mScreens.scanning);
    else if (state == AppStateFuncSelect)
        mScreens.side->setCurrentWidget(mScreens.selectFunc);
    else if (state == AppStateFuncConfirm)
        mScreens.side->setCurrentWidget(mScreens.funcHolder);
    else if (state >= AppStateFixStart)
        mScreens.side->setCurrentWidget(mScreens.finish);

    if (isExecuteScnState(state))
        updateScanScreen(state, manualFeed);
    else if (state >= AppStateFixStart)
        updateFinishScreen(state);
    updateStepView();
    changeKeyView();
}

void TlvMainWindow::updateScanScreen(AppState state, bool manualFeed) {
    TlvScanViewCntlr* scanView = TlvScanViewCntlr::sharedScanViewCntlr();
    const bool continueScan = mCntlr.isCurValidContinueScan();
    const QString panelText = appkit::localized("ScanInfo_DiplayScanPanel");
    if (state <= AppStateScanWrite) {
        setText(tag::kScanCancelContinue, appkit::localized("Cancel"));
        if (scanView)
            scanView->setIsContinueScanState(false);
    } else if (state == AppStateScanErr || continueScan) {
        setText(tag::kScanCancelContinue, appkit::localized("ScanBtnContinueStr"));
        if (scanView)
            scanView->setIsContinueScanState(true);
    }
    static constexpr const char* kStatus[] = {"ScanState_Ready", "ScanState_Ready",  "ScanState_Scning",
                                              "ScanState_Write", "ScanState_Finish", "ScanState_Err"};
    setText(tag::kScanStatus,
            appkit::localized(kStatus[appStateNumber(state) - appStateNumber(AppStateScanStandby)]));
    if (state <= AppStateScanReady) {
        updateScanNum(-1);
        if (manualFeed)
            setText(tag::kScanInfo, panelText);
    }
    if (auto* info = item<QLabel>(tag::kScanInfo)) {
        if (manualFeed ? state >= AppStateScanFinish && info->text() == panelText : state != AppStateScanErr)
            info->clear();
    }
    if (state <= AppStateScanning) {
        animate(true, true);
        mScreens.scanningJobPlace->show();
        setHidden(tag::kScanSettings, true);
        setHidden(tag::kScanFinish, true);
    } else if (state >= AppStateScanFinish) {
        if (state == AppStateScanFinish)
            updateScanNum(-1);
        if (state == AppStateScanErr || continueScan) {
            animate(true, false);
            mScreens.scanningJobPlace->hide();
            setHidden(tag::kScanSettings, false);
            if (QWidget* finish = item(tag::kScanFinish); finish && finish->isHidden()) {
                // Without a page it leads back to the start, the plain way out of a batch that stopped.
                finish->setEnabled(true);
                finish->show();
            }
        }
    }
}

void TlvMainWindow::updateFinishScreen(AppState state) {
    const int func = mCntlr.curFuncTypeApp();
    setHidden(tag::kFixOpenFolder, !(func == kFuncSave || func == kFuncApplication));
    if (state == AppStateFixStart) {
        setEnabled(tag::kFixDone, false);
        setEnabled(tag::kFixOpenFolder, false);
        mScreens.animFin->show();
        animate(false, true);
        setText(tag::kFixStatus, byFunction(kFixExeKeys, func));
        setText(tag::kFixSubStatus, QString());
    } else if (state >= AppStateFixDone) {
        setEnabled(tag::kFixDone, true);
        setEnabled(tag::kFixOpenFolder, true);
        animate(false, false);
        mScreens.animFin->hide();
        if (state == AppStateFixDone) {
            setText(tag::kFixStatus, func == kFuncSave ? savedWhere() : byFunction(kFixDoneKeys, func));
            setText(tag::kFixSubStatus,
                    func == kFuncPrint ? appkit::localized("FixState_Sub_Print") : QString());
            if (mCntlr.curScanModeType() == kScanModeJOB && !mCntlr.isCurConfirmOutput() &&
                mCntlr.isAutoCloseApp())
                setText(tag::kFixSubStatus, appkit::localized("FixState_Fix_AutoClose"));
        }
    }
}

// Saved files are looked for where they went; the folder button beside the text opens that folder.
QString TlvMainWindow::savedWhere() const {
    const std::optional<std::filesystem::path> folder = mCntlr.saveFolder();
    const QString where =
        folder ? QDir::toNativeSeparators(QString::fromStdString(folder->string())) : QString();
    return appkit::localized("FixState_Fix_SaveFile").arg(where);
}

void TlvMainWindow::setStateInfoStrForMainUI(const QString& message) {
    const AppState state = mCntlr.appState();
    if (isExecuteScnState(state)) {
        setText(tag::kScanStatus, appkit::localized("ScanState_Err"));
        setText(tag::kScanInfo, message);
    } else if (inStates(state, AppStateFixStart, AppStateFixErr)) {
        setText(tag::kFixStatus, QString());
        setText(tag::kFixSubStatus, message);
    }
}

void TlvMainWindow::updateScanNum(int pages) {
    const int shown = pages < 0 ? static_cast<int>(mCntlr.countOfImgInfoDict()) : pages;
    setText(tag::kScanNum, appkit::localized("ScanNum_Str").arg(shown));
}

void TlvMainWindow::updateStepView() {
    const AppState state = mCntlr.appState();
    const int mode = mCntlr.curScanModeType();
    const bool job = mode == kScanModeJOB;
    const char* info = nullptr;
    if (state == AppStateMainTop)
        info = job ? "Info_Top_J" : "Info_Top_F";
    else if (inStates(state, AppStateScanStandby, AppStateScanning))
        info = "Info_Scan_FJ";
    else if (state == AppStateScanErr || (state == AppStateScanFinish && mCntlr.isCurValidContinueScan()))
        info = "Info_ScanFinish_FJ";
    else if (inStates(state, AppStateFuncStart, AppStateFuncConfirm))
        info = job ? "Info_Func_J" : state == AppStateFuncConfirm ? "Info_Func_F" : "Info_SelFunc_F";
    else if (inStates(state, AppStateFixStart, AppStateFixErr))
        info = "Info_Finish_FJ";
    if (info)
        setText(tag::kStepInfo, appkit::localized(info));

    auto& labels = mScreens.stepLabels;
    labels[0]->setVisible(job);
    if (job)
        setStepLabel(palette(), labels[0], "StepInfo_JobSel",
                     state == AppStateMainTop ? kStepCurrent : kStepDone);
    setStepLabel(palette(), labels[1], "StepInfo_Scan",
                 job ? stepTone(state, AppStateScanStandby, AppStateScanErr)
                     : (state <= AppStateScanErr ? kStepCurrent : kStepDone));
    const int outputTone = stepTone(state, AppStateFuncStart, AppStateFuncConfirm);
    if (job)
        setStepLabel(palette(), labels[2], "StepInfo_OutPut",
                     mCntlr.isCurConfirmOutput() ? outputTone : kStepLeftOut);
    else
        setStepLabel(palette(), labels[2], "StepInfo_Conjugate", outputTone);
    setStepLabel(palette(), labels[3], "StepInfo_Finish", stepTone(state, AppStateFixStart, AppStateFixErr));
    mScreens.stepParts[0]->setVisible(job);

    int current = -1;
    if (state == AppStateMainTop)
        current = job ? 0 : 1;
    else if (isExecuteScnState(state))
        current = 1;
    else if (inStates(state, AppStateFuncStart, AppStateFuncConfirm))
        current = 2;
    else if (inStates(state, AppStateFixStart, AppStateFixErr))
        current = 3;
    for (std::size_t k = 0; k < mScreens.stepParts.size(); ++k) {
        if (current >= 0)
            mScreens.stepParts[k]->setIsDrawImg(static_cast<int>(k) == current);
        mScreens.stepParts[k]->setScnModeForView(mode);
    }
    mScreens.stepInfoView->setScnModeForView(mode);
    mScreens.expView->setScnModeForView(mode);
}

std::vector<int> TlvMainWindow::functionFieldTags() const {
    // The fields of the function view, by function: file name, format, save path; print; application.
    const bool jobMain = mCntlr.curScanModeType() == kScanModeJOB;
    std::vector<int> fileName = jobMain ? std::vector<int>{1406} : std::vector<int>{1405, 1407, 1408};
    std::vector<int> format = jobMain ? std::vector<int>{} : std::vector<int>{1410, 1411};
    const std::vector<int> path = {1413, 1414, 1415};
    std::vector<int> tags;
    const auto add = [&tags](const std::vector<int>& group) {
        tags.insert(tags.end(), group.begin(), group.end());
    };
    switch (mCntlr.curFuncTypeApp()) {
    case kFuncSave:
        add(fileName), add(format), add(path);
        break;
    case kFuncMail:
        add(fileName), add(format);
        break;
    case kFuncPrint:
        add({1502, 1505, 1504});
        break;
    case kFuncApplication:
        add({1402, 1403}), add(fileName), add(format), add(path);
        break;
    default:
        break;
    }
    return tags;
}

std::vector<int> TlvMainWindow::keyViewTags() const {
    const AppState state = mCntlr.appState();
    std::vector<int> tags = {tag::kModeFoa, tag::kModeJob};
    const auto add = [&tags](const auto& group) {
        tags.insert(tags.end(), std::begin(group), std::end(group));
    };
    if (isMainTopState(state)) {
        if (mCntlr.curScanModeType() == kScanModeFOA) {
            add(std::initializer_list<int>{tag::kFoaScanSettings, tag::kFoaContinueScan, tag::kFoaScan});
        } else {
            const auto* info = findChild<TlvJobInfoView*>();
            const int infoTag = info && info->isExpansion() ? tag::kJobInfoExpanded : tag::kJobInfoCollapsed;
            add(std::initializer_list<int>{tag::kJobTable, tag::kJobEdit, tag::kJobNew, infoTag,
                                           tag::kConfirmOutput, tag::kJobContinueScan, tag::kJobScan});
        }
    } else if (inStates(state, AppStateScanStandby, AppStateFixErr)) {
        add(kPreviewTags);
        if (isExecuteScnState(state))
            add(std::initializer_list<int>{tag::kScanCancelContinue, tag::kScanFinish, tag::kScanSettings});
        else if (state == AppStateFuncSelect)
            add(std::initializer_list<int>{400, 401, 402, 403, 404});
        else if (state == AppStateFuncConfirm)
            add(functionFieldTags()),
                add(std::initializer_list<int>{tag::kFuncViewBack, tag::kFuncViewExecute});
        else if (state >= AppStateFixStart)
            add(std::initializer_list<int>{tag::kFixDone, tag::kFixOpenFolder});
    }
    add(std::initializer_list<int>{tag::kBtn1FoaScan, tag::kPrefs, tag::kHelp});
    return tags;
}

void TlvMainWindow::changeKeyView() {
    // Only the controls the window has, in that order; the rest keep Qt's own order after them.
    QWidget* previous = nullptr;
    for (const int t : keyViewTags()) {
        QWidget* next = item(t);
        if (!next || next->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

} // namespace tlv
