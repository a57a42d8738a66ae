// The data source's settings dialog. The core creates one for an enable with the dialog (or when a scan
// needs its windows), hands it the capability pool, and calls it at fixed points of a scan; the dialog
// edits the pool in place and asks the core to act through synchronous notifications
// ("XferReadyNotification", "CloseRequestNotification", "CloseDSOkayNotification",
// "DestroyImageRequestNotification"). Its window is announced to the host with
// "ShowQSWindowNotification" before it is shown and "HideQSWindowNotification" before it goes.
// The settings categories plug into the build, sync and area hooks below. Main thread only.
#pragma once

#include "NamedRecordEditor.h"
#include "NamedRecordList.h"
#include "PalettePlacement.h"
#include "QSUIScanWindows.h"
#include "UIController.h"

#include <QDialog>
#include <QLineEdit>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class CCapPool;
class ComOrvikElectronicsK3100QSGammaView;
class ComOrvikElectronicsK3100QSPreviewFrame;

class ComOrvikElectronicsK3100QSUIController final : public QObject, public CNullUIController {
public:
    // Tags of the dialog window's controls.
    static constexpr int kInformationButtonTag = 705;
    static constexpr int kHelpButtonTag = 706;
    static constexpr int kCloseButtonTag = 2;     // "Close"; "Cancel" in the setup sequence
    static constexpr int kOkButtonTag = 3;        // the setup sequence's OK
    static constexpr int kSettingModeTabTag = 10; // simple-mode and advanced-mode tabs
    static constexpr int kAdvancedScanButtonTag = 600;
    static constexpr int kSimpleScanButtonTag = 610;
    static constexpr int kSimpleContinueButtonTag = 611;
    // The preview area: its positioning prescan, zoom and mode buttons, the scan area.
    static constexpr int kPrescanButtonTag = 700;
    static constexpr int kZoomInTag = 701;
    static constexpr int kZoomOutTag = 702;
    static constexpr int kCropModeTag = 703;
    static constexpr int kHandModeTag = 704;
    static constexpr int kPrescanCheckBoxTag = 430;
    static constexpr int kCustomScanAreaTag = 182;
    static constexpr int kScanWidthFieldTag = 185;
    static constexpr int kScanHeightFieldTag = 186;
    static constexpr int kScanWidthUnitTag = 180;
    static constexpr int kScanHeightUnitTag = 181;
    // Typing in a field applies this long after the last keystroke.
    static constexpr int kTypingDelayMs = 1000;
    // The advanced mode's buttons that show and hide the image, tone and preferences palettes.
    static constexpr int kImagePaletteButtonTag = 620;
    static constexpr int kGammaPaletteButtonTag = 621;
    static constexpr int kPreferencePaletteButtonTag = 622;
    // Tags of the exchange reminder.
    static constexpr int kReminderOkTag = 1;
    static constexpr int kReminderIconTag = 1000;
    static constexpr int kReminderCheckBoxTag = 1001;
    static constexpr int kReminderMessageTag = 1002;

    // Loads the dialog's interface file; without it the controller has no window and acts on nothing.
    ComOrvikElectronicsK3100QSUIController();
    ~ComOrvikElectronicsK3100QSUIController() override;

    bool hasWindow() const { return mWindow != nullptr; }
    QWidget* window() const { return mWindow.get(); }

    // flag 1: the full dialog of a scan; 0: the setup sequence.
    void setupMainUIWithParam(const fnd::Dictionary& params, int flag) override;
    void showMainWindow() override;
    void hideMainWindow() override;
    bool isMainWindowVisible() const override;
    // Posts CloseRequestNotification with keep 0.1 s later, from the event loop.
    void closeRequest(bool keep) override;
    void setShield(bool on) override;
    void setScanImage(const SPageBitmap& image, std::uint32_t xResolution, bool positioning) override;
    void runModalRollerExchangeAlert(bool isPad, bool isBackgroundOnly) override;
    void cancelDelayedMessages() override;

