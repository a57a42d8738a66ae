// The editor keeps its own ten rows (copies, by job number) and a working copy of the edited job,
// whose scan settings the scan-settings view edits in place. The output-function view edits its own
// copy of the output settings; that copy is taken over when the output changes or the job is applied.
#include "TlvJobListCntlr.h"

#include "TlvAppState.h"
#include "TlvJobIcons.h"
#include "TlvJobInfoCntlr.h"
#include "TlvJobTableCntlr.h"
#include "TlvPopUps.h"

#include "FilteringFields.h"
#include "Images.h"
#include "Strings.h"
#include "Tags.h"
#include "TlvUtilsMethod.h"
#include "VX_Exception.h"
#include "VX_FWindow.h"
#include "VX_Func.h"
#include "VX_Message.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tlv {
namespace {

using appkit::tagged;

enum EditColumn : int { kNumColumn, kTitleColumn, kOutPutColumn, kBtnColumn };
constexpr int kNumColumnMinWidth = 22, kBtnColumnMinWidth = 42; // points

// Escape and the window's close button go the way of Cancel, which may keep the panel open.
class TlvJobListPanel final : public QDialog {
public:
    explicit TlvJobListPanel(std::function<void()> cancel) : mCancel(std::move(cancel)) {}
    void reject() override { mCancel(); }

private:
    std::function<void()> mCancel;
};

} // namespace

TlvJobListCntlr::TlvJobListCntlr(TlvJobsHost& host, TlvJobTableCntlr& table, TlvJobInfoCntlr& info,
                                 TlvFunctionViewCntlr& funcView, TlvScanSettingCntlr* scanSetting)
    : mHost(host), mTable(table), mInfo(info), mFuncView(funcView), mScanSetting(scanSetting) {
    buildPanel();
    mTable.setJobListCntlr(this);
}

TlvJobListCntlr::~TlvJobListCntlr() {
    mTable.setJobListCntlr(nullptr);
    if (isJobListPanelVisible())
        endEditing();
    delete mJobListEditPanel.data();
}

void TlvJobListCntlr::buildPanel() {
    mJobListEditPanel = new TlvJobListPanel([this] { closeJobList(kCancel); });
    QDialog* panel = mJobListEditPanel;

    mEditTable = tagged(new TlvTableView, kTable);
    mEditTable->referUseCustomInfo()->isUseCstmKeyDown = 1;
    mEditTable->setColumnCount(4);
    mEditTable->setHorizontalHeaderLabels(
        {appkit::localized("JobList_Num"), appkit::localized("JobList_Title"),
         appkit::localized("JobList_OutPut"), appkit::localized("JobList_Btn")});
    mEditTable->setIconSize(QSize(kJobIconSize, kJobIconSize));
    QHeaderView* header = mEditTable->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(kTitleColumn, QHeaderView::Stretch);
    header->setMinimumSectionSize(std::min(kNumColumnMinWidth, kBtnColumnMinWidth));
    header->resizeSection(kBtnColumn, kBtnColumnMinWidth);
    mEditTable->verticalHeader()->setDefaultSectionSize(kJobIconSize + 4);
    mEditTable->setAccessibleName(appkit::localized("JobList_Jobs"));
    mEditTable->setWordWrap(false);
    QObject::connect(mEditTable, &QTableWidget::itemSelectionChanged, panel,
                     [this] { QTimer::singleShot(0, mJobListEditPanel, [this] { rowSwitchRequested(); }); });
    QObject::connect(mEditTable, &TlvTableView::sortDescriptorsDidChange, panel,
                     [this](int column, Qt::SortOrder order) { sortEditRows(column, order); });

    mJobNum = tagged(new QLabel, kJobNum);
    mTitle = tagged(new appkit::FTextField, kTitle);
    mTitle->setValidLength(kTitleLength);
    mTitle->setInvalidCharsInString("\r\n");
    QObject::connect(mTitle, &QLineEdit::textEdited, panel, [this] { changeEnableAppliesBtn(true); });
    mOutput = tagged(new TlvFuncPopUp, kOutput);
    QObject::connect(mOutput, &QComboBox::activated, panel,
                     [this] { changeFunction(mOutput->selectedTag()); });

    mJLEditTabView = tagged(new QTabWidget, kTabs);
    mOutPutDmyView = new QWidget;
    new QVBoxLayout(mOutPutDmyView);
    mScnStngDmyView = new QWidget;
    new QVBoxLayout(mScnStngDmyView);
    mJLEditTabView->addTab(mOutPutDmyView, appkit::localized("JobList_Tab_OutPut"));
    mJLEditTabView->addTab(mScnStngDmyView, appkit::localized("JobList_Tab_ScnStng"));
    mJLEditTabView->addTab(buildButtonTab(), appkit::localized("JobList_Tab_SelBtn"));

    auto* box = new QDialogButtonBox;
    mApply = tagged(box->addButton(appkit::localized("Apply"), QDialogButtonBox::ApplyRole), kApply);
    QPushButton* cancel =
        tagged(box->addButton(appkit::localized("Cancel"), QDialogButtonBox::RejectRole), kCancel);
    QPushButton* ok = tagged(box->addButton(appkit::localized("OK"), QDialogButtonBox::AcceptRole), kOK);
    ok->setDefault(true);
    for (const auto& [button, tag] : {std::pair{mApply, kApply}, {cancel, kCancel}, {ok, kOK}}) {
        const int closeTag = tag;
        QObject::connect(button, &QPushButton::clicked, panel, [this, closeTag] { closeJobList(closeTag); });
    }

    auto* form = new QFormLayout;
    form->addRow(tagged(new QLabel(appkit::localized("JobList_NumStr")), kJobNum - 1), mJobNum);
    form->addRow(tagged(new QLabel(appkit::localized("JobList_TitleStr")), kTitleCaption), mTitle);
    form->addRow(tagged(new QLabel(appkit::localized("JobList_OutPutStr")), kOutputCaption), mOutput);
    auto* editing = new QVBoxLayout;
    editing->addLayout(form);
    editing->addWidget(mJLEditTabView, 1);
    auto* columns = new QHBoxLayout;
    columns->addWidget(mEditTable);
    columns->addLayout(editing, 1);
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(columns, 1);
    layout->addWidget(box);
}

