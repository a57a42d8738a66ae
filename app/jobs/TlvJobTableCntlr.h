// The job table of the main window in job mode: the titled jobs, sortable by output, title and
// button, from which the user picks the job to run, opens the job-list editor, deletes a job or
// gives it the scanner's start button (context menu, delete key, double click, the window's edit and
// new buttons). The stored rows keep the order the user sorted them in, titled jobs always first.
// Main thread only.
#pragma once

#include "TlvJobRowRecord.h"
#include "TlvJobsHost.h"
#include "TlvTableView.h"

#include <QMenu>
#include <QPointer>

#include <optional>

namespace tlv {

class TlvJobInfoCntlr;
class TlvJobListCntlr;

class TlvJobTableCntlr {
public:
    enum Tag : int {
        kJobTable = 1700,
        kEditButton = 1701,
        kNewButton = 1702,
        kMenuEdit = 10,
        kMenuLayoutBtn = 20,
        kMenuDelete = 30,
    };
    enum Column : int { kOutPutColumn, kJobTitleColumn, kBtnColumn };

    // Selects the stored row (selJobIndex) among the titled ones.
    TlvJobTableCntlr(TlvJobsHost& host, TlvJobInfoCntlr& info);
    ~TlvJobTableCntlr();
    TlvJobTableCntlr(const TlvJobTableCntlr&) = delete;
    TlvJobTableCntlr& operator=(const TlvJobTableCntlr&) = delete;

    // The editor that edits and deletes (it outlives this or is detached with null).
    void setJobListCntlr(TlvJobListCntlr* editor) { mEditor = editor; }
    // Puts the table into container's layout and connects the window's edit and new buttons (1701,
    // 1702) where window has them.
    void attachTo(QWidget* container, QWidget* window);

    TlvTableView* mainJobTableView() const { return mTable; }
    QMenu* jobMenu() const { return mJobMenu; }
    // The selected row; -1 for none.
    int selectedRow() const;
    void selectRow(int row);
    void reloadData();

    // Re-orders the rows: with isFromSort by the table's sort order, titled jobs first in any case;
    // the selected and the shown job keep their marks.
    void tableViewOriginalSort(bool isFromSort);
    // Clamps to the titled rows (a negative index gives 0).
    int checkSelJobIndex(int index) const;
    // The start button (tag 20) goes to the selected job and leaves the one that had it.
    void changeLayoutBtnByMenu(int tag);
    // Remembers the selected row and whether the information pane is expanded, for the next start.
    void saveJobSelIndexAndIsExp();

private:
    void buildTable();
    void buildMenu();
    void observeTable();
    void selectionDidChange();
    void showJobTableContext(QPoint windowPoint);
    void updateMenuItems();
    std::optional<TlvJobRowRecord> rowRecord(int row) const;

    TlvJobsHost& mHost;
    TlvJobInfoCntlr& mInfo;
    TlvJobListCntlr* mEditor = nullptr;
    QPointer<TlvTableView> mTable;
    QPointer<QMenu> mJobMenu;
    TlvJobRowRecord::Column mSortColumn = TlvJobRowRecord::Column::Num;
    bool mSortAscending = true;
};

} // namespace tlv
