// What the job table, the job-list editor and the job information panes need of the application's
// main controller: the job lists, the application settings with the selection, whether a batch runs,
// and the main window to stand over. The controller implements it; tests stand in for it. Main
// thread only.
#pragma once

#include "TlvAppSettingMdl.h"
#include "TlvJobListStorage.h"

class QWidget;

namespace tlv {

class TlvJobsHost {
public:
    virtual ~TlvJobsHost() = default;

    virtual TlvJobListStorage& jobLists() = 0;
    virtual TlvAppSettingMdl& appSettingObj() = 0;
    // From the start of a batch to the end of its output: the jobs are not edited meanwhile.
    virtual bool isBatchRunning() const = 0;
    virtual QWidget* tlvMainWindow() = 0;

    // The job the information pane shows and a job scan runs: the titled job of the row
    // forDisplayJobIndex; null when there is none.
    TlvJobListSettingMdl* selJobListMdl() {
        return jobLists().titledJobAt(appSettingObj().forDisplayJobIndex()).get();
    }
};

} // namespace tlv