    // The progress window and the scan panel (QSUIScanPanels.cpp).
    void showProgressWindow() override;
    void resumeProgressWindow() override;
    void suspendProgressWindow() override;
    void hideProgressWindow() override;
    bool idleProgress() override;
    void showScanPanel() override;
    void hideScanPanel() override;
    void updateScanPanel(std::uint32_t flags) override;
    int scanPanelStatus() const override;
    std::intptr_t beginScanPanelModalSession() override;
    void endScanPanelModalSession(std::intptr_t session) override;
    void idleScanPanel() override;
    bool isScanPanelVisible() const override;
    void setScanPanelWorksWhenModal(bool works) override;
    QSUIScanWindows& scanWindows() { return mScanWindows; }

    // The floating palettes of the advanced mode (QSUIPalettes.cpp): tool windows of the dialog that the
    // user shows and hides, standing where they stood last time.
    QWidget* imagePalette() const { return mImagePalette; }
    QWidget* gammaPalette() const { return mGammaPalette; }
    QWidget* preferencePalette() const { return mPreferencePalette; }
    // Shows the palette (active, in front) when it is hidden, else hides it.
    void showHidePalette(QWidget* palette);

    // The question before a switch of setting mode (QSUISettingMode.cpp): 1 when it may go ahead.
    int runModalResetSettingsAlert();

    QWidget* currentView() const;
    bool isSimpleMode() const;
    // A kept prescan page is shown (not a positioning preview).
    bool hasScanImage() const;
    bool isSetupSequence() const { return mIsSetupSequence; }
    // The prescanned page as the scanner gave it (kept or positioning), or null; owned here.
    const SPageBitmap* scanImage() const { return mScanImage ? &*mScanImage : nullptr; }
    // Puts the prescanned page into the preview again (the live tone filter re-renders through here).
    void applyImageFilter();
    // The view the page is drawn on; null without the interface file.
    ComOrvikElectronicsK3100QSPreviewFrame* previewFrame() const;
    bool isPreviewAreaShown() const;

    // The dialog's commands.
    void performScan();
    void performScanComplete();
    void performContinueScan();
    void performPrescan();
    void performCancel();
    void performReset();
    void resetSettingsForSimpleScan();
    void destroyPreviewImage();
    void saveMainUISettings();
    // Opens the data source's help pages in the desktop's browser.
    void showQSHelp();

    // Scanner access (QSUIScannerAccess.cpp): the scanner itself, never while a scan runs. The keys of
    // the information are "PadCount", "RollerCount", "TotalScanCount", "MaxScanLength", "ScannerName",
    // "ScannerVersion" and "SupportDfdByUSS"; none when the scanner could not be read.
    std::optional<fnd::Dictionary> getScannerInfo();
    // False when refused or the scanner did not take it.
    bool clearRollerCount(bool pad);
    bool setMaxScanLength(std::uint32_t length);
    // The page through the data source's final filter with the pool's tone settings, in place; false
    // (the page unchanged) when it could not be filtered.
    bool applyFilterWithImage(SPageBitmap& image);
    // The kept page as the live filter last rendered it; none without a kept page.
    const std::optional<SPageBitmap>& filteredScanImage() const { return mFilteredScanImage; }

    // The scanner information panel and, over it, the maintenance panel: modal to the dialog without
    // a loop of their own. Showing the information does nothing when the scanner cannot be read.
    void showScannerInformationPanel();
    void showMaintenancePanel();
    QDialog* scannerInformationPanel() const { return mScannerInfoPanel.data(); }
    QDialog* maintenancePanel() const { return mMaintenancePanel.data(); }

