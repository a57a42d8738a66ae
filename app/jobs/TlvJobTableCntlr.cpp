#include "TlvJobTableCntlr.h"

#include "TlvJobIcons.h"
#include "TlvJobInfoCntlr.h"
#include "TlvJobListCntlr.h"

#include "Strings.h"
#include "Tags.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace tlv {
namespace {

constexpr int kBtnColumnMinWidth = 42; // points
constexpr int kRowSpacing = 17;        // points between rows, over the icon
constexpr TlvJobRowRecord::Column kColumnKeys[] = {
    TlvJobRowRecord::Column::Output, TlvJobRowRecord::Column::Title, TlvJobRowRecord::Column::Btn};

} // namespace

TlvJobTableCntlr::TlvJobTableCntlr(TlvJobsHost& host, TlvJobInfoCntlr& info) : mHost(host), mInfo(info) {
    buildTable();
    buildMenu();
    observeTable();
    // Stored lists of older versions may hold unused slots among the jobs.
    tableViewOriginalSort(false);
    const int stored = mHost.appSettingObj().selJobIndex();
    if (stored >= 0 && mHost.jobLists().countOfJLMdlForMainJLDisp() > 0)
        selectRow(checkSelJobIndex(stored));
    else
        selectRow(-1);
}

TlvJobTableCntlr::~TlvJobTableCntlr() {
    if (mTable && !mTable->parent())
        delete mTable.data();
    delete mJobMenu.data();
}

