// The enabling rules: with the data source's detailed settings in use the simple controls step back
// (disabled, their labels greyed) and the button to that dialog comes forward; the paper direction
// is a choice only for papers that fit the feeder both ways (A5, A6, B6).
#include "TlvScanSettingCntlr.h"

#include "Images.h"
#include "Strings.h"
#include "Tags.h"
#include "TlvUtilsMethod.h"
#include "VX_FWindow.h"
#include "VX_Func.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>

namespace {

TlvScanSettingCntlr* sScanSettingCntlr = nullptr;

constexpr int kPaperA5 = 2, kPaperA6 = 3, kPaperB6 = 5;
constexpr int kPictureSide = 32; /* px */

bool isTurnablePaper(int index) {
    return index == kPaperA5 || index == kPaperA6 || index == kPaperB6;
}

QButtonGroup* directionGroup(QWidget* matrix) {
    return matrix ? matrix->findChild<QButtonGroup*>() : nullptr;
}

} // namespace

TlvScanSettingCntlr::TlvScanSettingCntlr(tlv::TlvScanHost& host, TlvDeviceCntlr* device)
    : mHost(host), mDevice(device), mScnSttngWindow(new TlvScanSettingPanel) {
    connectActions();
    sScanSettingCntlr = this;
}

TlvScanSettingCntlr::~TlvScanSettingCntlr() {
    if (sScanSettingCntlr == this)
        sScanSettingCntlr = nullptr;
}

TlvScanSettingCntlr* TlvScanSettingCntlr::sharedScanSettingCntlr() {
    return sScanSettingCntlr;
}

QWidget* TlvScanSettingCntlr::scnSttngView() const {
    const TlvScanSettingPanel* panel = mScnSttngWindow.get(); // gone when the main window went first
    return panel ? panel->settingsView : nullptr;
}

template <typename T> T* TlvScanSettingCntlr::item(int tag) const {
    return appkit::viewWithTag<T>(itemInView(), tag);
}

void TlvScanSettingCntlr::connectActions() {
    QWidget* view = scnSttngView();
    const auto report = [this] { settingDidChangeFromScnStng(); };
    for (const int tag : {kColorMode, kResolution, kSides})
        QObject::connect(appkit::viewWithTag<QComboBox>(view, tag), &QComboBox::activated, view, report);
    QObject::connect(appkit::viewWithTag<QComboBox>(view, kPaperSize), &QComboBox::activated, view,
                     [this] { changePaperSize(); });
    QObject::connect(directionGroup(appkit::viewWithTag(view, kDirection)), &QButtonGroup::idClicked, view,
                     report);
    for (const int tag : {kDeskew, kRecCharDir})
        QObject::connect(appkit::viewWithTag<QCheckBox>(view, tag), &QCheckBox::clicked, view, report);
    QObject::connect(appkit::viewWithTag<QCheckBox>(view, kUseDriverSetting), &QCheckBox::clicked, view,
                     [this] { changeIsUseDriverSetting(); });
    QObject::connect(appkit::viewWithTag<QPushButton>(view, kOpenDriverSetting), &QPushButton::clicked, view,
                     [this] { openDeviceForSetting(); });
    QDialog* panel = mScnSttngWindow.get();
    QObject::connect(mScnSttngWindow->buttons, &QDialogButtonBox::accepted, panel,
                     [this] { closeScnSttng(kAcceptButton); });
    QObject::connect(mScnSttngWindow->buttons, &QDialogButtonBox::rejected, panel, &QDialog::reject);
    QObject::connect(panel, &QDialog::rejected, panel, [this] { closeScnSttng(0); });
}

void TlvScanSettingCntlr::setIsOpenJobListPanel(bool open, QWidget* editorView) {
    mIsOpenJobListPanel = open;
    mEditorView = open ? editorView : nullptr;
}

void TlvScanSettingCntlr::setTmpScnSettingMdl(TlvScanSettingMdl* model) {
    mTmpScnSettingMdl = model;
    if (!model || model != (mPanelCopy ? &*mPanelCopy : nullptr))
        mPanelCopy.reset();
}

QWidget* TlvScanSettingCntlr::itemInView() const {
    return mIsOpenJobListPanel && mEditorView ? mEditorView.data() : scnSttngView();
}

TlvScanSettingMdl* TlvScanSettingCntlr::curScnSetting() const {
    return mIsOpenJobListPanel ? mTmpScnSettingMdl : mHost.curScnMdlApp();
}

void TlvScanSettingCntlr::initScanSetting() {
    const TlvScanSettingMdl* model = curScnSetting();
    if (!model)
        return;
    const std::pair<int, int> popUps[] = {{kColorMode, model->scnStColType()},
                                          {kPaperSize, model->scnStPapSizeType()},
                                          {kResolution, model->scnStResType()},
                                          {kSides, model->scnStReaderSideType()}};
    for (const auto& [tag, index] : popUps)
        if (auto* box = item<QComboBox>(tag))
            box->setCurrentIndex(index);
    if (QButtonGroup* group = directionGroup(item<QWidget>(kDirection)))
        if (QAbstractButton* choice = group->button(model->scnStDirectionType()))
            choice->setChecked(true);
    const std::pair<int, bool> checks[] = {{kDeskew, model->isRevisionSlope()},
                                           {kRecCharDir, model->isRecCharDir()},
                                           {kUseDriverSetting, model->isUseDriverSetting()}};
    for (const auto& [tag, on] : checks)
        if (auto* box = item<QCheckBox>(tag))
            box->setChecked(on);
    updateCntlrs();
}

