// The output-function view: where the user sets what happens to the scanned pages (the application,
// the file name, the format and the folder, or the printer), and on a job's confirmation screen
// confirms or changes the written files' names. It edits a copy of the output settings, checks the
// controls before they are stored, opens the file-name and file-option panels over itself, and moves
// the application on to the output states.
#pragma once

#include "TlvFileNameSettingCntlr.h"
#include "TlvFileOptionSettingCntlr.h"
#include "TlvFuncSettingMdl.h"
#include "TlvFuncViewHost.h"
#include "TlvFuncViewLink.h"

#include "OwnedWidget.h"

#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class TlvFileFormatPopUp;
class TlvPageLayoutPopUp;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;

namespace appkit {
class FTextField;
class FComboBox;
} // namespace appkit

namespace tlv {

class TlvFunctionViewCntlr : public TlvFuncViewLink {
public:
    enum : int {
        kTagAppPath = 1402,
        kTagChooseApp = 1403,
        kTagFileName = 1405,
        kTagFileNames = 1406,
        kTagUseFNSetting = 1407,
        kTagFNSetting = 1408,
        kTagFileOption = 1409,
        kTagFileFormat = 1410,
        kTagSavePicture = 1413,
        kTagSavePath = 1414,
        kTagChooseFolder = 1415,
        kTagPrinterName = 1501,
        kTagChoosePrinter = 1502,
        kTagPrintLayout = 1504,
        kTagPageLayout = 1505,
        kTagCancel = 1300,
        kTagOK = 1301,
    };
    static constexpr int kMaxFolderPath = 260; // characters

    explicit TlvFunctionViewCntlr(TlvFuncViewHost& host);
    ~TlvFunctionViewCntlr() override;

    QWidget* funcMainView() const { return mFuncMainView.get(); }
    QWidget* fileMailAppView() const { return mFileMailAppView; }
    QWidget* printView() const { return mPrintView; }
    TlvFileNameSettingCntlr& fileNameSettingCntlr() { return *mFileNameCntlr; }
    TlvFileOptionSettingCntlr& fileOptionSettingCntlr() { return *mFileOptionCntlr; }

    // While the job-list editor is open, the pages go into its output container (which has a layout).
    void setIsOpenJobListPanel(bool open, QWidget* editorContainer = nullptr);
    // Where the views of the output are shown: the editor's output container while the editor is
    // open, else the print view or the save, mail and application view.
    QWidget* functionView(bool print) const;
    bool isOpenJobListPanel() const { return mIsOpenJobListPanel; }
    const std::vector<std::string>& tmpWriteFileNameArray() const { return mTmpWriteFileNameArray; }

    // Copies the settings, lays the view out for the function type, scan mode and state, and fills it.
    void initFuncMainView(const TlvFuncSettingMdl& settings);
    // Checks the controls (throws VX_Exception named by the message key of the first fault), then
    // copies them into the settings copy.
    void saveFuncSettingFromCntlr();
    void checkFuncStngSave() const;
    // The OK (1301, also no sender: -1), cancel and mode buttons.
    void executeFunction(int tag);
    // Ends of the choosers: the folder, the application's .desktop file, the printer's settings.
    void savePlacePanelDidEnd(const QString& folder);
    void selAppPanelDidEnd(const QString& desktopFile);
    void didEndPrinterPnl(const QPrinter& printer);
    // The printer's name in the printer field, or the PDF file printed into instead.
    void showPrintTarget();

    int curFuncTypeFuncView() const override;
    const TlvScanSettingMdl* curScnMdlFuncView() const;

    // For the option panels.
    TlvFuncSettingMdl* tmpFuncSettingMdl() override { return mTmpFuncSettingMdl.get(); }
    QWidget* parentWindow(bool fromEditor) override;
    void updateFuncCntlrs() override;
    void settingDidChangeFromFunc() override;

private:
    void buildViews();
    QWidget* buildAppNameSection();
    QWidget* buildFileNameSection();
    QWidget* buildFileFormatSection();
    QWidget* buildSavePlaceSection();
    void buildPrintView();
    void connectControls();
    void layoutSections();
    void changeUseFNSetting();
    void changeSavePicture();
    // The applications that open the chosen format, and the stored one where it is not among them.
    void fillApps();
    void addApp(const std::filesystem::path& desktopFile);
    std::string chosenApp() const;
    void textDidChange(int tag);
    void showSavePlacePnl();
    void showSelectAppPnl();
    void showSelectPrinterPnl(bool pageLayout);
    void checkJpegFromScanSettings() const;
    void checkFreeName() const;
    bool isNamesEditable() const;
    bool isChoosingAtState202() const;
    bool isSetFunMdlFileFormat() const;

    TlvFuncViewHost& mHost;
    std::unique_ptr<TlvFuncSettingMdl> mTmpFuncSettingMdl;
    std::vector<std::string> mTmpWriteFileNameArray;
    bool mIsOpenJobListPanel = false;
    bool mIsSendPerform = true;

    appkit::OwnedWidget<QWidget> mFuncMainView{new QWidget};
    QWidget* mFuncDummyView = nullptr; // shows the file, mail and application page, or the print page
    QPointer<QWidget> mEditorContainer;
    QWidget* mFileMailAppView = nullptr;
    QWidget* mPartOfAppNameView = nullptr;
    QWidget* mPartOfFileNameView = nullptr;
    QWidget* mPartOfFileFormatView = nullptr;
    QWidget* mPartOfSavePlaceView = nullptr;
    QWidget* mPrintView = nullptr;
    QComboBox* mApps = nullptr;
    appkit::FTextField* mFileName = nullptr;
    appkit::FComboBox* mFileNames = nullptr;
    QCheckBox* mUseFNSetting = nullptr;
    QPushButton* mFNSetting = nullptr;
    TlvFileFormatPopUp* mFileFormat = nullptr;
    QCheckBox* mSavePicture = nullptr;
    appkit::FTextField* mSavePath = nullptr;
    QPushButton* mChooseFolder = nullptr;
    QLineEdit* mPrinterName = nullptr;
    TlvPageLayoutPopUp* mPrintLayout = nullptr;
    QPushButton* mCancel = nullptr;

    std::unique_ptr<TlvFileNameSettingCntlr> mFileNameCntlr;
    std::unique_ptr<TlvFileOptionSettingCntlr> mFileOptionCntlr;
};

} // namespace tlv
