// See TlvFunctionViewCntlr.h: the view's widgets, their layout by function type, scan mode and state,
// filling them from the settings copy, and the folder, application and printer choosers. The checks,
// storing and the OK and cancel buttons are in TlvFunctionViewCheck.cpp.
#include "TlvFunctionViewCntlr.h"
#include "TlvAppState.h"

#include "DialogButtons.h"
#include "TlvJobListSettingMdl.h"
#include "TlvOutputOptions.h"
#include "TlvPopUps.h"
#include "TlvPrintInfo.h"

#include "Applications.h"
#include "DesktopEntry.h"
#include "FilteringFields.h"
#include "StandardFolders.h"
#include "Strings.h"
#include "Tags.h"
#include "TlvUtilsMethod.h"
#include "VX_Message.h"
#include <QDialogButtonBox>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlv {
namespace fs = std::filesystem;
namespace {

constexpr int kFileNameLength = 64, kFileNamesLength = 250; // characters

using appkit::tagged;

QWidget* section(const char* titleKey, QLayout* content) {
    auto* view = new QWidget;
    auto* column = new QVBoxLayout(view);
    column->setContentsMargins(0, 0, 0, 4);
    column->addWidget(new QLabel(appkit::localized(titleKey)));
    column->addLayout(content);
    return view;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets, int stretchAt) {
    auto* line = new QHBoxLayout;
    int i = 0;
    for (QWidget* widget : widgets)
        line->addWidget(widget, i++ == stretchAt ? 1 : 0);
    return line;
}

} // namespace

TlvFunctionViewCntlr::TlvFunctionViewCntlr(TlvFuncViewHost& host)
    : mHost(host), mTmpFuncSettingMdl(std::make_unique<TlvFuncSettingMdl>()) {
    buildViews();
    connectControls();
    mFileNameCntlr = std::make_unique<TlvFileNameSettingCntlr>(*this);
    mFileOptionCntlr = std::make_unique<TlvFileOptionSettingCntlr>(*this);
}

TlvFunctionViewCntlr::~TlvFunctionViewCntlr() {}

QWidget* TlvFunctionViewCntlr::buildAppNameSection() {
    mApps = tagged(new QComboBox, kTagAppPath);
    mApps->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    QObject::connect(mApps, &QComboBox::activated, mApps, [this] {
        mTmpFuncSettingMdl->setApplicationName(chosenApp());
        textDidChange(kTagAppPath);
    });
    auto* choose = tagged(new QPushButton(appkit::localized("Func_Choose")), kTagChooseApp);
    QObject::connect(choose, &QPushButton::clicked, mApps, [this] { showSelectAppPnl(); });
    return section("Func_AppName", row({mApps, choose}, 0));
}

QWidget* TlvFunctionViewCntlr::buildFileNameSection() {
    mFileName = tagged(new appkit::FTextField, kTagFileName);
    mFileName->setValidLength(kFileNameLength);
    mFileName->setInvalidCharsInString("\r\n");
    mFileNames = tagged(new appkit::FComboBox, kTagFileNames);
    mFileNames->setValidLength(kFileNamesLength);
    mFileNames->setInvalidCharsInString("\r\n");
    mFileNames->setMaxVisibleItems(10);
    mFNSetting = tagged(new QPushButton(appkit::localized("Func_FNSetting")), kTagFNSetting);
    mUseFNSetting = tagged(new QCheckBox(appkit::localized("Func_UseFNSetting")), kTagUseFNSetting);
    auto* content = new QVBoxLayout;
    content->addLayout(row({mFileName, mFileNames, mFNSetting}, 0));
    content->addWidget(mUseFNSetting);
    return section("Func_FileName", content);
}

QWidget* TlvFunctionViewCntlr::buildFileFormatSection() {
    mFileFormat = tagged(new TlvFileFormatPopUp, kTagFileFormat);
    auto* options = tagged(new QPushButton(appkit::localized("Func_Options")), kTagFileOption);
    QObject::connect(options, &QPushButton::clicked, mFileFormat, [this] {
        mFileOptionCntlr->runModalFileOptionPnl(mIsOpenJobListPanel, mFileFormat->selectedTag());
    });
    return section("Func_FileFormat", row({mFileFormat, options}, 0));
}

