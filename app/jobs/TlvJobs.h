// The job parts of the main window together: the information panes, the job table and the job-list
// editor, made in the order they depend on each other. The program and the tests make one and put
// its table and job pane into the window's places.
#pragma once

#include "TlvJobInfoCntlr.h"
#include "TlvJobListCntlr.h"
#include "TlvJobTableCntlr.h"

namespace tlv {

class TlvJobs {
public:
    // All outlive this; scanSetting may be null.
    TlvJobs(TlvJobsHost& host, TlvFunctionViewCntlr& funcView, TlvScanSettingCntlr* scanSetting)
        : mInfo(host), mTable(host, mInfo), mEditor(host, mTable, mInfo, funcView, scanSetting) {
        mInfo.setJobInfo_Foa();
        mInfo.updateTopJobInfo();
        mInfo.changeDisplaySize(std::nullopt);
    }

    TlvJobInfoCntlr& info() { return mInfo; }
    TlvJobTableCntlr& table() { return mTable; }
    TlvJobListCntlr& editor() { return mEditor; }

    // The table and the job's pane into their places; the window's edit and new buttons (found by
    // tag in window) open the editor.
    void attachTo(QWidget* tablePlace, QWidget* infoPlace, QWidget* window) {
        mTable.attachTo(tablePlace, window);
        TlvJobInfoCntlr::attachTo(mInfo.jobInfoForJOBView(), infoPlace);
    }

private:
    TlvJobInfoCntlr mInfo;
    TlvJobTableCntlr mTable;
    TlvJobListCntlr mEditor;
};

} // namespace tlv