QWidget* TlvJobListCntlr::buildButtonTab() {
    auto* tab = new QWidget;
    auto* matrix = tagged(new QWidget, kBtnMatrix);
    auto* rows = new QVBoxLayout(matrix);
    rows->setContentsMargins(0, 0, 0, 0);
    mBtnMatrix = new QButtonGroup(matrix);
    const char* keys[] = {"JobList_BtnAssignment_StartBtn", "JobList_BtnAssignment_Non"};
    for (int row = 0; row < 2; ++row) {
        auto* choice = tagged(new QRadioButton(appkit::localized(keys[row])), row);
        mBtnMatrix->addButton(choice, row);
        rows->addWidget(choice);
    }
    QObject::connect(mBtnMatrix, &QButtonGroup::idClicked, tab, [this] { changeEnableAppliesBtn(true); });
    auto* image = tagged(new QToolButton, kStartBtnImage);
    image->setIcon(appkit::bundleIcon("thms_BTN_Start_32"));
    image->setIconSize(QSize(kJobIconSize, kJobIconSize));
    image->setAutoRaise(true);
    image->setToolTip(appkit::localized("JobList_BtnAssignment_StartBtn"));
    image->setAccessibleName(image->toolTip());
    QObject::connect(image, &QToolButton::clicked, tab, [this] {
        mBtnMatrix->button(0)->setChecked(true);
        changeEnableAppliesBtn(true);
    });
    auto* line = new QHBoxLayout;
    line->addWidget(image, 0, Qt::AlignTop);
    line->addWidget(matrix, 1);
    auto* column = new QVBoxLayout(tab);
    column->addLayout(line);
    column->addStretch(1);
    return tab;
}

void TlvJobListCntlr::changeEnableAppliesBtn(bool changed) {
    mIsChangedJobList = changed;
    mApply->setEnabled(changed);
}