    // The caution icon of the given size, with the host's icon in its lower right quarter when asked.
    static QPixmap createAlertIcon(QSize size, bool badgeAppIcon);
    // The reminder itself: 1 once answered (or not shown, its box having been ticked before).
    int runModalExchangeAlert(const QString& argument, bool isPad, bool isBackgroundOnly);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void windowWillClose();
    void connectButtons();
    void restoreWindowFrame(const fnd::Dictionary& preferences);
    void postXferReady(std::uint32_t mode, std::optional<std::int32_t> pendingCount);
    // Front settings to the back, for a duplex page prescanned with the front settings.
    void copyFrontSettingsToBack();
    // The kept pages to transfer: 2 with duplex on, else 1.
    std::int32_t keptPageCount() const;
    void syncAllSettings();
    // A switch of setting mode by the user is asked first; a refused one changes nothing.
    void connectSettingModeTab();
    void settingModeSelected(int index);
    void settingModeDidChange();

    // The image buttons' looks by state and the slider ends' images (QSUIRollOverButtons.cpp).
    void setupRollOverButtons();
    void setupSliderEndImages(QWidget* view);
    // The scan area's shade and the simple mode's dotted link to the preview.
    void setupPatternViews();
    // The six area builds in their order: after set-up, a reset and a favourite applied.
    void initSettingAreas();
    // Palettes: loaded with the dialog; their positions and visibility saved to the preferences file and
    // restored from it (held to the rules of a new place), or laid out round the dialog on its screen.
    QWidget* loadPalette(const QString& name);
    void connectPalettes();
    void restorePaletteState();
    void savePaletteState();
    // A palette's window frame round the whole of its settings.
    QSize paletteFrameSize(const QWidget* palette) const;
    // The top left of the palette's frame for a place stored in the preferences file.
    QPoint framePlace(const QWidget* palette, const QPoint& stored) const;
    // The dialog's screen, frame, buttons and title bar, which the palettes are placed round.
    SPaletteRoom paletteRoom() const;
    // The dialog's shown buttons, in screen coordinates: no palette goes over them.
    QList<QRect> dialogButtonFrames() const;
    void orderOutPalettes();
    void syncPaletteButtons();
    // While on (the dialog shown), the shown palettes are raised above the dialog again whenever the
    // window manager may have restacked it over them.
    void keepPalettesAbove(bool on);
    // The display unit of the preferences palette (pixels, inches, millimetres).
    void updateUnitControls();
    void changeUnitControls();

    // The scan area (QSUIAreaSelection.cpp): stored in the pool in the scanner's orientation, shown on
    // the preview frame after the output rotation, typed in the user's unit.
    void connectAreaSelectionControls();
    void initAreaSelectionUI();
    void resetScanArea();
    void syncScanArea();
    // positioning: only re-apply the paper size; otherwise store the crop rectangle as the scan area.
    void decideScanArea(bool positioning);
    void syncAreaSelectionUI();
    // Width and height in 1/1200 inch into fields 185 and 186, in the unit of the pool.
    void drawScanSize(QSizeF size);
    void changeScanSize(QLineEdit* field);
    void handlePreviewFrameCropChange(bool changed, QRectF rect);
    // Commits what is typed but not yet applied in the size fields.
    void refrectScanAreaControls();
    void updateScanAreaSettingControls();
    void changeScanAreaSettingControls();
    bool isScanAreaEditable() const;

    // Prescan and the preview area (QSUIPrescan.cpp).
    void connectPrescanControls();
    void initPrescanUI();
    // image: none clears the preview; xResolution 0 when unknown.
    void showScanImage(std::optional<SPageBitmap> image, std::uint32_t xResolution, bool positioning);
    void syncPrescanUI();
    void updatePrescanControls();
    void changePrescanControls();
    void changePreviewZoom(int tag);
    void changePreviewMode(int tag);
    void updatePreviewMode();
    void showScanAreaSettingView(bool show, bool animate);
    // adjust: keep the window on the screen's visible area afterwards.
    void showPreviewArea(bool show, bool adjust);
    // The frame moved onto the screen it overlaps most with its title bar and borders, at least the
    // window's minimum size, which is fitted to that screen first.
    QRect clampedToScreen(const QRect& frame);
    // The window's minimum size (and, without the preview, its one width) for a window at frame: what
    // its contents need, but no more than the room on the screen that frame overlaps most.
    void keepWindowWidthRule(const QRect& frame);
    // Button 2 closes the window, or drops a kept prescan in the full dialog.
    void closeOrCancel();

