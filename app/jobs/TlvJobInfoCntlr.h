// The read-only summaries of a job in the main window: the scan-first job's pane, the pane of the job
// selected in the job table (with its output, collapsed or expanded), and the pane of the job being
// scanned. Each summary line comes from the job's scan settings: the application's simple settings,
// or the data source's detailed settings when the job uses those. A stored value outside its table
// gives an empty line. The panes are made here and put into the window's places by attachTo.
#pragma once

#include "TlvJobInfoView.h"
#include "TlvJobsHost.h"
#include "TlvScanSettingMdl.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <optional>
#include <string>

class QAbstractButton;
class QLabel;

namespace tlv {

class TlvJobInfoCntlr {
public:
    enum Tag : int {
        kFoaIcon = 1000, // captions 1001, 1003, 1005, 1007; values one above
        kJobIcon = 1020, // captions 1021 .. 1027, values 1022 .. 1028
        kJobMoreCaption = 1029,
        kJobExpand = 1030,
        kJobOutputFirst = 1031, // caption/value pairs 1031/1032, 1033/1034, 1035/1036
        kJobLessCaption = 1037,
        kJobCollapse = 1038,
        kScngIcon = 1040, // captions 1041 .. 1047, values 1042 .. 1048
    };

    explicit TlvJobInfoCntlr(TlvJobsHost& host);
    // Panes that no window took are deleted here.
    ~TlvJobInfoCntlr();
    TlvJobInfoCntlr(const TlvJobInfoCntlr&) = delete;
    TlvJobInfoCntlr& operator=(const TlvJobInfoCntlr&) = delete;

    QWidget* jobInfoForFOAView() const { return mFoaView; }
    TlvJobInfoView* jobInfoForJOBView() const { return mJobView; }
    QWidget* jobInfoJ_Str1View() const { return mStr1View; }
    QWidget* jobInfoJ_Str2View() const { return mStr2View; }
    QWidget* jobInfoForScngView() const { return mScngView; }
    // Puts pane into container's layout (one is made when it has none).
    static void attachTo(QWidget* pane, QWidget* container);

    void setJobInfo_Foa();
    // The selected job (host's selJobListMdl); none clears the pane.
    void updateTopJobInfo();
    // The job of the mode in force: the selected one, or the scan-first job (no icon).
    void updateJobInfoForScngView();
    void clearTopJobInfoTextBx();
    void settingFunInfo(const TlvJobListSettingMdl& job);
    // kJobExpand or kJobCollapse; none takes the stored choice.
    void changeDisplaySize(std::optional<int> tag);

    // The four summary lines, localised; empty for a stored value outside its table.
    static QString getModeJobInfo(const TlvScanSettingMdl& s);
    static QString getPaperSizeJobInfo(const TlvScanSettingMdl& s);
    static QString getResolutionJobInfo(const TlvScanSettingMdl& s);
    static QString getReadPageJobInfo(const TlvScanSettingMdl& s);
    // The scan-first pane's picture of the colour mode and resolution: "TOP_F_<family><size>_J_E".
    static std::string foaIconName(const TlvScanSettingMdl& s);

private:
    QWidget* summaryBlock(int iconTag, QWidget* icon, QWidget* lines);
    void fillSummary(QWidget* pane, int iconTag, const TlvScanSettingMdl& s);
    void setText(QWidget* pane, int tag, const QString& text);
    void setIcon(QWidget* pane, int tag, const QIcon& icon);
    void buildFoaPane();
    void buildJobPane();
    void buildScngPane();

    TlvJobsHost& mHost;
    QPointer<QWidget> mFoaView;
    QPointer<TlvJobInfoView> mJobView;
    QWidget* mStr1View = nullptr;
    QWidget* mStr2View = nullptr;
    QPointer<QWidget> mScngView;
};

} // namespace tlv