void TlvJobListCntlr::showJobList(bool isNew) {
    if (isJobListPanelVisible() || mHost.isBatchRunning())
        return;
    mIsShowedErrPanel = false;
    mFuncView.setIsOpenJobListPanel(true, mOutPutDmyView);
    if (mScanSetting)
        mScanSetting->setIsOpenJobListPanel(true, mScnStngDmyView);
    initJobListEditTV(isNew || mTable.selectedRow() < 0);
    mJLEditTabView->setCurrentIndex(kTabOutPut);
    changeEnableAppliesBtn(false);
    updateTableView();
    QWidget* main = mHost.tlvMainWindow();
    VX_Func::windowPositionAdjustment(mJobListEditPanel, main, VX_Func::kAlignCentre);
    VX_FWindow::beginModalWindow(mJobListEditPanel, main);
}

void TlvJobListCntlr::initJobListEditTV(bool isNew) {
    mTmpJobListMdlArray = mHost.jobLists().jobListMdlArrayCopy();
    const TlvJobListSettingMdl* selected = isNew ? nullptr : mHost.selJobListMdl();
    const std::int32_t number = selected ? selected->jList_Num() : 0;
    std::ranges::stable_sort(mTmpJobListMdlArray, {},
                             [](const TlvJobListStorage::Row& job) { return job->jList_Num(); });
    mEditTable->horizontalHeader()->setSortIndicator(kNumColumn, Qt::AscendingOrder);
    const auto found = std::ranges::find_if(mTmpJobListMdlArray, [&](const TlvJobListStorage::Row& job) {
        return isNew ? job->isBlank() : job->jList_Num() == number;
    });
    mDispEditJobIndex =
        found == mTmpJobListMdlArray.end() ? 0 : static_cast<int>(found - mTmpJobListMdlArray.begin());
    reloadEditTable();
}

void TlvJobListCntlr::reloadEditTable() {
    const QSignalBlocker quiet(mEditTable);
    const bool foaStart = mHost.appSettingObj().isBtn1AllocFOAScan();
    mEditTable->setRowCount(static_cast<int>(mTmpJobListMdlArray.size()));
    for (int row = 0; row < mEditTable->rowCount(); ++row) {
        const TlvJobListSettingMdl& job = *mTmpJobListMdlArray[static_cast<std::size_t>(row)];
        const QString title = job.isBlank() ? appkit::localized("JobList_UnTitled")
                                            : QString::fromStdString(*job.jList_Title());
        mEditTable->setItem(row, kNumColumn,
                            new QTableWidgetItem(QString::asprintf("%02d", job.jList_Num())));
        mEditTable->setItem(row, kTitleColumn, new QTableWidgetItem(title));
        mEditTable->setItem(row, kOutPutColumn, new QTableWidgetItem(jobFuncTypeIcon(job), QString()));
        mEditTable->setItem(row, kBtnColumn, new QTableWidgetItem(jobScanBtnIcon(job, foaStart), QString()));
    }
    fitEditTableToTitles();
    mEditTable->selectRow(mDispEditJobIndex);
}

void TlvJobListCntlr::fitEditTableToTitles() {
    // Wide enough for every title at the desktop's font and scale, so that none is cut short.
    const QHeaderView* header = mEditTable->horizontalHeader();
    const QAbstractItemView* view = mEditTable; // where the content's width is public
    int width = 2 * mEditTable->frameWidth() + mEditTable->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < mEditTable->columnCount(); ++column)
        width += std::max(view->sizeHintForColumn(column), header->sectionSizeHint(column));
    mEditTable->setMinimumWidth(width);
}

void TlvJobListCntlr::updateTableView() {
    if (mDispEditJobIndex < 0 || static_cast<std::size_t>(mDispEditJobIndex) >= mTmpJobListMdlArray.size())
        return;
    mTmpJobListSettingMdl = std::make_unique<TlvJobListSettingMdl>(
        mTmpJobListMdlArray[static_cast<std::size_t>(mDispEditJobIndex)]->copyWithZone());
    const TlvJobListSettingMdl& job = *mTmpJobListSettingMdl;
    mJobNum->setText(appkit::localized("JobList_JobNum").arg(job.jList_Num()));
    mTitle->setText(QString::fromStdString(job.jList_Title().value_or(std::string())));
    mJobListEditPanel->setWindowTitle(
        appkit::localized(job.isBlank() ? "Title_JobStingNewWin" : "Title_JobStingEditWin"));
    // A stored function outside the list is shown, and kept, as saving to a folder.
    mOutput->selectItemWithTag(job.jList_FunctionType());
    if (mOutput->selectedTag() < 0)
        mOutput->selectItemWithTag(kFuncSave);
    mTmpJobListSettingMdl->setJList_FunctionType(mOutput->selectedTag());
    mBtnMatrix->button(btnIndexFromStatus(job.jList_ScanBtnStatus()))->setChecked(true);
    showOutputView();
    if (mScanSetting) {
        mScanSetting->setTmpScnSettingMdl(mTmpJobListSettingMdl->jList_ScanSettingMdl().get());
        mScanSetting->initScanSetting();
    }
}