QWidget* TlvFunctionViewCntlr::buildSavePlaceSection() {
    mSavePicture = tagged(new QCheckBox(appkit::localized("Func_SavePicture")), kTagSavePicture);
    mSavePath = tagged(new appkit::FTextField, kTagSavePath);
    mSavePath->setValidLength(kMaxFolderPath);
    mSavePath->setInvalidCharsInString("\r\n");
    mChooseFolder = tagged(new QPushButton(appkit::localized("Func_Choose")), kTagChooseFolder);
    QObject::connect(mChooseFolder, &QPushButton::clicked, mSavePath, [this] { showSavePlacePnl(); });
    auto* content = new QVBoxLayout;
    content->addWidget(mSavePicture);
    content->addLayout(row({mSavePath, mChooseFolder}, 0));
    return section("Func_SavePlace", content);
}

void TlvFunctionViewCntlr::buildPrintView() {
    mPrintView = new QWidget(mFuncDummyView);
    mPrinterName = tagged(new QLineEdit, kTagPrinterName);
    mPrinterName->setReadOnly(true);
    auto* choose = tagged(new QPushButton(appkit::localized("Func_ChoosePrinter")), kTagChoosePrinter);
    mPrintLayout = tagged(new TlvPageLayoutPopUp, kTagPrintLayout);
    auto* pageLayout = tagged(new QPushButton(appkit::localized("Func_PageLayout")), kTagPageLayout);
    auto* column = new QVBoxLayout(mPrintView);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(section("Func_Printer", row({mPrinterName, choose}, 0)));
    column->addWidget(section("Func_PrintLayout", row({mPrintLayout, pageLayout}, 0)));
    column->addStretch(1);
    QObject::connect(choose, &QPushButton::clicked, mPrintView, [this] { showSelectPrinterPnl(false); });
    QObject::connect(pageLayout, &QPushButton::clicked, mPrintView, [this] { showSelectPrinterPnl(true); });
    QObject::connect(mPrintLayout, &QComboBox::activated, mPrintView, [this] {
        mTmpFuncSettingMdl->setPrintLayoutType(mPrintLayout->selectedTag());
        textDidChange(kTagPrintLayout);
    });
}

void TlvFunctionViewCntlr::buildViews() {
    mFuncDummyView = new QWidget(mFuncMainView.get());
    mFileMailAppView = new QWidget(mFuncDummyView);
    auto* sections = new QVBoxLayout(mFileMailAppView);
    sections->setContentsMargins(0, 0, 0, 0);
    mPartOfAppNameView = buildAppNameSection();
    mPartOfFileNameView = buildFileNameSection();
    mPartOfFileFormatView = buildFileFormatSection();
    mPartOfSavePlaceView = buildSavePlaceSection();
    for (QWidget* part :
         {mPartOfAppNameView, mPartOfFileNameView, mPartOfFileFormatView, mPartOfSavePlaceView})
        sections->addWidget(part);
    sections->addStretch(1);
    buildPrintView();
    auto* pages = new QVBoxLayout(mFuncDummyView);
    pages->setContentsMargins(0, 0, 0, 0);
    for (QWidget* page : {mFileMailAppView, mPrintView})
        pages->addWidget(page);
    const appkit::DialogButtons buttons = appkit::cancelAndOk(kTagCancel, kTagOK);
    mCancel = buttons.cancel;
    QPushButton* ok = buttons.ok;
    auto* column = new QVBoxLayout(mFuncMainView.get());
    column->addWidget(mFuncDummyView, 1);
    column->addWidget(buttons.box);
    QObject::connect(mCancel, &QPushButton::clicked, mFuncMainView.get(),
                     [this] { executeFunction(kTagCancel); });
    QObject::connect(ok, &QPushButton::clicked, mFuncMainView.get(), [this] { executeFunction(kTagOK); });
    mFuncMainView->setMinimumWidth(420);
}