void TlvJobTableCntlr::buildTable() {
    mTable = appkit::tagged(new TlvTableView, kJobTable);
    TlvTableView::SUseCustomInfo* custom = mTable->referUseCustomInfo();
    custom->isUseCstmRightMouseDown = 1;
    custom->isUseCstmMouseDown = 1;
    custom->isUseCstmPerformKeyEquivalent = 1;
    custom->isUseCstmKeyDown = 1;
    mTable->setCustomDoubleAction([this] {
        if (mEditor)
            mEditor->showJobList(false);
    });
    mTable->setColumnCount(3);
    mTable->setHorizontalHeaderLabels({appkit::localized("JobList_OutPut"),
                                       appkit::localized("JobList_Title"), appkit::localized("JobList_Btn")});
    mTable->setIconSize(QSize(kJobIconSize, kJobIconSize));
    QHeaderView* header = mTable->horizontalHeader();
    header->setSectionResizeMode(kOutPutColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(kJobTitleColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(kBtnColumn, QHeaderView::ResizeToContents);
    header->setMinimumSectionSize(kBtnColumnMinWidth);
    mTable->verticalHeader()->setDefaultSectionSize(kJobIconSize + kRowSpacing / 2);
    mTable->setAccessibleName(appkit::localized("JobList_Jobs"));
    QObject::connect(mTable, &QTableWidget::itemSelectionChanged, mTable, [this] { selectionDidChange(); });
    QObject::connect(mTable, &TlvTableView::sortDescriptorsDidChange, mTable,
                     [this](int column, Qt::SortOrder order) {
                         if (column < 0 || column >= 3)
                             return;
                         mSortColumn = kColumnKeys[column];
                         mSortAscending = order == Qt::AscendingOrder;
                         tableViewOriginalSort(true);
                     });
}

void TlvJobTableCntlr::buildMenu() {
    mJobMenu = new QMenu;
    const auto add = [this](const char* key, int tag) {
        QAction* action = mJobMenu->addAction(appkit::localized(key));
        appkit::setTag(action, tag);
        return action;
    };
    QObject::connect(add("JobMenu_Edit", kMenuEdit), &QAction::triggered, mJobMenu, [this] {
        if (mEditor)
            mEditor->showJobList(false);
    });
    QObject::connect(add("JobMenu_LayoutBtn", kMenuLayoutBtn), &QAction::triggered, mJobMenu,
                     [this] { changeLayoutBtnByMenu(kMenuLayoutBtn); });
    mJobMenu->addSeparator();
    QObject::connect(add("JobMenu_Delete", kMenuDelete), &QAction::triggered, mJobMenu, [this] {
        if (mEditor)
            mEditor->deleteSelJob();
    });
    QObject::connect(mJobMenu, &QMenu::aboutToShow, mJobMenu, [this] { updateMenuItems(); });
}

void TlvJobTableCntlr::updateMenuItems() {
    const bool editable = !mHost.isBatchRunning();
    const bool selected = mHost.selJobListMdl() != nullptr;
    for (QAction* action : mJobMenu->actions())
        if (const std::optional<int> tag = appkit::tagOf(action))
            action->setEnabled(editable && (*tag == kMenuEdit || selected));
}

void TlvJobTableCntlr::observeTable() {
    QObject::connect(mTable, &TlvTableView::rowSelected, mTable,
                     [this](int row) { mHost.appSettingObj().setForDisplayJobIndex(row); });
    QObject::connect(mTable, &TlvTableView::rowRightClicked, mTable,
                     [this](QPoint where) { showJobTableContext(where); });
    QObject::connect(mTable, &TlvTableView::deleteKeyPressed, mTable, [this] {
        if (mEditor)
            mEditor->deleteSelJob();
    });
}

void TlvJobTableCntlr::attachTo(QWidget* container, QWidget* window) {
    if (container) {
        if (!container->layout()) {
            auto* layout = new QVBoxLayout(container);
            layout->setContentsMargins(0, 0, 0, 0);
        }
        container->layout()->addWidget(mTable);
    }
    if (auto* edit = appkit::viewWithTag<QAbstractButton>(window, kEditButton))
        QObject::connect(edit, &QAbstractButton::clicked, mTable, [this] {
            if (mEditor)
                mEditor->showJobList(false);
        });
    if (auto* add = appkit::viewWithTag<QAbstractButton>(window, kNewButton))
        QObject::connect(add, &QAbstractButton::clicked, mTable, [this] {
            if (mEditor)
                mEditor->showJobList(true);
        });
}

int TlvJobTableCntlr::selectedRow() const {
    const QModelIndexList rows = mTable->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void TlvJobTableCntlr::selectRow(int row) {
    if (row >= 0 && row < mTable->rowCount()) {
        mTable->selectRow(row);
    } else {
        mTable->clearSelection();
        mHost.appSettingObj().setForDisplayJobIndex(-1);
    }
}

std::optional<TlvJobRowRecord> TlvJobTableCntlr::rowRecord(int row) const {
    return TlvJobRowRecord::jobListObjDict(mHost.jobLists().titledJobAt(row));
}

void TlvJobTableCntlr::reloadData() {
    const QSignalBlocker quiet(mTable);
    const int selected = selectedRow();
    const int count = mHost.jobLists().countOfJLMdlForMainJLDisp();
    const bool foaStart = mHost.appSettingObj().isBtn1AllocFOAScan();
    mTable->setRowCount(count);
    for (int row = 0; row < count; ++row) {
        const TlvJobListStorage::Row job = mHost.jobLists().jobListMdlAtIndex(row);
        auto* output = new QTableWidgetItem(jobFuncTypeIcon(*job), QString());
        auto* title =
            new QTableWidgetItem(QString::fromStdString(job->jList_Title().value_or(std::string())));
        auto* button = new QTableWidgetItem(jobScanBtnIcon(*job, foaStart), QString());
        mTable->setItem(row, kOutPutColumn, output);
        mTable->setItem(row, kJobTitleColumn, title);
        mTable->setItem(row, kBtnColumn, button);
    }
    if (selected >= 0 && selected < count)
        mTable->selectRow(selected);
}

void TlvJobTableCntlr::selectionDidChange() {
    const int row = selectedRow();
    mHost.appSettingObj().setForDisplayJobIndex(row);
    if (mEditor && mEditor->isJobListPanelVisible())
        return;
    // After the table's own handling of the click, also while a panel or a menu runs.
    QTimer::singleShot(0, mTable, [this] { mInfo.updateTopJobInfo(); });
}

int TlvJobTableCntlr::checkSelJobIndex(int index) const {
    const int count = mHost.jobLists().countOfJLMdlForMainJLDisp();
    return std::clamp(index, 0, std::max(count - 1, 0));
}

void TlvJobTableCntlr::tableViewOriginalSort(bool isFromSort) {
    TlvJobListStorage& lists = mHost.jobLists();
    const TlvJobListStorage::Row selected = lists.titledJobAt(selectedRow());
    const TlvJobListStorage::Row shown = lists.titledJobAt(mHost.appSettingObj().forDisplayJobIndex());
    const TlvJobRowRecord::Column column = mSortColumn;
    const bool ascending = mSortAscending;
    lists.sortRows(
        [isFromSort, column, ascending](const TlvJobListSettingMdl& a, const TlvJobListSettingMdl& b) {
            if (a.isBlank() != b.isBlank())
                return !a.isBlank();
            if (!isFromSort)
                return false;
            const auto recordOf = [](const TlvJobListSettingMdl& job) {
                return *TlvJobRowRecord::jobListObjDict(std::make_shared<TlvJobListSettingMdl>(job));
            };
            return TlvJobRowRecord::isLess(recordOf(a), recordOf(b), column, ascending);
        });
    const auto indexOf = [&lists](const TlvJobListStorage::Row& job) {
        const auto& rows = lists.jobListMdlArray();
        const auto found = std::ranges::find(rows, job);
        return job && found != rows.end() ? static_cast<int>(found - rows.begin()) : -1;
    };
    reloadData();
    const QSignalBlocker quiet(mTable);
    if (const int row = indexOf(selected); row >= 0) {
        mTable->selectRow(row);
        mHost.appSettingObj().setForDisplayJobIndex(row);
    } else if (const int row = indexOf(shown); row >= 0) {
        mHost.appSettingObj().setForDisplayJobIndex(row);
    }
}

void TlvJobTableCntlr::changeLayoutBtnByMenu(int tag) {
    if (mHost.isBatchRunning())
        return;
    const int row = mHost.appSettingObj().forDisplayJobIndex();
    if (!mHost.jobLists().titledJobAt(row))
        return;
    mHost.jobLists().assignScanButton(row, tag == kMenuLayoutBtn ? 1 : TlvJobListSettingMdl::kNoButton);
    reloadData();
}

void TlvJobTableCntlr::showJobTableContext(QPoint windowPoint) {
    if (!mTable || !mTable->window())
        return;
    mJobMenu->popup(mTable->window()->mapToGlobal(windowPoint));
}

void TlvJobTableCntlr::saveJobSelIndexAndIsExp() {
    mHost.appSettingObj().setSelJobIndex(selectedRow());
    mHost.appSettingObj().setIsExpJobInfo(mInfo.jobInfoForJOBView()->isExpansion());
}

} // namespace tlv