void TlvJobListCntlr::showOutputView() {
    mFuncView.initFuncMainView(*mTmpJobListSettingMdl->jList_FuncSettingMdl());
}

void TlvJobListCntlr::changeFunction(int type) {
    if (!mTmpJobListSettingMdl)
        return;
    // The view's edits of the output left behind stay with the job until it is applied.
    if (const TlvFuncSettingMdl* edited = mFuncView.tmpFuncSettingMdl())
        mTmpJobListSettingMdl->setJList_FuncSettingMdl(std::make_shared<TlvFuncSettingMdl>(*edited));
    mTmpJobListSettingMdl->setJList_FunctionType(type);
    showOutputView();
    mJLEditTabView->setCurrentIndex(kTabOutPut);
    changeEnableAppliesBtn(true);
}

bool TlvJobListCntlr::renewRowData() {
    if (!mTmpJobListSettingMdl)
        return true;
    const std::optional<QString> title = TlvUtilsMethod::deleteSpaceHeadAndTail(mTitle->text());
    try {
        if (!title || title->isEmpty())
            throw VX_Exception("Err_NonJobTitle");
        mFuncView.saveFuncSettingFromCntlr();
    } catch (...) {
        VX_Message::showErrorPanel(std::current_exception(), mJobListEditPanel);
        mIsShowedErrPanel = true;
        return false;
    }
    TlvJobListSettingMdl& job = *mTmpJobListSettingMdl;
    job.setJList_Title(title->toStdString());
    if (mScanSetting)
        mScanSetting->saveScanSetting();
    auto func = std::make_shared<TlvFuncSettingMdl>(*mFuncView.tmpFuncSettingMdl());
    job.setJList_FunctionType(mOutput->selectedTag());
    func->clearExceptTargetFunc(job.jList_FunctionType());
    job.setJList_FuncSettingMdl(std::move(func));
    job.setJList_ScanBtnStatus(btnStatusFromIndex(mBtnMatrix->checkedId()));
    mHost.jobLists().replaceMdlInJLMdlArray(job);
    for (TlvJobListStorage::Row& row : mTmpJobListMdlArray) {
        if (row->jList_Num() == job.jList_Num())
            row = std::make_shared<TlvJobListSettingMdl>(job.copyWithZone());
        else if (TlvJobListSettingMdl::isScanButton(job.jList_ScanBtnStatus()) &&
                 row->jList_ScanBtnStatus() == job.jList_ScanBtnStatus())
            row->setJList_ScanBtnStatus(TlvJobListSettingMdl::kNoButton);
    }
    reloadEditTable();
    mTable.reloadData();
    changeEnableAppliesBtn(false);
    mIsShowedErrPanel = false;
    return true;
}

// Each button says what it does: "OK" and "Cancel" after the user's own Cancel would read as the reverse.
// Return applies, as it answers OK to this question; Escape discards.
bool TlvJobListCntlr::askApplyChanges() {
    return VX_Message::showPanelStyle("Confirm", "Cnfm_JobListPanelYesOrNo", "Btn_ApplyChanges",
                                      "Btn_DiscardChanges", nullptr, VX_Message::kInformationalStyle,
                                      0) == VX_Message::kFirstButton;
}