void TlvFunctionViewCntlr::connectControls() {
    QObject::connect(mUseFNSetting, &QCheckBox::clicked, mFuncMainView.get(),
                     [this] { changeUseFNSetting(); });
    QObject::connect(mSavePicture, &QCheckBox::clicked, mFuncMainView.get(), [this] { changeSavePicture(); });
    QObject::connect(mFNSetting, &QPushButton::clicked, mFuncMainView.get(),
                     [this] { mFileNameCntlr->runModalFileNameSttngPnl(mIsOpenJobListPanel); });
    QObject::connect(mFileFormat, &QComboBox::activated, mFuncMainView.get(), [this] {
        mTmpFuncSettingMdl->setFileFormatType(mFileFormat->selectedTag(), entryIndex());
        fillApps();
        changeUseFNSetting(); // the name shown carries no extension, but the rule's checks do
        textDidChange(kTagFileFormat);
    });
    QObject::connect(mFileName, &QLineEdit::textEdited, mFuncMainView.get(),
                     [this] { textDidChange(kTagFileName); });
    QObject::connect(mSavePath, &QLineEdit::textEdited, mFuncMainView.get(),
                     [this] { textDidChange(kTagSavePath); });
    QObject::connect(mFileNames, &QComboBox::editTextChanged, mFuncMainView.get(),
                     [this] { textDidChange(kTagFileNames); });
    QObject::connect(mFileNames, &QComboBox::activated, mFuncMainView.get(), [this](int index) {
        const QSignalBlocker quiet(mFileNames);
        mFileNames->setEditText(mFileNames->itemText(index));
    });
}

void TlvFunctionViewCntlr::setIsOpenJobListPanel(bool open, QWidget* editorContainer) {
    mIsOpenJobListPanel = open;
    mEditorContainer = open ? editorContainer : nullptr;
    // The pages go over to the editor's container and come back above the view's buttons.
    if (mEditorContainer && mEditorContainer->layout())
        mEditorContainer->layout()->addWidget(mFuncDummyView);
    else if (auto* column = qobject_cast<QVBoxLayout*>(mFuncMainView->layout()))
        column->insertWidget(0, mFuncDummyView, 1);
}

QWidget* TlvFunctionViewCntlr::functionView(bool print) const {
    if (mIsOpenJobListPanel && mEditorContainer)
        return mEditorContainer;
    return print ? mPrintView : mFileMailAppView;
}

int TlvFunctionViewCntlr::curFuncTypeFuncView() const {
    const TlvJobListSettingMdl* job = mHost.tmpJobListSettingMdl();
    return mIsOpenJobListPanel && job ? job->jList_FunctionType() : mHost.curFuncTypeApp();
}

const TlvScanSettingMdl* TlvFunctionViewCntlr::curScnMdlFuncView() const {
    const TlvJobListSettingMdl* job = mHost.tmpJobListSettingMdl();
    return mIsOpenJobListPanel && job ? job->jList_ScanSettingMdl().get() : mHost.curScnMdlApp();
}

QWidget* TlvFunctionViewCntlr::parentWindow(bool fromEditor) {
    return fromEditor ? mHost.jobListEditorPanel() : mHost.mainWindow();
}

bool TlvFunctionViewCntlr::isNamesEditable() const {
    return mHost.curScanModeType() == kScanModeFOA || mIsOpenJobListPanel;
}

bool TlvFunctionViewCntlr::isChoosingAtState202() const {
    return mHost.curScanModeType() == kScanModeFOA && mHost.appState() == AppStateFuncConfirm &&
           !mIsOpenJobListPanel;
}

bool TlvFunctionViewCntlr::isSetFunMdlFileFormat() const {
    if (curFuncTypeFuncView() == 2)
        return false;
    return mIsOpenJobListPanel || mHost.curScanModeType() == kScanModeFOA || mHost.isConfirmOutput();
}

void TlvFunctionViewCntlr::initFuncMainView(const TlvFuncSettingMdl& settings) {
    *mTmpFuncSettingMdl = settings;
    const bool print = curFuncTypeFuncView() == 2;
    mFileMailAppView->setVisible(!print);
    mPrintView->setVisible(print);
    if (!print)
        layoutSections();
    mCancel->setText(
        appkit::localized(mHost.curScanModeType() == kScanModeJOB ? "Func_ScanFirst" : "Cancel"));
    updateFuncCntlrs();
}

