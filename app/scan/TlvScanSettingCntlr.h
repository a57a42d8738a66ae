// The simple scan settings (colour mode, paper size and direction, resolution, sides, deskew, text
// orientation, and the switch to the data source's detailed settings): one view, shown in a panel
// over the main window for the scan-first job and inside the job-list editor for the job edited. It
// loads the current scan settings into its controls, writes them back on accept, and opens the data
// source's own dialog on a working copy. Main thread only.
#pragma once

#include "OwnedWidget.h"
#include "TlvDeviceCntlr.h"
#include "TlvScanHost.h"
#include "TlvScanSettingMdl.h"
#include "TlvScanSettingPanel.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <optional>

class TlvScanSettingCntlr {
public:
    // Tags of the view's controls.
    enum Tag {
        kColorModeLabel = 900,
        kColorMode = 901,
        kPaperSizeLabel = 902,
        kPaperSize = 903,
        kDirectionLabel = 904,
        kDirection = 905,
        kResolutionLabel = 906,
        kResolution = 907,
        kSidesLabel = 908,
        kSides = 909,
        kDeskew = 910,
        kRecCharDir = 911,
        kUseDriverSetting = 912,
        kUseDriverSettingState = 913,
        kOpenDriverSetting = 914,
        kDirectionPictureV = 915,
        kDirectionPictureH = 916,
        kCancelButton = 917,
        kAcceptButton = 918,
    };

    // device may be null: the data source's dialog is then never opened. Both outlive this.
    TlvScanSettingCntlr(tlv::TlvScanHost& host, TlvDeviceCntlr* device);
    ~TlvScanSettingCntlr();
    TlvScanSettingCntlr(const TlvScanSettingCntlr&) = delete;
    TlvScanSettingCntlr& operator=(const TlvScanSettingCntlr&) = delete;

    static TlvScanSettingCntlr* sharedScanSettingCntlr();

    QDialog* scnSttngWindow() const { return mScnSttngWindow.get(); }
    QWidget* scnSttngView() const;

    // Set by the job-list editor while it shows the view (in its placeholder editorView).
    void setIsOpenJobListPanel(bool open, QWidget* editorView = nullptr);
    bool isOpenJobListPanel() const { return mIsOpenJobListPanel; }
    // The working copy on which the data source's dialog opens. The editor hands the scan settings
    // of its own copy of the job (it keeps owning them); null discards the copy.
    void setTmpScnSettingMdl(TlvScanSettingMdl* model);
    TlvScanSettingMdl* tmpScnSettingMdl() const { return mTmpScnSettingMdl; }

    QWidget* itemInView() const;
    // The model the controls edit: the edited job's in the editor, else the current job's.
    TlvScanSettingMdl* curScnSetting() const;
    void initScanSetting();
    void saveScanSetting();
    void updateCntlrs();

    void changePaperSize();
    void changeIsUseDriverSetting();
    void settingDidChangeFromScnStng();

    // Shows the panel for the scan-first job, modal over the main window; returns at once.
    void runModalScnSttng();
    // Accepts when senderTag is 918; any other sender cancels. The panel's OK comes here; its Cancel,
    // Escape and close button reject it, which comes here too.
    void closeScnSttng(int senderTag);
    void openDeviceForSetting();
    void changeKeyViewScnSettingPnl();

private:
    void connectActions();
    void applyDirectionRule();
    template <typename T> T* item(int tag) const;

    tlv::TlvScanHost& mHost;
    TlvDeviceCntlr* mDevice;
    appkit::OwnedWidget<TlvScanSettingPanel> mScnSttngWindow;
    QPointer<QWidget> mEditorView;
    bool mIsOpenJobListPanel = false;
    bool mIsPanelOpen = false;
    TlvScanSettingMdl* mTmpScnSettingMdl = nullptr;
    // The panel's own working copy (the editor's lives in the editor).
    std::optional<TlvScanSettingMdl> mPanelCopy;
};