void TlvScanSettingCntlr::saveScanSetting() {
    TlvScanSettingMdl* model = curScnSetting();
    if (!model)
        return;
    if (auto* box = item<QComboBox>(kColorMode))
        model->setScnStColType(box->currentIndex());
    if (auto* box = item<QComboBox>(kPaperSize))
        model->setScnStPapSizeType(box->currentIndex());
    if (QButtonGroup* group = directionGroup(item<QWidget>(kDirection)); group && group->checkedId() >= 0)
        model->setScnStDirectionType(group->checkedId());
    if (auto* box = item<QComboBox>(kResolution))
        model->setScnStResType(box->currentIndex());
    if (auto* box = item<QComboBox>(kSides))
        model->setScnStReaderSideType(box->currentIndex());
    if (auto* box = item<QCheckBox>(kDeskew))
        model->setIsRevisionSlope(box->isChecked());
    if (auto* box = item<QCheckBox>(kRecCharDir))
        model->setIsRecCharDir(box->isChecked());
    if (auto* box = item<QCheckBox>(kUseDriverSetting))
        model->setIsUseDriverSetting(box->isChecked());
}

void TlvScanSettingCntlr::updateCntlrs() {
    auto* useDriver = item<QCheckBox>(kUseDriverSetting);
    const bool driver = useDriver && useDriver->isChecked();
    for (const int tag : {kColorModeLabel, kPaperSizeLabel, kDirectionLabel, kResolutionLabel, kSidesLabel})
        TlvUtilsMethod::setEnabledForText(!driver, item<QWidget>(tag));
    for (const int tag : {kColorMode, kPaperSize, kResolution, kSides, kDeskew, kRecCharDir})
        if (QWidget* control = item<QWidget>(tag))
            control->setEnabled(!driver);
    if (QWidget* button = item<QWidget>(kOpenDriverSetting))
        button->setEnabled(driver);
    if (auto* state = item<QLabel>(kUseDriverSettingState))
        state->setText(appkit::localized(driver ? "ScanSetting_UseAdvStr_On" : "ScanSetting_UseAdvStr_Off"));
    applyDirectionRule();
}

void TlvScanSettingCntlr::applyDirectionRule() {
    auto* useDriver = item<QCheckBox>(kUseDriverSetting);
    auto* paper = item<QComboBox>(kPaperSize);
    const bool turnable =
        !(useDriver && useDriver->isChecked()) && paper && isTurnablePaper(paper->currentIndex());
    if (QWidget* matrix = item<QWidget>(kDirection); matrix && matrix->isEnabled() != turnable)
        matrix->setEnabled(turnable);
    const std::pair<int, const char*> pictures[] = {
        {kDirectionPictureV, turnable ? "DRV_SIZE_V_E" : "DRV_SIZE_V_G"},
        {kDirectionPictureH, turnable ? "DRV_SIZE_H_E" : "DRV_SIZE_H_G"}};
    for (const auto& [tag, name] : pictures)
        if (auto* picture = item<QLabel>(tag))
            picture->setPixmap(appkit::bundleIcon(name).pixmap(kPictureSide, kPictureSide));
}

void TlvScanSettingCntlr::changePaperSize() {
    applyDirectionRule();
    settingDidChangeFromScnStng();
}

void TlvScanSettingCntlr::changeIsUseDriverSetting() {
    updateCntlrs();
    settingDidChangeFromScnStng();
}

void TlvScanSettingCntlr::settingDidChangeFromScnStng() {
    mHost.settingDidChangeSendPerform();
}

void TlvScanSettingCntlr::runModalScnSttng() {
    initScanSetting();
    changeKeyViewScnSettingPnl();
    mScnSttngWindow->setWindowTitle(appkit::localized("Title_ScnStingWin"));
    QWidget* main = mHost.tlvMainWindow();
    VX_Func::windowPositionAdjustment(mScnSttngWindow.get(), main, VX_Func::kAlignCentre);
    mIsPanelOpen = true;
    VX_FWindow::beginModalWindow(mScnSttngWindow.get(), main);
}

void TlvScanSettingCntlr::closeScnSttng(int senderTag) {
    if (!mIsPanelOpen)
        return;
    mIsPanelOpen = false;
    if (senderTag == kAcceptButton) {
        if (mTmpScnSettingMdl)
            mHost.setScnStngInFOAJLMdl(*mTmpScnSettingMdl);
        saveScanSetting();
        mHost.setJobInfo_Foa();
    }
    setTmpScnSettingMdl(nullptr);
    VX_FWindow::endModalWindow(mScnSttngWindow.get());
}

void TlvScanSettingCntlr::openDeviceForSetting() {
    if (mHost.isOpenQSWin() || !mHost.isCheckValidSyncDriver() || !mDevice)
        return;
    if (!mTmpScnSettingMdl) {
        const TlvScanSettingMdl* current = curScnSetting();
        if (!current)
            return;
        mPanelCopy = *current;
        mTmpScnSettingMdl = &*mPanelCopy;
    }
    if (auto* useDriver = item<QCheckBox>(kUseDriverSetting))
        mTmpScnSettingMdl->setIsUseDriverSetting(useDriver->isChecked());
    mDevice->openDS(mTmpScnSettingMdl, true);
}

void TlvScanSettingCntlr::changeKeyViewScnSettingPnl() {
    std::vector<QWidget*> order;
    for (const int tag : {kColorMode, kPaperSize, kDirection, kResolution, kSides, kDeskew, kRecCharDir,
                          kUseDriverSetting, kOpenDriverSetting, kCancelButton, kAcceptButton})
        if (QWidget* control = appkit::viewWithTag(mScnSttngWindow.get(), tag))
            order.push_back(control);
    VX_Func::setNextKeyViewsAtWindow(mScnSttngWindow.get(), order);
}