void TlvFunctionViewCntlr::layoutSections() {
    const int type = curFuncTypeFuncView();
    const bool editable = isNamesEditable();
    mFileName->setVisible(editable);
    mFNSetting->setVisible(editable);
    mFileNames->setVisible(!editable);
    mUseFNSetting->setVisible(isChoosingAtState202());
    if (!editable) {
        mTmpWriteFileNameArray.clear();
        for (const fs::path& file : mHost.cpyWriteFilePathArray())
            mTmpWriteFileNameArray.push_back(file.stem().string());
        const QSignalBlocker quiet(mFileNames);
        mFileNames->clear();
        for (const std::string& name : mTmpWriteFileNameArray)
            mFileNames->addItem(QString::fromStdString(name));
        mFileNames->setCurrentIndex(0);
    }
    mPartOfAppNameView->setVisible(type == 3);
    mPartOfFileFormatView->setVisible(isSetFunMdlFileFormat());
    mPartOfSavePlaceView->setVisible(type == 0 || type == 3);
}

void TlvFunctionViewCntlr::updateFuncCntlrs() {
    mIsSendPerform = false;
    const int e = entryIndex();
    if (curFuncTypeFuncView() == 2) {
        showPrintTarget();
        mPrintLayout->selectItemWithTag(mTmpFuncSettingMdl->printLayoutType());
    } else if (e >= 0) {
        mUseFNSetting->setChecked(mTmpFuncSettingMdl->isUseFNSetting(e));
        changeUseFNSetting();
        mFileFormat->selectItemWithTag(mTmpFuncSettingMdl->fileFormatType(e));
        fillApps();
        mSavePath->setText(QString::fromStdString(mTmpFuncSettingMdl->fileSavePath(e).value_or("")));
        mSavePicture->setChecked(mTmpFuncSettingMdl->isPictureFolderSave(e));
        changeSavePicture();
    }
    mIsSendPerform = true;
}

namespace {

const char* mimeTypeOfFormat(int format) {
    return format == kFormatJPEG ? "image/jpeg" : format == kFormatTIFF ? "image/tiff" : "application/pdf";
}

} // namespace

void TlvFunctionViewCntlr::fillApps() {
    mApps->clear();
    for (const ws::DesktopEntry& app : ws::applicationsForType(mimeTypeOfFormat(mFileFormat->selectedTag())))
        addApp(app.file());
    const std::string stored = mTmpFuncSettingMdl->applicationName().value_or("");
    if (!stored.empty() && mApps->findData(QString::fromStdString(stored)) < 0)
        addApp(stored);
    mApps->setCurrentIndex(stored.empty() ? -1 : mApps->findData(QString::fromStdString(stored)));
}

void TlvFunctionViewCntlr::addApp(const fs::path& desktopFile) {
    const std::optional<ws::DesktopEntry> entry = ws::DesktopEntry::load(desktopFile);
    QIcon icon = entry ? QIcon::fromTheme(QString::fromStdString(entry->icon())) : QIcon();
    if (icon.isNull())
        icon = TlvUtilsMethod::fileIcnImage(desktopFile);
    mApps->addItem(icon, QString::fromStdString(ws::applicationName(desktopFile)),
                   QString::fromStdString(desktopFile.string()));
}

std::string TlvFunctionViewCntlr::chosenApp() const {
    return mApps->currentData().toString().toStdString();
}

void TlvFunctionViewCntlr::changeUseFNSetting() {
    const int e = entryIndex();
    if (e < 0)
        return;
    const bool choosing = isChoosingAtState202();
    if (choosing)
        mTmpFuncSettingMdl->setIsUseFNSetting(mUseFNSetting->isChecked(), e);
    const bool automatic = !choosing || mUseFNSetting->isChecked();
    const std::string name = automatic ? mTmpFuncSettingMdl->imgFileName(e, false, mHost.batchNameTime())
                                       : mTmpFuncSettingMdl->entry(e).freeFileName.value_or("");
    mFileName->setText(QString::fromStdString(name));
    mFileName->setReadOnly(automatic);
    mFNSetting->setEnabled(automatic);
    if (choosing && !automatic)
        mFileName->setFocus();
}

void TlvFunctionViewCntlr::changeSavePicture() {
    const int e = entryIndex();
    if (e >= 0)
        mTmpFuncSettingMdl->setIsPictureFolderSave(mSavePicture->isChecked(), e);
    mSavePath->setEnabled(!mSavePicture->isChecked());
    mChooseFolder->setEnabled(!mSavePicture->isChecked());
}

