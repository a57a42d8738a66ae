// The file-option panels of the output function the function view edits: PDF (page grouping,
// compression type, the rate in a sub-panel, a recognised-text layer and its language), TIFF (page
// grouping) and the compression panel (the JPEG rate, or the PDF rate over the PDF panel). Values are
// stored into the view's working settings only when a panel is confirmed.
#pragma once

#include "TlvFuncViewLink.h"

#include "OwnedWidget.h"
#include "TlvFileOptionPanels.h"

namespace tlv {

class TlvFileOptionSettingCntlr {
public:
    enum : int {
        kTagCaption = 2100,
        kTagAllInOne = 2101,
        kTagEveryN = 2102,
        kTagPagesField = 2103,
        kTagPagesStepper = 2104,
        kTagCompType = 1901,
        kTagCompRate = 1902,
        kTagAddOCR = 1904,
        kTagOCRLangLabel = 1905,
        kTagOCRLang = 1906,
        kTagRate = 2001,
        kTagCancel = 0,
        kTagOK = 1,
    };
    // The page count is clamped this long after the last keystroke (ms).
    static constexpr int kClampDelayMs = 500;
    static constexpr int kMinPages = 1, kMaxPages = 99;

    explicit TlvFileOptionSettingCntlr(TlvFuncViewLink& view);
    ~TlvFileOptionSettingCntlr();

    QDialog* opPDFPanel() const { return mOpPDFPanel.get(); }
    QDialog* opCompPanel() const { return mOpCompPanel.get(); }
    QDialog* opTIFFPanel() const { return mOpTIFFPanel.get(); }

    // format: 0 PDF, 1 TIFF, 2 JPEG (the compression panel); window-modal over the editor's panel
    // (fromEditor) or the main window.
    void runModalFileOptionPnl(bool fromEditor, int format);
    // The PDF rate sub-panel over the PDF panel.
    void runModalCompPnl();
    // tagOfButton 0 cancels, any other stores; a panel's OK button comes here, its Cancel, Escape and
    // close button reject it.
    void closePDFPnl(int tagOfButton);
    void closeTIFFPnl(int tagOfButton);
    void closeCompPnl(int tagOfButton);

    void initFileOptionPnl(int format);
    void initFileOptionCntlr(int format);
    void updateOCRCntlr(bool enabled);
    // The page grouping of the PDF or the TIFF panel last run.
    void selectCellAtRow(int row);
    int selectedRow() const;
    // Clamps N to 1..99 from the stepper (fromStepper) or the field and shows it in both; selects row 1.
    void changeMultiValue(bool fromStepper);

private:
    void connectMultiFileView(TlvMultiFileView* view);
    void connectButtons(QDialog* panel, QDialogButtonBox* buttons,
                        void (TlvFileOptionSettingCntlr::*close)(int));
    TlvMultiFileView* multiFileView() const;
    void changeKeyViewPdfTiffPnl(int format);

    TlvFuncViewLink& mView;
    appkit::OwnedWidget<TlvPDFOptionPanel> mOpPDFPanel;
    appkit::OwnedWidget<TlvCompPanel> mOpCompPanel;
    appkit::OwnedWidget<TlvPageGroupPanel> mOpTIFFPanel;
    int mFormat = 0; // whose page grouping the row and count act on
    int mTmpCompRate_PDF = 3;
};

} // namespace tlv