    // Basic settings: colour mode, paper size, resolution, scan side, skew correction, moire reduction
    // and the scan option, each written to the pool as soon as it changes. A null sender is the
    // program's own call: no sheet opens.
    void connectBasicSettingControls();
    void initBasicSettingUI();
    void syncBasicSettingUI();
    void buildColorModeControls();
    void updateColorModeControls() override;
    void changeColorModeControls(QWidget* sender);
    void buildPaperSizeControls();
    void updatePaperSizeControls();
    void changePaperSizeControls(QWidget* sender);
    void updateResolutionControls();
    void changeResolutionControls(QWidget* sender);
    void buildScanSideControls();
    void updateScanSideControls();
    void changeScanSideControls(QWidget* sender);
    void updateSkewCorrectionControls();
    void changeSkewCorrectionControls(QWidget* sender);
    void buildReduceMoireControls();
    void updateReduceMoireControls();
    void changeReduceMoireControls(QWidget* sender);
    void updateScanOptionControls();
    void changeScanOptionControls(QWidget* sender);
    // The sheets of the automatic colour detection and of the blank-page skip, window-modal to the dialog;
    // OK (code 1) writes their values, any other end writes nothing.
    QDialog* loadSheet(const QString& name);
    void beginDetectPageTypeSheet();
    void changeDetectPageTypePanelControls();
    void detectPageTypeSheetDidEnd(int returnCode);
    void beginBlankSkipSheet();
    void blankSkipSheetDidEnd(int returnCode);
    // The editor of the user's papers: 1 on OK, with the paper added or replaced last (when still
    // listed) in addedName. A name taken by a standard paper answers its position, or 1000 for the
    // pop-up's own items; -1 when free.
    int runModalPaperEditPanel(QString& addedName);
    int containsOriginalPaperNames(const QString& name) const;
    // Favourites: named snapshots of the pool in the preferences file, offered by pop-up 50 of the
    // advanced mode; a null sender reports a changed setting, which clears the chosen favourite.
    void buildFavoriteControls();
    void updateFavoriteControls();
    void changeFavoriteControls(QWidget* sender);
    // The editor: 1 on OK, with the name added or replaced last (when still listed) in addedName.
    int runModalFavoritePanel(QString& addedName);
    // False when the user refused or nothing could be done.
    bool changeFavoriteItems(QDialog* panel, CNamedRecordList& list, int senderTag, QString& addedName);
    void syncFavoriteUI(QDialog* panel, const CNamedRecordList& list);
    QString untitledFavoriteName(const CNamedRecordList& list) const;

    // Tone (QSUITone.cpp): brightness and contrast in the current view, the tone palette with its
    // curve editor, and the live filter over the kept page. A null sender is the program's own call.
    void connectToneControls();
    void buildToneSettingView();
    void initToneSettingUI();
    void syncToneSettingUI();
    void updateBrightnessControls();
    void changeBrightnessControls(QWidget* sender);
    void updateContrastControls();
    void changeContrastControls(QWidget* sender);
    // Brightness and contrast, front and back, and their text-enhancement levels to their defaults.
    void resetToneSettings();
    void buildGammaControls();
    void updateGammaControls();
    void decideGammaSettings();
    void changeGammaControls(QWidget* sender);
    void handleGammaViewCurveEdit(std::optional<float> gamma);
    void updateGammaBars();
    bool isTextEnhanceMode() const;
    // Runs the live filter once a second has passed without another change.
    void scheduleImageFilter();
    // User gammas (QSUICustomGamma.cpp): the usable records handed over, the editor panel (1 on OK,
    // with the name added last when still listed), and the report of damaged records, once a dialog.
    std::vector<fnd::Dictionary> userGammas();
    int runModalCustomGammaPanel(QString& addedName);
    bool changeCustomGammaItems(QDialog* panel, CNamedRecordList& list, int senderTag, QString& addedName);
    void syncCustomGammaUI(QDialog* panel, const CNamedRecordList& list);
    NamedRecordEditor customGammaEditor() const;
    void reportDamagedUserGammas(std::size_t damaged);

