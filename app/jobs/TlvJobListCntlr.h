// The job-list editor: a panel over the main window in which the user edits the ten jobs one at a
// time (title, output function with its settings, scan settings, the scanner's start button). It
// works on copies: the edited job reaches the job lists (which store it at once) only when the user
// applies it, and a row switch or a close with unapplied edits asks first. It also deletes the job
// selected in the main table, after a question. Nothing here runs while a batch or its output runs.
// Main thread only.
#pragma once

#include "TlvFunctionViewCntlr.h"
#include "TlvJobsHost.h"
#include "TlvPopUps.h"
#include "TlvScanSettingCntlr.h"
#include "TlvTableView.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

#include <memory>
#include <vector>

namespace appkit {
class FTextField;
}

namespace tlv {

class TlvJobInfoCntlr;
class TlvJobTableCntlr;

class TlvJobListCntlr {
public:
    enum Tag : int {
        kTabs = 1601,
        kTable = 1602,
        kJobNum = 1603,
        kTitleCaption = 1604,
        kTitle = 1605,
        kOutputCaption = 1606,
        kOutput = 1607,
        kBtnMatrix = 1609, // its radio buttons carry their rows as tags: 0 start button, 1 none
        kApply = 1610,
        kCancel = 1611,
        kOK = 1612,
        kStartBtnImage = 1613,
    };
    enum Tab : int { kTabOutPut, kTabScnStng, kTabSelBtn };
    static constexpr int kTitleLength = 40; // characters

    // scanSetting may be null (no scan settings tab content). All outlive the editor.
    TlvJobListCntlr(TlvJobsHost& host, TlvJobTableCntlr& table, TlvJobInfoCntlr& info,
                    TlvFunctionViewCntlr& funcView, TlvScanSettingCntlr* scanSetting);
    ~TlvJobListCntlr();
    TlvJobListCntlr(const TlvJobListCntlr&) = delete;
    TlvJobListCntlr& operator=(const TlvJobListCntlr&) = delete;

    static int btnIndexFromStatus(std::int32_t status) { return status == 1 ? 0 : 1; }
    static std::int32_t btnStatusFromIndex(int index) {
        return index == 0 ? 1 : TlvJobListSettingMdl::kNoButton;
    }

    QDialog* jobListEditPanel() const { return mJobListEditPanel; }
    bool isJobListPanelVisible() const { return mJobListEditPanel && mJobListEditPanel->isVisible(); }
    // The job being edited while the editor is open; null otherwise.
    const TlvJobListSettingMdl* tmpJobListSettingMdl() const { return mTmpJobListSettingMdl.get(); }
    const std::vector<TlvJobListStorage::Row>& tmpJobListMdlArray() const { return mTmpJobListMdlArray; }
    int dispEditJobIndex() const { return mDispEditJobIndex; }
    bool isChangedJobList() const { return mIsChangedJobList; }
    // The output container the function view fills while the editor is open.
    QWidget* jLETableOutPutDmyView() const { return mOutPutDmyView; }

    // Opens the editor on the job selected in the main table, or with isNew (or none selected) on
    // the first unused slot. Refused while a batch runs.
    void showJobList(bool isNew);
    // Asks, then makes the selected job of the main table an unused slot.
    void deleteSelJob();
    // Writes the edited job into the job lists; false (with an alert, nothing written) when its
    // title is empty or an output setting is not valid.
    bool renewRowData();
    // Apply (1610), Cancel (1611) or OK (1612).
    void closeJobList(int tag);
    void changeFunction(int type);
    void changeEnableAppliesBtn(bool changed);

private:
    void buildPanel();
    QWidget* buildButtonTab();
    void initJobListEditTV(bool isNew);
    void updateTableView();
    void reloadEditTable();
    void fitEditTableToTitles();
    void showOutputView();
    void rowSwitchRequested();
    // The question before unapplied edits are left: true when the user applies them, false when they
    // are dropped (or no answer came).
    static bool askApplyChanges();
    void sortEditRows(int column, Qt::SortOrder order);
    void endEditing();

    TlvJobsHost& mHost;
    TlvJobTableCntlr& mTable;
    TlvJobInfoCntlr& mInfo;
    TlvFunctionViewCntlr& mFuncView;
    TlvScanSettingCntlr* mScanSetting;

    QPointer<QDialog> mJobListEditPanel;
    TlvTableView* mEditTable = nullptr;
    QLabel* mJobNum = nullptr;
    appkit::FTextField* mTitle = nullptr;
    TlvPopUp* mOutput = nullptr;
    QTabWidget* mJLEditTabView = nullptr;
    QWidget* mOutPutDmyView = nullptr;
    QWidget* mScnStngDmyView = nullptr;
    QButtonGroup* mBtnMatrix = nullptr;
    QPushButton* mApply = nullptr;

    bool mIsChangedJobList = false;
    bool mIsShowedErrPanel = false;
    std::vector<TlvJobListStorage::Row> mTmpJobListMdlArray;
    std::unique_ptr<TlvJobListSettingMdl> mTmpJobListSettingMdl;
    int mDispEditJobIndex = -1;
};

} // namespace tlv
