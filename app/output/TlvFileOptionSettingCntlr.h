// The file-option panels of the output function the function view edits: PDF (page grouping,
// compression type, the rate in a sub-panel, a recognised-text layer and its language), TIFF (page
// grouping) and the compression panel (the JPEG rate, or the PDF rate over the PDF panel). One
// page-grouping view moves into whichever of the PDF and TIFF panels is shown. Values are stored into
// the view's working settings only when a panel is confirmed.
#pragma once

#include "TlvFuncViewLink.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class TlvCompressPopUp;
class TlvOCRLangPopUp;
class QLabel;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTimer;

namespace appkit {
class FTextField;
class FStaticTextField;
} // namespace appkit

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

    explicit TlvFileOptionSettingCntlr(TlvFuncViewLink& view);
    ~TlvFileOptionSettingCntlr();

    QDialog* opPDFPanel() const { return mOpPDFPanel; }
    QDialog* opCompPanel() const { return mOpCompPanel; }
    QDialog* opTIFFPanel() const { return mOpTIFFPanel; }

    // format: 0 PDF, 1 TIFF, 2 JPEG (the compression panel); window-modal over the editor's panel
    // (fromEditor) or the main window.
    void runModalFileOptionPnl(bool fromEditor, int format);
    // The PDF rate sub-panel over the PDF panel.
    void runModalCompPnl();
    void closePDFPnl(int tagOfButton);
    void closeTIFFPnl(int tagOfButton);
    void closeCompPnl(int tagOfButton);

    void initFileOptionPnl(int format);
    void initFileOptionCntlr(int format);
    void updateOCRCntlr(bool enabled);
    void selectCellAtRow(int row);
    int selectedRow() const;
    // Clamps N to 1..99 from the stepper (fromStepper) or the field and shows it in both; selects row 1.
    void changeMultiValue(bool fromStepper);

private:
    void buildMultiFileView();
    void buildPDFPanel();
    void buildCompPanel();
    void buildTIFFPanel();
    QDialog* newPanel(QWidget*& placeholder, QLabel*& caption);
    void addButtons(QDialog* panel, void (TlvFileOptionSettingCntlr::*close)(int));
    void changeKeyViewPdfTiffPnl(int format);
    void endPanel(QDialog* panel);

    TlvFuncViewLink& mView;
    QPointer<QDialog> mOpPDFPanel, mOpCompPanel, mOpTIFFPanel;
    QWidget* mMultiFileView = nullptr; // owned by the panel it stands in, or by this
    QWidget* mPDFDummyMultiView = nullptr;
    QWidget* mTIFFDummyMultiView = nullptr;
    QLabel* mPDFCaption = nullptr;
    QLabel* mTIFFCaption = nullptr;
    QRadioButton* mAllInOne = nullptr;
    QRadioButton* mEveryN = nullptr;
    appkit::FTextField* mPagesField = nullptr;
    QSpinBox* mPagesStepper = nullptr;
    QTimer* mClampTimer = nullptr;
    TlvCompressPopUp* mCompType = nullptr;
    QCheckBox* mAddOCR = nullptr;
    appkit::FStaticTextField* mOCRLangLabel = nullptr;
    TlvOCRLangPopUp* mOCRLang = nullptr;
    QSlider* mRate = nullptr;
    int mTmpCompRate_PDF = 3;
};

} // namespace tlv