void TlvJobListCntlr::rowSwitchRequested() {
    if (!isJobListPanelVisible())
        return;
    const QModelIndexList rows = mEditTable->selectionModel()->selectedRows();
    const int row = rows.isEmpty() ? -1 : rows.front().row();
    if (row < 0 || row == mDispEditJobIndex)
        return;
    // Unapplied edits: applied, and a failed apply keeps the row so that nothing is lost; or dropped.
    if (mIsChangedJobList && askApplyChanges() && !renewRowData()) {
        const QSignalBlocker quiet(mEditTable);
        mEditTable->selectRow(mDispEditJobIndex);
        return;
    }
    mDispEditJobIndex = row;
    updateTableView();
    changeEnableAppliesBtn(false);
    mIsShowedErrPanel = false;
}

void TlvJobListCntlr::sortEditRows(int column, Qt::SortOrder order) {
    if (mTmpJobListMdlArray.empty() || column < 0 || column > kBtnColumn)
        return;
    const TlvJobListStorage::Row edited =
        mTmpJobListMdlArray[static_cast<std::size_t>(std::clamp<int>(mDispEditJobIndex, 0, 9))];
    constexpr TlvJobRowRecord::Column kKeys[] = {TlvJobRowRecord::Column::Num, TlvJobRowRecord::Column::Title,
                                                 TlvJobRowRecord::Column::Output,
                                                 TlvJobRowRecord::Column::Btn};
    const auto key = kKeys[column];
    const bool ascending = order == Qt::AscendingOrder;
    std::ranges::stable_sort(
        mTmpJobListMdlArray, [&](const TlvJobListStorage::Row& a, const TlvJobListStorage::Row& b) {
            return TlvJobRowRecord::isLess(*TlvJobRowRecord::jobListObjDict(a),
                                           *TlvJobRowRecord::jobListObjDict(b), key, ascending);
        });
    mDispEditJobIndex =
        static_cast<int>(std::ranges::find(mTmpJobListMdlArray, edited) - mTmpJobListMdlArray.begin());
    reloadEditTable();
}

void TlvJobListCntlr::closeJobList(int tag) {
    if (!isJobListPanelVisible())
        return;
    if (tag == kOK || tag == kApply) {
        if (mIsChangedJobList && !renewRowData())
            return;
    } else if (mIsChangedJobList && askApplyChanges() && !renewRowData()) {
        return;
    }
    if (mIsShowedErrPanel) {
        mIsShowedErrPanel = false;
        return;
    }
    if (tag == kApply)
        return;
    endEditing();
}

void TlvJobListCntlr::endEditing() {
    VX_FWindow::endModalWindow(mJobListEditPanel);
    mFuncView.setIsOpenJobListPanel(false);
    if (mScanSetting) {
        mScanSetting->setTmpScnSettingMdl(nullptr);
        mScanSetting->setIsOpenJobListPanel(false);
    }
    mTmpJobListSettingMdl.reset();
    mTmpJobListMdlArray.clear();
    mDispEditJobIndex = -1;
    changeEnableAppliesBtn(false);
    mTable.tableViewOriginalSort(false);
    mInfo.updateTopJobInfo();
}

void TlvJobListCntlr::deleteSelJob() {
    if (mHost.isBatchRunning() || isJobListPanelVisible())
        return;
    const int selected = mTable.selectedRow();
    TlvJobListSettingMdl* job = mHost.selJobListMdl();
    if (!job || selected < 0) {
        VX_Message::showPanelMsgKeyIsCritical("Error", "Err_NoSelectedJob", "OK", nullptr, true);
        return;
    }
    if (VX_Message::showPanelStyle("Confirm", "Cnfm_JobDeleteYesOrNo", "OK", "Cancel", nullptr,
                                   VX_Message::kInformationalStyle, 1) != VX_Message::kFirstButton)
        return;
    const int row = mHost.appSettingObj().forDisplayJobIndex();
    if (mHost.jobLists().titledJobAt(row).get() != job)
        return; // the list changed while the question was up
    mHost.jobLists().deleteJob(row);
    mTable.tableViewOriginalSort(false);
    if (mHost.jobLists().countOfJLMdlForMainJLDisp() > 0)
        mTable.selectRow(mTable.checkSelJobIndex(selected - 1));
    else
        mTable.selectRow(-1);
    mHost.appSettingObj().setForDisplayJobIndex(mTable.selectedRow());
    mInfo.updateTopJobInfo();
}

} // namespace tlv