    // Image enhancement (QSUIImageEnhance.cpp): the image palette and the text-orientation box.
    void connectImageEnhanceControls();
    void initImageEnhanceUI();
    void syncImageEnhanceUI();
    void updateImageEnhanceControls();
    void changeImageEnhanceControls(QWidget* sender);

    // Extra settings (QSUIExtra.cpp): double feed, the feeding palette, the unit and the two panels.
    void connectExtraControls();
    void initExtraSettingUI();
    void syncExtraSettingUI();
    void syncPreferencePalette();
    void buildDoubleFeedControls();
    void updateDoubleFeedControls();
    void changeDoubleFeedControls(QWidget* sender);
    void updatePreferenceControls();
    void changePreferenceControls(QWidget* sender);
    void updateScannerInformationPanelControls();
    void updateMaintenancePanelControls();
    void resetRollerCounter(bool pad);
    // Ends the panel, and the shields it laid over the palettes.
    void exitScannerInformationPanel();
    void exitMaintenancePanel();
    void changeMaxScanLength();
    bool scannerSupportsUltrasonic() const;

    std::unique_ptr<QWidget> mWindow;
    QPointer<QTabWidget> mSettingModeTab;
    QPointer<QWidget> mSimpleModeView;
    QPointer<QWidget> mAdvanceModeView;
    QPointer<QWidget> mImagePalette;
    QPointer<QWidget> mGammaPalette;
    QPointer<QWidget> mPreferencePalette;
    std::unique_ptr<QObject> mPaletteRaiser; // while the palettes are kept above the dialog
    QPointer<QDialog> mDetectPageTypePanel;
    QPointer<QDialog> mBlankSkipPanel;
    QPointer<ComOrvikElectronicsK3100QSGammaView> mGammaView;
    QPointer<QDialog> mScannerInfoPanel;
    QPointer<QDialog> mMaintenancePanel;
    int mActiveGammaChannel = 0;
    std::optional<fnd::Dictionary> mScannerInfo;
    std::optional<SPageBitmap> mFilteredScanImage;
    std::unique_ptr<QObject> mPendingFilter; // owner of the scheduled live filter
    bool mScanRunning = false;
    bool mDamagedGammasReported = false;
    QPointer<QScrollArea> mPreviewFrame; // its widget is the preview frame
    QPointer<QWidget> mPreviewFrameBox;  // the preview area beside the setting tabs, with the tool view
    QPointer<QWidget> mScanAreaSettingView;
    QPointer<QScrollArea> mAdvToneSettingScroller; // the advanced settings' scroller
    QPointer<QWidget> mSimPreviewControlSeparator2;
    QPointer<QWidget> mSimPreviewControllerView;
    // The preview area's width with the spacing beside it, while it is out of the window.
    int mPreviewAreaWidth = 0;
    int mMinWindowWidth = 0; // the window's own minimum, kept while the preview area is out
    int mDesignedWidth = 0;  // the window's width in its interface file, the preview area in it
    int mSettingsWidth = 0;  // the window's one width while the preview area is out, where it has room
    fnd::Dictionary mUIParameters;
    CCapPool* mSettings = nullptr;
    std::optional<SPageBitmap> mScanImage;
    bool mIsSetupSequence = false;
    bool mPositioningPrescanMode = false;
    std::optional<QRect> mStoredFrame; // as read back, the preview area in it
    // The frame round the dialog and its palettes that their places are judged by, whether a window is
    // framed yet or not: as first known (a window already framed, else FrameAllowance) and kept in the
    // preferences file, so that every dialog, in this process or a later one, judges places alike.
    QMargins mFrameMargins;
    // Owner of the delayed messages: replacing it drops every one still queued.
    std::unique_ptr<QObject> mDelayedMessages;
    QSUIScanWindows mScanWindows;
    int mSettingMode = -1; // the tab shown, as the user last chose it
};