void TlvFunctionViewCntlr::textDidChange(int tag) {
    const int e = entryIndex();
    if (tag == kTagSavePath && e >= 0)
        mTmpFuncSettingMdl->setFileSavePath(mSavePath->text().toStdString(), e);
    if (tag == kTagFileName && e >= 0 && !mFileName->isReadOnly())
        mTmpFuncSettingMdl->setFreeFileName(mFileName->text().toStdString(), e);
    if (tag == kTagFileNames) {
        const int selected = mFileNames->currentIndex();
        if (selected >= 0 && static_cast<std::size_t>(selected) < mTmpWriteFileNameArray.size()) {
            mTmpWriteFileNameArray[static_cast<std::size_t>(selected)] =
                mFileNames->currentText().toStdString();
            mFileNames->setItemText(selected, mFileNames->currentText());
        }
    }
    if (mIsSendPerform)
        mHost.settingDidChangeSendPerform();
}

void TlvFunctionViewCntlr::settingDidChangeFromFunc() {
    mHost.settingDidChangeSendPerform();
}

void TlvFunctionViewCntlr::showSavePlacePnl() {
    auto* chooser = new QFileDialog(parentWindow(mIsOpenJobListPanel));
    chooser->setFileMode(QFileDialog::Directory);
    chooser->setOption(QFileDialog::ShowDirsOnly);
    chooser->setOption(QFileDialog::DontResolveSymlinks);
    chooser->setDirectory(mSavePath->text().isEmpty() ? QString::fromStdString(ws::userFolder("PICTURES"))
                                                      : mSavePath->text());
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    chooser->setWindowModality(Qt::WindowModal);
    QObject::connect(chooser, &QFileDialog::fileSelected, mSavePath,
                     [this](const QString& folder) { savePlacePanelDidEnd(folder); });
    chooser->open();
}

void TlvFunctionViewCntlr::savePlacePanelDidEnd(const QString& folder) {
    if (folder.size() > kMaxFolderPath) {
        mSavePath->clear();
        VX_Message::showPanelMsgKey("Error", "Err_TooLongPath", "OK", nullptr);
        return;
    }
    mSavePath->setText(folder);
    textDidChange(kTagSavePath);
}

void TlvFunctionViewCntlr::showSelectAppPnl() {
    const fs::path current = chosenApp();
    auto* chooser = new QFileDialog(parentWindow(mIsOpenJobListPanel));
    chooser->setNameFilter(appkit::localized("Func_AppFilter") + " (*.desktop)");
    chooser->setDirectory(current.empty() ? QString("/usr/share/applications")
                                          : QString::fromStdString(current.parent_path().string()));
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    chooser->setWindowModality(Qt::WindowModal);
    QObject::connect(chooser, &QFileDialog::fileSelected, mApps,
                     [this](const QString& file) { selAppPanelDidEnd(file); });
    chooser->open();
}

void TlvFunctionViewCntlr::selAppPanelDidEnd(const QString& desktopFile) {
    mTmpFuncSettingMdl->setApplicationName(desktopFile.toStdString());
    fillApps();
    textDidChange(kTagAppPath);
}

void TlvFunctionViewCntlr::showSelectPrinterPnl(bool pageLayout) {
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    if (const std::optional<fnd::Dictionary>& info = mTmpFuncSettingMdl->printInfoDict())
        applyPrintInfo(*info, *printer);
    if (!mTmpFuncSettingMdl->printerName().empty())
        printer->setPrinterName(QString::fromStdString(mTmpFuncSettingMdl->printerName()));
    QDialog* panel = pageLayout ? static_cast<QDialog*>(new QPageSetupDialog(printer.get(), mPrintView))
                                : new QPrintDialog(printer.get(), mPrintView);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(Qt::WindowModal);
    QObject::connect(panel, &QDialog::accepted, mPrintView, [this, printer] { didEndPrinterPnl(*printer); });
    panel->open();
}

void TlvFunctionViewCntlr::didEndPrinterPnl(const QPrinter& printer) {
    mTmpFuncSettingMdl->setPrinterName(printer.printerName().toStdString());
    mTmpFuncSettingMdl->setPrintInfoDict(printInfoOf(printer));
    showPrintTarget();
    textDidChange(kTagPrinterName);
}

void TlvFunctionViewCntlr::showPrintTarget() {
    const std::optional<std::string> file = printOutputFile(mTmpFuncSettingMdl->printInfoDict());
    mPrinterName->setText(QString::fromStdString(file.value_or(mTmpFuncSettingMdl->printerName())));
}

} // namespace tlv
